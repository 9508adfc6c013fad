#include "pagehtml/pagehtml.h"

#include <gtest/gtest.h>

#include "../search/printing.h"

namespace vimbrel {
namespace {

TEST(PageHtml, OrdinaryAddressesStayAsTheyAre)
{
    const QString ordinary[] = {
        QStringLiteral("http://user@p.test:8080/a-b_c.~d/e;f,g!$'()*+=/x.jpg?q=[1]&r=%20#top"),
        QStringLiteral("https://p.test/中文/圖片.jpg"),
        QStringLiteral("data:image/png;base64,iVBORw0KGgo+/="),
    };
    for (const QString &address : ordinary)
        EXPECT_EQ(PageHtml::attributeAddress(address), address) << address.toStdString();
}

TEST(PageHtml, AnAmpersandIsEscapedOnlyWhereABrowserWouldReadAReference)
{
    const struct
    {
        QString address;
        QString written;
    } cases[] = {
        {QStringLiteral("http://p.test/?a=1&b=2&&c=&"),
         QStringLiteral("http://p.test/?a=1&b=2&&c=&")},
        {QStringLiteral("http://p.test/?a=1&copy;x"),
         QStringLiteral("http://p.test/?a=1&amp;copy;x")},
        {QStringLiteral("http://p.test/?x&lt/y"), QStringLiteral("http://p.test/?x&amp;lt/y")},
        {QStringLiteral("http://p.test/?x=&#38;"), QStringLiteral("http://p.test/?x=&amp;#38;")},
        {QStringLiteral("http://p.test/?flag&amp"), QStringLiteral("http://p.test/?flag&amp;amp")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PageHtml::attributeAddress(c.address), c.written);
}

} // namespace
} // namespace vimbrel
