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
};

}  // namespace tavrin
