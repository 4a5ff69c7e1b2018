#pragma once
// "-" in place of a file name means standard input or standard output. The core reads and
// writes files by path, so standard input is first copied into a temporary file, and output
// meant for standard output is written to one and then copied out.
#include <filesystem>
#include <string>
#include <string_view>

namespace tavrin::cli {

inline bool isStandardStream(const std::string& name) { return name == "-"; }

// A file name's extension in lower case, with its dot (".png"); an output's kind goes by it.
std::string lowerExtension(const std::string& name);

// How a file is named in messages: "standard input"/"standard output" for "-".
std::string displayName(const std::string& name, bool output);

// A temporary file removed when this goes out of scope.
class TemporaryFile {
public:
    TemporaryFile() = default;
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    // Creates an empty file whose name ends in extension; false (and errno set) on failure.
    bool create(const std::string& extension);
    const std::filesystem::path& path() const { return path_; }
    // Gives the file an extension (a loader that goes by extension then reads it).
    bool addExtension(const std::string& extension);

private:
    std::filesystem::path path_;
};

// The path to read `name` from: name itself, or for "-" a temporary file holding all of
// standard input. Empty with `error` set when standard input cannot be stored.
std::filesystem::path inputPath(const std::string& name, TemporaryFile& holder, std::string& error);
// The same for a picture: standard input's temporary file is named .bmp, .jpg, .png or .pcx
// after what its first bytes say it holds.
std::filesystem::path pictureInputPath(const std::string& name, TemporaryFile& holder, std::string& error);

// The path to write `name` to: name itself, or for "-" a temporary file with the extension
// (the output's kind is chosen by extension) that finishOutput() copies to standard output.
std::filesystem::path outputPath(const std::string& name, const std::string& extension, TemporaryFile& holder,
                                 std::string& error);
// For "-": copies what was written to standard output. Empty on success, else the problem.
std::string finishOutput(const std::string& name, const TemporaryFile& holder);

// ": REASON" with the system's reason why `path` cannot be read, or why a file cannot be
// made there; empty when no reason can be found (the file is readable, or is standard input).
std::string readProblem(const std::string& name);
std::string writeProblem(const std::string& name);

// "MESSAGE: NAME: REASON", the message of a file that could not be read or written.
std::string readFailure(const std::string& message, const std::string& name);
std::string writeFailure(const std::string& message, const std::string& name);

// Writes text or bytes whole to the file named (standard output for "-"); empty on
// success, else the message.
std::string writeOutput(const std::string& name, std::string_view bytes);

}  // namespace tavrin::cli
