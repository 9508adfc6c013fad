#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vimbrel {

// Texts and small rules of the main window's tools and help commands.
namespace ToolCommands {

inline const QString ContactMailbox = QStringLiteral("author@vimbrel.org");
inline const QString HomePage = QStringLiteral("http://www.vimbrel.org/ulvo/tw/");
extern const QString AboutTitle; // with the version from CMake
inline const QString AboutCredit =
    QStringLiteral("Vimbrel 看圖與圖片成批下載 — 由 Vimbrel 開發者編寫，以 Qt 6 構建。");
inline const QString OpenPictureTitle = QStringLiteral("打開圖像文件");
inline const QString OpenPictureFilter =
    QStringLiteral("圖片(BMP,JPG,GIF,PNG,TIF,WEBP,AVIF) (*.bmp *.jpg *.jpeg *.gif *.png *.tif "
                   "*.tiff *.webp *.avif);;所有文件 (*.*) (*)");
inline const QString SaveTitle = QStringLiteral("保存文件");
inline const QString ListFilter = QStringLiteral("文本文件(TXT) (*.txt)");
inline const QString ListDefaultName = QStringLiteral("文件列表");

// The mail address opened by the contact entry.
[[nodiscard]] QString contactMail();
// The exported list: the list text (every path with its CR LF) and one more CR LF, in UTF-8.
[[nodiscard]] QByteArray exportedList(const QString &listText);
// The drawing programs tried, in order; the first found on the path is started.
[[nodiscard]] QStringList drawingPrograms();
// "無法保存文件：" + path
[[nodiscard]] QString cannotSaveMessage(const QString &path);
// "無法開啟：" + target, when the desktop has no program for it
[[nodiscard]] QString cannotOpenMessage(const QString &target);

} // namespace ToolCommands

} // namespace vimbrel
