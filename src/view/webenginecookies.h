#pragma once

#include <QList>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QObject>
#include <QString>
#include <QUrl>

class QWebEngineProfile;

namespace vimbrel {

// A copy of a browser profile's cookies and its user agent, for requests the program makes
// itself on behalf of a page (fetching its pictures), so they are asked for as the view did.
class WebEngineCookies : public QObject
{
    Q_OBJECT
public:
    explicit WebEngineCookies(QWebEngineProfile *profile, QObject *parent = nullptr);

    [[nodiscard]] QList<QNetworkCookie> cookiesFor(const QUrl &url) const;
    [[nodiscard]] QString userAgent() const;

private:
    QWebEngineProfile *m_profile;
    // A jar already picks the cookies for an address right (domain, path, secure, expiry).
    QNetworkCookieJar m_jar;
};

} // namespace vimbrel
