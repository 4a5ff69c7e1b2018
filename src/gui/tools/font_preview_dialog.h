#pragma once
// "Font Preview": the converter's character table rasterised in the chosen font at the
// chosen size, width correction and spacing, shown dot for dot with the rows that will be
// cut, its statistics, and "Save" writing the label font file.
#include <QDialog>
#include <functional>

#include "fonts/font_preview.h"
#include "fonts/font_rasteriser.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QScrollArea;
class QSlider;
class QSpinBox;

namespace tavrin {

// A file dialog: (parent, title, folder, filter) to the chosen path, empty when cancelled.
using FileDialogFn = std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;

class TFontPreviewDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFontPreviewDlg(QWidget* parent = nullptr);

    // Shows the settings at their starting values and the preview of these cells drawn from
    // font, then waits until the dialog is closed. font must outlive the call.
    void execute(const GlyphSource& font, const CharacterTable::Cells& cells);
    // The same without waiting, for driving the dialog step by step.
    void open(const GlyphSource& font, const CharacterTable::Cells& cells);

    void setSaveChooser(FileDialogFn chooser) { saveChooser_ = std::move(chooser); }
    void setFolder(const QString& folder) { folder_ = folder; }
    const QString& folder() const { return folder_; }

    const RasterFont& font() const { return font_; }
    RasterSettings settings() const;
    // Recomputes the font from the settings and redraws; each control calls it on a change.
    void refreshPreview();
    void SaveBtClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void resetSettings();
    void showTrim();
    void drawPreview();
    int chosenSize() const;

    QComboBox* size_ = nullptr;
    QSlider* width_ = nullptr;
    QLabel* widthValue_ = nullptr;
    QSpinBox* space_ = nullptr;
    QSpinBox* top_ = nullptr;
    QSpinBox* bottom_ = nullptr;
    QCheckBox* auto_ = nullptr;
    QLabel* characters_ = nullptr;
    QLabel* height_ = nullptr;
    QLabel* meanWidth_ = nullptr;
    QLabel* bytes_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QLabel* image_ = nullptr;

    const GlyphSource* glyphs_ = nullptr;
    CharacterTable::Cells cells_{};
    RasterFont font_;
    int shownWidth_ = -1;  // the preview area width the picture was laid out for
    int lineHeight_ = -1;  // of the last refresh: the trim limits follow it
    bool updating_ = false;
    FileDialogFn saveChooser_;
    QString folder_;
};

}  // namespace tavrin
