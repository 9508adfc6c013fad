#include "search/searchwindow.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "capture/screengrabber.h"
#include "filecontents.h"
#include "platform/pagefiles.h"
#include "search/resultspage.h"
#include "search/searchqueries.h"
#include "searchwindowfixture.h"

namespace vimbrel {
namespace {

const QString Host = QStringLiteral("img.test");

// A fake view that can keep the answers to element reads back, to answer them in any order.
class TestView : public FakeBrowserView
{
public:
    using FakeBrowserView::FakeBrowserView;
    bool hold = false;
    QList<ElementsCallback> held;
    void elements(ElementsCallback callback) override
    {
        if (hold)
            held.append(std::move(callback));
        else
            FakeBrowserView::elements(std::move(callback));
    }
};

struct Grabber : ScreenGrabber
{
    QImage grabScreen() override
    {
        QImage screen(8, 6, QImage::Format_RGB32);
        screen.fill(Qt::green);
        return screen;
    }
};

QList<BrowserView::Element> gallery(int pictures)
{
    QList<BrowserView::Element> elements;
    for (int i = 0; i < pictures; ++i)
        elements.append({QStringLiteral("IMG"), QStringLiteral("http://g.test/p%1.jpg").arg(i)});
    elements.append({QStringLiteral("A"), QStringLiteral("http://g.test/next")});
    return elements;
}

class SearchWindowTest : public SearchWindowFixture
{
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(useHost(Host)); }

    // A new window; its page and results views become page() and results().
    SearchWindow &open()
    {
        SearchServices services = this->services();
        services.grabber = &m_grabber;
        services.makeView = [this](QWidget *parent) {
            auto *view = new TestView(parent);
            view->currentUrl = QUrl(QStringLiteral("http://g.test/gallery"));
            view->scriptedElements = gallery(3);
            m_views.push_back(view);
            return view;
        };
        m_windows.push_back(std::make_unique<SearchWindow>(services));
        m_windows.back()->resize(972, 511);
        return *m_windows.back();
    }
    SearchWindow &window() { return *m_windows.back(); }
    TestView *page() { return m_views[m_views.size() - 2]; }
    TestView *results() { return m_views.back(); }

    QAction *action(const char *name) { return window().findChild<QAction *>(name); }
    void press(const char *name)
    {
        QAction *a = action(name);
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
    QString lab(int index)
    {
        return window().findChild<QLabel *>(QStringLiteral("Lab%1").arg(index))->text();
    }
    QComboBox *box(const char *name) { return window().findChild<QComboBox *>(name); }
    QByteArray resultsPage() { return fileContents(resultsPageFile()); }
    int resultsLeft() { return results()->widget()->x(); }
    void waitForSlide()
    {
        const int end = int(std::lround(40 * window().logicalDpiX() / 1440.0));
        EXPECT_TRUE(QTest::qWaitFor([&] { return resultsLeft() == end; }, 5000));
    }
    QByteArray extractionPage(Extraction::Rule rule)
    {
        return PageFiles::joinLines(ResultsPage::extractionLines(rule, m_state.results()));
    }
    QByteArray relayoutPage(int mode, const QString &background = QStringLiteral("#FFFFFF"))
    {
        const int twips =
            int(std::lround(results()->widget()->width() * 1440.0 / window().logicalDpiX()));
        return PageFiles::joinLines(ResultsPage::relayoutLines(
            m_state.results(), mode, ResultsPage::matrixWidth(twips, mode), background));
    }

    Grabber m_grabber;
    std::vector<TestView *> m_views;
    std::vector<std::unique_ptr<SearchWindow>> m_windows;
};

TEST_F(SearchWindowTest, EachNewWindowStartsOnTheNextPresetAndBlankResults)
{
    const QStringList presets = SearchQueries::presetAddresses(*m_settings, Host);
    for (int expected : {0, 1, 2, 3, 4, 0}) {
        open();
        EXPECT_EQ(page()->navigations, QStringList{presets[expected]}) << expected;
        EXPECT_EQ(results()->navigations, QStringList{QStringLiteral("about:blank")});
    }
    EXPECT_EQ(lab(0), QStringLiteral("當前路徑："));
    EXPECT_EQ(lab(2), QStringLiteral("0"));
    EXPECT_FALSE(lab(4).isEmpty());
    EXPECT_EQ(lab(6), QStringLiteral("Tarnell"));
    EXPECT_EQ(window().windowTitle(), QStringLiteral("圖片成批下載"));
    EXPECT_TRUE(action("Opt0")->isChecked());
    EXPECT_FALSE(action("CmdPage0")->isEnabled());
    EXPECT_FALSE(action("CmdPage1")->isEnabled());
    EXPECT_EQ(box("TextUrl")->currentText(), QString());
    EXPECT_EQ(box("TextUrl")->count(), 6);
    EXPECT_EQ(box("CmbSearch")->count(), 35);
    EXPECT_FALSE(window().findChild<QLabel *>(QStringLiteral("LabPro"))->isVisibleTo(&window()));
}

TEST_F(SearchWindowTest, EachOpeningIsCounted)
{
    const struct
    {
        const char *stored;
        const char *after;
    } cases[] = {{nullptr, "1"}, {"12", "13"}, {"many", "1"}};
    for (const auto &c : cases) {
        const QString file = m_dir.filePath(QStringLiteral("count.ini"));
        QFile::remove(file);
        m_settings = std::make_unique<IniSettings>(file);
        if (c.stored)
            m_settings->setValue(QStringLiteral("Search"), QStringLiteral("LoadTime"),
                                 QString::fromLatin1(c.stored));
        open();
        EXPECT_EQ(m_settings->value(QStringLiteral("Search"), QStringLiteral("LoadTime")),
                  QString::fromLatin1(c.after));
    }
}

TEST_F(SearchWindowTest, TheCaptionAndAddressBoxFollowThePageViewsTitle)
{
    open();
    page()->currentUrl = QUrl(QStringLiteral("http://g.test/a b?word=%E4%B8%AD"));
    page()->currentTitle = QString();
    Q_EMIT page()->titleChanged(QStringLiteral("ignored"));
    EXPECT_EQ(window().windowTitle(),
              QStringLiteral("http://g.test/a b?word=中  -  [ 搜索圖片、成批下載 ]"));
    EXPECT_EQ(box("TextUrl")->currentText(), QStringLiteral("http://g.test/a b?word=中"));
    EXPECT_EQ(box("TextUrl")->toolTip(), box("TextUrl")->currentText());

    page()->currentTitle = QString(150, QLatin1Char('t'));
    Q_EMIT page()->titleChanged(QString());
    EXPECT_EQ(window().windowTitle(),
              QString(100, QLatin1Char('t')) + QStringLiteral("  -  [ 搜索圖片、成批下載 ]"));

    // The results view's title is not the window's.
    results()->currentTitle = QStringLiteral("results");
    Q_EMIT results()->titleChanged(QStringLiteral("results"));
    EXPECT_TRUE(window().windowTitle().startsWith(QLatin1String("tttt")));
}

TEST_F(SearchWindowTest, BackAndForwardFollowThePageViewOnly)
{
    open();
    constexpr auto Back = BrowserCommand::Back;
    constexpr auto Forward = BrowserCommand::Forward;
    const struct
    {
        bool fromPage;
        BrowserCommand command;
        bool enabled;
        bool back, forward;
    } steps[] = {
        {true, Back, true, true, false},  {true, Forward, true, true, true},
        {false, Back, false, true, true}, {false, Forward, false, true, true},
        {true, Back, false, false, true}, {true, Forward, false, false, false},
    };
    for (const auto &s : steps) {
        Q_EMIT(s.fromPage ? page() : results())->commandStateChanged(s.command, s.enabled);
        EXPECT_EQ(action("CmdPage0")->isEnabled(), s.back);
        EXPECT_EQ(action("CmdPage1")->isEnabled(), s.forward);
    }
}

TEST_F(SearchWindowTest, StatusTextOfEitherViewShowsInTheStatusLine)
{
    open();
    Q_EMIT page()->statusTextChanged(QStringLiteral("http://g.test/x"));
    EXPECT_EQ(lab(0), QStringLiteral("http://g.test/x"));
    Q_EMIT results()->statusTextChanged(QStringLiteral("done"));
    EXPECT_EQ(lab(0), QStringLiteral("done"));
}

TEST_F(SearchWindowTest, RefreshAndHomeInThePageView)
{
    open();
    press("Command2");
    EXPECT_EQ(page()->refreshes, 1);
    press("Command5");
    EXPECT_EQ(page()->navigations.last(), QStringLiteral("http://img.test/"));
    EXPECT_TRUE(action("Opt0")->isChecked());
    EXPECT_EQ(results()->navigations.size(), 1); // nothing extracted
}

TEST_F(SearchWindowTest, RefreshAndHomeInTheResultsView)
{
    open();
    press("Opt1");
    ASSERT_EQ(results()->navigations.size(), 2);
    page()->scriptedElements = gallery(5);
    press("Command2");
    EXPECT_EQ(page()->refreshes, 0);
    EXPECT_EQ(m_state.results().count(), 5);
    EXPECT_EQ(results()->navigations.last(), resultsPageFile());
    EXPECT_EQ(lab(2), QStringLiteral("圖片總數：5"));

    press("Command5");
    EXPECT_TRUE(action("Opt0")->isChecked());
    EXPECT_EQ(page()->navigations.last(), QStringLiteral("http://img.test/"));
    EXPECT_EQ(lab(0), QStringLiteral("網址：") + page()->url().toString());
    EXPECT_EQ(lab(2), QString());
}

TEST_F(SearchWindowTest, TheResultsViewSlidesInAndTheSelectedOptionStaysPut)
{
    open();
    EXPECT_GT(resultsLeft(), window().width()); // waiting beyond the right edge
    press("Opt1");
    EXPECT_TRUE(action("Opt1")->isChecked());
    EXPECT_EQ(resultsPage(), extractionPage(Extraction::Rule::Page));
    EXPECT_EQ(m_state.results().count(), 3);
    EXPECT_EQ(results()->navigations.last(), resultsPageFile());
    waitForSlide();
    EXPECT_EQ(lab(0), QString());
    EXPECT_EQ(lab(2), QStringLiteral("圖片總數：3"));

    // Pressed again: no extraction, no navigation.
    const int navigations = int(results()->navigations.size());
    page()->scriptedElements = gallery(1);
    press("Opt1");
    EXPECT_EQ(results()->navigations.size(), navigations);
    EXPECT_EQ(m_state.results().count(), 3);

    // The wheel now scrolls the results view.
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&window(), &wheel);
    EXPECT_EQ(results()->scrolls, QList<QPoint>{QPoint(0, 100)});
    EXPECT_TRUE(page()->scrolls.isEmpty());
    // So does the timed scroll.
    press("MoveUp1");
    EXPECT_TRUE(QTest::qWaitFor([&] { return results()->scrolls.contains(QPoint(0, 2)); }));
    press("MoveUp1");
    EXPECT_TRUE(page()->scrolls.isEmpty());

    press("Opt0");
    EXPECT_GT(resultsLeft(), window().width());
    EXPECT_EQ(lab(0), QStringLiteral("網址：") + page()->url().toString());
    EXPECT_EQ(lab(2), QString());
    window().resize(800, 400);
    EXPECT_GT(resultsLeft(), window().width());
}

TEST_F(SearchWindowTest, TheRuleFollowsTheAddressBoxText)
{
    open();
    page()->scriptedElements = {
        {QStringLiteral("A"),
         QStringLiteral("http://img.test/i?ct=503316480&objurl=http%3A%2F%2Fp.test%2F1.jpg")},
        {QStringLiteral("IMG"), QStringLiteral("http://img.test/t.jpg")}};
    box("TextUrl")->setEditText(QStringLiteral("http://img.test/i?tn=baiduimage&word=x"));
    press("Opt1");
    EXPECT_EQ(m_state.results().entries(), QStringList{QStringLiteral("http://p.test/1.jpg")});
    EXPECT_EQ(resultsPage(), extractionPage(Extraction::Rule::SearchResult));
}

TEST_F(SearchWindowTest, LayoutButtonsInTurn)
{
    open();
    press("Opt1");
    waitForSlide();
    press("Command10"); // full width: matrix mode 1
    EXPECT_EQ(resultsPage(), relayoutPage(1));
    press("Command7");
    EXPECT_EQ(resultsPage(), relayoutPage(2));
    press("Command7");
    EXPECT_EQ(resultsPage(), relayoutPage(3));
    page()->scriptedElements = gallery(4);
    press("Command10"); // back to the extraction's own form, read afresh
    EXPECT_EQ(m_state.results().count(), 4);
    EXPECT_EQ(resultsPage(), extractionPage(Extraction::Rule::Page));
    press("Command7"); // goes on from mode 3
    EXPECT_EQ(resultsPage(), relayoutPage(4));
    press("Command7");
    EXPECT_EQ(resultsPage(), relayoutPage(0));
    press("ImgComb");
    EXPECT_EQ(resultsPage(), relayoutPage(0, QStringLiteral("#FF0000")));
    EXPECT_EQ(lab(2), QStringLiteral("圖片總數：4"));
}

TEST_F(SearchWindowTest, ALayoutButtonInThePageViewEndsInTheExtractionsOwnForm)
{
    for (const char *button : {"Command7", "Command10", "ImgComb"}) {
        open();
        press(button);
        EXPECT_TRUE(action("Opt1")->isChecked()) << button;
        EXPECT_EQ(resultsPage(), extractionPage(Extraction::Rule::Page)) << button;
        waitForSlide();
        EXPECT_EQ(lab(2), QStringLiteral("圖片總數：3"));
    }
}

TEST_F(SearchWindowTest, OnlyTheLatestExtractionWritesThePage)
{
    open();
    page()->hold = true;
    press("Opt1");
    press("Command2");
    ASSERT_EQ(page()->held.size(), 2);
    page()->held[1](gallery(2));
    EXPECT_EQ(m_state.results().count(), 2);
    const QByteArray latest = resultsPage();
    page()->held[0](gallery(7)); // late answer of the first read
    EXPECT_EQ(m_state.results().count(), 2);
    EXPECT_EQ(resultsPage(), latest);
    waitForSlide();

    // Going back to the page view drops a read still under way.
    page()->held.clear();
    press("Command2");
    press("Opt0");
    page()->held[0](gallery(9));
    EXPECT_EQ(m_state.results().count(), 2);
    EXPECT_TRUE(action("Opt0")->isChecked());
}

TEST_F(SearchWindowTest, AddressBoxAndKeywordBox)
{
    open();
    QComboBox *url = box("TextUrl");
    url->setEditText(QStringLiteral("a&b #c"));
    QTest::keyClick(url, Qt::Key_Return);
    EXPECT_EQ(page()->navigations.last(), SearchQueries::keywordSearchAddress(Host, "a&b #c"));
    EXPECT_TRUE(url->currentText().startsWith(QLatin1String("http://img.test/i?tn=")));
    EXPECT_EQ(url->count(), 7);
    EXPECT_EQ(url->itemText(6), QStringLiteral("a&b #c"));

    url->setEditText(QStringLiteral("g.test/with space"));
    press("CmdGo");
    EXPECT_EQ(page()->navigations.last(), QStringLiteral("g.test/with space"));
    url->setEditText(QStringLiteral("g.test/with space"));
    press("CmdGo");
    EXPECT_EQ(url->count(), 9); // appended again

    // Choosing an entry from the list goes there at once.
    Q_EMIT url->activated(2);
    EXPECT_EQ(page()->navigations.last(), url->itemText(2));
    EXPECT_EQ(url->count(), 10);

    QComboBox *words = box("CmbSearch");
    words->setEditText(QString());
    QTest::keyClick(words, Qt::Key_Return);
    EXPECT_TRUE(page()->navigations.last().endsWith(QLatin1String("&word=")));
    EXPECT_EQ(words->count(), 36);
    words->setEditText(QStringLiteral("梵高"));
    press("CmdSearch");
    EXPECT_EQ(page()->navigations.last(), SearchQueries::keywordSearchAddress(Host, "梵高"));
}

TEST_F(SearchWindowTest, TheAddressBoxActsOnceOnWhatWasTyped)
{
    // Shown and active, so that focus really moves out of the box as it does for the user.
    SearchWindow &w = open();
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QComboBox *url = box("TextUrl");
    url->addItem(QStringLiteral("http://g.test/pics200"));
    const qsizetype entries = url->count();
    const qsizetype loads = page()->navigations.size();

    // Typed, with an entry it is the start of: the typed text goes, once, and is listed once.
    url->setFocus();
    url->setEditText(QString());
    QTest::keyClicks(url, QStringLiteral("http://g.test/pics20"));
    QTest::keyClick(url, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(page()->navigations.mid(loads), QStringList{QStringLiteral("http://g.test/pics20")});
    EXPECT_EQ(url->count(), entries + 1);

    // Leaving the box with an entry's text in it goes nowhere.
    url->setFocus();
    url->setEditText(url->itemText(2));
    QTest::keyClick(url, Qt::Key_End);
    box("CmbSearch")->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(page()->navigations.size(), loads + 1);
    EXPECT_EQ(url->count(), entries + 1);
}

TEST_F(SearchWindowTest, BackOrForwardWithTheResultsShownOnlyBringsThePageBack)
{
    open();
    Q_EMIT page()->commandStateChanged(BrowserCommand::Back, true);
    Q_EMIT page()->commandStateChanged(BrowserCommand::Forward, true);
    press("CmdPage0");
    press("CmdPage1");
    EXPECT_EQ(page()->backs, 1);
    EXPECT_EQ(page()->forwards, 1);
    press("Opt1");
    press("CmdPage0");
    EXPECT_EQ(page()->backs, 1);
    EXPECT_TRUE(action("Opt0")->isChecked());
}

TEST_F(SearchWindowTest, NewWindowRequests)
{
    open();
    page()->requestNewWindow(QUrl(QStringLiteral("http://g.test/clicked")), true);
    EXPECT_EQ(page()->navigations.last(), QStringLiteral("http://g.test/clicked"));
    const int navigations = int(page()->navigations.size());
    page()->requestNewWindow(QUrl(QStringLiteral("http://ads.test/popup")), false);
    page()->requestNewWindow(QUrl(QStringLiteral("javascript:alert(1)")), true);
    page()->requestNewWindow(QUrl(QStringLiteral("file:///etc/passwd")), true);
    EXPECT_EQ(page()->navigations.size(), navigations);
    page()->currentUrl = QUrl::fromLocalFile(QStringLiteral("/tmp/index.htm"));
    page()->requestNewWindow(QUrl(QStringLiteral("file:///tmp/next.htm")), true);
    EXPECT_EQ(page()->navigations.last(), QStringLiteral("file:///tmp/next.htm"));

    QSignalSpy pictures(&m_state, &SearchState::pictureRequested);
    results()->requestNewWindow(QUrl(QStringLiteral("http://p.test/1.jpg")), true);
    ASSERT_EQ(pictures.size(), 1);
    EXPECT_EQ(pictures.at(0).at(0).toString(), QStringLiteral("http://p.test/1.jpg"));
    EXPECT_EQ(pictures.at(0).at(1).value<QWidget *>(), &window());
    EXPECT_EQ(page()->navigations.size(), navigations + 1);
}

TEST_F(SearchWindowTest, ScreenCaptureAsksForAName)
{
    open();
    press("Command9");
    ASSERT_EQ(m_dialogs.calls.size(), 1);
    EXPECT_TRUE(m_dialogs.calls[0].startsWith(QStringLiteral("save|保存文件|")))
        << m_dialogs.calls[0].toStdString();
}

TEST_F(SearchWindowTest, ItsDialogsBelongToIt)
{
    open();
    SearchWindow &second = open();
    press("Command1"); // the folder picker, cancelled
    press("Command9"); // the screen capture's name
    ASSERT_EQ(m_dialogs.calls.size(), 2);
    EXPECT_EQ(m_dialogs.owners, (QList<const QWidget *>{&second, &second}));
}

TEST_F(SearchWindowTest, ClosingDeletesTheResultsPage)
{
    open();
    press("Opt1");
    ASSERT_TRUE(QFile::exists(resultsPageFile()));
    EXPECT_TRUE(window().close());
    EXPECT_FALSE(QFile::exists(resultsPageFile()));
}

TEST_F(SearchWindowTest, AResultsPageThatCannotBeWrittenIsSaidSo)
{
    // A folder stands where the page goes: the view would list it under "圖片總數：3".
    ASSERT_TRUE(QDir().mkpath(resultsPageFile()));
    open();
    const QString why = QStringLiteral("about:無法顯示圖片：頁面文件無法寫入 ") + resultsPageFile();
    press("Opt1");
    EXPECT_EQ(results()->navigations.last(), why);
    press("Command7");
    EXPECT_EQ(results()->navigations.last(), why);
    EXPECT_EQ(m_dialogs.calls, QStringList{QStringLiteral("message|圖片成批下載|") + why.mid(6) +
                                           QStringLiteral("|1")});
}

TEST_F(SearchWindowTest, ItOpensInsideTheScreen)
{
    // The offscreen screen (800 x 600) is narrower than the window's design size.
    SearchWindow &w = open();
    w.resize(972, 511); // what it would take by design
    w.show();
    const QRect area = w.screen()->availableGeometry();
    ASSERT_LT(area.width(), 972);
    EXPECT_TRUE(area.contains(w.frameGeometry()));
}

TEST_F(SearchWindowTest, LayoutAtTheDesignSize)
{
    open();
    const double dpi = window().logicalDpiX();
    const auto px = [dpi](int twips) { return int(std::lround(twips * dpi / 1440.0)); };
    window().resize(px(14580), px(7665));
    EXPECT_EQ(page()->widget()->geometry(), QRect(px(45), px(1030), px(14500), px(6385)));
    EXPECT_EQ(results()->widget()->size(), page()->widget()->size());
    EXPECT_EQ(window().findChild<QLabel *>(QStringLiteral("Lab6"))->geometry(),
              QRect(px(11520), px(7410), px(3030), px(255)));
    EXPECT_EQ(box("TextUrl")->width(), px(9280));
    EXPECT_EQ(box("CmbSearch")->x(), px(10460));
}

} // namespace
} // namespace vimbrel
