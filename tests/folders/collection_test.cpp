// The image list, the picture name rule, natural order, the folder listing and the tree search.
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "folders/folderlisting.h"
#include "folders/imagelist.h"
#include "folders/naturalorder.h"
#include "folders/pictureextensions.h"
#include "folders/treesearch/mounttable.h"
#include "folders/treesearch/treesearch.h"
#include "folders/treesearch/treesearchjob.h"
#include "platform/filenames.h"

using namespace vimbrel;

namespace {

QStringList entries(const ImageList &list)
{
    QStringList result;
    for (int i = 0; i < list.count(); ++i)
        result << list.at(i);
    return result;
}

// A scratch folder tree; sizes are made with resize, so large files cost no disk.
class Sandbox
{
public:
    Sandbox() { EXPECT_TRUE(m_dir.isValid()); }

    QString root() const { return m_dir.path() + u'/'; }
    QString path(const QString &relative) const { return root() + relative; }

    void file(const QString &relative, qint64 size = 0) const
    {
        rawFile(QFile::encodeName(relative), size);
    }
    // Plain system calls: some tests make tens of thousands of files, and some names are not
    // valid UTF-8.
    void rawFile(const QByteArray &relative, qint64 size = 0) const
    {
        const QByteArray full = QFile::encodeName(root()) + relative;
        int fd = ::open(full.constData(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 && errno == ENOENT) {
            QDir().mkpath(QFile::decodeName(full.left(full.lastIndexOf('/'))));
            fd = ::open(full.constData(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
        }
        ASSERT_GE(fd, 0) << full.constData();
        EXPECT_EQ(ftruncate(fd, size), 0);
        ::close(fd);
    }
    void folder(const QString &relative) const { QDir().mkpath(path(relative)); }
    void link(const QString &target, const QString &relative) const
    {
        ASSERT_EQ(symlink(QFile::encodeName(target).constData(),
                          QFile::encodeName(path(relative)).constData()),
                  0);
    }

private:
    QTemporaryDir m_dir;
};

// Permissions do not bind root; some assertions only mean something for other users.
bool canStillRead(const QString &folder)
{
    return access(QFile::encodeName(folder).constData(), R_OK | X_OK) == 0;
}

ImageList searchTree(const QString &root, const QStringList &volumeRoots = {}, int threads = -1)
{
    ImageList list;
    std::atomic<bool> stop{false};
    TreeSearch::search(root, list, stop, {}, volumeRoots, threads);
    return list;
}

constexpr qint64 Big = TreeSearch::MinBytes + 1;

} // namespace

// --- image list ---

TEST(ImageListTest, ResetKeepsOldEntriesAndAppendStopsAtTheSlots)
{
    ImageList list;
    EXPECT_TRUE(list.append(QStringLiteral("/a/1.jpg")));
    EXPECT_TRUE(list.append(QStringLiteral("/a/2.jpg")));
    EXPECT_EQ(list.listText(), QStringLiteral("/a/1.jpg\r\n/a/2.jpg\r\n"));

    list.reset();
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(list.listText().isEmpty());
    EXPECT_EQ(list.at(1), QStringLiteral("/a/2.jpg")); // left from the earlier collection
    EXPECT_TRUE(list.at(-1).isEmpty());
    EXPECT_TRUE(list.at(ImageList::Slots).isEmpty());

    for (int i = 0; i < ImageList::Slots; ++i)
        ASSERT_TRUE(list.append(QString::number(i)));
    EXPECT_TRUE(list.isFull());
    EXPECT_FALSE(list.append(QStringLiteral("one too many")));
    EXPECT_EQ(list.count(), ImageList::Slots);
    EXPECT_EQ(list.listText().count(QStringLiteral("\r\n")), ImageList::Slots);
}

TEST(ImageListTest, StoredNamesGoIntoTheSlotsWithoutChangingCopies)
{
    ImageList list;
    ASSERT_TRUE(list.appendInFolder(QStringLiteral("/a/"), "a rather long first name.jpg"));
    const ImageList copy = list; // shares the slots' text
    const QString held = list.at(0);
    list.reset();
    ASSERT_TRUE(list.appendInFolder(QStringLiteral("/b/"), "x.png"));
    ASSERT_TRUE(list.appendInFolder(QStringLiteral("/b/"), "bad\xff.gif"));
    ASSERT_TRUE(list.appendInFolder(QStringLiteral("/b/"), "\xe4\xb8\xad.jpg"));
    EXPECT_EQ(list.at(0), QStringLiteral("/b/x.png"));
    EXPECT_EQ(FileNames::toBytes(list.at(1)), QByteArray("/b/bad\xff.gif"));
    EXPECT_EQ(list.at(2), QStringLiteral("/b/中.jpg"));
    EXPECT_EQ(list.listText(), list.at(0) + QStringLiteral("\r\n") + list.at(1) +
                                   QStringLiteral("\r\n") + list.at(2) + QStringLiteral("\r\n"));
    EXPECT_EQ(copy.at(0), QStringLiteral("/a/a rather long first name.jpg"));
    EXPECT_EQ(held, copy.at(0));
}

// --- picture names ---

struct NameCase
{
    const char *name; // UTF-8
    bool picture;
};

class PictureNameTest : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(PictureNameTest, ExtensionAfterTheLastDotInAnyCase)
{
    const NameCase &c = GetParam();
    EXPECT_EQ(isPictureName(QString::fromUtf8(c.name)), c.picture) << c.name;
    EXPECT_EQ(isPictureName(std::string_view(c.name)), c.picture) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, PictureNameTest,
    ::testing::Values(NameCase{"a.JPG", true}, NameCase{"b.jpeg", true}, NameCase{"c.txt", false},
                      NameCase{"d.Gif", true}, NameCase{"e.tiff", true}, NameCase{"f.tif", true},
                      NameCase{"g.bmp", true}, NameCase{"h.PnG", true}, NameCase{"gif", true},
                      NameCase{"GIF", true}, NameCase{"x.$$$", false}, NameCase{"$$$", false},
                      NameCase{"a.", false}, NameCase{".jpg", true}, NameCase{"", false},
                      NameCase{"a.b.png", true}, NameCase{"a.jpg.txt", false},
                      NameCase{"png.txt", false}, NameCase{"a.jpe", false},
                      NameCase{"a.jpgg", false}, NameCase{"a.jpg ", false},
                      NameCase{"a.bmp,jpg", false}, NameCase{"a.ｊｐｇ", false},
                      NameCase{"圖片.JPG", true}));

// --- natural order ---

TEST(NaturalOrderTest, NumbersByValueLettersWithoutCase)
{
    const std::vector<std::pair<const char *, const char *>> ordered = {
        {"IMG2.jpg", "IMG10.jpg"},
        {"img2.jpg", "IMG10.jpg"},
        {"a.jpg", "B.jpg"},
        {"x9", "x10"},
        {"a1b", "a01c"},
        {"a", "a0"},
        {"a.jpg", "a1.jpg"},
        {"A", "a"},    // equal without case: plain order decides
        {"a01", "a1"}, // equal by value: plain order decides
        {"f", "é"},
        {"É", "é"},
        {"a99999999999999999999", "a100000000000000000000"},
        {"2024-1-9", "2024-01-10"},
    };
    for (const auto &[first, second] : ordered) {
        const QString a = QString::fromUtf8(first);
        const QString b = QString::fromUtf8(second);
        EXPECT_TRUE(naturalLess(a, b)) << first << " < " << second;
        EXPECT_FALSE(naturalLess(b, a)) << second << " < " << first;
        EXPECT_TRUE(naturalLess(std::string_view(first), std::string_view(second))) << first;
        EXPECT_FALSE(naturalLess(std::string_view(second), std::string_view(first))) << second;
    }
}

TEST(NaturalOrderTest, IsTotalAndTheSameOnStoredNames)
{
    // Every pair of distinct names is ordered one way only, transitively, and the byte form
    // (including bytes that are not UTF-8) agrees with the decoded form.
    const std::vector<std::string> names = {"a",
                                            "A",
                                            "a0",
                                            "a00",
                                            "a1",
                                            "A1",
                                            "a01",
                                            "a10",
                                            "a2",
                                            "b",
                                            "B1",
                                            "1",
                                            "01",
                                            "001",
                                            "10",
                                            "_x",
                                            ".a",
                                            "a.b",
                                            "a b",
                                            "中",
                                            "中2",
                                            "中10",
                                            "é",
                                            "É",
                                            "z\xff",
                                            "z\xfe\xff",
                                            "~",
                                            "a1b2",
                                            "a1B2",
                                            "a01b02",
                                            "a\xf0\x9f\x98\x80",
                                            "a\xef\xbf\xbd",
                                            "a0b",
                                            "a00b",
                                            "x" + std::string(300, '7'),
                                            "x" + std::string(299, '8')};
    std::vector<QString> decoded;
    for (const std::string &n : names)
        decoded.push_back(QFile::decodeName(QByteArray::fromStdString(n)));
    const size_t n = names.size();
    for (size_t i = 0; i < n; ++i) {
        EXPECT_FALSE(naturalLess(decoded[i], decoded[i]));
        for (size_t j = 0; j < n; ++j) {
            const bool less = naturalLess(decoded[i], decoded[j]);
            EXPECT_EQ(naturalLess(std::string_view(names[i]), std::string_view(names[j])), less)
                << names[i] << " vs " << names[j];
            // Sort keys compared as bytes give the same order.
            std::string keyI;
            std::string keyJ;
            appendNaturalSortKey(keyI, names[i]);
            appendNaturalSortKey(keyJ, names[j]);
            EXPECT_EQ(keyI < keyJ, less) << names[i] << " vs " << names[j];
            if (decoded[i] != decoded[j]) {
                EXPECT_NE(less, naturalLess(decoded[j], decoded[i])) << names[i] << names[j];
            }
            for (size_t k = 0; k < n; ++k) {
                if (less && naturalLess(decoded[j], decoded[k])) {
                    EXPECT_TRUE(naturalLess(decoded[i], decoded[k]))
                        << names[i] << " " << names[j] << " " << names[k];
                }
            }
        }
    }
}

// --- folder listing ---

TEST(FolderListingTest, PicturesOfTheFolderOnlyInNaturalOrder)
{
    Sandbox box;
    for (const char *name : {"a.JPG", "b.jpeg", "c.txt", "d.Gif", "e.tiff", ".hidden.png",
                             "IMG10.jpg", "img2.jpg", "Img1.JPG", "gif", "x.$$$"})
        box.file(QString::fromUtf8(name));
    box.file(QStringLiteral("sub.jpg/inner.jpg")); // a folder named like a picture
    box.link(box.path(QStringLiteral("a.JPG")), QStringLiteral("link.png"));
    box.link(box.path(QStringLiteral("missing.jpg")), QStringLiteral("dead.jpg"));
    box.link(box.path(QStringLiteral("sub.jpg")), QStringLiteral("folderlink.bmp"));
    ASSERT_EQ(mkfifo(QFile::encodeName(box.path(QStringLiteral("pipe.jpg"))).constData(), 0600), 0);

    const QStringList expected = {".hidden.png", "a.JPG",    "b.jpeg",   "d.Gif",     "e.tiff",
                                  "gif",         "Img1.JPG", "img2.jpg", "IMG10.jpg", "link.png"};
    const QString folder = box.root().chopped(1);
    for (const QString &given : QStringList{folder, folder + u'/'}) {
        ImageList list;
        listFolder(given, list);
        QStringList want;
        QString text;
        for (const QString &name : expected) {
            want << folder + u'/' + name;
            text += folder + u'/' + name + QStringLiteral("\r\n");
        }
        EXPECT_EQ(entries(list), want) << given.toStdString();
        EXPECT_EQ(list.listText(), text);
    }

    ImageList asRead;
    listFolder(folder, asRead, ListingOrder::AsRead);
    QStringList sorted = entries(asRead);
    std::sort(sorted.begin(), sorted.end(),
              [](const QString &a, const QString &b) { return naturalLess(a, b); });
    EXPECT_EQ(sorted.size(), expected.size());
}

TEST(FolderListingTest, MissingOrUnreadableFolderGivesAnEmptyList)
{
    Sandbox box;
    box.file(QStringLiteral("kept.jpg"));
    box.file(QStringLiteral("locked/a.jpg"));
    ImageList list;
    listFolder(box.root(), list);
    ASSERT_EQ(list.count(), 1);

    listFolder(box.path(QStringLiteral("nowhere")), list);
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(list.listText().isEmpty());
    listFolder(QString(), list);
    EXPECT_EQ(list.count(), 0);

    const QString locked = box.path(QStringLiteral("locked"));
    ASSERT_EQ(chmod(QFile::encodeName(locked).constData(), 0), 0);
    const bool readable = canStillRead(locked);
    listFolder(locked, list);
    chmod(QFile::encodeName(locked).constData(), 0700);
    if (readable)
        GTEST_SKIP() << "permissions do not bind this user (root)";
    EXPECT_EQ(list.count(), 0);
}

TEST(FolderListingTest, OddNamesKeepTheirText)
{
    Sandbox box;
    const QStringList names = {QStringLiteral("a b.jpg"),      QStringLiteral("q\"uote'.jpg"),
                               QStringLiteral("#1.jpg"),       QStringLiteral("100%.jpg"),
                               QStringLiteral("what?.jpg"),    QStringLiteral("new\nline.jpg"),
                               QStringLiteral("中文圖片.jpg"), QStringLiteral("a&b<c>.png")};
    for (const QString &name : names)
        box.file(name);
    // Names that are not UTF-8 keep their bytes: each is a path of its own, and none is taken
    // for the file whose name is really U+FFFD.
    const QList<QByteArray> raw = {QByteArray("bad\xff\xfe.gif"),
                                   QByteArray("\xB9\xCF\xA4\xF9.jpg"),         // Big5
                                   QByteArray("\xD5\xD5\xC6\xAC.jpg"),         // GBK
                                   QByteArray("caf\xE9.jpg"),                  // Latin-1
                                   QByteArray("\xEF\xBF\xBD\xEF\xBF\xBD.jpg"), // really U+FFFD
                                   QByteArray("\xED\xB2\xB9.jpg")};            // a coded surrogate
    for (const QByteArray &name : raw)
        box.rawFile(name);
    // Qt cannot remove a name it cannot encode back, so the sandbox would be left behind.
    const auto removeInvalid = qScopeGuard([&] {
        for (const QByteArray &name : raw)
            ::unlink(QByteArray(QFile::encodeName(box.root()) + name).constData());
    });

    ImageList list;
    listFolder(box.root(), list);
    const QStringList found = entries(list);
    for (const QString &name : names) {
        EXPECT_TRUE(found.contains(box.path(name))) << name.toStdString();
        EXPECT_TRUE(QFile::exists(box.path(name)));
    }
    ASSERT_EQ(found.size(), names.size() + raw.size());
    QList<QByteArray> foundBytes;
    for (const QString &path : found)
        foundBytes << FileNames::toBytes(path);
    for (const QByteArray &name : raw)
        EXPECT_TRUE(foundBytes.contains(QFile::encodeName(box.root()) + name))
            << name.toHex().toStdString();

    // The tree search names them the same way.
    for (const QString &name : names)
        box.file(name, Big);
    for (const QByteArray &name : raw)
        box.rawFile(name, Big);
    // ... and a folder whose name is not UTF-8 is entered by its bytes.
    const QByteArray folder = QFile::encodeName(box.root()) + "\xB9\xCF";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    box.rawFile("\xB9\xCF/in.jpg", Big);
    const auto removeFolder = qScopeGuard([&] {
        ::unlink(QByteArray(folder + "/in.jpg").constData());
        ::rmdir(folder.constData());
    });
    QStringList searched = entries(searchTree(box.root()));
    const qsizetype inFolder =
        searched.indexOf(FileNames::fromBytes(QByteArray(folder + "/in.jpg")));
    ASSERT_GE(inFolder, 0);
    searched.removeAt(inFolder);
    EXPECT_EQ(searched, found);
}

// --- tree search ---

TEST(TreeSearchTest, DepthFirstInNaturalOrderWithTheSizeAndFolderRules)
{
    Sandbox box;
    box.file(QStringLiteral("a.jpg"), Big);
    box.file(QStringLiteral("b/IMG10.jpg"), Big);
    box.file(QStringLiteral("b/IMG2.JPG"), Big);
    box.file(QStringLiteral("b/deeper/x.png"), Big);
    box.file(QStringLiteral("b/small.jpg"), TreeSearch::MinBytes); // exactly 30000: skipped
    box.file(QStringLiteral("c.jpg"), Big);
    box.file(QStringLiteral("big.txt"), 100000);
    box.file(QStringLiteral(".hidden.gif"), Big);       // hidden files are taken
    box.file(QStringLiteral(".cache/inside.jpg"), Big); // dot folders are not entered
    box.file(QStringLiteral("empty.bmp"), 0);
    box.folder(QStringLiteral("d.jpg")); // a folder, even named like a picture
    box.file(QStringLiteral("d.jpg/in.tif"), Big);
    box.link(box.path(QStringLiteral("a.jpg")), QStringLiteral("e-link.jpg")); // size of target
    box.link(box.root(), QStringLiteral("f-loop")); // back to the top: entered never again
    box.link(box.path(QStringLiteral("b")), QStringLiteral("b/deeper/up"));

    const QStringList expected = {".hidden.gif", "a.jpg", "b/deeper/x.png", "b/IMG2.JPG",
                                  "b/IMG10.jpg", "c.jpg", "d.jpg/in.tif",   "e-link.jpg"};
    QStringList want;
    for (const QString &name : expected)
        want << box.path(name);
    // However many threads read ahead, the walk decides the result.
    for (int threads : {0, 1, 3})
        EXPECT_EQ(entries(searchTree(box.root(), {}, threads)), want) << threads << " threads";
    EXPECT_EQ(entries(searchTree(box.root().chopped(1))), want); // without the trailing "/"

    ImageList list;
    std::atomic<bool> stop{true};
    TreeSearch::search(box.root(), list, stop, {}, {});
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(searchTree(box.path(QStringLiteral("nowhere"))).isEmpty());
}

TEST(TreeSearchTest, KernelFoldersAreEnteredOnlyWhenTheSearchStartsThere)
{
    Sandbox box;
    box.file(QStringLiteral("a.jpg"), Big);
    box.file(QStringLiteral("proc/b.jpg"), Big);
    box.file(QStringLiteral("proc/c/d.jpg"), Big);
    const QStringList kernel = {box.path(QStringLiteral("proc/"))};
    for (int threads : {0, 2}) {
        ImageList list;
        std::atomic<bool> stop{false};
        TreeSearch::search(box.root(), list, stop, {}, {}, threads, kernel);
        EXPECT_EQ(entries(list), QStringList{box.path(QStringLiteral("a.jpg"))}) << threads;
        TreeSearch::search(box.path(QStringLiteral("proc")), list, stop, {}, {}, threads, kernel);
        EXPECT_EQ(list.count(), 2) << threads;
    }
#ifdef Q_OS_LINUX
    if (QFile::exists(QStringLiteral("/proc/self/mountinfo"))) {
        EXPECT_TRUE(MountTable::kernelFolders().contains(QStringLiteral("/proc/")));
    }
#endif
}

TEST(TreeSearchTest, LinksIntoKernelTablesAreNotFollowed)
{
    // The rule judges the folder reached, not the path typed: a link to /proc (or into it)
    // inside the tree leads nowhere, as would /proc and /sys under a link to "/".
    const QStringList kernel = MountTable::kernelFolders();
    if (!kernel.contains(QStringLiteral("/proc/")))
        GTEST_SKIP() << "no /proc mounted here";
    Sandbox box;
    box.file(QStringLiteral("a.jpg"), Big);
    box.link(QStringLiteral("/proc"), QStringLiteral("proc-link"));
    box.link(QStringLiteral("/proc/self"), QStringLiteral("self-link"));
    if (kernel.contains(QStringLiteral("/sys/")))
        box.link(QStringLiteral("/sys"), QStringLiteral("sys-link"));
    for (int threads : {0, 2}) {
        std::mutex mutex;
        QStringList read;
        TreeSearch::Progress progress;
        progress.report = [&](const QString &folder, int) {
            const std::lock_guard lock(mutex);
            read << folder;
        };
        ImageList list;
        std::atomic<bool> stop{false};
        TreeSearch::search(box.root(), list, stop, progress, {QStringLiteral("/")}, threads,
                           kernel);
        EXPECT_EQ(entries(list), QStringList{box.path(QStringLiteral("a.jpg"))}) << threads;
        EXPECT_EQ(read, QStringList{box.root().chopped(1)}) << threads;
    }
}

TEST(TreeSearchTest, RecycleBinAtTheRootOfAVolumeIsLeftOut)
{
    Sandbox box;
    box.file(QStringLiteral("vol/ok.jpg"), Big);
    box.file(QStringLiteral("vol/$Recycle.Bin/S-1-5/gone.jpg"), Big);
    box.file(QStringLiteral("vol/$RECYCLER/gone.png"), Big);
    box.file(QStringLiteral("vol/keep/$RECYCLE.BIN/kept.jpg"), Big); // not at a volume's root
    box.file(QStringLiteral("vol/$recycle.bin.jpg"), Big);           // a file, not the bin

    const QStringList volumes = {box.path(QStringLiteral("vol")), QStringLiteral("/")};
    const QStringList kept = {box.path(QStringLiteral("vol/$recycle.bin.jpg")),
                              box.path(QStringLiteral("vol/keep/$RECYCLE.BIN/kept.jpg")),
                              box.path(QStringLiteral("vol/ok.jpg"))};
    EXPECT_EQ(entries(searchTree(box.path(QStringLiteral("vol")), volumes)), kept);
    EXPECT_EQ(searchTree(box.path(QStringLiteral("vol/$Recycle.Bin")), volumes).count(), 0);
    // The same tree on no volume root of its own keeps everything.
    EXPECT_EQ(searchTree(box.path(QStringLiteral("vol")), {QStringLiteral("/")}).count(), 5);

    const QStringList mounted = MountTable::volumeRoots();
    EXPECT_TRUE(mounted.contains(QStringLiteral("/")));
    for (const QString &root : mounted)
        EXPECT_TRUE(root.endsWith(u'/')) << root.toStdString();
}

TEST(TreeSearchTest, UnreadableFolderIsSkipped)
{
    Sandbox box;
    box.file(QStringLiteral("a/x.jpg"), Big);
    box.file(QStringLiteral("b/locked.jpg"), Big);
    box.file(QStringLiteral("c/y.jpg"), Big);
    const QByteArray locked = QFile::encodeName(box.path(QStringLiteral("b")));
    ASSERT_EQ(chmod(locked.constData(), 0), 0);
    const bool readable = canStillRead(box.path(QStringLiteral("b")));
    const ImageList list = searchTree(box.root());
    chmod(locked.constData(), 0700);
    if (readable)
        GTEST_SKIP() << "permissions do not bind this user (root)";
    EXPECT_EQ(entries(list), QStringList({box.path(QStringLiteral("a/x.jpg")),
                                          box.path(QStringLiteral("c/y.jpg"))}));
}

// One folder with more large pictures than the list has slots, made once: creating tens of
// thousands of files is the slow part.
class FullFolderTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_box = new Sandbox;
        for (int i = 0; i < ImageList::Slots + 4; ++i)
            s_box->file(QStringLiteral("many/p%1.png").arg(i), Big);
        s_box->file(QStringLiteral("other/last.jpg"), Big);
    }
    static void TearDownTestSuite()
    {
        delete s_box;
        s_box = nullptr;
    }
    static Sandbox *s_box;
};

Sandbox *FullFolderTest::s_box = nullptr;

TEST_F(FullFolderTest, ListingStopsAtTheSlotsOfTheList)
{
    ImageList list;
    listFolder(s_box->path(QStringLiteral("many")), list);
    EXPECT_EQ(list.count(), ImageList::Slots);
    EXPECT_EQ(list.listText().count(QStringLiteral("\r\n")), ImageList::Slots);
    // The first ones in order are kept.
    EXPECT_EQ(list.at(0), s_box->path(QStringLiteral("many/p0.png")));
    EXPECT_EQ(list.at(ImageList::Slots - 1), s_box->path(QStringLiteral("many/p20000.png")));
}

TEST_F(FullFolderTest, TreeSearchStopsAtTwentyThousandAndALaterSearchStartsAfresh)
{
    ImageList list;
    std::atomic<bool> stop{false};
    for (int threads : {0, 2}) {
        TreeSearch::search(s_box->root(), list, stop, {}, {}, threads);
        EXPECT_EQ(list.count(), TreeSearch::Cap);
        EXPECT_EQ(list.at(TreeSearch::Cap - 1), s_box->path(QStringLiteral("many/p19999.png")));
        EXPECT_EQ(list.listText().count(QStringLiteral("\r\n")), TreeSearch::Cap);
    }
    TreeSearch::search(s_box->path(QStringLiteral("other")), list, stop, {}, {});
    EXPECT_EQ(entries(list), QStringList{s_box->path(QStringLiteral("other/last.jpg"))});
    TreeSearch::search(s_box->root(), list, stop, {}, {});
    EXPECT_EQ(list.count(), TreeSearch::Cap);
}

TEST(TreeSearchTest, ReadingAheadChangesNothingInABushyTreeWithLinks)
{
    Sandbox box;
    for (int f = 0; f < 60; ++f) {
        for (int i = 0; i < 3; ++i)
            box.file(QStringLiteral("t%1/s%2/p%3.jpg").arg(f % 7).arg(f).arg(i), Big);
    }
    // The same folders met again through links, before and after their own place.
    box.link(box.path(QStringLiteral("t3")), QStringLiteral("a-link"));
    box.link(box.path(QStringLiteral("t1")), QStringLiteral("t5/s5/z-link"));
    box.link(box.root(), QStringLiteral("t2/s2/loop"));
    const QStringList single = entries(searchTree(box.root(), {}, 0));
    EXPECT_EQ(single.size(), 180);
    EXPECT_TRUE(single.first().startsWith(box.path(QStringLiteral("a-link/"))));
    for (int round = 0; round < 5; ++round)
        EXPECT_EQ(entries(searchTree(box.root(), {}, 3)), single) << round;
}

// --- the search off the UI thread ---

namespace {

void bushyTree(const Sandbox &box, int folders, int perFolder)
{
    for (int f = 0; f < folders; ++f) {
        for (int i = 0; i < perFolder; ++i)
            box.file(QStringLiteral("f%1/g%2/p%3.jpg").arg(f % 10).arg(f).arg(i), Big);
    }
}

} // namespace

TEST(TreeSearchJobTest, ReportsProgressAndHandsBackTheSameResult)
{
    Sandbox box;
    bushyTree(box, 40, 5);
    TreeSearchJob job;
    QSignalSpy progress(&job, &TreeSearchJob::progress);
    QSignalSpy finished(&job, &TreeSearchJob::finished);
    job.start(box.root());
    EXPECT_TRUE(job.isRunning());
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_FALSE(job.isRunning());
    ASSERT_GE(progress.count(), 1);
    EXPECT_EQ(progress.last().at(1).toInt(), 200); // the last report has the final count
    EXPECT_EQ(finished.count(), 1);

    const ImageList result = job.takeResult();
    EXPECT_EQ(entries(result), entries(searchTree(box.root(), MountTable::volumeRoots())));

    // Started again, it searches afresh.
    job.start(box.path(QStringLiteral("f3")));
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(job.takeResult().count(), 4 * 5);
}

TEST(TreeSearchJobTest, StopEndsItAndDestroyingARunningJobDoesNotHang)
{
    Sandbox box;
    bushyTree(box, 300, 10);
    TreeSearchJob job;
    QSignalSpy finished(&job, &TreeSearchJob::finished);
    job.start(box.root());
    job.stop();
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_LE(job.takeResult().count(), 3000);

    auto running = std::make_unique<TreeSearchJob>();
    running->start(box.root());
    running.reset(); // stops and joins
    SUCCEED();
}
