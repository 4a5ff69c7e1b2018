// The 2D symbols (27 QR Code, 28 Data Matrix, 29 PDF417) as the renderer draws them:
// module for module against `zint --dump` (Debian's zint, run as a separate program) in
// four rotations, and the invalid cases. Reading them back from the print image is the
// barcode check's test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "barcode/zint_dump.h"
#include "document/label_document.h"
#include "document/label_file.h"
#include "render/barcode/barcode.h"
#include "render/barcode_figure.h"
#include "support/label_builders.h"
#include "support/test_support.h"

namespace tavrin::test {
namespace {

// Label data for characters: every character quoted, backslashes and quotes escaped.
std::string quotedData(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

struct Case {
    int type;
    std::string data;     // the characters encoded (given to the figure as quoted text)
    int level;            // the figure's wide field
    std::string zint;     // zint's options for the same symbol
};

const std::string kLong = "https://example.org/01/09501101530003/10/ABC123?serial=0042&lot=7&x=";

const std::vector<Case> kCases = {
    {27, "HELLO 2D WORLD 0123456789", 0, "-b 58"},
    {27, kLong + kLong, 4, "-b 58 --secure=4"},
    {27, "https://id.gs1.org/01/09501101530003", 2, "-b 58 --secure=2"},
    {27, "[note] no GS1 here", 0, "-b 58"},
    {27, "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xCE\xB1\xCE\xB2", 0, "-b 58 --eci=26"},  // Привет αβ
    {28, "Data Matrix 0123456789 ECC200", 0, "-b 71 --square"},
    {28, kLong + kLong + kLong, 0, "-b 71 --square"},
    {28, "[01]09501101530003[10]AB12[17]261231", 0, "-b 71 --square --gs1"},
    {29, "PDF417 shipping label 0123456789", 4, "-b 55 --secure=3"},
};

class MatrixCodeTest : public ::testing::Test, protected DrawnLabel {
protected:
    MatrixCodeTest() : DrawnLabel(kSize, kSize) {}
    Figure& figure(const Case& c, int module, int rotation) {
        document.figures.clearFigures();
        BarcodeRecord b;
        b.type = c.type, b.x = kAnchor, b.y = kAnchor, b.height = 24, b.narrow = module, b.wide = c.level;
        b.rotation = rotation, b.data = quotedData(c.data);
        if (b.data.size() > BarcodeRecord::kMaxData) {
            // Longer than a figure holds: the characters come from variables, 60 a slot.
            b.data.clear();
            for (std::size_t at = 0, slot = 0; at < c.data.size(); at += 60, ++slot) {
                Variable& v = document.variables[slot];
                v.setValue(c.data.substr(at, 60));
                v.defined = 1;
                v.length = static_cast<std::uint8_t>(v.valueText().size());
                b.data += (slot < 10 ? "V0" : "V") + std::to_string(slot);
            }
        }
        return document.figures.appendFigure(b.encode(), FigureKind::Barcode);
    }
    Bitmap draw(Figure& f) {
        Bitmap canvas(kSize, kSize);
        lines.clear();
        DrawBarcodeFigure(canvas, context, f, lines);
        return canvas;
    }
    // The dot at (along, across) of the symbol's own frame, turned like the renderer.
    static bool inkAt(const Bitmap& b, int rotation, int along, int across) {
        const auto [x, y] = turnedPoint(rotation, kAnchor, kAnchor, along, across);
        return b.isInk(x, y);
    }

    static constexpr int kSize = 1400;
    static constexpr int kAnchor = 700;
    std::vector<ScreenLine> lines;
};

// Every module's dots against zint's module at each module size and rotation; the quiet
// zone stays white, the ink is exactly the dark modules, and the record takes the extent.
TEST_F(MatrixCodeTest, ModulesMatchZintInEveryRotation) {
    for (const Case& c : kCases) {
        SCOPED_TRACE("zint " + c.zint + " -d '" + c.data + "'");
        const auto rows = zintDump(c.zint + " -d '" + c.data + "'");
        ASSERT_FALSE(rows.empty()) << "zint is needed (scripts/install-deps)";
        for (int module : {1, 2, 3}) {
            for (int rotation = 0; rotation < 4; ++rotation) {
                Figure& f = figure(c, module, rotation);
                const Bitmap b = draw(f);
                ASSERT_TRUE(lines.empty()) << "module " << module << " rotation " << rotation;
                const BarcodeRecord r = BarcodeRecord::decode(f.record);
                const barcode::ModuleMatrix m = EncodeBarcode(f, context).matrix;
                ASSERT_EQ(m.rows, static_cast<int>(rows.size()));
                const int w = module, h = c.type == barcode::kPdf417 ? 3 * module : module;
                const int quiet = (c.type == barcode::kQrCode ? 4 : c.type == barcode::kDataMatrix ? 1 : 2) * module;
                EXPECT_EQ(static_cast<int>(r.barLength), 2 * quiet + m.columns * w);
                EXPECT_EQ(r.height, 2 * quiet + m.rows * h);
                int dark = 0;
                for (int row = 0; row < m.rows; ++row) {
                    const std::string& expected = rows[static_cast<std::size_t>(row)];
                    ASSERT_GE(static_cast<int>(expected.size()), m.columns);
                    EXPECT_EQ(expected.find('1', static_cast<std::size_t>(m.columns)), std::string::npos);
                    for (int column = 0; column < m.columns; ++column) {
                        const bool want = expected[static_cast<std::size_t>(column)] == '1';
                        dark += want;
                        // Both corners of the module's block, so a block shifted by a dot shows.
                        const int a = quiet + column * w, x = quiet + row * h;
                        ASSERT_EQ(inkAt(b, rotation, a, x), want) << "module " << module << " rotation " << rotation
                                                                  << " at " << column << "," << row;
                        ASSERT_EQ(inkAt(b, rotation, a + w - 1, x + h - 1), want);
                    }
                }
                EXPECT_EQ(b.countInk(), dark * w * h);
                for (int i = 0; i < m.columns * w; i += w) {
                    EXPECT_FALSE(inkAt(b, rotation, quiet + i, quiet - 1));
                    EXPECT_FALSE(inkAt(b, rotation, quiet + i, quiet + m.rows * h));
                }
            }
        }
    }
}

// Data a symbology cannot take, and module sizes out of range: the red cross on the screen
// only, 5 dots in from the symbol's corners. A linear symbol's zero symbol is still drawn; a 2D
// one draws nothing and is crossed over a 64-dot placeholder square.
TEST_F(MatrixCodeTest, InvalidDataIsCrossed) {
    const struct {
        Case c;
        unsigned length;  // along the symbol
        int across;       // the symbol's extent across: its height, or the placeholder's side
    } invalid[] = {
        {{8, "12345678901", 0, ""}, 190, 24},     // EAN-13 with a digit missing: 95 modules of 2 dots
        {{28, "[01]09501101530004", 0, ""}, 64, 64},  // wrong GS1 check digit
        {{27, "[99]", 0, ""}, 64, 64},                // an element string without its data
        {{28, "", 0, ""}, 64, 64},                    // nothing to encode
    };
    for (const auto& [c, length, across] : invalid) {
        Figure& f = figure(c, 2, 1);
        EXPECT_EQ(draw(f).countInk() > 0, c.type < barcode::kQrCode) << c.data;
        ASSERT_EQ(lines.size(), 2u) << c.data;
        EXPECT_EQ(BarcodeRecord::decode(f.record).barLength, length);
        // Rotation 1 turns the cross as it turns bars: along runs down (+y), across towards -x.
        const int end = static_cast<int>(length) - 10;
        EXPECT_EQ((std::vector{lines[0].x1, lines[0].y1, lines[0].x2, lines[0].y2, lines[1].x1, lines[1].y1}),
                  (std::vector{kAnchor - 5, kAnchor + 5, kAnchor - (across - 10), kAnchor + end, kAnchor - (across - 10),
                               kAnchor + 5}))
            << c.data;
        EXPECT_EQ(lines[0].penWidth, 3);
    }
    EXPECT_TRUE(barcode::encodeBarcode({27, std::string(8000, '7'), 1, 4}).invalid);
    for (int module : {0, 17}) EXPECT_TRUE(barcode::encodeBarcode({27, "A", module, 0}).invalid) << module;
}

// The 2D types have no printer code, and a type beyond the table is an invalid figure that
// takes nothing else with it.
TEST_F(MatrixCodeTest, TableAndLabelFiles) {
    for (int type : {27, 28, 29}) EXPECT_STREQ(barcode::symbology(type).printerCode, "") << type;

    for (int type : {28, 45}) {
        LabelDocument saved;
        BarcodeRecord b;
        b.type = type, b.x = 20, b.y = 30, b.narrow = 3, b.wide = 0, b.data = "\"LOT 42\"";
        saved.figures.appendFigure(b.encode(), FigureKind::Barcode);
        saved.figures.appendFigure(RectangleRecord{5, 6, 7, 8, 0}.encode(), FigureKind::Rectangle);
        LabelDocument read;
        ASSERT_TRUE(decodeLabelFile(encodeLabelFile(saved), read));
        ASSERT_EQ(read.figures.size(), 2u);
        EXPECT_EQ(read.figures.front().record, saved.figures.front().record) << type;
        EXPECT_EQ(read.figures.back().kind, FigureKind::Rectangle);
        context.document = &read;
        const Bitmap canvas = draw(read.figures.front());
        EXPECT_EQ(lines.empty(), type == 28) << type;  // the unknown type is crossed
        EXPECT_EQ(canvas.countInk() > 0, type == 28) << type;
    }
}

}  // namespace
}  // namespace tavrin::test
