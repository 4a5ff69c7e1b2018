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
#include "support/editor_window.h"
#include "support/editor_window.h"
#include "printer/storage_operations.h"
#include "render/canvas.h"
#include "tools/font_commands.h"

namespace tavrin {
namespace {

using test::OnModal;

const std::filesystem::path kFixtures = std::filesystem::path(TAVRIN_SOURCE_DIR) / "tests/graphics/fixtures";

using test::click;

class PrinterObjectsTest : public ::testing::Test, public test::PrinterWindowFixture {};

TEST_F(PrinterObjectsTest, StoreGraphicsRefusesANonPictureAndStoresABmpByName) {
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

TEST_F(PrinterObjectsTest, FontFromThePrinterJoinsTheLabelUnderItsLetterAndDraws) {
    // Three one-byte-wide characters of height 16, stored in the printer as "K".
    test::Bytes font = {3, 0, 16};
    for (std::uint8_t code : {'A', 'B', 'C'}) {
        font.insert(font.end(), {code, 8, 1});
        font.insert(font.end(), 16, 0x3C);
    }
    test::writeFile(path("three.qft"), font);
    auto window = start();
    {
        // Nothing stored under that name: whatever the printer answers is no font.
        test::OnModal refusal("OkBt");
        EXPECT_FALSE(addStoredFont(*window, "Q"));
        EXPECT_EQ(refusal.text(), "Invalid font file");
    }
    ASSERT_TRUE(PrinterStorage(window->link()).storeFontFile(path("three.qft"), "K"));

    const FigureList& figures = window->session().document().figures;
    const auto ink = [&] {
        const Bitmap printed = window->session().printImage();
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
        list->setCurrentRow(0);
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

}  // namespace
}  // namespace tavrin
