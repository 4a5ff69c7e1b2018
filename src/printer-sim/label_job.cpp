#include "label_job.h"

#include <algorithm>
#include <cctype>

#include "printer/form_reader.h"
#include "printer/line_scanner.h"
#include "render/canvas.h"
#include "render/render_context.h"

namespace tavrin::sim {


bool scanNumbers(std::string_view line, std::size_t at, std::string_view kinds, int* out, bool trailingComma) {
    LineScanner scan(line, at);
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        const bool withSign = kinds[k] == 's';
        LineScanner probe = scan;
        if (withSign && !probe.take('+')) probe.take('-');
        if (!std::isdigit(static_cast<unsigned char>(probe.peek()))) return false;
        out[k] = withSign ? scan.scanSigned() : static_cast<int>(scan.scanUnsigned());
        if (k + 1 < kinds.size() || trailingComma) {
            if (!scan.take(',')) return false;
        }
    }
    return scan.atEnd();
}

std::vector<SlotDefinition> definitionsOf(const std::vector<std::string>& lines) {
    LabelDocument scratch;
    FormReader reader(scratch);
    for (const auto& line : lines)
        if (!line.empty() && (line[0] == 'V' || line[0] == 'C')) reader.readFormLine(line);
    std::vector<SlotDefinition> out;
    for (int i = 0; i < kVariableCount; ++i)
        if (scratch.variables[static_cast<std::size_t>(i)].isDefined())
            out.push_back({false, i, scratch.variables[static_cast<std::size_t>(i)]});
    for (int i = 0; i < kCounterCount; ++i)
        if (scratch.counters[static_cast<std::size_t>(i)].isDefined())
            out.push_back({true, i, scratch.counters[static_cast<std::size_t>(i)]});
    return out;
}

std::optional<PcxPicture> pictureFromPcx(const Bytes& pcx) {
    if (pcx.size() < 128) return std::nullopt;
    const auto u16 = [&](std::size_t at) { return pcx[at] | (pcx[at + 1] << 8); };
    const int width = u16(8) - u16(4) + 1, height = u16(10) - u16(6) + 1;
    const int bytesPerLine = u16(66);
    if (width <= 0 || height <= 0 || bytesPerLine <= 0 || bytesPerLine > 255) return std::nullopt;
    PcxPicture picture;
    picture.width = width;
    picture.height = height;
    Bytes block = {1, static_cast<std::uint8_t>(bytesPerLine)};
    block.insert(block.end(), pcx.begin() + 128, pcx.end());
    picture.block = std::make_shared<PictureBlock>(PictureBlock{std::move(block)});
    return picture;
}

LabelDocument buildLabel(const std::vector<std::string>& lines, const std::vector<std::string>& values,
                         const PrinterMemory& memory) {
    LabelDocument label;
    FormReader reader(label, [&memory](const std::string& name) -> std::optional<ResolvedPicture> {
        const auto it = memory.graphics.find(name);
        if (it == memory.graphics.end()) return std::nullopt;
        const auto picture = pictureFromPcx(it->second);
        if (!picture) return std::nullopt;
        return ResolvedPicture{picture->block, picture->width, picture->height};
    });
    for (const auto& line : lines) {
        int point[2] = {0, 0};
        if (!line.empty() && line[0] == 'R' && scanNumbers(line, 1, "ss", point, false)) {
            label.setup.leftMargin = point[0];
            label.setup.topMargin = point[1];
        } else if (line.size() == 2 && line[0] == 'I' && line[1] >= '0' && line[1] <= '3') {
            label.setup.language = line[1] - '0';
        } else {
            reader.readFormLine(line);  // figures, setup lines and the V and C definitions
        }
    }

    // Values travel in definition order: variables by slot, then counters by slot.
    std::size_t next = 0;
    for (const auto& d : definitionsOf(lines)) {
        Variable& slot = d.counter ? label.counters[static_cast<std::size_t>(d.slot)]
                                   : label.variables[static_cast<std::size_t>(d.slot)];
        if (next < values.size()) slot.setValue(values[next]);
        ++next;
    }

    // Texts name stored fonts by letter; each font used becomes a soft font of the label,
    // numbered in the order the printer lists its fonts.
    int number = 5;
    for (const auto& [name, data] : memory.fonts) {
        if (name.empty() || data.size() < 3) continue;
        const int letter = std::toupper(static_cast<unsigned char>(name[0]));
        bool used = false;
        for (auto& f : label.figures) {
            if (f.kind != FigureKind::Text || recordField<&TextRecord::font>(f.record) != letter) continue;
            setRecordField<&TextRecord::font>(f.record, number + 1);
            used = true;
        }
        if (!used) continue;
        ++number;
        Figure& font = label.figures.appendFigure(
            FontRecord{data[0], data[2], static_cast<unsigned>(data.size()), static_cast<char>(letter)}.encode(),
            FigureKind::Font);
        font.fontData = data;
    }
    return label;
}

Bitmap printLabelImage(LabelDocument& label, const std::vector<Raster>& rasters, const ResidentFonts* fonts,
                       const std::tm& now) {
    RenderContext context;
    context.document = &label;
    context.residentFonts = fonts;
    context.now = [now] { return now; };
    Bitmap image = renderPrintImage(label, context);
    for (const auto& r : rasters) {
        Bitmap raster(r.bytesPerRow * 8, r.rows);
        for (int row = 0; row < r.rows; ++row)
            std::copy_n(r.data.begin() + static_cast<std::ptrdiff_t>(row) * r.bytesPerRow, r.bytesPerRow, raster.row(row));
        image.combine(raster, r.x + label.setup.leftMargin, r.y + label.setup.topMargin, CombineOp::And);
    }
    return image;
}

}  // namespace tavrin::sim
