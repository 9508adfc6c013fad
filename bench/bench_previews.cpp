// The main window showing page 1 of 200 photos of 12 MP (4000 × 3000 JPEG), page size 200, in
// the real view, one a row (the default) and four a row: the time until the first screen's
// pictures are all shown and until every picture of the page is, and the peak memory of the
// program with its browser processes. Previews with cold caches (the shared thumbnails and the
// program's own copies) and warm ones, and the view reading the originals (VIMBREL_PREVIEWS=0)
// as the baseline, each a fresh process, medians of several runs. A last kind reaches four a
// row by pressing the layout button three times 0.3 s apart, cold, and is timed from the last
// press: what the first pages asked for must cost the last one nothing.
//
//   bench_previews [runs] [photos] [photo folder]
//
// The photos are made once into the folder (default: a folder under the temporary one) and kept
// for later runs; fewer than 200 are linked into a folder of their own. Each run is this program
// started again with --run.
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

#include "app/mainwindow.h"
#include "livemainwindow.h"
#include "platform/desktopshell.h"
#include "platform/inisettings.h"
#include "platform/largeblocks.h"
#include "platform/qtdialogs.h"
#include "preview/previewschemehandler.h"
#include "view/webenginebrowserview.h"

using namespace vimbrel;

namespace {

constexpr int MostPhotos = 200;
int Photos = MostPhotos; // on the page
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
    for (int i = 0; i < MostPhotos; ++i) {
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
    "location.host + ' ' + "
    "Array.from(document.images, i => i.complete && i.naturalWidth > 0 ? '1' : '0').join('')";
// Once every picture is shown: how many of them the first screen holds.
const char *const FirstScreenScript =
    "Array.from(document.images).filter(i => i.getBoundingClientRect().top < "
    "window.innerHeight).length";

// How the run reaches its layout: presses of the layout button after the folder shows.
struct Layout
{
    const char *name;
    int presses;   // 0: one a row, 3: four a row
    int spacingMs; // 0: all at once, before anything shows
};

int runOnce(const QString &folder, qint64 startedMs, const Layout &layout)
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
    MainWindow &window = live.window();
    WebEngineBrowserView *view = live.view();

    QElapsedTimer clock;
    clock.start();
    const qint64 offset = clock.msecsSinceReference() - startedMs; // since the process started
    window.formLoad(folder);
    auto *layoutButton = window.findChild<QAction *>(QStringLiteral("Command7"));
    if (layout.spacingMs == 0) {
        for (int i = 0; i < layout.presses; ++i)
            layoutButton->trigger();
    } else {
        // As a person presses it, while the first pages load.
        for (int i = 0; i < layout.presses; ++i) {
            QTimer::singleShot(layout.spacingMs * (i + 1), layoutButton, &QAction::trigger);
        }
    }
    const qint64 lastPress = layout.spacingMs * layout.presses; // after formLoad
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
        if (asking || wholePage || clock.elapsed() < lastPress)
            return;
        asking = true;
        view->evaluate(QString::fromLatin1(ProgressScript), [&](const QVariant &result) {
            asking = false;
            const QString answer = result.toString();
            const qsizetype space = answer.indexOf(u' ');
            // An earlier page may still be on view just after the last press.
            if (previews && answer.left(space) != previews->page().address(pageFile).host())
                return;
            const QString flags = answer.mid(space + 1);
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
        // The warm run needs only the view's copies, written as they are made; the shared
        // thumbnails wait for an idle CPU, which a busy machine may not give for minutes.
        if (firstScreen && clock.elapsed() + offset > *wholePage + 1000)
            QCoreApplication::quit();
    });
    settle.start(100);
    QCoreApplication::exec();
    const Memory last = treeMemory(true);
    peak.rssKb = std::max(peak.rssKb, last.rssKb);
    peak.pssKb = std::max(peak.pssKb, last.pssKb);
    // Timed from the last press where the layout was reached by pressing.
    const qint64 origin = layout.spacingMs > 0 ? lastPress + offset : 0;
    std::printf("RESULT %lld %lld %lld %lld\n", firstScreen ? *firstScreen - origin : -1LL,
                wholePage ? *wholePage - origin : -1LL, peak.rssKb, peak.pssKb);
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

const Layout Layouts[] = {
    {"one a row", 0, 0},
    {"four a row", 3, 0},
    {"four a row, pressed", 3, 300},
};

std::optional<Run> startRun(const QString &program, const QString &folder, const QString &cache,
                            bool previewsOn, int layout)
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
                {QStringLiteral("--run"), folder, QString::number(clock.msecsSinceReference()),
                 QString::number(layout), QString::number(Photos)});
    if (!child.waitForFinished(180000)) {
        // What it measured is printed before it closes.
        child.kill();
        child.waitForFinished();
    }
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

// The least any cold run can take: every photo decoded once, at the scale a preview for the
// layout needs (1/2 one a row, 1/8 four a row), on as many threads as there are cores, and
// nothing else. The browser's own work and the start of the process come on top.
double decodeFloor(const QString &folder, int scale)
{
    const QStringList photos = QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files);
    QThreadPool pool;
    pool.setMaxThreadCount(QThread::idealThreadCount());
    QElapsedTimer clock;
    clock.start();
    for (const QString &name : photos) {
        pool.start([path = QDir(folder).filePath(name), scale] {
            QImageReader reader(path);
            reader.setScaledSize(PhotoSize / scale);
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

// The first `count` photos linked into a folder of their own, for short runs.
QString photoFolder(const QString &folder, int count)
{
    if (count >= MostPhotos)
        return folder;
    const QString fewer = folder + QStringLiteral("-%1").arg(count);
    QDir().mkpath(fewer);
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("photo %1.jpg").arg(i + 1, 3, 10, QLatin1Char('0'));
        QFile::link(QDir(folder).filePath(name), QDir(fewer).filePath(name));
    }
    return fewer;
}

int runAll(const QString &program, int runs, const QString &allPhotos)
{
    if (!makePhotos(allPhotos)) {
        std::fprintf(stderr, "cannot make the photos in %s\n", qPrintable(allPhotos));
        return 1;
    }
    const QString folder = photoFolder(allPhotos, Photos);
    QTemporaryDir cache;
    const auto clearCaches = [&cache] {
        QDir(cache.filePath(QStringLiteral("thumbnails"))).removeRecursively();
        QDir(cache.filePath(QStringLiteral("ulvo/previews"))).removeRecursively();
    };
    constexpr int Kinds = 7; // files, cold, warm at one and four a row; pressed
    QList<Run> results[Kinds];
    QList<double> halfFloors, eighthFloors;
    for (int i = 0; i < runs; ++i) {
        halfFloors << decodeFloor(folder, 2);
        eighthFloors << decodeFloor(folder, 8);
        // The same order each round, so every kind meets the machine in the same state.
        std::optional<Run> round[Kinds];
        for (int layout = 0; layout < 2; ++layout) {
            round[layout * 3] = startRun(program, folder, cache.path(), false, layout);
            clearCaches();
            round[layout * 3 + 1] = startRun(program, folder, cache.path(), true, layout);
            round[layout * 3 + 2] = startRun(program, folder, cache.path(), true, layout);
        }
        clearCaches();
        round[6] = startRun(program, folder, cache.path(), true, 2);
        for (int k = 0; k < Kinds; ++k) {
            if (!round[k]) {
                std::fprintf(stderr, "run %d, kind %d did not finish\n", i + 1, k);
                return 1;
            }
            results[k] << *round[k];
        }
        std::fprintf(stderr, "run %d:", i + 1);
        for (int k = 0; k < Kinds; ++k)
            std::fprintf(stderr, " %.2f/%.2f s %.0f MB%s", round[k]->firstScreen,
                         round[k]->wholePage, round[k]->pssMb, k + 1 < Kinds ? "," : "\n");
    }
    std::printf("%d photos of %dx%d, page size 200; medians of %d runs; times from process "
                "start\n",
                Photos, PhotoSize.width(), PhotoSize.height(), runs);
    Summary kinds[Kinds];
    for (int k = 0; k < Kinds; ++k)
        kinds[k] = summarise(results[k]);
    for (int layout = 0; layout < 2; ++layout) {
        std::printf("%s:\n", Layouts[layout].name);
        const Summary &base = kinds[layout * 3];
        print("  files (baseline)", base, base);
        print("  previews, cold", kinds[layout * 3 + 1], base);
        print("  previews, warm", kinds[layout * 3 + 2], base);
    }
    std::printf("four a row reached by three presses 0.3 s apart, cold, from the last press:\n");
    print("  previews, cold", kinds[6], kinds[4]);
    const double half = median(halfFloors);
    const double eighth = median(eighthFloors);
    std::printf("decode floor on %d threads: every photo at 1/2 %.2f s, at 1/8 %.2f s; cold whole "
                "page / floor: one a row %.2fx, four a row %.2fx\n",
                QThread::idealThreadCount(), half, eighth, kinds[1].wholePage / half,
                kinds[4].wholePage / eighth);
    const auto mark = [](bool met) { return met ? "met" : "NOT met"; };
    std::printf("goals: one a row whole page cold <= files: %.2f / %.2f s %s; warm whole page "
                "<= 1 s: %.2f s %s; PSS <= 400 MB: %.0f MB %s\n",
                kinds[1].wholePage, kinds[0].wholePage,
                mark(kinds[1].wholePage <= kinds[0].wholePage), kinds[2].wholePage,
                mark(kinds[2].wholePage <= 1.0), std::max(kinds[1].pssMb, kinds[2].pssMb),
                mark(std::max(kinds[1].pssMb, kinds[2].pssMb) <= 400));
    std::printf("       four a row warm first screen <= 0.4 s: %.2f s %s; pressed first screen "
                "<= direct: %.2f / %.2f s %s\n",
                kinds[5].firstScreen, mark(kinds[5].firstScreen <= 0.4), kinds[6].firstScreen,
                kinds[4].firstScreen, mark(kinds[6].firstScreen <= kinds[4].firstScreen));
    // For bench/bench_geeqie.sh, which sets these against geeqie's.
    std::printf("FIRST_SCREEN_COLD one=%.3f four=%.3f\n", kinds[1].firstScreen,
                kinds[4].firstScreen);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 6 && qstrcmp(argv[1], "--run") == 0) {
        Photos = std::clamp(atoi(argv[5]), 1, MostPhotos);
        returnLargeBlocksToTheSystem(); // as the program does
        if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        PreviewSchemeHandler::registerScheme();
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        QApplication app(argc, argv);
        const int layout = std::clamp(atoi(argv[4]), 0, 2);
        return runOnce(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toLongLong(),
                       Layouts[layout]);
    }
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    Photos = argc > 2 ? std::clamp(atoi(argv[2]), 1, MostPhotos) : MostPhotos;
    const QString folder = argc > 3 ? QString::fromLocal8Bit(argv[3])
                                    : QDir::temp().filePath(QStringLiteral("vimbrel-bench-photos"));
    return runAll(QCoreApplication::applicationFilePath(), runs, folder);
}
