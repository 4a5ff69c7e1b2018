// The property dialogs driven through their controls, found by object name, as the editor
// fills them and as OK reads them. The fields' ranges and rules are the core's and tested
// there; here each control is checked to reach its field.
#include <gtest/gtest.h>

#include <array>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include "editor/figure_dialogs.h"
#include "support/editor_window.h"

namespace tavrin {
namespace {

using test::child;

void type(QWidget& dialog, std::initializer_list<std::pair<const char*, const char*>> fields) {
    for (const auto& [name, text] : fields) test::type(&dialog, name, text);
}
void choose(QWidget& dialog, std::initializer_list<std::pair<const char*, int>> lists) {
    for (const auto& [name, position] : lists) child<QComboBox>(&dialog, name)->setCurrentIndex(position);
}

const std::vector<std::string> kResidentFonts = {"1  (8x12)", "2  (10x16)", "3  (12x20)", "4  (14x24)", "5  (32x48)"};

TEST(FigureDialogs, TextControlsReachTheirFieldsThroughTheTranslation) {
    const Translation translation;  // cp1251 on the screen, cp866 at the printer
    TTextDlg dialog;
    TextRecord text;
    text.data = "\"\x86\"";  // cp866 ZHE
    dialog.fill(text, false, kResidentFonts, translation);
    EXPECT_EQ(dialog.windowTitle(), "Draw Text");
    EXPECT_EQ(child<QLineEdit>(&dialog, "TextData")->text(), QString::fromUtf8("\"Ж\""));
    type(dialog, {{"StartX", "12"}, {"StartY", "1600"}});
    choose(dialog, {{"SizeX", 7}, {"SizeY", 2}, {"FontType", 4}, {"FontStyle", 1}, {"TextRot", 3}});
    test::type(&dialog, "TextData", QString::fromUtf8("\"Жя\""));
    EXPECT_TRUE(dialog.apply(text));
    EXPECT_EQ((std::array{text.x, text.y, text.hMul, text.vMul, text.font, text.style, text.rotation}),
              (std::array{12, 1600, 8, 3, 5, 1, 3}));
    EXPECT_EQ(text.data, "\"\x86\xEF\"");

    // Untouched text keeps bytes the screen cannot show, and a text longer than the edit
    // takes is shown whole.
    for (const std::string& kept : {std::string("\"\xB0\""), std::string(67, 'b')}) {
        text.data = kept;
        dialog.fill(text, true, kResidentFonts, translation);
        EXPECT_EQ(dialog.windowTitle(), "Edit Text");
        EXPECT_EQ(child<QLineEdit>(&dialog, "TextData")->text().size(), static_cast<int>(kept.size()));
        test::type(&dialog, "StartX", "13");
        dialog.apply(text);
        EXPECT_EQ(text.data, kept);
    }

    // The label's own fonts follow the resident ones; a font past the list is kept.
    text.font = 7;
    std::vector<std::string> fonts = kResidentFonts;
    fonts.push_back("A  h=24");
    dialog.fill(text, true, fonts, translation);
    auto* fontType = child<QComboBox>(&dialog, "FontType");
    EXPECT_EQ(fontType->count(), 6);
    EXPECT_EQ(fontType->currentIndex(), -1);
    dialog.apply(text);
    EXPECT_EQ(text.font, 7);
    fontType->setCurrentIndex(5);
    dialog.apply(text);
    EXPECT_EQ(text.font, 6);
}

TEST(FigureDialogs, DataEditsSayWhatTheyRefuse) {
    TTextDlg textDialog;
    textDialog.fill(TextRecord{}, false, kResidentFonts, Translation{});
    auto* textData = child<QLineEdit>(&textDialog, "TextData");
    textData->clear();
    QTest::keyClicks(textData, QStringLiteral("\"") + QString(66, QLatin1Char('x')) + QStringLiteral("\""));
    EXPECT_EQ(textData->text().size(), 63);
    EXPECT_TRUE(textData->property("invalid").toBool());
    EXPECT_EQ(child<QLabel>(&textDialog, "TextDataHint")->text(), "At most 63 characters. The closing quote is missing");
    textData->setText(QStringLiteral("\"Edited\"V01"));
    EXPECT_FALSE(textData->property("invalid").toBool());
    EXPECT_EQ(child<QLabel>(&textDialog, "TextDataHint")->text(), "");

    TBarcodeDlg barcodeDialog;
    BarcodeRecord barcode;
    barcode.data = "\"12\" V01";
    barcodeDialog.fill(barcode, true);
    auto* barData = child<QLineEdit>(&barcodeDialog, "BarData");
    EXPECT_TRUE(barData->property("invalid").toBool()) << "a field that opens broken is marked at once";
    EXPECT_EQ(child<QLabel>(&barcodeDialog, "BarDataHint")->text(), "Not readable from character 5");
    barData->setText(QString(64, QLatin1Char('1')));
    barcodeDialog.apply(barcode);
    EXPECT_EQ(barcode.data, std::string(63, '1'));
}

// Linear types take height, wide bar and human-readable line; the 2D types after the 27 a
// module size and an error level, kept in the wide field.
TEST(FigureDialogs, BarcodeControlsFollowTheType) {
    TBarcodeDlg dialog;
    BarcodeRecord barcode;
    dialog.fill(barcode, true);
    EXPECT_EQ(dialog.windowTitle(), "Edit Barcode");
    auto* types = child<QComboBox>(&dialog, "BarType");
    auto* levels = child<QComboBox>(&dialog, "ErrorLevel");
    EXPECT_EQ(types->currentText(), "EAN 13");
    EXPECT_EQ(types->count(), 30);
    EXPECT_FALSE(levels->isEnabled());
    type(dialog, {{"StartY", "100"}, {"BHeight", "24"}});
    choose(dialog, {{"WideBar", 8}, {"HRtext", 0}});
    EXPECT_TRUE(dialog.apply(barcode));
    EXPECT_EQ((std::array{barcode.y, barcode.height, barcode.wide, barcode.humanReadable}), (std::array{100, 24, 10, 0}));

    const struct { int type; const char* name; int levels; int chosen; } cases[] = {
        {27, "QR Code", 5, 3}, {28, "Data Matrix", 1, 0}, {29, "PDF417", 10, 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        choose(dialog, {{"BarType", c.type}});
        EXPECT_EQ(types->currentText(), c.name);
        EXPECT_EQ(levels->count(), c.levels);
        for (const char* name : {"BHeight", "WideBar", "HRtext"}) EXPECT_FALSE(child(&dialog, name)->isEnabled()) << name;
        for (const char* name : {"NarrowBar", "ErrorLevel", "BarRot", "BarData"})
            EXPECT_TRUE(child(&dialog, name)->isEnabled()) << name;
        choose(dialog, {{"ErrorLevel", c.chosen}, {"NarrowBar", 3}});
        EXPECT_TRUE(dialog.apply(barcode));
        EXPECT_EQ((std::array{barcode.type, barcode.wide, barcode.narrow}), (std::array{c.type, c.chosen, 4}));
        dialog.fill(barcode, true);
        EXPECT_EQ(levels->currentIndex(), c.chosen);
    }
    choose(dialog, {{"BarType", 0}});
    EXPECT_TRUE(child(&dialog, "WideBar")->isEnabled());
    EXPECT_EQ(levels->count(), 0);
    dialog.apply(barcode);
    EXPECT_EQ((std::array{barcode.type, barcode.wide}), (std::array{0, 3}));  // PDF417's level 9 is no wide bar
}

TEST(FigureDialogs, ShapeControlsReachTheirFields) {
    TBarDlg rectangleDialog;
    RectangleRecord rectangle{40, 40, 100, 20, 0};
    rectangleDialog.fill(rectangle, false);
    EXPECT_EQ(rectangleDialog.windowTitle(), "Draw Rectangle");
    test::type(&rectangleDialog, "RectLeft", "abc");  // not a number: kept
    type(rectangleDialog, {{"RectTop", "7"}, {"RectWidth", "60"}, {"RectHeight", "0"}});
    choose(rectangleDialog, {{"RectColor", 2}});
    rectangleDialog.apply(rectangle);
    EXPECT_EQ((std::array{rectangle.x, rectangle.y, rectangle.width, rectangle.height, int{rectangle.colour}}),
              (std::array{40, 7, 60, 0, int{kColourWhite}}));

    TBoxDlg boxDialog;
    BoxRecord box{40, 40, 140, 90, 4};
    boxDialog.fill(box, true);
    EXPECT_EQ(boxDialog.windowTitle(), "Edit Box");
    type(boxDialog, {{"BoxLeft", "1"}, {"BoxTop", "2"}, {"BoxRight", "3"}, {"BoxBottom", "-4"}, {"BoxThickness", "5"}});
    EXPECT_TRUE(boxDialog.apply(box));
    EXPECT_EQ((std::array{box.x1, box.y1, box.x2, box.y2, box.thickness}), (std::array{1, 2, 3, -4, 5}));
    EXPECT_FALSE(boxDialog.apply(box)) << "nothing more to change";

    TLineDlg lineDialog;
    LineRecord line{40, 40, 140, 90, 4, 0};
    lineDialog.fill(line, false);
    EXPECT_EQ(lineDialog.windowTitle(), "Draw Diagonal Line");
    type(lineDialog, {{"StartX", "1"}, {"StartY", "2"}, {"EndX", "-607"}, {"EndY", "4"}, {"LineThickness", "40"}});
    choose(lineDialog, {{"LineColor", 1}});
    lineDialog.apply(line);
    EXPECT_EQ((std::array{line.x1, line.y1, line.x2, line.y2, line.thickness, int{line.colour}}),
              (std::array{1, 2, -607, 4, 40, int{kColourInverse}}));
}

TEST(FigureDialogs, SetupControlsReachTheirFieldsAndPresetsFillTheSize) {
    TSetupDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "Label Setup");
    LabelSetup setup;
    dialog.fill(setup);
    EXPECT_EQ(child<QComboBox>(&dialog, "TmpDarkness")->itemText(12), "12 Warning !");
    EXPECT_EQ(child<QComboBox>(&dialog, "TmpType")->currentText(), "Normal");
    type(dialog, {{"TmpLabWidth", "500"}, {"TmpLabLen", "1640"}, {"TmpOffset", "-80"}, {"TmpGap", "30"},
                  {"TmpLeft", "607"}, {"TmpTop", "9"}, {"TmpDateFmt", "dd.mn.y2"}});
    test::type(&dialog, "TmpTimeFmt", "H:M:M");  // refused: kept
    choose(dialog, {{"TmpDarkness", 15}, {"TmpSpeed", 6}, {"TmpType", 1}, {"TmpPaper", 2}});
    dialog.apply(setup);
    EXPECT_EQ((std::array{setup.width, setup.length, setup.offset, setup.labelGap, setup.leftMargin, setup.topMargin}),
              (std::array{500, 1640, -80, 30, 607, 9}));
    EXPECT_EQ((std::array{setup.darkness, setup.speed, setup.normalText, setup.paperType}), (std::array{15, 6, 0, 2}));
    EXPECT_EQ(setup.dateFormat, "DD.MN.Y2");
    EXPECT_EQ(setup.timeFormat, "H:M:S");

    auto* sizes = child<QComboBox>(&dialog, "TmpLabSize");
    EXPECT_EQ(sizes->currentText(), "User size");
    sizes->setCurrentIndex(sizes->findText("79 / 56 mm"));
    EXPECT_EQ(child<QLineEdit>(&dialog, "TmpLabWidth")->text(), "608");
    dialog.apply(setup);
    EXPECT_EQ((std::array{setup.width, setup.length}), (std::array{608, 412}));
    dialog.fill(setup);
    EXPECT_EQ(sizes->currentText(), "User size") << "a preset reopens as the size it gave";
}

TEST(FigureDialogs, AlignTakesOnlyAGridStepItAccepts) {
    TAlignDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "Align to Grid");
    dialog.fill(8, true);
    EXPECT_EQ(child<QLineEdit>(&dialog, "GridStep")->text(), "8");
    EXPECT_EQ(child<QLineEdit>(&dialog, "GridStep")->maxLength(), 3);
    EXPECT_TRUE(child<QCheckBox>(&dialog, "SizesToo")->isChecked());
    for (const char* button : {"AlignBt", "SaveBt"}) {
        test::type(&dialog, "GridStep", "81");
        child<QPushButton>(&dialog, button)->click();
        EXPECT_EQ(dialog.outcome(), TAlignDlg::Closed) << button;
    }
    test::type(&dialog, "GridStep", "80");
    child<QPushButton>(&dialog, "SaveBt")->click();
    EXPECT_EQ(dialog.outcome(), TAlignDlg::Save);
    EXPECT_EQ(dialog.chosenStep(), 80);

    dialog.fill(8, false);
    test::type(&dialog, "GridStep", "4");
    child<QPushButton>(&dialog, "AlignBt")->click();
    EXPECT_EQ(dialog.outcome(), TAlignDlg::Align);
    EXPECT_EQ(dialog.chosenStep(), 4);
    EXPECT_FALSE(dialog.adjustSizes());
}

}  // namespace
}  // namespace tavrin
