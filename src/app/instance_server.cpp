#include "app/instance_server.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <memory>
#include <utility>

namespace vertoko {

namespace {

// More than any path; a longer message is no file of ours.
constexpr qint64 kMaxMessage = 64 * 1024;

}  // namespace

InstanceServer::InstanceServer(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceServer::Accept);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::Listen(const QString& socketPath) {
    QLocalServer::removeServer(socketPath);
    return server_->listen(socketPath);
}

void InstanceServer::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        struct Line {
            QByteArray text;
            bool taken = false;
        };
        auto line = std::make_shared<Line>();
        // The sender writes one line and closes; the line counts once it is
        // complete or the sender has gone.
        auto take = [this, socket, line](bool gone) {
            if (line->taken) return;
            line->text += socket->readAll();
            const qsizetype end = line->text.indexOf('\n');
            if (line->text.size() > kMaxMessage) {
                line->taken = true;
                socket->abort();
                return;
            }
            if (end < 0 && !gone) return;
            line->taken = true;
            const QString file = QString::fromUtf8(end < 0 ? line->text : line->text.left(end));
            socket->disconnectFromServer();
            if (handler_) handler_(file);
        };
        connect(socket, &QLocalSocket::readyRead, this, [take] { take(false); });
        connect(socket, &QLocalSocket::disconnected, this, [take] { take(true); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        take(socket->state() != QLocalSocket::ConnectedState);
    }
}

}  // namespace vertoko
