#include "platform/logging.h"

namespace vimbrel {

Q_LOGGING_CATEGORY(lcPages, "vimbrel.pages", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSaving, "vimbrel.saving", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSettings, "vimbrel.settings", QtWarningMsg)

} // namespace vimbrel
