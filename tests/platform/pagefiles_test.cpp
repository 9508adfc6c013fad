// Page files under hostile conditions, and one set of page files per running instance.
#include "platform/pagefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

#include "filecontents.h"
#include "filesizelimit.h"
#include "platform/instancelock.h"

using namespace vimbrel;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// Runs call on another thread; a call stuck on a pipe is freed by opening the pipe's other
// end, and reported.
template <typename Call> bool finishesWithoutBlocking(const QString &pipe, Call call)
{
    auto done = std::async(std::launch::async, call);
    if (done.wait_for(std::chrono::seconds(30)) == std::future_status::ready)
        return true;
    const int reader = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
    done.wait();
    ::close(reader);
    ::close(writer);
    return false;
}

} // namespace

TEST(PageFilesTest, PlantedHardLinkKeepsTheOtherUsersBytes)
{
    QTemporaryDir dir;
    const QString elsewhere = dir.filePath(QStringLiteral("theirs.txt"));
    writeFile(elsewhere, "their bytes");
    ::chmod(QFile::encodeName(elsewhere).constData(), 0666);
    const QString page = dir.filePath(QStringLiteral("Tpc.htm"));
    ASSERT_EQ(::link(QFile::encodeName(elsewhere).constData(), QFile::encodeName(page).constData()),
              0);

    ASSERT_TRUE(PageFiles::writeLines(page, {QStringLiteral("C:/pictures/a.jpg")}));

    EXPECT_EQ(fileContents(elsewhere), QByteArray("their bytes"));
    EXPECT_EQ(fileContents(page), QByteArray("C:/pictures/a.jpg\r\n"));
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(page).constData(), &st), 0);
    EXPECT_EQ(st.st_nlink, 1u);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // No temporary is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);
}

TEST(PageFilesTest, AFileOpenToOthersIsReplacedNotRewritten)
{
    // Whoever opened it while it was open to all keeps reading the old bytes, never the page.
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("Tpc.htm"));
    writeFile(page, "planted");
    ::chmod(QFile::encodeName(page).constData(), 0666);
    QFile opened(page);
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly));

    ASSERT_TRUE(PageFiles::writeLines(page, {QStringLiteral("C:/pictures/a.jpg")}));

    EXPECT_EQ(opened.readAll(), QByteArray("planted"));
    EXPECT_EQ(fileContents(page), QByteArray("C:/pictures/a.jpg\r\n"));
    EXPECT_EQ(QFileInfo(page).permissions() & (QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());
}

TEST(PageFilesTest, APipeAtThePageFileIsReplacedWithoutWaiting)
{
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("Tpc.htm"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(page).constData(), 0666), 0);
    EXPECT_TRUE(finishesWithoutBlocking(
        page, [&] { return PageFiles::writeLines(page, {QStringLiteral("page")}); }));
    EXPECT_EQ(fileContents(page), QByteArray("page\r\n"));
}

TEST(PageFilesTest, AFullDiskLeavesTheOldPageWhole)
{
    // The page of 31 pictures stays as it was rather than becoming the first part of 200.
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("Baidu.htm"));
    const QString line = QStringLiteral("<a href=\"http://127.0.0.1/p.jpg\"><img src=x></a>");
    ASSERT_TRUE(PageFiles::writeLines(page, QStringList(31, line)));
    const QByteArray before = fileContents(page);
    {
        const FileSizeLimit full(before.size() + 100);
        if (!full.active())
            GTEST_SKIP() << "no file size limit on this system";
        EXPECT_FALSE(PageFiles::writeLines(page, QStringList(200, line)));
    }
    EXPECT_EQ(fileContents(page), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("Baidu.htm")});
    // A smaller page still fits where the old one was.
    EXPECT_TRUE(PageFiles::writeLines(page, QStringList(3, line)));
    EXPECT_EQ(fileContents(page), PageFiles::joinLines(QStringList(3, line)));
}

TEST(PageFilesTest, AClaimClearsPipesLinksAndLeftoversButKeepsFolders)
{
    QTemporaryDir dir;
    const QString base = dir.path();
    ASSERT_EQ(::mkfifo(QFile::encodeName(base + QStringLiteral("/Tpc.htm")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/etc/passwd"), base + QStringLiteral("/Baidu.htm")));
    writeFile(base + QStringLiteral("/.img.htm.a1b2c3"), "half written");
    ASSERT_TRUE(QDir(base).mkdir(QStringLiteral("Vimbrel"))); // someone else's cache, say

    InstanceLock lock;
    QString claimed;
    EXPECT_TRUE(finishesWithoutBlocking(base + QStringLiteral("/Tpc.htm"), [&] {
        claimed = PageFiles::claimInstance(base, lock);
        return true;
    }));
    EXPECT_EQ(claimed, base);
    EXPECT_TRUE(lock.isLocked());
    QStringList left =
        QDir(base).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    left.sort();
    EXPECT_EQ(left, QStringList({QStringLiteral("Vimbrel"), QStringLiteral("instance-0.lock")}));
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral("/etc/passwd")));
}

TEST(PageFilesTest, AClaimRemovesTheTemporaryFoldersAKilledRunNoted)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("cache"));
    ASSERT_TRUE(QDir().mkpath(base));
    const QString saves = dir.filePath(QStringLiteral("pictures"));
    const QString left = saves + QStringLiteral("/.vimbrel-a1b2c3");
    ASSERT_TRUE(QDir().mkpath(left));
    writeFile(left + QStringLiteral("/picture.crdownload"), "half a picture");
    writeFile(saves + QStringLiteral("/1.jpg"), "a saved picture");
    // Only a folder of the program's own is removed, whatever a note names.
    writeFile(base + QStringLiteral("/a.pending"), left.toUtf8());
    writeFile(base + QStringLiteral("/b.pending"), saves.toUtf8());

    InstanceLock lock;
    ASSERT_EQ(PageFiles::claimInstance(base, lock), base);

    EXPECT_FALSE(QFileInfo::exists(left));
    EXPECT_EQ(fileContents(saves + QStringLiteral("/1.jpg")), QByteArray("a saved picture"));
    EXPECT_EQ(QDir(base).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("instance-0.lock")});
}

TEST(PageFilesTest, LocksAreHeldPerHolderAndDroppedOnRelease)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("instance-0.lock"));
    InstanceLock first;
    InstanceLock second;
    ASSERT_TRUE(first.tryLock(file));
    EXPECT_FALSE(second.tryLock(file));
    first.unlock();
    EXPECT_TRUE(second.tryLock(file));
    // A pipe or a link in the lock's place is refused, not waited on or followed.
    const QString pipe = dir.filePath(QStringLiteral("instance-1.lock"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_FALSE(first.tryLock(pipe));
    const QString link = dir.filePath(QStringLiteral("instance-2.lock"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("target")), link));
    EXPECT_FALSE(first.tryLock(link));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("target"))));
}

// Real processes, so that the locks are what the system holds for a running program.
class PageFileInstances : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_cache.isValid());
        m_base = m_cache.path() + QStringLiteral("/ulvo");
    }
    void TearDown() override
    {
        for (auto &process : m_processes) {
            process->kill();
            process->waitForFinished();
        }
    }

    // Starts an instance writing the given page files; returns the paths it uses.
    QStringList start(const QStringList &names)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_cache.path());
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(PAGEFILES_INSTANCE), names);
        QStringList paths;
        while (paths.size() < names.size() && process->waitForReadyRead(30000)) {
            while (process->canReadLine())
                paths << QString::fromLocal8Bit(process->readLine()).trimmed();
        }
        m_processes.push_back(std::move(process));
        return paths;
    }
    QProcess &instance(int i) { return *m_processes.at(size_t(i)); }
    void quit(int i)
    {
        instance(i).write("quit\n");
        instance(i).closeWriteChannel();
        ASSERT_TRUE(instance(i).waitForFinished(30000));
    }
    void crash(int i)
    {
        instance(i).kill(); // SIGKILL: nothing is cleaned up
        ASSERT_TRUE(instance(i).waitForFinished(30000));
    }
    QString inBase(const QString &name) const { return m_base + QLatin1Char('/') + name; }

    QTemporaryDir m_cache;
    QString m_base;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

TEST_F(PageFileInstances, EachRunningInstanceOwnsItsPages)
{
    const QStringList first = start({QStringLiteral("Tpc.htm"), QStringLiteral("Baidu.htm")});
    ASSERT_EQ(first, QStringList(
                         {inBase(QStringLiteral("Tpc.htm")), inBase(QStringLiteral("Baidu.htm"))}));
    const QStringList second = start({QStringLiteral("Tpc.htm")});
    ASSERT_EQ(second, QStringList{inBase(QStringLiteral("instance-1/Tpc.htm"))});
    EXPECT_EQ(fileContents(first[0]).trimmed().toLongLong(), instance(0).processId());
    EXPECT_EQ(fileContents(second[0]).trimmed().toLongLong(), instance(1).processId());

    // Closing the second leaves the first one's page alone.
    quit(1);
    EXPECT_FALSE(QFileInfo::exists(second[0]));
    EXPECT_EQ(fileContents(first[0]).trimmed().toLongLong(), instance(0).processId());

    // A third while the first runs takes the free slot again.
    EXPECT_EQ(start({QStringLiteral("Tpc.htm")}), second);
}

TEST_F(PageFileInstances, PagesOfInstancesThatDiedAreClearedAtTheNextStart)
{
    start({QStringLiteral("Tpc.htm"), QStringLiteral("Baidu.htm")});
    const QStringList second = start({QStringLiteral("Tpc.htm"), QStringLiteral("img.htm")});
    ASSERT_EQ(second.size(), 2);
    crash(0);
    crash(1);
    ASSERT_TRUE(QFileInfo::exists(inBase(QStringLiteral("Baidu.htm"))));
    ASSERT_TRUE(QFileInfo::exists(second[1]));

    // The first slot's lock is recognised as stale: the usual names come back.
    EXPECT_EQ(start({QStringLiteral("Tpc.htm")}), QStringList{inBase(QStringLiteral("Tpc.htm"))});
    EXPECT_FALSE(QFileInfo::exists(inBase(QStringLiteral("Baidu.htm"))));
    EXPECT_FALSE(QFileInfo::exists(inBase(QStringLiteral("instance-1"))));
}

TEST(PageFilesTest, EachClaimKnowsItsInstanceNumber)
{
    QTemporaryDir dir;
    const QString base = dir.path();
    InstanceLock first, second;
    EXPECT_EQ(PageFiles::slotNumber(base, PageFiles::claimInstance(base, first)), 0);
    EXPECT_EQ(PageFiles::slotNumber(base, PageFiles::claimInstance(base, second)), 1);
    // Not a slot of this folder: counted as the first.
    EXPECT_EQ(PageFiles::slotNumber(base, base + QStringLiteral("/instance-x")), 0);
    EXPECT_EQ(PageFiles::slotNumber(base, QStringLiteral("/elsewhere/instance-3")), 0);
}
