// The settings and diagnostic window and the terminal against the virtual printer: the
// settings kept through the configuration, the devices offered, the maintenance commands,
// the clock set and read back, and lines typed and answers shown as text and as hex.
#include <gtest/gtest.h>

#include <array>

#include <QComboBox>
#include <QDateTime>
#include <QTextEdit>

#include "document/config_file.h"
#include "support/editor_window.h"
#include "tools/settings_dialog.h"
#include "tools/terminal_dialog.h"

namespace tavrin {
namespace {

using test::OnModal;

using test::child;
using test::click;

// A silent printer is told in the clock field itself; a reply is read back below.
TEST(SettingsDialog, ClockField) {
    EXPECT_EQ(clockFieldText(true, ""), "No printer response");
}

class ToolsWindowsTest : public ::testing::Test, public test::PrinterWindowFixture {};

TEST_F(ToolsWindowsTest, SettingsAreKeptOnlyAfterOkAndReadAtTheNextStart) {
    const std::filesystem::path translationFile = programFolder / "LATIN.TRN";
    test::writeFile(translationFile, test::Bytes(256, 0x3F));
    {
        auto window = start();
        const AppConfig before = window->config();
        // Closed without OK: nothing is kept.
        OnModal cancel("TSettingsDlg", [](QWidget* dialog) {
            child<QComboBox>(dialog, "BaudsCb")->setCurrentIndex(0);
            dialog->close();
        });
        window->action("SettingsM")->trigger();
        ASSERT_TRUE(cancel.ran());
        EXPECT_EQ(window->config().baudIndex, before.baudIndex);

        OnModal confirm("TSettingsDlg", [](QWidget* dialog) {
            auto* translation = child<QComboBox>(dialog, "TranslationCb");
            EXPECT_EQ(translation->count(), 3);
            EXPECT_EQ(translation->itemText(2), "File: LATIN.TRN");
            translation->setCurrentIndex(2);
            child<QComboBox>(dialog, "PortCb")->setCurrentIndex(2);
            auto* device = child<QLineEdit>(dialog, "DeviceEd");
            device->clear();
            QTest::keyClicks(device, "tcp://printer:9100");
            child<QComboBox>(dialog, "BaudsCb")->setCurrentIndex(2);
            child<QComboBox>(dialog, "ProtocolCb")->setCurrentIndex(1);
            child<QComboBox>(dialog, "PrintModeCb")->setCurrentIndex(1);
            click(dialog, "OkBt");
        });
        window->action("SettingsM")->trigger();
        ASSERT_TRUE(confirm.ran());
        EXPECT_EQ(window->translation().choice(), 2);
        // What the menus and the label set is kept too, whatever becomes of the label.
        window->action("GridM")->trigger();
        window->config().gridStep = 12;
        window->session().edit([](LabelDocument& label) { label.setup.width = 608; });
        OnModal dropChanges("NoBt");
        window->close();
    }
    LabelSetup setup;
    AppConfig written;
    ASSERT_TRUE(readConfiguration(programFolder / "user" / "ZREDITW.CFG", setup, written, 2));
    EXPECT_FALSE(std::filesystem::exists(programFolder / "ZREDITW.CFG")) << "never beside the program";
    EXPECT_EQ((std::array{written.showGrid, written.gridStep, setup.width}), (std::array{1, 12, 608}));
    auto again = start(false);
    const AppConfig& config = again->config();
    EXPECT_EQ(config.port, 2);
    EXPECT_EQ(config.portDevices[2], "tcp://printer:9100");
    EXPECT_EQ(config.baudIndex, 2);
    EXPECT_EQ(config.protocol, 1);
    EXPECT_EQ(config.directGraphics, 1);
    EXPECT_EQ(config.translation, 2);
}

TEST_F(ToolsWindowsTest, MaintenanceCommandsAndTheClockUseTheSelectedPort) {
    auto window = start();
    // The confirmed port goes nowhere; the one selected in the window is the printer.
    window->config().port = 5;
    window->config().portDevices[5] = (programFolder / "no-such-device").string();
    QString clock;
    OnModal settings("TSettingsDlg", [&](QWidget* dialog) {
        child<QComboBox>(dialog, "PortCb")->setCurrentIndex(0);
        for (const char* button : {"DiagnosticBt", "FormsListBt", "GraphicsListBt", "FontsListBt", "DefaultBt"})
            click(dialog, button);
        for (const char* answer : {"NoBt", "YesBt"}) {
            test::OnModal warning(answer);
            click(dialog, "ResetBt");
            EXPECT_EQ(warning.text(), "All information in printer will be erased !");
        }
        click(dialog, "SetClockBt");
        click(dialog, "GetClockBt");
        clock = child<QLineEdit>(dialog, "ClockEd")->text();
        dialog->close();
    });
    window->action("SettingsM")->trigger();
    ASSERT_TRUE(settings.ran());
    EXPECT_EQ(window->config().port, 5) << "trying a port does not confirm it";

    ASSERT_TRUE(clock.startsWith(' ')) << clock.toStdString();
    const QDateTime read = QDateTime::fromString(clock.mid(1), "MM,dd,yy,HH,mm,ss").addYears(100);
    ASSERT_TRUE(read.isValid()) << clock.toStdString();
    EXPECT_LE(std::abs(read.secsTo(QDateTime::currentDateTime())), 120) << clock.toStdString();

    const std::string log = received();
    for (const char* line : {"< U\n", "< FI\n", "< GI\n", "< EI\n", "< RESET\n", "< TI\n", "< M\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    EXPECT_EQ(log.find("< M\n"), log.rfind("< M\n")) << "No sends nothing";
    EXPECT_NE(log.find("< TS"), std::string::npos);
}

TEST_F(ToolsWindowsTest, TerminalShowsRepliesAsTextAndHex) {
    auto window = start();
    TTerminalDlg::HexMode = false;
    QString shown;
    int historyCount = 0;
    bool redEcho = false, blueReply = false;
    OnModal terminal("TTerminalDlg", [&](QWidget* dialog) {
        auto* input = child<QComboBox>(dialog, "InputBox");
        auto* field = child<QTextEdit>(dialog, "TrmField");
        auto* mode = child<QAbstractButton>(dialog, "ModeBt");
        EXPECT_EQ(mode->text(), "F2  HEX");
        const auto send = [&](const char* line, const QString& expected) {
            input->lineEdit()->setText(line);
            QTest::keyClick(input->lineEdit(), Qt::Key_Return);
            EXPECT_TRUE(QTest::qWaitFor([&] { return field->toPlainText().endsWith(expected); }, 5000))
                << field->toPlainText().toStdString();
        };
        send("UF", "UF\n0\n");
        // The input line's keys arrive at the combo box, which has the focus.
        QTest::keyClick(input, Qt::Key_F2);
        EXPECT_EQ(mode->text(), "F2  ASCII");
        send("UF", "UF\n30 0D 0A ");
        historyCount = input->count();
        shown = field->toPlainText();
        QTextCursor cursor(field->document());
        cursor.setPosition(1);
        redEcho = cursor.charFormat().foreground().color() == QColor(Qt::red);
        cursor.setPosition(4);
        blueReply = cursor.charFormat().foreground().color() == QColor(Qt::blue);
        dialog->close();
    });
    window->action("TerminalM")->trigger();
    ASSERT_TRUE(terminal.ran());
    EXPECT_EQ(shown, "UF\n0\nUF\n30 0D 0A ") << "the text shown before the switch stays as it was";
    EXPECT_EQ(historyCount, 1);
    EXPECT_TRUE(redEcho);
    EXPECT_TRUE(blueReply);
    EXPECT_FALSE(window->link().isOpen()) << "the port closes with the window";
    EXPECT_TRUE(TTerminalDlg::HexMode) << "the mode lasts to the next opening";
    TTerminalDlg::HexMode = false;
}

// The device field: the devices present to choose from, and what each port opens.
TEST_F(ToolsWindowsTest, SettingsOfferPresentDevicesAndTellWhatEachPortOpens) {
    auto window = start();
    const std::string missing = path("no-such-device").string();
    window->config().portDevices[1] = missing;
    QString com1, com2, picked;
    OnModal look("TSettingsDlg", [&](QWidget* dialog) {
        auto* devices = child<QComboBox>(dialog, "DeviceCb");
        auto* info = child<QLabel>(dialog, "DeviceInfo");
        auto* port = child<QComboBox>(dialog, "PortCb");
        ASSERT_TRUE(devices != nullptr && info != nullptr && port != nullptr);
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
        click(dialog, "OkBt");
    });
    window->action("SettingsM")->trigger();
    ASSERT_TRUE(look.ran());

    EXPECT_EQ(com1.toStdString(), printerDevice + " (present)");
    EXPECT_EQ(com2.toStdString(), missing + " (not found)");
    EXPECT_EQ(picked.toStdString(), simulator->device() + " (present)");
    EXPECT_EQ(window->config().portDevices[2], simulator->device());
}

}  // namespace
}  // namespace tavrin
