#include "platform/enginesandbox.h"

namespace vimbrel {

// No superuser rule to work around here.
void allowBrowserEngineAsRoot() {}

} // namespace vimbrel
