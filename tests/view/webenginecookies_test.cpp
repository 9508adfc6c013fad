#include "view/webenginecookies.h"

#include <QSignalSpy>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <gtest/gtest.h>

namespace vimbrel {
namespace {

TEST(WebEngineCookies, FollowsTheProfilesCookiesForEachHost)
{
    QWebEngineProfile profile;     // off the record: nothing lands on disk
    QWebEnginePage page(&profile); // the store works once a page of the profile has loaded
    QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
    page.setHtml(QStringLiteral("<p>cookies</p>"));
    ASSERT_TRUE(loaded.wait(30000));
    WebEngineCookies cookies(&profile);
    QNetworkCookie session("session", "abc");
    session.setDomain(QStringLiteral("pictures.test"));
    session.setPath(QStringLiteral("/"));
    profile.cookieStore()->setCookie(session, QUrl(QStringLiteral("http://pictures.test/")));

    const QUrl picture(QStringLiteral("http://pictures.test/a/b.jpg"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !cookies.cookiesFor(picture).isEmpty(); }, 10000));
    EXPECT_EQ(cookies.cookiesFor(picture).first().value(), QByteArray("abc"));
    EXPECT_TRUE(cookies.cookiesFor(QUrl(QStringLiteral("http://other.test/b.jpg"))).isEmpty());
    EXPECT_EQ(cookies.userAgent(), profile.httpUserAgent());

    profile.cookieStore()->deleteCookie(session, QUrl(QStringLiteral("http://pictures.test/")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return cookies.cookiesFor(picture).isEmpty(); }, 10000));
}

} // namespace
} // namespace vimbrel
