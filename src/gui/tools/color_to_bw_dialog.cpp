#include "tools/color_to_bw_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QThread>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "tools/picture_browser.h"
#include "app/message_box.h"
#include "printer/printing.h"
#include "tools/converter_control_strip.h"
#include "tools/converter_picture_area.h"
#include "tools/picture_browser.h"

namespace tavrin {

QString choosePictureToConvert(QWidget* parent, const QString& folder) { return choosePictureFile(parent, folder); }

namespace {

constexpr int kEmptyWidth = 256, kEmptyHeight = 192;

QString chooseBitmapToSave(QWidget* parent, const QString& folder) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Save picture as"), folder,
                                        QStringLiteral("Windows Bitmap files (*.bmp)"));
}

std::filesystem::path localPath(const QString& path) { return std::filesystem::path(QFile::encodeName(path).toStdString()); }

// The number in a size field, or `previous` when the field holds none.
int fieldValue(const QLineEdit* field, int previous) {
    bool ok = false;
    const int value = field->text().toInt(&ok);
    return ok && value >= 0 ? std::min(value, kMaxTargetSide) : previous;
}

// Runs a block of control changes without their handlers.
class Quiet {
public:
    explicit Quiet(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~Quiet() { flag_ = old_; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

private:
    bool& flag_;
    bool old_;
};

}  // namespace

struct TColorToBW::LoadJob {
    QString path;
    SourcePicture picture;
    SourcePicture rotated;
    Result result = Result::failure(FailureKind::Invalid, "Not loaded yet");
};

TColorToBW::TColorToBW(EditorServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)), choosePicture_(choosePictureToConvert), chooseSaveFile_(chooseBitmapToSave) {
    setObjectName(QStringLiteral("ColorToBW"));
    setSizeGripEnabled(true);
    buildControls();
    setMinimumSize(740, 482);
    resize(772, 560);
    showEmpty();
}

TColorToBW::~TColorToBW() {
    // Work still running is waited for: the worker reads the window's pictures.
    if (worker_ != nullptr) {
        worker_->wait();
        delete worker_;
        QApplication::restoreOverrideCursor();
    }
}

void TColorToBW::showEmpty() {
    source_ = {};
    rotated_ = {};
    colour_.resize(kEmptyWidth, kEmptyHeight);
    blackAndWhite_ = Bitmap(kEmptyWidth, kEmptyHeight);
    large_ = false;
    {
        Quiet quiet(quiet_);
        width_ = kEmptyWidth, height_ = kEmptyHeight, rotation_ = 0;
        sizeX_->setText(QString::number(width_));
        sizeY_->setText(QString::number(height_));
        rotationList_->setCurrentIndex(0);
    }
    clearSelection();
    colourArea_->showColour(&colour_);
    bwArea_->showBlackAndWhite(&blackAndWhite_);
    setPictureControlsEnabled(false);
    setConvertedEnabled(false);
    setWindowTitle(QString::fromLatin1(kCaption));
}

void TColorToBW::setPictureControlsEnabled(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{sizeX_, sizeY_, rotationList_, proportions_, smooth_, threshold_,
                                                           convertBt_, resetBt_, brightness_, contrast_, red_, green_, blue_})
        control->setEnabled(enabled);
    for (auto* strip : findChildren<ResetStrip*>()) strip->setEnabled(enabled);
}

void TColorToBW::setConvertedEnabled(bool enabled) {
    testBt_->setEnabled(enabled);
    saveBt_->setEnabled(enabled);
}

ConvertSettings TColorToBW::settings() const {
    ConvertSettings s;
    s.width = width_;
    s.height = height_;
    s.rotation = rotation_;
    s.brightness = brightness_->value();
    s.contrast = contrast_->value();
    s.red = red_->value();
    s.green = green_->value();
    s.blue = blue_->value();
    s.threshold = threshold_->isChecked();
    s.smooth = smooth_->isChecked();
    return s;
}

// ---- Loading ----------------------------------------------------------------------------

void TColorToBW::load() {
    if (busy()) return;
    const QString path = choosePicture_(this, QString::fromStdString(services_.config.workDirectory));
    if (!path.isEmpty()) loadFile(path);
}

void TColorToBW::loadFile(const QString& path) {
    if (busy()) return;
    clearSelection();
    auto job = std::make_shared<LoadJob>();
    job->path = path;
    // A photo of many megapixels takes a while to decode and turn.
    runInBackground(
        [job] {
            // A picture within the size limits can still be more than the memory left; that
            // is a picture this computer cannot read, not the end of the program.
            try {
                job->result = loadSourcePicture(localPath(job->path), job->picture);
                if (job->result) job->rotated = MakeRotatedSource(job->picture);
            } catch (const std::bad_alloc&) {
                job->picture = {};
                job->rotated = {};
                job->result = unreadablePicture();
            }
        },
        [this, job] { loadFinished(*job); });
}

void TColorToBW::loadFinished(LoadJob& job) {
    if (!job.result) {
        // A file of another kind drops the picture shown; a damaged one leaves it as it was.
        if (job.result.kind() == FailureKind::Invalid) showEmpty();
        messageBox(QStringLiteral("Error"), QString::fromStdString(job.result.message()), false);
        emit loaded();
        return;
    }
    source_ = std::move(job.picture);
    rotated_ = std::move(job.rotated);
    resetControls();
    renderPreview();
    setWindowTitle(QString::fromLatin1(kLoadedCaption) + job.path);
    setPictureControlsEnabled(true);
    // Test and Save wait for a conversion the user starts.
    setConvertedEnabled(false);
    emit loaded();
}

void TColorToBW::runInBackground(std::function<void()> work, std::function<void()> done) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Nothing the worker reads can change meanwhile: every control that would is held.
    strip_->setEnabled(false);
    workDone_ = std::move(done);
    worker_ = QThread::create(std::move(work));
    connect(worker_, &QThread::finished, this, &TColorToBW::backgroundFinished, Qt::QueuedConnection);
    worker_->start();
}

void TColorToBW::backgroundFinished() {
    if (worker_ == nullptr) return;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    QApplication::restoreOverrideCursor();
    strip_->setEnabled(true);
    const std::function<void()> done = std::move(workDone_);
    workDone_ = nullptr;
    done();
}

void TColorToBW::resetControls() {
    for (QScrollArea* scroll : {colourScroll_, bwScroll_}) {
        scroll->horizontalScrollBar()->setValue(0);
        scroll->verticalScrollBar()->setValue(0);
    }
    clearSelection();
    Quiet quiet(quiet_);
    rotationList_->setCurrentIndex(0);
    rotation_ = 0;
    width_ = std::min(source_.width, kMaxTargetSide);
    height_ = std::min(source_.height, kMaxTargetSide);
    sizeX_->setText(QString::number(width_));
    sizeY_->setText(QString::number(height_));
    brightness_->setValue(0);
    contrast_->setValue(kResetContrast);
    red_->setValue(16);
    green_->setValue(16);
    blue_->setValue(16);
}

// ---- Conversion -------------------------------------------------------------------------

void TColorToBW::renderPreview() {
    const ConvertSettings s = settings();
    colour_ = RenderPreview(source_, rotated_, s);
    blackAndWhite_ = Bitmap(colour_.width, colour_.height);
    large_ = isLargePicture(s);
    // Weighting a large picture takes a noticeable moment: its sliders apply on release.
    for (QSlider* slider : {red_, green_, blue_}) slider->setTracking(!large_);
    colourArea_->showColour(&colour_);
    bwArea_->showBlackAndWhite(&blackAndWhite_);
    if (large_)
        setConvertedEnabled(false);  // converted on "Convert" only
    else
        convertToBW();
}

void TColorToBW::convertToBW() {
    if (!large_) {
        blackAndWhite_ = ConvertToBW(colour_, settings());
        bwArea_->showBlackAndWhite(&blackAndWhite_);
        setConvertedEnabled(true);
        return;
    }
    // Seconds for a photo at full size: on the worker, while the colour preview stands still.
    auto result = std::make_shared<Bitmap>();
    runInBackground([result, preview = &colour_, s = settings()] { *result = ConvertToBW(*preview, s); },
                    [this, result] {
                        blackAndWhite_ = std::move(*result);
                        bwArea_->showBlackAndWhite(&blackAndWhite_);
                        setConvertedEnabled(true);
                    });
}

void TColorToBW::convert() {
    if (!hasPicture() || busy()) return;
    clearSelection();
    convertToBW();
}

void TColorToBW::reset() {
    if (!hasPicture() || busy()) return;
    resetControls();
    renderPreview();
}

// ---- Controls ---------------------------------------------------------------------------

const SourcePicture& TColorToBW::proportionPicture() const { return rotation_ % 2 ? rotated_ : source_; }

void TColorToBW::sizeTyped(bool widthField) {
    if (quiet_ || !hasPicture() || !proportions_->isChecked()) return;
    QLineEdit* typed = widthField ? sizeX_ : sizeY_;
    bool ok = false;
    const int value = typed->text().toInt(&ok);
    if (!ok) return;
    const int other = widthField ? tavrin::heightForWidth(proportionPicture(), value) : tavrin::widthForHeight(proportionPicture(), value);
    (widthField ? sizeY_ : sizeX_)->setText(QString::number(std::min(other, kMaxTargetSide)));
}

void TColorToBW::sizeEntered() {
    if (quiet_ || !hasPicture()) return;
    const int width = fieldValue(sizeX_, width_), height = fieldValue(sizeY_, height_);
    sizeX_->setText(QString::number(width));
    sizeY_->setText(QString::number(height));
    if (width == width_ && height == height_) return;
    width_ = width, height_ = height;
    clearSelection();
    renderPreview();
}

void TColorToBW::rotationChosen(int index) {
    if (quiet_ || index < 0) return;
    ConvertSettings s = settings();
    applyRotation(s, index);
    width_ = s.width, height_ = s.height, rotation_ = s.rotation;
    sizeX_->setText(QString::number(width_));
    sizeY_->setText(QString::number(height_));
    if (hasPicture()) renderPreview();
}

void TColorToBW::proportionsToggled() {
    if (quiet_ || !hasPicture()) return;
    width_ = fieldValue(sizeX_, width_);
    if (proportions_->isChecked()) {
        height_ = std::min(tavrin::heightForWidth(proportionPicture(), width_), kMaxTargetSide);
        sizeY_->setText(QString::number(height_));
    }
    clearSelection();
    if (width_ > 0 && height_ > 0) renderPreview();
}

void TColorToBW::brightnessOrContrastChanged() {
    if (quiet_ || !hasPicture()) return;
    clearSelection();
    // Neither changes the colour preview, so only the conversion runs again. A large
    // picture's result no longer matches the sliders until "Convert".
    if (large_)
        setConvertedEnabled(false);
    else
        convertToBW();
}

void TColorToBW::channelWeightChanged() {
    if (quiet_ || !hasPicture()) return;
    clearSelection();
    renderPreview();
}

void TColorToBW::brightnessContrastStripReset() {
    // Each slider's own handler runs, as when the user moves it.
    contrast_->setValue(kStripResetContrast);
    brightness_->setValue(0);
}

void TColorToBW::colourStripReset() {
    {
        Quiet quiet(quiet_);
        red_->setValue(16);
        green_->setValue(16);
        blue_->setValue(16);
    }
    if (!hasPicture()) return;
    clearSelection();
    renderPreview();
}

// ---- Selection and cut ------------------------------------------------------------------

void TColorToBW::clearSelection() {
    selecting_ = false;
    selectionExists_ = false;
    colourArea_->setFrame(std::nullopt);
    selSize_->clear();
    cutBt_->setEnabled(false);
}

void TColorToBW::colourPressed(QPoint at) {
    if (!convertBt_->isEnabled()) return;
    clearSelection();
    if (!colourArea_->insidePicture(at)) return;
    anchor_ = current_ = at;
    selecting_ = true;
    colourArea_->setFrame(QRect(anchor_, current_));
}

void TColorToBW::colourMoved(QPoint at) {
    if (!selecting_) return;
    current_ = at;
    colourArea_->setFrame(QRect(QPoint(std::min(anchor_.x(), at.x()), std::min(anchor_.y(), at.y())),
                                QPoint(std::max(anchor_.x(), at.x()), std::max(anchor_.y(), at.y()))));
    selSize_->setText(QString::asprintf("%u x %u   ", static_cast<unsigned>(std::abs(at.x() - anchor_.x())),
                                        static_cast<unsigned>(std::abs(at.y() - anchor_.y()))));
}

void TColorToBW::colourReleased(QPoint at) {
    if (!selecting_) return;
    colourMoved(at);
    selecting_ = false;
    selectionExists_ = current_.x() != anchor_.x() && current_.y() != anchor_.y();
    if (!selectionExists_) colourArea_->setFrame(std::nullopt);
    cutBt_->setEnabled(selectionExists_);
}

void TColorToBW::cut() {
    if (busy()) return;
    if (!selectionExists_) {
        messageBox(QStringLiteral("Error"), QStringLiteral("No area selected"), false);
        return;
    }
    std::optional<SourcePicture> piece = CutPicture(colour_, anchor_.x(), anchor_.y(), current_.x(), current_.y());
    clearSelection();
    if (!piece) {
        messageBox(QStringLiteral("Error"), QStringLiteral("Too small selected area"), false);
        return;
    }
    source_ = std::move(*piece);
    rotated_ = MakeRotatedSource(source_);
    resetControls();
    renderPreview();
}

// ---- Test print and saving --------------------------------------------------------------

void TColorToBW::testPrint() {
    if (!testBt_->isEnabled()) return;
    PrinterLink& link = services_.link();
    const std::vector<std::uint8_t> rows = bottomUpRows(blackAndWhite_);
    link.showProgress(kSendingGraphics);
    PrintBitmapTest(link, rows, blackAndWhite_.width(), blackAndWhite_.height(),
                    services_.session.document().setup.darkness);
    link.endProgress();
}

void TColorToBW::save() {
    if (!saveBt_->isEnabled()) return;
    const QString path = chooseSaveFile_(this, QString::fromStdString(services_.config.workDirectory));
    if (path.isEmpty()) return;
    services_.config.workDirectory = QFileInfo(path).absolutePath().toStdString();
    // Written beside and renamed over, so a failed save leaves the old file whole.
    if (!saveMonochromeBmp(localPath(path), blackAndWhite_)) {
        messageBox(QStringLiteral("Error"), QStringLiteral("Can't open output file"), false);
        return;
    }
    accept();
}


}  // namespace tavrin
