#include "document/config_file.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>

#include "document/safe_file.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

// Optional sign, then leading digits; saturates at the int range instead of overflowing.
int parseNumber(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

int clampRange(int value, int low, int high) { return value < low ? low : value > high ? high : value; }
// As an unsigned comparison would: a negative value is "above" any limit.
int clampUnsigned(int value, int high) { return value < 0 || value > high ? high : value; }
int flag(int value) { return value != 0 ? 1 : 0; }

std::string upperCased(std::string text) {
    for (auto& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

void applySetting(const std::string& key, const std::string& value, LabelSetup& setup, AppConfig& config,
                  int translationChoiceCount) {
    const int n = parseNumber(value);
    if (key == "WIDTH") setup.width = clampRange(n, 80, 608);
    else if (key == "LENGTH") setup.length = clampRange(n, 80, 1640);
    else if (key == "LEFTMARGIN") setup.leftMargin = clampRange(n, -608, 608);
    else if (key == "TOPMARGIN") setup.topMargin = clampRange(n, -1640, 1640);
    else if (key == "OFFSET") setup.offset = clampRange(n, -80, 80);
    else if (key == "ORIENTATION") setup.orientation = flag(n);
    else if (key == "DARKNESS") setup.darkness = clampUnsigned(n, 15);
    else if (key == "SPEED") setup.speed = clampUnsigned(n, 6);
    else if (key == "LANGUAGE") setup.language = n >= 0 && n <= 3 ? n : 0;
    else if (key == "LABELGAP") setup.labelGap = clampUnsigned(n, 100);
    else if (key == "PAPERTYPE") setup.paperType = clampUnsigned(n, 2);
    else if (key == "PORT") config.port = n >= 1 && n <= kPortCount ? n - 1 : kPortCount - 1;  // 0 is COM8
    else if (key == "BAUDS") config.baudIndex = baudIndexForRate(n);
    else if (key == "PROTOCOL") config.protocol = n;
    else if (key == "SHOWGRID") config.showGrid = flag(n);
    else if (key == "GRIDSTEP") config.gridStep = clampRange(n, 4, 40);
    else if (key == "TOOLBARPOS") config.toolbarLeft = flag(n);
    else if (key == "DIRECTGRAPHICS") config.directGraphics = flag(n);
    else if (key == "PICTURENUMBER") config.pictureNumber = n < 0 ? 9999 : n % 10000;
    else if (key == "TRANSLATION") config.translation = n >= 0 && n < translationChoiceCount ? n : 0;
    else if (key == "DATEFORMAT") setup.dateFormat = value.substr(0, kFormatFieldWidth - 1);
    else if (key == "TIMEFORMAT") setup.timeFormat = value.substr(0, kFormatFieldWidth - 1);
    else if (key == "WORKDIRECTORY") config.workDirectory = value;
    else if (key == "ANSICODEPAGE") config.ansiCodePage = value;
    else if (key == "OEMCODEPAGE") config.oemCodePage = value;
    else if (key.size() == 10 && key.starts_with("COM") && key.ends_with("DEVICE") && key[3] >= '1' &&
             key[3] < '1' + kPortCount)
        config.portDevices[static_cast<std::size_t>(key[3] - '1')] = value;
}

void applyLine(const std::string& line, LabelSetup& setup, AppConfig& config, int translationChoiceCount) {
    const auto firstEquals = line.find('=');
    if (firstEquals == std::string::npos) return;
    const auto lastEquals = line.rfind('=');
    applySetting(upperCased(line.substr(0, firstEquals)), line.substr(lastEquals + 1), setup, config,
                 translationChoiceCount);
}

void appendNumber(std::string& out, const char* key, int value) {
    out += key;
    out += " = ";
    out += std::to_string(value);
    out += "\r\n";
}

// A line break inside a value (a folder name may hold one) would start a line of its own
// when read back; the reader drops such bytes anyway, so they are left out.
void appendText(std::string& out, const char* key, const std::string& value) {
    out += key;
    out += " = ";
    for (const char c : value) {
        if (c != '\r' && c != '\n') out += c;
    }
    out += "\r\n";
}

}  // namespace

bool readConfiguration(const fs::path& path, LabelSetup& setup, AppConfig& config, int translationChoiceCount) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::string line;
    for (;;) {
        const int c = std::getc(file);
        const bool endOfLine = c == EOF || c == '\n';
        if (!endOfLine && c > ' ') line += static_cast<char>(c);
        if (endOfLine || line.size() == kConfigLineLimit) {
            if (!line.empty()) applyLine(line, setup, config, translationChoiceCount);
            line.clear();
        }
        if (c == EOF) break;
    }
    std::fclose(file);
    return true;
}

std::string formatConfiguration(const LabelSetup& setup, const AppConfig& config) {
    std::string out;
    appendNumber(out, "WIDTH", setup.width);
    appendNumber(out, "LENGTH", setup.length);
    appendNumber(out, "LEFT MARGIN", setup.leftMargin);
    appendNumber(out, "TOP MARGIN", setup.topMargin);
    appendNumber(out, "OFFSET", setup.offset);
    appendNumber(out, "ORIENTATION", setup.orientation);
    appendNumber(out, "DARKNESS", setup.darkness);
    appendNumber(out, "SPEED", setup.speed);
    appendNumber(out, "LANGUAGE", setup.language);
    appendNumber(out, "LABEL GAP", setup.labelGap);
    appendNumber(out, "PAPER TYPE", setup.paperType);
    appendNumber(out, "PORT", config.port + 1);
    appendNumber(out, "BAUDS", baudRate(config.baudIndex));
    appendNumber(out, "PROTOCOL", config.protocol);
    appendNumber(out, "DIRECT GRAPHICS", config.directGraphics);
    appendNumber(out, "PICTURE NUMBER", config.pictureNumber);
    appendNumber(out, "TRANSLATION", config.translation);
    appendNumber(out, "SHOW GRID", config.showGrid);
    appendNumber(out, "GRID STEP", config.gridStep);
    appendNumber(out, "TOOLBAR POS", config.toolbarLeft);
    appendText(out, "DATE FORMAT", setup.dateFormat);
    appendText(out, "TIME FORMAT", setup.timeFormat);
    appendText(out, "WORK DIRECTORY", config.workDirectory);
    // Devices of the ports and the code pages come last and only when set, so a file
    // without them reads the same everywhere and readers that do not know the keys skip them.
    for (int port = 0; port < kPortCount; ++port) {
        const std::string& device = config.portDevices[static_cast<std::size_t>(port)];
        if (!device.empty()) appendText(out, ("COM" + std::to_string(port + 1) + " DEVICE").c_str(), device);
    }
    if (!config.ansiCodePage.empty()) appendText(out, "ANSI CODE PAGE", config.ansiCodePage);
    if (!config.oemCodePage.empty()) appendText(out, "OEM CODE PAGE", config.oemCodePage);
    return out;
}

Result writeConfiguration(const fs::path& path, const LabelSetup& setup, const AppConfig& config) {
    if (path.empty()) return Result::failure(FailureKind::CannotWrite, "No folder for the settings ($HOME is not set)");
    std::error_code ec;
    if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
    return replaceFileContents(path, formatConfiguration(setup, config));
}

}  // namespace tavrin
