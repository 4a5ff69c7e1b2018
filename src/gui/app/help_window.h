#pragma once
// The editor's own help window: the HTML pages of the help folder with their links and
// pictures, so F1 works on a machine without a web browser; "Open in Browser" hands the
// page shown to the desktop's browser where there is one.
#include <QDialog>
#include <QUrl>
#include <filesystem>
#include <functional>

class QTextBrowser;

namespace tavrin {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(const std::filesystem::path& helpFolder, QWidget* parent = nullptr);

    // Shows the contents page (index.html) again.
    void showContents();
    QTextBrowser* browser() const { return browser_; }
    // The desktop's browser; false when there is none. Replaceable for the tests.
    void setBrowserOpener(std::function<bool(const QUrl&)> opener) { openInBrowser_ = std::move(opener); }

private:
    void openInBrowser();

    QUrl index_;
    QTextBrowser* browser_ = nullptr;
    std::function<bool(const QUrl&)> openInBrowser_;
};

}  // namespace tavrin
