#include "search/numberedfiles.h"

#include <QDir>
#include <QFileInfo>

#include <limits>

namespace vimbrel {

NumberedFiles::NumberedFiles(const QString &folder) : m_folder(QDir::fromNativeSeparators(folder))
{
    if (!m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
}

QString NumberedFiles::pathOf(int number) const
{
    return m_folder + QString::number(number) + QStringLiteral(".jpg");
}

bool NumberedFiles::isTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

NumberedFiles::Claim NumberedFiles::claim()
{
    Claim result;
    for (int number = m_next; number < std::numeric_limits<int>::max(); ++number) {
        const QString path = pathOf(number);
        if (isTaken(path))
            continue;
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
