#pragma once
// The label the data and service fuzz targets fill in: the shipped sample, or a label with a
// few prompted slots when it cannot be read.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "document/label_file.h"

namespace tavrin::fuzz {

inline const LabelDocument& sampleLabel() {
    static const LabelDocument document = [] {
        LabelDocument d;
        const char* dir = std::getenv("TAVRIN_DATA_DIR");
        const std::filesystem::path folder = dir != nullptr ? dir : TAVRIN_FUZZ_DATA_DIR;
        std::ifstream in(folder / "samples" / "sample.qlb", std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        if (!decodeLabelFile(bytes, d)) d = LabelDocument{};
        const auto defined = [](const auto& slots) {
            return std::any_of(slots.begin(), slots.end(), [](const Variable& v) { return v.defined != 0; });
        };
        if (!defined(d.variables) && !defined(d.counters)) {
            for (int i = 0; i < 3; ++i) {
                Variable& v = d.variables[static_cast<std::size_t>(i)];
                v.defined = 1;
                v.length = 12;
                v.setPrompt("Field " + std::to_string(i + 1));
                v.setValue("x");
            }
        }
        return d;
    }();
    return document;
}

}  // namespace tavrin::fuzz
