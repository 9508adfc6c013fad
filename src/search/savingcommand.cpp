#include "search/savingcommand.h"

#include <utility>

#include "platform/dialogs.h"
#include "saving/savingoptions.h"
#include "saving/savingreport.h"
#include "saving/savingrun.h"
#include "search/extraction.h"

namespace vimbrel {

SavingCommand::SavingCommand(SavingCommandServices services, QObject *parent)
    : QObject(parent), m_services(std::move(services))
{
}

void SavingCommand::press()
{
    // Pressed again during a run: it ends now, with what is already written.
    if (m_run) {
        m_run->stop();
        return;
    }
    if (m_asked)
        return;
    const std::optional<QString> folder = m_services.dialogs->browseFolder(
        QStringLiteral("請指定一個保存圖片的文件目錄"), m_downloadPath);
    if (!folder || folder->isEmpty())
        return;
    m_downloadPath = *folder;
    if (!m_downloadPath.endsWith(QLatin1Char('/')))
        m_downloadPath += QLatin1Char('/');
    Q_EMIT folderChosen();
    m_asked = true;
    // The pictures are asked for as the view shown now asked for them.
    BrowserView *shown = m_services.shownView();
    const QUrl page = m_services.pageAddress();
    SavingSource source;
    source.referrer = page.toString(QUrl::FullyEncoded);
    // Local pictures only for a local page: the results page is local whatever it shows.
    source.localFilesAllowed = page.isLocalFile();
    source.cookiesFor = m_services.cookiesFor;
    if (m_services.userAgent)
        source.userAgent = m_services.userAgent();
    QPointer<SavingCommand> self(this);
    const QString path = m_downloadPath;
    shown->elements([self, path, source](const QList<BrowserView::Element> &elements) {
        if (self && self->m_asked)
            self->start(path, source, elements);
    });
}

void SavingCommand::start(const QString &folder, const SavingSource &source,
                          const QList<BrowserView::Element> &elements)
{
    m_asked = false;
    QStringList addresses;
    const Extraction::Options options = Extraction::optionsFrom(*m_services.settings);
    for (const BrowserView::Element &element : elements) {
        if (element.tagName == QLatin1String("IMG"))
            addresses.append(Extraction::pictureAddress(element, options));
    }
    auto *run = new SavingRun(folder, source, this);
    run->setOptions(SavingOptions::read(*m_services.settings));
    m_run = run;
    connect(run, &SavingRun::progress, this, &SavingCommand::runProgress);
    connect(run, &SavingRun::finished, this, &SavingCommand::runFinished);
    m_progressStep = 0;
    m_busy.emplace();
    Q_EMIT started(int(addresses.size()));
    run->start(addresses);
}

void SavingCommand::runProgress(int done, int total)
{
    m_progressStep = m_progressStep > 20 ? 0 : m_progressStep + 1;
    Q_EMIT progress(done, total, m_progressStep * 100);
}

void SavingCommand::runFinished(const SavingReport &report)
{
    if (m_run)
        m_run->deleteLater();
    m_run = nullptr;
    m_busy.reset();
    Q_EMIT finished(report.done(), report.total);
    if (!report.offersFolder()) {
        m_services.dialogs->messageBox(report.text(), SavingReport::title,
                                       report.writeError.isEmpty() ? MessageIcon::Information
                                                                   : MessageIcon::Warning);
        return;
    }
    if (m_services.dialogs->question(report.text(), SavingReport::title))
        Q_EMIT folderToShow(m_downloadPath);
}

void SavingCommand::abort()
{
    m_asked = false;
    if (m_run) {
        m_run->disconnect(this);
        m_run->abort();
    }
    m_busy.reset();
}

} // namespace vimbrel
