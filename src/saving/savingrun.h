#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QList>
#include <QNetworkCookie>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "saving/numberedfiles.h"
#include "saving/pictureencoder.h"
#include "saving/savingoptions.h"
#include "saving/savingreport.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace vimbrel {

// How the pictures of the shown page are asked for: as the browser view asked for them.
struct SavingSource
{
    QString referrer; // the address of the page the pictures are on
    QString userAgent;
    std::function<QList<QNetworkCookie>(const QUrl &)> cookiesFor;
    // The page is a local file itself, so its file: pictures may be read.
    bool localFilesAllowed = false;
};

// One run of saving a page's pictures as numbered files. Pictures are fetched a few at a time
// and encoded off the UI thread, but written strictly in the page's order, so the files get
// exactly the numbers a one-at-a-time run would give them. A picture that cannot be obtained
// saves nothing and takes no number; a result under the smallest size kept is not written and
// its number goes to the next picture. If the folder cannot be written, the run stops.
//
// What a server sends is bounded: a picture larger than the decoder would take is abandoned as
// soon as its declared or received size says so, all pictures in hand at once hold no more than
// heldAtOnce bytes (the next picture to write may always go on, the others wait), and every
// fetch ends after a time of silence and after an overall deadline.
class SavingRun : public QObject
{
    Q_OBJECT
public:
    static constexpr int parallelFetches = 6;
    static constexpr qint64 defaultHeldAtOnce = 256LL * 1024 * 1024;
    static constexpr int defaultTimeoutMs = 30000;   // without a byte
    static constexpr int defaultDeadlineMs = 120000; // for one picture, however it trickles in
    // A file larger than what the decoder may allocate for a picture decodes to more than that.
    [[nodiscard]] static qint64 defaultLargestPicture();

    SavingRun(const QString &folder, SavingSource source, QObject *parent = nullptr);
    ~SavingRun() override;

    // Before start(): how many pictures are in hand at once (1: one after another), how long a
    // fetch may go without a byte and how long it may take in all, the largest picture and the
    // bytes all pictures in hand may hold, and how the results are kept.
    void setParallel(int fetches);
    void setTimeout(int ms);
    void setDeadline(int ms);
    void setLimits(qint64 largestPicture, qint64 heldAtOnce);
    void setOptions(const SavingOptions &options);

    // Saves the pictures at these addresses, in this order. Runs once.
    void start(const QStringList &addresses);
    // Ends the run now: fetches in flight are aborted, pictures being encoded are dropped, what
    // is ready in page order is still written. finished() follows before this returns.
    void stop();
    // As stop() but nothing more is written and finished() is not emitted.
    void abort();
    [[nodiscard]] bool isRunning() const { return m_started && !m_finished; }
    [[nodiscard]] const SavingReport &report() const { return m_report; }
    [[nodiscard]] QString folder() const { return m_files.folder(); }
    // The most bytes of pictures held at one time during the run.
    [[nodiscard]] qint64 mostHeld() const { return m_mostHeld; }

    // The bytes a data: address carries; nullopt when it is malformed.
    [[nodiscard]] static std::optional<QByteArray> dataAddressBytes(const QString &address);

Q_SIGNALS:
    // done pictures of total have been dealt with (saved, dropped, failed or skipped).
    void progress(int done, int total);
    void finished(const SavingReport &report);

private:
    enum class Outcome { Picture, Failed, Skipped };
    struct Result
    {
        Outcome outcome = Outcome::Failed;
        PictureEncoder::Saved saved;
        // A local file's permissions, which its copy does not go beyond.
        std::optional<QFileDevice::Permissions> permissions;
    };
    struct Loaded
    {
        QByteArray bytes;
        std::optional<QFileDevice::Permissions> permissions;
    };
    struct Fetch
    {
        QNetworkReply *reply = nullptr;
        QByteArray body;
    };
    // What the encoding threads share with the run; they outlive an aborted run.
    struct Shared;

    [[nodiscard]] bool canStart() const;
    void pump();
    void begin(int index);
    void fetch(int index, const QUrl &url);
    void drain(int index);
    void fetched(int index);
    void resumeFetches();
    void encode(int index, std::function<std::optional<Loaded>()> load);
    void arrived(int index, Result result);
    void commit();
    bool write(int index, const Result &result);
    void cancelInFlight();
    void finishIfDone();
    void end();
    [[nodiscard]] bool mayRead(int index) const;
    void setHeld(int index, qint64 bytes);

    NumberedFiles m_files;
    SavingSource m_source;
    SavingOptions m_options;
    QStringList m_addresses;
    QSet<QString> m_recorded; // origins the folder's files record (SkipSaved)
    SavingReport m_report;
    QNetworkAccessManager *m_network = nullptr;
    std::shared_ptr<Shared> m_shared;
    std::map<int, Fetch> m_fetches;
    std::map<int, Result> m_ready; // obtained but not yet written, by page position
    std::map<int, qint64> m_held;  // bytes of each picture in hand
    qint64 m_heldTotal = 0;
    qint64 m_mostHeld = 0;
    qint64 m_largest = 0;
    qint64 m_heldAtOnce = defaultHeldAtOnce;
    qint64 m_othersShare = 0; // what all pictures but the next to write may hold
    qint64 m_readBuffer = 0;  // what a fetch's own buffer holds before its server must wait
    int m_parallel = parallelFetches;
    int m_timeoutMs = defaultTimeoutMs;
    int m_deadlineMs = defaultDeadlineMs;
    int m_nextStart = 0;
    int m_nextCommit = 0;
    int m_inFlight = 0;
    bool m_started = false;
    bool m_stopping = false;
    bool m_pumping = false; // starting and writing; answers arriving meanwhile just queue
    bool m_finished = false;
};

} // namespace vimbrel
