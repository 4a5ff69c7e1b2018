// The colour to black and white converter window driven by its controls' names: what is
// enabled before and after a picture, resets, sizes and rotation, selection and cut, the
// large-picture rule, saving (the same bytes as `tavrin-label convert-picture`) and the test
// print's bytes.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QPushButton>
#include <QSlider>

#include "printer/printing.h"
#include "support/editor_window.h"
#include "support/fake_printer.h"
#include "tools/color_to_bw_dialog.h"
#include "tools/converter_control_strip.h"
#include "tools/converter_picture_area.h"

namespace tavrin {
namespace {

// A picture the graphics suite keeps.
std::string fixture(const char* name) { return (test::kFixtures / name).string(); }

// The window on a session of its own, its printer a fake; the menu item uses a main window.
class ColorToBWTest : public ::testing::Test, public test::EditorWindowFixture {
protected:
    void SetUp() override { open({session, config, translation, [this]() -> PrinterLink& { return printer.link; }}); }
    void TearDown() override {
        dialog.reset();
        window.reset();
    }
    void open(EditorServices services) {
        dialog = std::make_unique<TColorToBW>(std::move(services));
        dialog->show();
    }

    template <typename T = QWidget>
    T* control(const char* name) const { return test::child<T>(dialog.get(), name); }
    QSlider* slider(const char* name) const { return control<QSlider>(name); }
    // The size fields as "X x Y".
    QString sizeFields() const { return control<QLineEdit>("SizeX")->text() + " x " + control<QLineEdit>("SizeY")->text(); }

    void load(const std::string& path) {
        dialog->setPictureChooser([path](QWidget*, const QString&) { return QString::fromStdString(path); });
        control<QPushButton>("LoadBt")->click();
        // Decoded on a worker: the window comes back at once, with the hourglass.
        EXPECT_TRUE(dialog->busy());
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->busy(); }, 20000));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    void typeSize(const char* field, const QString& text) {
        auto* edit = control<QLineEdit>(field);
        edit->clear();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    // A picture of the given size with a colour gradient, as a PNG in the test folder.
    std::string gradient(int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x + y) % 256));
        const QString path = folder.filePath(QStringLiteral("gradient.png"));
        EXPECT_TRUE(image.save(path));
        return path.toStdString();
    }

    EditorSession session{nullptr};
    AppConfig config;
    Translation translation;
    test::FakePrinter printer;
    std::unique_ptr<TZRedit> window;
    std::unique_ptr<TColorToBW> dialog;
};

TEST_F(ColorToBWTest, ControlsStartEmptyAndOnlyLoadEnabled) {
    EXPECT_EQ(dialog->windowTitle(), "Color to Black & White Converter");
    EXPECT_EQ(sizeFields(), "256 x 192");
    EXPECT_EQ(control<QLineEdit>("SizeX")->maxLength(), 4);
    auto* rotation = control<QComboBox>("Rotation");
    ASSERT_EQ(rotation->count(), 4);
    EXPECT_EQ(rotation->itemText(1), "90 deg");
    EXPECT_EQ(rotation->currentIndex(), 0);
    EXPECT_TRUE(control<QCheckBox>("Proportions")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("Threshold")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("SmoothResize")->isChecked()) << "nearest neighbour stays the default";
    EXPECT_EQ(dialog->colourPreview().width, 256);
    EXPECT_EQ(dialog->blackAndWhite().countInk(), 0);
    EXPECT_TRUE(control<QPushButton>("LoadBt")->isEnabled());
    for (const char* name : {"SaveBt", "TestBt", "ConvertBt", "ResetBt", "CutBt", "SizeX", "Brightness", "Red", "Threshold"})
        EXPECT_FALSE(control(name)->isEnabled()) << name;

    load(fixture("jpeg_baseline.jpg"));
    EXPECT_EQ(dialog->windowTitle(), QString::fromStdString("Color to B&W Converter - " + fixture("jpeg_baseline.jpg")));
    EXPECT_EQ(sizeFields(), "64 x 40");
    EXPECT_EQ(slider("Contrast")->value(), 128);
    EXPECT_TRUE(slider("Red")->hasTracking());
    EXPECT_GT(dialog->blackAndWhite().countInk(), 0);
    EXPECT_FALSE(control<QPushButton>("SaveBt")->isEnabled() || control<QPushButton>("TestBt")->isEnabled())
        << "Test and Save wait for a conversion the user starts";
    EXPECT_TRUE(control<QPushButton>("ConvertBt")->isEnabled() && control<QSlider>("Brightness")->isEnabled());
    control<QPushButton>("ConvertBt")->click();
    EXPECT_TRUE(control<QPushButton>("SaveBt")->isEnabled() && control<QPushButton>("TestBt")->isEnabled());
}

TEST_F(ColorToBWTest, ResetAndTheStripDoubleClicksGiveDifferentContrasts) {
    load(fixture("bmp24.bmp"));
    slider("Contrast")->setValue(200);
    slider("Brightness")->setValue(30);
    slider("Red")->setValue(5);
    control<QComboBox>("Rotation")->setCurrentIndex(1);
    control<QPushButton>("ResetBt")->click();
    EXPECT_EQ(slider("Contrast")->value(), 128);
    EXPECT_EQ(slider("Brightness")->value(), 0);
    EXPECT_EQ(slider("Red")->value(), 16);
    EXPECT_EQ(control<QComboBox>("Rotation")->currentIndex(), 0);
    EXPECT_EQ(control<QLineEdit>("SizeX")->text(), "21");

    slider("Contrast")->setValue(200);
    slider("Brightness")->setValue(30);
    slider("Green")->setValue(3);
    QTest::mouseDClick(control("CtlReset1"), Qt::LeftButton);
    EXPECT_EQ(slider("Contrast")->value(), 125);
    EXPECT_EQ(slider("Brightness")->value(), 0);
    EXPECT_EQ(slider("Green")->value(), 3) << "the colour group keeps its weights";
    QTest::mouseDClick(control("CtlReset2"), Qt::LeftButton);
    EXPECT_EQ(slider("Green")->value(), 16);
    EXPECT_EQ(dialog->blackAndWhite(), ConvertToBW(dialog->colourPreview(), dialog->settings())) << "the result follows";
}

TEST_F(ColorToBWTest, SizeFieldsFollowRotationAndProportions) {
    load(fixture("jpeg_baseline.jpg"));  // 64 x 40
    typeSize("SizeX", "32");
    EXPECT_EQ(sizeFields(), "32 x 20");
    EXPECT_EQ(dialog->colourPreview().width, 32);
    control<QComboBox>("Rotation")->setCurrentIndex(1);
    EXPECT_EQ(sizeFields(), "20 x 32");
    control<QCheckBox>("Proportions")->setChecked(false);
    typeSize("SizeX", "3");
    EXPECT_EQ(sizeFields(), "3 x 32") << "the field keeps what was typed";
}

TEST_F(ColorToBWTest, SelectionDraggedCutsTheRectangle) {
    load(fixture("jpeg_baseline.jpg"));
    {
        test::OnModal answer("OkBt");
        dialog->cut();
        EXPECT_EQ(answer.text(), "No area selected");
    }
    const SourcePicture before = dialog->colourPreview();
    test::drag(control("ColorImage"), QPoint(50, 30), QPoint(10, 8));  // up and to the left
    EXPECT_EQ(control<QLabel>("SelSize")->text(), "40 x 22   ");
    ASSERT_TRUE(control<QPushButton>("CutBt")->isEnabled());
    control<QPushButton>("CutBt")->click();
    EXPECT_EQ(sizeFields(), "40 x 22");
    EXPECT_FALSE(control<QPushButton>("CutBt")->isEnabled());
    EXPECT_EQ(dialog->colourPreview().pixels, CutPicture(before, 10, 8, 50, 30)->pixels);

    test::drag(control("ColorImage"), QPoint(5, 5), QPoint(7, 20));  // 2 wide
    test::OnModal answer("OkBt");
    control<QPushButton>("CutBt")->click();
    EXPECT_EQ(answer.text(), "Too small selected area");
    test::drag(control("ColorImage"), QPoint(5, 5), QPoint(5, 20));  // no width at all: no selection
    EXPECT_FALSE(control<QPushButton>("CutBt")->isEnabled());
}

TEST_F(ColorToBWTest, LargePictureConvertsOnlyOnConvertAndLoadMessages) {
    load(gradient(600, 420));  // 252,000 pixels
    EXPECT_EQ(dialog->blackAndWhite().countInk(), 0) << "not converted on load";
    EXPECT_FALSE(slider("Red")->hasTracking()) << "a large picture is weighted when the slider is let go";
    slider("Red")->setValue(20);
    EXPECT_FALSE(control<QPushButton>("SaveBt")->isEnabled());
    control<QPushButton>("ConvertBt")->click();
    EXPECT_FALSE(control<QPushButton>("ConvertBt")->isEnabled()) << "held while the worker converts";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->busy(); }, 20000));
    EXPECT_TRUE(control<QPushButton>("SaveBt")->isEnabled());
    EXPECT_EQ(dialog->blackAndWhite(), ConvertToBW(dialog->colourPreview(), dialog->settings()));
    slider("Brightness")->setValue(40);
    EXPECT_FALSE(control<QPushButton>("SaveBt")->isEnabled()) << "the result no longer matches the sliders";

    {  // A damaged picture leaves the loaded one alone.
        test::writeFile(folder.filePath("broken.jpg").toStdString(), "\xFF\xD8\xFF\xE0 not really");
        test::OnModal answer("OkBt");
        load(folder.filePath("broken.jpg").toStdString());
        EXPECT_TRUE(answer.ran());
        EXPECT_EQ(answer.text(), "Can't read graphics file");
        EXPECT_TRUE(dialog->hasPicture());
    }
    test::OnModal answer("OkBt");
    load(fixture("logo.pcx"));
    EXPECT_EQ(answer.title(), "Error");
    EXPECT_EQ(answer.text(), "Unknown file extension");
    EXPECT_FALSE(dialog->hasPicture());
    EXPECT_FALSE(control<QPushButton>("ConvertBt")->isEnabled());
    EXPECT_EQ(dialog->windowTitle(), "Color to Black & White Converter");
}

// Each control that shapes the result, set as the command line's option of the same name
// and compared with its output. Contrast does not move a threshold at middle grey, so the
// sliders are checked dithered and the threshold on its own.
TEST_F(ColorToBWTest, SavedBitmapIsTheCommandLinesToTheByte) {
#ifndef TAVRIN_LABEL_EXE
    GTEST_SKIP() << "tavrin-label is not built";
#else
    const std::string picture = fixture("jpeg_baseline.jpg");
    const std::vector<std::string> cases[] = {{"--rotate", "90", "--width", "30", "--brightness", "10", "--contrast", "150",
                                               "--red", "20", "--green", "8", "--blue", "24", "--smooth"},
                                              {"--width", "45", "--threshold"}};
    for (const auto& options : cases) {
        TearDown();  // a fresh window for each case
        SetUp();
        load(picture);
        for (auto o = options.begin(); o != options.end(); ++o) {
            if (*o == "--threshold" || *o == "--smooth")
                control<QCheckBox>(*o == "--threshold" ? "Threshold" : "SmoothResize")->setChecked(true);
            else if (*o == "--rotate")
                control<QComboBox>("Rotation")->setCurrentIndex(std::stoi(*++o) / 90);
            else if (*o == "--width")
                typeSize("SizeX", QString::fromStdString(*++o));
            else  // --brightness is the slider "Brightness"
                slider((QString(o->at(2)).toUpper() + QString::fromStdString(o->substr(3))).toLatin1().constData())
                    ->setValue(std::stoi(*++o));
        }
        const std::string saved = folder.filePath("window.bmp").toStdString();
        dialog->setSaveChooser([&](QWidget*, const QString&) { return QString::fromStdString(saved); });
        control<QPushButton>("SaveBt")->click();
        EXPECT_EQ(dialog->result(), QDialog::Accepted) << "the window closes after saving";
        EXPECT_EQ(config.workDirectory, folder.path().toStdString());

        const std::string expected = folder.filePath("cli.bmp").toStdString();
        std::vector<std::string> arguments{"convert-picture", picture, "-o", expected};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const test::CommandResult r = test::runLabel(arguments);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(test::readFile(saved), test::readFile(expected)) << options.back();
    }
#endif
}

// What the printer makes of these bytes is the end-to-end convert-and-print test's.
TEST_F(ColorToBWTest, TestSendsTheShownPictureToThePrinter) {
    load(fixture("jpeg_baseline.jpg"));
    typeSize("SizeX", "45");  // rows padded past the picture
    control<QPushButton>("ConvertBt")->click();
    control<QPushButton>("TestBt")->click();
    const Bitmap& shown = dialog->blackAndWhite();
    ASSERT_EQ(shown.width(), 45);
    test::FakePrinter expected;
    ASSERT_TRUE(PrintBitmapTest(expected.link, bottomUpRows(shown), 45, shown.height(), session.document().setup.darkness));
    EXPECT_EQ(printer.transport.written, expected.transport.written);
}

TEST_F(ColorToBWTest, ToolsMenuOpensTheConverter) {
    window = start();
    test::OnModal opened("ColorToBW", [](QWidget* converter) { static_cast<QDialog*>(converter)->reject(); });
    window->action("ColorBWM")->trigger();
    EXPECT_TRUE(opened.ran());
    EXPECT_EQ(opened.title(), "Color to Black & White Converter");
}

TEST(ConverterLayout, GroupWidthsAndDividerBounds) {
    EXPECT_EQ(controlGroupWidths(772), (std::array<int, 4>{193, 168, 217, 194}));
    EXPECT_EQ(controlGroupWidths(740), (std::array<int, 4>{185, 161, 208, 186}));
    EXPECT_EQ(clampDivider(100, 800), 200);
    EXPECT_EQ(clampDivider(700, 800), 600);
    EXPECT_EQ(clampDivider(300, 800), 300);
}

}  // namespace
}  // namespace tavrin
