#pragma once

class QCoreApplication;
class QTranslator;

namespace vimbrel {

// Qt's own texts (dialog buttons, the file dialogs, the overwrite question) in Traditional
// Chinese like the rest of the program: Qt's translation "qtbase_zh_TW" from Qt's translation
// folder, installed on app and owned by it. nullptr when the translation is not installed
// (package qt6-translations-l10n); Qt's English texts stay then.
QTranslator *installQtTranslation(QCoreApplication &app);

} // namespace vimbrel
