// The desktop shell against a sandboxed desktop database: it says when nothing would open an
// address instead of handing it to a launcher that fails on its own.
#include "platform/desktopshell.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

using namespace vimbrel;

namespace {

// Points every XDG variable into a temporary folder and forgets the running desktop.
class DesktopSandbox
{
public:
    DesktopSandbox()
    {
        const std::map<const char *, QString> paths = {
            {"XDG_DATA_HOME", QStringLiteral("data")},
            {"XDG_DATA_DIRS", QStringLiteral("sysdata")},
            {"XDG_CONFIG_HOME", QStringLiteral("config")},
            {"XDG_CONFIG_DIRS", QStringLiteral("sysconfig")}};
        for (const auto &[name, folder] : paths) {
            QDir().mkpath(m_dir.filePath(folder));
            set(name, m_dir.filePath(folder).toLocal8Bit());
        }
        // File types still come from the system's MIME database, not its programs.
        QFile::link(QStringLiteral("/usr/share/mime"),
                    m_dir.filePath(QStringLiteral("sysdata/mime")));
        for (const char *name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                 "GNOME_DESKTOP_SESSION_ID", "XDG_SESSION_DESKTOP"})
            set(name, std::nullopt);
        // No web browser to fall back on either.
        set("BROWSER", QByteArray("no-such-browser-for-vimbrel"));
    }
    ~DesktopSandbox()
    {
        for (const auto &[name, value] : m_saved) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }

    // Makes program.desktop the default for the type.
    void setDefault(const QString &mimeType, const QString &program)
    {
        QDir().mkpath(m_dir.filePath(QStringLiteral("data/applications")));
        QFile entry(m_dir.filePath(QStringLiteral("data/applications/") + program +
                                   QStringLiteral(".desktop")));
        ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=" + program.toUtf8() +
                    "\nExec=true %u\nMimeType=" + mimeType.toUtf8() + ";\n");
        QFile list(m_dir.filePath(QStringLiteral("config/mimeapps.list")));
        ASSERT_TRUE(list.open(QIODevice::Append));
        if (list.size() == 0)
            list.write("[Default Applications]\n");
        list.write(mimeType.toUtf8() + '=' + program.toUtf8() + ".desktop\n");
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

private:
    void set(const char *name, const std::optional<QByteArray> &value)
    {
        m_saved.emplace_back(name, qEnvironmentVariableIsSet(name)
                                       ? std::optional<QByteArray>(qgetenv(name))
                                       : std::nullopt);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }

    QTemporaryDir m_dir;
    std::vector<std::pair<const char *, std::optional<QByteArray>>> m_saved;
};

} // namespace

TEST(DesktopShell, KnowsWhenTheDesktopHasNoProgramForAnAddress)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
        GTEST_SKIP() << "xdg-utils is not installed";
    DesktopSandbox desktop;
    const QString picture = desktop.path(QStringLiteral("a.png"));
    QFile file(picture);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x89PNG\r\n\x1a\n", 8); // an empty file would be typed as empty, not PNG
    file.close();
    const QUrl mail(QStringLiteral("mailto:author@vimbrel.org"));

    EXPECT_FALSE(DesktopShell::hasDefaultProgram(mail));
    EXPECT_FALSE(DesktopShell::hasDefaultProgram(QUrl::fromLocalFile(picture)));
    DesktopShell shell;
    // Refused before any launcher runs: nothing to open it with, or nothing there at all.
    EXPECT_FALSE(shell.open(picture));
    EXPECT_FALSE(shell.open(desktop.path(QStringLiteral("gone.png"))));
    EXPECT_FALSE(shell.open(QString()));

    desktop.setDefault(QStringLiteral("x-scheme-handler/mailto"), QStringLiteral("mailer"));
    desktop.setDefault(QStringLiteral("image/png"), QStringLiteral("viewer"));
    EXPECT_TRUE(DesktopShell::hasDefaultProgram(mail));
    EXPECT_TRUE(DesktopShell::hasDefaultProgram(QUrl::fromLocalFile(picture)));
    EXPECT_FALSE(DesktopShell::hasDefaultProgram(QUrl(QStringLiteral("http://example.org/"))));
    // Without a desktop of its own, the launcher falls back on a web browser for anything.
    qputenv("BROWSER", "true");
    EXPECT_TRUE(DesktopShell::hasDefaultProgram(QUrl(QStringLiteral("http://example.org/"))));
}
