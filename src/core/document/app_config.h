#pragma once
// The editor's own settings (serial link, printing mode, picture counter, translation,
// grid, toolbar, work directory), kept between runs in ZREDITW.CFG with the label setup.
#include <array>
#include <string>

namespace tavrin {

// Serial rates offered by the printer, by baud index.
inline constexpr std::array<int, 7> kBaudRates = {2400, 4800, 9600, 19200, 38400, 57600, 115200};
inline constexpr int kDefaultBaudIndex = 2;  // 9600: what an unknown rate falls back to
inline constexpr int kPortCount = 8;          // "Com1".."Com8"

struct AppConfig {
    int port = 0;            // 0..7 for "Com1".."Com8"
    int baudIndex = 6;       // index into kBaudRates; 6 is 115200
    int protocol = 0;        // 0 "Hardware", 1 "Xon / Xoff"
    int directGraphics = 0;  // 1 sends fonts and pictures as rasters instead of using stored ones
    int pictureNumber = 1;   // counter for default picture names, 0..9999
    int translation = 0;     // 0 ANSI/OEM, 1 none, 2.. the translation files in list order
    int showGrid = 0;
    int gridStep = 8;        // dots
    int toolbarLeft = 0;
    std::string workDirectory{};  // initial folder of the file dialogs; empty at first
    // The device each port opens, by port index ("COM1 DEVICE" ... "COM8 DEVICE" in the
    // file, written only when set); empty keeps the port's default device.
    std::array<std::string, kPortCount> portDevices{};
    // The iconv code pages of the "ANSI to OEM" translation ("ANSI CODE PAGE",
    // "OEM CODE PAGE", written only when set); empty keeps cp1251 and cp866.
    std::string ansiCodePage{};
    std::string oemCodePage{};

    bool operator==(const AppConfig&) const = default;
};

// The rate of a baud index; an index out of range gives the rate of kDefaultBaudIndex.
int baudRate(int baudIndex);
// The index of a rate; a rate that is not in the table gives kDefaultBaudIndex.
int baudIndexForRate(int rate);

}  // namespace tavrin
