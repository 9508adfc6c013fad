#pragma once

#include <QLoggingCategory>

// Failures the program gets over without a word to the user (an attribute the file system does
// not keep, a settings file that cannot be written, a page file left behind) still leave a
// line here; QT_LOGGING_RULES="vimbrel.*=true" shows them all.
namespace vimbrel {

Q_DECLARE_LOGGING_CATEGORY(lcPages)    // vimbrel.pages: the private page files
Q_DECLARE_LOGGING_CATEGORY(lcSaving)   // vimbrel.saving: saving a page's pictures
Q_DECLARE_LOGGING_CATEGORY(lcSettings) // vimbrel.settings: the settings file

} // namespace vimbrel
