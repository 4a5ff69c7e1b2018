// The property dialogs driven through their controls, found by object name, as the
// editor fills them and as OK reads them.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "editor/figure_dialogs.h"

namespace tavrin {
namespace {

// The suite's environment makes the one application object; a run of this file alone
// makes its own.
void needApplication() {
    if (QApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}

template <typename Control>
Control* control(QWidget& dialog, const char* name) {
    auto* found = dialog.findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void type(QWidget& dialog, const char* name, const QString& text) { control<QLineEdit>(dialog, name)->setText(text); }
void choose(QWidget& dialog, const char* name, int position) {
    control<QComboBox>(dialog, name)->setCurrentIndex(position);
}

const std::vector<std::string> kResidentFonts = {"1  (8x12)", "2  (10x16)", "3  (12x20)", "4  (14x24)",
                                                 "5  (32x48)"};

class DialogTest : public testing::Test {
protected:
    void SetUp() override { needApplication(); }
    Translation translation;  // cp1251 on the screen, cp866 at the printer
};

TEST_F(DialogTest, TextTakesAWiderYRangeThanABarcode) {
    TTextDlg textDialog;
    TextRecord text;
    textDialog.fill(text, false, kResidentFonts, translation);
    EXPECT_EQ(textDialog.windowTitle(), "Draw Text");
    type(textDialog, "StartY", "1600");
    type(textDialog, "StartX", "608");  // out of range: stays 0
    choose(textDialog, "SizeX", 7);
    choose(textDialog, "FontType", 4);
    choose(textDialog, "TextRot", 3);
    EXPECT_TRUE(textDialog.apply(text));
    EXPECT_EQ(text.y, 1600);
    EXPECT_EQ(text.x, 0);
    EXPECT_EQ(text.hMul, 8);
    EXPECT_EQ(text.font, 5);
    EXPECT_EQ(text.rotation, 3);

    TBarcodeDlg barcodeDialog;
    BarcodeRecord barcode;
    barcodeDialog.fill(barcode, true);
    EXPECT_EQ(barcodeDialog.windowTitle(), "Edit Barcode");
    EXPECT_EQ(control<QComboBox>(barcodeDialog, "BarType")->currentText(), "EAN 13");
    EXPECT_EQ(control<QComboBox>(barcodeDialog, "BarType")->count(), 30);
    EXPECT_FALSE(control<QComboBox>(barcodeDialog, "ErrorLevel")->isEnabled());
    type(barcodeDialog, "StartY", "1600");
    type(barcodeDialog, "BHeight", "20");
    choose(barcodeDialog, "WideBar", 8);
    choose(barcodeDialog, "HRtext", 0);
    EXPECT_TRUE(barcodeDialog.apply(barcode));
    EXPECT_EQ(barcode.y, 0);
    EXPECT_EQ(barcode.height, 80);
    EXPECT_EQ(barcode.wide, 10);
    EXPECT_EQ(barcode.humanReadable, 0);
    type(barcodeDialog, "BHeight", "24");
    barcodeDialog.apply(barcode);
    EXPECT_EQ(barcode.height, 24);
}

// The 2D types after the 27: module size and error correction, the bar controls disabled;
// the wide field keeps the level, and a linear type takes its wide bar again.
TEST_F(DialogTest, BarcodeDialogFor2DTypes) {
    TBarcodeDlg dialog;
    BarcodeRecord barcode;
    dialog.fill(barcode, false);
    auto* types = control<QComboBox>(dialog, "BarType");
    auto* levels = control<QComboBox>(dialog, "ErrorLevel");
    const struct { int type; const char* name; int levels; int chosen; } cases[] = {
        {27, "QR Code", 5, 3}, {28, "Data Matrix", 1, 0}, {29, "PDF417", 10, 9}};
    for (const auto& c : cases) {
        choose(dialog, "BarType", c.type);
        EXPECT_EQ(types->currentText(), c.name);
        EXPECT_EQ(levels->count(), c.levels);
        for (const char* name : {"BHeight", "WideBar", "HRtext"})
            EXPECT_FALSE(control<QWidget>(dialog, name)->isEnabled()) << name;
        for (const char* name : {"NarrowBar", "ErrorLevel", "BarRot", "BarData"})
            EXPECT_TRUE(control<QWidget>(dialog, name)->isEnabled()) << name;
        choose(dialog, "ErrorLevel", c.chosen);
        choose(dialog, "NarrowBar", 3);
        EXPECT_TRUE(dialog.apply(barcode));
        EXPECT_EQ((std::array{barcode.type, barcode.wide, barcode.narrow, barcode.height}),
                  (std::array{c.type, c.chosen, 4, 80}));
        dialog.fill(barcode, true);
        EXPECT_EQ(levels->currentIndex(), c.chosen);
    }
    choose(dialog, "BarType", 0);
    EXPECT_TRUE(control<QWidget>(dialog, "WideBar")->isEnabled());
    EXPECT_FALSE(levels->isEnabled());
    EXPECT_EQ(levels->count(), 0);
    dialog.apply(barcode);
    EXPECT_EQ((std::array{barcode.type, barcode.wide}), (std::array{0, 3}));  // PDF417's level 9 is no wide bar
    if (const char* shot = std::getenv("TAVRIN_DIALOG_SHOT")) {
        choose(dialog, "BarType", 27);
        dialog.grab().save(shot);
    }
}

TEST_F(DialogTest, ShapesKeepRefusedFieldsAndTakeTheRest) {
    TBarDlg rectangleDialog;
    RectangleRecord rectangle{40, 40, 100, 20, 0};
    rectangleDialog.fill(rectangle, false);
    EXPECT_EQ(rectangleDialog.windowTitle(), "Draw Rectangle");
    type(rectangleDialog, "RectWidth", "608");
    type(rectangleDialog, "RectHeight", "0");
    type(rectangleDialog, "RectLeft", "abc");
    choose(rectangleDialog, "RectColor", 2);
    rectangleDialog.apply(rectangle);
    EXPECT_EQ(rectangle.x, 40);
    EXPECT_EQ(rectangle.width, 100);
    EXPECT_EQ(rectangle.height, 0);
    EXPECT_EQ(rectangle.colour, kColourWhite);

    TBoxDlg boxDialog;
    BoxRecord box{40, 40, 140, 90, 4};
    boxDialog.fill(box, true);
    EXPECT_EQ(boxDialog.windowTitle(), "Edit Box");
    type(boxDialog, "BoxThickness", "41");
    type(boxDialog, "BoxBottom", "-1539");
    EXPECT_TRUE(boxDialog.apply(box));
    EXPECT_EQ(box.thickness, 4);
    EXPECT_EQ(box.y2, -1539);
    EXPECT_FALSE(boxDialog.apply(box));  // nothing more to change

    TLineDlg lineDialog;
    LineRecord line{40, 40, 140, 90, 4, 0};
    lineDialog.fill(line, false);
    EXPECT_EQ(lineDialog.windowTitle(), "Draw Diagonal Line");
    type(lineDialog, "EndX", "-607");
    type(lineDialog, "LineThickness", "40");
    choose(lineDialog, "LineColor", 1);
    lineDialog.apply(line);
    EXPECT_EQ(line.x2, -607);
    EXPECT_EQ(line.thickness, 40);
    EXPECT_EQ(line.colour, kColourInverse);
}

TEST_F(DialogTest, TextPassesThroughTheTranslationBothWaysUnlessUntouched) {
    TTextDlg dialog;
    TextRecord text;
    text.data = "\"\x86\"";  // cp866 ZHE
    dialog.fill(text, true, kResidentFonts, translation);
    EXPECT_EQ(dialog.windowTitle(), "Edit Text");
    EXPECT_EQ(control<QLineEdit>(dialog, "TextData")->text(), QString::fromUtf8("\"Ж\""));

    type(dialog, "TextData", QString::fromUtf8("\"Жя中\""));
    dialog.apply(text);
    EXPECT_EQ(text.data, "\"\x86\xEF?\"");  // the letter the code page lacks becomes '?'

    // Untouched text keeps bytes the screen cannot show.
    text.data = "\"\xB0\"";  // a cp866 box-drawing byte cp1251 lacks
    dialog.fill(text, true, kResidentFonts, translation);
    type(dialog, "StartX", "12");
    dialog.apply(text);
    EXPECT_EQ(text.x, 12);
    EXPECT_EQ(text.data, "\"\xB0\"");
}

TEST_F(DialogTest, DataEditsHoldWhatTheRecordHoldsAndSayWhatTheyRefuse) {
    TTextDlg textDialog;
    TextRecord text;
    textDialog.fill(text, false, kResidentFonts, translation);
    auto* textData = control<QLineEdit>(textDialog, "TextData");
    auto* hint = control<QLabel>(textDialog, "TextDataHint");
    textData->clear();
    QTest::keyClicks(textData, QStringLiteral("\"") + QString(66, QLatin1Char('x')) + QStringLiteral("\""));
    EXPECT_EQ(textData->text().size(), 63);
    EXPECT_TRUE(textData->property("invalid").toBool());
    EXPECT_EQ(hint->text(), "At most 63 characters. The closing quote is missing");
    type(textDialog, "TextData", QStringLiteral("\"Edited\"V01"));
    EXPECT_FALSE(textData->property("invalid").toBool());
    EXPECT_EQ(hint->text(), "");

    // A longer text from a file is shown whole and survives an edit of another field.
    text.data = std::string(67, 'b');
    textDialog.fill(text, true, kResidentFonts, translation);
    EXPECT_EQ(textData->text().size(), 67);
    type(textDialog, "StartY", "5");
    textDialog.apply(text);
    EXPECT_EQ(text.data, std::string(67, 'b'));

    TBarcodeDlg barcodeDialog;
    BarcodeRecord barcode;
    barcode.data = "\"12\" V01";
    barcodeDialog.fill(barcode, true);
    auto* barData = control<QLineEdit>(barcodeDialog, "BarData");
    // A field that opens broken is marked before anything is typed.
    EXPECT_TRUE(barData->property("invalid").toBool());
    EXPECT_EQ(control<QLabel>(barcodeDialog, "BarDataHint")->text(), "Not readable from character 5");
    barData->setText(QString(64, QLatin1Char('1')));
    barcodeDialog.apply(barcode);
    EXPECT_EQ(barcode.data, std::string(63, '1'));
}

TEST_F(DialogTest, FontListOffersTheLabelsFonts) {
    TTextDlg dialog;
    TextRecord text;
    text.font = 7;  // past the list: the record keeps it
    std::vector<std::string> fonts = kResidentFonts;
    fonts.push_back("A  h=24");
    dialog.fill(text, true, fonts, translation);
    auto* fontType = control<QComboBox>(dialog, "FontType");
    EXPECT_EQ(fontType->count(), 6);
    EXPECT_EQ(fontType->currentIndex(), -1);
    dialog.apply(text);
    EXPECT_EQ(text.font, 7);
    fontType->setCurrentIndex(5);
    dialog.apply(text);
    EXPECT_EQ(text.font, 6);
}

TEST_F(DialogTest, SetupAppliesWhatItAcceptsAndKeepsTheRest) {
    TSetupDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "Label Setup");
    LabelSetup setup;
    dialog.fill(setup);
    EXPECT_EQ(control<QComboBox>(dialog, "TmpDarkness")->itemText(12), "12 Warning !");
    EXPECT_EQ(control<QComboBox>(dialog, "TmpType")->currentText(), "Normal");
    type(dialog, "TmpLabWidth", "700");
    type(dialog, "TmpLabLen", "1640");
    type(dialog, "TmpOffset", "-80");
    type(dialog, "TmpGap", "81");
    type(dialog, "TmpLeft", "607");
    type(dialog, "TmpDateFmt", "dd.mn.y2");
    type(dialog, "TmpTimeFmt", "H:M:M");
    choose(dialog, "TmpDarkness", 15);
    choose(dialog, "TmpSpeed", 6);
    choose(dialog, "TmpType", 1);
    choose(dialog, "TmpPaper", 2);
    dialog.apply(setup);
    EXPECT_EQ(setup.width, 384);
    EXPECT_EQ(setup.length, 1640);
    EXPECT_EQ(setup.offset, -80);
    EXPECT_EQ(setup.labelGap, 24);
    EXPECT_EQ(setup.leftMargin, 607);
    EXPECT_EQ(setup.dateFormat, "DD.MN.Y2");
    EXPECT_EQ(setup.timeFormat, "H:M:S");
    EXPECT_EQ(setup.darkness, 15);
    EXPECT_EQ(setup.speed, 6);
    EXPECT_EQ(setup.normalText, 0);
    EXPECT_EQ(setup.paperType, 2);

    type(dialog, "TmpOffset", "-81");
    type(dialog, "TmpDateFmt", "DD.MN");
    dialog.apply(setup);
    EXPECT_EQ(setup.offset, -80);
    EXPECT_EQ(setup.dateFormat, "DD.MN");
    type(dialog, "TmpDateFmt", "DDMN");
    dialog.apply(setup);
    EXPECT_EQ(setup.dateFormat, "DD.MN");
}

TEST_F(DialogTest, SetupPresetsFillTheSizeAndReopenAsUserSize) {
    TSetupDlg dialog;
    LabelSetup setup;
    dialog.fill(setup);
    auto* sizes = control<QComboBox>(dialog, "TmpLabSize");
    EXPECT_EQ(sizes->currentText(), "User size");
    sizes->setCurrentIndex(sizes->findText("79 / 56 mm"));
    EXPECT_EQ(control<QLineEdit>(dialog, "TmpLabWidth")->text(), "608");
    dialog.apply(setup);
    EXPECT_EQ(setup.width, 608);
    EXPECT_EQ(setup.length, 412);

    dialog.fill(setup);
    EXPECT_EQ(sizes->currentText(), "User size");
    EXPECT_EQ(control<QComboBox>(dialog, "TmpType")->currentText(), "Normal");
}

TEST_F(DialogTest, AlignTakesOnlyStepsFrom4To80) {
    TAlignDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "Align to Grid");
    dialog.fill(8, true);
    EXPECT_EQ(control<QLineEdit>(dialog, "GridStep")->text(), "8");
    EXPECT_EQ(control<QLineEdit>(dialog, "GridStep")->maxLength(), 3);
    EXPECT_TRUE(control<QCheckBox>(dialog, "SizesToo")->isChecked());
    for (const char* refused : {"3", "81", "x", ""}) {
        for (const char* button : {"AlignBt", "SaveBt"}) {
            type(dialog, "GridStep", QString::fromLatin1(refused));
            control<QPushButton>(dialog, button)->click();
            EXPECT_EQ(dialog.outcome(), TAlignDlg::Closed) << refused << ' ' << button;
        }
    }
    type(dialog, "GridStep", "80");
    control<QPushButton>(dialog, "SaveBt")->click();
    EXPECT_EQ(dialog.outcome(), TAlignDlg::Save);
    EXPECT_EQ(dialog.chosenStep(), 80);

    dialog.fill(8, false);
    type(dialog, "GridStep", "4");
    control<QPushButton>(dialog, "AlignBt")->click();
    EXPECT_EQ(dialog.outcome(), TAlignDlg::Align);
    EXPECT_EQ(dialog.chosenStep(), 4);
    EXPECT_FALSE(dialog.adjustSizes());
}

}  // namespace
}  // namespace tavrin
