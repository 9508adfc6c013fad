#include "gallery/folderlisting.h"

#include "gallery/naturalorder.h"
#include "gallery/pictureextensions.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <string_view>
#include <vector>

#ifdef VIMBREL_RAW_DIRS
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "gallery/rawdirectory.h"
#endif

namespace vimbrel {

QString folderWithSlash(const QString &folder)
{
    if (folder.isEmpty())
        return folder;
    QString result = QDir::fromNativeSeparators(folder);
    if (!result.endsWith(u'/'))
        result += u'/';
    return result;
}

QString folderOf(const QString &filePath)
{
    return filePath.left(filePath.lastIndexOf(u'/') + 1);
}

QString pathInFolder(const QString &folder, std::string_view storedName)
{
    const auto nameLength = static_cast<qsizetype>(storedName.size());
    QString path(folder.size() + nameLength, Qt::Uninitialized);
    QChar *out = path.data();
    std::copy(folder.constBegin(), folder.constEnd(), out);
    out += folder.size();
    bool ascii = true;
    for (char c : storedName)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        for (char c : storedName)
            *out++ = QLatin1Char(c);
        return path;
    }
    // UTF-8 never takes more UTF-16 units than bytes.
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QChar *end = decoder.appendToBuffer(out, QByteArrayView(storedName.data(), nameLength));
    path.truncate(end - path.constData());
    return path;
}

#ifdef VIMBREL_RAW_DIRS

namespace {

constexpr size_t MaxKeptBuffer = 4 * 1024 * 1024;

// A regular file, or a link to one; the type comes from the directory entry when it can.
bool isFileEntry(int dirFd, const RawDirectory::Entry *entry)
{
    switch (entry->d_type) {
    case DT_REG:
        return true;
    case DT_LNK:
    case DT_UNKNOWN: {
        struct stat st;
        return fstatat(dirFd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    }
    default:
        return false;
    }
}

} // namespace

void listFolder(const QString &folder, ImageList &list, ListingOrder order)
{
    list.reset();
    const QString base = folderWithSlash(folder);
    if (base.isEmpty())
        return;
    const int fd = ::open(QFile::encodeName(base).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    thread_local std::vector<char> buffer;
    size_t used = 0;
    const bool read = RawDirectory::readAll(fd, buffer, used);
    std::vector<std::string_view> names;
    if (read) {
        for (size_t pos = 0; pos < used;) {
            const auto *entry = reinterpret_cast<const RawDirectory::Entry *>(buffer.data() + pos);
            pos += entry->d_reclen;
            const std::string_view name(entry->d_name);
            if (isPictureName(name) && isFileEntry(fd, entry))
                names.push_back(name);
        }
    }
    ::close(fd);

    if (order == ListingOrder::Natural) {
        const auto less = [](std::string_view a, std::string_view b) { return naturalLess(a, b); };
        if (names.size() > static_cast<size_t>(ImageList::Slots)) {
            std::partial_sort(names.begin(), names.begin() + ImageList::Slots, names.end(), less);
            names.resize(ImageList::Slots);
        } else {
            std::sort(names.begin(), names.end(), less);
        }
    }
    for (std::string_view name : names) {
        if (!list.append(pathInFolder(base, name)))
            break;
    }
    // Kept between listings to save the allocation, unless one huge folder made it big.
    if (buffer.capacity() > MaxKeptBuffer)
        std::vector<char>().swap(buffer);
}

#else

void listFolder(const QString &folder, ImageList &list, ListingOrder order)
{
    list.reset();
    const QString base = folderWithSlash(folder);
    if (base.isEmpty())
        return;
    std::vector<QString> names;
    QDirIterator it(base, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        // System brings in Windows' system files; on other systems it also means special
        // files, which are not pictures.
        if (isPictureName(name) && it.fileInfo().isFile())
            names.push_back(name);
    }
    if (order == ListingOrder::Natural) {
        std::sort(names.begin(), names.end(),
                  [](const QString &a, const QString &b) { return naturalLess(a, b); });
    }
    for (const QString &name : names) {
        if (!list.append(base + name))
            break;
    }
}

#endif

void listFolder(const QString &folder, ImageList &list)
{
    listFolder(folder, list, ListingOrder::Natural);
}

} // namespace vimbrel
