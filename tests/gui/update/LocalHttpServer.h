#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QTcpServer>
#include <map>
#include <vector>

namespace vellarion::test {

// A small HTTP server on 127.0.0.1 for the update tests. It runs in the
// test's own thread: the transport's waits let it answer.
class LocalHttpServer : public QObject {
public:
    struct Reply {
        int status = 200;
        QByteArray body;
        bool announceLength = true;
        qint64 announcedLength = -1; // -1: the body's real length
        QByteArray basicAuth;        // "user:password" the page asks for
        bool stall = false;          // send the first bytes, then nothing more
    };
    struct Request {
        QByteArray path;
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray firstBytes;
    };

    LocalHttpServer();
    quint16 port() const { return server_.serverPort(); }
    QString url(const QString& path) const;
    void serve(const QByteArray& path, const QByteArray& body) { replies_[path].body = body; }
    void serve(const QByteArray& path, Reply reply) { replies_[path] = std::move(reply); }
    // The paths asked for, in order.
    QList<QByteArray> paths() const;

    std::vector<Request> requests;

private:
    void answer(QTcpSocket* socket);

    QTcpServer server_;
    std::map<QByteArray, Reply> replies_;
    std::map<QTcpSocket*, QByteArray> pending_;
};

} // namespace vellarion::test
