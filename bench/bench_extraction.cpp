// Taking the pictures out of a page of 5,000 pictures in the real view, served by the local
// image-search service, written as today's pages are (every other picture with a srcset, the
// others lazy-loaded behind a placeholder): the document's elements read with each picture's best
// address, the page rule, the results page lines and the page file written, against one bare
// script call that returns the 5,000 pictures' src. Held to at most 1.5 times the baseline.
//
// Both are timed on a settled page: the service runs on this thread, so a page still fetching
// pictures would have the service's work counted in whichever ran first.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <unistd.h>

#include "benchrun.h"
#include "imageservice/imageservice.h"
#include "platform/pagefiles.h"
#include "search/extraction.h"
#include "search/resultspage.h"
#include "view/webenginebrowserview.h"

using namespace vimbrel;

namespace {

constexpr int Pictures = 5000;

ImageService *g_service = nullptr;
WebEngineBrowserView *g_view = nullptr;
QString g_pagePath;

// Runs the event loop until done() is true, or for at most a minute.
template <typename Done> bool waitFor(Done done)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    poll.start(0);
    loop.exec();
    return done();
}

void BM_BareScript(benchmark::State &state)
{
    for (auto _ : state) {
        bool done = false;
        qsizetype count = 0;
        g_view->evaluate(QStringLiteral("Array.from(document.images, i => i.src)"),
                         [&](const QVariant &result) {
                             count = result.toList().size();
                             done = true;
                         });
        waitFor([&] { return done; });
        benchmark::DoNotOptimize(count);
        if (count != Pictures)
            state.SkipWithError("the page does not hold its pictures");
    }
}

void BM_Extraction(benchmark::State &state)
{
    const QString host = g_service->host();
    ResultList list;
    for (auto _ : state) {
        bool done = false;
        g_view->elements([&](const QList<BrowserView::Element> &elements) {
            Extraction::extract(Extraction::ruleFor(g_view->url().toString(), host), elements, host,
                                list);
            PageFiles::writeLines(g_pagePath,
                                  ResultsPage::extractionLines(Extraction::Rule::Page, list));
            done = true;
        });
        waitFor([&] { return done; });
        if (list.count() != Pictures)
            state.SkipWithError("the extraction missed pictures");
    }
}

// The two halves of the extraction on their own: reading the elements, and the rest.
void BM_ElementsOnly(benchmark::State &state)
{
    for (auto _ : state) {
        bool done = false;
        g_view->elements([&](const QList<BrowserView::Element> &elements) {
            benchmark::DoNotOptimize(elements.size());
            done = true;
        });
        waitFor([&] { return done; });
    }
}

void BM_ListAndPageOnly(benchmark::State &state)
{
    QList<BrowserView::Element> elements;
    bool done = false;
    g_view->elements([&](const QList<BrowserView::Element> &list) {
        elements = list;
        done = true;
    });
    waitFor([&] { return done; });
    const QString host = g_service->host();
    ResultList list;
    for (auto _ : state) {
        Extraction::extract(Extraction::Rule::Page, elements, host, list);
        PageFiles::writeLines(g_pagePath,
                              ResultsPage::extractionLines(Extraction::Rule::Page, list));
    }
}

BENCHMARK(BM_BareScript)->Unit(benchmark::kMillisecond)->UseRealTime()->ReportAggregatesOnly(false);
BENCHMARK(BM_Extraction)->Unit(benchmark::kMillisecond)->UseRealTime()->ReportAggregatesOnly(false);
BENCHMARK(BM_ElementsOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ListAndPageOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --no-first-run");
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);

    ImageService service;
    if (service.listen() == 0)
        return 1;
    WebEngineBrowserView view;
    view.widget()->resize(800, 600);
    view.widget()->show();
    bool loaded = false;
    QObject::connect(&view, &BrowserView::downloadComplete, [&] { loaded = true; });
    view.navigate(
        QStringLiteral("http://%1/gallery/many?n=%2&rich=1").arg(service.host()).arg(Pictures));
    if (!waitFor([&] { return loaded; })) {
        std::printf("the page of %d pictures did not load\n", Pictures);
        return 1;
    }
    // Settled: no request for the service for two seconds.
    int requests = -1;
    QElapsedTimer quiet;
    quiet.start();
    waitFor([&] {
        if (service.requestCount() != requests) {
            requests = service.requestCount();
            quiet.restart();
        }
        return quiet.elapsed() >= 2000;
    });
    std::printf("page settled after %d requests\n", requests);
    g_service = &service;
    g_view = &view;
    g_pagePath = PageFiles::path(QStringLiteral("Baidu.htm"));

    BestTimesReporter reporter;
    runBenchmarks(argc, argv, reporter);

    const double bare = reporter.medianReal["BM_BareScript"];
    const double extraction = reporter.medianReal["BM_Extraction"];
    if (bare > 0 && extraction > 0)
        std::printf("ratio extraction/bare script = %.2f (medians, wall; bound 1.5)\n",
                    extraction / bare);
    return 0;
}
