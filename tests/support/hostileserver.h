#pragma once

#include <QHash>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <functional>

namespace vimbrel {

// A web server on 127.0.0.1 that answers as badly as real ones can: with sizes and types that
// lie, answers that never end, a byte at a time, or not at all. Each path is given its answer;
// the request headers of the last request of each path are kept.
class HostileServer : public QObject
{
public:
    enum class Kind {
        Whole,   // the body, as the head says
        Endless, // the head, then bytes for as long as the client reads
        Drip,    // the head, then one byte of the body per interval
        Silent,  // the connection is taken and nothing is ever said
    };
    struct Answer
    {
        Kind kind = Kind::Whole;
        QByteArray head; // status line and headers, without the blank line
        QByteArray body;
        int interval = 0; // Drip: ms between bytes
    };

    HostileServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                take(socket);
        });
    }

    void answer(const QString &path, Answer answer) { m_answers.insert(path, std::move(answer)); }
    // The usual head of a 200 answer of this type, with a length unless it is negative.
    static QByteArray head(const QByteArray &type, qint64 length, int status = 200)
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: " + type;
        if (length >= 0)
            head += "\r\nContent-Length: " + QByteArray::number(length);
        return head + "\r\nConnection: close";
    }
    QString address(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    QByteArray lastHeader(const QString &path, const QByteArray &name) const
    {
        return m_headers.value(path).value(name.toLower());
    }
    bool asked(const QString &path) const { return m_headers.contains(path); }

private:
    void take(QTcpSocket *socket)
    {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto request = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, request] {
            const bool answering = request->contains("\r\n\r\n");
            *request += socket->readAll();
            if (!answering && request->contains("\r\n\r\n"))
                respond(socket, *request);
        });
    }
    void respond(QTcpSocket *socket, const QByteArray &request)
    {
        const QList<QByteArray> lines = request.left(request.indexOf("\r\n\r\n")).split('\n');
        const QString path = QString::fromLatin1(lines.value(0).split(' ').value(1));
        QHash<QByteArray, QByteArray> &headers = m_headers[QUrl(path).path()];
        headers.clear();
        for (const QByteArray &line : lines.mid(1)) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
        }
        const Answer answer = m_answers.value(
            QUrl(path).path(), Answer{Kind::Whole, head("text/html", 9, 404), "not found", 0});
        if (answer.kind == Kind::Silent)
            return;
        socket->write(answer.head + "\r\n\r\n");
        if (answer.kind == Kind::Whole) {
            socket->write(answer.body);
            socket->disconnectFromHost();
        } else if (answer.kind == Kind::Endless) {
            // Keep a little ahead of the reader, never more.
            const auto more = [socket] {
                if (socket->bytesToWrite() < 256 * 1024)
                    socket->write(QByteArray(64 * 1024, '\xff'));
            };
            connect(socket, &QTcpSocket::bytesWritten, socket, more);
            more();
        } else {
            auto *timer = new QTimer(socket);
            auto sent = std::make_shared<qsizetype>(0);
            connect(timer, &QTimer::timeout, socket, [socket, timer, sent, body = answer.body] {
                if (*sent >= body.size()) {
                    timer->stop();
                    return;
                }
                socket->write(body.mid((*sent)++, 1));
            });
            timer->start(answer.interval);
        }
    }

    QTcpServer m_server;
    QHash<QString, Answer> m_answers;
    QHash<QString, QHash<QByteArray, QByteArray>> m_headers;
};

} // namespace vimbrel
