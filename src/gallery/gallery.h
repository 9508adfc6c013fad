#pragma once

#include "gallery/imagelist.h"
#include "gallery/thumbnailpage.h"

#include <QString>

namespace vimbrel {

class Dialogs;

// The main window's gallery state: the image list, the page on view and its layout. Every
// page build writes the page file; the window then navigates its view to pageFile() and takes
// the labels and button states from here. Widths come in twips of the view.
class Gallery
{
public:
    explicit Gallery(QString pageFile,
                     ThumbnailPage::WidthFunction widthOf = ThumbnailPage::WidthFunction());

    [[nodiscard]] ImageList &images() { return m_images; }
    [[nodiscard]] const ImageList &images() const { return m_images; }
    [[nodiscard]] const QString &pageFile() const { return m_pageFile; }

    [[nodiscard]] int currentPage() const { return m_currentPage; }
    [[nodiscard]] int pageSize() const { return m_pageSize; }
    void setPageSize(int size) { m_pageSize = size; }
    [[nodiscard]] int pageCount() const { return m_pageCount; }
    [[nodiscard]] int matrixMode() const { return m_matrixMode; }
    [[nodiscard]] DisplayStyle displayStyle() const { return m_style; }
    [[nodiscard]] const QString &background() const { return m_background; }
    void setBackground(const QString &colour) { m_background = colour; }
    [[nodiscard]] const QString &pageFolder() const { return m_pageFolder; }
    void setPageFolder(const QString &folder) { m_pageFolder = folder; }
    [[nodiscard]] bool previousEnabled() const { return m_previousEnabled; }
    [[nodiscard]] bool nextEnabled() const { return m_nextEnabled; }
    // The pictures of the page last built, with the widths they are shown at.
    [[nodiscard]] const QList<ThumbnailPage::ShownPicture> &pagePictures() const
    {
        return m_pagePictures;
    }
    // false when the last write of the page file failed
    [[nodiscard]] bool pageWritten() const { return m_pageWritten; }

    // "當前路徑：…", "圖片總數：…", "Tarnell     第 … 頁  ， 共 … 頁"
    [[nodiscard]] QString pathLabel() const;
    [[nodiscard]] QString countLabel() const;
    [[nodiscard]] QString headerLabel() const;

    // Page builds. Each returns true when it wrote a page (the view should show pageFile()).
    bool firstPage(int viewWidthTwips);
    bool showPage(int viewWidthTwips);
    bool nextPage(int viewWidthTwips);
    bool previousPage(int viewWidthTwips);
    bool jumpTo(int page, int viewWidthTwips);      // page >= 1
    bool refresh(int viewWidthTwips);               // nothing with an empty list
    bool cycleMatrixMode(int viewWidthTwips);       // nothing with an empty list
    bool cycleDisplayStyle(int viewWidthTwips);     // nothing with an empty list

    // The jump command: asks for a page number until it gets one in range or no answer, with
    // the out-of-range message in between. true when it moved to a page.
    bool askJump(Dialogs &dialogs, int viewWidthTwips);

private:
    bool build(int viewWidthTwips, DisplayStyle style);

    ImageList m_images;
    QString m_pageFile;
    ThumbnailPage::WidthFunction m_widthOf;
    int m_currentPage = 0;
    int m_pageSize = 30;
    int m_pageCount = 0;
    int m_matrixMode = 0;
    DisplayStyle m_style = DisplayStyle::Centre;
    QString m_background = QStringLiteral("#FFFFFF");
    QString m_pageFolder;
    QList<ThumbnailPage::ShownPicture> m_pagePictures;
    bool m_previousEnabled = false;
    bool m_nextEnabled = false;
    bool m_pageWritten = false;
};

} // namespace vimbrel
