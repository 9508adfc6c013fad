#include "search/searchwindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QToolButton>
#include <QVariantAnimation>

#include <utility>

#include "capture/modulescreen.h"
#include "platform/dialogs.h"
#include "platform/settings.h"
#include "platform/windowfit.h"
#include "search/pagenavigation.h"
#include "search/resultsgallery.h"
#include "search/savingcommand.h"
#include "search/searchactions.h"
#include "search/searchqueries.h"
#include "search/searchstate.h"
#include "windowkit/actionkeys.h"
#include "windowkit/focussink.h"
#include "windowkit/picturemenu.h"
#include "windowkit/twips.h"
#include "windowkit/viewcontrols.h"
#include "windowkit/wheelfilter.h"

namespace vimbrel {

namespace {

constexpr int SlideSteps = 10;
constexpr int SlideStepMs = 15;

} // namespace

SearchWindow::SearchWindow(SearchServices services, QWidget *parent)
    : QWidget(parent), m_services(std::move(services))
{
    setObjectName(QStringLiteral("FormSearch"));
    setWindowTitle(SearchQueries::WindowName);
    // Its prompts come up over this window, not over the main window.
    if (m_services.dialogs) {
        m_ownDialogs = m_services.dialogs->ownedBy(this);
        m_services.dialogs = m_ownDialogs.get();
    }
    m_host = SearchQueries::serviceHost(*m_services.settings);

    m_web0 = m_services.makeView(this);
    m_web0->widget()->setObjectName(QStringLiteral("Web0"));

    m_controls = new ViewControls({.raiseToZoomFloor = true}, this);
    m_controls->setView(m_web0);
    m_cmb = new FocusSink(m_controls, this);
    m_controls->setFocusSink(m_cmb);
    m_placed.append({m_cmb, SearchControl::Cmb});

    m_actions = makeSearchActions(
        this, {.buttonSuffix = QStringLiteral("Button"), .icon = m_services.icon});
    wireActions();
    buildLabels();
    buildEntryRow();

    m_slide = new QVariantAnimation(this);
    m_slide->setStartValue(0);
    m_slide->setEndValue(SlideSteps);
    m_slide->setDuration(SlideSteps * SlideStepMs);
    connect(m_slide, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        // Each step moves the view a tenth of the window's inner width to the left.
        const int step = value.toInt();
        m_web1->widget()->move(m_slideFrom - step * width() / SlideSteps, m_web1->widget()->y());
    });
    connect(m_slide, &QVariantAnimation::finished, this, [this] {
        m_resultsInPlace = true;
        applyLayout();
        setLabel(0, QString());
        setLabel(2, m_gallery->countLabel());
    });

    m_wheel = new WheelFilter(this, m_controls, {}, this);
    wireSaving();

    connect(m_web0, &BrowserView::statusTextChanged, this, &SearchWindow::webStatusTextChange);
    connect(m_web0, &BrowserView::commandStateChanged, this, &SearchWindow::webCommandStateChange);
    connect(m_web0, &BrowserView::titleChanged, this, [this] {
        setWindowTitle(SearchQueries::windowCaption(m_web0->title(), m_web0->url().toString()));
    });
    connect(m_web0, &BrowserView::documentComplete, m_labPro, &QWidget::hide);
    m_controls->watchDownloads(m_web0);

    resize(toPixels(SearchGeometry::DesignWidth), toPixels(SearchGeometry::DesignHeight));
    WindowFit::fitOnScreen(*this); // a small screen gets a smaller window, not one beyond it
    formLoad();
}

SearchWindow::~SearchWindow() = default;

int SearchWindow::toPixels(int twips) const
{
    return twipsToPixels(twips, logicalDpiX());
}

int SearchWindow::toTwips(int pixels) const
{
    return pixelsToTwips(pixels, logicalDpiX());
}

void SearchWindow::wireActions()
{
    using A = SearchCommand;
    const SearchActions &a = *m_actions;
    for (int i = 0; i < int(A::ToAddress); ++i)
        m_placed.append({a.button(A(i)), placeOf(A(i))});
    const auto on = [](QAction *action, auto *receiver, auto slot) {
        connect(action, &QAction::triggered, receiver, slot);
    };
    on(a[A::ShowPage], this, [this] { showView(0); });
    on(a[A::ShowResults], this, [this] { showView(1); });
    on(a[A::Back], this, [this] { m_navigation->backOrForward(0); });
    on(a[A::Forward], this, [this] { m_navigation->backOrForward(1); });
    on(a[A::SavePagePictures], this, &SearchWindow::savePagePictures);
    on(a[A::Refresh], this, &SearchWindow::refresh);
    on(a[A::Home], this, [this] { m_navigation->goHome(); });
    on(a[A::ZoomIn], m_controls, &ViewControls::zoomIn);
    on(a[A::ZoomOut], m_controls, &ViewControls::zoomOut);
    m_controls->setScrollActions(a[A::ScrollUp], a[A::ScrollDown]);
    on(a[A::NextBackground], this, &SearchWindow::nextBackground);
    on(a[A::NextMatrixMode], this, [this] { m_gallery->nextMatrixMode(); });
    on(a[A::ToggleWidth], this, [this] { m_gallery->toggleWidth(); });
    on(a[A::CaptureScreen], this, &SearchWindow::captureScreen);
    on(a[A::GoToAddress], this, [this] { m_navigation->goToAddress(); });
    on(a[A::SearchKeywords], this, [this] { m_navigation->searchKeywords(); });
    on(a[A::ToAddress], this, [this] { m_navigation->focusAddress(); });
}

void SearchWindow::buildLabels()
{
    using C = SearchControl;
    m_labPro = new QLabel(this);
    m_labPro->setObjectName(QStringLiteral("LabPro"));
    m_labPro->setStyleSheet(QStringLiteral("color: yellow; background-color: red;"));
    m_labPro->hide(); // a busy mark for the saving run
    m_placed.append({m_labPro, C::LabPro});
    m_label1 = new QLabel(QStringLiteral("網址(&D)"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_placed.append({m_label1, C::Label1});
    for (int i = 0; i < 7; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Lab%1").arg(i));
        label->setTextFormat(Qt::PlainText);
        m_labels[std::size_t(i)] = label;
        m_placed.append({label, SearchControl(int(SearchControl::Lab0) + i)});
    }
    setLabel(0, QStringLiteral("當前路徑："));
    setLabel(2, QStringLiteral("0"));
    setLabel(6, QStringLiteral("Tarnell"));
}

void SearchWindow::buildEntryRow()
{
    m_navigation = new PageNavigation({.window = this,
                                       .pageView = m_web0,
                                       .settings = m_services.settings,
                                       .host = m_host,
                                       .focusSink = m_cmb,
                                       .showPage = [this] { showView(0); },
                                       .resultsShown = [this] { return m_viewIndex != 0; }},
                                      this);
    m_label1->setBuddy(m_navigation->addressBox());
    m_placed.append({m_navigation->addressBox(), SearchControl::TextUrl});
    m_placed.append({m_navigation->keywordBox(), SearchControl::CmbSearch});
}

void SearchWindow::formLoad()
{
    // The results view lies over the page view, waiting beyond the right edge.
    const auto makeResults =
        m_services.makeResultsView ? m_services.makeResultsView : m_services.makeView;
    m_web1 = makeResults(this);
    m_web1->widget()->setObjectName(QStringLiteral("Web1"));
    auto *pictureMenu = new PictureMenu(
        this, [this](const QString &address) { m_gallery->openInBrowser(address); },
        [this](const QString &address) {
            Q_EMIT m_services.state->pictureSaveRequested(address, this);
        });
    connect(m_web1, &BrowserView::pictureMenuRequested, this,
            [pictureMenu](const QUrl &picture, const QPoint &at) {
                pictureMenu->popup(picture.toString(QUrl::FullyEncoded), at);
            });
    m_web1->widget()->show();
    m_web1->widget()->raise();
    connect(m_web1, &BrowserView::statusTextChanged, this, &SearchWindow::webStatusTextChange);
    connect(m_web1, &BrowserView::documentComplete, m_labPro, &QWidget::hide);
    m_controls->watchDownloads(m_web1);
    wireGallery();
    applyLayout();

    SearchQueries::countOpening(*m_services.settings);

    const int preset = m_services.state->nextPreset();
    m_web0->navigate(m_navigation->addressBox()->itemText(preset));
    m_web1->navigate(QStringLiteral("about:blank"));
    setLabel(4, QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
}

void SearchWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Up and Down scroll from the start: Tab does not stop at the focus box, so the window
    // would otherwise give its first keys to the address box.
    if (!focusWidget())
        m_cmb->setFocus();
}

void SearchWindow::setLabel(int index, const QString &text)
{
    m_labels[std::size_t(index)]->setText(text);
}

void SearchWindow::applyLayout()
{
    if (!m_web1)
        return;
    const auto place = [this](QWidget *widget, const QRect &twips) {
        widget->setGeometry(twipsToPixels(twips, logicalDpiX()));
    };
    m_geometry = resized(m_geometry, toTwips(width()), toTwips(height()), m_resultsInPlace);
    for (const auto &[widget, control] : m_placed)
        place(widget, m_geometry.rect(control));
    place(m_web0->widget(), m_geometry.web0);
    if (m_slide->state() == QAbstractAnimation::Running || m_slidePending) {
        // The slide owns the results view's left edge until it ends.
        m_web1->widget()->resize(toPixels(m_geometry.web1.width()),
                                 toPixels(m_geometry.web1.height()));
    } else {
        place(m_web1->widget(), m_geometry.web1);
    }
    // Tab stops only at the view on show: the other waits beside the window or under it.
    setTabStop(m_web0->widget(), !m_resultsInPlace);
    setTabStop(m_web1->widget(), m_resultsInPlace);
    const int iconSize = std::max(16, toPixels(650) - 14);
    for (QToolButton *button : findChildren<QToolButton *>())
        button->setIconSize(QSize(iconSize, iconSize));
}

void SearchWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    applyLayout();
}

void SearchWindow::showView(int index)
{
    // Selecting the option already selected does nothing; the view index is the selection.
    if (m_viewIndex == index)
        return;
    (*m_actions)[index == 0 ? SearchCommand::ShowPage : SearchCommand::ShowResults]->setChecked(
        true);
    m_viewIndex = index;
    m_controls->setView(index == 0 ? m_web0 : m_web1);

    if (index == 0) {
        // Whatever extraction or slide was under way no longer has a view to show.
        m_gallery->dropExtraction();
        m_slidePending = false;
        m_slide->stop();
        m_resultsInPlace = false;
        applyLayout();
        setLabel(0, QStringLiteral("網址：") + m_web0->url().toString());
        setLabel(2, QString());
        m_cmb->setFocus();
        return;
    }
    m_slidePending = true;
    m_gallery->extractPictures();
}

void SearchWindow::startSlide()
{
    m_slidePending = false;
    m_slideFrom = m_web1->widget()->x();
    m_slide->stop();
    m_slide->start();
}

void SearchWindow::wireGallery()
{
    ResultsGalleryServices gallery;
    gallery.pageView = m_web0;
    gallery.resultsView = m_web1;
    gallery.settings = m_services.settings;
    gallery.dialogs = m_services.dialogs;
    gallery.shell = m_services.shell;
    gallery.pageFile = m_services.resultsPageFile;
    gallery.state = m_services.state;
    gallery.host = m_host;
    gallery.window = this;
    gallery.address = [this] { return m_navigation->addressBox()->currentText(); };
    gallery.resultsWidthTwips = [this] { return toTwips(m_web1->widget()->width()); };
    m_gallery = new ResultsGallery(std::move(gallery), this);
    connect(m_gallery, &ResultsGallery::extracted, this, [this] {
        setLabel(2, m_gallery->countLabel());
        setLabel(0, QString());
        showView(1);
        if (m_slidePending && m_viewIndex == 1)
            startSlide();
    });
    connect(m_gallery, &ResultsGallery::relaidOut, this, [this] {
        setLabel(2, m_gallery->countLabel());
        showView(1);
    });
}

void SearchWindow::nextBackground()
{
    m_gallery->setBackground(m_controls->advanceColour());
}

void SearchWindow::captureScreen()
{
    if (m_services.grabber && m_services.dialogs)
        ModuleScreen::saveScreenshot(*m_services.grabber, *m_services.dialogs,
                                     QGuiApplication::clipboard());
}

void SearchWindow::savePagePictures()
{
    m_saving->press();
}

void SearchWindow::wireSaving()
{
    SavingCommandServices saving;
    saving.settings = m_services.settings;
    saving.dialogs = m_services.dialogs;
    saving.cookiesFor = m_services.cookiesFor;
    saving.userAgent = m_services.userAgent;
    saving.shownView = [this] { return m_viewIndex == 0 ? m_web0 : m_web1; };
    saving.pageAddress = [this] { return m_web0->url(); };
    m_saving = new SavingCommand(std::move(saving), this);
    connect(m_saving, &SavingCommand::folderChosen, this, [this] {
        if (m_controls->isRunning() && m_controls->litButton() >= 0)
            m_controls->moveUpClick(m_controls->litButton()); // the timed scroll stops
    });
    connect(m_saving, &SavingCommand::started, this,
            [this](int total) { setLabel(0, QStringLiteral("0 / %1").arg(total)); });
    connect(m_saving, &SavingCommand::progress, this, [this](int done, int total, int markTwips) {
        setLabel(0, QStringLiteral("%1 / %2").arg(done).arg(total));
        m_labPro->resize(toPixels(markTwips), m_labPro->height());
        m_labPro->show();
    });
    connect(m_saving, &SavingCommand::finished, this, [this](int done, int total) {
        m_labPro->hide();
        setLabel(0, QStringLiteral("%1 / %2").arg(done).arg(total));
    });
    if (m_services.state)
        connect(m_saving, &SavingCommand::folderToShow, m_services.state,
                &SearchState::folderToShow);
}

void SearchWindow::refresh()
{
    if (m_viewIndex != 0)
        m_gallery->extractPictures();
    else
        m_web0->refresh();
}

void SearchWindow::webStatusTextChange(const QString &text)
{
    setLabel(0, text);
}

void SearchWindow::webCommandStateChange(BrowserCommand command, bool enabled)
{
    (*m_actions)[command == BrowserCommand::Back ? SearchCommand::Back : SearchCommand::Forward]
        ->setEnabled(enabled);
}

void SearchWindow::closeEvent(QCloseEvent *event)
{
    m_slide->stop();
    // A run ends with its window: what is written stays, nothing more is asked.
    m_saving->abort();
    m_gallery->close();
    event->accept();
}

} // namespace vimbrel
