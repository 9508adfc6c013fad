// Memory of saving runs against answers that never end: three runs in one process, each over
// seven pictures from a loopback server, three declaring 2 GiB and four streaming without a
// length for as long as they are read (2 GiB and more). Prints the peak and the resident
// memory of each run; they stay flat from run to run, the peak under the run's 256 MB bound
// plus the program itself.
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>

#include "benchrun.h"
#include "hostileserver.h"
#include "platform/largeblocks.h"
#include "saving/savingrun.h"

using namespace vimbrel;

namespace {

bool resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

// The server answers on a thread of its own, as a server elsewhere would.
class ServerThread : public QThread
{
public:
    QStringList addresses;

protected:
    void run() override
    {
        HostileServer server;
        const QByteArray jpeg = "image/jpeg";
        for (int i = 0; i < 7; ++i) {
            const QString path = QStringLiteral("/huge%1.jpg").arg(i);
            const qint64 length = i < 3 ? 2LL << 30 : -1;
            server.answer(path,
                          {HostileServer::Kind::Endless, HostileServer::head(jpeg, length), {}, 0});
            addresses << server.address(path);
        }
        m_ready.release();
        exec();
    }

public:
    void waitReady() { m_ready.acquire(); }

private:
    QSemaphore m_ready;
};

} // namespace

int main(int argc, char **argv)
{
    returnLargeBlocksToTheSystem(); // as the program does at its start
    QCoreApplication app(argc, argv);
    ServerThread server;
    server.start();
    server.waitReady();

    std::printf("resident before the runs: %ld MB\n", memoryKb("VmRSS:") / 1024);
    std::printf("run  peak MB  resident after MB  most held MB  saved failed\n");
    for (int run = 1; run <= 3; ++run) {
        const bool reset = resetPeak();
        QTemporaryDir folder;
        SavingReport report;
        qint64 held = 0;
        {
            SavingRun saving(folder.path(), SavingSource{});
            QEventLoop loop;
            QObject::connect(&saving, &SavingRun::finished, &loop, &QEventLoop::quit);
            QTimer::singleShot(0, &saving, [&] { saving.start(server.addresses); });
            QTimer::singleShot(600000, &loop, &QEventLoop::quit);
            loop.exec();
            report = saving.report();
            held = saving.mostHeld();
        }
        // The aborted replies go, then the heap's free pages.
        QEventLoop settle;
        QTimer::singleShot(100, &settle, &QEventLoop::quit);
        settle.exec();
        std::printf("%3d  %7ld  %17ld  %12lld  %5d %6d%s\n", run, memoryKb("VmHWM:") / 1024,
                    memoryKb("VmRSS:") / 1024, held / (1024 * 1024), report.saved, report.failed,
                    reset ? "" : "  (peak since start)");
        std::fflush(stdout);
    }
    server.quit();
    server.wait();
    return 0;
}
