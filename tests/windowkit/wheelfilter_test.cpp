#include "windowkit/wheelfilter.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include "fakebrowserview.h"
#include "windowkit/viewcontrols.h"

using namespace vimbrel;

namespace {

bool sendWheel(QWidget *to, QPoint angleDelta)
{
    QWheelEvent event(QPointF(10, 10), to->mapToGlobal(QPointF(10, 10)), QPoint(), angleDelta,
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    return QCoreApplication::sendEvent(to, &event);
}

bool sendRelease(QWidget *to, Qt::MouseButton button, QPoint at = QPoint(5, 6))
{
    QMouseEvent event(QEvent::MouseButtonRelease, QPointF(at), to->mapToGlobal(QPointF(at)), button,
                      Qt::NoButton, Qt::NoModifier);
    return QCoreApplication::sendEvent(to, &event);
}

// The main window asks for the tools menu on a right click; the search window does not.
enum class WindowKind { Main, Search };

struct Window
{
    explicit Window(WindowKind kind)
    {
        view = new FakeBrowserView(&window);
        inner = new QWidget(view->widget()); // like WebEngine's render widget
        button = new QPushButton(&window);
        window.resize(400, 300);
        view->widget()->setGeometry(0, 100, 400, 200);
        inner->setGeometry(0, 0, 400, 200);
        button->setGeometry(0, 0, 50, 20);
        controls.setView(view);
        filter =
            new WheelFilter(&window, &controls, {.toolsMenu = kind == WindowKind::Main}, &window);
    }
    QWidget window;
    FakeBrowserView *view = nullptr;
    QWidget *inner = nullptr;
    QPushButton *button = nullptr;
    ViewControls controls;
    WheelFilter *filter = nullptr;
};

} // namespace

TEST(WheelFilter, OneNotchScrollsAHundredPixelsAndIsConsumed)
{
    for (WindowKind kind : {WindowKind::Main, WindowKind::Search}) {
        Window w(kind);
        EXPECT_TRUE(sendWheel(w.view->widget(), QPoint(0, -120)));
        EXPECT_TRUE(sendWheel(w.inner, QPoint(0, 120)));
        EXPECT_TRUE(sendWheel(w.button, QPoint(0, -240))); // anywhere in the window
        EXPECT_TRUE(sendWheel(&w.window, QPoint(0, 360)));
        EXPECT_EQ(w.view->scrolls, (QList<QPoint>{QPoint(0, 100), QPoint(0, -100), QPoint(0, 100),
                                                  QPoint(0, -100)}));
    }
}

TEST(WheelFilter, FractionsOfANotchAddUp)
{
    Window w(WindowKind::Main);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(sendWheel(w.inner, QPoint(0, -40)));
    EXPECT_EQ(w.view->scrolls, QList<QPoint>{QPoint(0, 100)});
    // Turning back drops what had gathered the other way.
    sendWheel(w.inner, QPoint(0, 60));
    sendWheel(w.inner, QPoint(0, 60));
    EXPECT_EQ(w.view->scrolls, (QList<QPoint>{QPoint(0, 100), QPoint(0, -100)}));
}

TEST(WheelFilter, LeavesSidewaysWheelsAndOtherWindowsAlone)
{
    Window w(WindowKind::Main);
    QWidget other;
    auto *otherChild = new QWidget(&other);
    sendWheel(w.inner, QPoint(120, 0));
    sendWheel(otherChild, QPoint(0, -120));
    sendWheel(&other, QPoint(0, -120));
    EXPECT_TRUE(w.view->scrolls.isEmpty());
}

TEST(WheelFilter, ScrollsTheViewShownNow)
{
    Window w(WindowKind::Search);
    auto *results = new FakeBrowserView(&w.window);
    w.controls.setView(results);
    sendWheel(w.view->widget(), QPoint(0, -120));
    EXPECT_TRUE(w.view->scrolls.isEmpty());
    EXPECT_EQ(results->scrolls, QList<QPoint>{QPoint(0, 100)});
}

TEST(WheelFilter, RightButtonReleaseOverTheMainViewAsksForTheToolsMenu)
{
    Window w(WindowKind::Main);
    QSignalSpy menu(w.filter, &WheelFilter::toolsMenuRequested);
    EXPECT_TRUE(sendRelease(w.inner, Qt::RightButton));
    ASSERT_EQ(menu.size(), 1);
    EXPECT_EQ(menu.at(0).at(0).toPoint(), w.inner->mapToGlobal(QPoint(5, 6)));
    EXPECT_TRUE(sendRelease(&w.window, Qt::RightButton, QPoint(200, 50))); // background
    EXPECT_EQ(menu.size(), 2);

    sendRelease(w.inner, Qt::LeftButton);
    sendRelease(w.button, Qt::RightButton); // controls keep their own right button
    EXPECT_EQ(menu.size(), 2);
}

TEST(WheelFilter, OtherWindowsHaveNoToolsMenu)
{
    Window w(WindowKind::Search);
    QSignalSpy menu(w.filter, &WheelFilter::toolsMenuRequested);
    sendRelease(w.inner, Qt::RightButton);
    sendRelease(&w.window, Qt::RightButton);
    EXPECT_EQ(menu.size(), 0);
}

TEST(WheelFilter, StopsWithItsWindow)
{
    auto *window = new QWidget;
    FakeBrowserView view;
    ViewControls controls;
    controls.setView(&view);
    QPointer<WheelFilter> filter = new WheelFilter(window, &controls, {}, window);
    delete window;
    EXPECT_TRUE(filter.isNull());
    QWidget other;
    sendWheel(&other, QPoint(0, -120)); // must not reach a deleted filter
    EXPECT_TRUE(view.scrolls.isEmpty());
}
