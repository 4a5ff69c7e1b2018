#include "app/single_instance.h"

#include <unistd.h>

#include <QLocalServer>
#include <QFileInfo>
#include <QLocalSocket>

namespace tavrin {

namespace {
constexpr int kAnswerMs = 1000;
// One line: "raise", or "open" and a tab and the file's absolute path.
constexpr char kRaise[] = "raise";
constexpr char kOpen[] = "open\t";
}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(name.isEmpty() ? QString("tavrin-label-editor-%1").arg(getuid()) : std::move(name)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::askRunningInstance(const QString& fileName) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kAnswerMs)) return false;
    const QByteArray line = fileName.isEmpty() ? QByteArray(kRaise) : kOpen + QFileInfo(fileName).absoluteFilePath().toUtf8();
    socket.write(line + "\n");
    socket.waitForBytesWritten(kAnswerMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // Nobody answered askRunningInstance(), so the socket is a dead editor's.
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_)) return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine()) {
                    const QByteArray line = socket->readLine().trimmed();
                    if (line == kRaise) emit raiseRequested({});
                    if (line.startsWith(kOpen)) emit raiseRequested(QString::fromUtf8(line.mid(int(sizeof kOpen) - 1)));
                }
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    return true;
}

}  // namespace tavrin
