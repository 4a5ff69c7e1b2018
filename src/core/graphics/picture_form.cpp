#include "graphics/picture_form.h"

namespace tavrin {

PictureDialogState PictureDialogState::forEdit(const Figure& figure) {
    PictureDialogState state;
    state.edit = true;
    state.originalName = PictureRecord::decode(figure.record).name;
    state.editedBlock = figure.picture;
    return state;
}

std::optional<UserMessage> confirmPicture(FigureList& figures, PictureDialogState& state, std::string typedName, int x,
                                          int y, PictureFormResult& picture) {
    if (auto problem = checkPictureName(typedName)) return problem;
    if (!state.edit && state.loaded.empty()) return UserMessage{"Error", "No picture loaded"};
    if (!IsPictureNameFree(figures, typedName, state.originalName))
        return UserMessage{"Error", "Picture name already exists"};

    picture.record.x = x;
    picture.record.y = y;
    picture.record.name = typedName;
    if (state.edit) RenamePictures(figures, state.originalName, typedName);
    if (!state.loaded.empty()) {
        if (state.edit && state.editedBlock) {
            // Every figure that shared the old block now shares the new one; the old block
            // goes with its last user.
            ReplacePictureData(figures, state.editedBlock.get(), state.loaded.block, typedName, state.loaded);
        } else {
            state.loaded.block->bytes[0] = 1;
        }
        picture.record.width = state.loaded.width;
        picture.record.height = state.loaded.height;
        picture.record.dataLength = state.loaded.dataLength;
        picture.block = std::move(state.loaded.block);
        state.editedBlock = picture.block;
        state.loaded.reset();
    }
    return std::nullopt;
}

bool appendPicture(FigureList& figures, const PictureFormResult& picture) {
    if (!picture.block || picture.block->bytes.empty()) return false;
    picture.block->bytes[0] = 1;
    Figure& figure = figures.appendFigure(picture.record.encode(), FigureKind::Picture);
    figure.picture = picture.block;
    return true;
}

}  // namespace tavrin
