#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/detailwindowkeeper.h"
#include "detail/detailwindow.h"
#include "detail/webenginepicturedownload.h"
#include "fakedialogs.h"
#include "fakeshell.h"
#include "filecontents.h"
#include "imageservice/imageservice.h"
#include "platform/pagefiles.h"
#include "search/searchstate.h"
#include "webenginewait.h"

namespace vimbrel {
namespace {

using WebEngineWait::evaluate;
using WebEngineWait::timeout;

// The detail window with a real view and the real download, against the local image service.
class DetailWindowLive : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_saveDir.isValid());
        ASSERT_NE(m_service.listen(), 0);
        DetailServices services;
        services.dialogs = &m_dialogs;
        services.shell = &m_shell;
        services.makeView = [this](QWidget *parent) {
            m_view = new WebEngineBrowserView(parent);
            m_view->showOnlyPictures();
            return m_view;
        };
        services.makeDownload = [](BrowserView *view, QObject *parent) {
            return new WebEnginePictureDownload(view, parent);
        };
        services.pageFile = m_dir.filePath(QStringLiteral("img.htm"));
        m_detail = new DetailWindowKeeper(services, &m_state);
    }
    void TearDown() override { delete m_detail; }

    QString address(const QString &path) const
    {
        return QStringLiteral("http://") + m_service.host() + path;
    }
    // Shows the picture and waits for its page.
    bool show(const QString &picture)
    {
        m_detail->open(picture, nullptr);
        QSignalSpy loaded(m_view, &BrowserView::downloadComplete);
        return loaded.wait(timeout);
    }
    void save(const QString &target)
    {
        m_dialogs.fileAnswers = {target};
        m_detail->window()->findChild<QAction *>(QStringLiteral("Cmd0"))->trigger();
    }
    // The bytes the service sends for the address.
    QByteArray fetch(const QString &picture)
    {
        QNetworkAccessManager network;
        QNetworkReply *reply = network.get(QNetworkRequest(QUrl(picture)));
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        reply->deleteLater();
        return reply->readAll();
    }
    // Everything in the save folder, hidden entries too.
    QStringList saveFolder() const
    {
        return QDir(m_saveDir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    bool waitForMessage()
    {
        return QTest::qWaitFor(
            [&] { return !m_dialogs.calls.filter(QStringLiteral("message|")).isEmpty(); }, timeout);
    }

    QTemporaryDir m_dir;
    QTemporaryDir m_saveDir;
    ImageService m_service;
    FakeDialogs m_dialogs;
    FakeShell m_shell;
    SearchState m_state;
    DetailWindowKeeper *m_detail = nullptr;
    WebEngineBrowserView *m_view = nullptr;
};

TEST_F(DetailWindowLive, ShowsThePictureAtItsOwnSizeOnABlackPage)
{
    const QString picture = address(QStringLiteral("/pic/big.jpg?w=300&h=200"));
    ASSERT_TRUE(show(picture));
    EXPECT_EQ(m_detail->window()->windowTitle(), QStringLiteral("圖片詳情 - ") + picture);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return evaluate(*m_view, QStringLiteral("document.images.length && "
                                                    "document.images[0].complete && "
                                                    "document.images[0].naturalWidth"))
                       .toInt() == 300;
        },
        timeout));
    EXPECT_EQ(evaluate(*m_view, QStringLiteral("document.images[0].height")).toInt(), 200);
    EXPECT_EQ(evaluate(*m_view, QStringLiteral("getComputedStyle(document.body).backgroundColor"))
                  .toString(),
              QStringLiteral("rgb(0, 0, 0)"));

    // The page runs no script of its own, yet the zoom buttons act on it.
    m_detail->window()->findChild<QAction *>(QStringLiteral("Cmd4"))->trigger();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return evaluate(*m_view, QStringLiteral("document.body.style.zoom")).toString() ==
                   QLatin1String("110%");
        },
        timeout));
}

TEST_F(DetailWindowLive, SavesTheOriginalBytesAndReplacesAChosenExistingFile)
{
    const QString picture = address(QStringLiteral("/pic/keep.png?w=120&h=90"));
    ASSERT_TRUE(show(picture));
    const QString target = m_saveDir.filePath(QStringLiteral("圖 saved one.png"));
    save(target);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(target); }, timeout));
    const QByteArray original = fetch(picture);
    ASSERT_FALSE(original.isEmpty());
    EXPECT_EQ(fileContents(target), original);
    EXPECT_TRUE(QTest::qWaitFor([&] { return saveFolder().size() == 1; }, timeout))
        << saveFolder().join(QLatin1Char(' ')).toStdString();

    // The dialog asked before; the file is replaced as a whole.
    const QString second = address(QStringLiteral("/pic/other.jpg?w=64&h=48"));
    ASSERT_TRUE(show(second));
    save(target);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fileContents(target) == fetch(second); }, timeout));
    EXPECT_TRUE(QTest::qWaitFor([&] { return saveFolder().size() == 1; }, timeout));
    EXPECT_TRUE(m_dialogs.calls.filter(QStringLiteral("message|")).isEmpty());
}

TEST_F(DetailWindowLive, APictureWrittenIntoItsAddressIsSavedDecoded)
{
    const QByteArray gif =
        QByteArray::fromBase64("R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==");
    ASSERT_TRUE(
        show(QStringLiteral("data:image/gif;base64,") + QString::fromLatin1(gif.toBase64())));
    const QString target = m_saveDir.filePath(QStringLiteral("dot.gif"));
    save(target);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(target); }, timeout))
        << m_dialogs.calls.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(fileContents(target), gif);
}

TEST_F(DetailWindowLive, AFailedDownloadKeepsWhatWasThereAndSaysSo)
{
    const QString missing = address(QStringLiteral("/nothing/here.jpg"));
    ASSERT_TRUE(show(missing));
    const QString target = m_saveDir.filePath(QStringLiteral("here.jpg"));
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old bytes");
    }
    save(target);
    ASSERT_TRUE(waitForMessage());
    EXPECT_TRUE(
        m_dialogs.calls.last().startsWith(QStringLiteral("message|圖片詳情|圖片沒有保存：")))
        << m_dialogs.calls.last().toStdString();
    EXPECT_EQ(fileContents(target), QByteArray("old bytes"));
    EXPECT_EQ(saveFolder(), QStringList{QStringLiteral("here.jpg")});
}

TEST_F(DetailWindowLive, ASaveGoesOnAfterTheWindowIsClosed)
{
    const QString picture = address(QStringLiteral("/pic/late.jpg?w=90&h=60"));
    ASSERT_TRUE(show(picture));
    m_service.setDelay(800);
    const QString target = m_saveDir.filePath(QStringLiteral("late.jpg"));
    save(target);
    m_detail->window()->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(target); }, timeout))
        << m_dialogs.calls.join(QLatin1Char(' ')).toStdString();
    m_service.setDelay(0);
    EXPECT_EQ(fileContents(target), fetch(picture));
    EXPECT_TRUE(QTest::qWaitFor([&] { return saveFolder().size() == 1; }, timeout));
}

TEST_F(DetailWindowLive, AFolderThatCannotBeWrittenIsToldAtOnce)
{
    const QString picture = address(QStringLiteral("/pic/a.jpg"));
    ASSERT_TRUE(show(picture));
    save(m_saveDir.filePath(QStringLiteral("gone/a.jpg")));
    ASSERT_TRUE(waitForMessage());
    EXPECT_TRUE(m_dialogs.calls.last().contains(QStringLiteral("圖片沒有保存：")));
    EXPECT_TRUE(saveFolder().isEmpty());
}

TEST_F(DetailWindowLive, AnErrorPageIsNotKeptAsThePicture)
{
    // A server that answers a picture's address with a page of its own, status 200.
    const QString page = address(QStringLiteral("/gallery/plain"));
    ASSERT_TRUE(show(page));
    const QString target = m_saveDir.filePath(QStringLiteral("plain.jpg"));
    save(target);
    ASSERT_TRUE(waitForMessage());
    EXPECT_EQ(m_dialogs.calls.last(),
              QStringLiteral("message|圖片詳情|圖片沒有保存：收到的不是圖片，是文字或網頁|1"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return saveFolder().isEmpty(); }, timeout))
        << saveFolder().join(QLatin1Char(' ')).toStdString();
}

// A picture server that answers when told: the headers of a long picture and its first bytes,
// then nothing until it is told to cut the answer off.
class HeldServer : public QTcpServer
{
public:
    HeldServer() { listen(QHostAddress::LocalHost); }
    QString address() const
    {
        return QStringLiteral("http://127.0.0.1:%1/held.jpg").arg(serverPort());
    }
    int requests = 0;
    void start()
    {
        for (QTcpSocket *socket : m_sockets) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\n"
                          "Content-Length: 1000000\r\n\r\n\xFF\xD8\xFF\xE0");
            socket->write(QByteArray(4000, 'p'));
        }
    }
    // Every answer so far and from now on ends early.
    void cut()
    {
        m_cut = true;
        for (QTcpSocket *socket : m_sockets)
            socket->disconnectFromHost();
    }

protected:
    void incomingConnection(qintptr handle) override
    {
        auto *socket = new QTcpSocket(this);
        socket->setSocketDescriptor(handle);
        if (m_cut) {
            socket->disconnectFromHost();
            return;
        }
        m_sockets.append(socket);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            m_read[socket] += socket->readAll();
            if (m_read[socket].contains("\r\n\r\n"))
                ++requests;
        });
    }

private:
    QList<QTcpSocket *> m_sockets;
    bool m_cut = false;
    QHash<QTcpSocket *, QByteArray> m_read;
};

// The download alone, in a view that shows nothing, against a server that answers when told.
class PictureDownloadLive : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_server.isListening());
        m_folder = m_dir.filePath(QStringLiteral("pictures"));
        ASSERT_TRUE(QDir().mkpath(m_folder));
    }
    void save()
    {
        m_download.save(m_server.address(), m_folder + QStringLiteral("/held.jpg"),
                        [this](const QString &error) { m_outcome = error; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_server.requests > 0; }, timeout));
    }
    // The hidden folder has the download's first bytes.
    bool downloading() const
    {
        for (const QFileInfo &entry :
             QDir(m_folder).entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (!QDir(entry.filePath()).entryList({QStringLiteral("*.jpg*")}).isEmpty() ||
                !QDir(entry.filePath()).entryList({QStringLiteral("picture*")}).isEmpty())
                return true;
        }
        return false;
    }
    bool ended()
    {
        return QTest::qWaitFor([&] { return m_outcome.has_value(); }, timeout);
    }

    QTemporaryDir m_dir;
    QString m_folder;
    HeldServer m_server;
    WebEngineBrowserView m_view;
    WebEnginePictureDownload m_download{&m_view};
    std::optional<QString> m_outcome;
};

TEST_F(PictureDownloadLive, AFolderRemovedBeforeTheAnswerIsNotMadeAgain)
{
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_TRUE(QDir(m_folder).removeRecursively());
    m_server.start();
    ASSERT_TRUE(ended());
    EXPECT_TRUE(m_outcome->startsWith(QStringLiteral("文件夾已不存在：")))
        << m_outcome->toStdString();
    m_server.cut();
    EXPECT_FALSE(QFileInfo::exists(m_folder));
}

TEST_F(PictureDownloadLive, AFolderRemovedDuringTheDownloadEndsItAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(save());
    m_server.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return downloading(); }, timeout));
    ASSERT_TRUE(QDir(m_folder).removeRecursively());
    ASSERT_TRUE(ended());
    EXPECT_TRUE(m_outcome->startsWith(QStringLiteral("文件夾已不存在：")))
        << m_outcome->toStdString();
    EXPECT_FALSE(QFileInfo::exists(m_folder));
}

TEST_F(PictureDownloadLive, AnAnswerCutOffIsReported)
{
    ASSERT_NO_FATAL_FAILURE(save());
    m_server.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return downloading(); }, timeout));
    m_server.cut();
    ASSERT_TRUE(ended());
    EXPECT_EQ(*m_outcome, QStringLiteral("下載中斷：伺服器送來的資料不完整"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return QDir(m_folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        },
        timeout));
}

TEST_F(PictureDownloadLive, ASaveEndsAtItsDeadline)
{
    m_download.setDeadline(2000);
    ASSERT_NO_FATAL_FAILURE(save());
    m_server.start(); // and then nothing more
    ASSERT_TRUE(ended());
    EXPECT_EQ(*m_outcome, QStringLiteral("下載超時"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return QDir(m_folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        },
        timeout));
    // Its note for the next start is gone with it.
    EXPECT_TRUE(QDir(PageFiles::instanceFolder())
                    .entryList({QStringLiteral("*.pending")}, QDir::Files | QDir::Hidden)
                    .isEmpty());
}

} // namespace
} // namespace vimbrel
