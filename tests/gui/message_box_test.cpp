// The message window's answers, the progress window that turns into an error in place, and
// the way the user stops an exchange. Runs under the suite's QApplication, off screen.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPushButton>

#include "app/message_box.h"
#include "app/qt_link_ui.h"
#include "support/editor_window.h"

namespace tavrin {
namespace {

QPushButton* buttonOf(QWidget* box, const char* name) {
    return box->findChild<QPushButton*>(QString::fromLatin1(name));
}

bool shown(QWidget* box, const char* name) { return !buttonOf(box, name)->isHidden(); }

// The next modal window, whatever it is.
using AnyModal = test::OnModal;

void pressEscape(QWidget* box) {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box, &escape);
}

TEST(MessageBox, AnswersAndButtonsForEveryWayOfClosing) {
    struct Case {
        bool question;
        std::function<void(QWidget*)> close;
        int expected;
    };
    const auto click = [](const char* name) {
        return [name](QWidget* box) { buttonOf(box, name)->click(); };
    };
    const Case cases[] = {
        {false, click("OkBt"), 1},
        {true, click("YesBt"), 1},
        {true, click("NoBt"), 0},
        {true, [](QWidget* box) { box->close(); }, 0},
        {false, [](QWidget* box) { box->close(); }, 0},
        {true, pressEscape, 0},
    };
    TMsgBoxDlg box;
    for (const Case& c : cases) {
        // Each case follows a Yes, so a stale result would show.
        {
            AnyModal first({}, click(c.question ? "YesBt" : "OkBt"));
            ASSERT_EQ(box.ask("Warning", "first", c.question), 1);
        }
        bool sawRightButtons = false;
        AnyModal second({}, [&](QWidget* modal) {
            sawRightButtons = modal == &box && shown(modal, "OkBt") == !c.question &&
                              shown(modal, "YesBt") == c.question && shown(modal, "NoBt") == c.question &&
                              !shown(modal, "CancelBt") &&
                              modal->findChild<QLabel*>("MsgText")->text() == "Delete 2 objects" &&
                              modal->windowTitle() == "Warning";
            c.close(modal);
        });
        EXPECT_EQ(box.ask("Warning", "Delete 2 objects", c.question), c.expected);
        EXPECT_TRUE(sawRightButtons);
        EXPECT_FALSE(box.isVisible());
    }
}

TEST(MessageBox, SaveQuestionTreatsClosingAsCancel) {
    const std::pair<std::function<void(QWidget*)>, SaveAnswer> cases[] = {
        {[](QWidget* box) { buttonOf(box, "YesBt")->click(); }, SaveAnswer::Yes},
        {[](QWidget* box) { buttonOf(box, "NoBt")->click(); }, SaveAnswer::No},
        {[](QWidget* box) { buttonOf(box, "CancelBt")->click(); }, SaveAnswer::Cancel},
        {[](QWidget* box) { box->close(); }, SaveAnswer::Cancel},
        {pressEscape, SaveAnswer::Cancel},
    };
    for (const auto& [close, expected] : cases) {
        QString text;
        AnyModal asked({}, [&](QWidget* box) {
            text = box->findChild<QLabel*>("MsgText")->text();
            EXPECT_TRUE(shown(box, "CancelBt"));
            close(box);
        });
        EXPECT_EQ(askSaveChanges(nullptr), expected);
        EXPECT_EQ(text, "Save changes to the label?");
    }
    // The next plain question has no Cancel button left over.
    AnyModal plain({}, [](QWidget* box) {
        EXPECT_FALSE(shown(box, "CancelBt"));
        buttonOf(box, "NoBt")->click();
    });
    EXPECT_EQ(messageBox("Warning", "File exists. Overwrite?", true), 0);
}

TEST(MessageBox, SitsCentredOverTheMainWindowBelowTheLabelTop) {
    EXPECT_EQ(messageBoxPosition(QRect(100, 50, 800, 600), 120, QSize(300, 100)), QPoint(350, 261));
    EXPECT_EQ(messageBoxPosition(QRect(0, 0, 400, 300), 40, QSize(400, 300)), QPoint(0, 56));
}

// Driven through the printer link's interface, as an exchange drives it.
TEST(ProgressWindow, TurnsIntoTheErrorInPlaceAndWaitsForOk) {
    TMsgBoxDlg box;
    QtLinkUi ui(&box);
    ui.showProgressWindow("Communicating ...", "Receiving forms");
    ASSERT_TRUE(box.isVisible());
    EXPECT_FALSE(shown(&box, "OkBt") || shown(&box, "YesBt") || shown(&box, "NoBt"));
    EXPECT_EQ(box.windowTitle(), "Communicating ...");
    EXPECT_EQ(box.text(), "Receiving forms");
    ui.setProgressText("Receiving graphics");
    EXPECT_EQ(box.text(), "Receiving graphics");

    bool inPlace = false;
    AnyModal error({}, [&](QWidget* modal) {
        inPlace = modal == &box && shown(modal, "OkBt") && !shown(modal, "YesBt") &&
                  modal->windowTitle() == "Error" && box.text() == "No printer response";
        buttonOf(modal, "OkBt")->click();
    });
    ui.showProgressError("Error", "No printer response");
    EXPECT_TRUE(inPlace);
    EXPECT_FALSE(ui.progressWindowVisible());
}

TEST(ProgressWindow, StopOrClosingAsksTheExchangeToStop) {
    TMsgBoxDlg box;
    QtLinkUi ui(&box);
    ui.showProgressWindow("Communicating ...", "Sending label");
    auto* stop = buttonOf(&box, "StopBt");
    EXPECT_TRUE(shown(&box, "StopBt") && !shown(&box, "OkBt") && stop->text() == "Stop");
    stop->click();
    EXPECT_TRUE(ui.cancelRequested());
    EXPECT_FALSE(stop->isEnabled());
    // The next step of the same exchange still sees it.
    ui.showProgressWindow("Communicating ...", "Sending pictures");
    EXPECT_TRUE(ui.cancelRequested());
    // Esc is the print failure test's. The window stays up for the exchange to end it.
    ui.clearCancelRequest();
    box.close();
    EXPECT_TRUE(ui.cancelRequested());
    EXPECT_TRUE(ui.progressWindowVisible());
    ui.closeProgressWindow();
    EXPECT_FALSE(ui.progressWindowVisible());
    // A new exchange starts without the old request.
    ui.showProgressWindow("Communicating ...", "Receiving forms");
    EXPECT_FALSE(ui.cancelRequested());
    EXPECT_TRUE(stop->isEnabled());
    ui.closeProgressWindow();
}

TEST(ProgressWindow, AQuestionDuringAnExchangeGetsAWindowOfItsOwn) {
    TMsgBoxDlg& shared = sharedMessageBox();
    shared.showProgress("Communicating ...", "Sending label");
    QWidget* asked = nullptr;
    AnyModal retry({}, [&](QWidget* modal) {
        asked = modal;
        buttonOf(modal, "YesBt")->click();
    });
    QtLinkUi ui;
    EXPECT_TRUE(ui.askRetry("Error", "Can't write to comm. port. Retry ?"));
    EXPECT_NE(asked, &shared);
    EXPECT_TRUE(shared.progressShown());
    EXPECT_EQ(shared.text(), "Sending label");
    shared.closeProgress();
}

}  // namespace
}  // namespace tavrin
