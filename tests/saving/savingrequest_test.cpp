#include <gtest/gtest.h>

#include "saving/picturerequest.h"

namespace vimbrel {
namespace {

struct Referral
{
    const char *name;
    const char *page;
    const char *picture;
    QByteArray referrer;
};

class PictureReferrer : public ::testing::TestWithParam<Referral>
{
};

TEST_P(PictureReferrer, FollowsStrictOriginWhenCrossOrigin)
{
    EXPECT_EQ(PictureRequest::referrer(QUrl(QString::fromUtf8(GetParam().page)),
                                       QUrl(QString::fromUtf8(GetParam().picture))),
              GetParam().referrer);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PictureReferrer,
    ::testing::Values(
        Referral{"SameOrigin", "https://a.test/g/p.html?q=1#top", "https://a.test/i/1.jpg",
                 "https://a.test/g/p.html?q=1"},
        Referral{"SameOriginWithoutUser", "https://me:pw@a.test/p", "https://a.test/1.jpg",
                 "https://a.test/p"},
        Referral{"DefaultPortLeftOut", "http://a.test:80/p", "http://a.test/1.jpg",
                 "http://a.test/p"},
        Referral{"OtherHost", "https://a.test/g/p.html?q=1", "https://cdn.a.test/1.jpg",
                 "https://a.test/"},
        Referral{"OtherPort", "http://a.test:8080/p", "http://a.test/1.jpg", "http://a.test:8080/"},
        Referral{"UpToHttps", "http://a.test/p", "https://a.test/1.jpg", "http://a.test/"},
        Referral{"DownToHttp", "https://a.test/p", "http://a.test/1.jpg", ""},
        Referral{"LocalPage", "file:///home/me/p.html", "http://a.test/1.jpg", ""},
        Referral{"NoPage", "", "http://a.test/1.jpg", ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PictureRequest, TellsSitesByTheirRegistrableDomain)
{
    EXPECT_EQ(PictureRequest::siteOf(QUrl(QStringLiteral("https://img.news.example.co.uk/a"))),
              QStringLiteral("https://example.co.uk"));
    EXPECT_EQ(PictureRequest::siteOf(QUrl(QStringLiteral("https://me.github.io/a"))),
              QStringLiteral("https://me.github.io"));
    EXPECT_EQ(PictureRequest::siteOf(QUrl(QStringLiteral("http://127.0.0.1:8080/a"))),
              QStringLiteral("http://127.0.0.1"));
    EXPECT_EQ(PictureRequest::siteOf(QUrl(QStringLiteral("http://localhost/a"))),
              QStringLiteral("http://localhost"));
}

struct CookieCase
{
    const char *name;
    const char *page;
    const char *picture;
    QList<QByteArray> sent; // of the cookies named after their SameSite value
};

class PictureCookies : public ::testing::TestWithParam<CookieCase>
{
};

TEST_P(PictureCookies, LeaveTheirSiteOnlyWhenMarkedNone)
{
    QList<QNetworkCookie> jar;
    for (const auto &[name, policy] : {std::pair{"default", QNetworkCookie::SameSite::Default},
                                       std::pair{"none", QNetworkCookie::SameSite::None},
                                       std::pair{"lax", QNetworkCookie::SameSite::Lax},
                                       std::pair{"strict", QNetworkCookie::SameSite::Strict}}) {
        QNetworkCookie cookie(name, "1");
        cookie.setSameSitePolicy(policy);
        cookie.setSecure(true);
        jar.append(cookie);
    }
    QList<QByteArray> sent;
    for (const QNetworkCookie &cookie :
         PictureRequest::cookiesToSend(jar, QUrl(QString::fromUtf8(GetParam().page)),
                                       QUrl(QString::fromUtf8(GetParam().picture))))
        sent.append(cookie.name());
    EXPECT_EQ(sent, GetParam().sent);
}

const QList<QByteArray> All = {"default", "none", "lax", "strict"};

INSTANTIATE_TEST_SUITE_P(
    Requests, PictureCookies,
    ::testing::Values(
        CookieCase{"SameHost", "https://a.test/p", "https://a.test/1.jpg", All},
        CookieCase{"SameSite", "https://www.a.co.uk/p", "https://img.a.co.uk/1.jpg", All},
        CookieCase{"OtherSite", "https://a.test/p", "https://b.test/1.jpg", {"none"}},
        CookieCase{"SharedSuffix", "https://a.co.uk/p", "https://b.co.uk/1.jpg", {"none"}},
        CookieCase{"OtherScheme", "http://a.test/p", "https://a.test/1.jpg", {"none"}},
        CookieCase{"LocalPage", "file:///home/me/p.html", "https://a.test/1.jpg", {"none"}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace vimbrel
