#pragma once
// What the virtual printer keeps in its memory: forms (their lines), graphics (PCX bytes)
// and fonts (label font bytes), by name. With a folder it survives restarts.
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavrin::sim {

using Bytes = std::vector<std::uint8_t>;

class PrinterMemory {
public:
    static constexpr std::uint32_t kCapacity = 512 * 1024;  // bytes of object memory

    // Without a folder the memory lasts as long as the process.
    explicit PrinterMemory(std::optional<std::filesystem::path> folder = std::nullopt);

    std::map<std::string, std::vector<std::string>> forms;
    std::map<std::string, Bytes> graphics;
    std::map<std::string, Bytes> fonts;
    std::string activeForm;

    std::uint32_t formBytes() const;
    std::uint32_t graphicsBytes() const;
    std::uint32_t fontBytes() const;
    std::uint32_t freeBytes() const;

    void erase();  // everything, as the M command does
    // Writes the memory to its folder (no-op without one). False when that fails.
    bool save() const;

private:
    void load();
    std::optional<std::filesystem::path> folder_;
};

}  // namespace tavrin::sim
