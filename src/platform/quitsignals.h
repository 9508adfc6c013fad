#pragma once

#include <QObject>

class QSocketNotifier;

namespace vimbrel {

// The requests to end the program that do not come through a window (SIGTERM, SIGINT from the
// terminal, SIGHUP at logout), delivered as quitRequested on the UI thread so the program can
// close its windows as a window close does. A second request while the first is handled ends
// the program at once. One object per process; the system's handling comes back when it goes.
class QuitSignals : public QObject
{
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

Q_SIGNALS:
    void quitRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace vimbrel
