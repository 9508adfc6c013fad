#include "search/searchqueries.h"

#include <QMap>

#include <gtest/gtest.h>

#include "printing.h"

namespace vimbrel {
namespace {

class MapSettings : public Settings
{
public:
    std::optional<QString> value(const QString &section, const QString &key) const override
    {
        const auto it = values.find(section + QLatin1Char('/') + key);
        return it == values.end() ? std::nullopt : std::optional<QString>(*it);
    }
    void setValue(const QString &section, const QString &key, const QString &text) override
    {
        values[section + QLatin1Char('/') + key] = text;
    }
    QMap<QString, QString> values;
};

const QString Host = QStringLiteral("img.test");
const QString SearchBase = QStringLiteral(
    "http://img.test/i?tn=baiduimage&ct=201326592&cl=2&fm=index&lm=-1&st=-1&sf=2&fmq=&pv=&ic=0"
    "&nc=1&z=&fb=0&istype=2&ie=utf-8&word=");

TEST(SearchQueries, KeywordAddressCarriesTheWordPercentEncodedAsUtf8)
{
    const struct
    {
        QString word;
        QString encoded;
    } cases[] = {
        {QStringLiteral("cat"), QStringLiteral("cat")},
        {QString(), QString()},
        {QStringLiteral("a&b=c#d"), QStringLiteral("a%26b%3Dc%23d")},
        {QStringLiteral(" 1+1 %20 "), QStringLiteral("%201%2B1%20%2520%20")},
        {QStringLiteral("莫內"), QStringLiteral("%E8%8E%AB%E5%85%A7")},
        {QStringLiteral("a/b?c"), QStringLiteral("a%2Fb%3Fc")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SearchQueries::keywordSearchAddress(Host, c.word), SearchBase + c.encoded)
            << c.word.toStdString();
    EXPECT_EQ(SearchQueries::homeAddress(Host), QStringLiteral("http://img.test/"));
    EXPECT_EQ(SearchQueries::searchResultPrefix(Host), QStringLiteral("http://img.test/i?tn"));
    EXPECT_EQ(SearchQueries::resultLinkPrefix(Host), QStringLiteral("http://img.test/i?ct=5033"));
}

TEST(SearchQueries, AnEntryWithADotIsAnAddressAnythingElseIsSearched)
{
    const QString asTyped[] = {QStringLiteral("www.example.com"), QStringLiteral("a b.c d"),
                               QStringLiteral("."), QStringLiteral("http://x.test/p?q=1")};
    for (const QString &entry : asTyped)
        EXPECT_EQ(SearchQueries::goTarget(Host, entry), entry);
    EXPECT_EQ(SearchQueries::goTarget(Host, QStringLiteral("about:blank")),
              SearchBase + QStringLiteral("about%3Ablank"));
    EXPECT_EQ(SearchQueries::goTarget(Host, QStringLiteral("夜色")),
              SearchQueries::keywordSearchAddress(Host, QStringLiteral("夜色")));
    EXPECT_EQ(SearchQueries::goTarget(Host, QString()), SearchBase);
}

TEST(SearchQueries, PresetListsAndSettings)
{
    const QStringList words = SearchQueries::presetKeywords();
    ASSERT_EQ(words.size(), 35);
    EXPECT_EQ(words.first(), QStringLiteral("韓國美女"));
    EXPECT_EQ(words[22], QStringLiteral("海洋風光"));
    EXPECT_EQ(words[28], QStringLiteral("海洋風光"));
    EXPECT_EQ(words[31], QStringLiteral("3d風景"));
    EXPECT_EQ(words.last(), QStringLiteral("夜色"));
    EXPECT_FALSE(words[4].isEmpty());
    EXPECT_NE(words[4], words[5]);

    MapSettings settings;
    EXPECT_EQ(SearchQueries::serviceHost(settings), QStringLiteral("image.baidu.com"));
    QStringList addresses = SearchQueries::presetAddresses(settings, Host);
    ASSERT_EQ(addresses.size(), 6);
    EXPECT_EQ(addresses[0], QStringLiteral("http://img.test/"));
    const char *const paths[] = {"/mrtk/p1/", "/mrtk/p2/", "/tuku/qingchunmn/", "/mm.htm", "/mm/"};
    for (int i = 1; i < 6; ++i) {
        EXPECT_TRUE(addresses[i].startsWith(QLatin1String("http://"))) << i;
        EXPECT_TRUE(addresses[i].endsWith(QLatin1String(paths[i - 1]))) << i;
    }

    settings.setValue(QStringLiteral("Search"), QStringLiteral("ServiceHost"),
                      QStringLiteral("127.0.0.1:8090"));
    settings.setValue(QStringLiteral("Search"), QStringLiteral("Preset2"),
                      QStringLiteral("http://127.0.0.1:8090/gallery/plain"));
    settings.setValue(QStringLiteral("Search"), QStringLiteral("Preset3"), QStringLiteral(" "));
    EXPECT_EQ(SearchQueries::serviceHost(settings), QStringLiteral("127.0.0.1:8090"));
    const QStringList changed = SearchQueries::presetAddresses(settings, Host);
    EXPECT_EQ(changed[2], QStringLiteral("http://127.0.0.1:8090/gallery/plain"));
    EXPECT_EQ(changed[3], addresses[3]); // blank: the default stays
    EXPECT_EQ(changed[1], addresses[1]);
}

TEST(SearchQueries, CaptionFollowsTheTitle)
{
    const QString mark = QStringLiteral("  -  [ 搜索圖片、成批下載 ]");
    EXPECT_EQ(SearchQueries::windowCaption(QStringLiteral("Cats"), QStringLiteral("http://a/")),
              QStringLiteral("Cats") + mark);
    EXPECT_EQ(SearchQueries::windowCaption(QString(), QStringLiteral("http://a.test/x")),
              QStringLiteral("http://a.test/x") + mark);
    const QString longTitle = QString(480, QLatin1Char('t')) + QStringLiteral("tail");
    EXPECT_EQ(SearchQueries::windowCaption(longTitle, QString()),
              QString(100, QLatin1Char('t')) + mark);
    EXPECT_EQ(SearchQueries::windowCaption(QStringLiteral("a\r\nb\tc\n"), QString()),
              QStringLiteral("a  b c ") + mark);
    // A cut never leaves half of a character outside the basic plane.
    const QString emoji =
        QString(99, QLatin1Char('x')) + QString::fromUtf8("\xF0\x9F\x90\xB1") + QStringLiteral("y");
    EXPECT_EQ(SearchQueries::windowCaption(emoji, QString()), QString(99, QLatin1Char('x')) + mark);
}

TEST(SearchQueries, APageWithoutATitleIsCaptionedWithItsWholeAddress)
{
    // What the browser view gives as the title of a page that has none.
    const struct
    {
        const char *address;
        const char *viewTitle;
    } cases[] = {
        {"http://127.0.0.1:8765/page with space.htm?q=1", "127.0.0.1:8765/page with space.htm?q=1"},
        {"http://127.0.0.1:8765/", "127.0.0.1:8765"},
        {"http://127.0.0.1:8765/中/index.html#frag", "127.0.0.1:8765/中/index.html#frag"},
        {"file:///tmp/pages/page with space.htm", "page with space.htm"},
        {"data:text/html,<p>x</p>", "data:text/html,<p>x</p>"},
    };
    const QString mark = QStringLiteral("  -  [ 搜索圖片、成批下載 ]");
    for (const auto &c : cases) {
        const QString address = QString::fromUtf8(c.address);
        EXPECT_EQ(SearchQueries::windowCaption(QString::fromUtf8(c.viewTitle), address),
                  address + mark);
    }
    // A title of its own that is merely like the address stays.
    EXPECT_EQ(SearchQueries::windowCaption(QStringLiteral("127.0.0.1"),
                                           QStringLiteral("http://127.0.0.1:8765/")),
              QStringLiteral("127.0.0.1") + mark);
}

TEST(SearchQueries, LoadTimeCountsOnAndRestartsFromGarbage)
{
    EXPECT_EQ(SearchQueries::nextLoadTime(std::nullopt), 1);
    EXPECT_EQ(SearchQueries::nextLoadTime(QStringLiteral("12")), 13);
    EXPECT_EQ(SearchQueries::nextLoadTime(QStringLiteral(" 12 ")), 13);
    EXPECT_EQ(SearchQueries::nextLoadTime(QStringLiteral("garbage")), 1);
    EXPECT_EQ(SearchQueries::nextLoadTime(QString()), 1);
    EXPECT_EQ(SearchQueries::nextLoadTime(QStringLiteral("2147483647")), 1);
    EXPECT_EQ(SearchQueries::nextLoadTime(QStringLiteral("1e99")), 1);
}

} // namespace
} // namespace vimbrel
