#include "shell/winfolderverb.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace vimbrel;

namespace {

// Records every registry call as "set|root|key|value name|text" or "delete|root|key".
class RecordingRegistry : public Registry
{
public:
    explicit RecordingRegistry(QStringList &calls) : m_calls(calls) {}

    void setRegString(RegistryRoot root, const QString &keyPath, const QString &valueName,
                      const QString &text) override
    {
        m_calls << QStringLiteral("set|%1|%2|%3|%4").arg(name(root), keyPath, valueName, text);
    }
    void deleteRegKey(RegistryRoot root, const QString &keyPath) override
    {
        m_calls << QStringLiteral("delete|%1|%2").arg(name(root), keyPath);
    }

private:
    static QString name(RegistryRoot root)
    {
        return root == RegistryRoot::ClassesRoot ? QStringLiteral("HKCR") : QStringLiteral("HKLM");
    }
    QStringList &m_calls;
};

} // namespace

TEST(WinFolderVerbTest, InstallWritesTheFourValuesAndRemoveDeletesChildrenFirst)
{
    QStringList calls;
    WinFolderVerb verb(std::make_unique<RecordingRegistry>(calls));
    verb.install(QStringLiteral("Vimbrel"), QStringLiteral("C:/Tools/viewer.exe"));
    const QString command = QStringLiteral("\"C:\\Tools\\viewer.exe\" \"%1\"");
    EXPECT_EQ(
        calls,
        QStringList({
            QStringLiteral("set|HKCR|Directory\\shell\\ulvo||Vimbrel"),
            QStringLiteral("set|HKCR|Directory\\shell\\ulvo\\command||") + command,
            QStringLiteral("set|HKLM|Software\\CLASSES\\Drive\\shell\\ulvo||Vimbrel"),
            QStringLiteral("set|HKLM|Software\\CLASSES\\Drive\\shell\\ulvo\\command||") + command,
        }));
    calls.clear();
    verb.remove();
    EXPECT_EQ(calls,
              QStringList({
                  QStringLiteral("delete|HKCR|Directory\\shell\\ulvo\\command"),
                  QStringLiteral("delete|HKCR|Directory\\shell\\ulvo"),
                  QStringLiteral("delete|HKLM|Software\\CLASSES\\Drive\\shell\\ulvo\\command"),
                  QStringLiteral("delete|HKLM|Software\\CLASSES\\Drive\\shell\\ulvo"),
              }));
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
        WinFolderVerb::commandLine(QString::fromUtf8(c.folder), QString::fromUtf8(c.baseName)),
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
