#pragma once
// The rows of `zint --dump <arguments>` (Debian's zint, run as a separate program), each as
// '0'/'1' with the nibble padding still on; none when zint is missing.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace tavrin::test {

inline std::vector<std::string> zintDump(const std::string& arguments) {
    std::vector<std::string> rows;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(("zint --dump " + arguments + " 2>/dev/null").c_str(), "r"),
                                               pclose);
    std::string row;
    for (int ch; pipe && (ch = std::fgetc(pipe.get())) != EOF;) {
        if (ch == '\n') {
            if (!row.empty()) rows.push_back(row);
            row.clear();
        } else if ((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F')) {
            const int nibble = ch <= '9' ? ch - '0' : ch - 'A' + 10;
            for (int bit = 3; bit >= 0; --bit) row += (nibble >> bit) & 1 ? '1' : '0';
        }
    }
    return rows;
}

}  // namespace tavrin::test
