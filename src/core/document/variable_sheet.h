#pragma once
// The working copy the variables and counters window edits: all 32 variable and 8 counter
// slots, the list of defined slots of one kind, and the rules for creating, deleting and
// filling in a slot. The label gets the copy back only when the user confirms.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/label_document.h"
#include "document/variables.h"

namespace tavrin {

enum class SlotKind { Variables, Counters };

inline constexpr int kMinSlotLength = 1;
inline constexpr int kMaxSlotLength = 32;
inline constexpr int kMinCounterStep = 1;
inline constexpr int kMaxCounterStep = 32;
inline constexpr int kNewSlotLength = 6;

// A slot's fields as the window's edits hold them; text in the printer's character set.
struct SlotFields {
    std::string length;
    int justification = 0;
    std::string padChar;
    std::string step;  // counters only
    std::string prompt;
    std::string value;
};

// A whole decimal number, blanks around it allowed; nothing for any other text.
std::optional<int> wholeNumber(std::string_view text);

class VariableSheet {
public:
    std::array<Variable, kVariableCount> variables{};
    std::array<Counter, kCounterCount> counters{};

    static VariableSheet from(const LabelDocument& document);
    // Every slot, defined or not, goes back.
    void applyTo(LabelDocument& document) const;

    static int slotCount(SlotKind kind) { return kind == SlotKind::Variables ? kVariableCount : kCounterCount; }
    Variable& slot(SlotKind kind, int index);
    const Variable& slot(SlotKind kind, int index) const;

    // The defined slots of a kind in slot order, and the list's texts for them.
    std::vector<int> definedSlots(SlotKind kind) const;
    std::vector<std::string> entryNames(SlotKind kind) const;
    // The slot behind a list position; nothing for a position past the list.
    std::optional<int> slotAt(SlotKind kind, int position) const;
    // Where a slot stands in the list; nothing when it is not defined.
    std::optional<int> positionOf(SlotKind kind, int slot) const;

    // Defines the lowest free slot with its default prompt, length and pad character (its
    // value stays as it was) and returns the slot; nothing when every slot is taken.
    std::optional<int> addNew(SlotKind kind);
    // Undefines the slot at a list position and returns the position to select next: the
    // entry before it, or the first; nothing when the list is empty afterwards or the
    // position named no entry.
    std::optional<int> removeAt(SlotKind kind, int position);
    // Undefines every variable and every counter, whichever kind is shown.
    void removeAll();

    SlotFields fields(SlotKind kind, int slot) const;
    // Takes what the edits hold; numbers out of range or not numbers keep the old value.
    void storeFields(SlotKind kind, int slot, const SlotFields& fields);
};

}  // namespace tavrin
