#include "saving/savingrun.h"

#include <QFile>
#include <QImageReader>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>

#include <algorithm>

#include "platform/largeblocks.h"
#include "saving/localpicture.h"
#include "saving/originattributes.h"
#include "saving/picturerequest.h"

namespace vimbrel {

namespace {

bool isWebScheme(const QString &scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// What one read from a socket may bring beyond a reply's read buffer.
constexpr qint64 socketRead = 256 * 1024;

// One pool for all runs: a closed window's run leaves its last pictures to finish there
// without anyone waiting for them.
Q_GLOBAL_STATIC(QThreadPool, encoders)

} // namespace

struct SavingRun::Shared
{
    QMutex mutex;
    SavingRun *run = nullptr; // null once the run wants no more answers
};

qint64 SavingRun::defaultLargestPicture()
{
    const int limitMb = QImageReader::allocationLimit();
    return limitMb > 0 ? qint64(limitMb) * 1024 * 1024 : defaultHeldAtOnce / 2;
}

SavingRun::SavingRun(const QString &folder, SavingSource source, QObject *parent)
    : QObject(parent), m_files(folder), m_source(std::move(source)),
      m_network(new QNetworkAccessManager(this)), m_shared(std::make_shared<Shared>()),
      m_largest(defaultLargestPicture())
{
    m_shared->run = this;
}

SavingRun::~SavingRun()
{
    abort();
}

void SavingRun::setParallel(int fetches)
{
    m_parallel = std::clamp(fetches, 1, 64);
}

void SavingRun::setTimeout(int ms)
{
    m_timeoutMs = std::max(1, ms);
}

void SavingRun::setDeadline(int ms)
{
    m_deadlineMs = std::max(1, ms);
}

void SavingRun::setLimits(qint64 largestPicture, qint64 heldAtOnce)
{
    m_heldAtOnce = std::max<qint64>(1, heldAtOnce);
    m_largest = std::clamp<qint64>(largestPicture, 1, m_heldAtOnce);
}

void SavingRun::setOptions(const SavingOptions &options)
{
    m_options = options;
}

std::optional<QByteArray> SavingRun::dataAddressBytes(const QString &address)
{
    if (!address.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
        return std::nullopt;
    const qsizetype comma = address.indexOf(QLatin1Char(','));
    if (comma < 0)
        return std::nullopt;
    const QString header = address.mid(5, comma - 5);
    QByteArray payload = QByteArray::fromPercentEncoding(address.mid(comma + 1).toLatin1());
    if (!header.endsWith(QLatin1String(";base64"), Qt::CaseInsensitive))
        return payload;
    // Pages wrap long base64 text over lines; the blanks are no part of it.
    payload.removeIf([](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
    const auto decoded =
        QByteArray::fromBase64Encoding(payload, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return *decoded;
}

void SavingRun::start(const QStringList &addresses)
{
    if (m_started)
        return;
    m_started = true;
    m_addresses = addresses;
    m_report.total = int(addresses.size());
    // A fetch's own buffer stops its server when full, after one more read from the socket;
    // those buffers fit in the bound as well.
    m_readBuffer = std::clamp<qint64>(m_heldAtOnce / 64, 16 * 1024, 1024 * 1024);
    const qint64 buffers = m_parallel * (m_readBuffer + socketRead);
    m_othersShare = std::max<qint64>(0, m_heldAtOnce - m_largest - buffers);
    if (m_options.keepOriginal)
        m_files.setExtensions({QStringLiteral("jpg"), QStringLiteral("png"), QStringLiteral("gif"),
                               QStringLiteral("bmp"), QStringLiteral("tif"), QStringLiteral("webp"),
                               QStringLiteral("avif")});
    if (m_options.skipSaved)
        m_recorded = OriginAttributes::originsIn(m_files.folder());
    pump();
}

void SavingRun::stop()
{
    if (!isRunning())
        return;
    m_stopping = true;
    cancelInFlight();
    pump();
}

void SavingRun::abort()
{
    if (m_finished && !m_shared)
        return;
    m_stopping = true;
    m_finished = true;
    cancelInFlight();
    m_ready.clear();
    m_held.clear();
    m_heldTotal = 0;
}

void SavingRun::cancelInFlight()
{
    if (m_shared) {
        // Pictures being encoded finish on their threads; their answers go nowhere.
        QMutexLocker lock(&m_shared->mutex);
        m_shared->run = nullptr;
    }
    m_shared.reset();
    auto fetches = std::move(m_fetches);
    m_fetches.clear();
    for (auto &[index, fetch] : fetches) {
        fetch.reply->disconnect(this);
        fetch.reply->abort();
        fetch.reply->deleteLater();
    }
    m_inFlight = 0;
    for (auto it = m_held.begin(); it != m_held.end();) {
        if (m_ready.count(it->first)) {
            ++it;
        } else {
            m_heldTotal -= it->second;
            it = m_held.erase(it);
        }
    }
}

bool SavingRun::canStart() const
{
    // A few pictures at a time, and never far ahead of the next one to write, so a slow early
    // picture cannot make the finished ones behind it pile up.
    return !m_stopping && !m_finished && m_inFlight < m_parallel && m_nextStart < m_report.total &&
           m_nextStart < m_nextCommit + 2 * m_parallel;
}

void SavingRun::pump()
{
    if (m_pumping || m_finished)
        return;
    m_pumping = true;
    bool started = false;
    do {
        commit();
        resumeFetches();
        started = false;
        while (canStart()) {
            begin(m_nextStart++);
            started = true;
        }
    } while (started && !m_finished);
    m_pumping = false;
    finishIfDone();
}

void SavingRun::begin(int index)
{
    ++m_inFlight;
    const QString &address = m_addresses.at(index);
    if (m_options.skipSaved && m_recorded.contains(address)) {
        arrived(index, Result{Outcome::Skipped, {}, {}});
        return;
    }
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    const qint64 largest = m_largest;
    if (isWebScheme(scheme)) {
        fetch(index, url);
    } else if (scheme == QLatin1String("data")) {
        encode(index, [address, largest]() -> std::optional<Loaded> {
            std::optional<QByteArray> bytes = dataAddressBytes(address);
            if (!bytes || bytes->size() > largest)
                return std::nullopt;
            return Loaded{std::move(*bytes), {}};
        });
    } else if (scheme == QLatin1String("file") && m_source.localFilesAllowed) {
        encode(index, [path = url.toLocalFile(), largest]() -> std::optional<Loaded> {
            std::optional<LocalPicture> file = LocalPicture::read(path, largest);
            if (!file)
                return std::nullopt;
            return Loaded{std::move(file->bytes), file->permissions};
        });
    } else {
        arrived(index, {}); // script, blob and other addresses give no picture
    }
}

void SavingRun::fetch(int index, const QUrl &url)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(m_timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    const QUrl page(m_source.referrer);
    if (const QByteArray referrer = PictureRequest::referrer(page, url); !referrer.isEmpty())
        request.setRawHeader("Referer", referrer);
    if (!m_source.userAgent.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, m_source.userAgent);
    if (m_source.cookiesFor) {
        const QList<QNetworkCookie> cookies =
            PictureRequest::cookiesToSend(m_source.cookiesFor(url), page, url);
        if (!cookies.isEmpty())
            request.setHeader(QNetworkRequest::CookieHeader, QVariant::fromValue(cookies));
    }
    QNetworkReply *reply = m_network->get(request);
    reply->setReadBufferSize(m_readBuffer);
    m_fetches[index] = Fetch{reply, {}};
    QTimer::singleShot(m_deadlineMs, reply, &QNetworkReply::abort);
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        // Too large as declared: not a byte of it is wanted.
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_largest)
            reply->abort();
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, index] { drain(index); });
    connect(reply, &QNetworkReply::finished, this, [this, index] { fetched(index); });
}

bool SavingRun::mayRead(int index) const
{
    // The next picture to write may always go on (up to the largest picture), so the run never
    // waits on itself; the others share what is left.
    if (index == m_nextCommit)
        return true;
    const auto first = m_held.find(m_nextCommit);
    const qint64 others = m_heldTotal - (first == m_held.end() ? 0 : first->second);
    return others < m_othersShare;
}

void SavingRun::setHeld(int index, qint64 bytes)
{
    qint64 &held = m_held[index];
    m_heldTotal += bytes - held;
    held = bytes;
    if (bytes == 0)
        m_held.erase(index);
    m_mostHeld = std::max(m_mostHeld, m_heldTotal);
}

void SavingRun::drain(int index)
{
    const auto it = m_fetches.find(index);
    if (it == m_fetches.end())
        return;
    Fetch &fetch = it->second;
    QNetworkReply *reply = fetch.reply;
    // What the reply holds is counted with what was taken from it: both are in memory. Left in
    // the reply, the bytes hold back its server once its buffer is full.
    for (qint64 available = reply->bytesAvailable(); available > 0;
         available = reply->bytesAvailable()) {
        if (fetch.body.size() + available > m_largest) {
            reply->abort(); // finished() comes now and takes the fetch away
            return;
        }
        if (!mayRead(index))
            break;
        fetch.body.append(reply->read(available));
    }
    setHeld(index, fetch.body.size() + reply->bytesAvailable());
}

void SavingRun::resumeFetches()
{
    QList<int> waiting;
    for (const auto &[index, fetch] : m_fetches) {
        if (fetch.reply->bytesAvailable() > 0)
            waiting.append(index);
    }
    for (const int index : waiting)
        drain(index);
}

void SavingRun::fetched(int index)
{
    auto node = m_fetches.extract(index);
    if (node.empty())
        return;
    Fetch fetch = std::move(node.mapped());
    QNetworkReply *reply = fetch.reply;
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // An error page is no picture, whatever its bytes look like. Otherwise the bytes decide,
    // not the type they are served as: the browser shows a picture sent as text/plain.
    bool ok = reply->error() == QNetworkReply::NoError && status >= 200 && status <= 299;
    if (ok) {
        // What is left in the reply's own buffer is in memory already; it comes along.
        ok = fetch.body.size() + reply->bytesAvailable() <= m_largest;
        fetch.body.append(reply->readAll());
    }
    if (!ok) {
        setHeld(index, 0);
        arrived(index, {});
        return;
    }
    setHeld(index, fetch.body.size());
    encode(index, [bytes = std::move(fetch.body)]() -> std::optional<Loaded> {
        return Loaded{bytes, {}};
    });
}

void SavingRun::encode(int index, std::function<std::optional<Loaded>()> load)
{
    encoders()->start(
        [shared = m_shared, index, load = std::move(load), keep = m_options.keepOriginal] {
            {
                QMutexLocker lock(&shared->mutex);
                if (!shared->run)
                    return;
            }
            Result result;
            if (const std::optional<Loaded> loaded = load()) {
                result.saved = PictureEncoder::forSaving(loaded->bytes, keep);
                result.permissions = loaded->permissions;
                result.outcome = result.saved.bytes.isEmpty() ? Outcome::Failed : Outcome::Picture;
            }
            QMutexLocker lock(&shared->mutex);
            if (SavingRun *run = shared->run) {
                QMetaObject::invokeMethod(
                    run, [run, index, result = std::move(result)] { run->arrived(index, result); },
                    Qt::QueuedConnection);
            }
        });
}

void SavingRun::arrived(int index, Result result)
{
    if (m_finished)
        return;
    --m_inFlight;
    setHeld(index, result.saved.bytes.size());
    m_ready[index] = std::move(result);
    pump();
}

void SavingRun::commit()
{
    while (!m_finished && !m_ready.empty() && m_ready.begin()->first == m_nextCommit) {
        const Result result = std::move(m_ready.begin()->second);
        m_ready.erase(m_ready.begin());
        setHeld(m_nextCommit, 0);
        if (result.outcome == Outcome::Failed) {
            ++m_report.failed;
        } else if (result.outcome == Outcome::Skipped) {
            ++m_report.skipped;
        } else if (result.saved.bytes.size() < m_options.minBytes) {
            ++m_report.small;
        } else if (!write(m_nextCommit, result)) {
            // The folder is gone, read-only or full: nothing further can be saved.
            cancelInFlight();
            end();
            return;
        }
        ++m_nextCommit;
        Q_EMIT progress(m_report.done(), m_report.total);
    }
}

bool SavingRun::write(int index, const Result &result)
{
    NumberedFiles::Claim claim = m_files.claim(result.saved.extension);
    if (!claim.file) {
        m_report.writeError = claim.error;
        return false;
    }
    QFile &file = *claim.file;
    const auto fail = [&] {
        m_report.writeError = file.errorString();
        m_files.release(claim); // no partial picture stays behind
        return false;
    };
    // A copy of a local file is readable by no one its original keeps out.
    if (result.permissions && !file.setPermissions(file.permissions() & *result.permissions))
        return fail();
    const QByteArray &bytes = result.saved.bytes;
    // A full disk first takes part of a write without saying why; the rest gets the reason.
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return fail();
        written += n;
    }
    if (!file.flush())
        return fail();
    OriginAttributes::record(file, m_addresses.at(index), m_source.referrer);
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fail();
    ++m_report.saved;
    return true;
}

void SavingRun::finishIfDone()
{
    if (m_finished || !m_started || m_pumping || m_inFlight > 0)
        return;
    if (m_nextStart < m_report.total && !m_stopping)
        return;
    m_report.stopped = m_stopping && m_report.done() < m_report.total;
    end();
}

void SavingRun::end()
{
    m_stopping = true;
    m_finished = true;
    m_ready.clear();
    m_held.clear();
    m_heldTotal = 0;
    // The buffers of the last fetches go with the event loop's next turn; then the heap's free
    // pages go back.
    QTimer::singleShot(0, &giveBackFreeMemory);
    Q_EMIT finished(m_report);
}

} // namespace vimbrel
