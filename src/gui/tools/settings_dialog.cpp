#include "tools/settings_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/message_box.h"
#include "app/place_dialog.h"
#include "link/device_list.h"
#include "link/port_names.h"
#include "link/printer_link.h"
#include "printer/printer_exchanges.h"
#include "printer/translation.h"

namespace tavrin {

namespace {

QComboBox* makeList(QWidget* parent, const char* name, const QStringList& items) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(items);
    return list;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

std::string clockFieldText(bool silent, const std::string& reply) {
    return silent ? std::string(kNoPrinterResponse) : " " + reply;
}

TSettingsDlg::TSettingsDlg(SettingsServices services)
    : QDialog(services.mainWindow), services_(std::move(services)) {
    setObjectName(QStringLiteral("TSettingsDlg"));
    setWindowTitle(QStringLiteral("Settings and Diagnostic"));

    QStringList ports;
    for (int i = 0; i < kPortCount; ++i) ports << QStringLiteral("Com%1").arg(i + 1);
    QStringList rates;
    for (const int rate : kBaudRates) rates << QString::number(rate);
    port_ = makeList(this, "PortCb", ports);
    // Typed freely (tcp://, cups://, any path) or picked from the devices present now.
    deviceChoice_ = new QComboBox(this);
    deviceChoice_->setObjectName(QStringLiteral("DeviceCb"));
    deviceChoice_->setEditable(true);
    deviceChoice_->setInsertPolicy(QComboBox::NoInsert);
    // Completion would change the text behind the user's back; the list is there to pick from.
    deviceChoice_->setCompleter(nullptr);
    deviceChoice_->setMinimumWidth(180);
    device_ = deviceChoice_->lineEdit();
    device_->setObjectName(QStringLiteral("DeviceEd"));
    deviceInfo_ = new QLabel(this);
    deviceInfo_->setObjectName(QStringLiteral("DeviceInfo"));
    bauds_ = makeList(this, "BaudsCb", rates);
    protocol_ = makeList(this, "ProtocolCb", {QStringLiteral("Hardware"), QStringLiteral("Xon / Xoff")});
    printMode_ = makeList(this, "PrintModeCb",
                          {QStringLiteral("Use stored fonts and graphics"), QStringLiteral("Send fonts and graphics directly")});
    translation_ = makeList(this, "TranslationCb", {});
    clock_ = new QLineEdit(this);
    clock_->setObjectName(QStringLiteral("ClockEd"));
    clock_->setReadOnly(true);
    clock_->setFocusPolicy(Qt::NoFocus);

    connect(port_, &QComboBox::currentIndexChanged, this, [this](int port) { portChanged(port); });
    connect(device_, &QLineEdit::textEdited, this, [this](const QString& text) { deviceChanged(text); });
    connect(deviceChoice_, &QComboBox::textActivated, this, [this](const QString& text) { deviceChanged(text); });

    auto* serial = new QGroupBox(QStringLiteral(" Serial Port "), this);
    auto* serialForm = new QFormLayout(serial);
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(port_);
    portRow->addWidget(new QLabel(QStringLiteral("Device:"), serial));
    portRow->addWidget(deviceChoice_, 1);
    serialForm->addRow(QStringLiteral("Port:"), portRow);
    serialForm->addRow(QStringLiteral("Opens:"), deviceInfo_);
    serialForm->addRow(QStringLiteral("Bauds:"), bauds_);
    serialForm->addRow(QStringLiteral("Protocol:"), protocol_);
    deviceChoice_->setToolTip(QStringLiteral("Empty: the port's own serial device"));

    auto* print = new QGroupBox(QStringLiteral(" Print "), this);
    auto* printColumn = new QVBoxLayout(print);
    const struct {
        const char* name;
        const char* caption;
        Maintenance command;
    } commands[] = {{"DiagnosticBt", "Diagnostic Information", Maintenance::DiagnosticPrint},
                    {"FormsListBt", "Forms List", Maintenance::FormsListPrint},
                    {"GraphicsListBt", "Graphics List", Maintenance::GraphicsListPrint},
                    {"FontsListBt", "Fonts List", Maintenance::FontsListPrint}};
    for (const auto& c : commands) {
        QPushButton* button = makeButton(print, c.name, c.caption);
        const Maintenance command = c.command;
        connect(button, &QPushButton::clicked, this, [this, command] { sendCommand(command); });
        printColumn->addWidget(button);
    }

    auto* translation = new QGroupBox(QStringLiteral(" Translation "), this);
    auto* translationForm = new QFormLayout(translation);
    translationForm->addRow(QStringLiteral("Windows - Printer:"), translation_);

    auto* clock = new QGroupBox(QStringLiteral(" Clock "), this);
    auto* clockRow = new QHBoxLayout(clock);
    QPushButton* set = makeButton(clock, "SetClockBt", "Set");
    QPushButton* get = makeButton(clock, "GetClockBt", "Get");
    connect(set, &QPushButton::clicked, this, [this] { SetClockClick(); });
    connect(get, &QPushButton::clicked, this, [this] { GetClockClick(); });
    clockRow->addWidget(set);
    clockRow->addWidget(get);
    clockRow->addWidget(clock_, 1);

    auto* reset = new QGroupBox(QStringLiteral(" Reset "), this);
    auto* resetColumn = new QVBoxLayout(reset);
    QPushButton* defaults = makeButton(reset, "DefaultBt", "Default Parameters");
    QPushButton* erase = makeButton(reset, "ResetBt", "Reset Printer");
    connect(defaults, &QPushButton::clicked, this, [this] { sendCommand(Maintenance::DefaultParameters); });
    connect(erase, &QPushButton::clicked, this, [this] { ResetBtClick(); });
    resetColumn->addWidget(defaults);
    resetColumn->addWidget(erase);

    auto* testPrint = new QHBoxLayout;
    testPrint->addWidget(new QLabel(QStringLiteral("Test print:"), this));
    testPrint->addWidget(printMode_, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OkBt"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { OkBtClick(); });

    auto* grid = new QGridLayout(this);
    grid->addWidget(serial, 0, 0);
    grid->addWidget(print, 0, 1, 2, 1);
    grid->addWidget(translation, 1, 0);
    grid->addWidget(clock, 2, 0);
    grid->addWidget(reset, 2, 1);
    grid->addLayout(testPrint, 3, 0);
    grid->addWidget(ok, 3, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void TSettingsDlg::fill() {
    const AppConfig& config = *services_.config;
    devices_ = config.portDevices;
    shownPort_ = std::clamp(config.port, 0, kPortCount - 1);
    port_->setCurrentIndex(shownPort_);
    deviceChoice_->clear();
    for (const std::string& device : listPrinterDevices()) deviceChoice_->addItem(QString::fromStdString(device));
    showDevice();
    bauds_->setCurrentIndex(std::clamp(config.baudIndex, 0, int(kBaudRates.size()) - 1));
    protocol_->setCurrentIndex(config.protocol == 1 ? 1 : 0);
    printMode_->setCurrentIndex(config.directGraphics != 0 ? 1 : 0);
    clock_->clear();
    translation_->clear();
    for (const std::string& name : Translation::choiceNames(services_.translationFiles()))
        translation_->addItem(QString::fromStdString(name));
    translation_->setCurrentIndex(std::clamp(config.translation, 0, translation_->count() - 1));
}

void TSettingsDlg::execute() {
    services_.link().closePort();
    fill();
    placeDialog(this, services_.mainWindow, -1, 0);
    exec();
}

void TSettingsDlg::portChanged(int port) {
    if (port < 0) return;
    shownPort_ = port;
    showDevice();
}

void TSettingsDlg::showDevice() {
    const std::string& device = devices_[static_cast<std::size_t>(shownPort_)];
    device_->setText(QString::fromStdString(device));
    showDeviceStatus();
}

void TSettingsDlg::deviceChanged(const QString& text) {
    devices_[static_cast<std::size_t>(shownPort_)] = text.trimmed().toStdString();
    showDeviceStatus();
}

void TSettingsDlg::showDeviceStatus() {
    // Every port's device is in its list entry's tip; the shown one's under the field.
    for (int port = 0; port < kPortCount; ++port) {
        const std::string& device = devices_[static_cast<std::size_t>(port)];
        const QString status = QString::fromStdString(deviceStatusText(device.empty() ? defaultPortDevice(port) : device));
        port_->setItemData(port, status, Qt::ToolTipRole);
        if (port == shownPort_) deviceInfo_->setText(status);
    }
}

void TSettingsDlg::OkBtClick() {
    if (busy_) return;
    AppConfig& config = *services_.config;
    config.port = port_->currentIndex();
    config.baudIndex = bauds_->currentIndex();
    config.protocol = protocol_->currentIndex();
    config.directGraphics = printMode_->currentIndex();
    config.translation = translation_->currentIndex();
    for (int i = 0; i < kPortCount; ++i)
        if (devices_[static_cast<std::size_t>(i)] != config.portDevices[static_cast<std::size_t>(i)])
            services_.setPortDevice(i, devices_[static_cast<std::size_t>(i)]);
    services_.applied();
    accept();
}

void TSettingsDlg::withSelections(const std::function<void(PrinterLink&)>& exchange) {
    if (busy_) return;
    AppConfig& config = *services_.config;
    const AppConfig confirmed = config;
    config.port = port_->currentIndex();
    config.baudIndex = bauds_->currentIndex();
    config.protocol = protocol_->currentIndex();
    config.portDevices = devices_;
    // Nothing else may start while the link waits and lets events run.
    busy_ = true;
    setEnabled(false);
    PrinterLink& link = services_.link();
    exchange(link);
    link.closePort();
    config.port = confirmed.port;
    config.baudIndex = confirmed.baudIndex;
    config.protocol = confirmed.protocol;
    config.portDevices = confirmed.portDevices;
    // Asking for the link again sets it back to the confirmed settings.
    services_.link();
    setEnabled(true);
    busy_ = false;
}

void TSettingsDlg::sendCommand(Maintenance command) {
    // A port that does not open has said so; nothing is sent then.
    withSelections([command](PrinterLink& link) { sendMaintenance(link, command); });
}

void TSettingsDlg::ResetBtClick() {
    if (messageBox(QStringLiteral("Warning"), QStringLiteral("All information in printer will be erased !"), true) != 1)
        return;
    sendCommand(Maintenance::EraseMemory);
}

void TSettingsDlg::SetClockClick() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    withSelections([&](PrinterLink& link) {
        setClock(link, date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second());
    });
}

void TSettingsDlg::GetClockClick() {
    std::string reply;
    bool silent = true;
    withSelections([&](PrinterLink& link) {
        const Result read = readClock(link, reply);
        // A stop is the user's own doing: the field shows what came, not an error.
        silent = !read && read.kind() != FailureKind::Stopped;
    });
    clock_->setText(QString::fromLatin1(clockFieldText(silent, reply).c_str()));
}

void TSettingsDlg::closeEvent(QCloseEvent* event) {
    // An exchange in progress finishes first.
    if (busy_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TSettingsDlg::reject() {
    if (!busy_) QDialog::reject();
}

}  // namespace tavrin
