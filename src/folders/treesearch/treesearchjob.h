#pragma once

#include <QObject>
#include <QString>

#include <memory>

#include "folders/imagelist.h"

class QTimer;

namespace vimbrel {

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
