#pragma once

#include <QImage>
#include <QString>

class QClipboard;

namespace vimbrel {

class Dialogs;
class ScreenGrabber;

// The screenshot command shared by the main window and the search windows: the screen is
// taken first (so the save dialog is never in the picture), put on the clipboard, where it
// stays, and then saved as a 24-bit BMP under the name the user chooses.
namespace ModuleScreen {

enum class Outcome { Saved, Cancelled, Failed };

[[nodiscard]] QString dialogTitle();  // "保存文件"
[[nodiscard]] QString dialogFilter(); // "圖片文件(BMP) (*.bmp)"
[[nodiscard]] QString defaultName();  // "Picture"

// Grab, clipboard, save dialog, file. A name typed without ".bmp" is written as typed; a
// relative name is taken from the current folder. A grab or save that fails is told to the
// user in a message box; nothing else is shown. clipboard may be null (nothing is put there).
Outcome saveScreenshot(ScreenGrabber &grabber, Dialogs &dialogs, QClipboard *clipboard);

// Writes picture as an uncompressed 24-bit BMP, whatever the file name. The file is replaced
// only once the new one is complete. false when it could not be written.
bool writeBmp(const QImage &picture, const QString &fileName);

} // namespace ModuleScreen

} // namespace vimbrel
