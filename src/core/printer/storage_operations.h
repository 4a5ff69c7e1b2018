#pragma once
// Exchanges about what the printer keeps in its memory: lists of stored forms, graphics and
// fonts, storing form files, pictures, fonts and the current label, selecting the active
// form and reading its variables and counters. They run over the PrinterLink and report
// through its flags; the store-as window shows storeAsList() and asks what
// checkStoreAsName() tells it to.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/figure_list.h"
#include "document/label_document.h"
#include "document/variables.h"
#include "graphics/graphics_buffer.h"
#include "link/printer_link.h"
#include "printer/printer_exchanges.h"

namespace tavrin {


inline constexpr std::size_t kMaxObjectNameLength = 8;

// One line of a VI reply, by its fixed columns. Nothing for a line that is not a variable
// or counter definition or names a slot that does not exist.
struct VariableDefinition {
    bool counter = false;
    int slot = 0;
    Variable definition;  // defined, length, justification, pad, step, prompt, value
};
std::optional<VariableDefinition> parseVariableLine(std::string_view line);

// What the store-as window does with the name typed or picked.
struct StoreAsDecision {
    enum class Action { Ignore, Refuse, AskOverwrite, Store };
    Action action = Action::Ignore;
    UserMessage message;  // the error or the Yes/No question
};
StoreAsDecision checkStoreAsName(std::string_view name, int kind, const std::vector<std::string>& existing);

// What the store-as list window shows.
struct StoreAsList {
    std::string heading;
    std::vector<std::string> names;
};

// The material a store takes, by list kind: the chosen file (forms, fonts), the picture in
// the graphics buffer, the current label.
struct StoreSources {
    std::filesystem::path file;
    const GraphicsBuffer* graphics = nullptr;
    const LabelDocument* label = nullptr;
};

class PrinterStorage {
public:
    explicit PrinterStorage(PrinterLink& link) : link_(link) {}

    PrinterLink& link() { return link_; }

    // The kind of the object list last received or stored; decides what a store stores.
    int CurrentListKind = kListForms;

    const StoreAsList& storeAsList() const { return storeAsList_; }
    const std::vector<std::string>& graphicsNames() const { return graphicsNames_; }
    const std::vector<std::string>& fontNames() const { return fontNames_; }
    const std::string& activeFormName() const { return activeFormName_; }

    // UF, UG or UE into the store-as list; false on a failed open, a refused write or silence.
    bool receiveList(int kind);
    // UG and UE into the graphics and font name lists, names trimmed.
    bool listGraphicsAndFonts();

    // Each store deletes the object of that name first, sends it, and unless the user gave
    // up refreshes the store-as list. True when everything was sent.
    bool storeFormFile(const std::filesystem::path& file, std::string_view name);
    bool storeGraphicsFile(const GraphicsBuffer& buffer, std::string_view name);
    bool storeFontFile(const std::filesystem::path& file, std::string_view name);
    bool storeCurrentLabel(const LabelDocument& label, std::string_view name);
    // The store the window's button asks for once checkStoreAsName() said Store (or the user
    // agreed to overwrite), by CurrentListKind.
    bool storeAs(std::string_view name, const StoreSources& sources);

    // FA: the printer's active form, at most 15 characters; empty after a failure.
    bool receiveActiveForm();
    // FR, then FA and VI: the form becomes active and its variables replace the label's.
    void selectActiveForm(std::string_view name, LabelDocument& label);
    // VI: the definitions and values replace the given slots (the label's, or a dialog's
    // working copy). Returns how many came; after silence nothing is changed.
    int receiveVariables(std::array<Variable, kVariableCount>& variables,
                         std::array<Counter, kCounterCount>& counters);
    int receiveVariables(LabelDocument& label) { return receiveVariables(label.variables, label.counters); }

    // FI: the stored form replaces the label, with the pictures and fonts it uses fetched
    // by GI and EI, then its variables by VI. False on a failed open, a refused write or
    // silence; the label then holds what had been rebuilt so far.
    bool retrieveForm(std::string_view name, LabelDocument& label);
    // The same under one progress window, "Receiving form "X"", that ends with the port
    // closed; a form cut short fails as silence does.
    Result receiveForm(std::string_view name, LabelDocument& label);

private:
    bool receiveNames(std::string_view command, std::vector<std::string>& names, bool trim);
    bool stopAfterRefusal();
    enum class Fetch { Done, Damaged, Silent };
    Fetch fetchPicture(std::string_view name, PictureBlockRef& block, PictureRecord& facts);
    Fetch fetchFont(std::string_view name, std::vector<std::uint8_t>& data);
    Fetch fetch(std::string_view command, std::string_view progress, std::size_t minimum, std::size_t maximum,
                std::vector<std::uint8_t>& block);

    PrinterLink& link_;
    StoreAsList storeAsList_;
    std::vector<std::string> graphicsNames_;
    std::vector<std::string> fontNames_;
    std::string activeFormName_;
};

}  // namespace tavrin
