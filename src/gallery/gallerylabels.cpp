#include "gallery/gallerylabels.h"

#include "platform/filenames.h"

namespace vimbrel {

namespace GalleryLabels {

QString path(const QString &folder)
{
    return QStringLiteral("當前路徑：") + FileNames::readable(folder);
}

QString count(int pictures)
{
    return QStringLiteral("圖片總數：") + QString::number(pictures);
}

QString perPage(int pageSize)
{
    return QStringLiteral("每頁顯示：") + QString::number(pageSize);
}

QString header(int page, int pages)
{
    return QStringLiteral("Tarnell     第 ") + QString::number(page) +
           QStringLiteral(" 頁  ， 共 ") + QString::number(pages) + QStringLiteral(" 頁");
}

QString searching(const QString &folder)
{
    return QStringLiteral("正在搜索目錄： ") + FileNames::readable(folder) + QStringLiteral(" ……");
}

QString folderNotFound(const QString &path)
{
    return QStringLiteral("找不到資料夾：") + FileNames::readable(path);
}

QString pageNotWritten(const QString &pageFile)
{
    if (pageFile.isEmpty())
        return QStringLiteral("無法顯示圖片：快取資料夾無法使用（不存在、無法建立或不屬於本用戶）");
    return QStringLiteral("無法顯示圖片：頁面文件無法寫入 ") + pageFile;
}

} // namespace GalleryLabels

} // namespace vimbrel
