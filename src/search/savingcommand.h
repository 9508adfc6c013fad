#pragma once

#include <QList>
#include <QNetworkCookie>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

#include "view/browserview.h"
#include "windowkit/busycursor.h"

namespace vimbrel {

class Dialogs;
class SavingRun;
struct SavingReport;
struct SavingSource;
class Settings;

// What the saving command needs from its window.
struct SavingCommandServices
{
    Settings *settings = nullptr;
    Dialogs *dialogs = nullptr;
    // What the views send with their requests; empty: nothing beyond the page's address.
    std::function<QList<QNetworkCookie>(const QUrl &)> cookiesFor;
    std::function<QString()> userAgent;
    // Asked after the folder is chosen: the view shown now, whose pictures are saved, and the
    // page view's address (the results page is local; its pictures were found on that page).
    std::function<BrowserView *()> shownView;
    std::function<QUrl()> pageAddress;
};

// Saving the shown view's pictures as numbered files: a press asks for the folder, reads the
// view's pictures and starts a run; a press during a run ends it with what is written. At the
// end a message says how it went and offers to show the folder.
class SavingCommand : public QObject
{
    Q_OBJECT
public:
    explicit SavingCommand(SavingCommandServices services, QObject *parent = nullptr);

    void press();
    // The window closes: a run ends now, what is written stays, nothing more is said.
    void abort();

Q_SIGNALS:
    // The folder is chosen; the view's pictures are read next.
    void folderChosen();
    void started(int total);
    // markTwips: the busy mark's width, growing by 100 twips a picture, starting again after
    // 2100.
    void progress(int done, int total, int markTwips);
    // Before the end message.
    void finished(int done, int total);
    void folderToShow(const QString &folder);

private:
    void start(const QString &folder, const SavingSource &source,
               const QList<BrowserView::Element> &elements);
    void runProgress(int done, int total);
    void runFinished(const SavingReport &report);

    SavingCommandServices m_services;
    QString m_downloadPath; // the folder of the last run
    QPointer<SavingRun> m_run;
    std::optional<BusyCursor> m_busy; // while a run lasts
    bool m_asked = false;             // a folder was chosen and the shown view's pictures are read
    int m_progressStep = 0;           // the busy mark's width in hundreds of twips
};

} // namespace vimbrel
