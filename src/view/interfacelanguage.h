#pragma once

#include <QString>
#include <QWebEngineDownloadRequest>

class QWebEngineProfile;

namespace vimbrel {

// The program speaks Traditional Chinese (Taiwan) whatever the desktop's language: dates, the
// browser engine's own pages (a page that cannot be reached) and the reasons a download fails.
namespace InterfaceLanguage {

// Before the browser engine starts: it takes its language from the program's locale.
void apply();
// What the views ask web sites for: Chinese pages, Taiwan's first.
void applyTo(QWebEngineProfile *profile);
[[nodiscard]] QString acceptLanguage();

// Why a download stopped, in the program's language (the engine's own texts come in English
// or Simplified Chinese only).
[[nodiscard]] QString downloadFailure(QWebEngineDownloadRequest::DownloadInterruptReason reason);

} // namespace InterfaceLanguage

} // namespace vimbrel
