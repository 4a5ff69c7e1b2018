// data/ZREDIT.FNT is generated; it must stay what the generator makes from the installed
// Terminus font, so that a change to either is noticed and the file regenerated.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/test_support.h"

namespace {

using tavrin::test::readFile;
using tavrin::test::TempDir;

#ifdef TAVRIN_MAKE_RESIDENT_FONT_EXE
TEST(ResidentFontFile, CommittedFileEqualsFreshlyGeneratedOne) {
    TempDir dir;
    const auto output = dir / "ZREDIT.FNT";
    const std::string command = std::string("\"") + TAVRIN_MAKE_RESIDENT_FONT_EXE + "\" \"" + output.string() +
                                "\" 2>\"" + (dir / "log.txt").string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << "generator failed, see its messages:\n"
                                                 << std::string(readFile(dir / "log.txt").begin(),
                                                                readFile(dir / "log.txt").end());
    const auto fresh = readFile(output);
    const auto committed = readFile(std::filesystem::path(TAVRIN_SOURCE_DATA_DIR) / "ZREDIT.FNT");
    ASSERT_EQ(fresh.size(), 65536u);
    ASSERT_EQ(committed.size(), fresh.size());
    // Report the first differing byte rather than dumping 64 KiB.
    for (std::size_t i = 0; i < fresh.size(); ++i)
        ASSERT_EQ(committed[i], fresh[i]) << "first difference at offset " << i
                                          << "; regenerate with the resident-font build target";
}
#endif

}  // namespace
