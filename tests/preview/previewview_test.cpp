// The preview scheme in the real browser view: the page loads through it unchanged, formats
// the browser lacks show, pictures come upright, bad files break alone, and nothing off the page
// is served.
#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <memory>

#include "installedpreviews.h"
#include "preview/previewschemehandler.h"
#include "previewfixtures.h"
#include "view/webenginebrowserview.h"
#include "webenginewait.h"

using namespace vimbrel;
using namespace PreviewFixtures;
using WebEngineWait::evaluate;
using WebEngineWait::timeout;

namespace {

QString pathAddress(const QString &path)
{
    return QString::fromUtf8(QUrl::toPercentEncoding(path, "/"));
}

// The thumbnail page's shape: absolute paths, links to the originals, some widths.
QByteArray pageOf(const QList<QPair<QString, int>> &pictures)
{
    QString page = QStringLiteral("<body bgcolor=#FFFFFF>\r\n<div align=center>\r\n");
    for (const auto &[path, width] : pictures) {
        const QString address = pathAddress(path);
        page += QStringLiteral("<p><a href=\"") + address +
                QStringLiteral("\" target=\"_blank\"><img border=\"1\" src=\"") + address +
                (width > 0 ? QStringLiteral("\" width=") + QString::number(width)
                           : QStringLiteral("\"")) +
                QStringLiteral(" ></a></p> \r\n\r\n");
    }
    page += QStringLiteral("</div>\r\n</body>\r\n");
    return page.toUtf8();
}

class PreviewView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(previewSchemeRegistered);
        ASSERT_TRUE(dir.isValid());
        handler = std::make_unique<InstalledPreviews>(dir.filePath(QStringLiteral("thumbs")));
        view = WebEngineWait::shownView(QSize(900, 700));
        ASSERT_NE(view, nullptr);
    }
    void TearDown() override
    {
        view.reset();
        handler.reset();
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    // Writes the page, hands it to the scheme and waits until every picture has settled.
    bool show(const QList<QPair<QString, int>> &pictures)
    {
        const QString page = path(QStringLiteral("Tpc.htm"));
        QFile file(page);
        if (!file.open(QIODevice::WriteOnly) || file.write(pageOf(pictures)) < 0)
            return false;
        file.close();
        QHash<QString, int> widths;
        for (const auto &[p, w] : pictures)
            widths.insert(p, w);
        const QUrl url = handler->setPage(page, widths, 1.0);
        if (!WebEngineWait::load(*view, url.toString(QUrl::FullyEncoded)))
            return false;
        return QTest::qWaitFor(
            [&] {
                return evaluate(*view, QStringLiteral("Array.from(document.images).every("
                                                      "i => i.complete)"))
                    .toBool();
            },
            timeout);
    }

    // The natural width of the picture with the id x once it has settled; -1 when it does not.
    int settledWidthOfX()
    {
        const bool settled = QTest::qWaitFor(
            [&] {
                return evaluate(*view, QStringLiteral("document.getElementById('x').complete"))
                    .toBool();
            },
            timeout);
        if (!settled)
            return -1;
        return evaluate(*view, QStringLiteral("document.getElementById('x').naturalWidth")).toInt();
    }

    QVariantList sizes()
    {
        return evaluate(*view, QStringLiteral("Array.from(document.images, "
                                              "i => [i.naturalWidth, i.naturalHeight])"))
            .toList();
    }

    QTemporaryDir dir;
    std::unique_ptr<InstalledPreviews> handler;
    std::unique_ptr<WebEngineBrowserView> view;
};

QSize sizeAt(const QVariantList &list, int i)
{
    const QVariantList pair = list.value(i).toList();
    return {pair.value(0).toInt(), pair.value(1).toInt()};
}

} // namespace

TEST_F(PreviewView, ShowsEveryFormatUprightAndBadFilesBroken)
{
    const QString tiff = path(QStringLiteral("scan 1#.tif"));
    ASSERT_TRUE(QImage(QSize(300, 200), QImage::Format_RGB32).save(tiff));
    const QString turned = path(QStringLiteral("turned.jpg"));
    ASSERT_TRUE(writeRotatedJpeg(turned, QSize(800, 400)));
    const QString huge = path(QStringLiteral("huge.png"));
    ASSERT_TRUE(writeHugePngHeader(huge, 30000, 30000));
    const QString big = path(QStringLiteral("山水 100%.jpg"));
    ASSERT_TRUE(writeJpeg(big, QSize(3000, 2000)));

    ASSERT_TRUE(show({{tiff, 0}, {turned, 100}, {huge, 200}, {big, 200}}));
    EXPECT_EQ(view->url(), handler->page().address(path(QStringLiteral("Tpc.htm"))));
    const QVariantList shown = sizes();
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(sizeAt(shown, 0), QSize(300, 200)); // the browser has no TIFF decoder
    EXPECT_EQ(sizeAt(shown, 1), QSize(200, 400)); // upright, twice its width of 100 across
    EXPECT_EQ(sizeAt(shown, 2), QSize(0, 0));     // a broken picture, the page goes on
    EXPECT_EQ(sizeAt(shown, 3), QSize(375, 250)); // 1/8, near twice its width of 200
    EXPECT_EQ(evaluate(*view, QStringLiteral("document.images[3].width")).toInt(), 200);
}

// The browser keeps what it loaded by address: shown again at another width, or changed, a
// picture must still be asked for again.
TEST_F(PreviewView, APageShownAgainAsksForItsPicturesAgain)
{
    const QString big = path(QStringLiteral("big.jpg"));
    ASSERT_TRUE(writeColoured(big, QSize(3000, 2000), Qt::red));
    ASSERT_TRUE(show({{big, 100}}));
    EXPECT_EQ(sizeAt(sizes(), 0), QSize(200, 133));
    ASSERT_TRUE(show({{big, 400}})); // another layout
    EXPECT_EQ(sizeAt(sizes(), 0), QSize(750, 500));

    ASSERT_TRUE(writeColoured(big, QSize(3000, 1000), Qt::blue)); // changed: refreshed
    QFile changed(big);
    ASSERT_TRUE(changed.open(QIODevice::ReadWrite));
    ASSERT_TRUE(changed.setFileTime(QDateTime::currentDateTime().addSecs(120),
                                    QFileDevice::FileModificationTime));
    changed.close();
    ASSERT_TRUE(show({{big, 400}}));
    EXPECT_EQ(sizeAt(sizes(), 0), QSize(750, 250));

    // Back in the view's history (the mouse's back button): the page on view, whole, as the
    // page file alone would give.
    const QUrl current = handler->page().address(path(QStringLiteral("Tpc.htm")));
    QSignalSpy loaded(view.get(), &BrowserView::downloadComplete);
    view->view()->back();
    ASSERT_TRUE(loaded.wait(timeout));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return view->url() == current &&
                   evaluate(*view, QStringLiteral("document.images.length === 1 && "
                                                  "document.images[0].complete"))
                       .toBool();
        },
        timeout));
    EXPECT_EQ(sizeAt(sizes(), 0), QSize(750, 250));
}

TEST_F(PreviewView, RefusesFilesThatAreNotOnThePage)
{
    const QString shown = path(QStringLiteral("shown.png"));
    ASSERT_TRUE(writePng(shown, QSize(40, 30), Qt::green));
    const QString hidden = path(QStringLiteral("hidden.png"));
    ASSERT_TRUE(writePng(hidden, QSize(40, 30), Qt::red));
    ASSERT_TRUE(show({{shown, 0}}));
    EXPECT_EQ(sizeAt(sizes(), 0), QSize(40, 30));

    // The page itself asks for another picture of the same folder: refused.
    view->runScript(QStringLiteral("var i = new Image(); i.id = 'x'; i.src = '") +
                    pathAddress(hidden) + QStringLiteral("'; document.body.appendChild(i);"));
    ASSERT_EQ(settledWidthOfX(), 0);
    EXPECT_EQ(evaluate(*view, QStringLiteral("document.images[0].naturalWidth")).toInt(), 40);

    // A web page cannot load from the scheme at all, not even the pictures on view.
    QSignalSpy loaded(view.get(), &BrowserView::downloadComplete);
    view->view()->page()->setHtml(QStringLiteral("<img id=x src=\"") +
                                      handler->page().address(shown).toString(QUrl::FullyEncoded) +
                                      QStringLiteral("\">"),
                                  QUrl(QStringLiteral("http://127.0.0.1/")));
    ASSERT_TRUE(loaded.wait(timeout));
    ASSERT_EQ(settledWidthOfX(), 0);
}

TEST_F(PreviewView, AClickAsksForTheOriginalFile)
{
    const QString picture = path(QStringLiteral("a b#1.tif"));
    ASSERT_TRUE(QImage(QSize(120, 90), QImage::Format_RGB32).save(picture));
    ASSERT_TRUE(show({{picture, 0}}));
    QSignalSpy newWindow(view.get(), &BrowserView::newWindowRequested);
    ASSERT_TRUE(WebEngineWait::click(*view, QStringLiteral("document.images[0]")));
    ASSERT_TRUE(newWindow.wait(timeout));
    EXPECT_EQ(PreviewPage::localPath(newWindow.at(0).at(0).toUrl()), picture);
}

// A page with an odd name on it (bytes that are no UTF-8) is still read as UTF-8: a guess of
// windows-1252 would break every other name too.
TEST_F(PreviewView, ThePageIsReadAsUtf8)
{
    const QString picture = path(QStringLiteral("山水.png"));
    ASSERT_TRUE(writePng(picture, QSize(40, 30), Qt::green));
    const QString page = path(QStringLiteral("Tpc.htm"));
    QFile file(page);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pageOf({{picture, 0}}) + QByteArray("<p id=odd>caf\xE9 \xE5\xB1\xB1</p>\r\n"));
    file.close();
    const QUrl url = handler->setPage(page, {{picture, 0}}, 1.0);
    ASSERT_TRUE(WebEngineWait::load(*view, url.toString(QUrl::FullyEncoded)));
    EXPECT_EQ(evaluate(*view, QStringLiteral("document.characterSet")).toString(),
              QStringLiteral("UTF-8"));
    EXPECT_TRUE(evaluate(*view, QStringLiteral("document.getElementById('odd').textContent"))
                    .toString()
                    .endsWith(QStringLiteral("山")));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return evaluate(*view, QStringLiteral("document.images[0].complete")).toBool(); },
        timeout));
    EXPECT_EQ(sizeAt(sizes(), 0), QSize(40, 30));
}
