#pragma once
// The label file (.qlb): a 64-byte header with the label setup, then tagged records for
// the defined variables and counters and every figure in drawing order. Header words and
// record sizes are big-endian; figure record bodies are the little-endian records as held
// in memory.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "common/result.h"
#include "document/label_document.h"

namespace tavrin {

inline constexpr char kLabelFileMagic[12] = "ZR5500 FILE";  // with its zero byte: 12 bytes
inline constexpr std::size_t kLabelFileHeaderSize = 64;

// True when the bytes start with the magic and its zero byte (the start-up argument check).
bool hasLabelFileMagic(std::span<const std::uint8_t> bytes);
bool fileHasLabelFileMagic(const std::filesystem::path& path);

// The file's bytes for this document. Picture data goes with the first Picture of each
// name; later Pictures of that name carry dataLength 0.
std::vector<std::uint8_t> encodeLabelFile(const LabelDocument& document);

// Replaces setup, figures, variables and counters with what the bytes hold. With a wrong
// magic or a cut header it reports "Invalid label file" and leaves the document as it was.
// Reading stops at an unknown tag, at the end, or at a record cut short; what was read stays.
Result decodeLabelFile(std::span<const std::uint8_t> bytes, LabelDocument& document);

// "Nothing to save" for an empty figure list; "Can't open output file" when the file cannot
// be written. The old file is replaced only once the new one is complete.
Result saveLabelFile(const std::filesystem::path& path, const LabelDocument& document);

// "Can't open input file" when it cannot be read; otherwise as decodeLabelFile.
Result loadLabelFile(const std::filesystem::path& path, LabelDocument& document);

}  // namespace tavrin
