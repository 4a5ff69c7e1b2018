#pragma once
// The floating toolbar: fourteen 32 x 32 buttons in two columns above a status line that
// shows the mouse position relative to the label's reference point. It stays on top, never
// keeps the focus, and sits left of the main window or inside it at the right.
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <array>
#include <string_view>

class QLabel;
class QToolButton;

namespace tavrin {

struct ToolbarButtonEntry {
    const char* name;
    int column;
    int row;
    const char* hint;
};

inline constexpr int kToolbarButtonSize = 32;
inline constexpr int kToolbarStatusHeight = 24;
inline constexpr int kToolbarWidth = 2 * kToolbarButtonSize;
inline constexpr int kToolbarHeight = 7 * kToolbarButtonSize + kToolbarStatusHeight;

// In drawing-tool order: the first six buttons choose tools 0..5.
inline constexpr std::array<ToolbarButtonEntry, 14> kToolbarButtons{{
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
}};
// A row left out would leave a button without a name or a hint, not a compile error.
static_assert(std::ranges::none_of(kToolbarButtons, [](const ToolbarButtonEntry& entry) {
    return entry.name == nullptr || entry.hint == nullptr;
}));

// A button's place in kToolbarButtons; -1 for none.
constexpr int toolbarButtonIndex(std::string_view name) {
    for (std::size_t i = 0; i < kToolbarButtons.size(); ++i)
        if (name == kToolbarButtons[i].name) return static_cast<int>(i);
    return -1;
}

// The toolbar's top-left corner: left of the main window when toolbarLeft is on and there is
// room before the screen's left edge, else inside the client area at its right; 4 pixels
// below the client's top either way.
QPoint toolbarPosition(const QRect& mainWindowFrame, const QRect& clientGlobal, QSize toolbarSize,
                       bool toolbarLeft, int screenLeft = 0);

// The status line's text for a label bitmap position: relative to the reference point.
QString statusText(int x, int y, int leftMargin, int topMargin);

class TZRToolbar : public QWidget {
    Q_OBJECT
public:
    explicit TZRToolbar(QWidget* mainWindow = nullptr);

    // The window the toolbar belongs to: it gets the focus back after every click, and the
    // toolbar follows its moves and resizes while following is on.
    void setMainWindow(QWidget* mainWindow);
    void setToolbarLeft(bool toolbarLeft);
    bool toolbarLeft() const { return toolbarLeft_; }
    // Placement is off until the main window is complete and again once it closes.
    void setFollowing(bool following);
    void placeToolbar();

    void showStatus(int x, int y, int leftMargin, int topMargin);
    void clearStatus();
    QString status() const;

    // Marks the button of the current drawing tool (0..5); any other tool marks none.
    void setCurrentTool(int tool);

    QToolButton* button(const QString& objectName) const;

signals:
    // The object name of the button, e.g. "TextBt"; the main window has the focus again.
    void buttonClicked(const QString& objectName);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A click on the toolbar always hands the keyboard back; status updates only take it
    // back from the toolbar itself.
    void giveFocusBack(bool always = false);

    std::array<QToolButton*, kToolbarButtons.size()> buttons_{};
    QLabel* status_ = nullptr;
    QPointer<QWidget> mainWindow_;
    bool toolbarLeft_ = false;
    bool following_ = false;
    int currentTool_ = -1;
};

// Places a toolbar by toolbarPosition for the given main window.
void placeToolbar(QWidget* toolbar, const QWidget* mainWindow, bool toolbarLeft);

}  // namespace tavrin
