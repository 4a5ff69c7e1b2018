#include "tools/proof_commands.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/qt_link_ui.h"
#include "proof/proof_output.h"
#include "tools/data_print_dialog.h"

namespace tavrin {

namespace {

const QString kPdfFilter = QStringLiteral("PDF files (*.pdf)");

void showError(const QString& text) { messageBox(QStringLiteral("Error"), text, false); }

std::string labelFileName(TZRedit& window) { return QFileInfo(window.currentFile()).fileName().toStdString(); }

std::string millimetres(int dots) { return QString::number(dots / 8.0).toStdString(); }

// Every label of `rows` into `output`; a run of labels shows its progress in the message
// window, where Esc stops it.
ProofResult runProof(TZRedit& window, ProofRows& rows, ProofOutput& output, const char* title) {
    QtLinkUi& ui = window.linkUi();
    ui.clearCancelRequest();
    bool shown = false;
    const auto beforeLabel = [&](long long index, long long total) {
        if (total < 2) return true;
        const std::string text = rowProgressText(index, total);
        if (shown) {
            ui.setProgressText(text);
        } else {
            ui.showProgressWindow(title, text);
            shown = true;
        }
        ui.processEvents();
        return !ui.cancelRequested();
    };
    ProofResult result = writeProof(window.session().document(), window.session().renderContext(), rows, output,
                                    beforeLabel);
    if (shown) ui.closeProgressWindow();
    return result;
}

// The labels painted on a printer at true size: the printer's own resolution, each printer
// dot an exact square of 1/203.2 inch, no smoothing.
class PrinterProof : public ProofOutput {
public:
    PrinterProof(QPrinter& printer, bool sheet) : printer_(printer), sheet_(sheet) {}
    ~PrinterProof() override {
        if (!painter_.isActive()) return;
        printer_.abort();  // a stopped or failed run sends nothing
        painter_.end();
    }

    std::string add(LabelDocument& label, const RenderContext& context, const ProofLabel&) override {
        const Bitmap image = renderPrintImage(label, context);
        if (image.width() == 0 || image.height() == 0) return "The label has no size: nothing to show";
        if (!painter_.isActive()) {
            printer_.setFullPage(true);
            const QRectF paper = printer_.paperRect(QPrinter::Point);
            layout_ = layoutOnPaper(paper.width() / kPointsPerDot, paper.height() / kPointsPerDot, image.width(),
                                    image.height(), !sheet_);
            if (layout_.places.empty())
                return "The label (" + millimetres(image.width()) + " x " + millimetres(image.height()) +
                       " mm) does not fit on the paper";
            if (!painter_.begin(&printer_)) return "Can't print on " + printer_.printerName().toStdString();
            painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
            painter_.setRenderHint(QPainter::Antialiasing, false);
            const double scale = printer_.resolution() / kProofDotsPerInch;
            painter_.scale(scale, scale);
        } else if (slot_ == 0 && !printer_.newPage()) {
            return "Can't print on " + printer_.printerName().toStdString();
        }
        const DotRectangle& place = layout_.places[static_cast<std::size_t>(slot_)];
        // The bitmap's rows are whole 32-bit words, most significant bit first, 0 for ink:
        // Qt's one-bit layout with a black-then-white palette.
        QImage dots(image.bits().data(), image.width(), image.height(), static_cast<qsizetype>(image.stride()),
                    QImage::Format_Mono);
        dots.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        // A hair inside the dots' edges, as in the PDF proofs, so that a printer or a PDF
        // rasteriser rounding either way keeps each dot on its own place.
        painter_.drawImage(QRectF(place.x + 0.01, place.y + 0.01, place.width - 0.02, place.height - 0.02), dots);
        if (layout_.cutMarks)
            for (const DotRectangle& m : cutMarksAround(place))
                painter_.fillRect(QRectF(m.x + 0.25, m.y + 0.25, m.width - 0.5, m.height - 0.5), Qt::black);
        if (++slot_ == layout_.perPage()) slot_ = 0;
        return {};
    }

    std::string finish() override {
        if (!painter_.isActive()) return "No label to show";
        if (!painter_.end()) return "Can't print on " + printer_.printerName().toStdString();
        return {};
    }

private:
    QPrinter& printer_;
    bool sheet_;
    QPainter painter_;
    ProofLayout layout_;
    int slot_ = 0;
};

// The print dialog with the choice of layout on a tab of its own.
bool systemPrintDialog(QPrinter& printer, bool& sheet, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print Proof"));
    // Every chosen label is printed: the rows are chosen in the data window, not by page.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    auto* layoutTab = new QWidget;
    layoutTab->setObjectName(QStringLiteral("ProofLayoutTab"));
    layoutTab->setWindowTitle(QStringLiteral("Labels"));
    auto* column = new QVBoxLayout(layoutTab);
    auto* onePerPage = new QRadioButton(QStringLiteral("One label per page"));
    onePerPage->setObjectName(QStringLiteral("OnePerPageRb"));
    auto* asSheet = new QRadioButton(QStringLiteral("As many labels as fit on the paper, with cut marks"));
    asSheet->setObjectName(QStringLiteral("SheetRb"));
    (sheet ? asSheet : onePerPage)->setChecked(true);
    column->addWidget(onePerPage);
    column->addWidget(asSheet);
    column->addStretch(1);
    dialog.setOptionTabs({layoutTab});
    if (dialog.exec() != QDialog::Accepted) return false;
    sheet = asSheet->isChecked();
    return true;
}

ProofPrintDialog& proofPrintDialog() {
    static ProofPrintDialog dialog = systemPrintDialog;
    return dialog;
}

// One printer for the editor's life, so the printer, paper and layout chosen last are
// offered again; it goes with the window.
class ProofPrinter : public QObject {
public:
    explicit ProofPrinter(QObject* owner) : QObject(owner), printer(QPrinter::HighResolution) {
        setObjectName(QStringLiteral("ProofPrinter"));
    }
    QPrinter printer;
    bool sheet = false;
};

ProofPrinter& proofPrinter(TZRedit& window) {
    auto* found = window.findChild<ProofPrinter*>(QStringLiteral("ProofPrinter"), Qt::FindDirectChildrenOnly);
    return found != nullptr ? *found : *new ProofPrinter(&window);
}

}  // namespace

void setProofPrintDialog(ProofPrintDialog dialog) { proofPrintDialog() = dialog ? std::move(dialog) : systemPrintDialog; }

bool exportProofPdf(TZRedit& window, ProofRows& rows, const QString& fileName) {
    PdfProofOptions options;
    options.title = labelFileName(window);
    std::string problem;
    const std::unique_ptr<ProofOutput> output = openPdfProof(fileName.toStdString(), options, problem);
    if (!output) {
        showError(QString::fromStdString(problem));
        return false;
    }
    const ProofResult result = runProof(window, rows, *output, "Export as PDF");
    if (!result.error.empty()) showError(QString::fromStdString(result.error));
    return result.ok();
}

QString printProofPages(TZRedit& window, ProofRows& rows, QPrinter& printer, bool sheet) {
    PrinterProof output(printer, sheet);
    return QString::fromStdString(runProof(window, rows, output, "Print Proof").error);
}

void saveProofAsPdf(TZRedit& window, ProofRows& rows) {
    const QString fileName = window.chooseSaveFile(QStringLiteral("Export as PDF"), kPdfFilter, QStringLiteral("pdf"));
    if (!fileName.isEmpty()) exportProofPdf(window, rows, fileName);
}

void printProof(TZRedit& window, ProofRows& rows, QWidget* parent) {
    ProofPrinter& chosen = proofPrinter(window);
    chosen.printer.setDocName(QString::fromStdString(labelFileName(window)));
    if (!proofPrintDialog()(chosen.printer, chosen.sheet, parent)) return;
    if (const QString problem = printProofPages(window, rows, chosen.printer, chosen.sheet); !problem.isEmpty())
        showError(problem);
}

void proofChosenRows(TZRedit& window, TDataPrintDlg& dialog, bool toPrinter) {
    dialog.previewRow(0);  // the rows count on from the label's own values
    const DataCheck& check = dialog.check();
    if (dialog.source() == nullptr || !check.error.empty() || check.rowCount == 0) return;
    const std::optional<RowSelection> rows = dialog.chosenRows();
    if (!rows) {
        showError(QStringLiteral("Rows are chosen like 15-20, 15- or 3,5,9-12"));
        return;
    }
    if (rows->countWithin(check.rowCount) == 0) {
        showError(QStringLiteral("No rows to print"));
        return;
    }
    if (check.refused() &&
        messageBox(dialog.windowTitle(),
                   QStringLiteral("%1 (see the list). Show the labels anyway?")
                       .arg(QString::fromStdString(check.firstRefusal())),
                   true) != 1)
        return;
    DataRunRows proofRows(window.session().document(), *dialog.source(), check, *rows, window.translation());
    if (toPrinter) printProof(window, proofRows, &dialog);
    else saveProofAsPdf(window, proofRows);
}

void addProofButtons(TZRedit& window, TDataPrintDlg& dialog, QBoxLayout& buttons, QPushButton& print) {
    // Follows the Print button, which is enabled when there are rows to print.
    class FollowEnabled : public QObject {
    public:
        FollowEnabled(QPushButton& leader, std::vector<QPushButton*> followers)
            : QObject(&leader), followers_(std::move(followers)) {
            leader.installEventFilter(this);
            sync(leader);
        }
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::EnabledChange) sync(*static_cast<QWidget*>(watched));
            return false;
        }

    private:
        void sync(const QWidget& leader) {
            for (QPushButton* b : followers_) b->setEnabled(leader.isEnabled());
        }
        std::vector<QPushButton*> followers_;
    };
    std::vector<QPushButton*> added;
    for (const bool toPrinter : {false, true}) {
        auto* button = new QPushButton(toPrinter ? QStringLiteral("Print Proof...") : QStringLiteral("Save as PDF..."));
        button->setObjectName(toPrinter ? QStringLiteral("PrintProofBt") : QStringLiteral("SavePdfBt"));
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, &dialog,
                         [&window, &dialog, toPrinter] { proofChosenRows(window, dialog, toPrinter); });
        buttons.addWidget(button);
        added.push_back(button);
    }
    new FollowEnabled(print, added);
}

CommandTable proofCommands(TZRedit& window) {
    // Export goes last among the ways to save the label, Print Proof beside printing from a data file.
    return {
        {MenuGroup::FileLabel, "ExportPdfM", "Export as P&DF...", {},
         [&window] {
             LabelOnlyRows rows;
             saveProofAsPdf(window, rows);
         }},
        {MenuGroup::PrintData, "PrintProofM", "Print Pr&oof...", {},
         [&window] {
             LabelOnlyRows rows;
             printProof(window, rows, &window);
         }},
    };
}

}  // namespace tavrin
