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
    // settings are kept (may be empty: then none are kept). portable: the settings are
    // kept beside the program instead.
    ProgramPaths(std::filesystem::path programFolder, std::filesystem::path dataFolder,
                 std::filesystem::path userConfigFolder, bool portable = false);

    // The paths of the running program: its folder from /proc/self/exe (argv0 when that
    // is not available), the data folder from findDataFolder(), the user folder from
    // $XDG_CONFIG_HOME or ~/.config. Portable when asked for (wantPortable) or when
    // portableFolder() says the folder already is, and never in a system folder.
    static ProgramPaths forThisProcess(const char* argv0, bool wantPortable = false);
    static std::filesystem::path findProgramFolder(const char* argv0);
    // $TAVRIN_DATA_DIR when set; else share/tavrin-label-editor beside the program's
    // folder when it exists; else the source tree's data folder the program was built from.
    static std::filesystem::path findDataFolder(const std::filesystem::path& programFolder);
    static std::filesystem::path findUserConfigFolder();
    // Folders that belong to the system's packages (/usr, /bin, /sbin, /opt, ...): settings
    // are never written there, whoever runs the program, root included.
    static bool systemFolder(const std::filesystem::path& folder);
    // A portable installation: a ZREDITW.CFG already beside the program, in a folder this
    // user owns that is not a system folder.
    static bool portableFolder(const std::filesystem::path& programFolder);

    const std::filesystem::path& programFolder() const { return programFolder_; }
    const std::filesystem::path& dataFolder() const { return dataFolder_; }
    const std::filesystem::path& userConfigFolder() const { return userConfigFolder_; }
    bool portable() const { return portable_; }

    // ZREDITW.CFG beside the program when portable, else in the user's folder; empty when
    // there is no user folder ($HOME and $XDG_CONFIG_HOME unset), so nothing is written.
    std::filesystem::path configWritePath() const;
    // Settings are read from where they are written: a file beside an installed program
    // belongs to whoever put it there, not to every user.
    std::filesystem::path configReadPath() const { return configWritePath(); }

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
    bool portable_ = false;
};

}  // namespace tavrin
