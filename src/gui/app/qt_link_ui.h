#pragma once
// The printer link's windows: the program's message window as the progress window of every
// exchange, its questions and errors, and a way for the user to stop a long exchange.
#include "link/link_ui.h"

namespace tavrin {

class TMsgBoxDlg;

class QtLinkUi : public LinkUi {
public:
    // Without a window of its own the link uses the program's shared message window.
    explicit QtLinkUi(TMsgBoxDlg* window = nullptr) : window_(window) {}

    void processEvents() override;
    bool askRetry(std::string_view title, std::string_view question) override;
    void showProgressWindow(std::string_view title, std::string_view text) override;
    void setProgressText(std::string_view text) override;
    bool progressWindowVisible() const override;
    void showProgressError(std::string_view title, std::string_view text) override;
    void closeProgressWindow() override;
    void showError(std::string_view title, std::string_view text) override;
    void beep() override;

    // Set once the user pressed Esc or closed the progress window during an exchange; the
    // next exchange clears it. Callers that run a chain of exchanges stop at the next step.
    bool cancelRequested() const override;
    void clearCancelRequest() override;

private:
    TMsgBoxDlg& window() const;

    TMsgBoxDlg* window_;
};

}  // namespace tavrin
