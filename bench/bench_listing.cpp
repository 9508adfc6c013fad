// The folder listing of a 20,000-entry folder (16,000 pictures) against a bare getdents64 read
// of the same folder, measured in the same run. Prints the ratios the listing is held to:
// at most 1.25 without ordering and 2.5 with natural ordering.
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

#include "benchrun.h"
#include "folders/folderlisting.h"
#include "folders/imagelist.h"

using namespace vimbrel;

namespace {

QString g_folder;

void makeFixture(const QString &folder)
{
    const std::string base = QFile::encodeName(folder).toStdString();
    auto touch = [&](const std::string &name) {
        const int fd = ::open((base + name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd >= 0)
            ::close(fd);
    };
    char name[64];
    for (int i = 0; i < 8000; ++i) {
        std::snprintf(name, sizeof name, "IMG_%d.jpg", i * 7 % 10000);
        touch(name);
        std::snprintf(name, sizeof name, "DSC%05d.JPG", i);
        touch(name);
    }
    for (int i = 0; i < 2000; ++i) {
        std::snprintf(name, sizeof name, "notes %d.txt", i);
        touch(name);
        std::snprintf(name, sizeof name, "clip%d.mp4", i);
        touch(name);
    }
}

void BM_Getdents(benchmark::State &state)
{
    const QByteArray path = QFile::encodeName(g_folder);
    alignas(8) static char buffer[64 * 1024];
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        long entries = 0;
        for (;;) {
            const long n = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            for (long pos = 0; pos < n;) {
                const auto reclen = *reinterpret_cast<unsigned short *>(buffer + pos + 16);
                benchmark::DoNotOptimize(buffer[pos + 19]); // first byte of the name
                pos += reclen;
                ++entries;
            }
        }
        ::close(fd);
        benchmark::DoNotOptimize(entries);
    }
}

void BM_ListFolderAsRead(benchmark::State &state)
{
    ImageList list;
    for (auto _ : state) {
        listFolder(g_folder, list, ListingOrder::AsRead);
        benchmark::DoNotOptimize(list.count());
    }
    state.counters["pictures"] = list.count();
}

void BM_ListFolderNatural(benchmark::State &state)
{
    ImageList list;
    for (auto _ : state) {
        listFolder(g_folder, list);
        benchmark::DoNotOptimize(list.count());
    }
    state.counters["pictures"] = list.count();
}

double smallest(const std::vector<double> &v)
{
    return *std::min_element(v.begin(), v.end());
}

BENCHMARK(BM_Getdents)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", smallest);
BENCHMARK(BM_ListFolderAsRead)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", smallest);
BENCHMARK(BM_ListFolderNatural)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", smallest);

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    g_folder = dir.path() + u'/';
    makeFixture(g_folder);

    BestTimesReporter reporter;
    runBenchmarks(argc, argv, reporter);

    const double bare = reporter.cpu["BM_Getdents"];
    if (bare > 0) {
        std::printf("ratio listing/getdents = %.2f (CPU time) (bound 1.25)\n",
                    reporter.cpu["BM_ListFolderAsRead"] / bare);
        std::printf("ratio listing natural order/getdents = %.2f (CPU time) (bound 2.5)\n",
                    reporter.cpu["BM_ListFolderNatural"] / bare);
    }
    return 0;
}
