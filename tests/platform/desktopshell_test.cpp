// The desktop shell against a sandboxed desktop database: it says when nothing would open an
// address instead of handing it to a launcher that fails on its own.
#include "platform/desktopshell.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/filenames.h"

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
    void setDefault(const QString &mimeType, const QString &program,
                    const QString &command = QStringLiteral("true %u"))
    {
        QDir().mkpath(m_dir.filePath(QStringLiteral("data/applications")));
        QFile entry(m_dir.filePath(QStringLiteral("data/applications/") + program +
                                   QStringLiteral(".desktop")));
        ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=" + program.toUtf8() +
                    "\nExec=" + command.toUtf8() + "\nMimeType=" + mimeType.toUtf8() + ";\n");
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

TEST(DesktopShell, ALaunchNamesAFileByItsOwnBytes)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        GTEST_SKIP() << "xdg-utils is not installed";
    DesktopSandbox desktop;
    // A Big5 name, and beside it the name Qt would have made of it.
    const QByteArray folder = QFile::encodeName(desktop.path(QString())) + '/';
    const QByteArray big5 = folder + "\xB9\xCF.png";
    const QByteArray replaced = folder + "\xEF\xBF\xBD\xEF\xBF\xBD.png";
    // Qt cannot remove these names: the sandbox would be left behind.
    const auto remove = qScopeGuard([&] {
        ::unlink(big5.constData());
        ::unlink(replaced.constData());
    });
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(QImage(4, 4, QImage::Format_RGB32).save(&buffer, "PNG"));
    for (const QByteArray &name : {big5, replaced}) {
        const int fd = ::open(name.constData(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, png.constData(), size_t(png.size())), png.size());
        ::close(fd);
    }
    // The program the desktop runs writes down the path it was given.
    const QString record = desktop.path(QStringLiteral("opened"));
    const QString program = desktop.path(QStringLiteral("viewer.sh"));
    QFile script(program);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf %s \"$1\" > \"" + QFile::encodeName(record) + "\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    desktop.setDefault(QStringLiteral("image/png"), QStringLiteral("viewer"), program + " %f");

    // What the shell hands over: Qt's launcher passes the address, as encoded, to xdg-open
    // (offscreen it launches nothing, so xdg-open is run here the same way).
    const QUrl url = DesktopShell::urlForTarget(FileNames::fromBytes(big5));
    EXPECT_TRUE(url.toEncoded().endsWith("/%B9%CF.png")) << url.toEncoded().constData();
    EXPECT_TRUE(DesktopShell::hasDefaultProgram(url));
    EXPECT_TRUE(FileNames::exists(FileNames::pathOf(url)));
    // Its folder (the page folder command) is a folder to the desktop, whatever its name.
    const QByteArray inBig5 = folder + "\xB9\xCF";
    ASSERT_EQ(::mkdir(inBig5.constData(), 0700), 0);
    const auto removeFolder = qScopeGuard([&] { ::rmdir(inBig5.constData()); });
    const QUrl folderUrl = DesktopShell::urlForTarget(FileNames::fromBytes(inBig5));
    EXPECT_FALSE(DesktopShell::hasDefaultProgram(folderUrl));
    desktop.setDefault(QStringLiteral("inode/directory"), QStringLiteral("files"));
    EXPECT_TRUE(DesktopShell::hasDefaultProgram(folderUrl));
    QProcess open;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0")); // xdg-open asks for one
    open.setProcessEnvironment(environment);
    open.start(QStringLiteral("xdg-open"), {QString::fromLatin1(url.toEncoded())});
    ASSERT_TRUE(open.waitForFinished(20000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(record).size() > 0; }, 20000));
    QFile opened(record);
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly));
    EXPECT_EQ(opened.readAll(), big5);
}
