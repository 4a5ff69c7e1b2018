#pragma once
// "TrueType to Label Printer Font Converter": the family, style and script of a font of the
// system, its 224 characters in the source table, and the target table that says which of
// them the label font holds at which code. "Preview" goes on to rasterising and saving.
#include <QDialog>
#include <array>
#include <optional>

#include "fonts/character_table.h"
#include "fonts/glyph_source.h"
#include "tools/font_preview_dialog.h"

class QComboBox;
class QLabel;

namespace tavrin {

class CharacterGrid;

class TTrueTypeDlg : public QDialog {
    Q_OBJECT
public:
    explicit TTrueTypeDlg(QWidget* parent = nullptr);

    // Empties the target table and its history, reads the system's families again and
    // chooses the first (prepare); then, placed over the main window, waits until the
    // dialog is closed and lets the font go.
    void execute(const QWidget* mainWindow);
    void prepare();

    const CharacterTable& table() const { return table_; }
    const GlyphSource* font() const { return glyphs_ ? &*glyphs_ : nullptr; }
    TFontPreviewDlg* previewDialog() const { return preview_; }

    void FontListChange();
    void StyleListChange();
    void ScriptListChange();
    void SourceGridClick(int row, int column);
    void SourceGridDblClick(int row, int column);
    void TargetGridClick(int row, int column);
    void CopyBtClick();
    void ClearBtClick();
    void ClearMarkedBtClick();
    void UndoBtClick();
    void PreviewBtClick();

private:
    void openFont();
    void drawSource();
    void drawTarget();
    void showCharacter(int code);

    QComboBox* family_ = nullptr;
    QComboBox* style_ = nullptr;
    QComboBox* script_ = nullptr;
    CharacterGrid* source_ = nullptr;
    CharacterGrid* target_ = nullptr;
    QLabel* character_ = nullptr;
    TFontPreviewDlg* preview_ = nullptr;

    std::optional<GlyphSource> glyphs_;
    std::array<QImage, 256> images_;  // the source characters, by code
    CharacterTable table_;
};

}  // namespace tavrin
