#pragma once
// "Settings and Diagnostic": how the editor reaches the printer (port, its device, rate,
// flow control), how test prints carry fonts and pictures, the character translation, and
// the printer's maintenance commands and clock. Exchanges started here use the selections
// of the moment, so a port can be tried before it is confirmed with OK.
#include <QDialog>

#include <array>
#include <functional>
#include <string>

#include "document/app_config.h"
#include "printer/printer_exchanges.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tavrin {

class TZRedit;
class PrinterLink;

// What the clock field shows for the reply to "TI": one space, then the reply as it came.
std::string clockFieldText(bool silent, const std::string& reply);

class TSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSettingsDlg(TZRedit& window);

    // Fills the window from the configuration and shows it modally.
    void execute();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void fill();
    void OkBtClick();
    // Runs an exchange with the link set to the window's selections, then puts the
    // confirmed settings back.
    void withSelections(const std::function<void(PrinterLink&)>& exchange);
    void sendCommand(Maintenance command);
    void ResetBtClick();
    void SetClockClick();
    void GetClockClick();
    void portChanged(int port);
    // The shown port's device in the field, and what it opens under it.
    void showDevice();
    void deviceChanged(const QString& text);
    void showDeviceStatus();

    TZRedit& window_;
    std::array<std::string, kPortCount> devices_{};
    int shownPort_ = 0;
    bool busy_ = false;
    QComboBox* port_ = nullptr;
    QComboBox* deviceChoice_ = nullptr;
    QLineEdit* device_ = nullptr;  // the combo box's own edit
    QLabel* deviceInfo_ = nullptr;
    QComboBox* bauds_ = nullptr;
    QComboBox* protocol_ = nullptr;
    QComboBox* printMode_ = nullptr;
    QComboBox* translation_ = nullptr;
    QLineEdit* clock_ = nullptr;
};

}  // namespace tavrin
