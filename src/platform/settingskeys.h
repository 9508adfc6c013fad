#pragma once

#include <QString>

// Every section and key of the settings file, in one place: the file is the user's, so a name
// must not drift between the code that reads it and the code that writes it.
namespace vimbrel::SettingsKeys {

// [Main]
inline const QString MainSection = QStringLiteral("Main");
inline const QString PageFileCount = QStringLiteral("PageFileCount");

// [Search]
inline const QString SearchSection = QStringLiteral("Search");
inline const QString LoadTime = QStringLiteral("LoadTime");
inline const QString ServiceHost = QStringLiteral("ServiceHost");
// Preset1 ... Preset5; %1 is the preset's number.
inline const QString PresetPattern = QStringLiteral("Preset%1");
inline const QString LinkedOriginals = QStringLiteral("LinkedOriginals");

// [Save]
inline const QString SaveSection = QStringLiteral("Save");
inline const QString KeepOriginal = QStringLiteral("KeepOriginal");
inline const QString SkipSaved = QStringLiteral("SkipSaved");
inline const QString MinBytes = QStringLiteral("MinBytes");

} // namespace vimbrel::SettingsKeys
