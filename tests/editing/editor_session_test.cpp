#include "editing/editor_session.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "document/recent_files.h"
#include "editing/recovery.h"
#include "editing/undo_history.h"
#include "support/label_builders.h"

namespace tavrin {
namespace {

TEST(EditorSession, UndoAndRedoEveryKindOfChange) {
    EditorSession session(nullptr);
    const LabelDocument& doc = session.document();
    int told = 0;
    session.setChangeListener([&] { ++told; });
    auto picture = std::make_shared<PictureBlock>();
    picture->bytes = {1, 1, 0x00};
    const std::function<void(LabelDocument&)> changes[] = {
        [](LabelDocument& d) { d.figures.appendFigure(RectangleRecord{1, 2, 30, 40, 0}.encode(), FigureKind::Rectangle); },
        [](LabelDocument& d) { d.figures.front().flags = kFlagSelected, d.figures.moveSelected(5, 0); },
        [](LabelDocument& d) { d.setup.width = 608, d.setup.leftMargin = 20; },
        [](LabelDocument& d) { d.variables[3].defined = 1, d.variables[3].setValue("abc"); },
        [](LabelDocument& d) { d.counters[7].step = 2; },
        [&](LabelDocument& d) {
            PictureRecord p;
            p.width = 8, p.height = 1, p.name = "P";
            d.figures.appendFigure(p.encode(), FigureKind::Picture).picture = picture;
        },
        [](LabelDocument& d) { d.figures.back().picture = std::make_shared<PictureBlock>(PictureBlock{{1, 1, 0xFF}}); },
    };
    std::vector<LabelDocument> states{doc};
    for (const auto& change : changes) {
        session.edit(change);
        states.push_back(doc);
    }
    ASSERT_EQ(session.undoSteps(), std::size(changes));
    EXPECT_EQ(told, static_cast<int>(std::size(changes)));
    EXPECT_EQ(session.canvas().back.width(), 608);  // each edit is redrawn
    for (std::size_t i = states.size() - 1; i-- > 0;) {
        ASSERT_TRUE(session.undo());
        EXPECT_TRUE(sameLabel(doc, states[i])) << "undo to state " << i;
        EXPECT_EQ(session.canvas().back.width(), doc.setup.width);  // redrawn
    }
    EXPECT_FALSE(session.undo());
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(session.redo());
        EXPECT_TRUE(sameLabel(doc, states[i])) << "redo to state " << i;
    }
    EXPECT_FALSE(session.redo());
    EXPECT_EQ(std::prev(doc.figures.end())->picture->bytes[2], 0xFF);
    EXPECT_EQ(told, static_cast<int>(3 * std::size(changes)));  // undo and redo are told too
}

TEST(EditorSession, OnlyEditsAreRecorded) {
    EditorSession session(nullptr);
    const LabelDocument& doc = session.document();
    int told = 0;
    session.setChangeListener([&] { ++told; });
    // A data row shown in the label is not the user's change.
    session.preview([](LabelDocument& d) { d.variables[0].setValue("row 1"); });
    EXPECT_EQ(doc.variables[0].valueText(), "row 1");
    EXPECT_FALSE(session.modified());
    session.preview([](LabelDocument& d) { d.variables[0].setValue(""); });
    session.edit([](LabelDocument& d) { d.figures.appendFigure(TextRecord{}.encode(), FigureKind::Text); });
    // A change that says it changed nothing is neither recorded nor told.
    EXPECT_FALSE(session.edit([](LabelDocument&) { return false; }));
    session.select([](FigureList& figures) { figures.selectAll(); });
    EXPECT_TRUE(doc.figures.begin()->selected());
    EXPECT_EQ(told, 4);
    EXPECT_EQ(session.undoSteps(), 1u);

    LabelDocument opened;
    opened.setup.width = 300;
    opened.figures.appendFigure(BoxRecord{}.encode(), FigureKind::Box);
    session.startLabel(opened);
    EXPECT_TRUE(sameLabel(doc, opened));
    EXPECT_EQ(session.canvas().back.width(), 300);
    EXPECT_FALSE(session.modified() || session.canUndo());
    EXPECT_EQ(told, 5);
}

TEST(EditorSession, StepsThatChangeNothingAreDropped) {
    EditorSession session(nullptr);
    const LabelDocument& doc = session.document();
    session.edit([](LabelDocument& d) {
        d.figures.appendFigure(TextRecord{}.encode(), FigureKind::Text);
        d.figures.appendFigure(BarcodeRecord{}.encode(), FigureKind::Barcode);
    });
    ASSERT_EQ(session.undoSteps(), 1u);
    // Selection, copy marks and what the renderers measure are not the user's changes.
    session.edit([](LabelDocument& d) {
        d.figures.selectAll();
        d.figures.copy();
        setRecord16(d.figures.front().record, 14, 77);
        setRecord16(d.figures.back().record, 18, 99);
    });
    EXPECT_EQ(session.undoSteps(), 1u);
    // A 2D symbol's height is the renderer's measure too (the edit's redraw sets it); a
    // linear barcode's is the user's.
    session.edit([](LabelDocument& d) { setRecord16(d.figures.back().record, 0, 27); });
    ASSERT_EQ(session.undoSteps(), 2u);
    EXPECT_NE(BarcodeRecord::decode(std::prev(doc.figures.end())->record).height, 80);
    session.commit();
    EXPECT_EQ(session.undoSteps(), 2u);
    session.edit([](LabelDocument& d) {
        setRecord16(d.figures.back().record, 0, 8);
        setRecord16(d.figures.back().record, 6, 50);
    });
    EXPECT_EQ(session.undoSteps(), 3u);
}

TEST(EditorSession, ModifiedFollowsTheSavedState) {
    EditorSession session(nullptr);
    const LabelDocument& doc = session.document();
    auto setWidth = [&](int width) { session.edit([width](LabelDocument& d) { d.setup.width = width; }); };
    // Modified after each step: none, 500, saved, 400, undone, redone, 500 again by hand.
    std::string modified = session.modified() ? "1" : "0";
    for (const std::function<void()>& step : std::initializer_list<std::function<void()>>{
             [&] { setWidth(500); }, [&] { session.markSaved(); }, [&] { setWidth(400); }, [&] { session.undo(); },
             [&] { session.redo(); }, [&] { setWidth(500); }}) {
        step();
        modified += session.modified() ? "1" : "0";
    }
    EXPECT_EQ(modified, "0101010");

    ASSERT_TRUE(session.undo());
    EXPECT_EQ(doc.setup.width, 400);
    EXPECT_TRUE(session.canRedo());
    setWidth(420);  // a new change drops the steps that could be redone
    EXPECT_FALSE(session.canRedo());

    session.resetHistory();
    EXPECT_FALSE(session.modified() || session.canUndo());
}

TEST(EditorSession, HistoryKeepsTheLastStepsAndDropsAnyDrag) {
    EditorSession session(nullptr);
    const LabelDocument& doc = session.document();
    for (int i = 1; i <= 250; ++i) session.edit([i](LabelDocument& d) { d.setup.offset = i; });
    EXPECT_EQ(session.undoSteps(), EditorSession::kHistoryLimit);
    // Put in place without a step of its own, so the drag below is the only change pending.
    session.preview([](LabelDocument& d) {
        d.figures.appendFigure(RectangleRecord{0, 0, 50, 50, 0}.encode(), FigureKind::Rectangle).flags = kFlagSelected;
    });
    session.mouse().mouseDown({10, 10}, MouseButton::Left, false);
    session.mouse().mouseMove({30, 30});
    ASSERT_TRUE(session.mouse().dragging());
    ASSERT_TRUE(session.undo());  // the half-done move is the step undone
    EXPECT_FALSE(session.mouse().dragging());
    EXPECT_TRUE(doc.figures.empty());
    int undone = 0;
    while (session.undo()) ++undone;
    EXPECT_EQ(undone, 199);
    EXPECT_EQ(doc.setup.offset, 51);
}

// Recovery copies: one per editor, found again after the editor died, claimed by one start.
// The number of a process that has ended.
int deadProcessId() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return static_cast<int>(child);
}

LabelDocument labelWith(int x) {
    LabelDocument document;
    test::addRectangle(document, x, 10, 20, 20, kColourBlack);
    return document;
}

TEST(Recovery, CopiesOfDeadEditorsAreFoundClaimedOnceAndRestoredExactly) {
    const auto folder = std::filesystem::path(testing::TempDir()) / "recovery-test";
    std::filesystem::remove_all(folder);
    const int dead = deadProcessId();

    RecoveryStore running(folder, static_cast<int>(getpid()));
    ASSERT_TRUE(running.write(labelWith(1), "/labels/running.qlb", 100));
    RecoveryStore crashed(folder, dead);
    ASSERT_TRUE(crashed.write(labelWith(2), "/labels/crashed.qlb", 200));
    ASSERT_TRUE(crashed.write(labelWith(3), "/labels/crashed.qlb", 300)) << "a later copy replaces the earlier";

    RecoveryStore starting(folder, deadProcessId());
    const auto orphans = starting.orphans();
    ASSERT_EQ(orphans.size(), 1u) << "a running editor's copy is not an orphan";
    EXPECT_EQ(std::tuple(orphans[0].processId, orphans[0].sourceFile, orphans[0].savedAt),
              std::tuple(dead, "/labels/crashed.qlb", std::time_t{300}));

    const auto claimed = starting.claim(orphans[0]);
    ASSERT_TRUE(claimed);
    RecoveryStore other(folder, deadProcessId());
    EXPECT_FALSE(other.claim(orphans[0])) << "two starts never share a copy";

    LabelDocument restored;
    ASSERT_TRUE(RecoveryStore::restore(*claimed, restored));
    EXPECT_TRUE(sameLabel(restored, labelWith(3)));
    RecoveryStore::discard(*claimed);
    running.remove();
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST(RecentFiles, NewestFirstOnceEachAtMostEight) {
    const auto file = std::filesystem::path(testing::TempDir()) / "recent-test" / "recent-labels";
    std::filesystem::remove_all(file.parent_path());
    RecentFiles recent(file);
    for (int i = 0; i < 10; ++i) recent.add("/labels/" + std::to_string(i) + ".qlb");
    recent.add("/labels/5.qlb");
    recent.add("/bad\nname.qlb");
    ASSERT_TRUE(recent.save());
    RecentFiles again(file);
    again.load();
    // The name with a line break is not kept; 1 and 0 fall off the end.
    EXPECT_EQ(again.files(), (std::vector<std::string>{"/labels/5.qlb", "/labels/9.qlb", "/labels/8.qlb", "/labels/7.qlb",
                                                       "/labels/6.qlb", "/labels/4.qlb", "/labels/3.qlb", "/labels/2.qlb"}));
}

}  // namespace
}  // namespace tavrin
