// tavrin-label check: every barcode of a label, or of each row of a data file, read back.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "document/label_file.h"
#include "support/label_builders.h"
#include "render/barcode_check.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

class CheckCommand : public ::testing::Test {
protected:
    void SetUp() override {
        LabelDocument d;
        d.setup.width = 800, d.setup.length = 600;
        d.variables[0] = test::makeSlot(12, kJustifyNone, 0, "EAN", "123456789012");
        d.variables[1] = test::makeSlot(20, kJustifyNone, 0, "Item");
        test::addBarcode(d, 8, 50, 50, 60, 2, 6, 2, "V00");
        test::addBarcode(d, 3, 50, 200, 60, 2, 6, 2, "V01");
        test::addBarcode(d, 18, 50, 400, 60, 2, 6, 2, "\"12345\"");
        ASSERT_TRUE(saveLabelFile(dir / "label.qlb", d));
    }
    test::CommandResult check(const std::vector<std::string>& more) {
        std::vector<std::string> arguments{"check", (dir / "label.qlb").string()};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return test::runLabel(arguments);
    }
    test::TempDir dir;
};

TEST_F(CheckCommand, ReportsEveryBarcodeAndFailsForOneThatDoesNotReadBack) {
    if (!barcodeCheckAvailable()) GTEST_SKIP() << "no barcode reader in this build";
    auto r = check({});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.out,
              "barcode 1 (EAN 13): read back \"1234567890128\"\n"
              "barcode 2 (Code 128 auto A, B, C modes): unreadable \"\" - no data\n"
              "barcode 3 (Postnet): not checked - the reader does not know Postnet\n")
        << "an empty Code 128 has nothing to read";
}

TEST_F(CheckCommand, ChecksEachRowOfADataFileAsJson) {
    if (!barcodeCheckAvailable()) GTEST_SKIP() << "no barcode reader in this build";
    test::writeFile(dir / "rows.csv", "EAN,Item\n400638133393,Box 1\n12,Box 2\n");
    const auto r = check({"--data", (dir / "rows.csv").string(), "--json"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("1 barcode fails"), std::string::npos) << r.err;
    const auto report = nlohmann::json::parse(r.out, nullptr, false);
    ASSERT_TRUE(report.contains("barcodes")) << r.out;
    // A barcode reported with these fields among its own.
    const auto has = [&](const nlohmann::json& fields) {
        for (const nlohmann::json& barcode : report["barcodes"]) {
            bool all = true;
            for (const auto& [key, value] : fields.items()) all = all && barcode.value(key, nlohmann::json()) == value;
            if (all) return true;
        }
        return false;
    };
    EXPECT_TRUE(has({{"row", 1}, {"figure", 1}, {"type", 8}, {"symbology", "EAN 13"}, {"status", "read back"},
                     {"expected", "4006381333931"}}))
        << r.out;
    EXPECT_TRUE(has({{"row", 2}, {"figure", 1}, {"type", 8}, {"symbology", "EAN 13"}, {"status", "wrong"}})) << r.out;
    EXPECT_TRUE(has({{"row", 2}, {"figure", 2}, {"type", 3}, {"symbology", "Code 128 auto A, B, C modes"},
                     {"status", "read back"}, {"expected", "Box 2"}}))
        << r.out;
    EXPECT_TRUE(has({{"status", "not checked"}})) << r.out;
}

}  // namespace
}  // namespace tavrin
