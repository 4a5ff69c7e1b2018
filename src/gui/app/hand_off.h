#pragma once
// Files handed over by later starts of the editor. The window comes forward at once; the
// file waits until the editor is free — no modal window, open menu, held mouse button or
// earlier hand-off still asking — and is then opened after the unsaved-changes question.
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace tavrin {

class SingleInstance;
class TZRedit;

class HandOffQueue : public QObject {
    Q_OBJECT
public:
    HandOffQueue(std::function<void()> raise, std::function<void(const QString&)> open, QObject* parent = nullptr);

    // fileName empty: only come forward.
    void add(const QString& fileName);
    int pending() const { return int(files_.size()); }

private:
    void openNext();
    static bool editorBusy();

    std::function<void()> raise_;
    std::function<void(const QString&)> open_;
    QStringList files_;
    QTimer retry_;
    bool opening_ = false;
};

// The editor's wiring: requests from the single-instance socket raise `window` and open their
// files through a queue owned by the window.
HandOffQueue* connectHandOff(SingleInstance& instance, TZRedit& window);

}  // namespace tavrin
