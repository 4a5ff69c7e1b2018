// The printer's storage from the editor against the virtual printer: storing the label and
// picture files, the object list with the memory figures, fetching stored objects into files,
// deleting, loading a stored form into the editor, adding a stored font to the label, and
// exchanges that a killed printer or the user's Stop cut short (a printer killed while bytes
// go out: the print commands' tests).
#include <gtest/gtest.h>

#include <QDate>
#include <QListWidget>
#include <QRegularExpression>

#include "app/message_box.h"
#include "app/toolbar.h"
#include "fonts/font_management.h"
#include "link/byte_sink.h"
#include "printer/form_file.h"
#include "printer/form_writer.h"
#include "printer/printer_exchanges.h"
#include "printer/storage_operations.h"
#include "support/editor_window.h"
#include "tools/font_commands.h"

namespace tavrin {
namespace {

using test::click;
using test::OnModal;

const std::filesystem::path kFixtures = std::filesystem::path(TAVRIN_SOURCE_DIR) / "tests/graphics/fixtures";

// The object list and the store-as window each have one list.
QListWidget* entries(QWidget* dialog) { return dialog->findChild<QListWidget*>(); }

void selectEntry(QWidget* dialog, const QString& name) {
    const auto found = entries(dialog)->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    entries(dialog)->setCurrentItem(found.front());
}

LabelDocument sampleLabel() {
    LabelDocument label;
    label.setup.width = 400;
    label.setup.length = 240;
    label.figures.appendFigure(RectangleRecord{10, 20, 100, 30}.encode(), FigureKind::Rectangle);
    TextRecord text;
    text.x = 40;
    text.y = 80;
    text.data = "\"HELLO\"";
    label.figures.appendFigure(text.encode(), FigureKind::Text);
    return label;
}

// The lines a stored form keeps: what the store sends between FS and FE.
std::vector<std::string> storedFormLines(const LabelDocument& label, const std::string& name) {
    BufferSink sink;
    EXPECT_TRUE(writeStoredForm(label, name, sink));
    const auto lines = splitFormLines(sink.bytes());
    std::vector<std::string> kept;
    bool inside = false;
    for (const std::string& line : lines) {
        if (line == "FE") break;
        if (inside) kept.push_back(line);
        if (line == "FS\"" + name + "\"") inside = true;
    }
    return kept;
}

struct ObjectListView {
    QString title, memory;
    QStringList names;
};

QStringList names(QWidget* dialog) {
    QStringList names;
    for (int i = 0; i < entries(dialog)->count(); ++i) names << entries(dialog)->item(i)->text();
    return names;
}

ObjectListView shownIn(QWidget* dialog) {
    return {dialog->windowTitle(), dialog->findChild<QLabel*>("MemInfo")->text(), names(dialog)};
}

TEST(StorageExchanges, MemoryLineCaptionsAndFigures) {
    EXPECT_EQ(parseMemoryLine(""), MemoryFigures{});
    const MemoryFigures memory{1, 2, 3, 9};
    const struct {
        int kind;
        std::size_t count;
        const char* caption;
        const char* line;
    } cases[] = {{kListForms, 3, "Form list - 3 objects", "1 bytes , 9 free"},
                 {kListGraphics, 1, "Graphics list - 1 object", "2 bytes , 9 free"},
                 {kListFonts, 0, "Font list - 0 objects", "3 bytes , 9 free"}};
    for (const auto& c : cases) {
        EXPECT_EQ(objectListCaption(c.kind, c.count), c.caption);
        EXPECT_EQ(memoryLine(c.kind, memory), c.line);
    }
}

class StorageWindowsTest : public ::testing::Test, public test::PrinterWindowFixture {};

TEST_F(StorageWindowsTest, StoresTheCurrentLabelAndListsItWithTheMemoryUse) {
    auto window = start();
    {
        test::OnModal answer("OkBt");
        window->action("StoreCurrentM")->trigger();
        EXPECT_EQ(answer.text(), "Nothing to store");
    }
    window->session().edit([](LabelDocument& document) { document = sampleLabel(); });

    QStringList afterStore;
    OnModal store("TStoreDlg", [&](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Store current label");
        auto* name = dialog->findChild<QLineEdit*>("NameEd");
        for (const char* refused : {"BAD_1", ""}) {
            test::OnModal answer("OkBt");
            name->setText(refused);
            click(dialog, "StoreBt");
            // An empty name does nothing; any other character than letters and digits is refused.
            EXPECT_EQ(answer.text(), *refused ? QString("Invalid name: ") + refused : QString());
        }
        name->setText("LABEL1");
        click(dialog, "StoreBt");
        afterStore = names(dialog);
        dialog->close();
    });
    window->action("StoreCurrentM")->trigger();
    ASSERT_TRUE(store.ran());
    EXPECT_EQ(afterStore, QStringList{"LABEL1"});

    ObjectListView forms;
    OnModal look("TObjListDlg", [&](QWidget* dialog) {
        forms = shownIn(dialog);
        dialog->close();
    });
    window->action("FormM")->trigger();
    ASSERT_TRUE(look.ran());
    EXPECT_EQ(forms.title, "Form list - 1 object");
    EXPECT_EQ(forms.names, QStringList{"LABEL1"});
    const auto match = QRegularExpression("^(\\d+) bytes , (\\d+) free$").match(forms.memory);
    ASSERT_TRUE(match.hasMatch()) << forms.memory.toStdString();
    EXPECT_GT(match.captured(1).toInt(), 0);
    EXPECT_GT(match.captured(2).toInt(), 0);
}

TEST_F(StorageWindowsTest, SavesStoredFormAndPictureToFiles) {
    auto window = start();
    PrinterStorage storage(window->link());
    const LabelDocument label = sampleLabel();
    ASSERT_TRUE(storage.storeCurrentLabel(label, "FORM1"));
    GraphicsBuffer picture;
    for (std::size_t i = 0; i < 300; ++i) picture.bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    picture.count = 300;
    ASSERT_TRUE(storage.storeGraphicsFile(picture, "PIC1"));

    const QDate today = QDate::currentDate();
    std::string formText = QString("; Saved by TAVRIN label editor on %1-%2-%3\r\n")
                               .arg(today.day(), 2, 10, QChar('0'))
                               .arg(today.month(), 2, 10, QChar('0'))
                               .arg(today.year(), 4, 10, QChar('0'))
                               .toStdString();
    const std::vector<std::string> formLines = storedFormLines(label, "FORM1");
    for (const std::string& line : formLines) formText += line + "\r\n";
    formText += "\r\n";

    const struct {
        const char* menuItem;
        const char* name;
        const char* file;
        std::string expected;
        QString title;
        QString text;
    } cases[] = {
        {"FormM", "FORM1", "form.ejf", formText, "Form \"FORM1\" successfully extracted",
         QString("%1 lines saved to %2").arg(formLines.size()).arg(QString::fromStdString(path("form.ejf").string()))},
        {"GraphicsM", "PIC1", "pic.pcx", std::string(picture.bytes.begin(), picture.bytes.begin() + 300),
         "PCX file \"PIC1\" successfully extracted",
         QString("300 bytes saved to %1").arg(QString::fromStdString(path("pic.pcx").string()))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.menuItem);
        // An old file of that name is replaced once the new one is complete.
        test::writeFile(path(c.file), std::string_view("old"));
        chosenFile = QString::fromStdString(path(c.file).string());
        QString title, text;
        OnModal save("TObjListDlg", [&](QWidget* dialog) {
            selectEntry(dialog, c.name);
            test::OnModal overwrite("YesBt");
            {
                test::OnModal report("OkBt");
                click(dialog, "SaveBt");
                ASSERT_TRUE(QTest::qWaitFor([&] { return report.ran(); }, 10000));
                title = report.title();
                text = report.text();
            }
            EXPECT_TRUE(overwrite.ran());
            dialog->close();
        });
        window->action(c.menuItem)->trigger();
        ASSERT_TRUE(save.ran());
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(test::readText(path(c.file)), c.expected);
    }
}

TEST_F(StorageWindowsTest, DeletesOnlyAfterTheQuestion) {
    auto window = start();
    PrinterStorage storage(window->link());
    GraphicsBuffer picture;
    picture.count = 200;
    ASSERT_TRUE(storage.storeGraphicsFile(picture, "PIC1"));
    ASSERT_TRUE(storage.storeGraphicsFile(picture, "PIC2"));

    for (const char* answer : {"NoBt", "YesBt"}) {
        ObjectListView after;
        OnModal remove("TObjListDlg", [&](QWidget* dialog) {
            selectEntry(dialog, "PIC1");
            test::OnModal question(answer);
            click(dialog, "DelBt");
            EXPECT_EQ(question.title(), "Delete confirm");
            EXPECT_EQ(question.text(), "Are You sure ?");
            after = shownIn(dialog);
            dialog->close();
        });
        window->action("GraphicsM")->trigger();
        ASSERT_TRUE(remove.ran());
        if (QString(answer) == "NoBt") {
            EXPECT_EQ(after.names, (QStringList{"PIC1", "PIC2"}));
        } else {
            EXPECT_EQ(after.title, "Graphics list - 1 object");
            EXPECT_EQ(after.names, QStringList{"PIC2"});
            EXPECT_TRUE(after.memory.startsWith("200 bytes , ")) << after.memory.toStdString();
        }
    }
}

TEST_F(StorageWindowsTest, LoadsAStoredFormIntoTheEditor) {
    auto window = start();
    PrinterStorage storage(window->link());
    const LabelDocument label = sampleLabel();
    ASSERT_TRUE(storage.storeCurrentLabel(label, "FORM1"));
    // The label in the window has unsaved changes: the question comes first.
    window->session().edit([](LabelDocument& document) {
        document.figures.appendFigure(RectangleRecord{1, 1, 5, 5}.encode(), FigureKind::Rectangle);
    });
    ASSERT_TRUE(window->session().modified());

    bool closedAfterLoad = false;
    OnModal load("TObjListDlg", [&](QWidget* dialog) {
        selectEntry(dialog, "FORM1");
        {
            test::OnModal cancelled("CancelBt");
            click(dialog, "EditBt");
            EXPECT_TRUE(cancelled.ran());
        }
        EXPECT_TRUE(dialog->isVisible()) << "a cancelled question leaves everything as it was";
        test::OnModal discard("NoBt");
        click(dialog, "EditBt");
        closedAfterLoad = !dialog->isVisible();
    });
    window->action("FormM")->trigger();
    ASSERT_TRUE(load.ran());
    EXPECT_TRUE(closedAfterLoad);

    const LabelDocument& loaded = window->session().document();
    ASSERT_EQ(loaded.figures.size(), 2u);
    auto it = loaded.figures.begin();
    EXPECT_EQ(it->kind, FigureKind::Rectangle);
    EXPECT_EQ(RectangleRecord::decode(it->record).width, 100);
    ++it;
    EXPECT_EQ(TextRecord::decode(it->record).data, "\"HELLO\"");
    EXPECT_EQ(loaded.setup.width, 400);
    EXPECT_FALSE(window->session().canUndo());
    EXPECT_FALSE(window->session().modified());
}

TEST_F(StorageWindowsTest, APrinterGoneBeforeTheFormCameLeavesTheLabelAsItWas) {
    auto window = start();
    {
        PrinterStorage storage(window->link());
        ASSERT_TRUE(storage.storeCurrentLabel(sampleLabel(), "FORM1"));
    }
    window->session().edit([](LabelDocument& document) {
        document.figures.appendFigure(RectangleRecord{1, 1, 5, 5}.encode(), FigureKind::Rectangle);
    });
    QString error;
    OnModal load("TObjListDlg", [&](QWidget* dialog) {
        selectEntry(dialog, "FORM1");
        simulator.reset();
        test::OnModal discard("NoBt");
        test::OnModal failure("OkBt");
        click(dialog, "EditBt");
        EXPECT_TRUE(QTest::qWaitFor([&] { return failure.ran(); }, 10000));
        error = failure.text();
    });
    window->action("FormM")->trigger();
    ASSERT_TRUE(load.ran());
    EXPECT_TRUE(error.startsWith(QString::fromStdString("Can't open communication port " + printerDevice)))
        << error.toStdString();
    ASSERT_EQ(window->session().document().figures.size(), 1u);
    EXPECT_EQ(RectangleRecord::decode(window->session().document().figures.begin()->record).width, 5);
    EXPECT_TRUE(window->session().modified());
}

TEST_F(StorageWindowsTest, StoreGraphicsRefusesANonPictureAndStoresABmpByName) {
    auto window = start();
    QAction* item = window->action("StoreGraphicsM");
    ASSERT_TRUE(item->isEnabled());

    // A file that is no picture is refused before anything is sent.
    chosenFile = QString::fromStdString((kFixtures / "MAKE.sh").string());
    {
        OnModal never("TStoreDlg", [](QWidget* dialog) { dialog->close(); });
        test::OnModal refusal("OkBt");
        item->trigger();
        EXPECT_EQ(refusal.text(), "Invalid graphics format");
        EXPECT_FALSE(never.ran());
    }

    // The files hub's button takes the same way.
    chosenFile = QString::fromStdString((kFixtures / "w17h30.bmp").string());
    OnModal store("TStoreDlg", [](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Store w17h30.bmp");
        dialog->findChild<QLineEdit*>("NameEd")->setText("NOISE");
        click(dialog, "StoreBt");
        dialog->close();
    });
    OnModal hub("TFilesDlg", [](QWidget* dialog) {
        click(dialog, "StoreGraphicsBt");
        dialog->close();
    });
    window->toolbar()->findChild<QAbstractButton*>("FilesBt")->click();
    ASSERT_TRUE(store.ran());
    PrinterStorage storage(window->link());
    ASSERT_TRUE(storage.listGraphicsAndFonts());
    EXPECT_EQ(storage.graphicsNames(), std::vector<std::string>{"NOISE"});
}

TEST_F(StorageWindowsTest, FontFromThePrinterJoinsTheLabelUnderItsLetterAndDraws) {
    test::writeFile(path("three.qft"), test::threeLetterFont());  // stored in the printer as "K"
    auto window = start();
    {
        // Nothing stored under that name: whatever the printer answers is no font.
        test::OnModal refusal("OkBt");
        EXPECT_FALSE(addStoredFont(*window, "Q"));
        EXPECT_EQ(refusal.text(), "Invalid font file");
    }
    ASSERT_TRUE(PrinterStorage(window->link()).storeFontFile(path("three.qft"), "K"));

    const FigureList& figures = window->session().document().figures;
    const auto ink = [&] { return window->session().printImage().countInk(); };
    const int empty = ink();

    QStringList offered;
    OnModal pick("TObjListDlg", [&](QWidget* dialog) {
        offered = names(dialog);
        entries(dialog)->setCurrentRow(0);
        click(dialog, "SaveBt");
    });
    OnModal ways("TNewFontDlg", [](QWidget* dialog) {
        click(dialog, "FromPrinterBt");
        // A font was added: the window closed itself.
        EXPECT_FALSE(dialog->isVisible());
        if (dialog->isVisible()) dialog->close();
    });
    window->action("NewFontM")->trigger();
    ASSERT_TRUE(pick.ran());
    EXPECT_EQ(offered, QStringList{"K"});
    EXPECT_EQ(fontListEntries(figures), std::vector<std::string>{"K  Height=16 Chars=3"});
    EXPECT_NE(received().find("EI\"K\""), std::string::npos);
    TextRecord text;
    text.x = 10, text.y = 10, text.font = 6, text.hMul = 1, text.vMul = 1, text.data = "\"ABC\"";
    window->session().edit([&](LabelDocument& label) { label.figures.appendFigure(text.encode(), FigureKind::Text); });
    // Each character is 4 dots wide over 16 rows.
    EXPECT_EQ(ink() - empty, 3 * 4 * 16);
    window->undo();
    window->undo();
    EXPECT_TRUE(fontListEntries(figures).empty());
}

// Runs `act` once, as soon as the simulator has logged a received command line containing
// `command`.
class OnReceived {
public:
    OnReceived(const test::PrinterWindowFixture& fixture, std::string command, std::function<void()> act)
        : fixture_(fixture), command_(std::move(command)), act_(std::move(act)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (fixture_.received().find("< " + command_) == std::string::npos) return;
            timer_.stop();
            act_();
        });
        timer_.start(10);
    }

private:
    const test::PrinterWindowFixture& fixture_;
    std::string command_;
    std::function<void()> act_;
    QTimer timer_;
};

// A silence limit no test waits out: an exchange that ends did so for another reason.
void waitForEver(TZRedit& window) {
    LinkTiming timing = window.link().timing();
    timing.silenceLimit = std::chrono::minutes(10);
    window.link().setTiming(timing);
}

class SilentPrinterTest : public ::testing::Test, public test::PrinterWindowFixture {
public:
    SilentPrinterTest() : PrinterWindowFixture({"--fault", "silent"}) {}
};

TEST_F(SilentPrinterTest, ListFailsInTheProgressWindowAndTheLabelStays) {
    auto window = start();
    window->session().edit([](LabelDocument& document) { document = sampleLabel(); });
    OnModal never("TObjListDlg", [](QWidget* dialog) { dialog->close(); });
    test::OnModal answer("OkBt");
    window->action("FormM")->trigger();
    EXPECT_EQ(answer.text(), "No printer response");
    EXPECT_FALSE(never.ran());
    EXPECT_EQ(window->session().document().figures.size(), 2u);
    EXPECT_FALSE(window->link().isOpen());
}

// Stop on the progress window ends the wait for the printer's answer: no error box, no
// list, and the link says it was the user.
TEST_F(SilentPrinterTest, StopEndsTheWaitForTheAnswerWithoutAnError) {
    auto window = start();
    waitForEver(*window);
    bool stopShown = false;
    OnReceived stop(*this, "UM", [&] {
        QWidget* progress = QApplication::activeModalWidget();
        auto* button = progress ? progress->findChild<QAbstractButton*>("StopBt") : nullptr;
        stopShown = button != nullptr && button->isVisible() && button->text() == "Stop";
        if (stopShown) button->click();
    });
    OnModal never("TObjListDlg", [](QWidget* dialog) { dialog->close(); });
    test::OnModal noError("OkBt");
    window->action("FormM")->trigger();
    EXPECT_TRUE(stopShown);
    EXPECT_TRUE(window->link().stopped());
    EXPECT_FALSE(never.ran());
    EXPECT_FALSE(noError.ran()) << noError.text().toStdString();
    EXPECT_FALSE(sharedMessageBox().isVisible());
}

// The printer's process killed while the editor waits for its answer: "No printer response"
// at once, not after the silence limit.
TEST_F(SilentPrinterTest, APrinterKilledWhileItsAnswerIsAwaitedIsNoPrinterResponse) {
    auto window = start();
    waitForEver(*window);
    OnReceived kill(*this, "UM", [&] { simulator->kill(); });
    test::OnModal error("OkBt");
    window->action("FormM")->trigger();
    EXPECT_EQ(error.text(), "No printer response");
    EXPECT_FALSE(window->link().isOpen());
}

}  // namespace
}  // namespace tavrin
