#include "platform/pagefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <mutex>

#include "platform/instancelock.h"
#include "platform/logging.h"
#include "platform/privatefile.h"

namespace vimbrel {

namespace PageFiles {

namespace {

// More instances than this at once share the last slot's names rather than fail.
constexpr int MaxInstances = 64;

QString lockName(int slot)
{
    return QStringLiteral("instance-%1.lock").arg(slot);
}

QString slotFolder(const QString &base, int slot)
{
    return slot == 0 ? base : base + QStringLiteral("/instance-%1").arg(slot);
}

const QString NoteSuffix = QStringLiteral(".pending");
const QString TemporaryPrefix = QStringLiteral(".vimbrel-");

// Removes the temporary folder a note names, when it is still one of ours.
void removeNotedFolder(const QFileInfo &note)
{
    if (note.isSymLink() || !note.isFile() || note.size() > 64 * 1024)
        return;
    QFile file(note.filePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return;
    const QFileInfo folder(QString::fromUtf8(file.readAll()));
    if (folder.isAbsolute() && folder.fileName().startsWith(TemporaryPrefix) && folder.isDir() &&
        !folder.isSymLink())
        if (!QDir(folder.filePath()).removeRecursively())
            qCWarning(lcPages) << "left behind:" << folder.filePath();
}

// Removes every page and half-written temporary of a slot (links and pipes included, none of
// them opened), and the temporary folders elsewhere that its notes name; folders and locks stay.
void clearPages(const QString &folder)
{
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::AllEntries | QDir::System |
                                                             QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (entry.fileName().endsWith(NoteSuffix))
            removeNotedFolder(entry);
        if (entry.isSymLink() ||
            (!entry.isDir() && !entry.fileName().endsWith(QLatin1String(".lock"))))
            if (!PrivateFile::remove(entry.filePath()))
                qCWarning(lcPages) << "left behind:" << entry.filePath();
    }
}

// Empties the folders of slots whose instance is no longer running.
void sweepStaleSlots(const QString &base, int ownSlot)
{
    const QStringList locks = QDir(base).entryList({QStringLiteral("instance-*.lock")},
                                                   QDir::Files | QDir::System | QDir::Hidden);
    for (const QString &name : locks) {
        bool isNumber = false;
        const int slot = name.mid(9, name.size() - 14).toInt(&isNumber);
        if (!isNumber || slot < 0 || slot == ownSlot || lockName(slot) != name)
            continue;
        InstanceLock other;
        if (!other.tryLock(base + QLatin1Char('/') + name))
            continue; // still running
        const QString folder = slotFolder(base, slot);
        clearPages(folder);
        if (slot != 0)
            QDir().rmdir(folder);
    }
}

} // namespace

QString folder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    // The pages name the user's files: the folder must be the user's own and closed to others.
    const QString dir = base + QStringLiteral("/ulvo");
    return PrivateFile::makePrivateFolder(dir) ? dir : QString();
}

QString claimInstance(const QString &base, InstanceLock &lock)
{
    lock.unlock();
    if (base.isEmpty())
        return {};
    for (int slot = 0; slot < MaxInstances; ++slot) {
        if (!lock.tryLock(base + QLatin1Char('/') + lockName(slot)))
            continue;
        const QString folder = slotFolder(base, slot);
        if (!PrivateFile::makePrivateFolder(folder)) {
            lock.unlock();
            continue;
        }
        clearPages(folder);
        sweepStaleSlots(base, slot);
        return folder;
    }
    return base;
}

QString instanceFolder()
{
    // One claim per process, made again only if the cache location itself changes.
    static std::mutex mutex;
    static QString claimedBase;
    static QString claimed;
    static InstanceLock lock;

    const QString base = folder();
    const std::lock_guard<std::mutex> guard(mutex);
    if (base != claimedBase) {
        claimed = claimInstance(base, lock);
        claimedBase = base;
    } else if (claimed != base && !PrivateFile::makePrivateFolder(claimed)) {
        return {};
    }
    return claimed;
}

int slotNumber(const QString &base, const QString &claimed)
{
    const QString prefix = base + QStringLiteral("/instance-");
    if (base.isEmpty() || !claimed.startsWith(prefix))
        return 0;
    bool isNumber = false;
    const int slot = claimed.mid(prefix.size()).toInt(&isNumber);
    return isNumber && slot > 0 && claimed == slotFolder(base, slot) ? slot : 0;
}

int instanceNumber()
{
    const QString claimed = instanceFolder();
    return slotNumber(folder(), claimed);
}

QString path(const QString &fileName)
{
    const QString dir = instanceFolder();
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
    return PrivateFile::replace(filePath, bytes, PrivateFile::Access::OwnerOnly);
}

bool writeLines(const QString &filePath, const QStringList &lines)
{
    return writeBytes(filePath, joinLines(lines));
}

QString noteTemporaryFolder(const QString &folder)
{
    const QString own = instanceFolder();
    if (own.isEmpty())
        return {};
    const QString note = own + QLatin1Char('/') + QFileInfo(folder).fileName() +
                         QString::number(qHash(folder), 16) + NoteSuffix;
    return writeBytes(note, folder.toUtf8()) ? note : QString();
}

QString notWrittenMessage(const QString &filePath)
{
    if (filePath.isEmpty())
        return QStringLiteral("無法顯示圖片：快取資料夾無法使用（不存在、無法建立或不屬於本用戶）");
    return QStringLiteral("無法顯示圖片：頁面文件無法寫入 ") + filePath;
}

bool remove(const QString &filePath)
{
    return PrivateFile::remove(filePath);
}

} // namespace PageFiles

} // namespace vimbrel
