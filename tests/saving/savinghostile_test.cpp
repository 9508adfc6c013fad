#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "hostileserver.h"
#include "noisepicture.h"
#include "saving/savingrun.h"

namespace vimbrel {
namespace {

using Kind = HostileServer::Kind;

// A PNG of noise: about 3 bytes a pixel, well above the size worth keeping.
QByteArray noisePng(int width, int height, quint32 salt = 1)
{
    return pngBytes(noisePicture(width, height, salt));
}

// Saving runs against servers that lie, trickle, flood or keep silent. The limits are made
// small so that each fault shows in a fraction of a second.
class SavingHostile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_run = std::make_unique<SavingRun>(m_target.path(), m_source);
        m_run->setLimits(200 * 1024, 1024 * 1024);
    }
    // Starts the run over these paths of the server and waits for its end.
    const SavingReport &save(const QStringList &paths)
    {
        QStringList addresses;
        for (const QString &path : paths)
            addresses << m_server.address(path);
        QSignalSpy finished(m_run.get(), &SavingRun::finished);
        m_run->start(addresses);
        EXPECT_TRUE(!finished.isEmpty() || finished.wait(20000));
        return m_run->report();
    }
    void picture(const QString &path, const QByteArray &type, const QByteArray &bytes,
                 int status = 200)
    {
        m_server.answer(path,
                        {Kind::Whole, HostileServer::head(type, bytes.size(), status), bytes});
    }
    QStringList targetFiles() const
    {
        return QDir(m_target.path()).entryList(QDir::Files, QDir::Name);
    }

    HostileServer m_server;
    QTemporaryDir m_target;
    SavingSource m_source;
    std::unique_ptr<SavingRun> m_run;
};

TEST_F(SavingHostile, APictureTooLargeAsDeclaredOrAsSentIsAbandoned)
{
    // Declared 2 GiB, sent never: the head alone ends it.
    m_server.answer(QStringLiteral("/declared.jpg"),
                    {Kind::Endless, HostileServer::head("image/jpeg", 2LL << 30), {}});
    // No length, bytes without end.
    m_server.answer(QStringLiteral("/endless.jpg"),
                    {Kind::Endless, HostileServer::head("image/jpeg", -1), {}});
    // A small length, then more than it said: only what it said is read.
    const QByteArray fits = noisePng(200, 150);
    m_server.answer(QStringLiteral("/fits.png"),
                    {Kind::Whole, HostileServer::head("image/png", fits.size()), fits + fits});
    const SavingReport &r = save({QStringLiteral("/declared.jpg"), QStringLiteral("/endless.jpg"),
                                  QStringLiteral("/fits.png")});
    EXPECT_EQ(r.failed, 2);
    EXPECT_EQ(r.saved, 1);
    EXPECT_LE(m_run->mostHeld(), 1024 * 1024);
}

TEST_F(SavingHostile, AFetchThatTricklesEndsAtItsDeadline)
{
    const QByteArray bytes = noisePng(200, 150);
    m_server.answer(QStringLiteral("/drip.png"),
                    {Kind::Drip, HostileServer::head("image/png", bytes.size()), bytes, 20});
    picture(QStringLiteral("/after.png"), "image/png", noisePng(210, 150));
    m_run->setDeadline(400);
    const SavingReport &r = save({QStringLiteral("/drip.png"), QStringLiteral("/after.png")});
    EXPECT_EQ(r.failed, 1);
    EXPECT_EQ(r.saved, 1);
    EXPECT_EQ(targetFiles(), QStringList{QStringLiteral("0.jpg")});
}

TEST_F(SavingHostile, StopEndsTheRunAtOnceAndKeepsWhatWasWritten)
{
    picture(QStringLiteral("/first.png"), "image/png", noisePng(220, 150));
    m_server.answer(QStringLiteral("/silent.jpg"), {Kind::Silent, {}, {}});
    QSignalSpy progress(m_run.get(), &SavingRun::progress);
    QSignalSpy finished(m_run.get(), &SavingRun::finished);
    m_run->start({m_server.address(QStringLiteral("/first.png")),
                  m_server.address(QStringLiteral("/silent.jpg")),
                  m_server.address(QStringLiteral("/silent.jpg"))});
    ASSERT_TRUE(progress.wait(20000));
    m_run->stop();
    ASSERT_EQ(finished.size(), 1); // before stop() returned, not after the server's silence
    EXPECT_TRUE(m_run->report().stopped);
    EXPECT_EQ(m_run->report().saved, 1);
    EXPECT_EQ(m_run->report().total - m_run->report().done(), 2);
    EXPECT_EQ(targetFiles(), QStringList{QStringLiteral("0.jpg")});
}

TEST_F(SavingHostile, AllPicturesInHandStayUnderTheBound)
{
    // Ten pictures of about 550 kB at once, 600 kB the largest, 3 MB for all of them with
    // what the fetches' own buffers hold.
    m_run->setLimits(600 * 1024, 3 * 1024 * 1024);
    QStringList paths;
    for (int i = 0; i < 10; ++i) {
        paths << QStringLiteral("/p%1.png").arg(i);
        picture(paths.last(), "image/png", noisePng(430, 430, quint32(i)));
    }
    const SavingReport &r = save(paths);
    EXPECT_EQ(r.saved, 10); // the bound holds them back, it never starves them
    EXPECT_GT(m_run->mostHeld(), 600 * 1024);
    EXPECT_LE(m_run->mostHeld(), 3 * 1024 * 1024);
}

TEST_F(SavingHostile, TheBytesDecideNotTheTypeTheyAreServedAs)
{
    const QByteArray png = noisePng(230, 150);
    picture(QStringLiteral("/plain"), "text/plain", png);
    picture(QStringLiteral("/html"), "text/html; charset=utf-8", png);
    picture(QStringLiteral("/page.jpg"), "image/jpeg", "<!DOCTYPE html><p>No picture here</p>");
    picture(QStringLiteral("/missing.png"), "image/png", png,
            404); // an error page, whatever it holds
    const SavingReport &r = save({QStringLiteral("/plain"), QStringLiteral("/html"),
                                  QStringLiteral("/page.jpg"), QStringLiteral("/missing.png")});
    EXPECT_EQ(r.saved, 2);
    EXPECT_EQ(r.failed, 2);
}

TEST_F(SavingHostile, SendsWhatTheBrowserWouldForThePicture)
{
    picture(QStringLiteral("/a.png"), "image/png", noisePng(230, 150));
    const auto cookies = [](const QUrl &) {
        QNetworkCookie lax("lax", "1");
        lax.setSameSitePolicy(QNetworkCookie::SameSite::Lax);
        return QList<QNetworkCookie>{QNetworkCookie("plain", "1"), lax};
    };
    struct Case
    {
        QString page;
        QByteArray referrer;
        QByteArray cookie;
    };
    const QString here = m_server.address(QStringLiteral("/gallery?page=2#top"));
    for (const Case &c :
         {Case{here, QUrl(here).adjusted(QUrl::RemoveFragment).toEncoded(), "plain=1; lax=1"},
          Case{QStringLiteral("http://pages.test/gallery?page=2"), "http://pages.test/", ""}}) {
        m_source.referrer = c.page;
        m_source.cookiesFor = cookies;
        m_run = std::make_unique<SavingRun>(m_target.path(), m_source);
        save({QStringLiteral("/a.png")});
        EXPECT_EQ(m_server.lastHeader(QStringLiteral("/a.png"), "Referer"), c.referrer);
        EXPECT_EQ(m_server.lastHeader(QStringLiteral("/a.png"), "Cookie"), c.cookie);
    }
}

TEST_F(SavingHostile, AbortReturnsAtOnceAndSaysNothing)
{
    m_server.answer(QStringLiteral("/silent.jpg"), {Kind::Silent, {}, {}});
    QSignalSpy finished(m_run.get(), &SavingRun::finished);
    m_run->start({m_server.address(QStringLiteral("/silent.jpg"))});
    QTest::qWait(50);
    m_run->abort();
    m_run.reset();
    EXPECT_TRUE(finished.isEmpty());
}

} // namespace
} // namespace vimbrel
