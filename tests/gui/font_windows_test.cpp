// The label font windows driven by their controls: the converter's two tables, the preview
// and its Save against make-font, and Add New Font / Remove Font through the Tools menu.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>

#include "document/figure_records.h"
#include "fonts/font_management.h"
#include "support/editor_window.h"
#include "tools/character_grid.h"
#include "tools/font_preview_dialog.h"
#include "tools/truetype_dialog.h"

namespace tavrin {
namespace {

const char* const kFamily = "DejaVu Sans";

using test::click;

void choose(QWidget* dialog, const char* listName, const QString& text) {
    auto* list = dialog->findChild<QComboBox*>(listName);
    const int index = list->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    list->setCurrentIndex(index);
    emit list->activated(index);
}

int codeIn(QTableWidget* grid, int row, int column) { return grid->item(row, column)->data(Qt::UserRole).toInt(); }
QImage imageIn(QTableWidget* grid, int row, int column) {
    return grid->item(row, column)->data(Qt::DecorationRole).value<QImage>();
}
int filledCells(QTableWidget* grid) {
    int n = 0;
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 0; c < grid->columnCount(); ++c) n += codeIn(grid, r, c) != 0;
    return n;
}

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog.prepare();
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        choose(&dialog, "FontList", kFamily);
        source = dialog.findChild<QTableWidget*>("SourceGrid");
        target = dialog.findChild<QTableWidget*>("TargetGrid");
    }
    TTrueTypeDlg dialog;
    QTableWidget* source = nullptr;
    QTableWidget* target = nullptr;
};

TEST_F(ConverterTest, FillsTheSourceGridInTheChosenScript) {
    auto* scripts = dialog.findChild<QComboBox*>("ScriptList");
    EXPECT_EQ(scripts->currentText(), "Western");
    ASSERT_GE(scripts->findText("Cyrillic"), 0);
    const QImage westernC0 = imageIn(source, 5, 0);  // À
    choose(&dialog, "ScriptList", "Cyrillic");

    EXPECT_EQ(codeIn(source, 5, 0), 0xC0);
    const QImage cyrillicC0 = imageIn(source, 5, 0);  // А
    ASSERT_FALSE(cyrillicC0.isNull());
    EXPECT_NE(cyrillicC0, westernC0);
    EXPECT_NE(cyrillicC0, QImage(cyrillicC0.size(), cyrillicC0.format()));  // not blank
    EXPECT_EQ(codeIn(source, 3, 24), 0);  // 0x98 has no character in this code page
    EXPECT_EQ(codeIn(source, 0, 1), '!');
    EXPECT_EQ(filledCells(target), 0);
    EXPECT_EQ(target->horizontalHeaderItem(17)->text(), ".1");
    EXPECT_EQ(target->verticalHeaderItem(6)->text(), "E0");
}

TEST_F(ConverterTest, CopyOfARangeStopsAtTheLastCellAndUndoes) {
    source->clearSelection();
    source->setRangeSelected(QTableWidgetSelectionRange(1, 1, 3, 5), true);  // 3 x 5 from 'A'
    target->setCurrentCell(6, 30);
    click(&dialog, "CopyBt");
    EXPECT_EQ(codeIn(target, 6, 30), 'A');
    EXPECT_EQ(codeIn(target, 6, 31), 'B');
    EXPECT_EQ(filledCells(target), 2);
    EXPECT_EQ(imageIn(target, 6, 30), imageIn(source, 1, 1));  // drawn as its source character

    target->setCurrentCell(6, 31);
    click(&dialog, "ClearMarkedBt");
    EXPECT_EQ(codeIn(target, 6, 31), 0);
    EXPECT_EQ(codeIn(target, 6, 30), 'A');

    click(&dialog, "UndoBt");
    EXPECT_EQ(codeIn(target, 6, 31), 'B');
    EXPECT_EQ(target->currentRow(), 6);
    EXPECT_EQ(target->currentColumn(), 30);
    click(&dialog, "UndoBt");
    EXPECT_EQ(filledCells(target), 0);
    EXPECT_EQ(target->currentColumn(), 0);
}

TEST_F(ConverterTest, DoubleClickCopiesToTheSameCodeAndAnEmptyTableHasNoPreview) {
    emit source->cellDoubleClicked(1, 1);
    EXPECT_EQ(codeIn(target, 1, 1), 'A');
    EXPECT_EQ(target->currentRow(), 1);
    EXPECT_EQ(dialog.findChild<QLabel*>("CharPreview")->property("code").toInt(), 'A');
    click(&dialog, "ClearBt");
    EXPECT_EQ(filledCells(target), 0);
    test::OnModal answer("OkBt");
    click(&dialog, "PreviewBt");
    EXPECT_TRUE(answer.ran());
    EXPECT_EQ(answer.title(), "Error");
    EXPECT_EQ(answer.text(), "Nothing to preview");
    EXPECT_FALSE(dialog.previewDialog()->isVisible());
}

TEST_F(ConverterTest, SaveWritesWhatMakeFontWrites) {
    choose(&dialog, "ScriptList", "Cyrillic");
    source->clearSelection();
    source->setRangeSelected(QTableWidgetSelectionRange(0, 0, 6, 31), true);
    target->setCurrentCell(0, 0);
    click(&dialog, "CopyBt");
    TFontPreviewDlg* preview = dialog.previewDialog();
    preview->open(*dialog.font(), dialog.table().cells());
    preview->findChild<QComboBox*>("SizeList")->setEditText("24");
    preview->findChild<QSlider*>("WidthBar")->setValue(14);
    preview->findChild<QSpinBox*>("SpaceUD")->setValue(1);
    preview->findChild<QCheckBox*>("AutoCB")->setChecked(true);
    EXPECT_FALSE(preview->findChild<QSpinBox*>("TopUD")->isEnabled());
    EXPECT_EQ(preview->findChild<QSpinBox*>("TopUD")->value(), preview->font().topFree);
    EXPECT_EQ(preview->findChild<QLabel*>("HeightLb")->text(), QString("%1 pixels").arg(preview->font().height));
    EXPECT_FALSE(preview->findChild<QLabel*>("PreviewImage")->pixmap().isNull());

    test::TempDir dir;
    const auto saved = dir / "dialog.qft";
    preview->setSaveChooser([&](auto...) { return QString::fromStdString((dir / "dialog").string()); });
    click(preview, "SaveBt");
    const auto r = test::runLabel({"make-font", "--font", kFamily, "--size", "24", "--width-correction",
                                  "1.4", "--space", "1", "--script", "Cyrillic", "--trim", "auto", "-o",
                                  (dir / "cli.qft").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_TRUE(std::filesystem::exists(saved));  // the default extension was added
    EXPECT_EQ(test::readFile(saved), test::readFile(dir / "cli.qft"));
    preview->close();
}

TEST_F(ConverterTest, TrimByHandAndTheSizeLimit) {
    emit source->cellDoubleClicked(1, 1);
    TFontPreviewDlg* preview = dialog.previewDialog();
    preview->open(*dialog.font(), dialog.table().cells());
    auto* top = preview->findChild<QSpinBox*>("TopUD");
    auto* bottom = preview->findChild<QSpinBox*>("BottomUD");
    const int lineHeight = preview->font().lineHeight;
    EXPECT_EQ(top->maximum(), lineHeight / 2);
    top->setValue(3);
    EXPECT_EQ(preview->font().topRemove, 3);
    EXPECT_EQ(preview->font().height, lineHeight - 3);
    EXPECT_EQ(bottom->maximum(), lineHeight - 3 - 1);
    // A smaller cell pulls the limits in with it.
    preview->findChild<QComboBox*>("SizeList")->setEditText("4");  // used as 6
    EXPECT_EQ(preview->font().size, 6);
    EXPECT_EQ(bottom->maximum(), preview->font().lineHeight - preview->font().topRemove - 1);

    preview->findChild<QComboBox*>("SizeList")->setEditText("240");
    bool written = false;
    preview->setSaveChooser([&](auto...) { written = true; return QString(); });
    test::OnModal answer("OkBt");
    click(preview, "SaveBt");
    EXPECT_EQ(answer.text(), "Font height more than 248 pixels");
    EXPECT_FALSE(written);
    preview->close();
}

class FontCommandsTest : public ::testing::Test, public test::EditorWindowFixture {
protected:
    void SetUp() override {
        window = start();
        chosenFile = QString::fromStdString(path("three.qft").string());
        test::writeFile(path("three.qft"), test::threeLetterFont());
    }
    const FigureList& figures() { return window->session().document().figures; }
    void addFontAs(const QString& letter) {
        test::OnModal script("TNewFontDlg", [](QWidget* w) { click(w, "FromDiskBt"); });
        script.then("TFontsDlg", [letter](QWidget* w) {
            EXPECT_TRUE(w->windowTitle().startsWith("Name for "));
            w->findChild<QLineEdit*>("NameEd")->setText(letter);
            click(w, "OkBt");
        });
        window->action("NewFontM")->trigger();
        EXPECT_TRUE(script.ran());
    }
    std::unique_ptr<TZRedit> window;
};

TEST_F(FontCommandsTest, TheMenuOpensTheConverterWithTheSystemsFamilies) {
    int families = 0;
    {
        test::OnModal script("TTrueTypeDlg", [&families](QWidget* w) {
            families = w->findChild<QComboBox*>("FontList")->count();
            click(w, "CloseBt");
        });
        window->action("TtfToQftM")->trigger();
        EXPECT_TRUE(script.ran());
    }
    EXPECT_GT(families, 0);
    EXPECT_EQ(window->findChild<TTrueTypeDlg*>()->font(), nullptr);  // let go when closed
}

TEST_F(FontCommandsTest, AddNewFontFromDiskUndoablyAndRemoveFontOnlyWhenNoTextUsesIt) {
    {
        test::OnModal answer("OkBt");
        window->action("RemoveFontM")->trigger();
        EXPECT_EQ(answer.text(), "Nothing to remove");
    }
    ASSERT_TRUE(window->action("NewFontM")->isEnabled());
    addFontAs("b");
    EXPECT_EQ(fontListEntries(figures()), std::vector<std::string>{"B  Height=16 Chars=3"});
    EXPECT_EQ(window->fontList().back(), "B  h=16");
    window->undo();
    EXPECT_TRUE(fontListEntries(figures()).empty());
    window->redo();

    TextRecord text;
    text.font = 6;
    text.data = "\"AB\"";
    window->session().edit([&](LabelDocument& label) { label.figures.appendFigure(text.encode(), FigureKind::Text); });
    // The message box, when one comes, is answered after the chooser.
    const auto removeFirstFont = [this](bool refused) {
        test::OnModal script("TFontsDlg", [](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), "Select font to remove");
            EXPECT_FALSE(w->findChild<QLineEdit*>("NameEd")->isVisible());
            click(w, "OkBt");
        });
        if (refused) script.then("MsgBoxDlg", [](QWidget* w) { click(w, "OkBt"); });
        window->action("RemoveFontM")->trigger();
        EXPECT_TRUE(script.ran());
        return script.text();
    };
    EXPECT_EQ(removeFirstFont(true), "Font (B) used in 1 string. Can't remove");
    EXPECT_EQ(fontListEntries(figures()).size(), 1u);
    window->session().edit([](LabelDocument& label) { label.figures.removeFigure(&label.figures.back()); });
    removeFirstFont(false);
    EXPECT_TRUE(fontListEntries(figures()).empty());
}

}  // namespace
}  // namespace tavrin
