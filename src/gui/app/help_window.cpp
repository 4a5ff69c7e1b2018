#include "app/help_window.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/message_box.h"

namespace tavrin {

namespace {

// The pages are written for web browsers; where Qt's rich text reads them differently, they
// are mended as they are read.
class HelpBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override {
        QVariant resource = QTextBrowser::loadResource(type, name);
        if (type == QTextDocument::StyleSheetResource) {
            // Qt applies a line height to a picture's line too, which then covers the text above.
            static const QRegularExpression lineHeight(R"(line-height\s*:[^;}]*;?)");
            return QString::fromUtf8(resource.toByteArray()).remove(lineHeight);
        }
        if (type == QTextDocument::HtmlResource) {
            // The navigation links are spaced by a margin that Qt does not apply to links, and
            // a picture between paragraphs would join the text before it.
            static const QRegularExpression picture("(<img[^>]*>)");
            return QString::fromUtf8(resource.toByteArray())
                .replace("</a><a", "</a> &nbsp;|&nbsp; <a")
                .replace(picture, "<p>\\1</p>");
        }
        return resource;
    }
};

}  // namespace

HelpWindow::HelpWindow(const std::filesystem::path& helpFolder, QWidget* parent)
    : QDialog(parent),
      index_(QUrl::fromLocalFile(QString::fromStdString((helpFolder / "index.html").string()))),
      openInBrowser_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setObjectName("HelpWindow");
    setWindowTitle("Label Editor Help");
    setModal(false);
    resize(860, 680);

    browser_ = new HelpBrowser(this);
    browser_->setObjectName("HelpText");
    // Pages open here; only links that leave the help (web addresses) go to the browser.
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(true);

    const auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* back = button("BackBt", "&Back");
    QPushButton* forward = button("ForwardBt", "&Forward");
    QPushButton* contents = button("ContentsBt", "&Contents");
    QPushButton* browser = button("OpenInBrowserBt", "Open in &Browser");
    QPushButton* close = button("CloseBt", "Close");
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(contents, &QPushButton::clicked, this, &HelpWindow::showContents);
    connect(browser, &QPushButton::clicked, this, &HelpWindow::openInBrowser);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = browser_->documentTitle();
        setWindowTitle(title.isEmpty() ? QString("Label Editor Help") : title);
    });

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {back, forward, contents}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(browser);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);

    showContents();
}

void HelpWindow::showContents() { browser_->setSource(index_); }

void HelpWindow::openInBrowser() {
    const QUrl page = browser_->source().isEmpty() ? index_ : browser_->source();
    if (!openInBrowser_(page))
        messageBox("Error", QString("No web browser could open %1").arg(page.toLocalFile()), false);
}

}  // namespace tavrin
