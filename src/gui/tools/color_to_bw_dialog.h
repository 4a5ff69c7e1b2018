#pragma once
// The colour to black and white converter window: a colour picture loaded, sized in printer
// dots, turned and weighted, shown beside its black and white result, cut, test-printed and
// saved as a monochrome BMP. The picture work itself is the core's (graphics/bw_converter.h),
// the same as `tavrin-label convert-picture`; this window reads its controls and shows images.
#include <QDialog>
#include <QPoint>
#include <QString>

#include <functional>
#include <memory>

#include "app/editor_services.h"
#include "graphics/bw_converter.h"
#include "graphics/source_picture.h"
#include "render/bitmap.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSlider;
class QSplitter;
class QThread;

namespace tavrin {

class ConverterPictureArea;
class ConverterControlStrip;

// Chooses the picture to convert, starting in `folder`; empty when the user cancelled.
QString choosePictureToConvert(QWidget* parent, const QString& folder);

class TColorToBW : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Color to Black & White Converter";
    static constexpr const char* kLoadedCaption = "Color to B&W Converter - ";
    static constexpr const char* kSendingGraphics = "Sending graphics data...";
    static constexpr int kResetContrast = 128;      // what Reset and a load give
    static constexpr int kStripResetContrast = 125;  // what the strip above the sliders gives

    // A file chooser: the parent window and the folder to start in; empty when cancelled.
    using FileChooser = std::function<QString(QWidget*, const QString& folder)>;

    explicit TColorToBW(EditorServices services, QWidget* parent = nullptr);
    ~TColorToBW() override;

    // The choosers "Load" and "Save" ask; tests answer them.
    void setPictureChooser(FileChooser chooser) { choosePicture_ = std::move(chooser); }
    void setSaveChooser(FileChooser chooser) { chooseSaveFile_ = std::move(chooser); }

    // The settings the controls stand at, as the core takes them.
    ConvertSettings settings() const;
    // A picture is being decoded or a large one converted on a worker thread.
    bool busy() const { return worker_ != nullptr; }
    bool hasPicture() const { return !source_.empty(); }
    const SourcePicture& colourPreview() const { return colour_; }
    const Bitmap& blackAndWhite() const { return blackAndWhite_; }
    bool selectionExists() const { return selectionExists_; }

    // The buttons' commands.
    void load();
    // Loads the file as "Load" does after the chooser; the picture is decoded on a worker
    // thread and arrives later (loaded() is emitted either way).
    void loadFile(const QString& path);
    void save();
    void testPrint();
    void convert();
    void reset();
    void cut();

signals:
    void loaded();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct LoadJob;

    void buildControls();
    void showEmpty();
    void loadFinished(LoadJob& job);
    // Runs work on a worker thread with the hourglass and the controls held still (the
    // window keeps painting), then done on the window's thread.
    void runInBackground(std::function<void()> work, std::function<void()> done);
    void backgroundFinished();
    void resetControls();
    void renderPreview();
    void convertToBW();
    void setConvertedEnabled(bool enabled);
    void setPictureControlsEnabled(bool enabled);

    // Selection on the colour preview.
    void clearSelection();
    void colourPressed(QPoint at);
    void colourMoved(QPoint at);
    void colourReleased(QPoint at);

    // Handlers of the controls.
    void sizeTyped(bool widthField);
    void sizeEntered();
    void rotationChosen(int index);
    void proportionsToggled();
    void brightnessOrContrastChanged();
    void channelWeightChanged();
    void brightnessContrastStripReset();
    void colourStripReset();
    const SourcePicture& proportionPicture() const;

    void equalPictureAreas();
    void keepDividerInBounds();
    void applyDividerShare();

    EditorServices services_;
    FileChooser choosePicture_;
    FileChooser chooseSaveFile_;

    SourcePicture source_;
    SourcePicture rotated_;
    SourcePicture colour_;
    Bitmap blackAndWhite_;
    bool large_ = false;
    bool quiet_ = false;  // set while controls are changed without their handlers
    int width_ = 256, height_ = 192;
    int rotation_ = 0;

    QPoint anchor_, current_;
    bool selecting_ = false;
    bool selectionExists_ = false;

    QThread* worker_ = nullptr;
    std::function<void()> workDone_;

    ConverterControlStrip* strip_ = nullptr;
    QLineEdit* sizeX_ = nullptr;
    QLineEdit* sizeY_ = nullptr;
    QComboBox* rotationList_ = nullptr;
    QCheckBox* proportions_ = nullptr;
    QCheckBox* smooth_ = nullptr;
    QCheckBox* threshold_ = nullptr;
    QPushButton* loadBt_ = nullptr;
    QPushButton* saveBt_ = nullptr;
    QPushButton* testBt_ = nullptr;
    QPushButton* convertBt_ = nullptr;
    QPushButton* resetBt_ = nullptr;
    QPushButton* cutBt_ = nullptr;
    QLabel* selSize_ = nullptr;
    QSlider* brightness_ = nullptr;
    QSlider* contrast_ = nullptr;
    QSlider* red_ = nullptr;
    QSlider* green_ = nullptr;
    QSlider* blue_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QScrollArea* colourScroll_ = nullptr;
    QScrollArea* bwScroll_ = nullptr;
    ConverterPictureArea* colourArea_ = nullptr;
    ConverterPictureArea* bwArea_ = nullptr;
    double leftShare_ = 0.5;
};

}  // namespace tavrin
