#pragma once
// What the Picture dialog's OK does to the label: the name rules, the renaming of every
// Picture that shares the edited one's name and the hand-over of a newly loaded block,
// so that pictures shared by name always show the same data under the same name.
#include <optional>
#include <string>

#include "document/figure_list.h"
#include "graphics/picture_data.h"

namespace tavrin {

// One opening of the dialog.
struct PictureDialogState {
    bool edit = false;
    std::string originalName;   // edit mode: the name the figure had
    PictureBlockRef editedBlock;  // edit mode: the block the figure used (may be none)
    LoadedBlock loaded;         // the block loaded in this opening, not yet taken

    static PictureDialogState forNew() { return {}; }
    static PictureDialogState forEdit(const Figure& figure);
};

// The dialog's picture: its record (x, y, name and the block's facts) and block.
struct PictureFormResult {
    PictureRecord record;
    PictureBlockRef block;
};

// OK with the typed name and the accepted x, y. On a refusal returns the message and
// changes nothing. Otherwise, in edit mode, renames the Pictures named originalName and
// points every Picture that used the edited block at the loaded one; `picture` then holds
// the name, x, y and (when a block was loaded) the new block, and `state.loaded` is empty.
std::optional<UserMessage> confirmPicture(FigureList& figures, PictureDialogState& state, std::string typedName, int x,
                                          int y, PictureFormResult& picture);

// New mode after OK: the picture joins the label (when it has data) as the block's only user.
// False when there was nothing to add.
bool appendPicture(FigureList& figures, const PictureFormResult& picture);

}  // namespace tavrin
