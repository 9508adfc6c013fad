#include "search/searchwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QAbstractButton>
#include <QToolButton>
#include <QVariantAnimation>

#include <utility>

#include "capture/modulescreen.h"
#include "platform/dialogs.h"
#include "platform/pagefiles.h"
#include "platform/settings.h"
#include "platform/shell.h"
#include "platform/windowfit.h"
#include "search/resultspage.h"
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

const QString SearchSection = QStringLiteral("Search");
const QString Caption = QStringLiteral("圖片成批下載");
const QString CountPrefix = QStringLiteral("圖片總數：");

constexpr int SlideSteps = 10;
constexpr int SlideStepMs = 15;

} // namespace

SearchWindow::SearchWindow(SearchServices services, QWidget *parent)
    : QWidget(parent), m_services(std::move(services))
{
    setObjectName(QStringLiteral("FormSearch"));
    setWindowTitle(Caption);
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
        setLabel(2, countLabel());
    });

    m_wheel = new WheelFilter(this, m_controls, {}, this);
    wireSaving();

    connect(m_web0, &BrowserView::statusTextChanged, this, &SearchWindow::webStatusTextChange);
    connect(m_web0, &BrowserView::commandStateChanged, this, &SearchWindow::webCommandStateChange);
    connect(m_web0, &BrowserView::titleChanged, this, &SearchWindow::webTitleChange);
    connect(m_web0, &BrowserView::newWindowRequested, this,
            [this](const QUrl &url, bool user) { webNewWindow(0, url, user); });
    connect(m_web0, &BrowserView::documentComplete, m_labPro, &QWidget::hide);
    m_controls->watchDownloads(m_web0);

    resize(toPixels(SearchGeometry::DesignWidth), toPixels(SearchGeometry::DesignHeight));
    WindowFit::fitOnScreen(*this); // a small screen gets a smaller window, not one beyond it
    formLoad();
}

SearchWindow::~SearchWindow() = default;

double SearchWindow::dpi() const
{
    return logicalDpiX() > 0 ? logicalDpiX() : 96.0;
}

int SearchWindow::toPixels(int twips) const
{
    return twipsToPixels(twips, dpi());
}

int SearchWindow::toTwips(int pixels) const
{
    return pixelsToTwips(pixels, dpi());
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
    on(a[A::Back], this, [this] { backOrForward(0); });
    on(a[A::Forward], this, [this] { backOrForward(1); });
    on(a[A::SavePagePictures], this, &SearchWindow::savePagePictures);
    on(a[A::Refresh], this, &SearchWindow::refresh);
    on(a[A::Home], this, &SearchWindow::goHome);
    on(a[A::ZoomIn], m_controls, &ViewControls::zoomIn);
    on(a[A::ZoomOut], m_controls, &ViewControls::zoomOut);
    m_controls->setScrollActions(a[A::ScrollUp], a[A::ScrollDown]);
    on(a[A::NextBackground], this, &SearchWindow::nextBackground);
    on(a[A::NextMatrixMode], this, &SearchWindow::nextMatrixMode);
    on(a[A::ToggleWidth], this, &SearchWindow::toggleWidth);
    on(a[A::CaptureScreen], this, &SearchWindow::captureScreen);
    on(a[A::GoToAddress], this, &SearchWindow::goToAddress);
    on(a[A::SearchKeywords], this, &SearchWindow::searchKeywords);
    on(a[A::ToAddress], this, [this] {
        m_textUrl->setFocus(Qt::ShortcutFocusReason);
        m_textUrl->lineEdit()->selectAll();
    });
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
    using C = SearchControl;
    m_textUrl = new QComboBox(this);
    m_textUrl->setObjectName(QStringLiteral("TextUrl"));
    m_textUrl->setEditable(true);
    // Every go appends its entry, also a repeated one; the box itself never adds or merges.
    m_textUrl->setInsertPolicy(QComboBox::NoInsert);
    m_textUrl->setDuplicatesEnabled(true);
    // What is typed is what is opened: no inline completion from the list (".../pics20" must
    // not become ".../pics200" on Enter), and leaving the box is no choice of the entry its
    // text equals (the box would otherwise report one, and after a go, a second go).
    m_textUrl->setCompleter(nullptr);
    disconnect(m_textUrl->lineEdit(), &QLineEdit::editingFinished, m_textUrl, nullptr);
    m_textUrl->addItems(SearchQueries::presetAddresses(*m_services.settings, m_host));
    m_textUrl->setCurrentIndex(-1);
    m_textUrl->setEditText(QString());
    QPalette blue = m_textUrl->palette();
    blue.setColor(QPalette::Text, Qt::blue);
    m_textUrl->setPalette(blue);
    m_textUrl->lineEdit()->setPalette(blue);
    m_textUrl->setToolTip(QStringLiteral("地址欄裡輸入「關鍵詞」可以直接搜索"));
    m_label1->setBuddy(m_textUrl);
    connect(m_textUrl, &QComboBox::editTextChanged, m_textUrl, &QWidget::setToolTip);
    m_textUrl->installEventFilter(this);
    connect(m_textUrl, &QComboBox::activated, this, [this](int index) {
        // The chosen entry, not whatever the edit line held a moment before.
        m_textUrl->setEditText(m_textUrl->itemText(index));
        goToAddress();
    });
    m_placed.append({m_textUrl, C::TextUrl});

    m_cmbSearch = new QComboBox(this);
    m_cmbSearch->setObjectName(QStringLiteral("CmbSearch"));
    m_cmbSearch->setEditable(true);
    m_cmbSearch->setInsertPolicy(QComboBox::NoInsert);
    m_cmbSearch->setDuplicatesEnabled(true);
    m_cmbSearch->setCompleter(nullptr);
    m_cmbSearch->addItems(SearchQueries::presetKeywords());
    m_cmbSearch->setCurrentIndex(-1);
    m_cmbSearch->setEditText(QString());
    m_cmbSearch->installEventFilter(this);
    m_placed.append({m_cmbSearch, C::CmbSearch});
}

void SearchWindow::formLoad()
{
    // The results view lies over the page view, waiting beyond the right edge.
    const auto makeResults =
        m_services.makeResultsView ? m_services.makeResultsView : m_services.makeView;
    m_web1 = makeResults(this);
    m_web1->widget()->setObjectName(QStringLiteral("Web1"));
    auto *pictureMenu = new PictureMenu(
        this, [this](const QString &address) { openInBrowser(address); },
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
    connect(m_web1, &BrowserView::newWindowRequested, this,
            [this](const QUrl &url, bool user) { webNewWindow(1, url, user); });
    connect(m_web1, &BrowserView::documentComplete, m_labPro, &QWidget::hide);
    m_controls->watchDownloads(m_web1);
    applyLayout();

    Settings &settings = *m_services.settings;
    const int opened =
        SearchQueries::nextLoadTime(settings.value(SearchSection, QStringLiteral("LoadTime")));
    settings.setValue(SearchSection, QStringLiteral("LoadTime"), QString::number(opened));

    const int preset = m_services.state->nextPreset();
    m_web0->navigate(m_textUrl->itemText(preset));
    m_web1->navigate(QStringLiteral("about:blank"));
    m_background = QStringLiteral("#FFFFFF");
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

QString SearchWindow::countLabel() const
{
    return CountPrefix + QString::number(m_services.state->results().count());
}

int SearchWindow::resultsViewWidthTwips() const
{
    return toTwips(m_web1->widget()->width());
}

// --- layout ---

void SearchWindow::applyLayout()
{
    if (!m_web1)
        return;
    const auto place = [this](QWidget *widget, const QRect &twips) {
        widget->setGeometry(toPixels(twips.left()), toPixels(twips.top()), toPixels(twips.width()),
                            toPixels(twips.height()));
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

// --- the view switch ---

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
        ++m_extraction;
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
    extractPictures();
}

void SearchWindow::startSlide()
{
    m_slidePending = false;
    m_slideFrom = m_web1->widget()->x();
    m_slide->stop();
    m_slide->start();
}

// --- extraction and the results page ---

void SearchWindow::extractPictures()
{
    const int ticket = ++m_extraction;
    const Extraction::Rule rule = Extraction::ruleFor(m_textUrl->currentText(), m_host);
    QPointer<SearchWindow> self(this);
    m_web0->elements([self, ticket, rule](const QList<BrowserView::Element> &elements) {
        if (!self || ticket != self->m_extraction)
            return;
        self->showExtraction(rule, elements);
    });
}

void SearchWindow::showExtraction(Extraction::Rule rule,
                                  const QList<BrowserView::Element> &elements)
{
    ResultList &results = m_services.state->results();
    Extraction::extract(rule, elements, m_host, results,
                        Extraction::optionsFrom(*m_services.settings));
    showResultsPage(ResultsPage::extractionLines(rule, results));
    setLabel(2, countLabel());
    setLabel(0, QString());
    showView(1);
    if (m_slidePending && m_viewIndex == 1)
        startSlide();
}

void SearchWindow::relayout()
{
    const int width = ResultsPage::matrixWidth(resultsViewWidthTwips(), m_matrixMode);
    const ResultList &results = m_services.state->results();
    showResultsPage(ResultsPage::relayoutLines(results, m_matrixMode, width, m_background));
    setLabel(2, countLabel());
    showView(1);
}

void SearchWindow::showResultsPage(const QStringList &lines)
{
    const QString &file = m_services.resultsPageFile;
    if (PageFiles::writeLines(file, lines)) {
        m_web1->navigate(file);
        return;
    }
    // The view would show the last page, a blank one or whatever stands at the path, under a
    // count of pictures it does not show.
    const QString why = PageFiles::notWrittenMessage(file);
    m_web1->navigate(QStringLiteral("about:") + why);
    if (!std::exchange(m_toldPageNotWritten, true))
        m_services.dialogs->messageBox(why, Caption, MessageIcon::Warning);
}

void SearchWindow::nextMatrixMode()
{
    ++m_matrixMode;
    if (m_matrixMode > 4 || m_matrixMode < 0)
        m_matrixMode = 0;
    relayout();
}

void SearchWindow::toggleWidth()
{
    if (m_widthToggle == 0) {
        m_widthToggle = 1;
        m_matrixMode = 0;
        nextMatrixMode();
    } else {
        m_widthToggle = 0;
        extractPictures();
    }
}

void SearchWindow::nextBackground()
{
    m_background = m_controls->advanceColour();
    relayout();
}

void SearchWindow::captureScreen()
{
    if (m_services.grabber && m_services.dialogs)
        ModuleScreen::saveScreenshot(*m_services.grabber, *m_services.dialogs,
                                     QGuiApplication::clipboard());
}

// --- saving the shown page's pictures ---

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

// --- browsing ---

void SearchWindow::goToAddress()
{
    const QString entry = m_textUrl->currentText();
    m_textUrl->addItem(entry);
    showView(0);
    const QString target = SearchQueries::goTarget(m_host, entry);
    if (target != entry) {
        // The box shows the search address readably; the view gets the encoded one.
        m_textUrl->setEditText(QUrl(target).toString());
    }
    m_web0->navigate(target);
    m_cmb->setFocus();
}

void SearchWindow::searchKeywords()
{
    const QString word = m_cmbSearch->currentText();
    m_cmbSearch->addItem(word);
    showView(0);
    m_web0->navigate(SearchQueries::keywordSearchAddress(m_host, word));
    m_cmb->setFocus();
}

void SearchWindow::backOrForward(int index)
{
    if (m_viewIndex != 0) {
        showView(0);
        return;
    }
    if (index == 0)
        m_web0->goBack();
    else
        m_web0->goForward();
}

void SearchWindow::refresh()
{
    if (m_viewIndex != 0)
        extractPictures();
    else
        m_web0->refresh();
}

void SearchWindow::goHome()
{
    showView(0);
    m_web0->navigate(SearchQueries::homeAddress(m_host));
}

// --- notifications of the views ---

void SearchWindow::webStatusTextChange(const QString &text)
{
    setLabel(0, text);
}

void SearchWindow::webCommandStateChange(BrowserCommand command, bool enabled)
{
    (*m_actions)[command == BrowserCommand::Back ? SearchCommand::Back : SearchCommand::Forward]
        ->setEnabled(enabled);
}

void SearchWindow::webTitleChange()
{
    const QString address = m_web0->url().toString();
    m_textUrl->setEditText(address);
    m_textUrl->lineEdit()->setCursorPosition(0); // the host first, not the query's tail
    setWindowTitle(SearchQueries::windowCaption(m_web0->title(), address));
}

void SearchWindow::webNewWindow(int index, const QUrl &url, bool userInitiated)
{
    if (index == 1) {
        // Every picture of the results page is a link to itself in a new window.
        Q_EMIT m_services.state->pictureRequested(url.toString(QUrl::FullyEncoded), this);
        return;
    }
    // A link the user clicked opens here; a window a script opens by itself is a pop-up. The
    // view loads what it is told, so a web page's link may not lead it to a script address or
    // into the user's own files.
    if (!userInitiated || !url.isValid())
        return;
    const QString scheme = url.scheme().toLower();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
    const bool localFromLocal = url.isLocalFile() && m_web0->url().isLocalFile();
    if (web || localFromLocal)
        m_web0->navigate(url.toString(QUrl::FullyEncoded));
}

void SearchWindow::openInBrowser(const QString &address)
{
    // A file: or other address taken from a page could make the desktop run a program.
    const QString scheme = QUrl(address).scheme().toLower();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
    if (!web || !m_services.shell->open(address))
        m_services.dialogs->messageBox(QStringLiteral("這個地址不能在瀏覽器裡打開：") + address,
                                       Caption, MessageIcon::Warning);
}

bool SearchWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in either box runs its command once; the box itself does nothing more with it.
    // The keys reach the box (its edit line's focus proxy), which hands them on to the line.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == m_textUrl) {
                goToAddress();
                return true;
            }
            if (watched == m_cmbSearch) {
                searchKeywords();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SearchWindow::closeEvent(QCloseEvent *event)
{
    m_slide->stop();
    ++m_extraction;
    // A run ends with its window: what is written stays, nothing more is asked.
    m_saving->abort();
    PageFiles::remove(m_services.resultsPageFile);
    event->accept();
}

} // namespace vimbrel
