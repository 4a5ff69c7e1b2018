#pragma once
// Character translation between the screen's character set and the printer's. Label text
// is held in the printer's set; the dialogs translate when they take text from the user
// and when they show it. Nothing is translated on the wire.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

struct AppConfig;

inline constexpr int kTranslationAnsiToOem = 0;
inline constexpr int kTranslationNone = 1;
inline constexpr int kTranslationFirstFile = 2;
// A table file: 128 bytes for 0x80..0xFF going to the printer, then 128 coming back.
inline constexpr std::size_t kTranslationFileSize = 256;

class Translation {
public:
    using Table = std::array<std::uint8_t, 128>;

    // Starts as "ANSI to OEM" between cp1251 and cp866.
    Translation();

    // The code pages of choice 0, as iconv names them; false (and no change) when iconv
    // does not know them.
    bool setCodePages(const std::string& ansi, const std::string& oem);
    const std::string& ansiCodePage() const { return ansi_; }
    const std::string& oemCodePage() const { return oem_; }

    // Applies a choice from the list choiceNames(files) gives: a choice past the end of
    // the list, or a file that cannot be read whole, falls back to "ANSI to OEM" without a
    // message. Returns the choice in force.
    int load(int choice, const std::vector<std::filesystem::path>& files);
    int choice() const { return choice_; }

    // "ANSI to OEM", "None", then "File: " and the file name of each table.
    static std::vector<std::string> choiceNames(const std::vector<std::filesystem::path>& files);

    std::string toPrinter(std::string_view screenText) const;
    std::string toScreen(std::string_view printerText) const;
    std::uint8_t toPrinter(std::uint8_t byte) const;
    std::uint8_t toScreen(std::uint8_t byte) const;

private:
    void useCodePageTables();

    int choice_ = kTranslationAnsiToOem;
    std::string ansi_ = "CP1251";
    std::string oem_ = "CP866";
    Table codePageOut_{};
    Table codePageIn_{};
    Table out_{};
    Table in_{};
};

// Sets the code pages the configuration names, each empty one keeping its default
// (cp1251, cp866); false, and the defaults kept, when iconv does not know them.
bool configureCodePages(Translation& translation, const AppConfig& config);

}  // namespace tavrin
