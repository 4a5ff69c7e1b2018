#include "fonts/truetype_face.h"

namespace tavrin {

std::optional<TrueTypeFace> TrueTypeFace::open(const std::filesystem::path& path, int faceIndex, std::string& error) {
    TrueTypeFace result;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        error = "FreeType cannot start";
        return std::nullopt;
    }
    result.library_.reset(library);
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), faceIndex, &face) != 0) {
        error = "Can't open font " + path.string();
        return std::nullopt;
    }
    result.face_.reset(face);
    if (!FT_IS_SCALABLE(face)) {
        error = "Not a scalable font: " + path.string();
        return std::nullopt;
    }
    return result;
}

bool TrueTypeFace::hasSymbolMap() const {
    for (int i = 0; i < face_->num_charmaps; ++i)
        if (face_->charmaps[i]->encoding == FT_ENCODING_MS_SYMBOL) return true;
    return false;
}

bool TrueTypeFace::selectUnicodeMap() const { return FT_Select_Charmap(face_.get(), FT_ENCODING_UNICODE) == 0; }

bool TrueTypeFace::selectSymbolMap() const { return FT_Select_Charmap(face_.get(), FT_ENCODING_MS_SYMBOL) == 0; }

}  // namespace tavrin
