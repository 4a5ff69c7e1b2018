#include "graphics/picture_data.h"

#include <algorithm>
#include <cstring>

#include "graphics/graphics_file.h"

namespace tavrin {
namespace {

bool equalNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

}  // namespace

std::optional<LoadedBlock> PictureDataFromBuffer(const GraphicsBuffer& buffer) {
    const std::size_t n = std::min(buffer.count, GraphicsBuffer::kCapacity);
    if (n < GraphicsBuffer::kHeaderSize) return std::nullopt;
    const int width = static_cast<int>(buffer.headerWord(8)) - static_cast<int>(buffer.headerWord(4)) + 1;
    const int height = static_cast<int>(buffer.headerWord(10)) - static_cast<int>(buffer.headerWord(6)) + 1;
    // A figure keeps its size in signed 16-bit fields; a header that gives no dots (or more
    // than those fields hold) would make a figure nothing can draw or edit.
    if (width < 1 || height < 1 || width > 0x7FFF || height > 0x7FFF) return std::nullopt;
    LoadedBlock loaded;
    loaded.block = std::make_shared<PictureBlock>();
    auto& bytes = loaded.block->bytes;
    bytes.assign(n - 126, 0);
    bytes[0] = 1;
    bytes[1] = static_cast<std::uint8_t>(buffer.headerWord(66) & 0xFF);
    std::memcpy(bytes.data() + 2, buffer.bytes.data() + GraphicsBuffer::kHeaderSize, n - GraphicsBuffer::kHeaderSize);
    loaded.width = width;
    loaded.height = height;
    loaded.dataLength = static_cast<unsigned>(bytes.size());
    return loaded;
}

MakePictureResult MakePictureData(const std::string& source, bool fromFile, GraphicsBuffer& buffer,
                                  LoadedBlock& loaded, const PictureFetcher& fetchFromPrinter) {
    if (fromFile) {
        const GraphicsLoadResult result = LoadGraphicsFile(source, buffer);
        if (!result) return {false, result.message};
    } else if (!fetchFromPrinter || !fetchFromPrinter(source, buffer)) {
        return {false, UserMessage{"Error", "Can't extract from printer"}};
    }
    std::optional<LoadedBlock> made = PictureDataFromBuffer(buffer);
    if (!made) {
        const bool noWidth = static_cast<int>(buffer.headerWord(8)) < static_cast<int>(buffer.headerWord(4));
        return {false, graphicsError(noWidth ? "Horizontal size too big" : "Vertical size too big")};
    }
    loaded = std::move(*made);
    return {true, std::nullopt};
}

bool IsPictureNameFree(const FigureList& figures, const std::string& newName, const std::string& currentName) {
    for (const Figure& f : figures) {
        if (f.kind != FigureKind::Picture) continue;
        const std::string name = PictureRecord::decode(f.record).name;
        if (equalNoCase(name, newName) && !equalNoCase(name, currentName)) return false;
    }
    return true;
}

void RenamePictures(FigureList& figures, const std::string& oldName, const std::string& newName) {
    for (Figure& f : figures) {
        if (f.kind != FigureKind::Picture) continue;
        PictureRecord picture = PictureRecord::decode(f.record);
        if (!equalNoCase(picture.name, oldName)) continue;
        picture.name = newName;
        f.record = picture.encode();
    }
}

void ReplacePictureData(FigureList& figures, const PictureBlock* oldBlock, const PictureBlockRef& newBlock,
                        const std::string& name, const LoadedBlock& loaded) {
    if (!newBlock || newBlock->bytes.empty()) return;
    newBlock->bytes[0] = 0;
    for (Figure& f : figures) {
        if (f.kind != FigureKind::Picture || f.picture.get() != oldBlock || oldBlock == nullptr) continue;
        PictureRecord picture = PictureRecord::decode(f.record);
        picture.width = loaded.width;
        picture.height = loaded.height;
        picture.dataLength = loaded.dataLength;
        picture.name = name;
        f.record = picture.encode();
        f.picture = newBlock;
        // The stored count is one byte; the real count is the number of figures holding it.
        if (newBlock->bytes[0] < 255) ++newBlock->bytes[0];
    }
}

std::optional<UserMessage> checkPictureName(std::string& name) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!name.empty() && blank(name.front())) name.erase(name.begin());
    while (!name.empty() && blank(name.back())) name.pop_back();
    if (name.empty()) return UserMessage{"Error", "No picture name"};
    for (const char c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!ok) return UserMessage{"Error", "Invalid picture name"};
    }
    return std::nullopt;
}

}  // namespace tavrin
