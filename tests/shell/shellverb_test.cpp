#include "shell/shellverb.h"

#include "shell/registry.h"

#include <QCoreApplication>
#include <QStringList>

#include <gtest/gtest.h>

using namespace vimbrel;

namespace {

// Records every registry call as "set|root|key|value name|text" or "delete|root|key".
class RecordingRegistry : public Registry
{
public:
    QStringList calls;

    void setRegString(RegistryRoot root, const QString &keyPath, const QString &valueName,
                      const QString &text) override
    {
        calls << QStringLiteral("set|%1|%2|%3|%4").arg(name(root), keyPath, valueName, text);
    }
    void deleteRegKey(RegistryRoot root, const QString &keyPath) override
    {
        calls << QStringLiteral("delete|%1|%2").arg(name(root), keyPath);
    }

private:
    static QString name(RegistryRoot root)
    {
        return root == RegistryRoot::ClassesRoot ? QStringLiteral("HKCR") : QStringLiteral("HKLM");
    }
};

const QString Command = QStringLiteral("\"C:\\Tools\\viewer.exe\" \"%1\"");

} // namespace

TEST(ShellVerbTest, AddWritesTheFourValuesInOrder)
{
    RecordingRegistry registry;
    ShellVerb::setShellVerb(registry, 1, Command);
    EXPECT_EQ(
        registry.calls,
        QStringList({
            QStringLiteral("set|HKCR|Directory\\shell\\ulvo||Vimbrel"),
            QStringLiteral("set|HKCR|Directory\\shell\\ulvo\\command||") + Command,
            QStringLiteral("set|HKLM|Software\\CLASSES\\Drive\\shell\\ulvo||Vimbrel"),
            QStringLiteral("set|HKLM|Software\\CLASSES\\Drive\\shell\\ulvo\\command||") + Command,
        }));
}

// Only exactly 1 adds; everything else removes, command keys before their parents.
class ShellVerbRemoveTest : public ::testing::TestWithParam<int>
{
};

TEST_P(ShellVerbRemoveTest, DeletesTheFourKeysChildrenFirst)
{
    RecordingRegistry registry;
    ShellVerb::setShellVerb(registry, GetParam(), Command);
    EXPECT_EQ(registry.calls,
              QStringList({
                  QStringLiteral("delete|HKCR|Directory\\shell\\ulvo\\command"),
                  QStringLiteral("delete|HKCR|Directory\\shell\\ulvo"),
                  QStringLiteral("delete|HKLM|Software\\CLASSES\\Drive\\shell\\ulvo\\command"),
                  QStringLiteral("delete|HKLM|Software\\CLASSES\\Drive\\shell\\ulvo"),
              }));
}

INSTANTIATE_TEST_SUITE_P(AnythingButOne, ShellVerbRemoveTest, ::testing::Values(0, 2, -1));

TEST(ShellVerbTest, ToggleAddsWhenCheckedAndRemovesWhenNot)
{
    RecordingRegistry registry;
    ShellVerb::toggleFolderVerb(registry, false);
    ShellVerb::toggleFolderVerb(registry, true);
    ASSERT_EQ(registry.calls.size(), 8);
    EXPECT_TRUE(registry.calls[0].startsWith(QStringLiteral("delete|")));
    EXPECT_TRUE(registry.calls[4].startsWith(QStringLiteral("set|")));
    // The command names this program.
    EXPECT_EQ(registry.calls[5].section(QLatin1Char('|'), 4),
              ShellVerb::commandLineFor(QCoreApplication::applicationFilePath()));
}

struct WindowsCase
{
    const char *label;
    const char *folder;
    const char *baseName;
    const char *expected;
};

class WindowsCommandLineTest : public ::testing::TestWithParam<WindowsCase>
{
};

TEST_P(WindowsCommandLineTest, QuotedProgramThenQuotedArgument)
{
    const WindowsCase &c = GetParam();
    EXPECT_EQ(
        ShellVerb::windowsCommandLine(QString::fromUtf8(c.folder), QString::fromUtf8(c.baseName)),
        QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, WindowsCommandLineTest,
    ::testing::Values(WindowsCase{"Folder", "C:\\Tools", "viewer",
                                  "\"C:\\Tools\\viewer.exe\" \"%1\""},
                      // a drive root is reported with its backslash; both are kept
                      WindowsCase{"DriveRoot", "C:\\", "viewer", "\"C:\\\\viewer.exe\" \"%1\""},
                      WindowsCase{"BlanksAndChinese", "D:\\Program Files\\圖片", "Vimbrel 4",
                                  "\"D:\\Program Files\\圖片\\Vimbrel 4.exe\" \"%1\""}),
    [](const auto &info) { return std::string(info.param.label); });

struct DesktopCase
{
    const char *label;
    const char *path;
    const char *expected;
};

class DesktopCommandLineTest : public ::testing::TestWithParam<DesktopCase>
{
};

TEST_P(DesktopCommandLineTest, QuotedForExec)
{
    const DesktopCase &c = GetParam();
    EXPECT_EQ(ShellVerb::desktopCommandLine(QString::fromUtf8(c.path)),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DesktopCommandLineTest,
    ::testing::Values(DesktopCase{"Plain", "/usr/bin/vimbrel", "\"/usr/bin/vimbrel\" %f"},
                      DesktopCase{"Blank", "/opt/my apps/vimbrel", "\"/opt/my apps/vimbrel\" %f"},
                      DesktopCase{"DoubleQuote", "/opt/a\"b/vimbrel", "\"/opt/a\\\"b/vimbrel\" %f"},
                      DesktopCase{"DollarAndBacktick", "/opt/$HOME/`x`/v",
                                  "\"/opt/\\$HOME/\\`x\\`/v\" %f"},
                      DesktopCase{"Backslash", "/opt/a\\b/v", "\"/opt/a\\\\b/v\" %f"},
                      DesktopCase{"Percent", "/opt/100%f/v", "\"/opt/100%%f/v\" %f"},
                      DesktopCase{"ShellCharacters", "/opt/it's;&|<>/v", "\"/opt/it's;&|<>/v\" %f"},
                      DesktopCase{"Chinese", "/opt/圖片/v", "\"/opt/圖片/v\" %f"}),
    [](const auto &info) { return std::string(info.param.label); });
