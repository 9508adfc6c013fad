#include "saving/numberedfiles.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace vimbrel {

NumberedFiles::NumberedFiles(const QString &folder) : m_folder(QDir::fromNativeSeparators(folder))
{
    if (!m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
}

QString NumberedFiles::pathOf(int number, const QString &extension) const
{
    return m_folder + QString::number(number) + QLatin1Char('.') + extension;
}

void NumberedFiles::setExtensions(const QStringList &extensions)
{
    m_extensions = extensions;
}

bool NumberedFiles::isNumberTaken(int number, const QString &extension) const
{
    if (isTaken(pathOf(number, extension)))
        return true;
    return std::any_of(m_extensions.begin(), m_extensions.end(),
                       [&](const QString &other) { return isTaken(pathOf(number, other)); });
}

bool NumberedFiles::isTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

NumberedFiles::Claim NumberedFiles::claim(const QString &extension)
{
    Claim result;
    for (int number = m_next; number < std::numeric_limits<int>::max(); ++number) {
        if (isNumberTaken(number, extension))
            continue;
        const QString path = pathOf(number, extension);
        auto file = std::make_unique<QFile>(path);
        // NewOnly is O_CREAT | O_EXCL: it never opens (or follows a link to) something that
        // appeared since the test above.
        if (file->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_next = number;
            result.number = number;
            result.file = std::move(file);
            return result;
        }
        if (isTaken(path))
            continue; // somebody else was quicker
        m_next = number;
        result.error = QFileInfo(m_folder).isDir() ? file->errorString()
                                                   : QStringLiteral("the folder is gone");
        return result;
    }
    result.error = QStringLiteral("no free number left");
    return result;
}

void NumberedFiles::release(Claim &claim)
{
    if (!claim.file)
        return;
    claim.file->close();
    claim.file->remove();
    claim.file.reset();
    m_next = std::min(m_next, claim.number);
}

} // namespace vimbrel
