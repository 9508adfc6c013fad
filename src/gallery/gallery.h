#pragma once

#include <QObject>
#include <QString>

#include <optional>

#include "folders/imagelist.h"
#include "gallery/thumbnailpage.h"
#include "platform/settingskeys.h"

namespace vimbrel {

class Dialogs;
class Settings;

// The main window's gallery: the image list, the page on view and its layout. It shows a folder
// (lists it and builds page 1), pages through it, and rebuilds the page on the layout commands.
// Every build writes the page file and emits pageBuilt(); the window then shows pageFile() and
// takes the labels and page-button states from here. Qt Core only: no widget in here.
class Gallery : public QObject
{
    Q_OBJECT
public:
    // Pictures per page: the stored setting, its range and its default.
    static constexpr int MinPageSize = 30;
    static constexpr int MaxPageSize = 200;
    static constexpr int DefaultPageSize = 30;
    static inline const QString SettingsSection = SettingsKeys::MainSection;
    static inline const QString PageSizeKey = SettingsKeys::PageFileCount;
    // The stored text read as a whole number (a fraction rounded half to even); missing, not a
    // number as a whole, or outside the range gives the default.
    [[nodiscard]] static int pageSizeFrom(const std::optional<QString> &stored);

    explicit Gallery(QString pageFile,
                     ThumbnailPage::WidthFunction widthOf = ThumbnailPage::WidthFunction(),
                     QObject *parent = nullptr);

    [[nodiscard]] const ImageList &images() const { return m_images; }
    [[nodiscard]] const QString &pageFile() const { return m_pageFile; }

    // The view's width in its own pixels; the next build lays the page out for it.
    void setViewWidth(int pixels) { m_viewWidth = pixels; }

    [[nodiscard]] int currentPage() const { return m_currentPage; }
    [[nodiscard]] int pageSize() const { return m_pageSize; }
    // The page on view keeps its layout until the next build, but its number, the page count
    // and the next-page state follow the new size at once: the next build, a step back or a
    // jump never lands beyond the last page.
    void setPageSize(int size);
    [[nodiscard]] int pageCount() const { return m_pageCount; }
    [[nodiscard]] int matrixMode() const { return m_matrixMode; }
    [[nodiscard]] DisplayStyle displayStyle() const { return m_style; }
    [[nodiscard]] const QString &background() const { return m_background; }
    // The folder of the page on view (the home folder before any page); ends in "/".
    [[nodiscard]] const QString &pageFolder() const { return m_pageFolder; }
    [[nodiscard]] bool previousEnabled() const { return m_previousEnabled; }
    [[nodiscard]] bool nextEnabled() const { return m_nextEnabled; }
    // The pictures of the page last built, with the widths they are shown at.
    [[nodiscard]] const QList<ThumbnailPage::ShownPicture> &pagePictures() const
    {
        return m_pagePictures;
    }
    // false when the last write of the page file failed
    [[nodiscard]] bool pageWritten() const { return m_pageWritten; }

    // The status line: before the first page "當前路徑：未知", "圖片總數：0", "Tarnell".
    [[nodiscard]] QString pathLabel() const;
    [[nodiscard]] QString countLabel() const;
    [[nodiscard]] QString headerLabel() const;
    [[nodiscard]] QString perPageLabel() const;

    // The page size from the settings, and the settings box that changes it (saved only when
    // in range; see setPageSize). true when changed.
    void readPageSize(const Settings &settings);
    bool askPageSize(Dialogs &dialogs, Settings &settings);

    // Lists the picture files of the folder and builds page 1 (a folder that cannot be read
    // gives an empty page).
    void openFolder(const QString &folder);
    // A collection found elsewhere (the tree search): page 1 of it.
    void showImages(ImageList images);
    // Forgets the collection (a tree search is running); builds nothing.
    void clear();

    // Page builds. Each returns true when it wrote a page and emitted pageBuilt().
    bool firstPage();
    bool showPage();
    bool nextPage();
    bool previousPage();
    bool jumpTo(int page);                        // page >= 1
    bool refresh();                               // nothing with an empty list
    bool cycleMatrixMode();                       // nothing with an empty list
    bool cycleDisplayStyle();                     // nothing with an empty list
    bool changeBackground(const QString &colour); // nothing with an empty list

    // The jump command: asks for a page number until it gets one in range or no answer, with
    // the out-of-range message in between. true when it moved to a page.
    bool askJump(Dialogs &dialogs);

Q_SIGNALS:
    void pageBuilt();

private:
    bool build(DisplayStyle style);

    ImageList m_images;
    QString m_pageFile;
    ThumbnailPage::WidthFunction m_widthOf;
    int m_viewWidth = 0;
    int m_currentPage = 0;
    int m_pageSize = DefaultPageSize;
    int m_pageCount = 0;
    int m_matrixMode = 0;
    DisplayStyle m_style = DisplayStyle::Centre;
    QString m_background = QStringLiteral("#FFFFFF");
    QString m_pageFolder;
    QList<ThumbnailPage::ShownPicture> m_pagePictures;
    bool m_built = false;
    bool m_previousEnabled = false;
    bool m_nextEnabled = false;
    bool m_pageWritten = false;
};

} // namespace vimbrel
