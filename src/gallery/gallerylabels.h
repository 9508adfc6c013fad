#pragma once

#include <QString>

namespace vimbrel {

// Every text of the main window's status line, so the window and the gallery never spell one
// twice. Paths are shown in their readable form (FileNames::readable).
namespace GalleryLabels {

inline const QString PathUnknown = QStringLiteral("當前路徑：未知");
inline const QString HeaderStart = QStringLiteral("Tarnell");
// The header while a tree search runs (with its blank, as the window has always shown it).
inline const QString HeaderSearching = QStringLiteral("Tarnell ");

[[nodiscard]] QString path(const QString &folder);      // "當前路徑：" + folder
[[nodiscard]] QString count(int pictures);              // "圖片總數：" + count
[[nodiscard]] QString perPage(int pageSize);            // "每頁顯示：" + size
[[nodiscard]] QString header(int page, int pages);      // "Tarnell     第 p 頁  ， 共 n 頁"
[[nodiscard]] QString searching(const QString &folder); // "正在搜索目錄： " + folder + " ……"
[[nodiscard]] QString folderNotFound(const QString &path);
// The page file cannot be written (a refused cache folder, a full disk): why nothing shows.
[[nodiscard]] QString pageNotWritten(const QString &pageFile);

} // namespace GalleryLabels

} // namespace vimbrel
