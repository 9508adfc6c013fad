// Saving every picture of a page: 200 pictures of 1000 x 750 from the local image service, each
// answer 50 ms late, saved by the run as it is (six fetches at once, encoding off the UI thread)
// against the same run one picture after another. Held to at most 0.35 times the one-at-a-time
// run. The CPU column is the whole process's: the pictures are noise, so decoding and encoding
// them is most of the work, and on a busy machine the ratio follows the cores left free. Then
// the peak memory of a run over 50 pictures of 12 megapixels.
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>

#include "benchrun.h"
#include "imageservice/imageservice.h"
#include "saving/savingrun.h"

using namespace vimbrel;

namespace {

ImageService *g_service = nullptr;
QStringList g_pictures;

QStringList addresses(int count, int width, int height, const char *look)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << QStringLiteral("http://%1/pic/s%2x%3-%4.jpg?w=%2&h=%3%5")
                   .arg(g_service->host())
                   .arg(width)
                   .arg(height)
                   .arg(i)
                   .arg(QString::fromLatin1(look));
    return out;
}

// One whole run into a fresh folder; the report.
SavingReport save(const QStringList &pictures, int parallel)
{
    QTemporaryDir folder;
    SavingRun run(folder.path(), SavingSource{});
    run.setParallel(parallel);
    QEventLoop loop;
    QObject::connect(&run, &SavingRun::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(0, &run, [&] { run.start(pictures); });
    QTimer::singleShot(600000, &loop, &QEventLoop::quit);
    loop.exec();
    return run.report();
}

void runWith(benchmark::State &state, int parallel)
{
    for (auto _ : state) {
        const SavingReport report = save(g_pictures, parallel);
        if (report.saved != g_pictures.size())
            state.SkipWithError("not every picture was saved");
    }
}

void BM_OneAtATime(benchmark::State &state)
{
    runWith(state, 1);
}

void BM_SavingRun(benchmark::State &state)
{
    runWith(state, SavingRun::parallelFetches);
}

BENCHMARK(BM_OneAtATime)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1);
BENCHMARK(BM_SavingRun)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    ImageService service;
    if (service.listen() == 0)
        return 1;
    g_service = &service;
    g_pictures = addresses(200, 1000, 750, "&noise=1");
    // The service draws each picture once; the timed runs only fetch them.
    save(g_pictures, SavingRun::parallelFetches);
    service.setDelay(50);

    // The slow baseline once, the run three times, unless the command line says otherwise.
    BestTimesReporter reporter;
    runBenchmarks(argc, argv, reporter, 3);

    const double one = reporter.medianReal["BM_OneAtATime"];
    const double run = reporter.medianReal["BM_SavingRun"];
    if (one > 0 && run > 0)
        std::printf("ratio saving run/one at a time = %.2f (medians, wall; bound 0.35)\n",
                    run / one);

    // Peak memory: 50 pictures of 4000 x 3000, each 48 MB once decoded.
    service.setDelay(0);
    const QStringList large = addresses(50, 4000, 3000, "");
    save(large, SavingRun::parallelFetches); // drawn once by the service beforehand
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    const bool reset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    clear.close();
    const long before = memoryKb("VmRSS:");
    const SavingReport report = save(large, SavingRun::parallelFetches);
    const long peak = memoryKb("VmHWM:");
    std::printf("50 x 12-MP pictures: %d saved; resident memory %ld MB before the run, peak %ld MB "
                "during it%s\n",
                report.saved, before / 1024, peak / 1024,
                reset ? "" : " (peak since start: the counter could not be reset)");
    return 0;
}
