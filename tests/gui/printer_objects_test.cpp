// Pictures and fonts between the printer and the label through the printer's object list:
// storing a picture file from the File menu, adding a stored font to the label.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QListWidget>

#include "app/toolbar.h"
#include "document/figure_records.h"
#include "fonts/font_management.h"
#include "gui/gui_test_support.h"
#include "gui/printer_windows_support.h"
#include "printer/storage_operations.h"
#include "render/canvas.h"
#include "tools/font_commands.h"

namespace tavrin {
namespace {

using test::OnModal;

const std::filesystem::path kFixtures = std::filesystem::path(TAVRIN_SOURCE_DIR) / "tests/graphics/fixtures";

void click(QWidget* dialog, const char* button) {
    auto* b = dialog->findChild<QAbstractButton*>(button);
    ASSERT_NE(b, nullptr) << button;
    b->click();
}

// Picks `name` in the object list shown as a chooser and extracts it.
void pickInObjectList(QWidget* dialog, const QString& name) {
    auto* list = dialog->findChild<QListWidget*>("ObjList");
    ASSERT_NE(list, nullptr);
    const auto found = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    list->setCurrentItem(found.front());
    click(dialog, "SaveBt");
}

class PrinterObjectsTest : public ::testing::Test, public test::PrinterWindowFixture {};

TEST_F(PrinterObjectsTest, StoreGraphicsLoadsThePictureFileAndAsksBeforeOverwriting) {
    auto window = start();
    QAction* item = window->action("StoreGraphicsM");
    ASSERT_TRUE(item->isEnabled());

    // A file that is no picture is refused before anything is sent.
    chosenFile = QString::fromStdString((kFixtures / "MAKE.sh").string());
    {
        OnModal never("TStoreDlg", [](QWidget* dialog) { dialog->close(); });
        test::ModalAnswer refusal("OkBt");
        item->trigger();
        EXPECT_EQ(refusal.text(), "Invalid graphics format");
        EXPECT_FALSE(never.ran());
    }

    chosenFile = QString::fromStdString((kFixtures / "w17h30.bmp").string());
    for (const char* answer : {"", "NoBt", "YesBt"}) {
        SCOPED_TRACE(answer);
        QString question;
        OnModal store("TStoreDlg", [&](QWidget* dialog) {
            EXPECT_EQ(dialog->windowTitle(), "Store w17h30.bmp");
            dialog->findChild<QLineEdit*>("NameEd")->setText("NOISE");
            if (*answer != '\0') {
                test::ModalAnswer overwrite(answer);
                click(dialog, "StoreBt");
                question = overwrite.text();
            } else {
                click(dialog, "StoreBt");
            }
            dialog->close();
        });
        item->trigger();
        ASSERT_TRUE(store.ran());
        EXPECT_EQ(question.isEmpty(), *answer == '\0') << question.toStdString();
    }

    PrinterStorage storage(window->link());
    ASSERT_TRUE(storage.listGraphicsAndFonts());
    EXPECT_EQ(storage.graphicsNames(), std::vector<std::string>{"NOISE"});
    // Stored once, then once more after Yes; No sent nothing.
    const std::string log = received();
    std::size_t stores = 0;
    for (std::size_t at = log.find("GM\"NOISE\""); at != std::string::npos; at = log.find("GM\"NOISE\"", at + 1)) ++stores;
    EXPECT_EQ(stores, 2u);
}

TEST_F(PrinterObjectsTest, FilesHubStoresGraphicsToo) {
    auto window = start();
    auto* files = window->toolbar()->findChild<QAbstractButton*>("FilesBt");
    ASSERT_NE(files, nullptr);
    chosenFile = QString::fromStdString((kFixtures / "logo.pcx").string());
    OnModal store("TStoreDlg", [](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("NameEd")->setText("LOGO");
        click(dialog, "StoreBt");
        dialog->close();
    });
    OnModal hub("TFilesDlg", [](QWidget* dialog) {
        auto* button = dialog->findChild<QAbstractButton*>("StoreGraphicsBt");
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->isEnabled());
        button->click();
        dialog->close();
    });
    files->click();
    ASSERT_TRUE(store.ran());
    PrinterStorage storage(window->link());
    ASSERT_TRUE(storage.listGraphicsAndFonts());
    EXPECT_EQ(storage.graphicsNames(), std::vector<std::string>{"LOGO"});
}

TEST_F(PrinterObjectsTest, FontFromThePrinterJoinsTheLabelUnderItsLetterAndDraws) {
    // Three one-byte-wide characters of height 16, stored in the printer as "K".
    test::Bytes font = {3, 0, 16};
    for (std::uint8_t code : {'A', 'B', 'C'}) {
        font.insert(font.end(), {code, 8, 1});
        font.insert(font.end(), 16, 0x3C);
    }
    test::writeFile(path("three.qft"), font);
    auto window = start();
    ASSERT_TRUE(PrinterStorage(window->link()).storeFontFile(path("three.qft"), "K"));

    FigureList& figures = window->session().document().figures;
    const auto ink = [&] {
        const Bitmap printed = renderPrintImage(window->session().document(), window->session().renderContext());
        int count = 0;
        for (int y = 0; y < printed.height(); ++y)
            for (int x = 0; x < printed.width(); ++x) count += printed.isInk(x, y);
        return count;
    };
    const int empty = ink();

    QStringList offered;
    OnModal pick("TObjListDlg", [&](QWidget* dialog) {
        auto* list = dialog->findChild<QListWidget*>("ObjList");
        for (int i = 0; i < list->count(); ++i) offered << list->item(i)->text();
        pickInObjectList(dialog, "K");
    });
    OnModal ways("TNewFontDlg", [](QWidget* dialog) {
        auto* fromPrinter = dialog->findChild<QAbstractButton*>("FromPrinterBt");
        ASSERT_TRUE(fromPrinter->isEnabled());
        fromPrinter->click();
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
    figures.appendFigure(text.encode(), FigureKind::Text);
    window->changed();
    // Each character is 4 dots wide over 16 rows.
    EXPECT_EQ(ink() - empty, 3 * 4 * 16);
    window->undo();
    window->undo();
    EXPECT_TRUE(fontListEntries(figures).empty());
}

TEST_F(PrinterObjectsTest, AFontReplyThatIsNoFontIsRefused) {
    auto window = start();
    // Nothing stored under that name: whatever the printer answers is no font.
    test::ModalAnswer refusal("OkBt");
    EXPECT_FALSE(addStoredFont(*window, "Q"));
    EXPECT_EQ(refusal.text(), "Invalid font file");
    EXPECT_TRUE(window->session().document().figures.empty());
}

}  // namespace
}  // namespace tavrin
