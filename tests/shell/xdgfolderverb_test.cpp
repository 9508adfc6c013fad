#include "shell/xdgfolderverb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include "filecontents.h"

using namespace vimbrel;

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

const QString Program = QStringLiteral("/opt/vimbrel/vimbrel");

class XdgFolderVerbTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_home.isValid()); }
    QString file(const QString &relative) const
    {
        return m_home.path() + QLatin1Char('/') + relative;
    }

    QTemporaryDir m_home;
    XdgFolderVerb m_verb{m_home.path()};
};

} // namespace

TEST_F(XdgFolderVerbTest, InstallWritesEachFileManagersEntryAndRemoveTakesThemOut)
{
    m_verb.install(QStringLiteral("Vimbrel"), Program);
    EXPECT_EQ(fileContents(file(QStringLiteral("applications/ulvo.desktop"))),
              QByteArray("[Desktop Entry]\n"
                         "Type=Application\n"
                         "Name=Vimbrel\n"
                         "Exec=/opt/vimbrel/vimbrel %f\n"
                         "TryExec=/opt/vimbrel/vimbrel\n"
                         "NoDisplay=true\n"
                         "Terminal=false\n"));
    EXPECT_EQ(fileContents(file(QStringLiteral("kio/servicemenus/ulvo.desktop"))),
              QByteArray("[Desktop Entry]\n"
                         "Type=Service\n"
                         "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
                         "MimeType=inode/directory;\n"
                         "Actions=ulvo;\n"
                         "TryExec=/opt/vimbrel/vimbrel\n"
                         "\n"
                         "[Desktop Action ulvo]\n"
                         "Name=Vimbrel\n"
                         "Exec=/opt/vimbrel/vimbrel %f\n"));
    EXPECT_EQ(fileContents(file(QStringLiteral("file-manager/actions/ulvo.desktop"))),
              QByteArray("[Desktop Entry]\n"
                         "Type=Action\n"
                         "Name=Vimbrel\n"
                         "Profiles=folder;\n"
                         "TryExec=/opt/vimbrel/vimbrel\n"
                         "\n"
                         "[X-Action-Profile folder]\n"
                         "MimeTypes=inode/directory;\n"
                         "Exec=/opt/vimbrel/vimbrel %f\n"));
    EXPECT_EQ(fileContents(file(QStringLiteral("nemo/actions/ulvo.nemo_action"))),
              QByteArray("[Nemo Action]\n"
                         "Name=Vimbrel\n"
                         "Exec=/opt/vimbrel/vimbrel %F\n"
                         "Selection=s\n"
                         "Extensions=dir;\n"
                         "Dependencies=/opt/vimbrel/vimbrel;\n"));
    // Only what a file manager runs is executable.
    for (const QString &relative : XdgFolderVerb::entryFiles()) {
        const bool runnable = QFileInfo(file(relative)).permissions() & QFileDevice::ExeOwner;
        EXPECT_EQ(runnable, relative.startsWith(QLatin1String("kio/")) ||
                                relative.startsWith(QLatin1String("nautilus/")))
            << relative.toStdString();
    }

    m_verb.remove();
    for (const QString &relative : XdgFolderVerb::entryFiles())
        EXPECT_FALSE(QFileInfo::exists(file(relative))) << relative.toStdString();
    m_verb.remove(); // nothing there: silent

    m_verb.install(QStringLiteral("Vimbrel"), QStringLiteral("/new/vimbrel"));
    EXPECT_TRUE(fileContents(file(QStringLiteral("applications/ulvo.desktop")))
                    .contains("Exec=/new/vimbrel %f\n"));
    // Nothing else left beside the entries (no temporary files).
    EXPECT_EQ(QDir(file(QStringLiteral("applications")))
                  .entryList(QDir::Files | QDir::Hidden | QDir::System)
                  .size(),
              1);
}

TEST_F(XdgFolderVerbTest, PlantedLinksAtTheEntriesAreReplacedNotFollowed)
{
    const QString victim = file(QStringLiteral("victim.txt"));
    writeFile(victim, "keep me");
    for (const QString &relative : XdgFolderVerb::entryFiles()) {
        QDir().mkpath(QFileInfo(file(relative)).path());
        ASSERT_TRUE(QFile::link(victim, file(relative)));
    }
    m_verb.install(QStringLiteral("Vimbrel"), Program);
    EXPECT_EQ(fileContents(victim), QByteArray("keep me"));
    for (const QString &relative : XdgFolderVerb::entryFiles()) {
        EXPECT_FALSE(QFileInfo(file(relative)).isSymLink()) << relative.toStdString();
        EXPECT_TRUE(fileContents(file(relative)).contains("vimbrel")) << relative.toStdString();
    }
    m_verb.remove();
    EXPECT_EQ(fileContents(victim), QByteArray("keep me"));
}

struct ExecCase
{
    const char *label;
    const char *path;
    const char *expected;
};

class ExecProgramTest : public ::testing::TestWithParam<ExecCase>
{
};

TEST_P(ExecProgramTest, BareUnlessReservedCharactersNeedQuotes)
{
    const ExecCase &c = GetParam();
    EXPECT_EQ(XdgFolderVerb::execProgram(QString::fromUtf8(c.path)), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExecProgramTest,
    ::testing::Values(ExecCase{"Plain", "/usr/bin/vimbrel", "/usr/bin/vimbrel"},
                      ExecCase{"Chinese", "/opt/圖片/v", "/opt/圖片/v"},
                      ExecCase{"Percent", "/opt/100%f/v", "/opt/100%%f/v"},
                      ExecCase{"Blank", "/opt/my apps/vimbrel", "\"/opt/my apps/vimbrel\""},
                      ExecCase{"DoubleQuote", "/opt/a\"b/vimbrel", "\"/opt/a\\\"b/vimbrel\""},
                      ExecCase{"DollarAndBacktick", "/opt/$HOME/`x`/v",
                               "\"/opt/\\$HOME/\\`x\\`/v\""},
                      ExecCase{"Backslash", "/opt/a\\b/v", "\"/opt/a\\\\b/v\""},
                      ExecCase{"QuotedPercent", "/opt/a b/100%/v", "\"/opt/a b/100%%/v\""},
                      ExecCase{"ShellCharacters", "/opt/it's;&|<>/v", "\"/opt/it's;&|<>/v\""},
                      ExecCase{"Tilde", "/opt/~v", "\"/opt/~v\""}),
    [](const auto &info) { return std::string(info.param.label); });

TEST_F(XdgFolderVerbTest, SpecialCharactersInThePathSurviveBothQuotingLevels)
{
    // The Exec value is read as a string first (backslashes doubled), then split as a command.
    m_verb.install(QStringLiteral("Vimbrel"),
                   QStringLiteral("/opt/my \"odd\" $dir\\`x`/100%/vimbrel"));
    const QByteArray exec =
        "Exec=\"/opt/my \\\\\"odd\\\\\" \\\\$dir\\\\\\\\\\\\`x\\\\`/100%%/vimbrel\" %f\n";
    // TryExec is a plain string: no quotes, backslashes doubled.
    const QByteArray tryExec = "TryExec=/opt/my \"odd\" $dir\\\\`x`/100%/vimbrel\n";
    for (const char *relative : {"applications/ulvo.desktop", "kio/servicemenus/ulvo.desktop",
                                 "file-manager/actions/ulvo.desktop"}) {
        EXPECT_TRUE(fileContents(file(QString::fromUtf8(relative))).contains(exec)) << relative;
        EXPECT_TRUE(fileContents(file(QString::fromUtf8(relative))).contains(tryExec)) << relative;
    }
    // A backslash would be read as an escape in Nemo's list: no such line then.
    EXPECT_FALSE(fileContents(file(QStringLiteral("nemo/actions/ulvo.nemo_action")))
                     .contains("Dependencies="));
}

TEST(XdgFolderVerbValueTest, EscapesStringValues)
{
    EXPECT_EQ(XdgFolderVerb::escapeValue(QStringLiteral(" a\\b\nc\td\re ")),
              QStringLiteral("\\sa\\\\b\\nc\\td\\re "));
}

TEST(XdgFolderVerbValueTest, DefaultFolderIsTheSandboxedDataLocation)
{
    // The test main points XDG_DATA_HOME into a temporary folder, never the user's.
    EXPECT_EQ(XdgFolderVerb::defaultDataHome(), qEnvironmentVariable("XDG_DATA_HOME"));
}

TEST(XdgFolderVerbFailureTest, DataFolderUnderAFileWritesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString plain = dir.filePath(QStringLiteral("plain"));
    writeFile(plain, QByteArray());
    XdgFolderVerb verb(plain + QStringLiteral("/share"));
    verb.install(QStringLiteral("Vimbrel"), Program);
    verb.remove();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{QStringLiteral("plain")});
    EXPECT_EQ(QFileInfo(plain).size(), 0);

    XdgFolderVerb nowhere{QString()};
    nowhere.install(QStringLiteral("Vimbrel"), Program); // no folder at all: nothing, no crash
}

// ---- what the desktop makes of the entries, with its own tools in a sandbox ----

namespace {

// A program that writes the arguments it was started with into a file beside it.
QString recordingProgram(const QString &path)
{
    writeFile(path, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/arguments\"\n");
    QFile::setPermissions(path,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return QFileInfo(path).path() + QStringLiteral("/arguments");
}

class DesktopSandbox : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *tool : {"xdg-mime", "xdg-open", "update-desktop-database"}) {
            if (QStandardPaths::findExecutable(QString::fromUtf8(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed (xdg-utils, desktop-file-utils)";
        }
        ASSERT_TRUE(m_root.isValid());
        m_environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
        m_environment.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        m_environment.insert(QStringLiteral("XDG_DATA_DIRS"), path(QStringLiteral("system")));
        // No desktop named: the tools take their generic, file-based path.
        QDir().mkpath(path(QStringLiteral("home")));
        QDir().mkpath(path(QStringLiteral("config")));

        // The file manager the system offers for folders.
        writeFile(path(QStringLiteral("system/applications/filer.desktop")),
                  "[Desktop Entry]\nType=Application\nName=Filer\nExec=filer %U\n"
                  "MimeType=inode/directory;\n");
        run(QStringLiteral("update-desktop-database"),
            {path(QStringLiteral("system/applications"))});
    }

    QString path(const QString &relative) const
    {
        return m_root.path() + QLatin1Char('/') + relative;
    }
    QString dataHome() const { return path(QStringLiteral("data")); }

    QString run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.setProcessEnvironment(m_environment);
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
        EXPECT_EQ(process.exitCode(), 0)
            << program.toStdString() << ": " << process.readAllStandardError().toStdString();
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }
    QString folderOpener()
    {
        return run(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                                QStringLiteral("inode/directory")});
    }
    // What a desktop does on its own after new entries appear.
    void updateDatabase()
    {
        QDir().mkpath(dataHome() + QStringLiteral("/applications"));
        run(QStringLiteral("update-desktop-database"),
            {dataHome() + QStringLiteral("/applications")});
    }

    QTemporaryDir m_root;
    QProcessEnvironment m_environment;
};

} // namespace

TEST_F(DesktopSandbox, InstallingTheVerbDoesNotChangeWhichProgramOpensFolders)
{
    ASSERT_EQ(folderOpener(), QStringLiteral("filer.desktop"));
    XdgFolderVerb verb(dataHome());
    verb.install(QStringLiteral("Vimbrel"), path(QStringLiteral("bin/vimbrel")));
    updateDatabase();
    EXPECT_EQ(folderOpener(), QStringLiteral("filer.desktop"));
}

TEST_F(DesktopSandbox, TheApplicationEntryStartsThroughTheGenericLauncher)
{
    // Someone who picks Vimbrel for folders by hand gets a working entry.
    const QString program = path(QStringLiteral("bin/vimbrel"));
    const QString arguments = recordingProgram(program);
    XdgFolderVerb(dataHome()).install(QStringLiteral("Vimbrel"), program);
    updateDatabase();
    run(QStringLiteral("xdg-mime"), {QStringLiteral("default"), QStringLiteral("ulvo.desktop"),
                                     QStringLiteral("inode/directory")});
    const QString folder = path(QStringLiteral("pictures"));
    QDir().mkpath(folder);
    // xdg-open asks for the default program only when a display is named; none is opened.
    m_environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
    run(QStringLiteral("xdg-open"), {folder});
    EXPECT_EQ(fileContents(arguments), (folder + QLatin1Char('\n')).toUtf8());
}

TEST_F(DesktopSandbox, TheNautilusScriptPassesTheChosenFolderOrTheOneShown)
{
    const QString program = path(QStringLiteral("bin/it's mine/vimbrel"));
    const QString arguments = recordingProgram(program);
    XdgFolderVerb(dataHome()).install(QStringLiteral("Vimbrel"), program);
    const QString script = dataHome() + QStringLiteral("/nautilus/scripts/Vimbrel");
    run(script, {QStringLiteral("/srv/a b")});
    EXPECT_EQ(fileContents(arguments), QByteArray("/srv/a b\n"));

    QProcess shown; // nothing chosen: the folder the window shows
    shown.setWorkingDirectory(path(QStringLiteral("home")));
    shown.start(script, {});
    ASSERT_TRUE(shown.waitForFinished(60000));
    EXPECT_EQ(fileContents(arguments), (path(QStringLiteral("home")) + QLatin1Char('\n')).toUtf8());
}
