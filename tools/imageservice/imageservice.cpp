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

// Picture forms of real pages: the markup, the path of the address the picture stands for
// (nothing when it is not taken), and that path with linked originals when it differs. The page
// has <base href="/pic/">.
struct PictureForm
{
    const char *markup;
    const char *path;
    const char *linkedPath;
};

const PictureForm PictureForms[] = {
    {"<img src=\"/pic/plain.jpg\">", "/pic/plain.jpg", nullptr},
    {"<img src=\"rel.jpg\">", "/pic/rel.jpg", nullptr},
    {"<img src=\"/pic/ent.jpg?w=30&amp;h=20&#38;x=%E4%B8%AD\">",
     "/pic/ent.jpg?w=30&h=20&x=%E4%B8%AD", nullptr},
    // srcset by width, by density, with commas inside an address
    {"<img src=\"/pic/w-small.jpg\" srcset=\"/pic/w-small.jpg 320w, /pic/w-large.jpg 1024w, "
     "/pic/w-mid.jpg 640w\" sizes=\"100px\">",
     "/pic/w-large.jpg", nullptr},
    {"<img src=\"/pic/x1.jpg\" srcset=\"/pic/x2.jpg 2x, /pic/x15.jpg 1.5x\">", "/pic/x2.jpg",
     nullptr},
    {"<img src=\"/pic/c.jpg\" srcset=\"/pic/c.jpg?t=w_300,h_200 300w, /pic/c.jpg?t=w_900,h_600 "
     "900w\">",
     "/pic/c.jpg?t=w_900,h_600", nullptr},
    // <picture>: the first source the browser can show
    {"<picture><source type=\"image/jxl\" srcset=\"/pic/p.jxl\"><source media=\"(max-width: 1px)\" "
     "srcset=\"/pic/narrow.jpg\"><source type=\"image/avif\" srcset=\"/pic/p.avif 1x, /pic/p2.avif "
     "2x\"><source type=\"image/webp\" srcset=\"/pic/p.webp\"><img src=\"/pic/p.jpg\"></picture>",
     "/pic/p2.avif", nullptr},
    {"<picture><source type=\"image/webp\" srcset=\"/pic/q-400.webp 400w, /pic/q-800.webp 800w\">"
     "<img src=\"/pic/q.jpg\"></picture>",
     "/pic/q-800.webp", nullptr},
    // lazysizes, jQuery lazyload, WP Rocket, Zhihu, Taobao, Discuz
    {"<img class=\"lazyload\" src=\"data:image/gif;base64,R0lGODlhAQABAAAAACw=\" "
     "data-src=\"/pic/lazy.jpg\" data-srcset=\"/pic/lazy-400.jpg 400w, /pic/lazy-800.jpg 800w\">",
     "/pic/lazy-800.jpg", nullptr},
    {"<picture><source type=\"image/webp\" data-srcset=\"/pic/lp-1x.webp 1x, /pic/lp-2x.webp 2x\">"
     "<img class=\"lazyload\" src=\"data:,\" data-src=\"/pic/lp.jpg\"></picture>",
     "/pic/lp-2x.webp", nullptr},
    {"<img class=\"lazy\" src=\"/pic/grey.gif\" data-original=\"/pic/orig.jpg\">", "/pic/orig.jpg",
     nullptr},
    {"<img src=\"data:image/svg+xml,%3Csvg%20xmlns='http://www.w3.org/2000/svg'%3E%3C/svg%3E\" "
     "data-lazy-src=\"/pic/wp.jpg\" data-lazy-srcset=\"/pic/wp-300.jpg 300w, /pic/wp-1024.jpg "
     "1024w\">",
     "/pic/wp-1024.jpg", nullptr},
    {"<img src=\"data:image/svg+xml;utf8,&lt;svg xmlns='http://www.w3.org/2000/svg'/&gt;\" "
     "class=\"content_image lazy\" data-original=\"/pic/zh_r.jpg\" "
     "data-actualsrc=\"/pic/zh_b.jpg\">",
     "/pic/zh_r.jpg", nullptr},
    {"<img src=\"/pic/s.gif\" data-ks-lazyload=\"/pic/tb.jpg\">", "/pic/tb.jpg", nullptr},
    {"<img id=\"aimg_1\" src=\"/pic/none.gif\" file=\"/pic/dz.jpg\" zoomfile=\"/pic/dz.jpg\">",
     "/pic/dz.jpg", nullptr},
    {"<img src=\"data:,\" data-src=\"lazyrel.jpg\">", "/pic/lazyrel.jpg", nullptr},
    // already swapped in by the script: what it shows is the real thing
    {"<img src=\"/pic/done.jpg\" data-src=\"/pic/done.jpg\" srcset=\"/pic/done-2x.jpg 2x\">",
     "/pic/done-2x.jpg", nullptr},
    // lazy-loaded with a copy for browsers without script: one picture
    {"<img class=\"lazyload\" data-src=\"/pic/ns.jpg\"><noscript><img src=\"/pic/ns.jpg\">"
     "</noscript>",
     "/pic/ns.jpg", nullptr},
    // no address at all, and a GIF: not taken
    {"<img src=\"\"><img alt=\"none\"><img srcset=\"\">", nullptr, nullptr},
    {"<img src=\"/pic/anim.gif\">", nullptr, nullptr},
    // thumbnails linked to their originals
    {"<a href=\"/pic/full.jpg\"><img src=\"/pic/thumb.jpg\"></a>", "/pic/thumb.jpg",
     "/pic/full.jpg"},
    {"<a href=\"/pic/FULL2.WEBP?x=1\"><span><img src=\"/pic/thumb2.jpg\"></span></a>",
     "/pic/thumb2.jpg", "/pic/FULL2.WEBP?x=1"},
    {"<a href=\"/gallery/plain\"><img src=\"/pic/thumb3.jpg\"></a>", "/pic/thumb3.jpg", nullptr},
    {"<a href=\"/pic/next.jpg\">next</a> <img src=\"/pic/after.jpg\">", "/pic/after.jpg", nullptr},
    {"<img src=\"/pic/plain.jpg\">", "/pic/plain.jpg", nullptr},
};

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
    ++m_requests;
    m_headers.insert(url.path(), request.headers());
    int delay = m_delay;
    if (url.path() == QLatin1String("/slow"))
        delay += 1500;
    const QUrlQuery query(url);
    // A picture may ask for a late answer of its own ("late=ms").
    delay += std::clamp(query.queryItemValue(QStringLiteral("late")).toInt(), 0, 3600000);
    // Any answer may stop after its first bytes and never end ("stall=bytes").
    const qsizetype stall = query.hasQueryItem(QStringLiteral("stall"))
                                ? std::max(0, query.queryItemValue(QStringLiteral("stall")).toInt())
                                : -1;
    send(socket, answer(url), delay, stall);
    return true;
}

void ImageService::missingHandler(const QHttpServerRequest &, QTcpSocket *socket)
{
    send(socket, {404, "text/plain", "missing\n"}, 0);
}

void ImageService::send(QTcpSocket *socket, const Answer &answer, int delay, qsizetype stall)
{
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' +
                       reason(answer.status) + "\r\nContent-Type: " + answer.type +
                       "\r\nContent-Length: " + QByteArray::number(answer.body.size()) +
                       "\r\nCache-Control: no-store\r\n\r\n" +
                       (stall >= 0 ? answer.body.left(stall) : answer.body);
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
        // "rich": every picture as today's pages write them, with a srcset or lazy-loaded.
        const bool rich = query.hasQueryItem(QStringLiteral("rich"));
        QString body;
        body.reserve(n * (rich ? 200 : 56));
        for (int i = 0; i < n; ++i) {
            if (!rich) {
                body +=
                    QStringLiteral("<img loading=\"lazy\" src=\"/pic/m%1.jpg?w=40&amp;h=30\">\n")
                        .arg(i);
            } else if (i % 2 == 0) {
                body +=
                    QStringLiteral("<img src=\"/pic/m%1.jpg?w=40&amp;h=30\" srcset=\"/pic/m%1.jpg"
                                   "?w=40&amp;h=30 40w, /pic/m%1.jpg?w=80&amp;h=60 80w\" "
                                   "sizes=\"40px\">\n")
                        .arg(i);
            } else {
                body +=
                    QStringLiteral("<img class=\"lazyload\" src=\"data:image/gif;base64,R0lGODlh"
                                   "AQABAAAAACw=\" data-src=\"/pic/m%1.jpg?w=40&amp;h=30\" "
                                   "data-srcset=\"/pic/m%1.jpg?w=40&amp;h=30 1x, /pic/m%1.jpg?"
                                   "w=80&amp;h=60 2x\">\n")
                        .arg(i);
            }
        }
        return {200, Html, page(QStringLiteral("%1 pictures").arg(n), body)};
    }

    if (path == QLatin1String("/gallery/stuck")) {
        // One picture never arrives, so the page never finishes loading, and a script keeps
        // adding pictures.
        return {200, Html,
                page(QStringLiteral("Stuck gallery"),
                     QStringLiteral("<img src=\"/pic/s0.jpg?w=60&amp;h=40\">\n"
                                    "<img src=\"/pic/s1.jpg?w=60&amp;h=40&amp;late=3600000\">\n"
                                    "<img src=\"/pic/s2.jpg?w=60&amp;h=40\">\n"
                                    "<img alt=\"no source\">\n"
                                    "<script>var added = 0; setInterval(function () {"
                                    " if (added < 100) { var i = new Image(); i.src ="
                                    " '/pic/added' + added++ + '.jpg?w=20&h=20';"
                                    " document.body.appendChild(i); } }, 50);</script>\n"))};
    }

    if (path == QLatin1String("/gallery/forms")) {
        // Pictures as real pages write them, with the address each stands for in its title.
        return {200, Html, formsPage()};
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

QByteArray ImageService::formsPage()
{
    QByteArray html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><base href=\"/pic/\">"
                      "<title>Picture forms</title></head><body>\n";
    for (const PictureForm &form : PictureForms)
        html += QByteArray("<div>") + form.markup + "</div>\n";
    return html + "</body></html>\n";
}

QStringList ImageService::formsPaths(bool linkedOriginals)
{
    QStringList paths;
    for (const PictureForm &form : PictureForms) {
        const char *path = linkedOriginals && form.linkedPath ? form.linkedPath : form.path;
        if (path)
            paths << QString::fromUtf8(path);
    }
    return paths;
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
