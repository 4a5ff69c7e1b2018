#pragma once
// The text-field language shared by Text and Barcode figures: quoted parts, variables,
// counters, date and time, each optionally shaped by modifiers.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/render_context.h"

namespace tavrin {

// The longest expansion kept; anything beyond is cut off.
inline constexpr std::size_t kMaxExpandedText = 111;
// What a malformed field shows, so that the mistake is visible on the label.
inline constexpr std::string_view kMalformedText = "@@@@";

// Expands a text or barcode data field into the characters shown; false and "@@@@" on
// malformed data. Variables and counters come from context.document (counters show their
// starting value), date and time from context.currentTime(). A missing document reads as
// empty slots and the default formats.
// `limit` is the longest expansion kept: the printer's own for what it draws, more for the
// 2D symbols the editor makes itself.
bool ExpandTextData(std::string_view data, const RenderContext& context, std::string& out,
                    std::size_t limit = kMaxExpandedText);

// Why a field would show "@@@@", for the dialogs to say before the label does: "The closing
// quote is missing", or "Not readable from character 5" (counted from 1, the item that
// cannot be read). Nothing for a field that reads. Slot values do not count here: the field
// is read with empty variables.
std::optional<std::string> textDataProblem(std::string_view data);

// A variable or counter a field refers to (a variable also as TD's day offset).
struct SlotReference {
    bool counter = false;
    int slot = 0;
    bool operator==(const SlotReference&) const = default;
};
// The slots the field refers to, in order; a malformed field gives those before the fault.
std::vector<SlotReference> slotReferences(std::string_view data);

// True when the field is nothing but quoted text, so that it shows the same on every label:
// no variable, counter, date or time (and not malformed).
bool isFixedTextData(std::string_view data);

}  // namespace tavrin
