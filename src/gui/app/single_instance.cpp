#include "app/single_instance.h"

#include <unistd.h>

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>

namespace tavrin {

namespace {
constexpr int kAnswerMs = 1000;
// One line: "raise", or "open" and a tab and the file's absolute path.
constexpr char kRaise[] = "raise";
constexpr char kOpen[] = "open\t";

QString environment(const char* name) { return QString::fromLocal8Bit(qgetenv(name)); }
}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent),
      name_(name.isEmpty() ? sessionName(getuid(), environment("WAYLAND_DISPLAY"), environment("DISPLAY"))
                           : std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::sessionName(unsigned userId, const QString& waylandDisplay, const QString& x11Display) {
    QString display = waylandDisplay;
    if (display.isEmpty()) {
        display = x11Display;
        // host:display.screen: the screen is part of the same session.
        static const QRegularExpression screen(R"((:\d+)\.\d+$)");
        display.replace(screen, "\\1");
    }
    // The name becomes a file name under the temporary folder.
    static const QRegularExpression unsafe("[^A-Za-z0-9_.-]");
    display.replace(unsafe, "_");
    return QString("tavrin-label-editor-%1-%2").arg(userId).arg(display);
}

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
            // The handler only reads: the requests are delivered later from the event loop,
            // so a question they raise runs after the handler has let go of the socket.
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                const bool idle = requests_.isEmpty();
                while (socket->canReadLine()) {
                    const QByteArray line = socket->readLine().trimmed();
                    if (line == kRaise) requests_.append(QString());
                    if (line.startsWith(kOpen)) requests_.append(QString::fromUtf8(line.mid(int(sizeof kOpen) - 1)));
                }
                if (idle && !requests_.isEmpty())
                    QMetaObject::invokeMethod(this, &SingleInstance::deliverRequests, Qt::QueuedConnection);
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    return true;
}

void SingleInstance::deliverRequests() {
    // Taken first: a receiver's nested event loop may read more requests meanwhile.
    const QStringList requests = std::exchange(requests_, {});
    for (const QString& fileName : requests) emit raiseRequested(fileName);
}

}  // namespace tavrin
