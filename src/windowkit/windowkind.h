#pragma once

namespace vimbrel {

// The three kinds of window that show a browser view; the view controls differ slightly
// between them (zoom floor, focus after a command, colours, timed scroll, wheel).
enum class WindowKind { Main, Search, Detail };

} // namespace vimbrel
