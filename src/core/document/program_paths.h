#pragma once
// Where the program's companion files are: the configuration file, the resident font file,
// the translation tables and the help pages.
#include <filesystem>
#include <vector>

namespace tavrin {

inline constexpr const char* kConfigFileName = "ZREDITW.CFG";
inline constexpr const char* kResidentFontFileName = "ZREDIT.FNT";
inline constexpr const char* kTranslationExtension = ".TRN";
inline constexpr const char* kHelpFolderName = "help";
inline constexpr const char* kUserConfigFolderName = "tavrin-label-editor";

class ProgramPaths {
public:
    // programFolder: the executable's folder. dataFolder: where data files are looked for
    // when the program folder lacks them (may be empty). userConfigFolder: where the
    // configuration goes when the program folder is not writable (may be empty).
    ProgramPaths(std::filesystem::path programFolder, std::filesystem::path dataFolder,
                 std::filesystem::path userConfigFolder);

    // The paths of the running program: its folder from /proc/self/exe (argv0 when that
    // is not available), the data folder from findDataFolder(), the user folder from
    // $XDG_CONFIG_HOME or ~/.config.
    static ProgramPaths forThisProcess(const char* argv0);
    static std::filesystem::path findProgramFolder(const char* argv0);
    // $TAVRIN_DATA_DIR when set; else share/tavrin-label-editor beside the program's
    // folder when it exists; else the source tree's data folder the program was built from.
    static std::filesystem::path findDataFolder(const std::filesystem::path& programFolder);
    static std::filesystem::path findUserConfigFolder();

    const std::filesystem::path& programFolder() const { return programFolder_; }
    const std::filesystem::path& dataFolder() const { return dataFolder_; }
    const std::filesystem::path& userConfigFolder() const { return userConfigFolder_; }

    bool programFolderWritable() const;
    // The program folder's ZREDITW.CFG when the folder is writable, else the user's.
    std::filesystem::path configWritePath() const;
    // The file written last time: configWritePath() when it exists. Otherwise the other
    // existing file, so that a first run in a read-only install picks up the file shipped
    // beside the program, and settings written to the user folder are not shadowed by it.
    // When neither exists, configWritePath() (reading it gives the defaults).
    std::filesystem::path configReadPath() const;

    // ZREDIT.FNT of the program folder, else of the data folder; the program folder's path
    // when neither exists, so that the failure names the expected place.
    std::filesystem::path residentFontPath() const;
    // The "help" folder of the program folder, else of the data folder.
    std::filesystem::path helpFolder() const;
    // The translation tables (*.TRN, extension in any case) of the program folder and the
    // data folder; a name in both counts once, the program folder's. Sorted by file name,
    // byte by byte, so that a translation choice means the same file from run to run
    // (choice 2 is the first file).
    std::vector<std::filesystem::path> translationFiles() const;

private:
    std::filesystem::path programFolder_;
    std::filesystem::path dataFolder_;
    std::filesystem::path userConfigFolder_;
};

}  // namespace tavrin
