#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkCookie>
#include <QString>
#include <QUrl>

namespace vimbrel {

// What a browser sends when a page shows a picture, for the requests the program makes itself
// for that picture: no more than the browser view would have sent.
namespace PictureRequest {

// The Referer header under the policy "strict-origin-when-cross-origin": the page's whole
// address (without fragment and user) to its own origin, only its origin to other origins,
// nothing from https to http or from a page that is no web page. Empty: no header.
[[nodiscard]] QByteArray referrer(const QUrl &page, const QUrl &picture);

// The site of an address: its scheme and registrable domain ("a.b.example.co.uk" →
// "https://example.co.uk"), or its host when it has none (an IP address, "localhost").
[[nodiscard]] QString siteOf(const QUrl &url);

// The cookies a request for the picture carries. To a site other than the page's only those
// marked SameSite=None go, as for the browser; a cookie that says nothing counts as Lax, the
// browser's default, and neither Lax nor Strict ones leave their site with a picture request.
[[nodiscard]] QList<QNetworkCookie> cookiesToSend(const QList<QNetworkCookie> &cookies,
                                                  const QUrl &page, const QUrl &picture);

} // namespace PictureRequest

} // namespace vimbrel
