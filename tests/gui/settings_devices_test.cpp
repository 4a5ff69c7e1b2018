// The settings' device field: the devices present to choose from, and what each port opens.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "support/editor_window.h"
#include "link/device_list.h"

namespace tavrin {
namespace {

using test::OnModal;

class SettingsDevicesTest : public ::testing::Test, public test::PrinterWindowFixture {};

TEST_F(SettingsDevicesTest, OffersPresentDevicesAndTellsWhatEachPortOpens) {
    auto window = start();
    const std::string missing = path("no-such-device").string();
    window->config().portDevices[1] = missing;
    QStringList offered;
    QString com1, com2, picked;
    OnModal look("TSettingsDlg", [&](QWidget* dialog) {
        auto* devices = dialog->findChild<QComboBox*>("DeviceCb");
        auto* info = dialog->findChild<QLabel*>("DeviceInfo");
        auto* port = dialog->findChild<QComboBox*>("PortCb");
        ASSERT_TRUE(devices != nullptr && info != nullptr && port != nullptr);
        for (int i = 0; i < devices->count(); ++i) offered << devices->itemText(i);
        com1 = info->text();
        port->setCurrentIndex(1);
        com2 = info->text();
        EXPECT_EQ(port->itemData(1, Qt::ToolTipRole).toString(), com2);
        port->setCurrentIndex(2);
        EXPECT_TRUE(info->text().startsWith("/dev/ttyS2 (")) << info->text().toStdString();
        // Picking a listed device puts it in the field for the shown port.
        devices->addItem(QString::fromStdString(simulator->device()));
        devices->setCurrentIndex(devices->count() - 1);
        emit devices->textActivated(devices->currentText());
        picked = info->text();
        dialog->findChild<QAbstractButton*>("OkBt")->click();
    });
    window->action("SettingsM")->trigger();
    ASSERT_TRUE(look.ran());

    QStringList present;
    for (const std::string& device : listPrinterDevices()) present << QString::fromStdString(device);
    EXPECT_EQ(offered, present);
    EXPECT_EQ(com1.toStdString(), printerDevice + " (present)");
    EXPECT_EQ(com2.toStdString(), missing + " (not found)");
    EXPECT_EQ(picked.toStdString(), simulator->device() + " (present)");
    EXPECT_EQ(window->config().portDevices[2], simulator->device());
}

}  // namespace
}  // namespace tavrin
