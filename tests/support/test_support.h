#pragma once
// Small helpers shared by the suites: byte fixtures, temporary folders, files.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrin::test {

using Bytes = std::vector<std::uint8_t>;

// A fresh empty folder under the system's temporary folder, removed by the destructor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

Bytes readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const Bytes& bytes);
void writeFile(const std::filesystem::path& path, std::string_view text);
std::string readText(const std::filesystem::path& path);  // the whole file as a string

// Sets an environment variable (or removes it, given nullptr) until the end of the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Runs `query` as an ordinary user: directly, or as root in a child process that becomes
// "nobody", since root ignores permission bits. Returns what the query returned.
std::string asUnprivileged(const std::function<std::string()>& query);

// Runs a program with arguments (no shell) and collects its exit status and output.
struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};
// A program still running after a minute is killed (exit code 128 + SIGKILL), so a hang in
// it fails the test instead of stopping the run.
CommandResult runProgram(const std::string& program, const std::vector<std::string>& arguments);
// The same with standard input read from the file `input` (/dev/null when empty).
CommandResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& input);

// A program started without waiting for it, its output collected; the destructor kills it
// if it is still running.
class BackgroundProgram {
public:
    // Standard input is this process's unless `input` names a file; standard error goes on
    // the end of `errorLog` when one is named, so a program started again logs into the same file.
    BackgroundProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& input = {}, const std::filesystem::path& errorLog = {});
    ~BackgroundProgram();
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;
    int pid() const { return pid_; }
    // Waits for it to end, killing it after `grace`.
    CommandResult finish(std::chrono::milliseconds grace);

private:
    TempDir dir_;
    std::filesystem::path errorLog_;
    int pid_ = -1;
};

// Waits for a child process to end, for at most `grace`; then kills it and reaps it.
// Returns its wait status.
int waitOrKill(int pid, std::chrono::milliseconds grace);

// tavrin-printer-sim as a child process on a pseudo-terminal, printing into `output`,
// with extra options such as {"--fault", "silent"}; stopped when this goes out of scope.
class SimulatorProcess {
public:
    SimulatorProcess(const std::string& executable, const std::filesystem::path& output,
                     const std::vector<std::string>& options = {});
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    const std::string& device() const { return device_; }
    // With "--listen" among the options: the printer's network address, tcp://HOST:PORT.
    const std::string& address() const { return address_; }
    const std::filesystem::path& output() const { return output_; }
    int pid() const { return pid_; }
    std::filesystem::path label(int n) const;  // the n-th printed label, 1-based
    // Asks the simulator to end (SIGTERM) and waits a few seconds; true when it ended
    // cleanly by itself. One that does not is killed. The destructor stops it too.
    bool stop();
    // Kills it outright (SIGKILL), as a crash or a pulled plug would, and waits for it.
    void kill();

private:
    int pid_ = -1;
    std::string device_;
    std::string address_;
    std::filesystem::path output_;
};
#ifdef TAVRIN_PRINTER_SIM_EXE
// The simulator from this build.
inline SimulatorProcess startSimulator(const std::filesystem::path& output,
                                       const std::vector<std::string>& options = {}) {
    return SimulatorProcess(TAVRIN_PRINTER_SIM_EXE, output, options);
}
// The same printer also on a loopback port, a free one unless given: address() names it.
inline SimulatorProcess startListeningSimulator(const std::filesystem::path& output,
                                                std::vector<std::string> options = {}, const std::string& port = "0") {
    options.insert(options.end(), {"--listen", "127.0.0.1:" + port});
    return SimulatorProcess(TAVRIN_PRINTER_SIM_EXE, output, options);
}
#endif

// The ways a test reaches the simulator: its pseudo-terminal or its loopback TCP port; the
// name of a test parameter of this kind.
enum class Over { Terminal, Network };
inline constexpr auto overName = [](const auto& info) {
    return std::string(info.param == Over::Network ? "Network" : "Terminal");
};
#ifdef TAVRIN_PRINTER_SIM_EXE
// The simulator, reachable both ways; port is the device that reaches it `over`.
struct Simulator {
    Simulator(Over over, const std::filesystem::path& output, const std::vector<std::string>& options = {})
        : process(startListeningSimulator(output, options)),
          port(over == Over::Network ? process.address() : process.device()) {}
    std::filesystem::path label(int n) const { return process.label(n); }
    SimulatorProcess process;
    std::string port;
};
#endif

// What the simulators printed into these output folders, label by label in order, from
// their logs: the values each printed with, as "V00=A1 C00=0001".
std::vector<std::string> printedLabels(const std::vector<std::filesystem::path>& outputs);

// The master side of a new pseudo-terminal; device() names its other end. The master is
// non-blocking, so a test that writes to a terminal nobody reads never blocks.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    int fd() const { return fd_; }
    const std::string& device() const { return device_; }
    std::string drain(int quietMs = 200);  // what arrives until nothing has come for quietMs
    // Writes all of `bytes`, waiting in short slices while the terminal is full; gives up
    // (false) as soon as `stop` is set.
    bool writeAll(std::string_view bytes, const std::atomic<bool>& stop);

private:
    int fd_ = -1;
    std::string device_;
};

// One moment for every test and fuzz run that prints a date or a time, so that each run
// draws the same dots.
inline std::tm fixedTime() {
    std::tm t{};
    t.tm_year = 126, t.tm_mon = 2, t.tm_mday = 5, t.tm_hour = 14, t.tm_min = 7, t.tm_sec = 9, t.tm_wday = 4,
    t.tm_yday = 63;
    return t;
}

// Builds byte fixtures field by field, in the byte order the table in hand says.
class ByteBuilder {
public:
    ByteBuilder& u8(unsigned value);
    ByteBuilder& be16(int value);
    ByteBuilder& le16(int value);
    ByteBuilder& le32(std::uint32_t value) { return le16(static_cast<int>(value & 0xFFFF)).le16(static_cast<int>(value >> 16)); }
    ByteBuilder& text(std::string_view characters);
    // The characters, then zero bytes up to `width` bytes in all.
    ByteBuilder& field(std::string_view characters, std::size_t width);
    ByteBuilder& zeros(std::size_t count);
    ByteBuilder& bytes(const Bytes& more);
    const Bytes& get() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

private:
    Bytes bytes_;
};

// A BMP file header and a 40-byte information header; the palette and rows are the caller's.
inline Bytes bmpHeader(int width, int height, int bits, std::uint32_t colours = 0, std::uint32_t compression = 0,
                       std::uint32_t dataAt = 54) {
    return ByteBuilder().text("BM").zeros(8).le32(dataAt).le32(40).le32(static_cast<std::uint32_t>(width))
        .le32(static_cast<std::uint32_t>(height)).le16(1).le16(bits).le32(compression).zeros(12).le32(colours).zeros(4)
        .get();
}

// The image's dots at the points as '1' (ink) or '0'.
template <typename Image>
std::string inkString(const Image& image, std::initializer_list<std::pair<int, int>> points) {
    std::string out;
    for (auto [x, y] : points) out += image.isInk(x, y) ? '1' : '0';
    return out;
}

// Where the point `along` and `across` a figure anchored at (x, y) lands when the figure is
// turned `rotation` quarter turns clockwise, as the renderer turns it.
inline std::pair<int, int> turnedPoint(int rotation, int x, int y, int along, int across) {
    const int px[] = {x + along, x - across, x - along, x + across}, py[] = {y + across, y + along, y - across, y - along};
    return {px[rotation], py[rotation]};
}

#ifdef TAVRIN_SOURCE_DATA_DIR
// The sample label the program ships: two Pictures of one name, a variable, a counter.
inline const std::string kSample = std::string(TAVRIN_SOURCE_DATA_DIR) + "/samples/sample.qlb";
#endif
#ifdef TAVRIN_SOURCE_DIR
// The picture files the graphics suite keeps, read by the windows and commands too.
inline const std::filesystem::path kFixtures = std::filesystem::path(TAVRIN_SOURCE_DIR) / "tests/graphics/fixtures";
#endif
// Rows for the sample label: lot numbers L1 to L`count`, the serial set on the first row only
// (the counter counts on from it).
inline std::string sampleRows(int count, int firstSerial) {
    std::string rows = "Lot number,Serial\n";
    for (int i = 1; i <= count; ++i)
        rows += "L" + std::to_string(i) + "," + (i == 1 ? std::to_string(firstSerial) : "") + "\n";
    return rows;
}
#ifdef TAVRIN_LABEL_EXE
// tavrin-label from this build, standard input read from the file `input` (nothing when empty).
inline CommandResult runLabel(const std::vector<std::string>& arguments, const std::filesystem::path& input = {}) {
    return runProgram(TAVRIN_LABEL_EXE, arguments, input);
}
#endif

}  // namespace tavrin::test
