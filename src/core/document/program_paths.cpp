#include "document/program_paths.h"

#include <algorithm>
#include <iterator>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

namespace fs = std::filesystem;

namespace {

bool isFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool hasTranslationExtension(const fs::path& path) {
    const std::string extension = path.extension().string();
    const std::string_view wanted = kTranslationExtension;
    return extension.size() == wanted.size() &&
           std::equal(extension.begin(), extension.end(), wanted.begin(),
                      [](char a, char b) { return (a >= 'a' && a <= 'z' ? a - 'a' + 'A' : a) == b; });
}

const char* environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// A bare program name was found through PATH.
fs::path searchPath(const std::string& name) {
    const char* path = environment("PATH");
    if (path == nullptr) return {};
    std::string_view rest = path;
    while (true) {
        const auto colon = rest.find(':');
        const fs::path folder = rest.substr(0, colon).empty() ? fs::path(".") : fs::path(rest.substr(0, colon));
        if (::access((folder / name).c_str(), X_OK) == 0 && isFile(folder / name)) return folder / name;
        if (colon == std::string_view::npos) return {};
        rest.remove_prefix(colon + 1);
    }
}

}  // namespace

ProgramPaths::ProgramPaths(fs::path programFolder, fs::path dataFolder, fs::path userConfigFolder, bool portable)
    : programFolder_(std::move(programFolder)),
      dataFolder_(std::move(dataFolder)),
      userConfigFolder_(std::move(userConfigFolder)),
      portable_(portable) {}

ProgramPaths ProgramPaths::forThisProcess(const char* argv0, bool wantPortable) {
    fs::path program = findProgramFolder(argv0);
    fs::path data = findDataFolder(program);
    const bool portable = (wantPortable && !systemFolder(program)) || portableFolder(program);
    return ProgramPaths(std::move(program), std::move(data), findUserConfigFolder(), portable);
}

bool ProgramPaths::systemFolder(const fs::path& folder) {
    std::error_code ec;
    fs::path resolved = fs::weakly_canonical(folder, ec);
    if (ec) resolved = folder.lexically_normal();
    const auto top = resolved.begin();
    if (!resolved.is_absolute() || top == resolved.end() || std::next(top) == resolved.end()) return true;
    const std::string first = std::next(top)->string();
    for (const char* system : {"usr", "bin", "sbin", "lib", "lib64", "opt", "snap", "etc", "var"})
        if (first == system) return true;
    return false;
}

bool ProgramPaths::portableFolder(const fs::path& programFolder) {
    struct stat folder {};
    return !programFolder.empty() && isFile(programFolder / kConfigFileName) &&
           ::stat(programFolder.c_str(), &folder) == 0 && folder.st_uid == ::geteuid() && !systemFolder(programFolder);
}

fs::path ProgramPaths::findProgramFolder(const char* argv0) {
    std::error_code ec;
    const fs::path executable = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && executable.is_absolute()) return executable.parent_path();
    const std::string name = argv0 != nullptr ? argv0 : "";
    fs::path found;
    if (name.find('/') != std::string::npos) found = name;
    else if (!name.empty()) found = searchPath(name);
    if (found.empty()) return fs::current_path(ec);
    found = fs::absolute(found, ec);
    const fs::path resolved = fs::weakly_canonical(found, ec);
    return ec ? found.parent_path() : resolved.parent_path();
}

fs::path ProgramPaths::findDataFolder(const fs::path& programFolder) {
    if (const char* data = environment("TAVRIN_DATA_DIR")) return data;
    std::error_code ec;
    const fs::path installed = programFolder.parent_path() / "share" / kUserConfigFolderName;
    if (!programFolder.empty() && fs::is_directory(installed, ec)) return installed;
#ifdef TAVRIN_BUILT_IN_DATA_DIR
    return TAVRIN_BUILT_IN_DATA_DIR;
#else
    return {};
#endif
}

fs::path ProgramPaths::findUserConfigFolder() {
    const char* xdg = environment("XDG_CONFIG_HOME");
    if (xdg != nullptr && fs::path(xdg).is_absolute()) return fs::path(xdg) / kUserConfigFolderName;
    if (const char* home = environment("HOME")) return fs::path(home) / ".config" / kUserConfigFolderName;
    return {};
}

fs::path ProgramPaths::configWritePath() const {
    if (portable_) return programFolder_ / kConfigFileName;
    if (userConfigFolder_.empty()) return {};
    return userConfigFolder_ / kConfigFileName;
}

fs::path ProgramPaths::residentFontPath() const {
    const fs::path local = programFolder_ / kResidentFontFileName;
    if (!isFile(local) && !dataFolder_.empty() && isFile(dataFolder_ / kResidentFontFileName)) {
        return dataFolder_ / kResidentFontFileName;
    }
    return local;
}

fs::path ProgramPaths::helpFolder() const {
    std::error_code ec;
    const fs::path local = programFolder_ / kHelpFolderName;
    if (fs::is_directory(local, ec) || dataFolder_.empty()) return local;
    return dataFolder_ / kHelpFolderName;
}

std::vector<fs::path> ProgramPaths::translationFiles() const {
    std::map<std::string, fs::path> byName;  // ordered by name, byte by byte
    for (const fs::path& folder : {programFolder_, dataFolder_}) {
        if (folder.empty()) continue;
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const fs::path& path = it->path();
            if (hasTranslationExtension(path) && isFile(path)) byName.emplace(path.filename().string(), path);
        }
    }
    std::vector<fs::path> files;
    for (auto& [name, path] : byName) files.push_back(path);
    return files;
}

}  // namespace tavrin
