#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "platform/settings.h"

namespace vimbrel {

// The addresses the search window builds from what the user types: the image-search service's
// home and keyword search, the preset lists, the caption and the opening count.
namespace SearchQueries {

// "http://" + host + "/"
[[nodiscard]] QString homeAddress(const QString &host);
// The service's keyword search address; the word is appended percent-encoded as UTF-8, so the
// service receives exactly the word typed, "&", "#", "+" and "%" included.
[[nodiscard]] QString keywordSearchAddress(const QString &host, const QString &word);
// An entry with a dot anywhere is an address and goes as typed; anything else is searched.
[[nodiscard]] QString goTarget(const QString &host, const QString &entry);
// Addresses of the service's result pages begin with this.
[[nodiscard]] QString searchResultPrefix(const QString &host);
// Links of a result page that carry a picture address begin with this.
[[nodiscard]] QString resultLinkPrefix(const QString &host);

// The keyword box's list: 35 words in their order.
[[nodiscard]] QStringList presetKeywords();
// The address box's list: 0 the service's home, 1 to 5 gallery pages ([Search] Preset1..5 when
// set, otherwise the defaults).
[[nodiscard]] QStringList presetAddresses(const Settings &settings, const QString &host);
// [Search] ServiceHost, or the public service.
[[nodiscard]] QString serviceHost(const Settings &settings);

// The search window's own caption, before a page has a title, and its messages' caption.
inline const QString WindowName = QStringLiteral("圖片成批下載");

// The window caption for a page: its title cut to 100 characters (line breaks and tabs shown
// as blanks), or the whole address when the page has no title (the view then gives part of the
// address for one), and the window's own mark.
[[nodiscard]] QString windowCaption(const QString &title, const QString &address);

// The new value of [Search] LoadTime: the stored count + 1; 1 when missing or not a number.
[[nodiscard]] int nextLoadTime(const std::optional<QString> &stored);
// A window opens: [Search] LoadTime becomes its next value.
void countOpening(Settings &settings);

} // namespace SearchQueries

} // namespace vimbrel
