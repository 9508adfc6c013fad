#include "capture/modulescreen.h"

#include <QClipboard>
#include <QDir>
#include <QImageWriter>
#include <QSaveFile>

#include "capture/screengrabber.h"
#include "platform/dialogs.h"

namespace vimbrel {

namespace ModuleScreen {

QString dialogTitle()
{
    return QStringLiteral("保存文件");
}

QString dialogFilter()
{
    return QStringLiteral("圖片文件(BMP) (*.bmp)");
}

QString defaultName()
{
    return QStringLiteral("Picture");
}

bool writeBmp(const QImage &picture, const QString &fileName)
{
    if (picture.isNull() || fileName.isEmpty())
        return false;
    // Qt's BMP writer picks the depth from the image; three bytes a pixel gives a 24-bit file
    // that every program reads.
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    QSaveFile file(fileName);
    // Replacing a writable file inside a folder we may not create files in is still allowed.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The format is given, so the writer never looks at the name's suffix.
    QImageWriter writer(&file, "bmp");
    if (!writer.write(rgb)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

Outcome saveScreenshot(ScreenGrabber &grabber, Dialogs &dialogs, QClipboard *clipboard)
{
    const QImage screen = grabber.grabScreen();
    if (screen.isNull()) {
        // Some desktops refuse screen grabs; the clipboard keeps what it had.
        dialogs.messageBox(QStringLiteral("無法截取屏幕畫面。"), QStringLiteral("Vimbrel"),
                           MessageIcon::Warning);
        return Outcome::Failed;
    }
    if (clipboard) {
        clipboard->clear();
        clipboard->setImage(screen);
    }

    const std::optional<QString> name =
        dialogs.saveFile(dialogTitle(), dialogFilter(), defaultName());
    if (!name || name->isEmpty())
        return Outcome::Cancelled;

    if (!writeBmp(screen, *name)) {
        dialogs.messageBox(QStringLiteral("無法保存文件：") + QDir::toNativeSeparators(*name),
                           QStringLiteral("Vimbrel"), MessageIcon::Warning);
        return Outcome::Failed;
    }
    return Outcome::Saved;
}

} // namespace ModuleScreen

} // namespace vimbrel
