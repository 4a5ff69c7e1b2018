#pragma once
// What the printer link needs from the windows: a progress window that can turn into an
// error box, questions, error messages, a beep, and a chance for pending events to run
// while it waits. The GUI supplies the real one; the command line and tests their own.
#include <string>
#include <string_view>

namespace tavrin {

class LinkUi {
public:
    virtual ~LinkUi() = default;

    // Lets pending window events run (repaints, clicks) during a long exchange.
    virtual void processEvents() {}
    // A Yes/No question in a plain system box; true for Yes.
    virtual bool askRetry(std::string_view title, std::string_view question) = 0;

    // The progress window: shown without being modal, its buttons hidden.
    virtual void showProgressWindow(std::string_view title, std::string_view text) = 0;
    // Changes only the text line, whether or not the window is on screen.
    virtual void setProgressText(std::string_view text) = 0;
    virtual bool progressWindowVisible() const = 0;
    // Turns the progress window into an error box with its OK button; it stays until the
    // user presses OK.
    virtual void showProgressError(std::string_view title, std::string_view text) = 0;
    virtual void closeProgressWindow() = 0;

    // A modal message box.
    virtual void showError(std::string_view title, std::string_view text) = 0;
    virtual void beep() {}

    // The user asked the exchange on screen to stop (Stop, Esc or closing the progress
    // window). The link looks at it between bytes and while it waits for the printer.
    virtual bool cancelRequested() const { return false; }
    // A new chain of exchanges starts: a request left over from an earlier one is dropped.
    virtual void clearCancelRequest() {}
};

// For callers without windows: no progress, never retries, remembers the first and the
// last error.
class QuietLinkUi : public LinkUi {
public:
    bool askRetry(std::string_view, std::string_view) override { return false; }
    void showProgressWindow(std::string_view, std::string_view text) override {
        visible_ = true;
        text_ = text;
    }
    void setProgressText(std::string_view text) override { text_ = text; }
    bool progressWindowVisible() const override { return visible_; }
    void showProgressError(std::string_view, std::string_view text) override {
        visible_ = true;
        remember(text);
    }
    void closeProgressWindow() override { visible_ = false; }
    void showError(std::string_view, std::string_view text) override { remember(text); }

    // The first says what went wrong; what follows is often only its consequence.
    const std::string& firstError() const { return firstError_; }
    const std::string& lastError() const { return lastError_; }
    const std::string& progressText() const { return text_; }

private:
    void remember(std::string_view text) {
        if (firstError_.empty()) firstError_ = text;
        lastError_ = text;
    }

    bool visible_ = false;
    std::string text_;
    std::string firstError_;
    std::string lastError_;
};

}  // namespace tavrin
