#pragma once
// Picture data blocks made from the graphics buffer, and the operations on the figure list
// that keep picture names and shared blocks consistent.
#include <functional>
#include <optional>
#include <string>

#include "document/figure_list.h"
#include "graphics/graphics_buffer.h"

namespace tavrin {

// A block made by MakePictureData that no figure has taken over yet, with the facts that
// travel beside it in a Picture figure. Dropping it frees the block unless a figure took it.
struct LoadedBlock {
    PictureBlockRef block;
    int width = 0;
    int height = 0;
    unsigned dataLength = 0;
    bool empty() const { return !block; }
    void reset() { *this = LoadedBlock{}; }
};

// Fetches the printer's stored picture of this name into the buffer; false on failure
// (the link has told the user what went wrong).
using PictureFetcher = std::function<bool(const std::string& name, GraphicsBuffer& buffer)>;

struct MakePictureResult {
    bool ok = false;
    std::optional<UserMessage> message;  // to show when not ok (none: already shown)
};

// The block the buffer's picture makes; nothing when the header describes no picture.
std::optional<LoadedBlock> PictureDataFromBuffer(const GraphicsBuffer& buffer);

// From a file (fromFile) or from the printer's stored picture `source`. On success `loaded`
// holds the new block (the previous one is let go); on failure `loaded` is unchanged.
MakePictureResult MakePictureData(const std::string& source, bool fromFile, GraphicsBuffer& buffer,
                                  LoadedBlock& loaded, const PictureFetcher& fetchFromPrinter = {});

// True unless another Picture figure already has newName (names compared without case);
// keeping one's own name (currentName) is allowed.
bool IsPictureNameFree(const FigureList& figures, const std::string& newName, const std::string& currentName);
// Every Picture figure named oldName (without case) is renamed to newName.
void RenamePictures(FigureList& figures, const std::string& oldName, const std::string& newName);
// Every Picture figure using oldBlock now uses newBlock, with loaded's width, height and
// length and the given name; newBlock's share count becomes the number of those figures.
void ReplacePictureData(FigureList& figures, const PictureBlock* oldBlock, const PictureBlockRef& newBlock,
                        const std::string& name, const LoadedBlock& loaded);

// A picture name as the Picture dialog takes it: blanks around it removed, then ASCII
// letters and digits only. The message when it cannot be used.
std::optional<UserMessage> checkPictureName(std::string& name);

}  // namespace tavrin
