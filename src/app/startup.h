#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vimbrel {

// Start-up rules of the main window that need no window.
namespace StartUp {

inline constexpr int DefaultPageSize = 30;
inline constexpr int MinPageSize = 30;
inline constexpr int MaxPageSize = 200;

// The stored PageFileCount text read as a whole number (a fraction rounded half to even);
// missing, not a number as a whole, or outside 30..200 gives 30.
[[nodiscard]] int pageSizeFrom(const std::optional<QString> &stored);

// The command line is one folder path: the arguments joined with single blanks, every double
// quote removed.
[[nodiscard]] QString commandLineFolder(const QStringList &arguments);

[[nodiscard]] QString perPageLabel(int pageSize); // "每頁顯示：" + size

} // namespace StartUp

} // namespace vimbrel
