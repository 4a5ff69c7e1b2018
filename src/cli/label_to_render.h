#pragma once
// What both ways of rendering (one image, or a whole run in one process) read alike: the
// label, the printer's resident fonts, the clock and the drawing options.
#include <ctime>
#include <string>

#include "options.h"
#include "standard_streams.h"
#include "document/label_document.h"
#include "render/canvas.h"
#include "render/render_context.h"
#include "render/resident_font.h"

namespace tavrin::cli {

struct LabelRenderOptions {
    std::string input;
    bool selectAll = false;
    bool fixedClock = false;
    std::tm now{};
    CanvasOptions canvas;
};

// --grid, --grid-step, --no-margins, --select-all, --now and the label operand; empty, or
// what is wrong with the command line.
std::string readLabelRenderOptions(const Arguments& arguments, LabelRenderOptions& out);

// A label ready to render; its context points into it, so it stays where it was made.
struct LabelToRender {
    LabelDocument document;
    ResidentFonts fonts;
    RenderContext context;
    LabelToRender() = default;
    LabelToRender(const LabelToRender&) = delete;
    LabelToRender& operator=(const LabelToRender&) = delete;
};

// Reads the label (a file or standard input, through `holder`) and the resident fonts; empty,
// or the failure to report.
std::string loadLabelToRender(const LabelRenderOptions& options, TemporaryFile& holder, LabelToRender& out);

}  // namespace tavrin::cli
