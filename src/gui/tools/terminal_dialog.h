#pragma once
// "Terminal": talks to the printer by hand. Every line typed goes out with CR LF; every byte
// the printer sends is shown as it arrives, as text or as hexadecimal, in blue under the
// sent lines in red. The port stays open while the window is; a timer fetches what has
// arrived without ever waiting for more, so the window never blocks.
#include <QDialog>

#include <cstdint>
#include <span>
#include <string>

#include "app/editor_services.h"

class QComboBox;
class QPushButton;
class QTextEdit;
class QTimer;

namespace tavrin {

// Received bytes as the terminal shows them in hex mode: "%02X " for each, no line breaks.
std::string hexText(std::span<const std::uint8_t> bytes);

class TTerminalDlg : public QDialog {
    Q_OBJECT
public:
    // The bytes taken from the port in one look; more wait for the next one.
    static constexpr std::size_t kReceiveLimit = 16383;
    static constexpr int kHistoryLimit = 16;

    TTerminalDlg(EditorServices services, QWidget* parent);

    // Opens the port and shows the window modally; the port closes with the window.
    void execute();

    // Lasts between openings of the window.
    static bool HexMode;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SendBtClick();
    void ModeBtClick();
    void RStimerTimer();
    void showModeCaption();
    void insert(const QString& text, const QColor& colour);
    void finish();

    EditorServices services_;
    QTextEdit* field_ = nullptr;
    QComboBox* input_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* mode_ = nullptr;
    QPushButton* send_ = nullptr;
    QTimer* timer_ = nullptr;
    QString pendingEcho_;
    bool busy_ = false;
    bool closeRequested_ = false;
};

}  // namespace tavrin
