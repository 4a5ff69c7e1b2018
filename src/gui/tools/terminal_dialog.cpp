#include "tools/terminal_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <vector>

#include "app/place_dialog.h"
#include "link/printer_link.h"
#include "printer/screen_text.h"

namespace tavrin {

bool TTerminalDlg::HexMode = false;

namespace {

const QColor kSentColour(Qt::red);
const QColor kReceivedColour(Qt::blue);
// Often enough that bytes show as they arrive; each look takes only what is there.
constexpr int kReceiveInterval = 20;

}  // namespace

std::string hexText(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    char cell[4];
    for (const std::uint8_t byte : bytes) {
        std::snprintf(cell, sizeof cell, "%02X ", unsigned(byte));
        text += cell;
    }
    return text;
}

TTerminalDlg::TTerminalDlg(EditorServices services, QWidget* parent) : QDialog(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("TTerminalDlg"));
    setWindowTitle(QStringLiteral("Terminal"));
    field_ = new QTextEdit(this);
    field_->setObjectName(QStringLiteral("TrmField"));
    field_->setReadOnly(true);
    field_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The focus belongs to the input line; the text can still be selected with the mouse.
    field_->setFocusPolicy(Qt::NoFocus);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(17);
    font.setBold(true);
    field_->setFont(font);
    input_ = new QComboBox(this);
    input_->setObjectName(QStringLiteral("InputBox"));
    input_->setEditable(true);
    input_->setInsertPolicy(QComboBox::NoInsert);
    input_->setMaxCount(kHistoryLimit);
    // The combo box holds the focus and hands keys to its line edit directly, past any
    // filter there: F2 is caught on its way into the combo box.
    input_->installEventFilter(this);
    clear_ = new QPushButton(QStringLiteral("Clear"), this);
    clear_->setObjectName(QStringLiteral("Clear"));
    mode_ = new QPushButton(this);
    mode_->setObjectName(QStringLiteral("ModeBt"));
    send_ = new QPushButton(QStringLiteral("Send"), this);
    send_->setObjectName(QStringLiteral("SendBt"));
    send_->setDefault(true);
    for (QPushButton* button : {clear_, mode_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
    }
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("RStimer"));
    timer_->setInterval(kReceiveInterval);

    connect(send_, &QPushButton::clicked, this, [this] { SendBtClick(); });
    connect(clear_, &QPushButton::clicked, this, [this] {
        field_->clear();
        input_->setFocus();
    });
    connect(mode_, &QPushButton::clicked, this, [this] {
        ModeBtClick();
        input_->setFocus();
    });
    connect(timer_, &QTimer::timeout, this, [this] { RStimerTimer(); });

    auto* strip = new QHBoxLayout;
    strip->addWidget(input_, 1);
    strip->addSpacing(16);
    strip->addWidget(clear_);
    strip->addWidget(mode_);
    strip->addWidget(send_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(strip);
    layout->addWidget(field_, 1);
    resize(640, 400);
}

void TTerminalDlg::execute() {
    closeRequested_ = false;
    pendingEcho_.clear();
    input_->clear();
    field_->clear();
    showModeCaption();
    placeDialog(this, parentWidget(), 16, 16);
    // A port that does not open has said so; the window still opens and sends nothing.
    services_.link().openPort();
    timer_->start();
    input_->setFocus();
    exec();
}

void TTerminalDlg::showModeCaption() { mode_->setText(HexMode ? QStringLiteral("F2  ASCII") : QStringLiteral("F2  HEX")); }

void TTerminalDlg::ModeBtClick() {
    HexMode = !HexMode;
    showModeCaption();
}

void TTerminalDlg::SendBtClick() {
    if (busy_) return;
    const QString text = input_->currentText();
    // The history holds each line once, newest first.
    if (input_->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) input_->insertItem(0, text);
    while (input_->count() > kHistoryLimit) input_->removeItem(kHistoryLimit);
    PrinterLink& link = services_.link();
    // A port that would not open, or whose printer went away, is opened again: otherwise the
    // line would seem sent while nothing went. A failure says so and keeps the line.
    if (!link.openPort()) return;
    busy_ = true;
    link.writeText(screenToPrinter(text.toStdString(), services_.translation) + "\r\n");
    busy_ = false;
    if (!link.refused()) {
        pendingEcho_ = text + QStringLiteral("\r\n");
        input_->setCurrentIndex(-1);
        input_->clearEditText();
        input_->setFocus();
    }
    if (closeRequested_) finish();
}

void TTerminalDlg::insert(const QString& text, const QColor& colour) {
    QTextCursor cursor = field_->textCursor();
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(colour);
    cursor.insertText(text, format);
    field_->setTextCursor(cursor);
    field_->ensureCursorVisible();
}

void TTerminalDlg::RStimerTimer() {
    // A write lets events run between its bytes: the look waits for it to end.
    if (busy_) return;
    if (!pendingEcho_.isEmpty()) {
        // Lines ending in CR LF show one line break.
        QString echo = pendingEcho_;
        echo.remove(QLatin1Char('\r'));
        insert(echo, kSentColour);
        pendingEcho_.clear();
        return;
    }
    PrinterLink& link = services_.link();
    const std::uint32_t waiting = link.isOpen() ? link.bytesWaiting() : 0;
    if (waiting == 0 || waiting == kBytesWaitingUnknown) return;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::min<std::size_t>(waiting, kReceiveLimit));
    std::uint8_t byte = 0;
    while (bytes.size() < std::min<std::size_t>(waiting, kReceiveLimit) && link.readByte(byte)) bytes.push_back(byte);
    if (bytes.empty()) return;
    if (HexMode) {
        insert(QString::fromLatin1(hexText(bytes).c_str()), kReceivedColour);
        return;
    }
    // A zero byte ends what is shown of the batch; CR is left to the line feeds.
    std::string text;
    for (const std::uint8_t b : bytes) {
        if (b == 0) break;
        if (b != '\r') text.push_back(static_cast<char>(b));
    }
    insert(QString::fromStdString(printerToScreen(text, services_.translation)), kReceivedColour);
}

void TTerminalDlg::finish() {
    timer_->stop();
    services_.link().closePort();
    closeRequested_ = false;
    done(0);
}

void TTerminalDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}

void TTerminalDlg::reject() {
    // A write in progress ends first; its handler closes the window afterwards.
    if (busy_) {
        closeRequested_ = true;
        return;
    }
    finish();
}

bool TTerminalDlg::eventFilter(QObject* watched, QEvent* event) {
    const bool keyEvent = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (watched == input_ && keyEvent && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2) {
        // F2 is the input line's: no shortcut elsewhere may take it.
        if (event->type() == QEvent::ShortcutOverride) event->accept();
        else ModeBtClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TTerminalDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    field_->verticalScrollBar()->setValue(field_->verticalScrollBar()->maximum());
}

}  // namespace tavrin
