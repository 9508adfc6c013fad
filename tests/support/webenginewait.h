#pragma once

#include <QSignalSpy>
#include <QTest>
#include <QVariant>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "view/webenginebrowserview.h"

namespace vimbrel {

// Waiting on the real browser view: generous, since a loaded CI machine starts WebEngine slowly.
namespace WebEngineWait {

inline constexpr int timeout = 30000;

// Runs a script in the page and waits for its result.
inline QVariant evaluate(WebEngineBrowserView &view, const QString &script)
{
    bool done = false;
    QVariant result;
    view.evaluate(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, timeout))
        ADD_FAILURE() << "no answer to " << script.toStdString();
    return result;
}

// A view of its own that shows local pictures, as the main window's does, shown at the size and
// waited for until it is on screen; null when it never came.
inline std::unique_ptr<WebEngineBrowserView> shownView(QSize size)
{
    auto view = std::make_unique<WebEngineBrowserView>();
    view->showLocalPictures();
    view->widget()->resize(size);
    view->widget()->show();
    if (!QTest::qWaitForWindowExposed(view->widget()))
        return nullptr;
    return view;
}

// Navigates and waits for the page to finish loading.
inline bool load(WebEngineBrowserView &view, const QString &address)
{
    QSignalSpy finished(&view, &BrowserView::downloadComplete);
    view.navigate(address);
    return finished.wait(timeout);
}

// The widget that takes the view's mouse and keys.
inline QWidget *input(WebEngineBrowserView &view)
{
    return view.view()->focusProxy() ? view.view()->focusProxy() : view.widget();
}

// The middle of the element the script expression names, in the view's coordinates; nothing
// when the page has no such element.
inline std::optional<QPoint> centreOf(WebEngineBrowserView &view, const QString &element)
{
    const QVariantList centre =
        evaluate(view, QStringLiteral("(r => [r.left + r.width / 2, r.top + r.height / 2])"
                                      "(%1.getBoundingClientRect())")
                           .arg(element))
            .toList();
    if (centre.size() != 2)
        return std::nullopt;
    return QPoint(qRound(centre[0].toDouble()), qRound(centre[1].toDouble()));
}

// Clicks the middle of the element, as the user would; false when the page has no such element.
inline bool click(WebEngineBrowserView &view, const QString &element)
{
    const std::optional<QPoint> centre = centreOf(view, element);
    if (!centre)
        return false;
    QTest::mouseClick(input(view), Qt::LeftButton, Qt::NoModifier, *centre);
    return true;
}

} // namespace WebEngineWait

} // namespace vimbrel
