#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QNetworkCookie>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "search/numberedfiles.h"
#include "search/savingreport.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace vimbrel {

// How the pictures of the shown page are asked for: as the browser view asked for them.
struct SavingSource
{
    QString referrer; // the shown page's address; sent when it is a web address
    QString userAgent;
    std::function<QList<QNetworkCookie>(const QUrl &)> cookiesFor;
    // The shown page is a local file itself, so its file: pictures may be read.
    bool localFilesAllowed = false;
};

// One run of saving a page's pictures as numbered JPEG files. Pictures are fetched a few at a
// time and encoded off the UI thread, but written strictly in the page's order, so the files
// get exactly the numbers a one-at-a-time run would give them. A picture that cannot be
// obtained saves nothing and takes no number; a JPEG under smallestKept bytes is not kept and
// its number goes to the next picture. If the folder cannot be written, the run stops.
class SavingRun : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 smallestKept = 14000;
    static constexpr int parallelFetches = 6;
    static constexpr qint64 largestFetched = 256LL * 1024 * 1024;
    static constexpr int defaultTimeoutMs = 30000;

    SavingRun(const QString &folder, SavingSource source, QObject *parent = nullptr);
    ~SavingRun() override;

    // Before start(): how many pictures are fetched at once (1: one after another), and how
    // long a fetch may go without any answer.
    void setParallel(int fetches);
    void setTimeout(int ms);

    // Saves the pictures at these addresses, in this order. Runs once.
    void start(const QStringList &addresses);
    // No further picture is started; those in flight are still saved. finished() follows.
    void stop();
    // Ends at once: nothing in flight is saved and finished() is not emitted.
    void abort();
    [[nodiscard]] bool isRunning() const { return m_started && !m_finished; }
    [[nodiscard]] const SavingReport &report() const { return m_report; }
    [[nodiscard]] QString folder() const { return m_files.folder(); }

    // The bytes a data: address carries; nullopt when it is malformed.
    [[nodiscard]] static std::optional<QByteArray> dataAddressBytes(const QString &address);

Q_SIGNALS:
    // done pictures of total have been dealt with (saved, dropped or failed).
    void progress(int done, int total);
    void finished(const SavingReport &report);

private:
    struct Result
    {
        QByteArray jpeg; // empty: the picture could not be obtained
    };
    [[nodiscard]] bool canStart() const;
    void pump();
    void begin(int index);
    void fetch(int index, const QUrl &url);
    void encode(int index, std::function<QByteArray()> load);
    void arrived(int index, QByteArray jpeg);
    void commit();
    bool write(int index, const QByteArray &jpeg);
    void finishIfDone();
    [[nodiscard]] QByteArray readLocal(const QString &address) const;

    NumberedFiles m_files;
    SavingSource m_source;
    QStringList m_addresses;
    SavingReport m_report;
    QNetworkAccessManager *m_network = nullptr;
    QHash<int, QNetworkReply *> m_replies;
    QThreadPool m_pool;
    std::map<int, Result> m_ready; // obtained but not yet written, by page position
    int m_parallel = parallelFetches;
    int m_timeoutMs = defaultTimeoutMs;
    int m_nextStart = 0;
    int m_nextCommit = 0;
    int m_inFlight = 0;
    bool m_started = false;
    bool m_stopping = false;
    bool m_pumping = false; // starting and writing; answers arriving meanwhile just queue
    bool m_finished = false;
};

} // namespace vimbrel
