#include "printer/translation.h"

#include "document/app_config.h"

#include <iconv.h>

#include <fstream>

namespace tavrin {

namespace {

Translation::Table identityTable() {
    Translation::Table table{};
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::uint8_t>(0x80 + i);
    return table;
}

// Both code pages are single-byte sets, so the conversion is a table: each upper byte is
// converted on its own, and one the other set lacks becomes '?', as the system's own
// conversion does.
bool codePageTable(const std::string& from, const std::string& to, Translation::Table& table) {
    iconv_t converter = iconv_open(to.c_str(), from.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) return false;
    for (std::size_t i = 0; i < table.size(); ++i) {
        char in = static_cast<char>(0x80 + i);
        char out[8] = {};
        char* inPointer = &in;
        char* outPointer = out;
        std::size_t inLeft = 1;
        std::size_t outLeft = sizeof out;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        const std::size_t result = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
        const bool single = result != static_cast<std::size_t>(-1) && inLeft == 0 &&
                            sizeof out - outLeft == 1;
        table[i] = single ? static_cast<std::uint8_t>(out[0]) : static_cast<std::uint8_t>('?');
    }
    iconv_close(converter);
    return true;
}

std::string throughTable(std::string_view text, const Translation::Table& table) {
    std::string out(text);
    for (char& c : out) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte >= 0x80) c = static_cast<char>(table[byte - 0x80]);
    }
    return out;
}

}  // namespace

Translation::Translation() {
    if (!codePageTable(ansi_, oem_, codePageOut_) || !codePageTable(oem_, ansi_, codePageIn_)) {
        codePageOut_ = identityTable();
        codePageIn_ = identityTable();
    }
    useCodePageTables();
}

bool Translation::setCodePages(const std::string& ansi, const std::string& oem) {
    Table out{};
    Table in{};
    if (!codePageTable(ansi, oem, out) || !codePageTable(oem, ansi, in)) return false;
    ansi_ = ansi;
    oem_ = oem;
    codePageOut_ = out;
    codePageIn_ = in;
    if (choice_ == kTranslationAnsiToOem) useCodePageTables();
    return true;
}

void Translation::useCodePageTables() {
    choice_ = kTranslationAnsiToOem;
    out_ = codePageOut_;
    in_ = codePageIn_;
}

int Translation::load(int choice, const std::vector<std::filesystem::path>& files) {
    const int count = kTranslationFirstFile + static_cast<int>(files.size());
    if (choice < 0 || choice >= count || choice == kTranslationAnsiToOem) {
        useCodePageTables();
        return choice_;
    }
    if (choice == kTranslationNone) {
        choice_ = kTranslationNone;
        out_ = identityTable();
        in_ = identityTable();
        return choice_;
    }
    std::ifstream file(files[static_cast<std::size_t>(choice - kTranslationFirstFile)], std::ios::binary);
    Table out{};
    Table in{};
    // A short file would leave part of a table undefined; it is treated as unreadable.
    if (!file.read(reinterpret_cast<char*>(out.data()), out.size()) ||
        !file.read(reinterpret_cast<char*>(in.data()), in.size())) {
        useCodePageTables();
        return choice_;
    }
    choice_ = choice;
    out_ = out;
    in_ = in;
    return choice_;
}

std::vector<std::string> Translation::choiceNames(const std::vector<std::filesystem::path>& files) {
    std::vector<std::string> names = {"ANSI to OEM", "None"};
    for (const auto& file : files) names.push_back("File: " + file.filename().string());
    return names;
}

std::string Translation::toPrinter(std::string_view screenText) const { return throughTable(screenText, out_); }
std::string Translation::toScreen(std::string_view printerText) const { return throughTable(printerText, in_); }

std::uint8_t Translation::toPrinter(std::uint8_t byte) const { return byte < 0x80 ? byte : out_[byte - 0x80]; }
std::uint8_t Translation::toScreen(std::uint8_t byte) const { return byte < 0x80 ? byte : in_[byte - 0x80]; }

bool configureCodePages(Translation& translation, const AppConfig& config) {
    return translation.setCodePages(config.ansiCodePage.empty() ? "CP1251" : config.ansiCodePage,
                                    config.oemCodePage.empty() ? "CP866" : config.oemCodePage);
}

}  // namespace tavrin
