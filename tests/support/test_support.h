#pragma once
// Small helpers shared by the suites: byte fixtures, temporary folders, files.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
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

// Runs a program with arguments (no shell) and collects its exit status and output.
struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};
CommandResult runProgram(const std::string& program, const std::vector<std::string>& arguments);

// Builds byte fixtures field by field, in the byte order the table in hand says.
class ByteBuilder {
public:
    ByteBuilder& u8(unsigned value);
    ByteBuilder& be16(int value);
    ByteBuilder& le16(int value);
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

}  // namespace tavrin::test
