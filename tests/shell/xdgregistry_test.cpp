#include "shell/xdgregistry.h"

#include "shell/shellverb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace vimbrel;

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString Command = QStringLiteral("\"/opt/vimbrel/vimbrel\" %f");

const QByteArray ApplicationEntry = "[Desktop Entry]\n"
                                    "Type=Application\n"
                                    "Name=Vimbrel\n"
                                    "Exec=\"/opt/vimbrel/vimbrel\" %f\n"
                                    "MimeType=inode/directory;\n"
                                    "NoDisplay=true\n"
                                    "Terminal=false\n";

const QByteArray ServiceMenu = "[Desktop Entry]\n"
                               "Type=Service\n"
                               "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
                               "MimeType=inode/directory;\n"
                               "Actions=ulvo;\n"
                               "\n"
                               "[Desktop Action ulvo]\n"
                               "Name=Vimbrel\n"
                               "Exec=\"/opt/vimbrel/vimbrel\" %f\n";

class XdgRegistryTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_home.isValid()); }

    QString application() const
    {
        return m_home.path() + QStringLiteral("/applications/ulvo.desktop");
    }
    QString serviceMenu() const
    {
        return m_home.path() + QStringLiteral("/kio/servicemenus/ulvo.desktop");
    }

    QTemporaryDir m_home;
    XdgRegistry m_registry{m_home.path()};
};

} // namespace

TEST_F(XdgRegistryTest, RegisterRemoveRegisterAgain)
{
    ShellVerb::setShellVerb(m_registry, 1, Command);
    EXPECT_EQ(contents(application()), ApplicationEntry);
    EXPECT_EQ(contents(serviceMenu()), ServiceMenu);
    EXPECT_TRUE(QFileInfo(serviceMenu()).permissions() & QFileDevice::ExeOwner);
    EXPECT_FALSE(QFileInfo(application()).permissions() & QFileDevice::ExeOwner);

    ShellVerb::setShellVerb(m_registry, 0, Command);
    EXPECT_FALSE(QFileInfo::exists(application()));
    EXPECT_FALSE(QFileInfo::exists(serviceMenu()));

    ShellVerb::setShellVerb(m_registry, 1, Command);
    EXPECT_EQ(contents(application()), ApplicationEntry);
    EXPECT_EQ(contents(serviceMenu()), ServiceMenu);
}

TEST_F(XdgRegistryTest, ANewStartRewritesTheEntriesInPlace)
{
    ShellVerb::setShellVerb(m_registry, 1, QStringLiteral("\"/old/vimbrel\" %f"));
    XdgRegistry nextStart(m_home.path());
    ShellVerb::setShellVerb(nextStart, 1, Command);
    EXPECT_EQ(contents(application()), ApplicationEntry);
    EXPECT_EQ(contents(serviceMenu()), ServiceMenu);
    // Nothing else left beside them (no temporary files).
    EXPECT_EQ(QDir(m_home.path() + QStringLiteral("/applications")).entryList(QDir::Files).size(),
              1);
}

TEST_F(XdgRegistryTest, RemovingWhenNothingIsRegisteredIsSilent)
{
    ShellVerb::setShellVerb(m_registry, 0, Command);
    EXPECT_TRUE(QDir(m_home.path()).isEmpty());
}

TEST_F(XdgRegistryTest, CaptionAloneWritesNothingUntilTheCommandArrives)
{
    m_registry.setRegString(RegistryRoot::ClassesRoot, ShellVerb::directoryKey(), QString(),
                            QStringLiteral("Vimbrel"));
    EXPECT_FALSE(QFileInfo::exists(application()));
    m_registry.setRegString(RegistryRoot::ClassesRoot,
                            ShellVerb::commandKey(ShellVerb::directoryKey()), QString(), Command);
    EXPECT_EQ(contents(application()), ApplicationEntry);
}

TEST_F(XdgRegistryTest, KeysOfOtherShapesAreIgnored)
{
    for (const auto &[root, key] : {
             std::pair{RegistryRoot::LocalMachine, ShellVerb::directoryKey()}, // wrong root
             std::pair{RegistryRoot::ClassesRoot, ShellVerb::driveKey()},
             std::pair{RegistryRoot::ClassesRoot, QStringLiteral("*\\shell\\ulvo\\command")},
             std::pair{RegistryRoot::ClassesRoot, QStringLiteral("Directory\\shell\\..\\command")},
             std::pair{RegistryRoot::ClassesRoot, QStringLiteral("Directory\\shell\\ulvo\\x")},
         }) {
        m_registry.setRegString(root, key, QString(), Command);
    }
    // A named value is not the command.
    m_registry.setRegString(RegistryRoot::ClassesRoot,
                            ShellVerb::commandKey(ShellVerb::directoryKey()),
                            QStringLiteral("Icon"), Command);
    EXPECT_TRUE(QDir(m_home.path()).isEmpty());
}

TEST_F(XdgRegistryTest, SpecialCharactersInThePathSurviveBothQuotingLevels)
{
    // The Exec value is read as a string first (backslashes doubled), then split as a command.
    const QString command =
        ShellVerb::desktopCommandLine(QStringLiteral("/opt/my \"odd\" $dir\\`x`/100%/vimbrel"));
    ShellVerb::setShellVerb(m_registry, 1, command);
    const QByteArray exec =
        "Exec=\"/opt/my \\\\\"odd\\\\\" \\\\$dir\\\\\\\\\\\\`x\\\\`/100%%/vimbrel\" %f\n";
    EXPECT_TRUE(contents(application()).contains(exec)) << contents(application()).constData();
    EXPECT_TRUE(contents(serviceMenu()).contains(exec)) << contents(serviceMenu()).constData();
}

TEST(XdgRegistryValueTest, EscapesStringValues)
{
    EXPECT_EQ(XdgRegistry::escapeValue(QStringLiteral(" a\\b\nc\td\re ")),
              QStringLiteral("\\sa\\\\b\\nc\\td\\re "));
}

TEST(XdgRegistryValueTest, DefaultFolderIsTheDataLocation)
{
    // The test main points XDG_DATA_HOME into a temporary folder, never the user's.
    EXPECT_EQ(XdgRegistry::defaultDataHome(),
              QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    EXPECT_EQ(XdgRegistry::defaultDataHome(), qEnvironmentVariable("XDG_DATA_HOME"));
}

TEST_F(XdgRegistryTest, ReadOnlyApplicationsFolderIsSkippedQuietly)
{
    const QString folder = m_home.path() + QStringLiteral("/applications");
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                      QFileDevice::ReadOther | QFileDevice::ExeOther);
    ShellVerb::setShellVerb(m_registry, 1, Command);
    if (geteuid() != 0) { // root writes anyway
        EXPECT_FALSE(QFileInfo::exists(application()));
    }
    EXPECT_EQ(contents(serviceMenu()), ServiceMenu); // the other entry is unaffected
    ShellVerb::setShellVerb(m_registry, 0, Command);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(XdgRegistryFailureTest, DataFolderUnderAFileWritesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("plain"));
    QFile plain(file);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();

    XdgRegistry registry(file + QStringLiteral("/share"));
    ShellVerb::setShellVerb(registry, 1, Command);
    ShellVerb::setShellVerb(registry, 0, Command);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{QStringLiteral("plain")});
    EXPECT_EQ(QFileInfo(file).size(), 0);

    XdgRegistry nowhere{QString()};
    ShellVerb::setShellVerb(nowhere, 1, Command); // no folder at all: nothing, no crash
}
