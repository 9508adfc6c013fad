#pragma once

#include "imagelist.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

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

} // namespace TreeSearch

// Runs the tree search off the UI thread and hands the result back on it. progress() is
// emitted at most every few tens of milliseconds while it runs.
class TreeSearchJob : public QObject
{
    Q_OBJECT
public:
    explicit TreeSearchJob(QObject *parent = nullptr);
    ~TreeSearchJob() override; // stops and waits for a running search

    void start(const QString &root);
    void stop();
    [[nodiscard]] bool isRunning() const;
    // The pictures found; valid after finished().
    [[nodiscard]] ImageList takeResult();

Q_SIGNALS:
    void progress(const QString &folder, int count);
    void finished();

private:
    struct State;
    std::shared_ptr<State> m_state;
};
