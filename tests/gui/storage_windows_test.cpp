// The printer's storage from the editor against the virtual printer: storing the label and
// picture files, the object list, fetching a stored picture into a file, deleting, loading a
// stored form into the editor, adding a stored font to the label, and exchanges that a killed
// printer or the user's Stop cut short. What the exchanges send and read is checked with a
// scripted printer in tests/printer.
#include <gtest/gtest.h>

#include <QListWidget>

#include "app/message_box.h"
#include "app/toolbar.h"
#include "fonts/font_management.h"
#include "printer/storage_operations.h"
#include "support/editor_window.h"
#include "tools/font_commands.h"

namespace tavrin {
namespace {

using test::click;
using test::OnModal;

using test::kFixtures;

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
    label.figures.appendFigure(TextRecord{.x = 40, .y = 80, .data = "\"HELLO\""}.encode(), FigureKind::Text);
    return label;
}

struct ObjectListView {
    QString title;
    QStringList names;
};

QStringList names(QWidget* dialog) {
    QStringList names;
    for (int i = 0; i < entries(dialog)->count(); ++i) names << entries(dialog)->item(i)->text();
    return names;
}

ObjectListView shownIn(QWidget* dialog) {
    return {dialog->windowTitle(), names(dialog)};
}

class StorageWindowsTest : public ::testing::Test, public test::PrinterWindowFixture {};

TEST_F(StorageWindowsTest, StoresTheLabelListsItAndDeletesItOnlyAfterTheQuestion) {
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
        {
            test::OnModal answer("OkBt");
            name->setText("");
            click(dialog, "StoreBt");
            EXPECT_FALSE(answer.ran()) << "an empty name does nothing";
        }
        name->setText("LABEL1");
        click(dialog, "StoreBt");
        afterStore = names(dialog);
        dialog->close();
    });
    window->action("StoreCurrentM")->trigger();
    ASSERT_TRUE(store.ran());
    EXPECT_EQ(afterStore, QStringList{"LABEL1"});

    ObjectListView stored, kept, deleted;
    OnModal list("TObjListDlg", [&](QWidget* dialog) {
        stored = shownIn(dialog);
        for (const char* answer : {"NoBt", "YesBt"}) {
            selectEntry(dialog, "LABEL1");
            test::OnModal question(answer);
            click(dialog, "DelBt");
            EXPECT_EQ(question.title(), "Delete confirm");
            EXPECT_EQ(question.text(), "Are You sure ?");
            (*answer == 'N' ? kept : deleted) = shownIn(dialog);
        }
        dialog->close();
    });
    window->action("FormM")->trigger();
    ASSERT_TRUE(list.ran());
    EXPECT_EQ(stored.title, "Form list - 1 object");
    EXPECT_EQ(stored.names, QStringList{"LABEL1"});
    EXPECT_EQ(kept.names, QStringList{"LABEL1"});
    EXPECT_EQ(deleted.title, "Form list - 0 objects");
    EXPECT_TRUE(deleted.names.isEmpty());
}

TEST_F(StorageWindowsTest, SavesAStoredPictureToAFileOverTheOldOne) {
    auto window = start();
    GraphicsBuffer picture;
    for (std::size_t i = 0; i < 300; ++i) picture.bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    picture.count = 300;
    ASSERT_TRUE(PrinterStorage(window->link()).storeGraphicsFile(picture, "PIC1"));
    test::writeFile(path("pic.pcx"), std::string_view("old"));
    chosenFile = QString::fromStdString(path("pic.pcx").string());
    OnModal save("TObjListDlg", [&](QWidget* dialog) {
        selectEntry(dialog, "PIC1");
        test::OnModal overwrite("YesBt");
        test::OnModal report("OkBt");
        click(dialog, "SaveBt");
        ASSERT_TRUE(QTest::qWaitFor([&] { return report.ran(); }, 10000));
        EXPECT_TRUE(overwrite.ran());
        dialog->close();
    });
    window->action("GraphicsM")->trigger();
    ASSERT_TRUE(save.ran());
    // The report's words and the bytes are the extraction's own test; here the old file gave way.
    EXPECT_EQ(test::readFile(path("pic.pcx")).size(), 300u);
}

TEST_F(StorageWindowsTest, LoadingAStoredFormAsksFirstAndAPrinterGoneLeavesTheLabel) {
    auto window = start();
    ASSERT_TRUE(PrinterStorage(window->link()).storeCurrentLabel(sampleLabel(), "FORM1"));
    const auto change = [&] {
        window->session().edit([](LabelDocument& document) {
            document.figures.appendFigure(RectangleRecord{1, 1, 5, 5}.encode(), FigureKind::Rectangle);
        });
    };
    const auto load = [&](const OnModal::Act& act) {
        OnModal dialog("TObjListDlg", [&](QWidget* d) {
            selectEntry(d, "FORM1");
            act(d);
        });
        window->action("FormM")->trigger();
        EXPECT_TRUE(dialog.ran());
    };
    // The label in the window has unsaved changes: the question comes first.
    change();
    bool closedAfterLoad = false;
    load([&](QWidget* dialog) {
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
    EXPECT_TRUE(closedAfterLoad);
    const LabelDocument& loaded = window->session().document();
    ASSERT_EQ(loaded.figures.size(), 2u);
    EXPECT_EQ(TextRecord::decode(std::next(loaded.figures.begin())->record).data, "\"HELLO\"");
    EXPECT_EQ(loaded.setup.width, 400);
    EXPECT_FALSE(window->session().canUndo());
    EXPECT_FALSE(window->session().modified());

    change();
    QString error;
    load([&](QWidget* dialog) {
        simulator.reset();
        test::OnModal discard("NoBt");
        test::OnModal failure("OkBt");
        click(dialog, "EditBt");
        EXPECT_TRUE(QTest::qWaitFor([&] { return failure.ran(); }, 10000));
        error = failure.text();
    });
    EXPECT_TRUE(error.startsWith(QString::fromStdString("Can't open communication port " + printerDevice)))
        << error.toStdString();
    EXPECT_EQ(window->session().document().figures.size(), 3u);
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

// Runs `act` once, as soon as the simulator logs a received command line containing
// `command` from now on.
class OnReceived {
public:
    OnReceived(const test::PrinterWindowFixture& fixture, std::string command, std::function<void()> act)
        : fixture_(fixture), command_("< " + std::move(command)), act_(std::move(act)), from_(fixture.received().size()) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (fixture_.received().find(command_, from_) == std::string::npos) return;
            timer_.stop();
            act_();
        });
        timer_.start(10);
    }

private:
    const test::PrinterWindowFixture& fixture_;
    std::string command_;
    std::function<void()> act_;
    std::size_t from_;
    QTimer timer_;
};

class SilentPrinterTest : public ::testing::Test, public test::PrinterWindowFixture {
public:
    SilentPrinterTest() : PrinterWindowFixture({"--fault", "silent"}) {}
};

// While the editor waits for the printer's answer, Stop on the progress window ends the wait
// with no error box and no list, the link saying it was the user; the printer's process
// killed is "No printer response" at once, not after the silence limit.
TEST_F(SilentPrinterTest, StopOrAKilledPrinterEndsTheWaitForTheAnswer) {
    auto window = start();
    LinkTiming timing = window->link().timing();
    timing.silenceLimit = std::chrono::minutes(10);  // an exchange that ends did so for another reason
    window->link().setTiming(timing);
    {
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
    OnReceived kill(*this, "UM", [&] { simulator->kill(); });
    test::OnModal error("OkBt");
    window->action("FormM")->trigger();
    EXPECT_EQ(error.text(), "No printer response");
    EXPECT_FALSE(window->link().isOpen());
}

}  // namespace
}  // namespace tavrin
