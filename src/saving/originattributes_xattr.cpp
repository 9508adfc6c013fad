#include <QFile>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <sys/xattr.h>

#include "platform/logging.h"
#include "saving/originattributes.h"

namespace vimbrel {

namespace {

// A data: address is the picture itself, not where it lives; anything long is no address a
// reader of the attribute wants either.
bool worthRecording(const QString &address)
{
    const QString scheme = QUrl(address).scheme().toLower();
    return address.size() <= 4096 &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
            scheme == QLatin1String("file"));
}

void set(int fd, const char *name, const QString &value)
{
    if (!worthRecording(value))
        return;
    const QByteArray bytes = value.toUtf8();
    // Fails quietly where the file system keeps no user attributes (ENOTSUP).
    if (::fsetxattr(fd, name, bytes.constData(), size_t(bytes.size()), 0) != 0 && errno != ENOTSUP)
        qCWarning(lcSaving) << "attribute" << name << "not recorded:" << std::strerror(errno);
}

} // namespace

void OriginAttributes::record(QFile &file, const QString &origin, const QString &referrer)
{
    const int fd = file.handle();
    if (fd < 0)
        return;
    set(fd, "user.xdg.origin.url", origin);
    set(fd, "user.xdg.referrer.url", referrer);
}

QString OriginAttributes::read(const QString &path, const char *name)
{
    const QByteArray file = QFile::encodeName(path);
    char buffer[8192];
    const ssize_t size = ::getxattr(file.constData(), name, buffer, sizeof buffer);
    if (size <= 0)
        return {};
    return QString::fromUtf8(buffer, size);
}

} // namespace vimbrel
