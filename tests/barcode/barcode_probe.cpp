#include "barcode/barcode_probe.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#ifdef TAVRIN_HAVE_ZXING
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#endif

namespace tavrin::test {

std::string columns(const barcode::BarRow& row) {
    std::string out;
    for (auto c : row.columns()) out += c ? '1' : '0';
    return out;
}

std::string modules(const barcode::BarRow& row, int narrow) {
    const std::string all = columns(row);
    std::string out;
    for (std::size_t i = 0; i < all.size(); i += static_cast<std::size_t>(narrow)) out += all[i];
    return out;
}

std::vector<std::string> zintRows(const std::string& arguments) {
    std::vector<std::string> rows;
    const std::string command = "zint --dump " + arguments + " 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return rows;
    std::string row;
    for (int ch; (ch = std::fgetc(pipe.get())) != EOF;) {
        if (ch == '\n') {
            while (!row.empty() && row.back() == '0') row.pop_back();
            if (!row.empty()) rows.push_back(row);
            row.clear();
            continue;
        }
        int nibble = -1;
        if (ch >= '0' && ch <= '9') nibble = ch - '0';
        if (ch >= 'A' && ch <= 'F') nibble = ch - 'A' + 10;
        if (nibble < 0) continue;
        for (int bit = 3; bit >= 0; --bit) row += (nibble >> bit) & 1 ? '1' : '0';
    }
    return rows;
}

std::vector<int> runWidths(const std::string& bits) {
    std::vector<int> widths;
    for (std::size_t i = 0; i < bits.size();) {
        std::size_t j = i;
        while (j < bits.size() && bits[j] == bits[i]) ++j;
        widths.push_back(static_cast<int>(j - i));
        i = j;
    }
    return widths;
}

std::string elementClasses(const std::string& bits) {
    const std::vector<int> widths = runWidths(bits);
    int narrowest = 1 << 30;
    for (int w : widths) narrowest = std::min(narrowest, w);
    std::string out;
    for (int w : widths) out += w == narrowest ? 'n' : 'w';
    return out;
}

#ifdef TAVRIN_HAVE_ZXING
bool haveZXing() { return true; }

std::optional<std::string> readWithZXing(const std::string& bars, int rotation,
                                         const std::string& addOn, int gap) {
    constexpr int kQuiet = 40;
    constexpr int kHeight = 60;
    std::string line = std::string(kQuiet, '0') + bars;
    if (!addOn.empty()) line += std::string(static_cast<std::size_t>(gap), '0') + addOn;
    line += std::string(kQuiet, '0');
    const int length = static_cast<int>(line.size());
    const bool across = rotation % 2 == 1;
    const int width = across ? kHeight : length;
    const int height = across ? length : kHeight;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height), 255);
    for (int i = 0; i < length; ++i) {
        if (line[static_cast<std::size_t>(i)] != '1') continue;
        for (int k = 0; k < kHeight; ++k) {
            int x = i, y = k;  // rotation 0: columns run along x
            if (rotation == 1) x = kHeight - 1 - k, y = i;
            if (rotation == 2) x = length - 1 - i, y = kHeight - 1 - k;
            if (rotation == 3) x = k, y = length - 1 - i;
            pixels[static_cast<std::size_t>(y * width + x)] = 0;
        }
    }
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::LinearCodes);
    hints.setTryRotate(true);
    hints.setTryCode39ExtendedMode(false);
    hints.setReturnCodabarStartEnd(true);
    if (!addOn.empty()) hints.setEanAddOnSymbol(ZXing::EanAddOnSymbol::Require);
    const auto result =
        ZXing::ReadBarcode({pixels.data(), width, height, ZXing::ImageFormat::Lum}, hints);
    if (!result.isValid()) return std::nullopt;
    return result.text();
}
#else
bool haveZXing() { return false; }
std::optional<std::string> readWithZXing(const std::string&, int, const std::string&, int) {
    return std::nullopt;
}
#endif

void expectMatchesZint(int type, std::string_view data, const std::string& zintArguments, Compare how) {
    SCOPED_TRACE("zint --dump " + zintArguments);
    const auto rows = zintRows("--addongap=9 " + zintArguments);
    ASSERT_EQ(rows.size(), 1u) << "zint is needed (scripts/install-deps)";
    for (int n : {1, 3}) {
        const auto r = barcode::encodeBarcode({type, data, n, 3 * n});
        std::string ours = how == Compare::Modules ? modules(r.bars, n) : columns(r.bars);
        if (r.addOnDigits > 0) ours += std::string(9, '0') + modules(r.addOnBars, n);
        if (how == Compare::Modules) EXPECT_EQ(ours, rows[0]) << "narrow " << n;
        else EXPECT_EQ(elementClasses(ours), elementClasses(rows[0])) << "narrow " << n;
    }
}

void expectReadsBack(int type, std::string_view data, const std::string& read) {
    if (!haveZXing()) return;
    for (int n = 1; n <= 4; ++n) {
        const auto r = barcode::encodeBarcode({type, data, n, 3 * n});
        for (int rotation = 0; rotation < 4; ++rotation)
            EXPECT_EQ(readWithZXing(columns(r.bars), rotation, columns(r.addOnBars), r.addOnOffset - r.barLength),
                      read)
                << "type " << type << " narrow " << n << " rotation " << rotation;
    }
}

}  // namespace tavrin::test
