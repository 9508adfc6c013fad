#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "fakebrowserview.h"
#include "view/webenginebrowserview.h"
#include "webenginewait.h"
#include "windowkit/viewcontrols.h"
#include "windowkit/wheelfilter.h"

using namespace vimbrel;

namespace {

constexpr int loadTimeout = WebEngineWait::timeout;
using WebEngineWait::centreOf;
using WebEngineWait::evaluate;
using WebEngineWait::load;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool writePicture(const QString &path, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    return image.save(path, "PNG");
}

// A path as the address of a link in a page: # % ? and blanks percent-encoded.
QString pathAddress(const QString &path)
{
    return QString::fromUtf8(QUrl::toPercentEncoding(path, "/"));
}

// The thumbnail page as the program writes it: CR LF lines, no head, no character set.
QByteArray thumbnailPage(const QStringList &pictures)
{
    QString page = QStringLiteral("<body bgcolor=#FFFFFF>\r\n"
                                  "<body oncontextmenu=self.event.returnValue=false topmargin=0 "
                                  "leftmargin=0 rightmargin=0 bottommargin=0>\r\n"
                                  "<div align=center>\r\n");
    for (const QString &path : pictures) {
        const QString address = pathAddress(path);
        const QString title = QFileInfo(path).fileName().toHtmlEscaped();
        page += QStringLiteral("<p><a href=\"") + address +
                QStringLiteral("\" target=\"_blank\"><img border=\"1\" src=\"") + address +
                QStringLiteral("\" title=\"") + title + QStringLiteral("\" ></a></p> \r\n");
    }
    page += QStringLiteral("\r\n</div>\r\n</body>\r\n");
    return page.toUtf8();
}

class RealView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        view = WebEngineWait::shownView(QSize(800, 600));
        ASSERT_NE(view, nullptr);
    }
    void TearDown() override { view.reset(); }

    QString path(const QString &name) const { return dir.filePath(name); }
    QString pageFile() const { return path(QStringLiteral("Tpc.htm")); }
    // Writes the thumbnail page of the pictures and loads it.
    bool showPage(const QStringList &pictures)
    {
        return writeFile(pageFile(), thumbnailPage(pictures)) && load(*view, pageFile());
    }
    // The page's elements as the view reads them; nothing when no answer comes.
    QList<BrowserView::Element> readElements()
    {
        std::optional<QList<BrowserView::Element>> elements;
        view->elements([&](const QList<BrowserView::Element> &list) { elements = list; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return elements.has_value(); }, loadTimeout))
            << "no answer from the view";
        return elements.value_or(QList<BrowserView::Element>());
    }

    QTemporaryDir dir;
    std::unique_ptr<WebEngineBrowserView> view;
};

} // namespace

TEST_F(RealView, ShowsTheThumbnailPageWithAwkwardFileNames)
{
    const QStringList names = {QStringLiteral("a.png"), QStringLiteral("a b#1.png"),
                               QStringLiteral("百分%20?.png"), QStringLiteral("中文 圖片.png")};
    QStringList pictures;
    for (int i = 0; i < names.size(); ++i) {
        pictures << path(names[i]);
        ASSERT_TRUE(writePicture(pictures.last(), QSize(30 + i, 20)));
    }
    const QString page = pageFile();
    ASSERT_TRUE(showPage(pictures));
    EXPECT_EQ(view->url(), QUrl::fromLocalFile(page));

    // Every picture decoded at its own size: the addresses reached the right files.
    const QVariant widths =
        evaluate(*view, QStringLiteral("Array.from(document.images).map(i => i.complete ? "
                                       "i.naturalWidth : -1)"));
    EXPECT_EQ(widths.toList(), (QVariantList{30, 31, 32, 33}));
}

TEST_F(RealView, AClickOnAPictureAsksForANewWindowAndOpensNone)
{
    const QString picture = path(QStringLiteral("a b#1.png"));
    ASSERT_TRUE(writePicture(picture, QSize(120, 90)));
    const QString page = pageFile();
    ASSERT_TRUE(showPage({picture}));
    ASSERT_TRUE(evaluate(*view, QStringLiteral("document.images[0].complete")).toBool());

    const std::optional<QPoint> centre = centreOf(*view, QStringLiteral("document.images[0]"));
    ASSERT_TRUE(centre);

    const int windowsBefore = int(QApplication::topLevelWidgets().size());
    QSignalSpy newWindow(view.get(), &BrowserView::newWindowRequested);
    QTest::mouseClick(WebEngineWait::input(*view), Qt::LeftButton, Qt::NoModifier, *centre);
    ASSERT_TRUE(newWindow.wait(loadTimeout));
    EXPECT_EQ(newWindow.at(0).at(0).toUrl().toLocalFile(), picture);

    // Nothing else arrives, no window is made, the page stays.
    QSignalSpy loads(view.get(), &BrowserView::downloadComplete);
    EXPECT_FALSE(loads.wait(500));
    EXPECT_EQ(newWindow.size(), 1);
    EXPECT_EQ(int(QApplication::topLevelWidgets().size()), windowsBefore);
    EXPECT_EQ(view->url(), QUrl::fromLocalFile(page));
}

namespace {

// The centre of picture i, in the view's coordinates.
QPoint pictureCentre(WebEngineBrowserView &view, int i)
{
    return centreOf(view, QStringLiteral("document.images[%1]").arg(i)).value_or(QPoint());
}

} // namespace

struct ClickCase
{
    friend void PrintTo(const ClickCase &c, std::ostream *os) { *os << c.name; }

    const char *name;
    bool doubleClick; // one double click on picture 0, else one click on each picture
    int pictures;
};

class RealViewClicks : public RealView, public ::testing::WithParamInterface<ClickCase>
{
};

TEST_P(RealViewClicks, OneOpenPerPictureClickedWhateverTheGesture)
{
    const ClickCase &c = GetParam();
    QStringList pictures;
    for (int i = 0; i < c.pictures; ++i) {
        pictures << path(QStringLiteral("p%1.png").arg(i));
        ASSERT_TRUE(writePicture(pictures.last(), QSize(120, 90)));
    }
    ASSERT_TRUE(showPage(pictures));
    ASSERT_TRUE(evaluate(*view, QStringLiteral("Array.from(document.images).every("
                                               "i => i.complete)"))
                    .toBool());

    QSignalSpy newWindow(view.get(), &BrowserView::newWindowRequested);
    QWidget *input = WebEngineWait::input(*view);
    if (c.doubleClick) {
        // Through the window system, as a desktop delivers it: press, release, press, release.
        QTest::mouseDClick(input->window()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                           input->mapTo(input->window(), pictureCentre(*view, 0)));
    } else {
        for (int i = 0; i < c.pictures; ++i)
            QTest::mouseClick(input, Qt::LeftButton, Qt::NoModifier, pictureCentre(*view, i));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return newWindow.size() >= pictures.size(); }, loadTimeout));
    // Anything still on its way arrives well within this.
    QTest::qWait(1000);
    QStringList opened;
    for (const QList<QVariant> &request : newWindow)
        opened << request.at(0).toUrl().toLocalFile();
    const QStringList expected = c.doubleClick ? pictures.mid(0, 1) : pictures;
    EXPECT_EQ(opened.join(QLatin1Char('\n')).toStdString(),
              expected.join(QLatin1Char('\n')).toStdString());
}

INSTANTIATE_TEST_SUITE_P(Gestures, RealViewClicks,
                         ::testing::Values(ClickCase{"DoubleClickOnAPicture", true, 1},
                                           ClickCase{"QuickClicksOnTwoPictures", false, 2}),
                         [](const ::testing::TestParamInfo<ClickCase> &info) {
                             return info.param.name;
                         });

TEST_F(RealView, TheSamePictureClickedAgainLaterOpensAgain)
{
    const QString picture = path(QStringLiteral("p.png"));
    ASSERT_TRUE(writePicture(picture, QSize(120, 90)));
    ASSERT_TRUE(showPage({picture}));
    ASSERT_TRUE(evaluate(*view, QStringLiteral("document.images[0].complete")).toBool());
    const QPoint centre = pictureCentre(*view, 0);

    QSignalSpy newWindow(view.get(), &BrowserView::newWindowRequested);
    QWidget *input = WebEngineWait::input(*view);
    QTest::mouseClick(input, Qt::LeftButton, Qt::NoModifier, centre);
    ASSERT_TRUE(newWindow.wait(loadTimeout));
    // Two separate gestures: the second click comes after the double-click time is over.
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 300);
    QTest::mouseClick(input, Qt::LeftButton, Qt::NoModifier, centre);
    ASSERT_TRUE(QTest::qWaitFor([&] { return newWindow.size() == 2; }, loadTimeout));
    EXPECT_EQ(newWindow.at(1).at(0).toUrl().toLocalFile(), picture);
}

// A page build rewrites the same file and shows it at the same address; the browser must not
// put back where the old page was scrolled to.
enum class Reshow { Navigate, Refresh };
void PrintTo(Reshow r, std::ostream *os)
{
    *os << (r == Reshow::Navigate ? "navigate" : "refresh");
}

class RealViewReshow : public RealView, public ::testing::WithParamInterface<Reshow>
{
};

TEST_P(RealViewReshow, ARewrittenPageShowsFromItsTop)
{
    QStringList pictures;
    for (int i = 0; i < 3; ++i) {
        pictures << path(QStringLiteral("tall%1.png").arg(i));
        ASSERT_TRUE(writePicture(pictures.last(), QSize(100, 900)));
    }
    const QString page = pageFile();
    ASSERT_TRUE(showPage(pictures));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return evaluate(*view, QStringLiteral("document.documentElement.scrollHeight"))
                       .toInt() > 2000;
        },
        loadTimeout));
    view->scrollBy(0, 1500);
    ASSERT_EQ(evaluate(*view, QStringLiteral("window.scrollY")).toInt(), 1500);

    // The next page: other pictures, the same file.
    std::reverse(pictures.begin(), pictures.end());
    ASSERT_TRUE(writeFile(page, thumbnailPage(pictures)));
    QSignalSpy finished(view.get(), &BrowserView::downloadComplete);
    if (GetParam() == Reshow::Navigate)
        view->navigate(page);
    else
        view->refresh();
    ASSERT_TRUE(finished.wait(loadTimeout));
    EXPECT_EQ(evaluate(*view, QStringLiteral("document.images[0].src")).toString(),
              QUrl::fromLocalFile(pictures[0]).toString());
    EXPECT_EQ(evaluate(*view, QStringLiteral("window.scrollY")).toInt(), 0);
}

INSTANTIATE_TEST_SUITE_P(Pages, RealViewReshow,
                         ::testing::Values(Reshow::Navigate, Reshow::Refresh),
                         [](const ::testing::TestParamInfo<Reshow> &info) {
                             return info.param == Reshow::Navigate ? "Navigate" : "Refresh";
                         });

TEST_F(RealView, ZoomScriptChangesTheRenderedSizeAndARejectedValueChangesNothing)
{
    const QString picture = path(QStringLiteral("p.png"));
    ASSERT_TRUE(writePicture(picture, QSize(100, 1000)));
    ASSERT_TRUE(showPage({picture}));
    ASSERT_TRUE(evaluate(*view, QStringLiteral("document.images[0].complete")).toBool());
    const QString height = QStringLiteral("document.documentElement.scrollHeight");
    const double before = evaluate(*view, height).toDouble();
    ASSERT_GT(before, 1000);

    ViewControls controls;
    controls.setView(view.get());
    controls.applyZoom(200);
    const double zoomed = evaluate(*view, height).toDouble();
    EXPECT_GT(zoomed, 1.8 * before);

    controls.applyZoom(-10);
    EXPECT_EQ(evaluate(*view, QStringLiteral("document.body.style.zoom")).toString(),
              QStringLiteral("200%"));
    EXPECT_EQ(evaluate(*view, height).toDouble(), zoomed);
}

TEST_F(RealView, ScrollByMovesATallPage)
{
    const QString page = path(QStringLiteral("tall.htm"));
    ASSERT_TRUE(writeFile(page, "<body><div style=\"height:5000px\">x</div></body>"));
    ASSERT_TRUE(load(*view, page));
    const QString scrollY = QStringLiteral("window.scrollY");
    view->scrollBy(0, 100);
    EXPECT_EQ(evaluate(*view, scrollY).toInt(), 100);
    view->scrollBy(0, -40);
    EXPECT_EQ(evaluate(*view, scrollY).toInt(), 60);
    view->scrollBy(0, -1000); // the top holds
    EXPECT_EQ(evaluate(*view, scrollY).toInt(), 0);
}

TEST_F(RealView, TheWheelScrollsThePageAHundredPixelsPerNotch)
{
    const QString page = path(QStringLiteral("tall.htm"));
    ASSERT_TRUE(writeFile(page, "<body><div style=\"height:5000px\">x</div></body>"));
    ASSERT_TRUE(load(*view, page));
    ViewControls controls;
    controls.setView(view.get());
    WheelFilter filter(view->widget(), &controls, {.toolsMenu = true});

    QWidget *input = WebEngineWait::input(*view);
    QWheelEvent wheel(QPointF(100, 100), input->mapToGlobal(QPointF(100, 100)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    EXPECT_TRUE(QCoreApplication::sendEvent(input, &wheel));
    EXPECT_EQ(evaluate(*view, QStringLiteral("window.scrollY")).toInt(), 100);
}

TEST_F(RealView, RightButtonAsksForTheToolsMenuAndPictureClicksStillWork)
{
    const QString picture = path(QStringLiteral("a.png"));
    ASSERT_TRUE(writePicture(picture, QSize(120, 90)));
    ASSERT_TRUE(showPage({picture}));
    ASSERT_TRUE(evaluate(*view, QStringLiteral("document.images[0].complete")).toBool());
    ViewControls controls;
    controls.setView(view.get());
    WheelFilter filter(view->widget(), &controls, {.toolsMenu = true});
    QSignalSpy menu(&filter, &WheelFilter::toolsMenuRequested);

    QWidget *input = WebEngineWait::input(*view);
    const QPoint onPicture(400, 45);
    QTest::mousePress(input, Qt::RightButton, Qt::NoModifier, onPicture);
    QTest::mouseRelease(input, Qt::RightButton, Qt::NoModifier, onPicture);
    EXPECT_EQ(menu.size(), 1);

    // The page never saw the release; a left click must still reach the link.
    QSignalSpy newWindow(view.get(), &BrowserView::newWindowRequested);
    QTest::mouseClick(input, Qt::LeftButton, Qt::NoModifier, onPicture);
    ASSERT_TRUE(newWindow.wait(loadTimeout));
    EXPECT_EQ(newWindow.at(0).at(0).toUrl().toLocalFile(), picture);
    EXPECT_EQ(menu.size(), 1);
}

TEST_F(RealView, AboutShowsTheTextItselfNotMarkup)
{
    ASSERT_TRUE(load(*view, QStringLiteral("about:<b>x</b> & <script>document.title='ran'"
                                           "</script>")));
    EXPECT_EQ(evaluate(*view, QStringLiteral("document.body.textContent")).toString(),
              QStringLiteral("<b>x</b> & <script>document.title='ran'</script>"));
    EXPECT_EQ(
        evaluate(*view, QStringLiteral("document.querySelectorAll('b, script').length")).toInt(),
        0);
    EXPECT_NE(view->title(), QStringLiteral("ran"));
}

TEST_F(RealView, LinksAndPicturesComeInDocumentOrderWithAbsoluteAddresses)
{
    const QString page = path(QStringLiteral("links.htm"));
    // Other elements are left out, and the page's own script cannot change what is read.
    ASSERT_TRUE(writeFile(page, "<html><head><title>t</title></head><body>"
                                "<script>document.querySelectorAll = function () {"
                                " return []; };</script><div><p>"
                                "<a href=\"b.htm\">b</a></p><img src=\"sub/p.png\"></div>"
                                "<span>s</span><a href=\"http://127.0.0.1:9/x.jpg\">x</a>"
                                "</body></html>"));
    ASSERT_TRUE(load(*view, page));

    QStringList tags, hrefs;
    for (const BrowserView::Element &e : readElements()) {
        tags << e.tagName;
        hrefs << e.href;
    }
    EXPECT_EQ(tags, (QStringList{"A", "IMG", "A"}));
    EXPECT_EQ(hrefs, (QStringList{QUrl::fromLocalFile(path("b.htm")).toString(),
                                  QUrl::fromLocalFile(path("sub/p.png")).toString(),
                                  "http://127.0.0.1:9/x.jpg"}));
}

TEST_F(RealView, AnXhtmlPageGivesItsLinksAndPicturesToo)
{
    // Element names keep their lower case in an XML document.
    const QString page = path(QStringLiteral("p.xhtml"));
    ASSERT_TRUE(writeFile(page, "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body>"
                                "<a href=\"b.htm\">b</a><picture><source srcset=\"big.png 2x\"/>"
                                "<img src=\"p.png\"/></picture></body></html>"));
    ASSERT_TRUE(load(*view, page));
    const QList<BrowserView::Element> elements = readElements();
    ASSERT_EQ(elements.size(), 2);
    EXPECT_EQ(elements[0].tagName, QStringLiteral("A"));
    EXPECT_EQ(elements[1].tagName, QStringLiteral("IMG"));
    EXPECT_EQ(elements[1].href, QUrl::fromLocalFile(path(QStringLiteral("big.png"))).toString());
}

// A local page that tries every way to read a private file beside it, and shows a picture.
// With page script on, the answers land in the body's data attributes.
const char *const prying =
    "<body><img id=\"p\" src=\"p.png\"><img id=\"z\" src=\"file:///dev/zero\">"
    "<iframe id=\"f\" src=\"secret.txt\"></iframe><object id=\"o\" data=\"secret.txt\">"
    "</object><script>var d = document.body.dataset;"
    "try { var x = new XMLHttpRequest(); x.open('GET', 'secret.txt', false); x.send();"
    " d.xhr = x.responseText; } catch (e) { d.xhr = 'refused'; }"
    "fetch('secret.txt').then(r => r.text()).then(t => { d.fetched = t; },"
    " () => { d.fetched = 'refused'; });</script></body>";

struct LocalReadCase
{
    friend void PrintTo(const LocalReadCase &c, std::ostream *os) { *os << c.name; }

    const char *name;
    void (WebEngineBrowserView::*prepare)(); // how the program makes that window's view
    bool scripts;                            // page script runs in that view
    bool showsLocalPictures;
};

class RealViewLocalReads : public ::testing::TestWithParam<LocalReadCase>
{
};

TEST_P(RealViewLocalReads, ALocalPageReadsNoOtherLocalFile)
{
    const LocalReadCase &c = GetParam();
    QTemporaryDir dir;
    const QString secret = dir.filePath(QStringLiteral("secret.txt"));
    ASSERT_TRUE(writeFile(secret, "TOP-SECRET"));
    ASSERT_TRUE(QFile::setPermissions(secret, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(writePicture(dir.filePath(QStringLiteral("p.png")), QSize(33, 22)));
    const QString page = dir.filePath(QStringLiteral("page.htm"));
    ASSERT_TRUE(writeFile(page, prying));

    WebEngineBrowserView view;
    if (c.prepare)
        (view.*c.prepare)();
    view.widget()->resize(600, 400);
    view.widget()->show();
    // The load ends once every frame and picture has: /dev/zero never would.
    ASSERT_TRUE(load(view, page));
    if (c.scripts) {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return !evaluate(view, QStringLiteral("document.body.dataset.fetched || ''"))
                            .toString()
                            .isEmpty();
            },
            loadTimeout));
    }
    const QString reads = QStringLiteral(
        "(() => { const d = document.body.dataset; const inner = id => { try {"
        " return document.getElementById(id).contentDocument.body.textContent; }"
        " catch (e) { return ''; } }; return [d.xhr, d.fetched, inner('f'), inner('o')]"
        ".join('|'); })()");
    EXPECT_FALSE(evaluate(view, reads).toString().contains(QLatin1String("TOP-SECRET")))
        << evaluate(view, reads).toString().toStdString();
    EXPECT_EQ(evaluate(view, QStringLiteral("document.getElementById('p').naturalWidth")).toInt(),
              c.showsLocalPictures ? 33 : 0);
    EXPECT_EQ(evaluate(view, QStringLiteral("document.getElementById('z').naturalWidth")).toInt(),
              0);
}

INSTANTIATE_TEST_SUITE_P(
    Views, RealViewLocalReads,
    ::testing::Values(LocalReadCase{"SearchPageView", nullptr, true, false},
                      LocalReadCase{"MainWindowView", &WebEngineBrowserView::showLocalPictures,
                                    true, true},
                      LocalReadCase{"ResultsAndDetailViews",
                                    &WebEngineBrowserView::showOnlyPictures, false, true}),
    [](const ::testing::TestParamInfo<LocalReadCase> &info) { return info.param.name; });

TEST_F(RealView, APictureAddressIsResolvedAsTheBrowserResolvesIt)
{
    // Candidates of a srcset, which the view resolves itself: each must come out as the
    // browser's own resolution against the document's base.
    const QStringList candidates =
        QStringLiteral("/a.jpg /a%zz.jpg /./a.jpg /x/../a.jpg /%2e%2e/a.jpg /x/%2E/a.jpg "
                       "//Cdn.test/a.jpg //cdn.test/a.jpg?x='1' //cdn.test/a.jpg "
                       "//cdn.test//a.jpg http://CDN.test/a.jpg https://cdn.test:443/a.jpg "
                       "http://127.1/a.jpg HTTP://cdn.test/a.jpg http://cdn.test "
                       "http://cdn.test./a.jpg http://a@cdn.test/a.jpg rel/a.jpg ../up.jpg "
                       "/中.jpg /a.jpg?q=中 /a.jpg#f /a\\b.jpg /a.jpg?x=<> /a.jpg?x=`{}` "
                       "/a.jpg?%41 file:///etc/a.jpg http://xn--fsq.test/a.jpg "
                       "http://1.2.3.4/a.jpg")
            .split(QLatin1Char(' '));
    QString page = QStringLiteral("<html><head><base href=\"http://Example.test:80/dir/p.htm\">"
                                  "</head><body>");
    for (const QString &c : candidates)
        page += QStringLiteral("<img data-c=\"%1\" srcset=\"%1 2x\">").arg(c.toHtmlEscaped());
    const QString file = path(QStringLiteral("resolve.htm"));
    ASSERT_TRUE(writeFile(file, page.toUtf8()));
    ASSERT_TRUE(load(*view, file));

    const QStringList expected =
        evaluate(*view, QStringLiteral("Array.from(document.images, i => new URL("
                                       "i.getAttribute('data-c'), document.baseURI).href)"))
            .toStringList();
    ASSERT_EQ(expected.size(), candidates.size());
    QStringList got;
    for (const BrowserView::Element &e : readElements())
        got << e.href;
    EXPECT_EQ(got.join(QLatin1Char('\n')).toStdString(),
              expected.join(QLatin1Char('\n')).toStdString());
}

// What every window relies on, checked against the fake and the real view alike.
template <typename View> class BrowserViewContract : public ::testing::Test
{
protected:
    void SetUp() override
    {
        view = std::make_unique<View>();
        view->widget()->resize(400, 300);
        view->widget()->show();
    }
    // The fake only pretends to load.
    void settle(const QString &address)
    {
        if constexpr (std::is_same_v<View, WebEngineBrowserView>) {
            QSignalSpy finished(view.get(), &BrowserView::downloadComplete);
            view->navigate(address);
            ASSERT_TRUE(finished.wait(loadTimeout));
        } else {
            view->navigate(address);
        }
    }
    QTemporaryDir dir;
    std::unique_ptr<View> view;
};

using Views = ::testing::Types<FakeBrowserView, WebEngineBrowserView>;
TYPED_TEST_SUITE(BrowserViewContract, Views);

TYPED_TEST(BrowserViewContract, ScriptsAndScrollingBeforeAnyPageAreHarmless)
{
    this->view->runScript(ViewControls::zoomScript(110));
    this->view->scrollBy(0, 100);
    bool called = false;
    this->view->elements([&](const QList<BrowserView::Element> &) { called = true; });
    // An answer always comes, so a caller waiting for it never hangs.
    EXPECT_TRUE(QTest::qWaitFor([&] { return called; }, loadTimeout));
}

TYPED_TEST(BrowserViewContract, ALocalPathLoadsAsAFile)
{
    const QString page = this->dir.filePath(QStringLiteral("p q.htm"));
    ASSERT_TRUE(writeFile(page, "<body>p</body>"));
    this->settle(page);
    EXPECT_EQ(this->view->url(), QUrl::fromLocalFile(page));
    EXPECT_EQ(this->view->url().toLocalFile(), page);
}

TYPED_TEST(BrowserViewContract, ScriptsAndScrollingAfterAPageAreHarmless)
{
    const QString page = this->dir.filePath(QStringLiteral("p.htm"));
    ASSERT_TRUE(writeFile(page, "<body>p</body>"));
    this->settle(page);
    this->view->runScript(QStringLiteral("this is not a script ("));
    this->view->runScript(ViewControls::zoomScript(-10));
    this->view->scrollBy(0, 100);
    bool called = false;
    this->view->elements([&](const QList<BrowserView::Element> &list) {
        called = true;
        Q_UNUSED(list);
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return called; }, loadTimeout));
}

TEST(RealViewLifetime, CallsAfterItsWidgetIsGoneAreHarmless)
{
    auto *window = new QWidget;
    auto view = std::make_unique<WebEngineBrowserView>(window);
    view->setParent(nullptr);
    delete window; // the window took the view's widget with it
    view->navigate(QStringLiteral("about:x"));
    view->runScript(QStringLiteral("1"));
    view->scrollBy(0, 100);
    view->setFocus();
    EXPECT_TRUE(view->url().isEmpty());
    bool called = false;
    view->elements([&](const QList<BrowserView::Element> &list) { called = list.isEmpty(); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return called; }, loadTimeout));
}
