#pragma once
// One editor per user: the first one listens on a local socket named for the user; a second
// start finds it there, asks it to come to the front and ends.
#include <QObject>
#include <QString>

class QLocalServer;

namespace tavrin {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // name: the socket's name; empty gives the user's own ("tavrin-label-editor-<uid>").
    explicit SingleInstance(QString name = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another editor answered (it has been asked to come forward, and to open
    // fileName when one is given): this one ends.
    bool askRunningInstance(const QString& fileName = {});
    // Starts answering later starts; a socket left by an editor that died is taken over.
    bool listen();

signals:
    // fileName: a label the second start was given, as an absolute path; empty when none.
    void raiseRequested(const QString& fileName);

private:
    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace tavrin
