#include "folders/treesearch/treesearchjob.h"

#include <QTimer>

#include <atomic>
#include <mutex>
#include <thread>

#include "folders/treesearch/treesearch.h"

namespace vimbrel {

// Shared between the job and its searching thread, which may outlive neither.
struct TreeSearchJob::State
{
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    std::mutex mutex;
    QString folder; // under mutex
    int count = 0;  // under mutex
    bool changed = false;
    ImageList result;
    std::thread thread;
};

TreeSearchJob::TreeSearchJob(QObject *parent)
    : QObject(parent), m_state(std::make_shared<State>()), m_timer(new QTimer(this))
{
    m_timer->setInterval(40);
    connect(m_timer, &QTimer::timeout, this, &TreeSearchJob::poll);
}

TreeSearchJob::~TreeSearchJob()
{
    stop();
    join();
}

void TreeSearchJob::start(const QString &root)
{
    stop();
    join();
    m_state = std::make_shared<State>();
    std::shared_ptr<State> state = m_state;
    state->thread = std::thread([state, root] {
        TreeSearch::Progress progress;
        progress.report = [&state](const QString &folder, int count) {
            const std::lock_guard lock(state->mutex);
            state->folder = folder;
            state->count = count;
            state->changed = true;
        };
        TreeSearch::search(root, state->result, state->stop, progress);
        {
            const std::lock_guard lock(state->mutex);
            state->count = state->result.count();
            state->changed = true;
        }
        state->done = true;
    });
    m_timer->start();
}

void TreeSearchJob::stop()
{
    m_state->stop = true;
}

bool TreeSearchJob::isRunning() const
{
    return m_state->thread.joinable();
}

ImageList TreeSearchJob::takeResult()
{
    if (isRunning())
        return ImageList();
    ImageList result = std::move(m_state->result);
    m_state->result = ImageList();
    return result;
}

void TreeSearchJob::poll()
{
    QString folder;
    int count = 0;
    bool changed = false;
    {
        const std::lock_guard lock(m_state->mutex);
        changed = m_state->changed;
        m_state->changed = false;
        folder = m_state->folder;
        count = m_state->count;
    }
    const bool done = m_state->done;
    if (changed)
        Q_EMIT progress(folder, count);
    if (done) {
        join();
        Q_EMIT finished();
    }
}

void TreeSearchJob::join()
{
    m_timer->stop();
    if (m_state->thread.joinable())
        m_state->thread.join();
}

} // namespace vimbrel
