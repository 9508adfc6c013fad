#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

#include "detail/detaillayout.h"
#include "view/browserview.h"

class QAction;

namespace vimbrel {

template <typename Id> class Actions;
enum class DetailCommand;
class Dialogs;
class FocusSink;
class PictureDownload;
class SearchState;
class Shell;
class ViewControls;

// What the detail window needs from outside; main() passes the real ones, tests the fakes.
struct DetailServices
{
    Dialogs *dialogs = nullptr;
    Shell *shell = nullptr;
    std::function<BrowserView *(QWidget *parent)> makeView;
    // The save of "保存(&S)", through the window's own view.
    std::function<PictureDownload *(BrowserView *view, QObject *parent)> makeDownload;
    QString pageFile;             // where img.htm is written
    SearchState *state = nullptr; // the result list walked by "上一幅" and "下一幅"
};

// The picture detail window: one picture of the search results at full size on a black page,
// with save, open in the browser, previous, next and zoom. The walk starts at position 1 in
// every new window.
class DetailWindow : public QWidget
{
    Q_OBJECT
public:
    explicit DetailWindow(DetailServices services, QWidget *parent = nullptr);
    ~DetailWindow() override;

    // Writes the page for the picture and shows it.
    void loadImg(const QString &address);
    // The search window the focus goes back to when this one closes.
    void setOpener(QWidget *searchWindow);
    // The folder of the last save, where the save dialog opens; empty: none yet.
    void setSaveFolder(const QString &folder) { m_saveFolder = folder; }
    [[nodiscard]] QString saveFolder() const { return m_saveFolder; }

    [[nodiscard]] QString currentPicture() const { return m_current; }
    [[nodiscard]] int walkPosition() const { return m_walk; }
    [[nodiscard]] PictureDownload *download() const { return m_download; }
    // One of the window's commands, to be triggered as its button would be.
    [[nodiscard]] QAction *command(DetailCommand id) const;

Q_SIGNALS:
    void closed();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private Q_SLOTS:
    void savePicture();  // 保存
    void showPrevious(); // 上一幅
    void showNext();     // 下一幅
    void openAddress();  // 網址

private:
    void webDownloadComplete();
    void walkTo(int load);
    void sinkFocus();
    void applyLayout();
    [[nodiscard]] double dpi() const;
    [[nodiscard]] int toPixels(int twips) const;
    [[nodiscard]] int toTwips(int pixels) const;
    [[nodiscard]] QRect toPixels(const QRect &twips) const;

    DetailServices m_services;
    Dialogs *m_sharedDialogs = nullptr;    // for what is said after the window has gone
    std::unique_ptr<Dialogs> m_ownDialogs; // m_services.dialogs, belonging to this window
    BrowserView *m_web = nullptr;
    ViewControls *m_controls = nullptr;
    FocusSink *m_cmb = nullptr;
    PictureDownload *m_download = nullptr;
    Actions<DetailCommand> *m_actions = nullptr;
    DetailGeometry m_geometry = DetailGeometry::design();
    QPointer<QWidget> m_opener;
    QString m_current;
    QString m_saveFolder;
    int m_walk;
};

} // namespace vimbrel
