#include "imageservice/imageservice.h"

#include <QBuffer>
#include <QHostAddress>
#include <QHttpServerRequest>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>

namespace vimbrel {

namespace {

QByteArray page(const QString &title, const QString &body)
{
    return (QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>") +
            title.toHtmlEscaped() + QStringLiteral("</title></head><body>\n") + body +
            QStringLiteral("</body></html>\n"))
        .toUtf8();
}

const QByteArray Html = QByteArrayLiteral("text/html; charset=utf-8");

// The service's own escaping of an address carried inside a result link: ":" and "/" as upper
// case escapes, like the public service does.
QString carried(const QString &address)
{
    QString out = address;
    out.replace(QLatin1String(":"), QLatin1String("%3A"));
    out.replace(QLatin1String("/"), QLatin1String("%2F"));
    return out;
}

const char *reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    default:
        return "Bad Request";
    }
}

} // namespace

ImageService::ImageService(QObject *parent) : QAbstractHttpServer(parent) {}

ImageService::~ImageService() = default;

quint16 ImageService::listen(quint16 port)
{
    m_port = QAbstractHttpServer::listen(QHostAddress::LocalHost, port);
    return m_port;
}

void ImageService::setDelay(int ms)
{
    m_delay = std::max(0, ms);
}

QString ImageService::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

QStringList ImageService::requestedWords() const
{
    return m_words;
}

QByteArray ImageService::lastHeader(const QString &path, const QByteArray &name) const
{
    for (const auto &[key, value] : m_headers.value(path)) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool ImageService::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    const QUrl url = request.url();
    m_headers.insert(url.path(), request.headers());
    int delay = m_delay;
    if (url.path() == QLatin1String("/slow"))
        delay += 1500;
    // A picture may ask for a late answer of its own ("late=ms").
    delay += std::clamp(QUrlQuery(url).queryItemValue(QStringLiteral("late")).toInt(), 0, 3600000);
    send(socket, answer(url), delay);
    return true;
}

void ImageService::missingHandler(const QHttpServerRequest &, QTcpSocket *socket)
{
    send(socket, {404, "text/plain", "missing\n"}, 0);
}

void ImageService::send(QTcpSocket *socket, const Answer &answer, int delay)
{
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' +
                       reason(answer.status) + "\r\nContent-Type: " + answer.type +
                       "\r\nContent-Length: " + QByteArray::number(answer.body.size()) +
                       "\r\nCache-Control: no-store\r\n\r\n" + answer.body;
    QPointer<QTcpSocket> target(socket);
    auto write = [target, bytes] {
        if (target)
            target->write(bytes);
    };
    if (delay > 0)
        QTimer::singleShot(delay, socket, write);
    else
        write();
}

ImageService::Answer ImageService::answer(const QUrl &url)
{
    const QString path = url.path();
    const QUrlQuery query(url);
    const QString self = QStringLiteral("http://") + host();

    if (path == QLatin1String("/")) {
        return {200, Html,
                page(QStringLiteral("Image search"),
                     QStringLiteral("<form action=\"/i\"><input type=hidden name=tn "
                                    "value=baiduimage><input name=word id=word> "
                                    "<input type=submit value=\"Search\"></form>\n"
                                    "<p><a href=\"/gallery/plain\">Gallery</a></p>\n"))};
    }

    if (path == QLatin1String("/i") &&
        query.queryItemValue(QStringLiteral("tn")) == QLatin1String("baiduimage")) {
        const QString word = query.queryItemValue(QStringLiteral("word"), QUrl::FullyDecoded);
        m_words.append(word);
        const QString link = self + QStringLiteral("/i?ct=503316480&z=0&tn=baiduimagedetail"
                                                   "&ipn=d&objurl=");
        QString body = QStringLiteral("<h1>") + word.toHtmlEscaped() + QStringLiteral("</h1>\n");
        auto result = [&](const QString &carriedAddress, int n) {
            body += QStringLiteral("<a href=\"") + link + carriedAddress +
                    QStringLiteral("\"><img src=\"/pic/t%1.jpg?w=80&amp;h=60\"></a>\n").arg(n);
        };
        const QString pic = self + QStringLiteral("/pic/r");
        for (int n = 0; n < 6; ++n)
            result(carried(pic + QString::number(n) + QStringLiteral(".jpg")), n);
        // Not taken: other extensions, parameters after ".jpg", an upper-case extension.
        result(carried(pic + QStringLiteral("6.JPG")), 6);
        result(carried(pic + QStringLiteral("7.jpeg")), 7);
        result(carried(pic + QStringLiteral("8.jpg")) + QStringLiteral("%3Fw%3D90"), 8);
        result(carried(pic + QStringLiteral("9.jpg")) + QStringLiteral("&fr=1"), 9);
        body += QStringLiteral("<p><a href=\"/\">Home</a> <a href=\"/gallery/plain\">Gallery</a> "
                               "<a href=\"/i?tn=baiduimage&amp;pn=20&amp;word=") +
                QString::fromLatin1(QUrl::toPercentEncoding(word)) +
                QStringLiteral("\">Next</a></p>\n");
        return {200, Html, page(word + QStringLiteral(" - Image search"), body)};
    }

    if (path == QLatin1String("/gallery/plain")) {
        return {200, Html,
                page(QStringLiteral("Plain gallery"),
                     QStringLiteral("<img src=\"/pic/a.jpg\">\n"
                                    "<img src=\"/pic/a.jpg\">\n"
                                    "<img src=\"/pic/b.gif\">\n"
                                    "<img src=\"/pic/c.GIF\">\n"
                                    "<img src=\"/pic/d.png?w=100&amp;h=80\">\n"
                                    "<img src=\"/pic/e\">\n"
                                    "<img "
                                    "src=\"data:image/gif;base64,R0lGODlhAQABAIAAAP///"
                                    "wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==\">\n"
                                    "<img loading=\"lazy\" src=\"/pic/f.jpeg\">\n"
                                    "<p><a href=\"/gallery/many?n=3\" target=\"_blank\">More</a> "
                                    "<a href=\"/pic/a.jpg\">Picture</a></p>\n"))};
    }

    if (path == QLatin1String("/gallery/many")) {
        const int n = std::clamp(query.queryItemValue(QStringLiteral("n")).toInt(), 0, 20000);
        QString body;
        body.reserve(n * 56);
        for (int i = 0; i < n; ++i)
            body += QStringLiteral("<img loading=\"lazy\" src=\"/pic/m%1.jpg?w=40&amp;h=30\">\n")
                        .arg(i);
        return {200, Html, page(QStringLiteral("%1 pictures").arg(n), body)};
    }

    if (path == QLatin1String("/gallery/hostile")) {
        return {200, Html,
                page(QStringLiteral("Hostile gallery"),
                     QStringLiteral("<img src='data:image/svg+xml,\"><script>document.title=\"ran\""
                                    "</script><img src=x onerror=\"document.title=`ran`\">'>\n"
                                    "<img src=\"javascript:document.title='ran'\">\n"
                                    "<img src=\"/pic/ok.jpg\">\n"
                                    "<a href=\"javascript:document.title='ran'\">script</a>\n"
                                    "<a href=\"vbscript:msgbox(1)\">old script</a>\n"))};
    }

    if (path == QLatin1String("/gallery/mixed")) {
        // Everything a saving run meets on a real page, in a known order.
        return {200, Html,
                page(QStringLiteral("Mixed gallery"),
                     QStringLiteral("<img src=\"/pic/big1.jpg?w=800&amp;h=600&amp;noise=1\">\n"
                                    "<img src=\"/pic/tiny.jpg?w=40&amp;h=30\">\n"
                                    "<img src=\"/pic/clear.png?w=400&amp;h=300&amp;noise=1&amp;"
                                    "alpha=1\">\n"
                                    "<img src=\"/pic/turned.jpg?w=400&amp;h=200&amp;noise=1&amp;"
                                    "o=6\">\n"
                                    "<img src=\"/pic/moving.gif\">\n"
                                    "<img src=\"/missing.jpg\">\n"
                                    "<img src=\"/gallery/plain\">\n"
                                    "<img src=\"/pic/late.jpg?w=600&amp;h=400&amp;noise=1&amp;"
                                    "late=800\">\n"
                                    "<img src=\"/pic/big2.jpg?w=640&amp;h=480&amp;noise=1\">\n"))};
    }

    if (path == QLatin1String("/notahtml"))
        return {200, "text/plain; charset=utf-8",
                "<img src=\"/pic/a.jpg\"> is text here, not a picture\n"};

    if (path == QLatin1String("/slow"))
        return {200, Html,
                page(QStringLiteral("Slow"), QStringLiteral("<img src=\"/pic/s.jpg\">\n"))};

    if (path.startsWith(QLatin1String("/pic/"))) {
        const int w = query.hasQueryItem(QStringLiteral("w"))
                          ? query.queryItemValue(QStringLiteral("w")).toInt()
                          : 160;
        const int h = query.hasQueryItem(QStringLiteral("h"))
                          ? query.queryItemValue(QStringLiteral("h")).toInt()
                          : 120;
        if (path == QLatin1String("/pic/moving.gif"))
            return {200, "image/gif", animatedGif()};
        Look look;
        look.noise = query.hasQueryItem(QStringLiteral("noise"));
        look.alpha = query.hasQueryItem(QStringLiteral("alpha"));
        look.orientation = query.queryItemValue(QStringLiteral("o")).toInt();
        return picture(path.mid(5), std::clamp(w, 1, 4000), std::clamp(h, 1, 4000), look);
    }

    return {404, "text/plain", "missing\n"};
}

QByteArray ImageService::animatedGif()
{
    // Two frames of one pixel: red, then blue.
    return QByteArray::fromHex("474946383961010001008000"
                               "00ff00000000ff"
                               "21f904000a0000002c00000000010001000002024401"
                               "00"
                               "21f904000a0000002c0000000001000100000202"
                               "4c0100"
                               "3b");
}

QByteArray ImageService::withOrientation(const QByteArray &jpeg, int orientation)
{
    // An EXIF block holding only the orientation tag, right after the start marker.
    QByteArray exif = QByteArray::fromHex("457869660000"
                                          "4d4d002a00000008"
                                          "0001"
                                          "011200030000000100") +
                      char(orientation) +
                      QByteArray::fromHex("0000"
                                          "00000000");
    const quint16 length = quint16(exif.size() + 2);
    const QByteArray segment =
        QByteArray::fromHex("ffe1") + char(length >> 8) + char(length & 0xff) + exif;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

ImageService::Answer ImageService::picture(const QString &name, int width, int height,
                                           const Look &look)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : name.mid(dot + 1).toLower();
    QByteArray format = "png";
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        format = "jpeg";
    else if (ext == QLatin1String("gif"))
        format = QImageWriter::supportedImageFormats().contains("gif") ? "gif" : "png";
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return {404, "text/plain", "missing\n"};

    const QString key = name + QLatin1Char('@') + QString::number(width) + QLatin1Char('x') +
                        QString::number(height) + QLatin1Char('/') + QString::number(look.noise) +
                        QString::number(look.alpha) + QString::number(look.orientation);
    auto cached = m_pictures.constFind(key);
    if (cached == m_pictures.constEnd()) {
        // A colour of the name's own and a band across, so pictures tell apart at a glance.
        const uint salt = qHash(name);
        QImage image(width, height, look.alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        image.fill(QColor::fromHsv(int(salt % 360), 140, 220));
        QPainter painter(&image);
        painter.fillRect(0, height / 3, width, std::max(1, height / 3),
                         QColor::fromHsv(int((salt / 360) % 360), 200, 120));
        if (look.noise) {
            // Pixels that no encoder can squeeze much, and a red left quarter to tell which way
            // up a picture came out.
            painter.end();
            quint32 state = salt | 1u;
            for (int y = 0; y < height; ++y) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = width / 4; x < width; ++x) {
                    state ^= state << 13;
                    state ^= state >> 17;
                    state ^= state << 5;
                    line[x] = state | 0xff000000u;
                }
                std::fill(line, line + width / 4, qRgb(255, 0, 0));
            }
            painter.begin(&image);
        }
        if (look.alpha) {
            // The left half is see-through.
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.fillRect(0, 0, width / 2, height, Qt::transparent);
        }
        painter.end();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format.constData());
        if (look.orientation > 1 && format == "jpeg")
            bytes = withOrientation(bytes, look.orientation);
        if (m_pictures.size() > 20000)
            m_pictures.clear();
        cached = m_pictures.insert(key, bytes);
    }
    const QByteArray type = format == "jpeg"  ? "image/jpeg"
                            : format == "gif" ? "image/gif"
                                              : "image/png";
    return {200, type, *cached};
}

} // namespace vimbrel
