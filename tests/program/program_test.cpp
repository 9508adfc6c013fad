// The real program on the offscreen platform, in a sandbox of its own: how it ends when told to
// from outside, what it leaves on the terminal, and two of it running at once.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <ostream>

#include "filecontents.h"

using vimbrel::fileContents;

namespace {

// Lines a sound start may print here: facts about how the test runs it (as root, on the
// offscreen platform, which has no OpenGL), not faults.
bool isExpectedLine(const QString &line)
{
    return line.isEmpty() || line == QLatin1String("Sandboxing disabled by user.") ||
           line == QLatin1String("No suitable graphics backend found");
}

class Program : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        QDir().mkpath(path(QStringLiteral("runtime")));
        QFile::setPermissions(path(QStringLiteral("runtime")), QFileDevice::ReadOwner |
                                                                   QFileDevice::WriteOwner |
                                                                   QFileDevice::ExeOwner);
    }
    void TearDown() override
    {
        for (auto &process : m_processes) {
            process->kill();
            process->waitForFinished();
        }
    }

    QString path(const QString &relative) const
    {
        return m_root.path() + QLatin1Char('/') + relative;
    }
    QString pageFolder() const { return path(QStringLiteral("cache/ulvo")); }

    QString folderWith(const QString &name, const QStringList &pictures)
    {
        const QString folder = path(name);
        QDir().mkpath(folder);
        QImage picture(32, 24, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        for (const QString &file : pictures)
            EXPECT_TRUE(picture.save(folder + QLatin1Char('/') + file));
        return folder;
    }

    QProcess &start(const QString &folder)
    {
        return run(QStringLiteral(VIMBREL_PROGRAM), {folder});
    }
    // The program on a folder given by its bytes, as a file manager passes a name that is not
    // UTF-8 (QProcess would pass it as UTF-8): the shell's printf makes them from escapes.
    QProcess &startOnBytes(const QByteArray &folder)
    {
        QString escaped;
        for (const char c : folder)
            escaped += QStringLiteral("\\%1").arg(uint(uchar(c)), 3, 8, QLatin1Char('0'));
        return run(QStringLiteral("/bin/sh"),
                   {QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$(printf \"$1\")\""),
                    QStringLiteral(VIMBREL_PROGRAM), escaped});
    }
    QProcess &run(const QString &program, const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), path(QStringLiteral("cache")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("runtime")));
        // The program's own choices, not the test main's.
        environment.remove(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"));
        environment.remove(QStringLiteral("QT_LOGGING_RULES"));
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->start(program, arguments);
        EXPECT_TRUE(process->waitForStarted());
        m_processes.push_back(std::move(process));
        return *m_processes.back();
    }

    // Waits (bounded) until the page file names the picture.
    bool pageShows(const QString &pageFile, const char *picture)
    {
        return QTest::qWaitFor([&] { return fileContents(pageFile).contains(picture); }, 60000);
    }

    void end(QProcess &process, int signal)
    {
        ASSERT_EQ(::kill(pid_t(process.processId()), signal), 0);
        ASSERT_TRUE(process.waitForFinished(60000));
    }

    QTemporaryDir m_root;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

struct EndCase
{
    const char *label;
    int signal;
};

void PrintTo(const EndCase &c, std::ostream *os)
{
    *os << c.label;
}

class ProgramEnd : public Program, public ::testing::WithParamInterface<EndCase>
{
};

} // namespace

TEST_P(ProgramEnd, ClosesAsTheWindowDoesAndSaysNothing)
{
    const QString folder = folderWith(QStringLiteral("pictures"), {QStringLiteral("a.png")});
    QProcess &program = start(folder);
    const QString page = pageFolder() + QStringLiteral("/Tpc.htm");
    ASSERT_TRUE(pageShows(page, "a.png"));

    end(program, GetParam().signal);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(page));

    QStringList noise;
    for (const QString &line : QString::fromLocal8Bit(program.readAllStandardError()).split(u'\n'))
        if (!isExpectedLine(line))
            noise << line;
    EXPECT_TRUE(noise.isEmpty()) << noise.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Signals, ProgramEnd,
                         ::testing::Values(EndCase{"Terminate", SIGTERM},
                                           EndCase{"Interrupt", SIGINT}, EndCase{"HangUp", SIGHUP}),
                         [](const auto &info) { return std::string(info.param.label); });

TEST_F(Program, TwoRunningAtOnceShowTheirOwnPages)
{
    QProcess &first = start(folderWith(QStringLiteral("one"), {QStringLiteral("first.png")}));
    const QString firstPage = pageFolder() + QStringLiteral("/Tpc.htm");
    ASSERT_TRUE(pageShows(firstPage, "first.png"));

    QProcess &second = start(folderWith(QStringLiteral("two"), {QStringLiteral("second.png")}));
    const QString secondPage = pageFolder() + QStringLiteral("/instance-1/Tpc.htm");
    ASSERT_TRUE(pageShows(secondPage, "second.png"));
    EXPECT_FALSE(fileContents(firstPage).contains("second.png"));

    // Closing the second leaves the first one's page as it was.
    end(second, SIGTERM);
    EXPECT_FALSE(QFile::exists(secondPage));
    EXPECT_TRUE(fileContents(firstPage).contains("first.png"));
    end(first, SIGTERM);
    EXPECT_FALSE(QFile::exists(firstPage));
}

TEST_F(Program, AFolderNamedInBig5OnTheCommandLineIsShown)
{
    const QString folder = folderWith(QStringLiteral("old"), {QStringLiteral("a.png")});
    const QByteArray named = QFile::encodeName(path(QString())) + "\xB9\xCF";
    ASSERT_EQ(::rename(QFile::encodeName(folder).constData(), named.constData()), 0);
    // Qt cannot remove the name: the sandbox would be left behind.
    const auto remove = qScopeGuard([&] {
        ::unlink(QByteArray(named + "/a.png").constData());
        ::rmdir(named.constData());
    });
    QProcess &program = startOnBytes(named);
    // The page links to the picture in that very folder, its name's bytes as escapes.
    ASSERT_TRUE(pageShows(pageFolder() + QStringLiteral("/Tpc.htm"), "/%B9%CF/a.png"));
    end(program, SIGTERM);
}
