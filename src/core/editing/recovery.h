#pragma once
// Recovery copies: while a label has unsaved changes the editor keeps a copy of it in the
// user's state folder, so that a crash or a power cut loses at most the last half minute.
// Each running editor writes its own copy, named by its process number, so several editors
// never overwrite each other's; a copy whose editor is no longer running is an orphan that
// the next start offers to restore.
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "document/label_document.h"

namespace tavrin {

struct RecoveryCopy {
    std::filesystem::path path;  // the label copy (.qlb); its facts sit beside it (.info)
    std::time_t savedAt = 0;
    std::string sourceFile;      // the label file it came from; empty for a new label
    int processId = 0;
};

class RecoveryStore {
public:
    // folder: where the copies live; processId: the editor writing them.
    RecoveryStore(std::filesystem::path folder, int processId);
    // $XDG_STATE_HOME/tavrin-label-editor, else ~/.local/state/tavrin-label-editor.
    static std::filesystem::path defaultFolder();

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path copyPath() const;

    // Replaces this editor's copy; the old copy stays whole until the new one is complete.
    bool write(const LabelDocument& document, const std::string& sourceFile, std::time_t now);
    // After a clean save or close.
    void remove();

    // Copies of editors that are no longer running, newest first. Asked at start-up, before
    // this editor has written a copy of its own.
    std::vector<RecoveryCopy> orphans() const;
    // Makes an orphan this editor's own before it is offered, so that two editors starting
    // together never offer (and then delete) the same copy; nothing when another took it.
    std::optional<RecoveryCopy> claim(const RecoveryCopy& orphan);

    static bool restore(const RecoveryCopy& copy, LabelDocument& document);
    static void discard(const RecoveryCopy& copy);

private:
    std::filesystem::path folder_;
    int processId_;
};

// Whether process `processId` is running this same program (a number reused by another
// program does not count).
bool isSameProgramRunning(int processId);

}  // namespace tavrin
