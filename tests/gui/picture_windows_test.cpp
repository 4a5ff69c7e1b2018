// The Picture dialog, the Object List and the picture browser driven through their
// controls by object name, inside the editor's main window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFileDialog>
#include <QListWidget>
#include <QTableWidget>
#include <fstream>

#include "app/toolbar.h"
#include "editing/figure_edit.h"
#include "editor/label_view.h"
#include "editor/object_list_dialog.h"
#include "editor/picture_dialog.h"
#include "graphics/graphics_file.h"
#include "support/editor_window.h"
#include "printer/storage_operations.h"
#include "tools/picture_browser.h"

namespace tavrin {
namespace {

using test::kFixtures;

using test::click;
using test::type;

PictureRecord pictureOf(const Figure& figure) { return PictureRecord::decode(figure.record); }

class PictureWindowsTest : public ::testing::Test, public test::EditorWindowFixture {
protected:
    // Draws a picture with the mouse: the dialog opens on mouse up and `fill` answers it.
    static void drawPicture(TZRedit& window, std::function<void(QWidget*)> fill) {
        test::OnModal on1("TPictureDlg", std::move(fill));
        auto* button = window.toolbar()->findChild<QAbstractButton*>("PictBt");
        ASSERT_TRUE(button != nullptr && button->isEnabled());
        button->click();
        ASSERT_EQ(window.session().mouse().tool(), Tool::Picture);
        LabelImage* image = window.labelView()->image();
        const int zoom = window.labelView()->zoom();
        QTest::mousePress(image, Qt::LeftButton, {}, QPoint(5 * zoom, 5 * zoom));
        QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(6 * zoom, 6 * zoom));
    }

    static const Figure& figureAt(TZRedit& window, int index) {
        return *std::next(window.session().document().figures.begin(), index);
    }
};

// The dots of each picture file are the loader's tests; here the fields reach the figure.
TEST_F(PictureWindowsTest, DrawnPictureTakesTheFieldsAndTheLoadedData) {
    auto window = start();
    const int number = window->config().pictureNumber;
    chosenFile = QString::fromStdString((kFixtures / "logo.pcx").string());
    QString caption;
    drawPicture(*window, [&](QWidget* dialog) {
        caption = dialog->windowTitle();
        type(dialog, "StartX", "10");
        type(dialog, "StartY", "20");
        type(dialog, "PictName", "LOGO");
        click(dialog, "LoadBt");
        click(dialog, "OkBt");
    });
    EXPECT_EQ(caption, "Draw Picture");
    // "From Disk" asks for a file dialog without a title (Qt would call an empty one "Open").
    const QFileDialog fileDialog(nullptr, askedTitle);
    EXPECT_TRUE(fileDialog.windowTitle().trimmed().isEmpty()) << fileDialog.windowTitle().toStdString();
    ASSERT_EQ(window->session().document().figures.size(), 1u);
    EXPECT_EQ(window->config().pictureNumber, number + 1);
    EXPECT_TRUE(window->session().canUndo());
    const Figure& figure = figureAt(*window, 0);
    ASSERT_EQ(figure.kind, FigureKind::Picture);
    ASSERT_NE(figure.picture, nullptr);
    auto buffer = std::make_unique<GraphicsBuffer>();
    LoadedBlock loaded;
    ASSERT_TRUE(MakePictureData(chosenFile.toStdString(), true, *buffer, loaded).ok);
    EXPECT_EQ(figure.picture->bytes, loaded.block->bytes);
    const PictureRecord record = pictureOf(figure);
    EXPECT_EQ(std::tuple(record.name, record.x, record.y, record.width, record.height),
              std::tuple("LOGO", 10, 20, loaded.width, loaded.height));

    // The proposed name is the one last confirmed, so drawing again without changing it is refused.
    QString refusal;
    drawPicture(*window, [&](QWidget* dialog) {
        click(dialog, "LoadBt");
        test::OnModal answer("OkBt");
        click(dialog, "OkBt");
        refusal = answer.text();
        static_cast<QDialog*>(dialog)->reject();
    });
    EXPECT_EQ(refusal, "Picture name already exists");
    EXPECT_EQ(window->session().document().figures.size(), 1u);
    auto* dialog = window->findChild<TPictureDlg*>("TPictureDlg");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->state().loaded.empty()) << "a block not taken is let go";
}

TEST_F(PictureWindowsTest, SharedPicturesKeepOneNameAndOneBlockThroughRenameReplaceAndDelete) {
    auto window = start();
    const FigureList& shown = window->session().document().figures;
    FigureList figures;
    const auto addPicture = [&](const char* file, const char* name, int copies) {
        auto buffer = std::make_unique<GraphicsBuffer>();
        LoadedBlock loaded;
        ASSERT_TRUE(MakePictureData((kFixtures / file).string(), true, *buffer, loaded).ok);
        for (int i = 0; i < copies; ++i) {
            PictureRecord record{10 + 100 * i, 10, loaded.width, loaded.height, loaded.dataLength, name};
            figures.appendFigure(record.encode(), FigureKind::Picture).picture = loaded.block;
        }
        loaded.block->bytes[0] = static_cast<std::uint8_t>(copies);
    };
    addPicture("logo.pcx", "LOGO", 2);
    addPicture("w8h3.pcx", "OTHER", 1);
    window->session().edit([&](LabelDocument& label) { label.figures = figures; });

    // Right click on the first picture: a new name renames both (the names refused are the
    // picture form's tests).
    test::OnModal on2("TPictureDlg", [&](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Edit Picture");
        type(dialog, "PictName", " Brand2 ");
        click(dialog, "OkBt");
    });
    const int zoom = window->labelView()->zoom();
    const LabelSetup& setup = window->session().document().setup;
    QTest::mousePress(window->labelView()->image(), Qt::RightButton, {},
                      QPoint((setup.leftMargin + 12) * zoom, (setup.topMargin + 12) * zoom));
    EXPECT_EQ(pictureOf(figureAt(*window, 0)).name, "Brand2");
    EXPECT_EQ(pictureOf(figureAt(*window, 1)).name, "Brand2");
    EXPECT_EQ(pictureOf(figureAt(*window, 2)).name, "OTHER");

    // Replacing the second one's picture gives both the new data and the new name.
    chosenFile = QString::fromStdString((kFixtures / "w17h30.bmp").string());
    test::OnModal on3("TPictureDlg", [](QWidget* dialog) {
        type(dialog, "PictName", "NOISE");
        click(dialog, "LoadBt");
        click(dialog, "OkBt");
    });
    window->editFigure(&figureAt(*window, 1));
    const Figure& first = figureAt(*window, 0);
    const Figure& second = figureAt(*window, 1);
    EXPECT_EQ(first.picture, second.picture);
    ASSERT_NE(first.picture, nullptr);
    EXPECT_EQ(first.picture->bytes[0], 2);
    for (const Figure* f : {&first, &second}) {
        EXPECT_EQ(pictureOf(*f).name, "NOISE");
        EXPECT_EQ(pictureOf(*f).width, 17);
        EXPECT_EQ(pictureOf(*f).height, 30);
        EXPECT_EQ(pictureOf(*f).dataLength, f->picture->bytes.size());
    }
    EXPECT_EQ(pictureOf(figureAt(*window, 2)).width, 8);
    const PictureBlockRef shared = first.picture;

    // Deleting one of them from the Object List leaves the other with the block, still drawn.
    test::OnModal on4("TFigListDlg", [](QWidget* list) {
        list->findChild<QTableWidget*>("Obj")->selectRow(0);
        test::OnModal yes("YesBt");
        click(list, "DelBt");
        EXPECT_EQ(yes.title(), "Delete Picture  \"NOISE\"  (Size 17x30)");
        static_cast<QDialog*>(list)->reject();
    });
    window->action("EditfromListM")->trigger();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(pictureOf(*shown.begin()).name, "NOISE");
    EXPECT_EQ(shown.begin()->picture, shared) << "the other keeps the block";
}

TEST_F(PictureWindowsTest, PictureFromThePrinterTakesTheStoredNameAndData) {
    test::TempDir output;
    const auto sim = test::startSimulator(output.path());
    ASSERT_FALSE(sim.device().empty());
    Start how;
    how.portDevices[1] = sim.device();
    auto window = start(how);
    auto stored = std::make_unique<GraphicsBuffer>();
    ASSERT_TRUE(LoadGraphicsFile(kFixtures / "w17h30.bmp", *stored));
    ASSERT_TRUE(PrinterStorage(window->link()).storeGraphicsFile(*stored, "NOISE"));

    QStringList offered;
    drawPicture(*window, [&](QWidget* dialog) {
        test::OnModal on5("TObjListDlg", [&](QWidget* chooser) {
            EXPECT_EQ(chooser->findChild<QAbstractButton*>("SaveBt")->text(), "Extract");
            EXPECT_FALSE(chooser->findChild<QAbstractButton*>("DelBt")->isVisible());
            auto* list = chooser->findChild<QListWidget*>("ObjList");
            for (int i = 0; i < list->count(); ++i) offered << list->item(i)->text();
            list->setCurrentRow(0);
            click(chooser, "SaveBt");
        });
        click(dialog, "ExtractBt");
        EXPECT_EQ(dialog->findChild<QLineEdit*>("PictName")->text(), "NOISE");
        click(dialog, "OkBt");
    });
    EXPECT_EQ(offered, QStringList({"NOISE"}));
    ASSERT_EQ(window->session().document().figures.size(), 1u);
    const Figure& figure = *window->session().document().figures.begin();
    EXPECT_EQ(pictureOf(figure).name, "NOISE");
    EXPECT_EQ(pictureOf(figure).width, 17);
    EXPECT_EQ(pictureOf(figure).height, 30);
    // The printer gives back exactly what was stored.
    std::optional<LoadedBlock> original = PictureDataFromBuffer(*stored);
    ASSERT_TRUE(original);
    EXPECT_EQ(figure.picture->bytes, original->block->bytes);
}

// The Object List on a session of its own: what it shows, and each change one edit the label
// view follows.
TEST(ObjectList, ShowsEditsDeletesAndReordersWithTheLabelFollowing) {
    EditorSession session(nullptr);
    const Translation translation;
    const FigureList& figures = session.document().figures;
    const auto figureAt = [&](int index) -> const Figure& { return *std::next(figures.begin(), index); };
    // Edit stands for the figure's own dialog: it widens a rectangle.
    TFigListDlg list(session, translation, [&](const Figure* figure) {
        session.edit([figure](LabelDocument& label) {
            RectangleRecord r = RectangleRecord::decode(figure->record);
            r.width = 50;
            findFigure(label.figures, figure)->record = r.encode();
        });
    }, nullptr);
    {
        test::OnModal nothing("OkBt");
        EXPECT_FALSE(list.prepare());
        EXPECT_EQ(nothing.title(), "Error");
        EXPECT_EQ(nothing.text(), "No figures defined");
    }

    TextRecord text;
    text.x = 4, text.y = 6, text.font = 2, text.hMul = 2, text.vMul = 3, text.rotation = 1, text.data = "ABC";
    session.edit([&](LabelDocument& label) {
        label.figures.appendFigure(text.encode(), FigureKind::Text);
        label.figures.appendFigure(RectangleRecord{40, 50, 30, 10, kColourBlack}.encode(), FigureKind::Rectangle);
        label.figures.appendFigure(BoxRecord{90, 80, 60, 20, 2}.encode(), FigureKind::Box);
        label.figures.appendFigure(LineRecord{1, 2, 3, 4, 1, kColourBlack}.encode(), FigureKind::DiagonalLine);
    });
    const LabelSetup& setup = session.document().setup;
    const auto inkAt = [&](int x, int y) { return session.canvas().back.isInk(setup.leftMargin + x, setup.topMargin + y); };
    ASSERT_TRUE(inkAt(45, 55));
    ASSERT_TRUE(list.prepare());
    auto* table = list.findChild<QTableWidget*>("Obj");
    ASSERT_EQ(table->rowCount(), 4);
    EXPECT_EQ(table->horizontalHeaderItem(2)->text(), "Type");
    EXPECT_EQ(table->columnWidth(2), 265);
    EXPECT_EQ(table->columnWidth(6), 244);
    // What each row says is the object list's own test; here the table follows the label.

    // Selection twice: marked, then as before; neither is an undo step.
    const std::size_t steps = session.undoSteps();
    table->selectRow(1);
    click(&list, "SelBt");
    EXPECT_EQ(table->item(1, 1)->text(), "#");
    EXPECT_TRUE(figureAt(1).selected());
    click(&list, "SelBt");
    EXPECT_FALSE(figureAt(1).selected());
    EXPECT_EQ(session.undoSteps(), steps);

    click(&list, "EditBt");
    EXPECT_EQ(table->item(1, 2)->text(), "Rectangle  (Size 50x10)");
    EXPECT_TRUE(inkAt(85, 55)) << "the label shows the wider rectangle";

    // Reorder: the rectangle goes first and keeps the cursor (the ends: the object list's tests).
    table->selectRow(1);
    click(&list, "UpBt");
    EXPECT_EQ(figureAt(0).kind, FigureKind::Rectangle);
    EXPECT_EQ(table->item(0, 2)->text(), "Rectangle  (Size 50x10)");
    EXPECT_EQ(table->currentRow(), 0);
    table->selectRow(2);
    click(&list, "DownBt");
    EXPECT_EQ(figureAt(3).kind, FigureKind::Box);

    // Delete does nothing unless Confirm Delete is ticked, and then asks first.
    table->selectRow(0);
    list.findChild<QCheckBox*>("SureDel")->setChecked(false);
    click(&list, "DelBt");
    EXPECT_EQ(figures.size(), 4u);
    list.findChild<QCheckBox*>("SureDel")->setChecked(true);
    {
        test::OnModal yes("YesBt");
        click(&list, "DelBt");
        EXPECT_EQ(yes.title(), "Delete Rectangle  (Size 50x10)");
        EXPECT_EQ(yes.text(), "Are You sure ?");
    }
    EXPECT_EQ(table->rowCount(), 3);
    EXPECT_FALSE(inkAt(45, 55)) << "the label no longer shows the rectangle";
    session.undo();
    EXPECT_EQ(figures.size(), 4u) << "the delete is one undo step";
}

TEST_F(PictureWindowsTest, BrowserListsPictureFilesAndShowsTheFactsOfOne) {
    const std::filesystem::path dir = folder.path().toStdString();
    for (const char* file : {"bmp1.bmp", "jpeg_grey.jpg", "png_alpha.png"})
        std::filesystem::copy_file(kFixtures / file, dir / file);
    std::filesystem::copy_file(kFixtures / "jpeg_baseline.jpg", dir / "Photo.JPEG");
    std::ofstream(dir / "notes.txt") << "not a picture\n";
    std::ofstream(dir / "broken.jpg") << "not a jpeg either";

    TOpenPictDlg browser({".BMP", ".JPG", ".JPEG", ".PNG"});
    ASSERT_TRUE(browser.showFolder(folder.path()));
    auto* files = browser.findChild<QListWidget*>("FileList");
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->count(), 5);
    EXPECT_EQ(browser.findChild<QLabel*>("FileCnt")->text(), "5 files");
    const auto fact = [&](const char* name) { return browser.findChild<QLabel*>(name)->text(); };

    files->setCurrentItem(files->findItems("bmp1.bmp", Qt::MatchExactly).front());
    EXPECT_EQ(fact("FileType"), "Bitmap (Monochrome)");
    EXPECT_EQ(fact("FileDim"), "21 x 13 pixels");
    EXPECT_EQ(fact("FileSize"), QString("%1 bytes").arg(std::filesystem::file_size(dir / "bmp1.bmp")));
    EXPECT_EQ(fact("FileDate").size(), 17);
    const QLabel* preview = browser.findChild<QLabel*>("Preview");
    EXPECT_EQ(preview->size(), QSize(21, 13)) << "a small picture keeps its size";

    files->setCurrentItem(files->findItems("jpeg_grey.jpg", Qt::MatchExactly).front());
    const int decodes = browser.decodeCount();
    browser.showFile("jpeg_grey.jpg");
    EXPECT_EQ(browser.decodeCount(), decodes) << "the same file is not read again";

    files->setCurrentItem(files->findItems("broken.jpg", Qt::MatchExactly).front());
    EXPECT_EQ(fact("FileType"), "Invalid picture");
    EXPECT_TRUE(fact("FileDim").isEmpty());

    auto* name = browser.findChild<QLineEdit*>("FileName");
    name->setText(QString::fromStdString((dir / "missing.png").string()));
    {
        test::OnModal missing("OkBt");
        EXPECT_FALSE(browser.openTyped());
        EXPECT_EQ(missing.text(), "File does not exist");
    }
    name->setText(QString::fromStdString((dir / "notes.txt").string()));
    {
        test::OnModal unknown("OkBt");
        EXPECT_FALSE(browser.openTyped());
        EXPECT_EQ(unknown.text(), "Unknown file extension");
    }
    name->setText(QString::fromStdString((dir / "Photo.JPEG").string()));
    EXPECT_TRUE(browser.openTyped());
    EXPECT_EQ(browser.selectedPicturePath(), QString::fromStdString((dir / "Photo.JPEG").string()));
}

}  // namespace
}  // namespace tavrin
