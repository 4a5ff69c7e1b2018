#pragma once
// Proofs read back as a printer would see them: poppler (Debian poppler-utils) rasterises a
// PDF page in one bit at the printer's 203.2 dpi and tells page counts, sizes and the title.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

#include "render/bitmap.h"
#include "render/image_io.h"
#include "support/test_support.h"

namespace tavrin::test {

inline bool havePoppler() {
    return std::filesystem::exists("/usr/bin/pdftoppm") && std::filesystem::exists("/usr/bin/pdfinfo");
}
#define TAVRIN_NEED_POPPLER() \
    if (!::tavrin::test::havePoppler()) GTEST_SKIP() << "poppler-utils (pdftoppm, pdfinfo) not installed"

// Page `page` (1-based) at 203.2 dpi, ink as ink; an empty bitmap when it cannot be read.
inline Bitmap rasterisePage(const std::filesystem::path& pdf, int page) {
    TempDir dir;
    const std::string number = std::to_string(page);
    const auto r = runProgram("/usr/bin/pdftoppm", {"-r", "203.2", "-mono", "-f", number, "-l", number, "-singlefile",
                                                    pdf.string(), (dir / "page").string()});
    Bitmap image;
    if (r.exitCode != 0 || !readPbm(dir / "page.pbm", image)) return {};
    return image;
}

struct PdfInfo {
    int pages = 0;
    std::string size;  // "136.063 x 79.3701" in points, as pdfinfo writes it
    std::string title;
};
inline PdfInfo pdfInfo(const std::filesystem::path& pdf) {
    PdfInfo info;
    std::istringstream lines(runProgram("/usr/bin/pdfinfo", {pdf.string()}).out);
    for (std::string line; std::getline(lines, line);) {
        const auto value = [&](const char* key) -> std::optional<std::string> {
            const std::string k(key);
            if (line.rfind(k, 0) != 0) return std::nullopt;
            const std::size_t start = line.find_first_not_of(' ', k.size());
            return start == std::string::npos ? std::string() : line.substr(start);
        };
        if (auto v = value("Pages:")) info.pages = std::atoi(v->c_str());
        if (auto v = value("Page size:")) info.size = v->substr(0, v->find(" pts"));
        if (auto v = value("Title:")) info.title = *v;
    }
    return info;
}

// The `width` x `height` dots of `page` from (x, y).
inline Bitmap cutOut(const Bitmap& page, int x, int y, int width, int height) {
    Bitmap part(width, height);
    part.combine(page, -x, -y, CombineOp::Copy);
    return part;
}

}  // namespace tavrin::test
