// The floating toolbar's buttons and status line, its placement beside the main window, the
// placement of dialogs over the client area, and the glyphs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>

#include "app/place_dialog.h"
#include "app/toolbar.h"
#include "app/toolbar_icons.h"

namespace tavrin {
namespace {

struct ButtonRow {
    const char* name;
    int column;
    int row;
    const char* hint;
};

const ButtonRow kExpectedButtons[] = {
    {"TextBt", 0, 0, "Draw text"},
    {"BarcBt", 0, 1, "Draw barcode"},
    {"RectBt", 0, 2, "Draw rectangle"},
    {"LineBt", 0, 3, "Draw diagonal line"},
    {"BoxBt", 0, 4, "Draw box"},
    {"PictBt", 0, 5, "Draw picture"},
    {"AlignBt", 0, 6, "Grid size and alignment"},
    {"FilesBt", 1, 0, "Files and forms"},
    {"SetupBt", 1, 1, "Label setup"},
    {"TPrintBt", 1, 2, "Test print"},
    {"PrintBt", 1, 3, "Print"},
    {"VarBt", 1, 4, "Define variables and counters"},
    {"NewValuesBt", 1, 5, "Update variables and counters"},
    {"SettingsBt", 1, 6, "Settings and diagnostic"},
};

TEST(Toolbar, FourteenButtonsInTwoColumnsAboveTheStatusLine) {
    TZRToolbar toolbar;
    EXPECT_EQ(toolbar.size(), QSize(64, 248));
    EXPECT_TRUE(toolbar.windowFlags().testFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint));
    QStringList clicked;
    QObject::connect(&toolbar, &TZRToolbar::buttonClicked, [&](const QString& name) { clicked << name; });
    for (const ButtonRow& row : kExpectedButtons) {
        SCOPED_TRACE(row.name);
        auto* button = toolbar.findChild<QToolButton*>(row.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->geometry(), QRect(row.column * 32, row.row * 32, 32, 32));
        EXPECT_EQ(button->toolTip(), row.hint);
        button->click();
        EXPECT_EQ(clicked.value(clicked.size() - 1), row.name);
    }
    EXPECT_EQ(toolbar.findChildren<QToolButton*>().size(), 14);
    auto* status = toolbar.findChild<QLabel*>("StatusLn");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->geometry(), QRect(0, 224, 64, 24));
}

TEST(Toolbar, StatusLineCountsFromTheReferencePointAndOnlyTheChosenToolIsMarked) {
    TZRToolbar toolbar;
    toolbar.showStatus(130, 45, 30, 20);
    EXPECT_EQ(toolbar.findChild<QLabel*>("StatusLn")->text(), "100,25");
    toolbar.showStatus(10, 0, 30, 20);
    EXPECT_EQ(toolbar.status(), "-20,-20");
    toolbar.clearStatus();
    EXPECT_EQ(toolbar.status(), "");

    auto* text = toolbar.findChild<QToolButton*>("TextBt");
    auto* box = toolbar.findChild<QToolButton*>("BoxBt");
    text->click();
    EXPECT_FALSE(text->isChecked());
    toolbar.setCurrentTool(0);
    EXPECT_TRUE(text->isChecked());
    toolbar.setCurrentTool(4);
    EXPECT_TRUE(box->isChecked());
    EXPECT_FALSE(text->isChecked());
    toolbar.setCurrentTool(7);
    EXPECT_FALSE(box->isChecked());
}

TEST(Toolbar, PlacedLeftOutsideWhenThereIsRoomElseInsideRight) {
    const QSize size(64, 248);
    const QRect client(305, 130, 790, 560);
    struct Case {
        int frameLeft;
        bool toolbarLeft;
        int expectedLeft;
    };
    const Case cases[] = {
        {300, true, 232},   // 300 - 64 - 4
        {69, true, 1},      // still right of the screen's edge
        {68, true, 1027},   // would touch the edge: inside, 305 + 790 - 64 - 4
        {20, true, 1027},
        {300, false, 1027},
    };
    for (const Case& c : cases) {
        const QPoint at = toolbarPosition(QRect(c.frameLeft, 100, 800, 600), client, size, c.toolbarLeft);
        EXPECT_EQ(at, QPoint(c.expectedLeft, 134)) << c.frameLeft << " " << c.toolbarLeft;
    }
    // On a second screen to the right the edge is that screen's.
    EXPECT_EQ(toolbarPosition(QRect(1950, 100, 800, 600), client, size, true, 1920).x(), 1027);
}

TEST(Toolbar, FollowsTheMainWindowWhileFollowingIsOn) {
    QMainWindow main;
    main.setCentralWidget(new QWidget);
    main.setGeometry(400, 200, 640, 480);
    main.show();
    TZRToolbar toolbar(&main);
    toolbar.setToolbarLeft(true);
    toolbar.show();
    const QPoint before = toolbar.pos();
    toolbar.setFollowing(true);
    const int clientTop = clientArea(&main).global.top();
    EXPECT_EQ(toolbar.pos(), QPoint(main.frameGeometry().left() - 68, clientTop + 4));
    EXPECT_NE(toolbar.pos(), before);
    main.move(30, 200);  // no room left of it: the toolbar moves inside, at the right
    QApplication::processEvents();
    const QRect client = clientArea(&main).global;
    EXPECT_EQ(toolbar.pos(), QPoint(client.left() + client.width() - 68, client.top() + 4));
    toolbar.setFollowing(false);
    const QPoint stayed = toolbar.pos();
    main.move(400, 260);
    QApplication::processEvents();
    EXPECT_EQ(toolbar.pos(), stayed);
}

TEST(PlaceDialog, CentredOrTwentyFourFromTheEdge) {
    struct Case {
        QRect client;
        int scroll;
        QSize dialog;
        int x, y;
        QPoint expected;
    };
    const Case cases[] = {
        {{0, 0, 800, 600}, 0, {300, 200}, -1, 0, {250, 100}},
        {{10, 20, 324, 600}, 0, {300, 200}, -1, 0, {22, 120}},   // exactly 24 wider: centred
        {{10, 20, 323, 600}, 0, {300, 200}, -1, 0, {34, 120}},   // 23 wider: 24 from the left
        {{10, 20, 800, 223}, 0, {300, 200}, -1, 24, {260, 44}},  // 23 taller: 24 from the top
        {{10, 20, 800, 224}, 50, {300, 200}, -1, 0, {260, 26}},  // scrolling moves only fixed places
        {{10, 20, 800, 600}, 30, {300, 200}, 5, 7, {45, 27}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dialogPosition({c.client, c.scroll}, c.dialog, c.x, c.y), c.expected) << c.client.width();
}

TEST(PlaceDialog, TheClientOfAScrollingMainWindowIsItsViewport) {
    QMainWindow main;
    auto* scroll = new QScrollArea;
    auto* label = new QLabel;
    label->setFixedSize(2000, 2000);
    scroll->setWidget(label);
    main.setCentralWidget(scroll);
    main.resize(640, 480);
    main.show();
    scroll->horizontalScrollBar()->setValue(120);
    const ClientArea area = clientArea(&main);
    EXPECT_EQ(area.horizontalScroll, 120);
    EXPECT_EQ(area.global.size(), scroll->viewport()->size());
    EXPECT_LT(area.global.width(), scroll->width());  // the vertical scroll bar is not client

    // A status line coming and going moves no dialog.
    for (const bool shown : {true, false}) {
        main.statusBar()->setVisible(shown);
        QApplication::processEvents();
        EXPECT_EQ(clientArea(&main).global, area.global) << shown;
    }
    EXPECT_GT(main.statusBar()->height(), 0);
}

TEST(ToolbarIcons, EveryButtonHasAGlyphAtBothScales) {
    for (const ButtonRow& row : kExpectedButtons) {
        for (const qreal ratio : {1.0, 2.0}) {
            const QImage image = toolbarGlyphPixmap(row.name, kToolbarGlyphSize, ratio).toImage();
            EXPECT_EQ(image.width(), static_cast<int>(24 * ratio));
            int inked = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) inked += qAlpha(image.pixel(x, y)) > 128;
            // Something of substance, yet a glyph and not a filled square.
            EXPECT_GT(inked, image.width() * image.height() / 10) << row.name;
            EXPECT_LT(inked, image.width() * image.height() * 3 / 4) << row.name;
        }
    }
}

}  // namespace
}  // namespace tavrin
