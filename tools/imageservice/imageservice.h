#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace vimbrel {

// A small image-search service on 127.0.0.1 for tests, benchmarks and trying the search window
// without the internet: a home page, keyword result pages whose links carry escaped picture
// addresses, gallery pages, and pictures drawn on request.
class ImageService : public QAbstractHttpServer
{
    Q_OBJECT
public:
    explicit ImageService(QObject *parent = nullptr);
    ~ImageService() override;

    // Listens on 127.0.0.1 only; 0 picks a free port. Returns the port, 0 on failure.
    quint16 listen(quint16 port = 0);
    // Milliseconds added to every answer.
    void setDelay(int ms);
    // A one-pixel GIF of two frames, red then blue.
    [[nodiscard]] static QByteArray animatedGif();
    // The JPEG with an EXIF block that says how to turn it upright.
    [[nodiscard]] static QByteArray withOrientation(const QByteArray &jpeg, int orientation);
    // The page of picture forms found on real pages (lazy loading, srcset, <picture>, linked
    // thumbnails, <noscript> copies, a base address, entities), served at /gallery/forms: the
    // paths of the addresses its pictures stand for, in order, and with linked originals.
    [[nodiscard]] static QByteArray formsPage();
    [[nodiscard]] static QStringList formsPaths(bool linkedOriginals);
    // "127.0.0.1:PORT", the value for [Search] ServiceHost.
    [[nodiscard]] QString host() const;
    // How many requests have arrived, to tell when a page has settled.
    [[nodiscard]] int requestCount() const { return m_requests; }
    // The word values received on the keyword search address, in order.
    [[nodiscard]] QStringList requestedWords() const;
    // A header of the last request for the path ("Referer", "User-Agent", "Cookie"); empty
    // when there was none.
    [[nodiscard]] QByteArray lastHeader(const QString &path, const QByteArray &name) const;

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    struct Answer
    {
        int status = 200;
        QByteArray type;
        QByteArray body;
    };
    Answer answer(const QUrl &url);
    struct Look
    {
        bool noise = false;  // hard to compress, with a red left quarter
        bool alpha = false;  // left half transparent (PNG)
        int orientation = 0; // EXIF orientation written into a JPEG
    };
    Answer picture(const QString &name, int width, int height, const Look &look);
    void send(QTcpSocket *socket, const Answer &answer, int delay, qsizetype stall = -1);

    quint16 m_port = 0;
    int m_delay = 0;
    int m_requests = 0;
    QStringList m_words;
    QHash<QString, QList<QPair<QByteArray, QByteArray>>> m_headers; // of the last request by path
    QHash<QString, QByteArray> m_pictures; // encoded pictures by name and size
};

} // namespace vimbrel
