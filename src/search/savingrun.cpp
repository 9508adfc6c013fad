#include "search/savingrun.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QUrl>

#include <algorithm>

#include "search/originattributes.h"
#include "search/pictureencoder.h"

namespace vimbrel {

namespace {

bool isWebScheme(const QString &scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace

SavingRun::SavingRun(const QString &folder, SavingSource source, QObject *parent)
    : QObject(parent), m_files(folder), m_source(std::move(source)),
      m_network(new QNetworkAccessManager(this))
{
    m_pool.setMaxThreadCount(std::max(1, std::min(QThread::idealThreadCount(), m_parallel)));
}

SavingRun::~SavingRun()
{
    abort();
}

void SavingRun::setParallel(int fetches)
{
    m_parallel = std::clamp(fetches, 1, 64);
    m_pool.setMaxThreadCount(std::max(1, std::min(QThread::idealThreadCount(), m_parallel)));
}

void SavingRun::setTimeout(int ms)
{
    m_timeoutMs = std::max(1, ms);
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
    pump();
}

void SavingRun::stop()
{
    m_stopping = true;
    finishIfDone();
}

void SavingRun::abort()
{
    m_stopping = true;
    m_finished = true;
    const auto replies = m_replies;
    m_replies.clear();
    for (QNetworkReply *reply : replies) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    m_pool.clear();
    // Pictures being encoded finish on their own; their answers are dropped on arrival.
    m_pool.waitForDone();
}

bool SavingRun::canStart() const
{
    // A few pictures at a time, and never far ahead of the next one to write, so a slow early
    // picture cannot make the finished ones behind it pile up.
    return !m_stopping && m_inFlight < m_parallel && m_nextStart < m_report.total &&
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
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    if (isWebScheme(scheme)) {
        fetch(index, url);
    } else if (scheme == QLatin1String("data")) {
        encode(index, [address] { return dataAddressBytes(address).value_or(QByteArray()); });
    } else if (scheme == QLatin1String("file") && m_source.localFilesAllowed) {
        encode(index, [this, address] { return readLocal(address); });
    } else {
        arrived(index, {}); // script, blob and other addresses give no picture
    }
}

QByteArray SavingRun::readLocal(const QString &address) const
{
    QFile file(QUrl(address).toLocalFile());
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestFetched)
        return {};
    return file.readAll();
}

void SavingRun::fetch(int index, const QUrl &url)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(m_timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    const QUrl referrer(m_source.referrer);
    if (isWebScheme(referrer.scheme().toLower()))
        request.setRawHeader("Referer",
                             referrer.toEncoded(QUrl::RemoveUserInfo | QUrl::RemoveFragment));
    if (!m_source.userAgent.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, m_source.userAgent);
    if (m_source.cookiesFor) {
        const QList<QNetworkCookie> cookies = m_source.cookiesFor(url);
        if (!cookies.isEmpty())
            request.setHeader(QNetworkRequest::CookieHeader, QVariant::fromValue(cookies));
    }
    QNetworkReply *reply = m_network->get(request);
    m_replies.insert(index, reply);
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64) {
        if (received > largestFetched)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, index] {
        m_replies.remove(index);
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
        // An error page is no picture, whatever its bytes look like.
        if (reply->error() != QNetworkReply::NoError || status < 200 || status > 299 ||
            type.startsWith(QLatin1String("text/"), Qt::CaseInsensitive)) {
            arrived(index, {});
            return;
        }
        encode(index, [bytes = reply->readAll()] { return bytes; });
    });
}

void SavingRun::encode(int index, std::function<QByteArray()> load)
{
    m_pool.start([this, index, load = std::move(load)] {
        QByteArray jpeg = PictureEncoder::toJpeg(load());
        QMetaObject::invokeMethod(
            this, [this, index, jpeg = std::move(jpeg)] { arrived(index, jpeg); },
            Qt::QueuedConnection);
    });
}

void SavingRun::arrived(int index, QByteArray jpeg)
{
    if (m_finished)
        return;
    --m_inFlight;
    m_ready[index] = Result{std::move(jpeg)};
    pump();
}

void SavingRun::commit()
{
    while (!m_finished && !m_ready.empty() && m_ready.begin()->first == m_nextCommit) {
        const QByteArray jpeg = std::move(m_ready.begin()->second.jpeg);
        m_ready.erase(m_ready.begin());
        if (jpeg.isEmpty()) {
            ++m_report.failed;
        } else if (jpeg.size() < smallestKept) {
            ++m_report.small;
        } else if (!write(m_nextCommit, jpeg)) {
            // The folder is gone, read-only or full: nothing further can be saved.
            abort();
            Q_EMIT finished(m_report);
            return;
        }
        ++m_nextCommit;
        Q_EMIT progress(m_report.done(), m_report.total);
    }
}

bool SavingRun::write(int index, const QByteArray &jpeg)
{
    NumberedFiles::Claim claim = m_files.claim();
    if (!claim.file) {
        m_report.writeError = claim.error;
        return false;
    }
    QFile &file = *claim.file;
    if (file.write(jpeg) != jpeg.size() || !file.flush()) {
        m_report.writeError = file.errorString();
        m_files.release(claim); // no partial picture stays behind
        return false;
    }
    OriginAttributes::record(file, m_addresses.at(index), m_source.referrer);
    file.close();
    if (file.error() != QFileDevice::NoError) {
        m_report.writeError = file.errorString();
        m_files.release(claim);
        return false;
    }
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
    m_finished = true;
    Q_EMIT finished(m_report);
}

} // namespace vimbrel
