#pragma once
// File > Export as PDF... and Print > Print Proof...: the label, or chosen rows of a data
// file, as a PDF made by the same code as `tavrin-label render -o FILE.pdf`, or printed at
// true size on any printer the system knows, one label per page or a sheet with cut marks.
#include <QString>
#include "app/command_table.h"
#include <functional>

class QBoxLayout;
class QPrinter;
class QPushButton;
class QWidget;

namespace tavrin {

class TZRedit;
class TDataPrintDlg;
class ProofRows;

// ExportPdfM in the File menu and PrintProofM in the Print menu.
CommandTable proofCommands(TZRedit& window);

// Writes the labels of `rows` into a PDF of one page per label, with progress for a run and
// its failure in the message window. True when the file was written.
bool exportProofPdf(TZRedit& window, ProofRows& rows, const QString& fileName);

// Prints the labels of `rows` at true size: one per page, or as many as fit (`sheet`).
// "" on success (or when stopped), else the message.
QString printProofPages(TZRedit& window, ProofRows& rows, QPrinter& printer, bool sheet);

// The system's print dialog with the layout choice; false when cancelled. Tests replace it.
using ProofPrintDialog = std::function<bool(QPrinter& printer, bool& sheet, QWidget* parent)>;
void setProofPrintDialog(ProofPrintDialog dialog);

// Asks for a file or a printer, then writes or prints `rows`.
void saveProofAsPdf(TZRedit& window, ProofRows& rows);
void printProof(TZRedit& window, ProofRows& rows, QWidget* parent);

// The data window's Save as PDF and Print Proof: its chosen rows, after the same questions
// as its Print.
void proofChosenRows(TZRedit& window, TDataPrintDlg& dialog, bool toPrinter);
// Adds the two buttons to the data window's row of buttons, enabled whenever its Print is.
void addProofButtons(TZRedit& window, TDataPrintDlg& dialog, QBoxLayout& buttons, QPushButton& print);

}  // namespace tavrin
