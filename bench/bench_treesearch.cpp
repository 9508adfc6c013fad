// The tree search over 100,000 files in 5,000 folders against, in the same run, a bare
// single-threaded openat/getdents64/fstatat walk that stats only picture-named files (bound:
// at most 1.15 times its time) and `find` with the same tests (bound: at least 3 times faster).
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

#include "benchrun.h"
#include "folders/imagelist.h"
#include "folders/pictureextensions.h"
#include "folders/treesearch/mounttable.h"
#include "folders/treesearch/treesearch.h"

using namespace vimbrel;

namespace {

std::string g_root; // ends in "/"
int g_expected = 0;

// 100 folders of 49 subfolders each (5,000 folders, every tenth top folder a dot folder),
// 20 files in each: 3 large pictures (sparse, 40000 bytes), 9 small pictures and 8 other files
// (100,000 files).
void makeFixture()
{
    const char *pictures[] = {"jpg", "JPG", "png", "gif", "jpeg", "bmp", "tif"};
    const char *others[] = {"txt", "mp4", "db", "xml"};
    auto make = [](const std::string &path, off_t size) {
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd >= 0) {
            if (size > 0 && ftruncate(fd, size) != 0)
                std::perror("ftruncate");
            ::close(fd);
        }
    };
    int folders = 0;
    int files = 0;
    auto fill = [&](const std::string &dir, int offset, bool dot) {
        char name[128];
        for (int f = 0; f < 20; ++f, ++files) {
            if (f < 12) {
                std::snprintf(name, sizeof name, "IMG_%04d.%s", f * 37 + offset, pictures[f % 7]);
                const bool large = f < 3;
                make(dir + name, large ? 40000 : 1000);
                if (large && !dot)
                    ++g_expected;
            } else {
                std::snprintf(name, sizeof name, "file%d.%s", f, others[f % 4]);
                make(dir + name, 40000);
            }
        }
    };
    char name[128];
    for (int top = 0; top < 100; ++top) {
        const bool dot = top % 10 == 9;
        std::snprintf(name, sizeof name, "%s%d/", dot ? ".cache" : "Album ", top);
        const std::string topPath = g_root + name;
        ::mkdir(topPath.c_str(), 0755);
        ++folders;
        fill(topPath, top, dot);
        for (int sub = 0; sub < 49; ++sub) {
            std::snprintf(name, sizeof name, "day%d/", sub);
            const std::string dir = topPath + name;
            ::mkdir(dir.c_str(), 0755);
            ++folders;
            fill(dir, sub, dot);
        }
    }
    std::printf("fixture: %d folders, %d files, %d pictures to find\n", folders, files, g_expected);
}

struct Dirent64
{
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

// The least a walk can do: no order, no names kept, no loop check.
int bareWalk(int fd)
{
    int found = 0;
    alignas(8) char buffer[32 * 1024];
    for (;;) {
        const long n = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (long pos = 0; pos < n;) {
            const auto *e = reinterpret_cast<const Dirent64 *>(buffer + pos);
            pos += e->d_reclen;
            if (e->d_type == DT_DIR) {
                if (e->d_name[0] == '.')
                    continue;
                const int child = ::openat(fd, e->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                if (child >= 0) {
                    found += bareWalk(child);
                    ::close(child);
                }
            } else if (isPictureName(std::string_view(e->d_name))) {
                struct stat st;
                if (fstatat(fd, e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode) &&
                    st.st_size > TreeSearch::MinBytes)
                    ++found;
            }
        }
    }
    return found;
}

void BM_BareWalk(benchmark::State &state)
{
    int found = 0;
    for (auto _ : state) {
        const int fd = ::open(g_root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        found = bareWalk(fd);
        ::close(fd);
    }
    state.counters["pictures"] = found;
}

void BM_TreeSearch(benchmark::State &state)
{
    ImageList list;
    std::atomic<bool> stop{false};
    const QString root = QFile::decodeName(QByteArray::fromStdString(g_root));
    for (auto _ : state)
        TreeSearch::search(root, list, stop);
    state.counters["pictures"] = list.count();
    if (list.count() != g_expected)
        state.SkipWithError("wrong number of pictures");
}

// The same search with no reading ahead, to show what the extra threads bring.
void BM_TreeSearchOneThread(benchmark::State &state)
{
    ImageList list;
    std::atomic<bool> stop{false};
    const QString root = QFile::decodeName(QByteArray::fromStdString(g_root));
    const QStringList volumes = MountTable::volumeRoots();
    for (auto _ : state)
        TreeSearch::search(root, list, stop, {}, volumes, 0);
    state.counters["pictures"] = list.count();
    if (list.count() != g_expected)
        state.SkipWithError("wrong number of pictures");
}

void BM_Find(benchmark::State &state)
{
    const std::string command =
        "find '" + g_root +
        "' -mindepth 1 -name '.*' -type d -prune -o -type f \\( -iname '*.jpg' -o -iname "
        "'*.jpeg' -o -iname '*.gif' -o -iname '*.png' -o -iname '*.bmp' -o -iname '*.tif' -o "
        "-iname '*.tiff' \\) -size +30000c -print > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("find failed");
    }
}

double smallest(const std::vector<double> &v)
{
    return *std::min_element(v.begin(), v.end());
}

// find runs in a child process, so it is timed by the wall clock; the others by both.
BENCHMARK(BM_BareWalk)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("min", smallest);
BENCHMARK(BM_TreeSearch)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("min", smallest);
BENCHMARK(BM_TreeSearchOneThread)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("min", smallest);
BENCHMARK(BM_Find)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("min", smallest);

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    g_root = QFile::encodeName(dir.path()).toStdString() + '/';
    makeFixture();

    BestTimesReporter reporter;
    runBenchmarks(argc, argv, reporter);

    const double bare = reporter.real["BM_BareWalk"];
    const double search = reporter.real["BM_TreeSearch"];
    if (bare > 0 && search > 0) {
        std::printf("ratio treesearch/bare walk = %.2f wall, %.2f CPU (bound 1.15)\n",
                    search / bare, reporter.cpu["BM_TreeSearch"] / reporter.cpu["BM_BareWalk"]);
        std::printf("ratio find/treesearch = %.2f wall (bound at least 3)\n",
                    reporter.real["BM_Find"] / search);
        std::printf("ratio treesearch without read-ahead/bare walk = %.2f wall\n",
                    reporter.real["BM_TreeSearchOneThread"] / bare);
    }
    return 0;
}
