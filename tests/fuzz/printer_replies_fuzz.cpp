// Whatever a printer may answer: the input is a script of replies, one per command line the
// program sends, split at "\x1e\x1e". A few exchanges chosen by the first bytes run over the
// real link and storage code (lists, memory, active form, variables, retrieved forms with
// their graphics and fonts), then the label they built is drawn and written back.
#include <deque>

#include "fuzz/fuzz_support.h"
#include "printer/form_writer.h"
#include "printer/storage_operations.h"
#include "render/canvas.h"
#include "support/fake_printer.h"

using namespace tavrin;

namespace {

// Each command line the host finishes gets the next reply of the script.
class ScriptedTransport : public test::FakeTransport {
public:
    explicit ScriptedTransport(std::span<const std::uint8_t> script) {
        static constexpr std::string_view kSeparator = "\x1e\x1e";
        std::string_view rest(reinterpret_cast<const char*>(script.data()), script.size());
        for (;;) {
            const std::size_t at = rest.find(kSeparator);
            replies_.emplace_back(rest.substr(0, at));
            if (at == std::string_view::npos) break;
            rest.remove_prefix(at + kSeparator.size());
        }
    }
    bool writeByte(std::uint8_t byte) override {
        if (byte == '\n') {
            if (lineLength_ > 0 && !replies_.empty()) arrive(replies_.front()), replies_.pop_front();
            lineLength_ = 0;
        } else if (byte != '\r') {
            ++lineLength_;
        }
        return true;
    }

private:
    std::deque<std::string> replies_;
    std::size_t lineLength_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    const std::uint8_t first = input.byte(), second = input.byte();
    ScriptedTransport transport(input.rest());
    QuietLinkUi ui;
    // Each look at the fake clock costs a millisecond, so silence ends a wait after a few looks.
    test::FakeClock clock;
    LinkTiming timing = clock.timing(transport);
    timing.silenceLimit = std::chrono::milliseconds(8);
    PrinterLink link(transport, ui, timing);
    PrinterStorage storage(link);
    LabelDocument label;
    label.figures.appendFigure(TextRecord{.x = 10, .y = 10, .font = 2, .data = "\"A\"V00"}.encode(),
                               FigureKind::Text);

    for (const std::uint8_t op : {first, second}) {
        switch (op % 9) {
        case 0: storage.receiveList(op / 9 % 4); break;
        case 1: storage.listGraphicsAndFonts(); break;
        case 2: storage.receiveActiveForm(); break;
        case 3: storage.receiveVariables(label); break;
        case 4: storage.retrieveForm("FORM", label); break;
        case 5: storage.selectActiveForm("FORM", label); break;
        case 6: storage.storeCurrentLabel(label, "LABEL"); break;
        case 7: {
            // The memory query: one line of four numbers.
            std::string line;
            if (link.openPort() && link.writeText("\r\nUM\r\n")) link.readLine(line, 32);
            link.closePort();
            if (line.size() >= 32) std::abort();
            break;
        }
        default: {
            std::string line;
            if (link.openPort() && link.writeText("\r\nTI\r\n")) link.readLine(line, 31);
            link.closePort();
            break;
        }
        }
        if (storage.activeFormName().size() > 15) std::abort();
    }

    const RenderContext context = fuzz::renderContext(&label);
    renderPrintImage(label, context);
    fuzz::checkLabelFileRoundTrip(label);
    BufferSink form;
    writeFormFile(label, form);
    writePrintLabel(label, {}, form);
    return 0;
}
