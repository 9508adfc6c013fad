#pragma once

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace vimbrel {

// One row of a window's key table: the key pressed with the focus where the window puts it, the
// action it must trigger (nullptr: none may), and the tooltip that action then shows.
struct KeyRow
{
    const char *key;
    const char *action;
    const char *tooltip;
};

// Shows the window and makes it the active one, so its keys reach it.
inline bool activate(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Presses the key on the focused widget; the names of the window's actions it triggered.
inline QStringList actionsTriggeredBy(QWidget &window, const QKeySequence &key)
{
    const QList<QAction *> actions = window.findChildren<QAction *>();
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (QAction *action : actions)
        spies.push_back(std::make_unique<QSignalSpy>(action, &QAction::triggered));
    QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
    QTest::keySequence(focus, key);
    QStringList fired;
    for (std::size_t i = 0; i < spies.size(); ++i) {
        if (!spies[i]->isEmpty())
            fired << actions[qsizetype(i)]->objectName();
    }
    return fired;
}

// Widgets Tab can reach that lie (partly) outside the window, where their focus cannot be seen.
inline QStringList tabStopsOutOfSight(QWidget &window)
{
    QStringList out;
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisibleTo(&window) ||
            !widget->isEnabled())
            continue;
        const QRect place(widget->mapTo(&window, QPoint(0, 0)), widget->size());
        if (!window.rect().contains(place))
            out << widget->objectName() + QLatin1Char('/') +
                       QString::fromLatin1(widget->metaObject()->className());
    }
    return out;
}

} // namespace vimbrel
