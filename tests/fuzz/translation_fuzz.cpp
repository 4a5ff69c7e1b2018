// A translation table file, and the code page names the configuration may give: loaded,
// then used both ways on every byte.
#include "document/app_config.h"
#include "fuzz/fuzz_support.h"
#include "printer/translation.h"

using namespace tavrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path table = fuzz::scratchFile("FUZZ.TRN");
    fuzz::Input input(data, size);
    const int choice = input.range(-1, 3);
    AppConfig config;
    config.ansiCodePage = input.text(64);
    config.oemCodePage = input.text(64);
    fuzz::writeScratch(table, input.rest());

    Translation translation;
    const bool known = configureCodePages(translation, config);
    if (!known && (translation.ansiCodePage() != "CP1251" || translation.oemCodePage() != "CP866")) std::abort();
    const int inForce = translation.load(choice, {table});
    if (inForce < 0 || inForce > 2) std::abort();

    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string out = translation.toPrinter(all);
    const std::string back = translation.toScreen(out);
    if (out.size() != all.size() || back.size() != all.size()) std::abort();
    // Plain ASCII is never translated.
    if (out.compare(0, 128, all, 0, 128) != 0) std::abort();
    (void)Translation::choiceNames({table});
    return 0;
}
