#pragma once
// One FreeType face with its own library instance, so faces never share state.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace tavrin {

class TrueTypeFace {
public:
    // Nothing (and the reason in error) when FreeType cannot open the file.
    static std::optional<TrueTypeFace> open(const std::filesystem::path& path, int faceIndex, std::string& error);

    FT_Face face() const { return face_.get(); }
    bool hasSymbolMap() const;
    bool selectUnicodeMap() const;
    bool selectSymbolMap() const;

private:
    struct LibraryDone {
        void operator()(FT_Library library) const { FT_Done_FreeType(library); }
    };
    struct FaceDone {
        void operator()(FT_Face face) const { FT_Done_Face(face); }
    };
    // The face goes before its library.
    std::unique_ptr<FT_LibraryRec_, LibraryDone> library_;
    std::unique_ptr<FT_FaceRec_, FaceDone> face_;
};

}  // namespace tavrin
