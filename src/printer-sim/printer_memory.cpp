#include "printer_memory.h"

#include <cctype>

#include "document/safe_file.h"

namespace tavrin::sim {

namespace fs = std::filesystem;

namespace {
// Object names are letters and digits, so they are safe as file names; anything else is
// hex-encoded so a hostile name can never leave the folder.
std::string fileNameFor(const std::string& name) {
    // A plain name may not begin with the encoding's own mark, or it would read back decoded.
    bool plain = !name.empty() && name[0] != 'x';
    for (unsigned char c : name) plain = plain && std::isalnum(c);
    if (plain) return name;
    std::string out = "x";
    static const char* hex = "0123456789abcdef";
    for (unsigned char c : name) {
        out += hex[c >> 4];
        out += hex[c & 15];
    }
    return out;
}

std::string nameFor(const std::string& file) {
    if (file.empty() || file[0] != 'x' || file.size() % 2 == 0) return file;
    const auto hexValue = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    };
    std::string out;
    for (std::size_t i = 1; i + 1 < file.size(); i += 2) {
        const int high = hexValue(file[i]);
        const int low = hexValue(file[i + 1]);
        if (high < 0 || low < 0) return file;  // not ours: a file someone put there
        out += static_cast<char>(high * 16 + low);
    }
    return out;
}

bool writeObjects(const fs::path& dir, const std::map<std::string, Bytes>& objects) {
    fs::create_directories(dir);
    for (const auto& entry : fs::directory_iterator(dir)) fs::remove(entry.path());
    for (const auto& [name, bytes] : objects)
        if (!replaceFileContents(dir / fileNameFor(name), bytes)) return false;
    return true;
}

std::map<std::string, Bytes> readObjects(const fs::path& dir) {
    std::map<std::string, Bytes> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (auto bytes = readWholeFile(entry.path())) out[nameFor(entry.path().filename().string())] = *bytes;
    return out;
}

Bytes joinLines(const std::vector<std::string>& lines) {
    Bytes out;
    for (const auto& line : lines) {
        out.insert(out.end(), line.begin(), line.end());
        out.push_back('\n');
    }
    return out;
}

std::vector<std::string> splitLines(const Bytes& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (std::uint8_t b : bytes) {
        if (b == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(b);
        }
    }
    return lines;
}
}  // namespace

PrinterMemory::PrinterMemory(std::optional<fs::path> folder) : folder_(std::move(folder)) { load(); }

std::uint32_t PrinterMemory::formBytes() const {
    std::uint32_t n = 0;
    for (const auto& [name, lines] : forms)
        for (const auto& line : lines) n += static_cast<std::uint32_t>(line.size() + 2);
    return n;
}

std::uint32_t PrinterMemory::graphicsBytes() const {
    std::uint32_t n = 0;
    for (const auto& [name, bytes] : graphics) n += static_cast<std::uint32_t>(bytes.size());
    return n;
}

std::uint32_t PrinterMemory::fontBytes() const {
    std::uint32_t n = 0;
    for (const auto& [name, bytes] : fonts) n += static_cast<std::uint32_t>(bytes.size());
    return n;
}

std::uint32_t PrinterMemory::freeBytes() const {
    const std::uint32_t used = formBytes() + graphicsBytes() + fontBytes();
    return used >= kCapacity ? 0 : kCapacity - used;
}

void PrinterMemory::erase() {
    forms.clear();
    graphics.clear();
    fonts.clear();
    activeForm.clear();
}

bool PrinterMemory::save() const {
    if (!folder_) return true;
    try {
        std::map<std::string, Bytes> formBytesByName;
        for (const auto& [name, lines] : forms) formBytesByName[name] = joinLines(lines);
        const std::string active = activeForm;
        return writeObjects(*folder_ / "forms", formBytesByName) && writeObjects(*folder_ / "graphics", graphics) &&
               writeObjects(*folder_ / "fonts", fonts) &&
               replaceFileContents(*folder_ / "active-form", Bytes(active.begin(), active.end()));
    } catch (const fs::filesystem_error&) {
        return false;
    }
}

void PrinterMemory::load() {
    if (!folder_) return;
    for (const auto& [name, bytes] : readObjects(*folder_ / "forms")) forms[name] = splitLines(bytes);
    graphics = readObjects(*folder_ / "graphics");
    fonts = readObjects(*folder_ / "fonts");
    if (auto active = readWholeFile(*folder_ / "active-form")) activeForm.assign(active->begin(), active->end());
}

}  // namespace tavrin::sim
