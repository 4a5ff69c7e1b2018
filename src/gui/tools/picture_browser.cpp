#include "tools/picture_browser.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QSplitter>
#include <QStorageInfo>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <ctime>
#include <fstream>
#include <iterator>

#include "app/message_box.h"
#include "graphics/picture_facts.h"
#include "graphics/source_picture.h"

namespace tavrin {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kReadRole = Qt::UserRole + 1;
constexpr int kPreviewWidth = 240;
constexpr int kPreviewHeight = 240;

enum class DriveKind { Other, Removable, Fixed, CdRom, Network };

DriveKind driveKind(const QStorageInfo& volume) {
    const QByteArray type = volume.fileSystemType().toLower();
    for (const char* network : {"nfs", "nfs4", "cifs", "smbfs", "smb3", "9p", "fuse.sshfs", "afs", "ncpfs"})
        if (type == network) return DriveKind::Network;
    if (type == "iso9660" || type == "udf") return DriveKind::CdRom;
    const QString root = volume.rootPath();
    if (root.startsWith(QStringLiteral("/media/")) || root.startsWith(QStringLiteral("/run/media/")))
        return DriveKind::Removable;
    if (volume.device().startsWith("/dev/")) return DriveKind::Fixed;
    return DriveKind::Other;
}

QIcon driveIcon(DriveKind kind, QStyle* style) {
    switch (kind) {
        case DriveKind::Removable: return style->standardIcon(QStyle::SP_DriveFDIcon);
        case DriveKind::Fixed: return style->standardIcon(QStyle::SP_DriveHDIcon);
        case DriveKind::CdRom: return style->standardIcon(QStyle::SP_DriveCDIcon);
        case DriveKind::Network: return style->standardIcon(QStyle::SP_DriveNetIcon);
        case DriveKind::Other: break;
    }
    return style->standardIcon(QStyle::SP_FileIcon);
}

QString withSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

QString upperExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toUpper();
}

QLabel* factLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setMinimumWidth(kPreviewWidth);
    return label;
}

QImage toImage(const SourcePicture& picture) {
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        const std::uint32_t* source = picture.row(y);
        for (int x = 0; x < picture.width; ++x) line[x] = source[x] | 0xFF000000u;
    }
    return image;
}

}  // namespace

TOpenPictDlg::TOpenPictDlg(QStringList extensions, QWidget* parent)
    : QDialog(parent), extensions_(std::move(extensions)) {
    setObjectName(QStringLiteral("TOpenPictDlg"));
    setWindowTitle(QStringLiteral("Select Picture"));

    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("DriveTree"));
    tree_->setHeaderHidden(true);
    tree_->setSortingEnabled(true);
    tree_->sortByColumn(0, Qt::AscendingOrder);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    files_ = new QListWidget(this);
    files_->setObjectName(QStringLiteral("FileList"));
    files_->setSortingEnabled(true);
    auto* left = new QSplitter(Qt::Vertical, this);
    left->addWidget(tree_);
    left->addWidget(files_);
    left->setMinimumWidth(260);

    panel_ = new QFrame(this);
    panel_->setObjectName(QStringLiteral("PictPanel"));
    panel_->setFixedSize(kPreviewWidth, kPreviewHeight);
    panel_->setFrameShape(QFrame::StyledPanel);
    preview_ = new QLabel(panel_);
    preview_->setObjectName(QStringLiteral("Preview"));
    preview_->setScaledContents(true);
    preview_->installEventFilter(this);
    fileType_ = factLabel(this, "FileType");
    fileSize_ = factLabel(this, "FileSize");
    fileDim_ = factLabel(this, "FileDim");
    fileDate_ = factLabel(this, "FileDate");
    auto* right = new QVBoxLayout;
    right->addWidget(panel_);
    for (QLabel* fact : {fileType_, fileSize_, fileDim_, fileDate_}) right->addWidget(fact);
    right->addStretch();

    fileCount_ = new QLabel(this);
    fileCount_->setObjectName(QStringLiteral("FileCnt"));
    fileCount_->setMinimumWidth(fileCount_->fontMetrics().horizontalAdvance(QStringLiteral("00000 files")));
    fileName_ = new QLineEdit(this);
    fileName_->setObjectName(QStringLiteral("FileName"));
    auto* open = new QPushButton(QStringLiteral("Open"), this);
    open->setObjectName(QStringLiteral("OpenBt"));
    open->setDefault(true);

    auto* top = new QHBoxLayout;
    top->addWidget(left, 1);
    top->addLayout(right);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(fileCount_);
    bottom->addWidget(fileName_, 1);
    bottom->addWidget(open);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    resize(640, 480);

    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) {
        readSubfolders(node);
        node->setExpanded(true);
        const QString path = node->data(0, kPathRole).toString();
        if (!path.isEmpty()) listFiles(path);
    });
    connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) { readSubfolders(node); });
    connect(files_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item != nullptr) showFile(item->text());
    });
    connect(files_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        showFile(item->text());
        openTyped();
    });
    connect(open, &QPushButton::clicked, this, [this] { openTyped(); });

    buildDriveTree();
}

void TOpenPictDlg::buildDriveTree() {
    tree_->clear();
    auto* computer = new QTreeWidgetItem(tree_, {QStringLiteral("My Computer")});
    computer->setIcon(0, style()->standardIcon(QStyle::SP_ComputerIcon));
    computer->setData(0, kReadRole, true);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        // Bind mounts of single files are mount points too, but hold no folders.
        if (!volume.isValid() || !volume.isReady() || !QFileInfo(volume.rootPath()).isDir()) continue;
        QString caption = volume.rootPath();
        if (!volume.name().isEmpty()) caption += QLatin1Char(' ') + volume.name();
        auto* drive = new QTreeWidgetItem(computer, {caption});
        drive->setIcon(0, driveIcon(driveKind(volume), style()));
        drive->setData(0, kPathRole, withSlash(volume.rootPath()));
        drive->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    computer->setExpanded(true);
}

void TOpenPictDlg::readSubfolders(QTreeWidgetItem* node) {
    if (node == nullptr || node->data(0, kReadRole).toBool()) return;
    node->setData(0, kReadRole, true);
    const QString path = node->data(0, kPathRole).toString();
    const QStringList folders = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    const QIcon icon = style()->standardIcon(QStyle::SP_DirIcon);
    for (const QString& name : folders) {
        auto* folder = new QTreeWidgetItem(node, {name});
        folder->setIcon(0, icon);
        folder->setData(0, kPathRole, path + name + QLatin1Char('/'));
        folder->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    if (folders.isEmpty()) node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
}

bool TOpenPictDlg::showFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir()) return false;
    const QString target = withSlash(info.canonicalFilePath());
    // The mount point that holds the folder: the longest root that starts its path.
    QTreeWidgetItem* node = nullptr;
    QTreeWidgetItem* computer = tree_->topLevelItem(0);
    for (int i = 0; computer != nullptr && i < computer->childCount(); ++i) {
        QTreeWidgetItem* drive = computer->child(i);
        const QString root = drive->data(0, kPathRole).toString();
        if (target.startsWith(root) && (node == nullptr || root.size() > node->data(0, kPathRole).toString().size()))
            node = drive;
    }
    if (node != nullptr) {
        const QString rest = target.mid(node->data(0, kPathRole).toString().size());
        for (const QString& part : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            readSubfolders(node);
            node->setExpanded(true);
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; i < node->childCount() && next == nullptr; ++i)
                if (node->child(i)->text(0) == part) next = node->child(i);
            if (next == nullptr) break;
            node = next;
        }
        readSubfolders(node);
        tree_->setCurrentItem(node);
        tree_->scrollToItem(node);
    }
    listFiles(target);
    return true;
}

void TOpenPictDlg::listFiles(const QString& folder) {
    currentFolder_ = withSlash(folder);
    files_->clear();
    int count = 0;
    for (const QString& name : QDir(currentFolder_).entryList(QDir::Files, QDir::Name)) {
        if (!extensions_.contains(upperExtension(name))) continue;
        files_->addItem(name);
        ++count;
    }
    fileCount_->setText(QStringLiteral("%1 file%2").arg(count).arg(count == 1 ? "" : "s"));
}

void TOpenPictDlg::showFile(const QString& name) {
    const QString path = currentFolder_ + name;
    if (fileName_->text() == path) return;
    fileName_->setText(path);
    const QString extension = upperExtension(name);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PictureFacts facts = readPictureFacts(path.toStdString());
    if (!facts.valid || !decodePreview(path, extension, facts.largerSide)) {
        showInvalid();
        QApplication::restoreOverrideCursor();
        return;
    }
    fileType_->setText(QString::fromStdString(facts.type));
    fileSize_->setText(QStringLiteral("%1 bytes").arg(facts.size));
    std::tm when{};
    localtime_r(&facts.modified, &when);
    char date[40];
    std::snprintf(date, sizeof date, "%02d.%02d.%04d  %02d:%02d", when.tm_mday, when.tm_mon + 1, when.tm_year + 1900,
                  when.tm_hour, when.tm_min);
    fileDate_->setText(QString::fromLatin1(date));
    fileDim_->setText(QStringLiteral("%1 x %2 pixels").arg(facts.width).arg(facts.height));
    QApplication::restoreOverrideCursor();
}

bool TOpenPictDlg::decodePreview(const QString& path, const QString& extension, int largerSide) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SourcePicture picture;
    ++decodes_;
    const Result read = extension == QStringLiteral(".BMP")   ? readBmpPicture(bytes, picture)
                        : extension == QStringLiteral(".PNG") ? readPngPicture(bytes, picture)
                                                              : readJpegPicture(bytes, picture, previewScaleDenominator(largerSide, panel_->width()));
    if (!read || picture.empty()) return false;
    const PreviewPlacement at = placePreview(picture.width, picture.height, panel_->width(), panel_->height());
    preview_->setGeometry(at.left, at.top, at.width, at.height);
    preview_->setPixmap(QPixmap::fromImage(toImage(picture)));
    preview_->show();
    return true;
}

void TOpenPictDlg::showInvalid() {
    fileName_->clear();
    fileSize_->clear();
    fileDate_->clear();
    fileDim_->clear();
    fileType_->setText(QStringLiteral("Invalid picture"));
    preview_->clear();
    preview_->hide();
}

bool TOpenPictDlg::openTyped() {
    const QString path = fileName_->text().trimmed();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        messageBox(QStringLiteral("Error"), QStringLiteral("File does not exist"), false);
        return false;
    }
    if (!extensions_.contains(upperExtension(QFileInfo(path).fileName()))) {
        messageBox(QStringLiteral("Error"), QStringLiteral("Unknown file extension"), false);
        return false;
    }
    selected_ = path;
    accept();
    return true;
}

bool TOpenPictDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == preview_ && event->type() == QEvent::MouseButtonDblClick) {
        openTyped();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QString choosePictureFile(QWidget* parent, const QString& startFolder, QStringList extensions) {
    TOpenPictDlg dialog(std::move(extensions), parent);
    if (!dialog.showFolder(startFolder)) dialog.showFolder(QDir::homePath());
    if (parent != nullptr) {
        const QRect over = parent->window()->frameGeometry();
        dialog.move(over.center() - QPoint(dialog.width() / 2, dialog.height() / 2));
    }
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedPicturePath();
}

}  // namespace tavrin
