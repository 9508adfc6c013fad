#pragma once

#include <QThreadPool>

#include <atomic>
#include <functional>

namespace vimbrel {

// The pictures the view asks for, made on worker threads in the order asked. What was asked
// for by a page no longer on view is skipped when its turn comes: a layout pressed three times
// must not leave the last page waiting behind the first two.
class PreviewQueue
{
public:
    explicit PreviewQueue(int threads);
    ~PreviewQueue();
    PreviewQueue(const PreviewQueue &) = delete;
    PreviewQueue &operator=(const PreviewQueue &) = delete;

    // Another page is on view.
    void newPage();
    // Runs work(true) on a worker thread in its turn, or work(false) when the page it was
    // asked for has been replaced by then (work then only answers that nothing came).
    void start(std::function<void(bool current)> work);
    // true once everything started has run (waiting up to msecs).
    bool waitForDone(int msecs);

private:
    QThreadPool m_pool;
    std::atomic<quint64> m_page = 0;
};

} // namespace vimbrel
