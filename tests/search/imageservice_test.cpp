#include "imageservice/imageservice.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <memory>

#include "platform/pagefiles.h"
#include "printing.h"
#include "search/extraction.h"
#include "search/resultspage.h"
#include "search/searchqueries.h"
#include "webenginewait.h"

namespace vimbrel {
namespace {

using WebEngineWait::evaluate;
using WebEngineWait::load;

const QStringList AwkwardWords = {QStringLiteral("cat"),       QString(),
                                  QStringLiteral("a&b=c#d"),   QStringLiteral(" 1+1 %20 "),
                                  QStringLiteral("莫內 梵高"), QStringLiteral("a/b?c;d")};

TEST(ImageService, ReceivesExactlyTheWordTyped)
{
    ImageService service;
    ASSERT_NE(service.listen(), 0);
    QNetworkAccessManager network;
    for (const QString &word : AwkwardWords) {
        const QString address = SearchQueries::keywordSearchAddress(service.host(), word);
        std::unique_ptr<QNetworkReply> reply(
            network.get(QNetworkRequest(QUrl::fromUserInput(address))));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        ASSERT_TRUE(finished.wait(WebEngineWait::timeout));
        EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        ASSERT_FALSE(service.requestedWords().isEmpty());
        EXPECT_EQ(service.requestedWords().last(), word) << word.toStdString();
    }
    EXPECT_EQ(service.requestedWords().size(), AwkwardWords.size());
}

class ServicePages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(service.listen(), 0);
        view = WebEngineWait::shownView(QSize(800, 600));
        ASSERT_NE(view, nullptr);
    }
    void TearDown() override { view.reset(); }

    QString address(const QString &path) const
    {
        return QStringLiteral("http://") + service.host() + path;
    }

    // What the search window does: the rule by the address, the page's elements, the list.
    ResultList extractShownPage()
    {
        bool done = false;
        QList<BrowserView::Element> elements;
        view->elements([&](const QList<BrowserView::Element> &list) {
            elements = list;
            done = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, WebEngineWait::timeout));
        ResultList list;
        Extraction::extract(Extraction::ruleFor(view->url().toString(), service.host()), elements,
                            service.host(), list);
        return list;
    }

    ImageService service;
    std::unique_ptr<WebEngineBrowserView> view;
};

TEST_F(ServicePages, TheViewSendsTheWordTypedAndTheResultLinksGiveTheirPictures)
{
    const QString word = QStringLiteral("莫內 & #1+1");
    ASSERT_TRUE(load(*view, SearchQueries::keywordSearchAddress(service.host(), word)));
    EXPECT_EQ(service.requestedWords(), QStringList{word});
    EXPECT_EQ(Extraction::ruleFor(view->url().toString(), service.host()),
              Extraction::Rule::SearchResult);

    QStringList expected;
    for (int n = 0; n < 6; ++n)
        expected << address(QStringLiteral("/pic/r%1.jpg").arg(n));
    EXPECT_EQ(extractShownPage().entries(), expected);
}

TEST_F(ServicePages, PageRuleOnAGallery)
{
    ASSERT_TRUE(load(*view, address(QStringLiteral("/gallery/plain"))));
    const QStringList entries = extractShownPage().entries();
    ASSERT_EQ(entries.size(), 7);
    EXPECT_EQ(entries.mid(0, 6), (QStringList{address(QStringLiteral("/pic/a.jpg")),
                                              address(QStringLiteral("/pic/a.jpg")),
                                              address(QStringLiteral("/pic/c.GIF")),
                                              address(QStringLiteral("/pic/d.png?w=100&h=80")),
                                              address(QStringLiteral("/pic/e")), entries[5]}));
    EXPECT_TRUE(entries[5].startsWith(QLatin1String("data:image/gif;base64,")));
    EXPECT_EQ(entries[6], address(QStringLiteral("/pic/f.jpeg")));
}

TEST_F(ServicePages, EachPictureFormGivesTheBestAddressItOffersInDocumentOrder)
{
    ASSERT_TRUE(load(*view, address(QStringLiteral("/gallery/forms"))));
    bool done = false;
    QList<BrowserView::Element> elements;
    view->elements([&](const QList<BrowserView::Element> &list) {
        elements = list;
        done = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, WebEngineWait::timeout));
    for (const bool linked : {false, true}) {
        ResultList list;
        Extraction::extract(Extraction::Rule::Page, elements, service.host(), list,
                            Extraction::Options{linked});
        QStringList expected;
        for (const QString &path : ImageService::formsPaths(linked))
            expected << address(path);
        EXPECT_EQ(list.entries().join(QLatin1Char('\n')).toStdString(),
                  expected.join(QLatin1Char('\n')).toStdString());
    }
}

TEST_F(ServicePages, NotHtmlGivesNoPictures)
{
    ASSERT_TRUE(load(*view, address(QStringLiteral("/notahtml"))));
    EXPECT_EQ(extractShownPage().count(), 0);
}

TEST_F(ServicePages, AHostileGalleryGivesAResultsPageThatRunsNothing)
{
    ASSERT_TRUE(load(*view, address(QStringLiteral("/gallery/hostile"))));
    const ResultList list = extractShownPage();
    ASSERT_EQ(list.count(), 2); // the data: picture and the plain one; no javascript: address
    EXPECT_TRUE(list.at(0).startsWith(QLatin1String("data:image/svg+xml,")));
    EXPECT_EQ(list.at(1), address(QStringLiteral("/pic/ok.jpg")));

    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("Baidu.htm"));
    for (const QStringList &lines :
         {ResultsPage::extractionLines(Extraction::Rule::Page, list),
          ResultsPage::extractionLines(Extraction::Rule::SearchResult, list),
          ResultsPage::relayoutLines(list, 0, 0, QStringLiteral("#FFFFFF")),
          ResultsPage::relayoutLines(list, 2, 300, QStringLiteral("#FFFFFF"))}) {
        ASSERT_TRUE(PageFiles::writeLines(page, lines));
        ASSERT_TRUE(load(*view, page));
        EXPECT_EQ(evaluate(*view, QStringLiteral("document.scripts.length")).toInt(), 0);
        EXPECT_EQ(evaluate(*view, QStringLiteral("document.images.length")).toInt(), 2);
        EXPECT_EQ(evaluate(*view, QStringLiteral("document.links.length")).toInt(), 2);
        EXPECT_NE(evaluate(*view, QStringLiteral("document.title")).toString(),
                  QStringLiteral("ran"));
    }
}

TEST_F(ServicePages, TheResultsPageHandsTheViewEveryAddressUnchanged)
{
    // Awkward but harmless addresses: the view must read exactly these back from the page.
    const QStringList addresses = {
        address(QStringLiteral("/pic/a.jpg?w=30&h=20")),
        address(QStringLiteral("/pic/b.jpg?x=1&copy;y&lt/z&#38;&")),
        address(QStringLiteral("/pic/中文.png?q='1'(2)*;,!$[]@~#frag")),
        address(QStringLiteral("/pic/%E4%B8%AD.jpg")),
    };
    ResultList list;
    for (const QString &a : addresses)
        list.append(a);
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("Baidu.htm"));
    const QString read =
        QStringLiteral("Array.from(document.images, i => i.getAttribute('src'))"
                       ".concat(Array.from(document.links, l => l.getAttribute('href')))");
    for (int mode = -1; mode <= 4; ++mode) {
        const QStringList lines =
            mode < 0 ? ResultsPage::extractionLines(Extraction::Rule::Page, list)
                     : ResultsPage::relayoutLines(list, mode, 200, QStringLiteral("#FFFFFF"));
        ASSERT_TRUE(PageFiles::writeLines(page, lines));
        ASSERT_TRUE(load(*view, page));
        EXPECT_EQ(evaluate(*view, read).toStringList(), addresses + addresses) << mode;
    }
    // And the pictures themselves arrive from the service, once the view lets a local page
    // show remote pictures.
    view->view()->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls,
                                           true);
    ASSERT_TRUE(load(*view, page));
    EXPECT_EQ(evaluate(*view, QStringLiteral("document.images[0].complete && "
                                             "document.images[0].naturalWidth"))
                  .toInt(),
              30);
}

} // namespace
} // namespace vimbrel
