#include "windowkit/viewcontrols.h"

#include <QAbstractItemView>
#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "fakebrowserview.h"
#include "windowkit/focussink.h"

using namespace vimbrel;

namespace {

QString lastScript(const FakeBrowserView &view)
{
    return view.scripts.isEmpty() ? QString() : view.scripts.last();
}

// The options each of the three windows passes to its controls.
enum class WindowKind { Main, Search, Detail };

ViewControlOptions optionsOf(WindowKind kind)
{
    switch (kind) {
    case WindowKind::Main:
        return {.raiseToZoomFloor = true,
                .focusAfterZoom = ViewControlOptions::ZoomFocus::View,
                .focusViewWhenScrollStops = true};
    case WindowKind::Search:
        return {.raiseToZoomFloor = true};
    case WindowKind::Detail:
        return {.focusAfterZoom = ViewControlOptions::ZoomFocus::FocusSink};
    }
    return {};
}

// A window with a view whose first page has finished loading (zoom 100).
struct Window
{
    explicit Window(WindowKind kind) : controls(optionsOf(kind))
    {
        view = new FakeBrowserView(&window);
        controls.setView(view);
        controls.watchDownloads(view);
        view->finishLoad();
    }
    QWidget window;
    FakeBrowserView *view = nullptr;
    ViewControls controls;
};

} // namespace

TEST(ZoomScript, WritesThePercentageAsADecimalInteger)
{
    EXPECT_EQ(ViewControls::zoomScript(110), QStringLiteral("document.body.style.zoom='110%'"));
    EXPECT_EQ(ViewControls::zoomScript(-10), QStringLiteral("document.body.style.zoom='-10%'"));
    EXPECT_EQ(ViewControls::zoomScript(0), QStringLiteral("document.body.style.zoom='0%'"));
    EXPECT_EQ(ViewControls::zoomScript(32767), QStringLiteral("document.body.style.zoom='32767%'"));
}

TEST(Zoom, StartsAtZeroAndIsRaisedBeforeTheFirstStep)
{
    FakeBrowserView view;
    ViewControls controls(optionsOf(WindowKind::Main));
    controls.setView(&view);
    EXPECT_EQ(controls.zoom(), 0);
    controls.zoomIn();
    EXPECT_EQ(controls.zoom(), 25);
}

TEST(Zoom, MainWindowZoomOutStopsAtFiveAndZoomInFromThereGivesTwentyFive)
{
    Window w(WindowKind::Main);
    ASSERT_EQ(w.controls.zoom(), 100);
    for (int i = 0; i < 8; ++i)
        w.controls.zoomOut();
    EXPECT_EQ(w.controls.zoom(), 20);
    w.controls.zoomOut();
    EXPECT_EQ(w.controls.zoom(), 10);
    w.controls.zoomOut();
    EXPECT_EQ(w.controls.zoom(), 5);
    w.controls.zoomOut();
    EXPECT_EQ(w.controls.zoom(), 5);
    EXPECT_EQ(lastScript(*w.view), QStringLiteral("document.body.style.zoom='5%'"));
    w.controls.zoomIn();
    EXPECT_EQ(w.controls.zoom(), 25);
    EXPECT_EQ(lastScript(*w.view), QStringLiteral("document.body.style.zoom='25%'"));
    EXPECT_EQ(w.view->scripts.size(), 12);
}

TEST(Zoom, ANewPageStartsAgainAtOneHundred)
{
    for (WindowKind kind : {WindowKind::Main, WindowKind::Search, WindowKind::Detail}) {
        Window w(kind);
        for (int i = 0; i < 3; ++i)
            w.controls.zoomOut();
        w.view->finishLoad();
        w.controls.zoomIn();
        EXPECT_EQ(w.controls.zoom(), 110);
        EXPECT_EQ(lastScript(*w.view), QStringLiteral("document.body.style.zoom='110%'"));
    }
}

TEST(Zoom, SearchWindowResetsOnEitherViewAndZoomsTheViewShown)
{
    Window w(WindowKind::Search);
    auto *results = new FakeBrowserView(&w.window);
    w.controls.watchDownloads(results);
    w.controls.zoomIn();
    w.controls.setView(results);
    results->finishLoad();
    w.controls.zoomIn();
    EXPECT_EQ(w.controls.zoom(), 110);
    EXPECT_EQ(results->scripts, QStringList{QStringLiteral("document.body.style.zoom='110%'")});
    EXPECT_EQ(w.view->focusRequests + results->focusRequests, 0); // focus stays
}

TEST(Zoom, MainWindowGivesTheFocusToTheView)
{
    Window w(WindowKind::Main);
    w.controls.zoomIn();
    w.controls.zoomOut();
    EXPECT_EQ(w.view->focusRequests, 2);
}

TEST(Zoom, DetailWindowGoesBelowZeroAndGivesTheFocusToTheSink)
{
    Window w(WindowKind::Detail);
    auto *sink = new FocusSink(&w.controls, &w.window);
    w.controls.setFocusSink(sink);
    w.window.show();
    w.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.view->setFocus();
    for (int i = 0; i < 10; ++i)
        w.controls.zoomOut();
    EXPECT_EQ(w.controls.zoom(), 0);
    w.controls.zoomOut();
    EXPECT_EQ(w.controls.zoom(), -10);
    EXPECT_EQ(lastScript(*w.view), QStringLiteral("document.body.style.zoom='-10%'"));
    EXPECT_TRUE(sink->hasFocus());
}

TEST(Zoom, AStepPastTheSixteenBitRangeIsNotTaken)
{
    Window main(WindowKind::Main);
    main.controls.setZoom(32767);
    main.controls.zoomIn();
    EXPECT_EQ(main.controls.zoom(), 32767);
    EXPECT_EQ(lastScript(*main.view), QStringLiteral("document.body.style.zoom='32767%'"));
    main.controls.zoomOut();
    EXPECT_EQ(main.controls.zoom(), 32757);

    Window detail(WindowKind::Detail);
    detail.controls.setZoom(-32768);
    detail.controls.zoomOut();
    EXPECT_EQ(detail.controls.zoom(), -32768);
    detail.controls.zoomIn();
    EXPECT_EQ(detail.controls.zoom(), -32758);
}

TEST(Zoom, ThousandsOfPressesStayInRange)
{
    for (WindowKind kind : {WindowKind::Main, WindowKind::Search, WindowKind::Detail}) {
        Window w(kind);
        for (int i = 0; i < 5000; ++i)
            w.controls.zoomIn();
        EXPECT_EQ(w.controls.zoom(), 32760);
        w.view->finishLoad();
        for (int i = 0; i < 5000; ++i)
            w.controls.zoomOut();
        EXPECT_EQ(w.controls.zoom(), kind == WindowKind::Detail ? -32760 : 5);
        EXPECT_EQ(lastScript(*w.view), ViewControls::zoomScript(w.controls.zoom()));
    }
}

TEST(Zoom, WithoutAViewNothingBreaks)
{
    ViewControls controls(optionsOf(WindowKind::Main));
    controls.zoomIn();
    controls.timerTick();
    EXPECT_TRUE(controls.handleKey(Qt::Key_Down));
    EXPECT_EQ(controls.zoom(), 25);
}

TEST(Colour, CyclesThroughNineColoursAndStartsOver)
{
    ViewControls controls(optionsOf(WindowKind::Search));
    EXPECT_EQ(controls.colourIndex(), 0);
    QStringList seen;
    for (int i = 0; i < 10; ++i)
        seen << controls.advanceColour();
    const QStringList expected = {"#FF0000", "#CC6600", "#FFFF00", "#33CC00", "#33FFCC",
                                  "#3300FF", "#FF00FF", "#000000", "#FFFFFF", "#FF0000"};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(controls.colourIndex(), 1);
    EXPECT_TRUE(ViewControls::colourAt(0).isEmpty());
    EXPECT_TRUE(ViewControls::colourAt(10).isEmpty());
}

struct KeyCase
{
    int key;
    bool handled;
    QList<QPoint> scrolls;
};

class Keys : public ::testing::TestWithParam<KeyCase>
{
};

TEST_P(Keys, UpAndDownScrollAHundredPixelsOthersNothing)
{
    const KeyCase &c = GetParam();
    for (WindowKind kind : {WindowKind::Main, WindowKind::Search, WindowKind::Detail}) {
        Window w(kind);
        EXPECT_EQ(w.controls.handleKey(c.key), c.handled);
        EXPECT_EQ(w.view->scrolls, c.scrolls);

        // The same through the focus sink, whose item must not change.
        w.view->scrolls.clear();
        FocusSink sink(&w.controls);
        QTest::keyClick(&sink, Qt::Key(c.key));
        EXPECT_EQ(w.view->scrolls, c.scrolls);
        EXPECT_EQ(sink.currentText(), QStringLiteral("Combo1"));
    }
}

INSTANTIATE_TEST_SUITE_P(ViewControls, Keys,
                         ::testing::Values(KeyCase{Qt::Key_Up, true, {QPoint(0, -100)}},
                                           KeyCase{Qt::Key_Down, true, {QPoint(0, 100)}},
                                           KeyCase{Qt::Key_Left, false, {}},
                                           KeyCase{Qt::Key_Right, false, {}},
                                           KeyCase{Qt::Key_PageDown, false, {}},
                                           KeyCase{Qt::Key_A, false, {}}));

TEST(FocusSink, NeverDropsItsList)
{
    ViewControls controls(optionsOf(WindowKind::Main));
    QWidget window;
    auto *sink = new FocusSink(&controls, &window);
    window.show();
    sink->showPopup();
    QTest::keyClick(sink, Qt::Key_F4);
    QTest::keyClick(sink, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(sink->view()->isVisible(), false);
    EXPECT_EQ(sink->count(), 1);
}

class TimedScroll : public ::testing::Test
{
protected:
    explicit TimedScroll(WindowKind kind = WindowKind::Main) : w(kind)
    {
        up = new QAction(&w.window);
        down = new QAction(&w.window);
        w.controls.setScrollActions(up, down);
    }
    static bool yellow(const QAction *a) { return a->isChecked(); }
    Window w;
    QAction *up = nullptr;
    QAction *down = nullptr;
};

TEST_F(TimedScroll, LightsSwitchesAndStops)
{
    ViewControls &c = w.controls;
    EXPECT_FALSE(c.isRunning());
    EXPECT_EQ(c.litButton(), -1);

    c.moveUpClick(1);
    EXPECT_TRUE(c.isRunning());
    EXPECT_EQ(c.litButton(), 1);
    EXPECT_TRUE(yellow(down));
    EXPECT_FALSE(yellow(up));
    c.timerTick();
    c.timerTick();
    EXPECT_EQ(w.view->scrolls, (QList<QPoint>{QPoint(0, 2), QPoint(0, 2)}));

    // The other button switches the direction at once.
    w.view->scrolls.clear();
    c.moveUpClick(0);
    EXPECT_TRUE(c.isRunning());
    EXPECT_EQ(c.litButton(), 0);
    EXPECT_TRUE(yellow(up));
    EXPECT_FALSE(yellow(down));
    c.timerTick();
    EXPECT_EQ(w.view->scrolls, (QList<QPoint>{QPoint(0, -2)}));

    // The lit button stops it; the main window hands the focus back to its view.
    const int focusBefore = w.view->focusRequests;
    c.moveUpClick(0);
    EXPECT_FALSE(c.isRunning());
    EXPECT_EQ(c.litButton(), -1);
    EXPECT_FALSE(yellow(up));
    EXPECT_EQ(w.view->focusRequests, focusBefore + 1);

    // And it starts again from the unlit state.
    c.moveUpClick(0);
    EXPECT_TRUE(c.isRunning());
    EXPECT_EQ(c.litButton(), 0);
}

TEST_F(TimedScroll, TheTimerKeepsScrollingUntilStopped)
{
    w.controls.moveUpClick(1);
    QTRY_VERIFY_WITH_TIMEOUT(w.view->scrolls.size() >= 3, 5000);
    w.controls.moveUpClick(1);
    const qsizetype count = w.view->scrolls.size();
    for (const QPoint &p : std::as_const(w.view->scrolls))
        EXPECT_EQ(p, QPoint(0, 2));
    QTest::qWait(100);
    EXPECT_EQ(w.view->scrolls.size(), count);
}

TEST_F(TimedScroll, TheActionsMirrorTheStateKeptInTheControls)
{
    // Triggering the actions runs the same clicks; their check follows the running direction.
    down->trigger();
    EXPECT_TRUE(w.controls.isRunning());
    EXPECT_TRUE(down->isChecked());
    up->trigger();
    EXPECT_EQ(w.controls.litButton(), 0);
    EXPECT_TRUE(up->isChecked());
    EXPECT_FALSE(down->isChecked());
    // A check changed from outside does not fool it: the lit direction still stops.
    up->setChecked(false);
    up->trigger();
    EXPECT_FALSE(w.controls.isRunning());
    EXPECT_FALSE(up->isChecked());
    EXPECT_FALSE(down->isChecked());
}

class SearchTimedScroll : public TimedScroll
{
protected:
    SearchTimedScroll() : TimedScroll(WindowKind::Search) {}
};

TEST_F(SearchTimedScroll, StoppingLeavesTheFocusAlone)
{
    w.controls.moveUpClick(0);
    w.controls.moveUpClick(0);
    EXPECT_FALSE(w.controls.isRunning());
    EXPECT_EQ(w.view->focusRequests, 0);
}
