#pragma once
// The printer's line-oriented command language, written line by line into a ByteSink.
// The three streams built from these lines (form file, stored form, immediate print) are
// in form_writer.h; this file holds the lines they share.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "document/figure_list.h"
#include "document/label_document.h"
#include "link/byte_sink.h"

namespace tavrin {

// How a Picture's GG line ends: stored forms end it with LF alone.
enum class PictureLineEnd { CrLf, Lf };

// Single lines, each with its line end. They copy text bytes as they are: data fields
// already hold the printer's field syntax and character set.
std::string variableDefinitionLine(int slot, const Variable& variable);
std::string counterDefinitionLine(int slot, const Counter& counter);
// "D..\r\nS..\r\nI..\r\n"; the speed value differs between form files and the printer.
std::string numberLines(const LabelSetup& setup, unsigned speedValue);
std::string directionLine(const LabelSetup& setup);
std::string formatLines(const LabelSetup& setup);
// The Q line and the q line: the width piece's leading CR LF ends the length line.
std::string lengthAndWidthLines(const LabelSetup& setup);
std::string referencePointLine(const LabelSetup& setup);
// The command line of one figure; nothing for Font entries and for a figure the printer
// could not be told about (a barcode type outside the table, a text font that names no
// font).
std::optional<std::string> figureLine(const Figure& figure, const FigureList& figures,
                                      PictureLineEnd pictureEnd = PictureLineEnd::CrLf);

// The 128-byte PCX header the printer expects before a downloaded picture's rows.
std::array<std::uint8_t, 128> pcxHeaderForPicture(int width, int height, unsigned bytesPerRow);

// Sends to a sink and remembers whether it refused: once it has, nothing more is sent and
// no more pauses are made, so a stream stops where the link gave up.
class CommandWriter {
public:
    explicit CommandWriter(ByteSink& sink) : sink_(sink) {}

    bool ok() const { return ok_; }
    bool send(std::string_view text);
    bool send(std::span<const std::uint8_t> bytes);
    void pause(PrinterPause pause);
    void progress(std::string_view text);

    // Definition lines of every defined variable, then of every defined counter.
    bool writeVarCounterLines(const LabelDocument& document);
    // One line per figure in drawing order.
    bool writeFigureLines(const FigureList& figures, PictureLineEnd pictureEnd);

private:
    ByteSink& sink_;
    bool ok_ = true;
};

}  // namespace tavrin
