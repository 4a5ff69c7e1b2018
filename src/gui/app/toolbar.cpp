#include "app/toolbar.h"

#include <QEvent>
#include <QLabel>
#include <QScreen>
#include <QToolButton>

#include "app/place_dialog.h"
#include "app/toolbar_icons.h"

namespace tavrin {

namespace {

constexpr int kToolbarGap = 4;
constexpr int kDrawingTools = 6;

}  // namespace

QPoint toolbarPosition(const QRect& mainWindowFrame, const QRect& clientGlobal, QSize toolbarSize,
                       bool toolbarLeft, int screenLeft) {
    const int outside = mainWindowFrame.left() - toolbarSize.width() - kToolbarGap;
    const int clientRight = clientGlobal.left() + clientGlobal.width();
    const int left = toolbarLeft && outside > screenLeft
                         ? outside
                         : clientRight - toolbarSize.width() - kToolbarGap;
    return {left, clientGlobal.top() + kToolbarGap};
}

QString statusText(int x, int y, int leftMargin, int topMargin) {
    return QStringLiteral("%1,%2").arg(x - leftMargin).arg(y - topMargin);
}

void placeToolbar(QWidget* toolbar, const QWidget* mainWindow, bool toolbarLeft) {
    if (!toolbar || !mainWindow) return;
    const QScreen* screen = mainWindow->screen();
    const int screenLeft = screen ? screen->geometry().left() : 0;
    toolbar->move(toolbarPosition(mainWindow->frameGeometry(), clientArea(mainWindow).global,
                                  toolbar->frameGeometry().size(), toolbarLeft, screenLeft));
}

TZRToolbar::TZRToolbar(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                              Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("ZRToolbar"));
    setWindowTitle(QStringLiteral("Toolbar"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The toolbar is never the active window, and hints would otherwise wait for that.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(kToolbarWidth, kToolbarHeight);
    setAutoFillBackground(true);

    for (std::size_t i = 0; i < kToolbarButtons.size(); ++i) {
        const ToolbarButtonEntry& entry = kToolbarButtons[i];
        const QString name = QString::fromLatin1(entry.name);
        auto* button = new QToolButton(this);
        button->setObjectName(name);
        button->setToolTip(QString::fromLatin1(entry.hint));
        button->setIcon(toolbarIcon(name));
        button->setIconSize(QSize(kToolbarGlyphSize, kToolbarGlyphSize));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(entry.column * kToolbarButtonSize, entry.row * kToolbarButtonSize,
                            kToolbarButtonSize, kToolbarButtonSize);
        const int tool = static_cast<int>(i);
        button->setCheckable(tool < kDrawingTools);
        connect(button, &QToolButton::clicked, this, [this, button, tool, name] {
            // The mark follows the tool the main window sets, not the click itself.
            if (tool < kDrawingTools) button->setChecked(currentTool_ == tool);
            giveFocusBack(true);
            emit buttonClicked(name);
        });
        buttons_[i] = button;
    }

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StatusLn"));
    status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    status_->setAlignment(Qt::AlignCenter);
    status_->setGeometry(0, 7 * kToolbarButtonSize, kToolbarWidth, kToolbarStatusHeight);
    // Room for "-1234,-1234" in the 64 pixels.
    QFont font = status_->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    status_->setFont(font);
    status_->installEventFilter(this);

    setMainWindow(mainWindow);
}

void TZRToolbar::setMainWindow(QWidget* mainWindow) {
    if (mainWindow_) mainWindow_->removeEventFilter(this);
    mainWindow_ = mainWindow;
    if (mainWindow_) mainWindow_->installEventFilter(this);
}

void TZRToolbar::setToolbarLeft(bool toolbarLeft) {
    toolbarLeft_ = toolbarLeft;
    placeToolbar();
}

void TZRToolbar::setFollowing(bool following) {
    following_ = following;
    if (following_) placeToolbar();
}

void TZRToolbar::placeToolbar() {
    if (following_) tavrin::placeToolbar(this, mainWindow_, toolbarLeft_);
}

void TZRToolbar::showStatus(int x, int y, int leftMargin, int topMargin) {
    giveFocusBack();
    status_->setText(statusText(x, y, leftMargin, topMargin));
}

void TZRToolbar::clearStatus() {
    giveFocusBack();
    status_->clear();
}

QString TZRToolbar::status() const { return status_->text(); }

void TZRToolbar::setCurrentTool(int tool) {
    currentTool_ = tool >= 0 && tool < kDrawingTools ? tool : -1;
    for (int i = 0; i < kDrawingTools; ++i) buttons_[static_cast<std::size_t>(i)]->setChecked(i == currentTool_);
}

QToolButton* TZRToolbar::button(const QString& objectName) const {
    for (QToolButton* button : buttons_)
        if (button->objectName() == objectName) return button;
    return nullptr;
}

void TZRToolbar::giveFocusBack(bool always) {
    if (!mainWindow_ || mainWindow_->isActiveWindow()) return;
    if (always || isActiveWindow()) mainWindow_->activateWindow();
}

void TZRToolbar::mousePressEvent(QMouseEvent* event) {
    giveFocusBack(true);
    QWidget::mousePressEvent(event);
}

bool TZRToolbar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == status_ && event->type() == QEvent::MouseButtonPress) {
        giveFocusBack(true);
    } else if (watched == mainWindow_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
            placeToolbar();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tavrin
