#pragma once
// "Settings and Diagnostic": how the editor reaches the printer (port, its device, rate,
// flow control), how test prints carry fonts and pictures, the character translation, and
// the printer's maintenance commands and clock. Exchanges started here use the selections
// of the moment, so a port can be tried before it is confirmed with OK.
#include <QDialog>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "document/app_config.h"
#include "printer/printer_exchanges.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tavrin {

class PrinterLink;

// What the settings window uses of the editor, and nothing more.
struct SettingsServices {
    QWidget* mainWindow = nullptr;  // the parent, and where the window is placed
    AppConfig* config = nullptr;
    // The link set to the configuration as it is at the call.
    std::function<PrinterLink&()> link;
    std::function<std::vector<std::filesystem::path>()> translationFiles;
    // Changes a port's device in the configuration and in what is saved.
    std::function<void(int port, const std::string& device)> setPortDevice;
    // After OK: the translation is read again and the editor learns the settings changed.
    std::function<void()> applied;
};

// What the clock field shows for the reply to "TI": one space, then the reply as it came.
std::string clockFieldText(bool silent, const std::string& reply);

class TSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSettingsDlg(SettingsServices services);

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

    SettingsServices services_;
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
