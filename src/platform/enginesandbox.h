#pragma once

namespace vimbrel {

// The browser engine refuses to start its sandbox for the superuser. Run as root (a container,
// a CI machine), the program turns the sandbox off instead of failing to show any page; a value
// the user set for QTWEBENGINE_DISABLE_SANDBOX is kept. Call before the application object.
void allowBrowserEngineAsRoot();

} // namespace vimbrel
