#include "LocalHttpServer.h"

#include <QTcpSocket>

namespace vellarion::test {

LocalHttpServer::LocalHttpServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString LocalHttpServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

QList<QByteArray> LocalHttpServer::paths() const {
    QList<QByteArray> out;
    for (const Request& r : requests) {
        out << r.path;
    }
    return out;
}

void LocalHttpServer::answer(QTcpSocket* socket) {
    QByteArray& data = pending_[socket];
    data += socket->readAll();
    const qsizetype end = data.indexOf("\r\n\r\n");
    if (end < 0) {
        if (!data.isEmpty() && data[0] == '\x16') { // a TLS greeting, not HTTP
            requests.push_back({{}, {}, data.left(8)});
            pending_.erase(socket);
            socket->disconnectFromHost();
        }
        return;
    }
    Request request;
    request.firstBytes = data.left(8);
    const QList<QByteArray> lines = data.left(end).split('\n');
    pending_.erase(socket);
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.path = first.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0) {
            request.headers[lines[i].left(colon).trimmed().toLower()] =
                lines[i].mid(colon + 1).trimmed();
        }
    }
    requests.push_back(request);

    const auto found = replies_.find(request.path);
    Reply reply;
    QByteArray head;
    if (found == replies_.end()) {
        reply.status = 404;
        reply.body = "not here";
    } else if (!found->second.basicAuth.isEmpty() &&
               request.headers.value("authorization") !=
                   "Basic " + found->second.basicAuth.toBase64()) {
        reply.status = 401;
        reply.body = "who are you?";
        head += "WWW-Authenticate: Basic realm=\"updates\"\r\n";
    } else {
        reply = found->second;
    }
    head = "HTTP/1.1 " + QByteArray::number(reply.status) + " Status\r\n" + head +
           "Content-Type: text/html\r\nConnection: close\r\n";
    if (reply.announceLength) {
        head += "Content-Length: " +
                QByteArray::number(reply.announcedLength >= 0 ? reply.announcedLength
                                                              : reply.body.size()) +
                "\r\n";
    }
    socket->write(head + "\r\n" + reply.body);
    if (!reply.stall) {
        socket->disconnectFromHost();
    }
}

} // namespace vellarion::test
