// In a process of its own: the browser engine takes its language once, when it starts.
#include "view/interfacelanguage.h"

#include <QLocale>
#include <QTcpServer>
#include <QWebEngineProfile>

#include <gtest/gtest.h>

#include "webenginewait.h"

using namespace vimbrel;

TEST(InterfaceLanguage, TheEnginesOwnPagesAndTheDatesAreInTraditionalChinese)
{
    InterfaceLanguage::apply();
    InterfaceLanguage::applyTo(QWebEngineProfile::defaultProfile());
    EXPECT_EQ(QLocale().toString(QDate(2026, 12, 7), QLocale::ShortFormat),
              QStringLiteral("2026/12/7"));
    EXPECT_TRUE(QWebEngineProfile::defaultProfile()->httpAcceptLanguage().startsWith(
        QLatin1String("zh-TW")));

    // A port nobody listens on: the engine's page that says the site cannot be reached.
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const quint16 port = server.serverPort();
    server.close();
    const auto view = WebEngineWait::shownView(QSize(640, 480));
    ASSERT_TRUE(view);
    ASSERT_TRUE(WebEngineWait::load(*view, QStringLiteral("http://127.0.0.1:%1/").arg(port)));
    const QString text =
        WebEngineWait::evaluate(*view, QStringLiteral("document.body.innerText")).toString();
    EXPECT_TRUE(text.contains(QStringLiteral("無法連上這個網站"))) << text.toStdString();
}
