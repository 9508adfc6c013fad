#include "platform/pagefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vimbrel {

namespace PageFiles {

QString folder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    const QString dir = base + QStringLiteral("/ulvo");
    if (!QFileInfo(dir).isDir() && !QDir().mkpath(dir))
        return {};
#ifdef Q_OS_UNIX
    // The pages name the user's files: the folder must be the user's own and closed to others.
    struct stat st;
    if (lstat(QFile::encodeName(dir).constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != geteuid())
        return {};
    if ((st.st_mode & 077) != 0 && chmod(QFile::encodeName(dir).constData(), 0700) != 0)
        return {};
#else
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
#endif
    return dir;
}

QString path(const QString &fileName)
{
    const QString dir = folder();
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + fileName;
}

QByteArray joinLines(const QStringList &lines)
{
    QByteArray out;
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    out.reserve(size + size / 4);
    for (const QString &line : lines) {
        out += line.toUtf8();
        out += "\r\n";
    }
    return out;
}

bool writeBytes(const QString &filePath, const QByteArray &bytes)
{
    if (filePath.isEmpty())
        return false;
#ifdef Q_OS_UNIX
    // Never write through a link someone left in the place of the page file. Rewriting in
    // place and cutting the rest afterwards is cheaper than truncating first.
    const QByteArray name = QFile::encodeName(filePath);
    int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno == ELOOP) {
        ::unlink(name.constData());
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    }
    if (fd < 0)
        return false;
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    bool ok = true;
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            ok = false;
            break;
        }
        data += written;
        left -= written;
    }
    ok = ok && ::ftruncate(fd, off_t(bytes.size())) == 0;
    ok = (::close(fd) == 0) && ok;
    return ok;
#else
    if (QFileInfo(filePath).isSymLink())
        QFile::remove(filePath);
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool ok = file.write(bytes) == bytes.size();
    file.close();
    return ok && file.error() == QFileDevice::NoError;
#endif
}

bool writeLines(const QString &filePath, const QStringList &lines)
{
    return writeBytes(filePath, joinLines(lines));
}

bool remove(const QString &filePath)
{
    return !filePath.isEmpty() && QFile::remove(filePath);
}

} // namespace PageFiles

} // namespace vimbrel
