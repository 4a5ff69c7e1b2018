#include "app/message_box.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "app/place_dialog.h"

namespace tavrin {

namespace {

// The label is drawn this far inside the client area.
constexpr int kLabelOffset = 4;
constexpr int kBelowLabelTop = 16;
constexpr int kButtonWidth = 80;
constexpr int kMinimumTextWidth = 240;

QPointer<TMsgBoxDlg>& sharedBox() {
    static QPointer<TMsgBoxDlg> box;
    return box;
}
QPointer<QWidget>& sharedMainWindow() {
    static QPointer<QWidget> mainWindow;
    return mainWindow;
}
std::function<int()>& sharedLabelTop() {
    static std::function<int()> labelTop;
    return labelTop;
}

QPushButton* makeButton(const char* caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumWidth(kButtonWidth);
    return button;
}

}  // namespace

QPoint messageBoxPosition(const QRect& mainWindowFrame, int labelTopGlobal, QSize boxSize) {
    return {mainWindowFrame.left() + (mainWindowFrame.width() - boxSize.width()) / 2,
            labelTopGlobal + (mainWindowFrame.height() - boxSize.height()) / 4 + kBelowLabelTop};
}

TMsgBoxDlg::TMsgBoxDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("MsgBoxDlg"));
    setWindowTitle(QStringLiteral("Message Box"));
    mainWindow_ = parent;

    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("MsgText"));
    text_->setAlignment(Qt::AlignCenter);
    text_->setTextFormat(Qt::PlainText);
    text_->setMinimumWidth(kMinimumTextWidth);

    // A moving bar tells the user that the exchange is alive while the printer is slow.
    busy_ = new QProgressBar(this);
    busy_->setObjectName(QStringLiteral("BusyBar"));
    busy_->setRange(0, 0);
    busy_->setTextVisible(false);
    busy_->setFixedHeight(12);

    yes_ = makeButton("Yes", "YesBt", this);
    ok_ = makeButton("OK", "OkBt", this);
    no_ = makeButton("No", "NoBt", this);
    cancel_ = makeButton("Cancel", "CancelBt", this);
    stop_ = makeButton("Stop", "StopBt", this);
    // Only a deliberate press stops a print: Enter typed for another window must not.
    stop_->setAutoDefault(false);
    stop_->setFocusPolicy(Qt::NoFocus);
    connect(stop_, &QPushButton::clicked, this, &TMsgBoxDlg::requestStop);
    connect(yes_, &QPushButton::clicked, this, [this] { press(Answer::Yes); });
    connect(ok_, &QPushButton::clicked, this, [this] { press(Answer::Ok); });
    connect(no_, &QPushButton::clicked, this, [this] { press(Answer::No); });
    connect(cancel_, &QPushButton::clicked, this, [this] { press(Answer::Cancel); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {yes_, ok_, no_, cancel_, stop_}) buttons->addWidget(button);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 14);
    layout->setSpacing(14);
    layout->addWidget(text_);
    layout->addWidget(busy_);
    layout->addLayout(buttons);
    // The box is as wide as its one line of text and never resizable.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setButtons(Buttons::Ok);
}

void TMsgBoxDlg::setMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }

void TMsgBoxDlg::setLabelTopSource(std::function<int()> labelTopGlobal) {
    labelTopSource_ = std::move(labelTopGlobal);
}

void TMsgBoxDlg::setButtons(Buttons buttons) {
    const bool question = buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel;
    yes_->setVisible(question);
    no_->setVisible(question);
    cancel_->setVisible(buttons == Buttons::YesNoCancel);
    ok_->setVisible(buttons == Buttons::Ok);
    busy_->setVisible(buttons == Buttons::Stop);
    stop_->setVisible(buttons == Buttons::Stop);
    stop_->setEnabled(!cancelRequested_);
    // Enter answers with the first button.
    yes_->setDefault(question);
    ok_->setDefault(buttons == Buttons::Ok);
    if (question)
        yes_->setFocus();
    else if (buttons == Buttons::Ok)
        ok_->setFocus();
}

void TMsgBoxDlg::setContent(const QString& title, const QString& text) {
    setWindowTitle(title);
    text_->setText(text);
}

void TMsgBoxDlg::setText(const QString& text) { text_->setText(text); }

QString TMsgBoxDlg::text() const { return text_->text(); }

int TMsgBoxDlg::ask(const QString& title, const QString& text, bool question) {
    mode_ = Mode::Message;
    answer_ = Answer::None;
    setContent(title, text);
    setButtons(question ? Buttons::YesNo : Buttons::Ok);
    exec();
    return answerValue();
}

TMsgBoxDlg::Answer TMsgBoxDlg::askYesNoCancel(const QString& title, const QString& text) {
    mode_ = Mode::Message;
    answer_ = Answer::None;
    setContent(title, text);
    setButtons(Buttons::YesNoCancel);
    exec();
    return answer_ == Answer::None ? Answer::Cancel : answer_;
}

void TMsgBoxDlg::showProgress(const QString& title, const QString& text) {
    if (!progressShown()) cancelRequested_ = false;
    mode_ = Mode::Progress;
    setContent(title, text);
    setButtons(Buttons::Stop);
    if (!isVisible()) {
        setWindowModality(Qt::ApplicationModal);
        show();
    }
    raise();
}

void TMsgBoxDlg::showProgressError(const QString& title, const QString& text) {
    mode_ = Mode::ProgressError;
    answer_ = Answer::None;
    setContent(title, text);
    setButtons(Buttons::Ok);
    // exec() keeps a window that is already up where it is and waits for OK.
    exec();
    mode_ = Mode::Message;
}

void TMsgBoxDlg::closeProgress() {
    if (mode_ == Mode::Message) return;
    mode_ = Mode::Message;
    hide();
}

void TMsgBoxDlg::press(Answer answer) {
    answer_ = answer;
    done(answerValue());
}

void TMsgBoxDlg::requestStop() {
    cancelRequested_ = true;
    // Pressed once is enough; the exchange ends within a moment.
    stop_->setEnabled(false);
}

void TMsgBoxDlg::clearCancelRequest() {
    cancelRequested_ = false;
    stop_->setEnabled(true);
}

void TMsgBoxDlg::reject() {
    switch (mode_) {
    case Mode::Progress:
        requestStop();
        return;
    case Mode::ProgressError:
        press(Answer::Ok);
        return;
    case Mode::Message:
        press(cancel_->isVisible() ? Answer::Cancel : Answer::None);
        return;
    }
}

int TMsgBoxDlg::labelTop() const {
    if (labelTopSource_) return labelTopSource_();
    return clientArea(mainWindow_).global.top() + kLabelOffset;
}

void TMsgBoxDlg::place() {
    if (!mainWindow_) return;
    const QSize size = outerSize(this, mainWindow_);
    QPoint position = messageBoxPosition(mainWindow_->frameGeometry(), labelTop(), size);
    // A main window partly off the screen must not take the box with it.
    if (const QScreen* screen = mainWindow_->screen()) {
        const QRect available = screen->availableGeometry();
        position.setX(std::clamp(position.x(), available.left(),
                                 std::max(available.left(), available.right() + 1 - size.width())));
        position.setY(std::clamp(position.y(), available.top(),
                                 std::max(available.top(), available.bottom() + 1 - size.height())));
    }
    moveFrameTo(this, position, mainWindow_);
}

void TMsgBoxDlg::showEvent(QShowEvent* event) {
    adjustSize();
    place();
    QDialog::showEvent(event);
}

void TMsgBoxDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isVisible() || isActiveWindow()) return;
    // Only the front-most modal window takes the front back; a question asked during an
    // exchange is shown above the progress window and must stay there.
    if (QApplication::activeModalWidget() != this) return;
    QTimer::singleShot(0, this, [this] {
        if (!isVisible() || QApplication::activeModalWidget() != this) return;
        raise();
        if (QApplication::activeWindow()) activateWindow();
    });
}

void setMessageBoxMainWindow(QWidget* mainWindow) {
    sharedMainWindow() = mainWindow;
    if (TMsgBoxDlg* box = sharedBox()) {
        box->setParent(mainWindow, box->windowFlags());
        box->setMainWindow(mainWindow);
    }
}

void setMessageBoxLabelTopSource(std::function<int()> labelTopGlobal) {
    sharedLabelTop() = std::move(labelTopGlobal);
    if (TMsgBoxDlg* box = sharedBox()) box->setLabelTopSource(sharedLabelTop());
}

TMsgBoxDlg& sharedMessageBox() {
    QPointer<TMsgBoxDlg>& box = sharedBox();
    if (!box) {
        box = new TMsgBoxDlg(sharedMainWindow());
        box->setLabelTopSource(sharedLabelTop());
    }
    return *box;
}

namespace {

// Runs a modal question on the shared window, or on a window of its own when the shared one
// is already showing something (a question during an exchange, a message from a nested
// event loop): one window cannot wait twice.
template <typename Ask>
auto withFreeBox(QWidget* fallbackMainWindow, Ask ask) {
    TMsgBoxDlg& shared = sharedMessageBox();
    if (!shared.isVisible()) {
        if (!shared.mainWindow() && fallbackMainWindow) shared.setMainWindow(fallbackMainWindow);
        return ask(shared);
    }
    QWidget* mainWindow = shared.mainWindow() ? shared.mainWindow() : fallbackMainWindow;
    TMsgBoxDlg own(mainWindow);
    own.setLabelTopSource(sharedLabelTop());
    return ask(own);
}

}  // namespace

int messageBox(const QString& title, const QString& text, bool question) {
    return withFreeBox(nullptr, [&](TMsgBoxDlg& box) { return box.ask(title, text, question); });
}

SaveAnswer askSaveChanges(QWidget* parent) {
    const auto answer = withFreeBox(parent, [](TMsgBoxDlg& box) {
        return box.askYesNoCancel(QStringLiteral("Warning"), QString::fromLatin1(kSaveChangesQuestion));
    });
    switch (answer) {
    case TMsgBoxDlg::Answer::Yes:
        return SaveAnswer::Yes;
    case TMsgBoxDlg::Answer::No:
        return SaveAnswer::No;
    default:
        return SaveAnswer::Cancel;
    }
}

}  // namespace tavrin
