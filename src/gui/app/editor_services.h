#pragma once
// What the editor's windows use of the editor, handed to them instead of the main window:
// the session they read and edit the label through, the configuration, the translation and
// the printer link. A window made from these needs no main window, in a test either.
#include <QString>

#include <functional>

#include "document/app_config.h"
#include "editing/editor_session.h"
#include "link/printer_link.h"
#include "printer/translation.h"

class QWidget;

namespace tavrin {

// The file dialogs, replaceable so that tests can answer them.
struct FileChooser {
    std::function<QString(QWidget*, const QString& title, const QString& folder, const QString& filter)> open;
    std::function<QString(QWidget*, const QString& title, const QString& folder, const QString& filter)> save;
};

struct EditorServices {
    EditorSession& session;
    AppConfig& config;
    const Translation& translation;
    // Set to the configuration's port, rate, protocol and devices each time it is asked for.
    std::function<PrinterLink&()> link;
    // The main window's questions and label replacement; a window made in a test without
    // one leaves them empty.
    // Before the label is replaced: the unsaved-changes question; true to go on.
    std::function<bool()> maySpoilChanges = {};
    // A label that came from elsewhere (the printer) takes the current one's place, shown
    // from its start.
    std::function<void(LabelDocument)> replaceLabel = {};
    // The save-file question in the work folder, with the default extension added and the
    // overwrite question asked; empty when the user gave up.
    std::function<QString(const QString& title, const QString& filter, const QString& extension)> chooseSaveFile = {};
    // The open-file question in the work folder, over `parent`; empty when the user gave up.
    std::function<QString(QWidget* parent, const QString& title, const QString& filter)> chooseOpenFile = {};
    // The file the label was last opened from or saved to; empty for a new label.
    std::function<QString()> labelFile = {};
};

}  // namespace tavrin
