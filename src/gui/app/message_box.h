#pragma once
// The program's own message window: one centred line of text under a title, with "OK" or
// "Yes" and "No". The same window serves printer exchanges as their progress window, which
// shows only "Stop", does not wait, and can turn into an error box in place.
#include <QDialog>
#include <QPointer>
#include <QString>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tavrin {

// Top-left corner of the message window: centred horizontally over the main window, and a
// quarter of the height difference below the label's top, plus 16 pixels.
QPoint messageBoxPosition(const QRect& mainWindowFrame, int labelTopGlobal, QSize boxSize);

class TMsgBoxDlg : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Message, Progress, ProgressError };
    enum class Answer { None, Yes, Ok, No, Cancel };

    explicit TMsgBoxDlg(QWidget* parent = nullptr);

    // The window the box is placed over, and where the label's top is on the screen (the
    // client's top plus the label's offset when no source is given).
    void setMainWindow(QWidget* mainWindow);
    QWidget* mainWindow() const { return mainWindow_; }
    void setLabelTopSource(std::function<int()> labelTopGlobal);

    // Modal: shows text with "OK" (question false) or "Yes" and "No" and waits. The result is
    // 1 for OK or Yes, 0 for No or when the box is closed.
    int ask(const QString& title, const QString& text, bool question);
    // Modal, with "Yes", "No" and "Cancel"; closing the box counts as Cancel.
    Answer askYesNoCancel(const QString& title, const QString& text);
    int answerValue() const { return answer_ == Answer::Yes || answer_ == Answer::Ok ? 1 : 0; }
    Answer answer() const { return answer_; }

    // The progress window: only a Stop button, shown without waiting. It is modal to the
    // rest of the program, so nothing else can start a second exchange on the same port
    // meanwhile; Stop, Esc or the close button only ask the running exchange to stop
    // (cancelRequested). The request holds until it is cleared or the window is shown anew
    // after it was closed, so every step of an exchange shown as one sees it.
    void showProgress(const QString& title, const QString& text);
    void setText(const QString& text);
    QString text() const;
    // Turns the window into an error box in place (shown if it was not) and waits for OK.
    void showProgressError(const QString& title, const QString& text);
    void closeProgress();
    bool progressShown() const { return isVisible() && mode_ != Mode::Message; }
    Mode mode() const { return mode_; }
    bool cancelRequested() const { return cancelRequested_; }
    void clearCancelRequest();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Esc and the close button: No (Cancel where offered) for a question, OK for an error,
    // and for the progress window a request to stop that leaves it on screen.
    void reject() override;

private:
    enum class Buttons { Stop, Ok, YesNo, YesNoCancel };
    void setButtons(Buttons buttons);
    void requestStop();
    void setContent(const QString& title, const QString& text);
    void press(Answer answer);
    void place();
    int labelTop() const;

    QLabel* text_ = nullptr;
    QProgressBar* busy_ = nullptr;
    QPushButton* yes_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* no_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPointer<QWidget> mainWindow_;
    std::function<int()> labelTopSource_;
    Mode mode_ = Mode::Message;
    Answer answer_ = Answer::None;
    bool cancelRequested_ = false;
};

// The one message window of the program. It is made on first use, as a child of the main
// window once that is registered, so that it goes away with it.
void setMessageBoxMainWindow(QWidget* mainWindow);
void setMessageBoxLabelTopSource(std::function<int()> labelTopGlobal);
TMsgBoxDlg& sharedMessageBox();

// A modal message through the shared window (a private one when the shared window is
// already on screen, e.g. a question during an exchange). 1 for OK or Yes, else 0.
int messageBox(const QString& title, const QString& text, bool question);

enum class SaveAnswer { Yes, No, Cancel };
inline constexpr const char* kSaveChangesQuestion = "Save changes to the label?";
// "Save changes to the label?" with Yes, No and Cancel; closing the box is Cancel, so
// nothing is thrown away without a clear No.
SaveAnswer askSaveChanges(QWidget* parent);

}  // namespace tavrin
