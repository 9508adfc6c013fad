#include "windowkit/elidinglabel.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

using namespace vimbrel;

TEST(ElidingLabel, ALongPathLosesItsMiddleAndShowsWholeInItsTooltip)
{
    const QString path = QStringLiteral("當前路徑：/home/ann/") + QString(40, QLatin1Char('x')) +
                         QStringLiteral("/相片/2026 夏天/");
    QWidget window;
    auto *label = new ElidingLabel(&window);
    label->setText(path);
    label->setGeometry(0, 0, label->fontMetrics().horizontalAdvance(path) / 2, 20);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QString shown = label->shownText();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("當前路徑："))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("夏天/"))) << shown.toStdString();
    EXPECT_EQ(label->text(), path);

    QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), label->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(label, &hover);
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }));
    EXPECT_EQ(QToolTip::text(), path);

    // Wide enough: the whole text, and no tooltip to repeat it.
    label->resize(label->fontMetrics().horizontalAdvance(path) + 10, 20);
    EXPECT_EQ(label->shownText(), path);
    QApplication::sendEvent(label, &hover);
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
}
