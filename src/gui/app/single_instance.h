#pragma once
// One editor per user and graphical session: the first one listens on a local socket named
// for the user and the display; a second start on the same display finds it there, asks it
// to come to the front (and to open its file) and ends.
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

namespace tavrin {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // name: the socket's name; empty gives sessionName() for this user and display.
    explicit SingleInstance(QString name = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // "tavrin-label-editor-<uid>-<display>": WAYLAND_DISPLAY, else DISPLAY without its screen
    // number (":0.1" and ":0" are one session), so each session has its own editor.
    static QString sessionName(unsigned userId, const QString& waylandDisplay, const QString& x11Display);

    // True when another editor answered (it has been asked to come forward, and to open
    // fileName when one is given): this one ends.
    bool askRunningInstance(const QString& fileName = {});
    // Starts answering later starts; a socket left by an editor that died is taken over.
    bool listen();

signals:
    // fileName: a label the second start was given, as an absolute path; empty when none.
    // Emitted from the event loop, never from inside the socket's handler: whatever the
    // receiver does (a question, an error) cannot outlive the socket it came from.
    void raiseRequested(const QString& fileName);

private:
    void deliverRequests();

    QString name_;
    QLocalServer* server_ = nullptr;
    QStringList requests_;  // read from sockets, not yet delivered
};

}  // namespace tavrin
