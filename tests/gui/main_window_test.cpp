// The editor's main window driven as a user would: start-up, files, the label view's mouse,
// menu commands with their messages, undo, zoom and the unsaved-changes question.
#include <gtest/gtest.h>

#include <QLocalSocket>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTextBrowser>
#include <sys/wait.h>
#include <unistd.h>
#include <fstream>
#include <type_traits>

#include "app/hand_off.h"
#include "app/help_window.h"
#include "app/message_box.h"
#include "app/single_instance.h"
#include "app/toolbar.h"
#include "document/label_file.h"
#include "editor/label_view.h"
#include "support/editor_window.h"

namespace tavrin {
namespace {

class MainWindowTest : public ::testing::Test, public test::EditorWindowFixture {
protected:
    std::unique_ptr<TZRedit> start(const QString& argument = {}, std::filesystem::path dataFolder = TAVRIN_SOURCE_DATA_DIR) {
        return EditorWindowFixture::start({argument, std::move(dataFolder), {}, true});
    }

    // Presses inside the label at label bitmap dots (x, y), at the view's zoom.
    static void click(TZRedit& window, int x, int y, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(window.labelView()->image(), Qt::LeftButton, modifiers, dotsToWidget(window, x, y));
    }
    static QPoint dotsToWidget(TZRedit& window, int x, int y) {
        const int zoom = window.labelView()->zoom();
        return {x * zoom + zoom / 2, y * zoom + zoom / 2};
    }
    static void drag(TZRedit& window, QPoint from, QPoint to) {
        test::drag(window.labelView()->image(), dotsToWidget(window, from.x(), from.y()), dotsToWidget(window, to.x(), to.y()));
    }

    static void addRectangle(TZRedit& window, RectangleRecord record) {
        window.session().edit([&](LabelDocument& label) { label.figures.appendFigure(record.encode(), FigureKind::Rectangle); });
    }
    static RectangleRecord rectangleAt(TZRedit& window, int index) {
        return RectangleRecord::decode(std::next(window.session().document().figures.begin(), index)->record);
    }
};

TEST_F(MainWindowTest, StartsWithCaptionMenusAndAnEmptyLabel) {
    auto window = start();
    EXPECT_EQ(window->windowTitle(), "Label Editor v 1.12[*]") << "\"*\" shows there while the label is modified";
    EXPECT_EQ(window->fontLoadResult(), 0);
    EXPECT_TRUE(window->session().document().figures.empty());
    EXPECT_EQ(window->action("SelectAllM")->shortcut(), QKeySequence("Ctrl+A"));
    EXPECT_EQ(window->action("TestPrintM")->shortcut(), QKeySequence("F2"));
    EXPECT_FALSE(window->action("AboutM")->isVisible());
    EXPECT_GE(window->labelView()->minimumWidth(), 400);
    EXPECT_GE(window->labelView()->minimumHeight(), 300);
}

// Every item the user can see and every toolbar button reaches a command of its own, and is
// enabled unless its rule says otherwise; the menus keep their shape when the tables of
// several concerns fill one menu. The commands are only watched, not run.
TEST_F(MainWindowTest, EveryVisibleItemAndToolbarButtonRunsItsCommand) {
    auto window = start();
    QStringList reached;
    window->commands().setWatcher([&](const QObject& source) {
        reached << source.objectName();
        return false;
    });
    const auto reaches = [&](auto* source) {
        reached.clear();
        if constexpr (std::is_same_v<decltype(source), QAction*>) source->trigger();
        else source->click();
        return reached == QStringList{source->objectName()};
    };

    const std::vector<std::string> shape = {
        "ZR_File: NewLabelM LoadLabelM SaveAsLabelM SaveAsFormM ExportPdfM | LabelSetupM | FormM GraphicsM FontsM | StoreCurrentM "
        "StoreFormM StoreGraphicsM StoreFontM | RecentM | ExitM",
        "EditM: UndoM RedoM | SelectAllM UnselectM CopyM PasteM DeleteM | AlignM MovetoTopM MovetoBottomM",
        "ViewM: ToolbarM GridM MarginsM ScrollTrackingM LeftToolbarM EditfromListM | ZoomInM ZoomOutM ActualSizeM",
        "ZR_Print: TestPrintM PrintM VariablesM NewValuesM | PrintFromDataM PrintProofM",
        "DrawM: TextM BarcodeM RectangleM LineM BoxM PictureM",
        "ZR_Tools: SettingsM TerminalM | ColorBWM TtfToQftM | NewFontM RemoveFontM",
        "ZR_Help: AboutM ZReditHelpM",
    };
    std::vector<std::string> seen;
    // Nothing to undo or redo, already at actual size, no recent labels yet.
    const QSet<QString> disabledAtStart = {"UndoM", "RedoM", "ZoomOutM", "RecentM"};
    for (QAction* top : window->menuBar()->actions()) {
        QStringList items;
        for (QAction* item : top->menu()->actions()) {
            items << (item->isSeparator() ? QString("|") : item->objectName());
            if (item->isSeparator() || !item->isVisible()) continue;
            SCOPED_TRACE(item->objectName().toStdString());
            EXPECT_EQ(item->isEnabled(), !disabledAtStart.contains(item->objectName()));
            if (item->isEnabled() && item->menu() == nullptr) {
                EXPECT_TRUE(reaches(item));
            }
        }
        seen.push_back((top->objectName() + ": " + items.join(' ')).toStdString());
    }
    EXPECT_EQ(seen, shape);

    for (auto* button : window->toolbar()->findChildren<QAbstractButton*>()) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_TRUE(button->isEnabled());
        EXPECT_TRUE(reaches(button));
    }

    // The rules follow the label and the zoom.
    addRectangle(*window, {20, 20, 40, 30, kColourBlack});
    EXPECT_TRUE(window->action("UndoM")->isEnabled());
    window->undo();
    EXPECT_TRUE(reaches(window->action("RedoM")));
    window->setZoom(LabelView::kMaxZoom);
    EXPECT_FALSE(window->action("ZoomInM")->isEnabled());
    EXPECT_TRUE(reaches(window->action("ZoomOutM")));
}

TEST_F(MainWindowTest, CommandLineLabelIsOpenedOnlyWhenItIsALabelFile) {
    const std::string text = (programFolder / "notes.txt").string();
    std::ofstream(text) << "just some text\n";
    auto plain = start(QString::fromStdString(text));
    EXPECT_TRUE(plain->session().document().figures.empty());
    EXPECT_TRUE(plain->commandLineLabel().isEmpty());

    auto labelled = start(test::kSampleLabel);
    EXPECT_FALSE(labelled->session().document().figures.empty());
    EXPECT_FALSE(labelled->session().modified());
}

TEST_F(MainWindowTest, MissingFontFileIsReportedAndTheProgramCloses) {
    const std::filesystem::path empty = programFolder / "nodata";
    std::filesystem::create_directories(empty);
    test::OnModal answer("OkBt");
    auto window = start(test::kSampleLabel, empty);
    EXPECT_EQ(window->fontLoadResult(), 1);
    EXPECT_TRUE(window->session().document().figures.empty()) << "the label is not opened";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 5000));
    EXPECT_EQ(answer.title(), "Error");
    EXPECT_EQ(answer.text(), QString("Can't open font file %1").arg(QString::fromStdString((programFolder / "ZREDIT.FNT").string())));
}

TEST_F(MainWindowTest, MouseSelectsMovesAndResizesAtEveryZoom) {
    for (int zoom : {1, 3}) {
        auto window = start();
        window->setZoom(zoom);
        ASSERT_EQ(window->labelView()->zoom(), zoom);
        addRectangle(*window, {20, 20, 40, 30, kColourBlack});
        addRectangle(*window, {100, 100, 20, 20, kColourBlack});

        click(*window, 30, 30);
        EXPECT_TRUE(window->session().document().figures.begin()->selected());
        click(*window, 110, 110, Qt::ShiftModifier);
        EXPECT_EQ(window->session().document().figures.countSelected(), 2);

        // A member of the selection dragged: both move, as one undo step.
        drag(*window, {30, 30}, {40, 35});
        EXPECT_EQ(rectangleAt(*window, 0).x, 30);
        EXPECT_EQ(rectangleAt(*window, 1).y, 105);
        window->undo();
        EXPECT_EQ(rectangleAt(*window, 0).x, 20);
        EXPECT_EQ(rectangleAt(*window, 1).y, 100);

        // The bottom right corner dragged past the top left one: a normal rectangle again.
        window->unselectAll();
        drag(*window, {60, 50}, {10, 5});
        const RectangleRecord r = rectangleAt(*window, 0);
        EXPECT_EQ((std::array{r.x, r.y, r.width, r.height}), (std::array{10, 5, 10, 15})) << "zoom " << zoom;
    }
}

// The messages' words are the figure list's; here the window shows them and acts on the answer.
TEST_F(MainWindowTest, EditCommandsGiveTheirMessages) {
    auto window = start();
    addRectangle(*window, {20, 20, 40, 30, kColourBlack});
    addRectangle(*window, {100, 100, 20, 20, kColourBlack});
    window->selectAll();
    {
        test::OnModal answer("OkBt");
        window->moveToTop();
        EXPECT_EQ(answer.text(), "Too many objects selected");
    }
    {
        test::OnModal answer("NoBt");
        window->deleteSelection();
        EXPECT_TRUE(answer.ran());
        EXPECT_EQ(window->session().document().figures.size(), 2u);
    }
    {
        test::OnModal answer("YesBt");
        window->deleteSelection();
        EXPECT_TRUE(window->session().document().figures.empty());
    }
    window->undo();
    EXPECT_EQ(window->session().document().figures.size(), 2u);
    window->redo();
    EXPECT_TRUE(window->session().document().figures.empty());
}

TEST_F(MainWindowTest, SaveReopenAndTheUnsavedChangesQuestion) {
    auto window = start();
    addRectangle(*window, {20, 20, 40, 30, kColourBlack});
    chosenFile = QString::fromStdString((programFolder / "first").string());
    ASSERT_TRUE(window->saveAsLabel());
    EXPECT_TRUE(std::filesystem::exists(programFolder / "first.qlb")) << "the default extension is added";
    EXPECT_FALSE(window->session().modified());
    EXPECT_EQ(window->config().workDirectory, programFolder.string());

    addRectangle(*window, {100, 100, 20, 20, kColourBlack});
    {
        // Cancel is the handed-over files' test.
        test::OnModal answer("NoBt");
        chosenFile += ".qlb";
        window->openLabel();
        EXPECT_EQ(window->session().document().figures.size(), 1u) << "No drops the changes and opens";
        EXPECT_FALSE(window->session().canUndo());
    }
    {
        // Saving over the file asks first; No leaves it as it was.
        test::OnModal answer("NoBt");
        window->session().edit([](LabelDocument& label) { label.figures.front().record = RectangleRecord{1, 1, 5, 5, 0}.encode(); });
        EXPECT_FALSE(window->saveAsLabel());
        EXPECT_EQ(answer.text(), "File exists. Overwrite?");
        LabelDocument stored;
        ASSERT_TRUE(loadLabelFile(programFolder / "first.qlb", stored));
        EXPECT_EQ(RectangleRecord::decode(stored.figures.front().record).x, 20);
    }
}

TEST_F(MainWindowTest, ArrowsNudgeRightClickEditsAndClosingAsksFirst) {
    auto window = start();
    addRectangle(*window, {20, 20, 40, 30, kColourBlack});
    window->selectAll();
    // A key held down is one undo step; Shift moves by the grid step.
    QTest::keyPress(window.get(), Qt::Key_Right);
    QTest::keyPress(window.get(), Qt::Key_Right, Qt::NoModifier, -1);
    QTest::keyRelease(window.get(), Qt::Key_Right);
    QTest::keyClick(window.get(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(rectangleAt(*window, 0).x, 22);
    EXPECT_EQ(rectangleAt(*window, 0).y, 20 + window->config().gridStep);
    window->undo();
    window->undo();
    EXPECT_EQ(rectangleAt(*window, 0).x, 20);

    {
        test::OnModal answer("OkBt");
        QTest::mouseClick(window->labelView()->image(), Qt::RightButton, {}, dotsToWidget(*window, 30, 30));
        EXPECT_EQ(answer.title(), "Edit Rectangle");
        // A confirmed edit leaves the figure's values in the template the next one starts from.
        EXPECT_EQ(window->session().templates().rectangle.width, 40);
    }
    {
        test::OnModal answer("CancelBt");
        EXPECT_FALSE(window->close()) << "unsaved changes: Cancel keeps the window";
        EXPECT_EQ(answer.text(), "Save changes to the label?");
    }
    test::OnModal answer("NoBt");
    EXPECT_TRUE(window->close());
}

TEST_F(MainWindowTest, SetupFromTheMenuLeavesTheWindowFreeAndOkResizesTheLabel) {
    auto window = start();
    window->action("LabelSetupM")->trigger();
    auto* width = window->findChild<QLineEdit*>("TmpLabWidth");
    ASSERT_NE(width, nullptr);
    ASSERT_TRUE(width->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    width->setText("608");
    window->findChild<QAbstractButton*>("ButtonOK")->click();
    EXPECT_EQ(window->session().document().setup.width, 608);
    EXPECT_EQ(window->session().canvas().visible.width(), 608);
    window->undo();
    EXPECT_EQ(window->session().document().setup.width, 384);
    EXPECT_EQ(window->session().canvas().visible.width(), 384) << "the view follows the undone size";
}

TEST_F(MainWindowTest, ALabelLeftByACrashedEditorIsOfferedAndRestored) {
    LabelDocument lost;
    lost.figures.appendFigure(RectangleRecord{7, 8, 30, 40, kColourInverse}.encode(), FigureKind::Rectangle);
    // An editor that wrote its copy and died without cleaning up.
    const pid_t child = fork();
    if (child == 0) {
        RecoveryStore(programFolder / "recovery", static_cast<int>(getpid())).write(lost, "/labels/lost.qlb", 0);
        _exit(0);
    }
    waitpid(child, nullptr, 0);

    test::OnModal answer("YesBt");
    auto window = start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.ran(); }, 5000));
    EXPECT_TRUE(answer.text().contains("/labels/lost.qlb"));
    EXPECT_TRUE(sameLabel(window->session().document(), lost));
    EXPECT_TRUE(window->session().modified()) << "a restored label is not saved anywhere yet";
    // Now this editor's copy; a clean close removes it.
    EXPECT_EQ(RecoveryStore(programFolder / "recovery", 0).orphans().size(), 0u);
    test::OnModal dropIt("NoBt");
    window->close();
    EXPECT_TRUE(std::filesystem::is_empty(programFolder / "recovery"));
}

TEST_F(MainWindowTest, RecentLabelsListOpenedFilesAndDropMissingOnes) {
    auto window = start();
    addRectangle(*window, {20, 20, 40, 30, kColourBlack});
    chosenFile = QString::fromStdString((programFolder / "kept.qlb").string());
    ASSERT_TRUE(window->saveAsLabel());
    ASSERT_FALSE(window->recentFiles().files().empty());
    EXPECT_EQ(window->recentFiles().files().front(), (programFolder / "kept.qlb").string());
    std::filesystem::remove(programFolder / "kept.qlb");
    auto* recent = window->findChild<QMenu*>("RecentM");
    ASSERT_TRUE(recent->isEnabled());
    ASSERT_EQ(recent->actions().size(), 1);
    test::OnModal answer("OkBt");
    recent->actions().front()->trigger();
    EXPECT_TRUE(answer.text().startsWith("File not found"));
    EXPECT_TRUE(window->recentFiles().files().empty());
    EXPECT_FALSE(recent->isEnabled());
}

TEST_F(MainWindowTest, EveryMenuItemHasALetterOfItsOwnAndAltDThenBDrawsABarcode) {
    auto window = start();
    const auto checkLetters = [](const QString& where, const QList<QAction*>& items) {
        QSet<QString> letters;
        for (const QAction* item : items) {
            if (item->isSeparator()) continue;
            const QString letter = QKeySequence::mnemonic(item->text()).toString();
            EXPECT_FALSE(letter.isEmpty()) << where.toStdString() << ": " << item->text().toStdString();
            EXPECT_FALSE(letters.contains(letter)) << where.toStdString() << ": " << item->text().toStdString();
            letters.insert(letter);
        }
    };
    checkLetters("menu bar", window->menuBar()->actions());
    for (const QMenu* menu : window->menuBar()->findChildren<QMenu*>()) checkLetters(menu->title(), menu->actions());

    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_D, Qt::AltModifier);
    auto* draw = window->findChild<QMenu*>("DrawM");
    ASSERT_TRUE(QTest::qWaitFor([&] { return draw->isVisible(); }, 5000));
    QTest::keyClick(draw, Qt::Key_B);
    EXPECT_EQ(window->session().mouse().tool(), Tool::Barcode);
}

TEST_F(MainWindowTest, F1OpensTheHelpWithItsPicturesAndLinksWithoutABrowser) {
    auto window = start();
    EXPECT_EQ(window->action("ZReditHelpM")->shortcut(), QKeySequence(Qt::Key_F1));
    window->action("ZReditHelpM")->trigger();
    auto* help = window->findChild<HelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    QTextBrowser* page = help->browser();
    EXPECT_EQ(page->source().fileName(), "index.html");
    EXPECT_TRUE(page->toPlainText().contains("Getting started"));
    EXPECT_FALSE(page->document()->resource(QTextDocument::ImageResource, QUrl("pictures/editor.png")).isNull());
    page->setSource(QUrl("editor.html"));  // a link followed
    EXPECT_EQ(page->source().fileName(), "editor.html");
    EXPECT_TRUE(help->findChild<QAbstractButton*>("BackBt")->isEnabled());

    QUrl opened;
    help->setBrowserOpener([&](const QUrl& url) {
        opened = url;
        return false;  // no browser on this machine
    });
    test::OnModal noBrowser("OkBt");
    test::click(help, "OpenInBrowserBt");
    EXPECT_EQ(opened.fileName(), "editor.html");
    EXPECT_EQ(noBrowser.title(), "Error");
}

// The running editor, with unsaved changes, is handed files through its real socket and
// wiring; every answer to its question, and an error, leaves the editor and its edits whole.
TEST_F(MainWindowTest, HandedOverFilesAreOpenedAfterTheQuestionWithoutLosingEdits) {
    auto window = start();
    const QString name = QString("tavrin-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance running(name);
    EXPECT_FALSE(running.askRunningInstance()) << "nobody there yet";
    ASSERT_TRUE(running.listen());
    HandOffQueue* queue = connectHandOff(running, *window);
    const QString& sample = test::kSampleLabel;
    LabelDocument sampleLabel;
    ASSERT_TRUE(loadLabelFile(sample.toStdString(), sampleLabel));
    const auto settled = [&] {
        return QTest::qWaitFor([&] { return queue->pending() == 0 && QApplication::activeModalWidget() == nullptr; }, 5000);
    };
    const auto isSample = [&] { return sameLabel(window->session().document(), sampleLabel); };

    struct Case {
        const char* answer;
        QString file;
        const char* asked;
        bool opened;
    };
    const Case cases[] = {
        {"CancelBt", sample, "Save changes to the label?", false},
        {"OkBt", sample + ".missing", "Can't open input file", false},  // nothing asked first
        {"NoBt", sample, "Save changes to the label?", true},
        {"YesBt", sample, "Save changes to the label?", true},
    };
    // A second start that stays connected until the question shows and leaves while it is
    // open, as a real one may: the server's socket ends under whatever still holds it.
    const auto handOverAndAnswer = [&](const QString& file, const char* button) {
        QLocalSocket client;
        client.connectToServer(name);
        EXPECT_TRUE(client.waitForConnected(5000));
        client.write("open\t" + file.toUtf8() + "\n");
        client.waitForBytesWritten(5000);
        QString asked;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* answer = modal != nullptr ? modal->findChild<QAbstractButton*>(button) : nullptr;
            if (answer == nullptr || !answer->isVisible()) return;
            poll.stop();
            asked = modal->findChild<QLabel*>("MsgText")->text();
            client.disconnectFromServer();
            QTimer::singleShot(100, answer, &QAbstractButton::click);  // once the server has seen it go
        });
        poll.start(10);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !asked.isEmpty(); }, 5000));
        EXPECT_TRUE(settled());
        return asked;
    };
    int saved = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        window->session().markSaved();
        window->newLabel();
        addRectangle(*window, {20, 20, 40, 30, kColourBlack});
        chosenFile = QString::fromStdString((programFolder / ("saved" + std::to_string(++saved) + ".qlb")).string());
        EXPECT_EQ(handOverAndAnswer(c.file, c.answer), c.asked);
        EXPECT_EQ(isSample(), c.opened);
        EXPECT_EQ(window->session().modified(), !c.opened) << "edits stay until the user lets them go";
        EXPECT_EQ(std::filesystem::exists(chosenFile.toStdString()), std::string(c.answer) == "YesBt");
    }

    // A file that comes while a modal window is open waits for it to close.
    window->session().markSaved();
    window->newLabel();
    addRectangle(*window, {20, 20, 40, 30, kColourBlack});
    test::OnModal dropEdits("NoBt");
    bool waited = false;
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(SingleInstance(name).askRunningInstance(sample));
        waited = QTest::qWaitFor([&] { return queue->pending() == 1; }, 5000);
        QTest::qWait(250);  // a few of the queue's retries
        waited = waited && queue->pending() == 1 && !isSample();
        test::click(QApplication::activeModalWidget(), "OkBt");
    });
    messageBox("Warning", "Busy", false);
    EXPECT_TRUE(waited);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dropEdits.ran(); }, 5000));
    ASSERT_TRUE(settled());
    EXPECT_TRUE(isSample());
}

TEST(SingleInstance, EachUserAndDisplayHasItsOwnEditor) {
    EXPECT_EQ(SingleInstance::sessionName(1000, "", ":0.1"), SingleInstance::sessionName(1000, "", ":0"));
    const QSet<QString> names = {SingleInstance::sessionName(1000, "", ":0"), SingleInstance::sessionName(1000, "", ":1"),
                                 SingleInstance::sessionName(1001, "", ":0"),
                                 SingleInstance::sessionName(1000, "/run/user/1000/wayland-0", ":0")};
    EXPECT_EQ(names.size(), 4);
    for (const QString& name : names) EXPECT_FALSE(name.contains('/')) << name.toStdString();
}

}  // namespace
}  // namespace tavrin
