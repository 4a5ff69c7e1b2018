#pragma once
// The editor's command line, read before the window system is touched, so that --help,
// --version and usage errors answer without a display and before any hand-off.
#include <map>
#include <string>
#include <vector>

namespace tavrin {

struct EditorOption {
    const char* name;     // "--port-device"
    const char* letter;   // "-h", or nullptr
    const char* value;    // "N=DEVICE", or nullptr for a switch
    const char* meaning;  // one line of the usage; nullptr keeps the option out of it
};

// Every option the editor knows; the usage and the manual page's check are made from it.
const std::vector<EditorOption>& editorOptions();
std::string editorUsage();

struct EditorArguments {
    std::string label;                       // the label file named, if any
    std::map<int, std::string> portDevices;  // --port-device N=DEVICE, N 1..8
    bool newInstance = false;
    bool portable = false;
    bool exitAfterStart = false;  // start-up timing and smoke tests
    bool help = false;
    bool version = false;
    // A usage error naming the option or value at fault; empty when the line is good.
    std::string error;
};

// arguments: without the program name. "--name value" and "--name=value" are the same;
// "--" ends the options, so a label may be called "-x.qlb".
EditorArguments parseEditorArguments(const std::vector<std::string>& arguments);

}  // namespace tavrin
