#pragma once

#include "gallery/imagelist.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class QTimer;

namespace vimbrel {

// The whole-tree search: pictures above 30000 bytes in a folder and every folder below it,
// depth first, each folder in natural name order. Folders whose names begin with "." are not
// entered, each directory is entered once (symlink loops do not repeat), unreadable folders
// are skipped, pictures below a "$RECYCLE.BIN" at the root of a volume are left out, and the
// search stops at 20000 pictures.
namespace TreeSearch {

inline constexpr int Cap = 20000;
inline constexpr qint64 MinBytes = 30000; // a picture must be larger than this

struct Progress
{
    // Called now and then from the searching thread with the folder being read and the count
    // so far; must be cheap and thread-safe.
    std::function<void(const QString &folder, int count)> report;
};

// Searches root into list (reset first). stop is checked between directory entries.
void search(const QString &root, ImageList &list, const std::atomic<bool> &stop,
            const Progress &progress = {});

// The same with the roots of the mounted volumes given (each ending in "/"): a folder whose
// name begins with "$RECYCLE" (any case) directly in one of them is the volume's recycle bin.
// Folders are read ahead of the walk on readAheadThreads further threads (-1: as many as
// suit the machine, 0: none); the result does not depend on it.
// The folders in kernelFolders (each ending in "/") are not entered unless the search starts
// there: they hold the kernel's own tables (/proc, /sys), never anybody's pictures.
void search(const QString &root, ImageList &list, const std::atomic<bool> &stop,
            const Progress &progress, const QStringList &volumeRoots, int readAheadThreads = -1,
            const QStringList &kernelFolders = {});

// The roots of the volumes mounted now, "/" included, each ending in "/".
[[nodiscard]] QStringList mountedVolumeRoots();
// The mount points of the kernel's pseudo file systems (proc, sysfs, ...), each ending in "/".
[[nodiscard]] QStringList kernelFolders();

} // namespace TreeSearch

// Runs the tree search off the UI thread and hands the result back on it. progress() is
// emitted at most every few tens of milliseconds while it runs.
class TreeSearchJob : public QObject
{
    Q_OBJECT
public:
    explicit TreeSearchJob(QObject *parent = nullptr);
    ~TreeSearchJob() override; // stops and waits for a running search

    // A search still running is stopped (and its result dropped) first.
    void start(const QString &root);
    void stop();
    [[nodiscard]] bool isRunning() const;
    // The pictures found; valid after finished().
    [[nodiscard]] ImageList takeResult();

Q_SIGNALS:
    void progress(const QString &folder, int count);
    void finished();

private:
    void poll();
    void join();

    struct State;
    std::shared_ptr<State> m_state;
    QTimer *m_timer = nullptr;
};

} // namespace vimbrel
