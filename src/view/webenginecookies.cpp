#include "view/webenginecookies.h"

#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

namespace vimbrel {

WebEngineCookies::WebEngineCookies(QWebEngineProfile *profile, QObject *parent)
    : QObject(parent), m_profile(profile)
{
    QWebEngineCookieStore *store = profile->cookieStore();
    connect(store, &QWebEngineCookieStore::cookieAdded, this,
            [this](const QNetworkCookie &cookie) { m_jar.insertCookie(cookie); });
    connect(store, &QWebEngineCookieStore::cookieRemoved, this,
            [this](const QNetworkCookie &cookie) { m_jar.deleteCookie(cookie); });
    store->loadAllCookies();
}

QList<QNetworkCookie> WebEngineCookies::cookiesFor(const QUrl &url) const
{
    return m_jar.cookiesForUrl(url);
}

QString WebEngineCookies::userAgent() const
{
    return m_profile->httpUserAgent();
}

} // namespace vimbrel
