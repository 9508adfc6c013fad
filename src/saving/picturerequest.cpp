#include "saving/picturerequest.h"

#include <QHostAddress>
#include <QNetworkCookieJar>

namespace vimbrel {

namespace {

bool isWebScheme(const QString &scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// Qt's cookie jar knows the public suffix list: it refuses a cookie for a domain on that list.
// That refusal is the one public way to ask whether a domain is such a suffix.
class SuffixList : public QNetworkCookieJar
{
public:
    [[nodiscard]] bool isPublicSuffix(const QString &domain) const
    {
        QNetworkCookie probe("p", "1");
        probe.setDomain(QLatin1Char('.') + domain);
        return !validateCookie(probe,
                               QUrl(QStringLiteral("http://x.") + domain + QLatin1Char('/')));
    }
};

QString registrableDomain(const QString &host)
{
    if (host.isEmpty() || !QHostAddress(host).isNull())
        return host;
    static const SuffixList suffixes;
    const QStringList labels = host.split(QLatin1Char('.'));
    // The shortest ending of the host that is not a public suffix; a top-level domain is one
    // even when the list does not name it.
    for (qsizetype n = 2; n <= labels.size(); ++n) {
        const QString ending = labels.sliced(labels.size() - n).join(QLatin1Char('.'));
        if (!suffixes.isPublicSuffix(ending))
            return ending;
    }
    return host;
}

int portOf(const QUrl &url)
{
    return url.port(url.scheme().toLower() == QLatin1String("https") ? 443 : 80);
}

} // namespace

QByteArray PictureRequest::referrer(const QUrl &page, const QUrl &picture)
{
    const QString from = page.scheme().toLower();
    const QString to = picture.scheme().toLower();
    if (!isWebScheme(from) || !isWebScheme(to))
        return {};
    if (from == QLatin1String("https") && to == QLatin1String("http"))
        return {};
    // Written as the browser writes it: no user, no fragment, no default port.
    QUrl sent = page.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveFragment);
    if (sent.port() == portOf(QUrl(from + QStringLiteral("://x"))))
        sent.setPort(-1);
    const QByteArray originOnly =
        sent.adjusted(QUrl::RemovePath | QUrl::RemoveQuery).toEncoded() + '/';
    const bool sameOrigin =
        from == to && page.host() == picture.host() && portOf(page) == portOf(picture);
    if (!sameOrigin)
        return originOnly;
    const QByteArray whole = sent.toEncoded();
    // The browser gives only the origin for an address too long to send whole.
    return whole.size() > 4096 ? originOnly : whole;
}

QString PictureRequest::siteOf(const QUrl &url)
{
    return url.scheme().toLower() + QStringLiteral("://") + registrableDomain(url.host().toLower());
}

QList<QNetworkCookie> PictureRequest::cookiesToSend(const QList<QNetworkCookie> &cookies,
                                                    const QUrl &page, const QUrl &picture)
{
    if (isWebScheme(page.scheme().toLower()) && siteOf(page) == siteOf(picture))
        return cookies;
    QList<QNetworkCookie> crossSite;
    for (const QNetworkCookie &cookie : cookies) {
        if (cookie.sameSitePolicy() == QNetworkCookie::SameSite::None && cookie.isSecure())
            crossSite.append(cookie);
    }
    return crossSite;
}

} // namespace vimbrel
