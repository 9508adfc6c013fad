// The main window showing page 1 of 200 photos of 12 MP (4000 × 3000 JPEG), page size 200, four
// a row, in the real view: the time until the first screen's pictures are all shown and until
// every picture of the page is, and the peak memory of the program with its browser processes.
// Previews with a cold and a warm thumbnail cache, and the view reading the originals
// (VIMBREL_PREVIEWS=0) as the baseline, each a fresh process, medians of several runs.
//
//   bench_previews [runs] [photo folder]
//
// The photos are made once into the folder (default: a folder under the temporary one) and kept
// for later runs. Each run is this program started again with --run.
#include "app/frmmain.h"
#include "livemainwindow.h"
#include "platform/desktopshell.h"
#include "platform/inisettings.h"
#include "platform/largeblocks.h"
#include "platform/qtdialogs.h"
#include "preview/previewschemehandler.h"
#include "view/webenginebrowserview.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

#include <unistd.h>

using namespace vimbrel;

namespace {

constexpr int Photos = 200;
constexpr QSize PhotoSize(4000, 3000);

// ---- the photos ----

// Smooth light and colour with fine grain, so that the files are about as large and as slow to
// decode as a camera's.
QImage photo(int index)
{
    QImage image(PhotoSize, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, PhotoSize.width(), PhotoSize.height());
    sky.setColorAt(0, QColor::fromHsv((index * 37) % 360, 120, 230));
    sky.setColorAt(1, QColor::fromHsv((index * 37 + 140) % 360, 200, 90));
    painter.fillRect(image.rect(), sky);
    QRandomGenerator random(quint32(index) + 1);
    for (int i = 0; i < 60; ++i) {
        painter.setBrush(QColor::fromHsv(random.bounded(360), 150, random.bounded(60, 255)));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(
            QPoint(random.bounded(PhotoSize.width()), random.bounded(PhotoSize.height())),
            random.bounded(50, 600), random.bounded(50, 600));
    }
    painter.end();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grain = int(random.bounded(25)) - 12;
            const QRgb p = line[x];
            line[x] =
                qRgb(std::clamp(qRed(p) + grain, 0, 255), std::clamp(qGreen(p) + grain, 0, 255),
                     std::clamp(qBlue(p) + grain, 0, 255));
        }
    }
    return image;
}

bool makePhotos(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    int missing = 0;
    QThreadPool pool;
    std::atomic_bool ok = true;
    for (int i = 0; i < Photos; ++i) {
        const QString path =
            folder + QStringLiteral("/photo %1.jpg").arg(i + 1, 3, 10, QLatin1Char('0'));
        if (QFileInfo(path).size() > 0)
            continue;
        ++missing;
        pool.start([path, i, &ok] {
            const QString temp = path + QStringLiteral(".part");
            if (!photo(i).save(temp, "JPEG", 90) || !QFile::rename(temp, path))
                ok = false;
        });
    }
    if (missing > 0)
        std::fprintf(stderr, "making %d photos of 12 MP in %s ...\n", missing, qPrintable(folder));
    pool.waitForDone();
    return ok;
}

// ---- memory of the process tree ----

struct Memory
{
    qint64 rssKb = 0;
    qint64 pssKb = 0;
};

qint64 fieldKb(const QByteArray &text, const QByteArray &key)
{
    const qsizetype at = text.indexOf(QByteArray('\n' + key));
    if (at < 0)
        return 0;
    return text.mid(at + key.size() + 1).trimmed().split(' ').value(0).toLongLong();
}

// This process and everything it started (the browser's own processes): resident size summed,
// and, when asked, the proportional size, which counts shared libraries once. The resident size
// comes from statm, which is cheap; the proportional one walks every page table (smaps_rollup)
// and costs enough CPU to slow the run it measures, so it is taken only when it may have grown.
Memory treeMemory(bool proportional)
{
    QHash<qint64, QList<qint64>> children;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (fields.size() > 1)
            children[fields[1].toLongLong()].append(pid);
    }
    static const qint64 pageKb = sysconf(_SC_PAGESIZE) / 1024;
    Memory total;
    QList<qint64> pending = {qint64(getpid())};
    while (!pending.isEmpty()) {
        const qint64 pid = pending.takeLast();
        pending += children.value(pid);
        QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
        if (statm.open(QIODevice::ReadOnly))
            total.rssKb += statm.readAll().split(' ').value(1).toLongLong() * pageKb;
        if (!proportional)
            continue;
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (rollup.open(QIODevice::ReadOnly))
            total.pssKb += fieldKb(QByteArray('\n' + rollup.readAll()), "Pss:");
    }
    return total;
}

// ---- one run, in a process of its own ----

// One letter a picture: 1 when shown (complete and decodable), 0 when not yet. No layout is
// asked for while the page loads.
const char *const ProgressScript =
    "Array.from(document.images, i => i.complete && i.naturalWidth > 0 ? '1' : '0').join('')";
// Once every picture is shown: how many of them the first screen holds.
const char *const FirstScreenScript =
    "Array.from(document.images).filter(i => i.getBoundingClientRect().top < "
    "window.innerHeight).length";

int runOnce(const QString &folder, qint64 startedMs)
{
    const bool previewsOn = PreviewSchemeHandler::enabledByEnvironment();
    IniSettings settings(
        QDir::temp().filePath(QStringLiteral("bench_previews_%1.ini").arg(getpid())));
    settings.setValue(QStringLiteral("Main"), QStringLiteral("PageFileCount"),
                      QStringLiteral("200"));
    QtDialogs dialogs;
    DesktopShell shell;
    QTemporaryDir pages;
    const QString pageFile = pages.filePath(QStringLiteral("Tpc.htm"));
    std::unique_ptr<PreviewSchemeHandler> previews;
    if (previewsOn) {
        previews = std::make_unique<PreviewSchemeHandler>();
        previews->install();
    }
    LiveMainWindow live(settings, dialogs, shell, pageFile, previews.get(), QSize(1280, 900));
    Frmmain &window = live.window();
    WebEngineBrowserView *view = live.view();

    QElapsedTimer clock;
    clock.start();
    const qint64 offset = clock.msecsSinceReference() - startedMs; // since the process started
    window.formLoad(folder);
    // Four a row: the third matrix mode.
    for (int i = 0; i < 3; ++i)
        window.findChild<QAction *>(QStringLiteral("Command7"))->trigger();
    const bool verbose = qEnvironmentVariableIsSet("BENCH_VERBOSE");
    if (verbose) {
        QFile page(pageFile);
        page.open(QIODevice::ReadOnly);
        std::fprintf(stderr, "view %d px wide; %s\n", view->widget()->width(),
                     page.readAll().split('\n').value(3).constData());
    }

    Memory peak;
    QList<qint64> shownAt(Photos, -1); // when each picture was first seen shown
    std::optional<qint64> wholePage;
    std::optional<qint64> firstScreen;
    bool asking = false;
    QTimer memory;
    qint64 rssAtLastPss = 0;
    QObject::connect(&memory, &QTimer::timeout, [&] {
        // The proportional size is taken again when the resident size has grown 4 MB past where
        // it was last taken, which is when it may peak too: a dozen times a run, not fifty.
        Memory now = treeMemory(false);
        if (now.rssKb > rssAtLastPss + 4096) {
            now = treeMemory(true);
            rssAtLastPss = now.rssKb;
        }
        peak.rssKb = std::max(peak.rssKb, now.rssKb);
        peak.pssKb = std::max(peak.pssKb, now.pssKb);
    });
    memory.start(100);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (asking || wholePage)
            return;
        asking = true;
        view->evaluate(QString::fromLatin1(ProgressScript), [&](const QVariant &result) {
            asking = false;
            const QString flags = result.toString();
            if (flags.size() != Photos)
                return;
            const qint64 t = clock.elapsed() + offset;
            int shown = 0;
            for (int i = 0; i < Photos; ++i) {
                if (flags[i] == u'1') {
                    ++shown;
                    if (shownAt[i] < 0)
                        shownAt[i] = t;
                }
            }
            if (verbose)
                std::fprintf(stderr, "%lld ms: %d shown\n", t, shown);
            if (shown < Photos)
                return;
            wholePage = t;
            view->evaluate(QString::fromLatin1(FirstScreenScript), [&](const QVariant &count) {
                const int n = std::clamp(count.toInt(), 1, Photos);
                firstScreen = *std::max_element(shownAt.cbegin(), shownAt.cbegin() + n);
                if (verbose)
                    std::fprintf(stderr, "first screen: %d pictures\n", n);
            });
        });
    });
    poll.start(25);
    QTimer::singleShot(120000, qApp, &QCoreApplication::quit);
    // Settled: every picture shown, and a second more for the memory to peak.
    QTimer settle;
    QObject::connect(&settle, &QTimer::timeout, [&] {
        // The thumbnails too are written before the next run (which may be the warm one).
        if (firstScreen && clock.elapsed() + offset > *wholePage + 1000 &&
            (!previews || previews->waitForDone(0)))
            QCoreApplication::quit();
    });
    settle.start(100);
    QCoreApplication::exec();
    const Memory last = treeMemory(true);
    peak.rssKb = std::max(peak.rssKb, last.rssKb);
    peak.pssKb = std::max(peak.pssKb, last.pssKb);
    std::printf("RESULT %lld %lld %lld %lld\n", firstScreen ? *firstScreen : -1LL,
                wholePage ? *wholePage : -1LL, peak.rssKb, peak.pssKb);
    std::fflush(stdout);
    QFile::remove(settings.fileName());
    return firstScreen && wholePage ? 0 : 1;
}

// ---- the runs, each a fresh process ----

struct Run
{
    double firstScreen = -1; // seconds
    double wholePage = -1;
    double rssMb = 0;
    double pssMb = 0;
};

std::optional<Run> startRun(const QString &program, const QString &folder, const QString &cache,
                            bool previewsOn)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CACHE_HOME"), cache);
    env.insert(QStringLiteral("VIMBREL_PREVIEWS"),
               previewsOn ? QStringLiteral("1") : QStringLiteral("0"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    child.start(program,
                {QStringLiteral("--run"), folder, QString::number(clock.msecsSinceReference())});
    if (!child.waitForFinished(180000))
        return std::nullopt;
    const QByteArray out = child.readAllStandardOutput();
    const qsizetype at = out.indexOf("RESULT ");
    if (at < 0)
        return std::nullopt;
    const QList<QByteArray> f = out.mid(at + 7).trimmed().split(' ');
    if (f.size() < 4 || f[0].toLongLong() < 0 || f[1].toLongLong() < 0)
        return std::nullopt;
    return Run{f[0].toLongLong() / 1000.0, f[1].toLongLong() / 1000.0, f[2].toLongLong() / 1024.0,
               f[3].toLongLong() / 1024.0};
}

// The least any cold run can take: every photo decoded once, at the quarter size a preview for
// four a row needs, on as many threads as there are cores, and nothing else. The browser's own
// work and the start of the process come on top.
double decodeFloor(const QString &folder)
{
    const QStringList photos = QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files);
    QThreadPool pool;
    pool.setMaxThreadCount(QThread::idealThreadCount());
    QElapsedTimer clock;
    clock.start();
    for (const QString &name : photos) {
        pool.start([path = QDir(folder).filePath(name)] {
            QImageReader reader(path);
            reader.setScaledSize(PhotoSize / 4);
            (void)reader.read();
        });
    }
    pool.waitForDone();
    return clock.elapsed() / 1000.0;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    if (n == 0)
        return -1;
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Summary
{
    double firstScreen, wholePage, rssMb, pssMb;
};

Summary summarise(const QList<Run> &runs)
{
    QList<double> a, b, c, d;
    for (const Run &r : runs) {
        a << r.firstScreen;
        b << r.wholePage;
        c << r.rssMb;
        d << r.pssMb;
    }
    return {median(a), median(b), median(c), median(d)};
}

void print(const char *name, const Summary &s, const Summary &base)
{
    std::printf("%-22s first screen %6.2f s (%.2fx)   whole page %6.2f s (%.2fx)   peak RSS sum "
                "%6.0f MB (%.2fx)   peak PSS %6.0f MB (%.2fx)\n",
                name, s.firstScreen, s.firstScreen / base.firstScreen, s.wholePage,
                s.wholePage / base.wholePage, s.rssMb, s.rssMb / base.rssMb, s.pssMb,
                s.pssMb / base.pssMb);
}

int runAll(const QString &program, int runs, const QString &folder)
{
    if (!makePhotos(folder)) {
        std::fprintf(stderr, "cannot make the photos in %s\n", qPrintable(folder));
        return 1;
    }
    QTemporaryDir cache;
    const QString thumbnails = cache.filePath(QStringLiteral("thumbnails"));
    QList<Run> off, cold, warm;
    QList<double> floors;
    for (int i = 0; i < runs; ++i) {
        floors << decodeFloor(folder);
        // The same order each round, so every kind meets the machine in the same state.
        const auto baseline = startRun(program, folder, cache.path(), false);
        QDir(thumbnails).removeRecursively();
        const auto first = startRun(program, folder, cache.path(), true);
        const auto second = startRun(program, folder, cache.path(), true);
        if (!baseline || !first || !second) {
            std::fprintf(stderr, "run %d did not finish\n", i + 1);
            return 1;
        }
        off << *baseline;
        cold << *first;
        warm << *second;
        std::fprintf(stderr,
                     "run %d: files %.2f/%.2f s %.0f MB, cold %.2f/%.2f s %.0f MB, warm %.2f/%.2f "
                     "s %.0f MB\n",
                     i + 1, baseline->firstScreen, baseline->wholePage, baseline->rssMb,
                     first->firstScreen, first->wholePage, first->rssMb, second->firstScreen,
                     second->wholePage, second->rssMb);
    }
    const Summary base = summarise(off);
    std::printf("%d photos of %dx%d, page size %d, four a row; medians of %d runs; times from "
                "process start\n",
                Photos, PhotoSize.width(), PhotoSize.height(), Photos, runs);
    print("files (baseline)", base, base);
    print("previews, cold cache", summarise(cold), base);
    print("previews, warm cache", summarise(warm), base);
    const double floor = median(floors);
    std::printf("decoding every photo once at 1/4 on %d threads: %.2f s; cold whole page / that: "
                "%.2fx\n",
                QThread::idealThreadCount(), floor, summarise(cold).wholePage / floor);
    std::printf("goals: first screen <= 0.8 s cold, <= 0.4 s warm; whole page <= 4 s cold, "
                "<= 1 s warm; memory <= 400 MB; <= 0.3x the baseline\n");
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 4 && qstrcmp(argv[1], "--run") == 0) {
        returnLargeBlocksToTheSystem(); // as the program does
        if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        PreviewSchemeHandler::registerScheme();
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        QApplication app(argc, argv);
        return runOnce(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toLongLong());
    }
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                    : QDir::temp().filePath(QStringLiteral("vimbrel-bench-photos"));
    return runAll(QCoreApplication::applicationFilePath(), runs, folder);
}
