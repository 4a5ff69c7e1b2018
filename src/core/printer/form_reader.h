#pragma once
// Reads printer form lines back into a label: figure lines become figures appended in
// the printer's order, setup lines change the label setup, definition lines set variable
// and counter slots. A line that is not understood, or whose values fall outside the
// printer's limits, changes nothing; there are no errors to report.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/figure_list.h"
#include "document/label_document.h"

namespace tavrin {

// What the reader learns about a picture named in a GG line. The block may be missing
// (the printer lists the picture but its data is fetched later); width and height are
// then 0 until it is.
struct ResolvedPicture {
    PictureBlockRef block;
    int width = 0;
    int height = 0;
};
// Nothing when the name is unknown: the GG line then adds nothing.
using PictureResolver = std::function<std::optional<ResolvedPicture>(const std::string& name)>;

class FormReader {
public:
    explicit FormReader(LabelDocument& document, PictureResolver resolver = {})
        : document_(document), resolver_(std::move(resolver)) {}

    // Parses one line (without its line end) and applies it. True when it changed the label.
    bool readFormLine(std::string_view line);

    // Knows the pictures of a printer's graphics list, without their data. Names match
    // exactly once each entry's surrounding blanks are removed.
    static PictureResolver nameListResolver(std::vector<std::string> graphicsNames);

private:
    bool readText(std::string_view line);
    bool readBarcode(std::string_view line);
    bool readDefinition(std::string_view line, bool counter);
    bool readPicture(std::string_view line);
    bool readLineCommand(std::string_view line);
    bool readLength(std::string_view line);
    bool readBox(std::string_view line);

    LabelDocument& document_;
    PictureResolver resolver_;
};

}  // namespace tavrin
