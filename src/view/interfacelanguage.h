#pragma once

#include <QString>

class QWebEngineProfile;

namespace vimbrel {

// The program speaks Traditional Chinese (Taiwan) whatever the desktop's language: dates and
// the browser engine's own pages (a page that cannot be reached).
namespace InterfaceLanguage {

// Before the browser engine starts: it takes its language from the program's locale.
void apply();
// What the views ask web sites for: Chinese pages, Taiwan's first.
void applyTo(QWebEngineProfile *profile);
[[nodiscard]] QString acceptLanguage();

} // namespace InterfaceLanguage

} // namespace vimbrel
