// The virtual printer's command parser on any byte stream a host may send: stored forms,
// graphics and fonts, immediate jobs, values, queries. Afterwards it is asked for what it
// holds, which every reply path and the printing of stored forms must survive.
#include "fuzz/fuzz_support.h"
#include "virtual_printer.h"

using namespace tavrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::PrinterMemory memory;
    std::size_t replied = 0;
    int printed = 0;
    sim::VirtualPrinter printer(
        memory, &fuzz::residentFonts(), [&](std::span<const std::uint8_t> bytes) { replied += bytes.size(); },
        [&](const sim::PrintedLabel&) { ++printed; });
    printer.setClock([] { return std::time_t{1772719629}; });

    printer.receive(std::span(data, size));
    printer.receive("\r\n\r\nUF\r\nUG\r\nUE\r\nUM\r\nFA\r\nVI\r\nTI\r\n");
    for (const auto& [name, lines] : memory.forms) {
        printer.receive("\r\nFI\"" + name + "\"\r\n");
        printer.receive("\r\nFR\"" + name + "\"\r\n");
    }
    return 0;
}
