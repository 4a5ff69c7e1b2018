// Data files as spreadsheets write them, the checks that refuse rows which would print a
// wrong label, the counter rules that give each row its values, and row selections.
#include <gtest/gtest.h>

#include <sstream>

#include "data/data_check.h"
#include "support/label_builders.h"
#include "printer/screen_text.h"
#include "render/text_data.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

// A label as a shop makes one: a name in the printer's font, a code as a barcode, a serial.
class DataCheckTest : public ::testing::Test {
protected:
    DataCheckTest() {
        label.variables[0] = test::makeSlot(10, kJustifyLeft, ' ', "Name", "sample");
        label.variables[1] = test::makeSlot(6, kJustifyLeft, ' ', "Code", "000000");
        label.variables[5] = test::makeSlot(8, kJustifyLeft, ' ', "Unused");
        label.counters[0] = test::makeSlot(4, kJustifyRight, '0', "Serial", "0001", 1);
        test::addText(label, 10, 10, 3, 0, "\"Name: \"V00");
        test::addBarcode(label, 3, 10, 60, 40, 2, 6, 2, "V01");
        test::addText(label, 10, 120, 2, 0, "\"S/N \"C00");
    }
    DataCheck check(const std::string& bytes, const std::string& copies = {}) {
        test::writeFile(dir / "rows.csv", bytes);
        rows.emplace(dir / "rows.csv", translation.ansiCodePage());
        return checkRows(*rows, label, translation, copies);
    }
    static std::vector<std::string> texts(const DataCheck& c, ProblemKind kind) {
        std::vector<std::string> out;
        for (const DataProblem& p : c.problems)
            if (p.kind == kind) out.push_back(p.text);
        return out;
    }
    test::TempDir dir;
    LabelDocument label;
    Translation translation;
    std::optional<DataFileRows> rows;
};

TEST_F(DataCheckTest, MatchesByPromptOrSlotAndListsRowFaults) {
    const DataCheck c = check(" NAME ,v01,c00,Colour,Qty\nTea,1,,red,2\n\nMilk,2,,blue,x\nJam\n", "qty");
    ASSERT_EQ(c.error, "");
    EXPECT_EQ(c.rowCount, 3);  // the blank line is no row
    ASSERT_EQ(c.mapping.matches.size(), 3u);
    EXPECT_TRUE(c.mapping.matches[2].counter);
    EXPECT_EQ(c.mapping.copiesColumn, 4);
    EXPECT_EQ(texts(c, ProblemKind::Note), std::vector<std::string>{"Column \"Colour\" matches no variable or counter"});
    EXPECT_EQ(texts(c, ProblemKind::Refusal),
              (std::vector<std::string>{"Row 2: copies \"x\" is not a number from 1 to 999",
                                        "Row 3: no value for \"v01\", \"c00\", \"Qty\""}));
    EXPECT_TRUE(c.refused());

    DataCheck shifted = check("Name,Code\nTea, with milk,1\nJam,2,\n");
    EXPECT_EQ(texts(shifted, ProblemKind::Refusal).front(), "Row 1: 3 values for 2 columns");
    EXPECT_EQ(shifted.refusals, 1);  // a trailing empty field is no extra value
    shifted = check("Name,Code\nA,\"1\nB,2\n");
    EXPECT_EQ(texts(shifted, ProblemKind::Refusal).back(), "Row 1: a quote opened on line 2 is never closed");
}

TEST_F(DataCheckTest, RefusesWhatWouldPrintAWrongLabel) {
    const struct {
        const char* rows;
        int language;
        const char* refusal;  // nullptr: the rows print
    } cases[] = {
        {"Foo,Bar\n1,2\n", 0, "No column of "},
        {"Name\nTea\n", 0, "V01 \"Code\" has no column in the data: every label would show the label's value \"000000\""},
        {"Name,Code\nA,1\nB,\nC,3\n", 0, "V01 \"Code\" is empty in row 2"},
        {"Name,Code,Serial\nA,1234567,\n", 0, "V01 \"Code\" holds 6 characters; longer in row 1 (\"1234567\" would be cut)"},
        {"Name,Code,Serial\nA,1,9998\nB,2,\nC,3,\n", 0, "C00 \"Serial\" holds 4 characters; longer in row 3 (\"10000\" would be cut)"},
        {"Name,Code\n\xC3\x9Cn\xC3\xAF" "code \xE2\x82\xAC,1\n", 0,
         "Row 1, column \"Name\": \"\xC3\x9C\", \"\xC3\xAF\", \"\xE2\x82\xAC\" are not in the printer's character set"},
        {"Name,Code\n\xD0\x9F\xD1\x80\xD0\xB8,1\n", 0, "Row 1, column \"Name\": \"\xD0\x9F\", \"\xD1\x80\", \"\xD0\xB8\" are"},
        {"Name,Code\n\xD0\x9F\xD1\x80\xD0\xB8,1\n", 2, nullptr},  // Russian: the printer has them
        {"Name,Code,Extra\nA,1,x\n", 0, nullptr},                  // an unused column is a note
    };
    for (const auto& c : cases) {
        label.setup.language = c.language;
        const DataCheck checked = check(c.rows);
        const auto refusals = texts(checked, ProblemKind::Refusal);
        if (c.refusal == nullptr) {
            EXPECT_TRUE(refusals.empty()) << c.rows << ": " << (refusals.empty() ? "" : refusals.front());
            continue;
        }
        ASSERT_FALSE(refusals.empty()) << c.rows;
        EXPECT_EQ(refusals.front().substr(0, std::string(c.refusal).size()), c.refusal) << c.rows;
        EXPECT_EQ(checked.firstRefusal(), refusals.front());
    }
    // Empty cells in many rows are listed as ranges.
    std::string many = "Name,Code\n";
    for (int row = 1; row <= 20; ++row) many += "N," + std::string(row == 15 || row >= 18 ? "" : "1") + "\n";
    EXPECT_EQ(texts(check(many), ProblemKind::Refusal), std::vector<std::string>{"V01 \"Code\" is empty in rows 15, 18-20"});
}

TEST_F(DataCheckTest, CountersTakeTheirCellOrCountOnFromTheRowBefore) {
    const DataCheck c = check("Name,Code,Serial\nA,1,0500\nB,2,\nC,3,\nD,4,0900\nE,5,\n");
    ASSERT_FALSE(c.refused()) << c.firstRefusal();
    RowValues values(label, c.mapping, translation);
    LabelDocument row = label;
    std::vector<std::string> fields;
    std::vector<std::string> shown;
    ASSERT_TRUE(rows->rewind());
    while (rows->next(fields)) {
        values.next(fields, row);
        std::string text;
        ExpandTextData("C00", RenderContext{&row, nullptr, {}}, text);
        shown.push_back(text);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"0500", "0501", "0502", "0900", "0901"}));
    // Any row on its own (render --row, a resumed run) gets the serial the whole run gives it.
    LabelDocument third = label;
    ASSERT_EQ(applyDataRow(*rows, third, translation, 3), "");
    EXPECT_EQ(third.counters[0].valueText(), "502");
    EXPECT_EQ(third.variables[0].valueText(), "C");
    // Without a column the first row prints the label's own value.
    check("Name,Code\nA,1\nB,2\n");
    LabelDocument second = label;
    ASSERT_EQ(applyDataRow(*rows, second, translation, 2), "");
    EXPECT_EQ(second.counters[0].valueText(), "2");
    EXPECT_EQ(applyDataRow(*rows, second, translation, 3), "the data has 2 rows, no row 3");
}

TEST_F(DataCheckTest, RowsGivenAsNameValueMapsAreCheckedAndFilledAsAFilesRows) {
    ValueMapRows given({{{"Name", "A"}, {"Code", "1"}, {"Serial", "0500"}},
                        {{"Code", "2"}, {"Name", "B"}},
                        {{"Name", "C"}, {"Colour", "red"}}});
    EXPECT_EQ(given.headers(), (std::vector<std::string>{"Name", "Code", "Serial", "Colour"}));
    const DataCheck c = checkRows(given, label, translation);
    EXPECT_EQ(texts(c, ProblemKind::Refusal), std::vector<std::string>{"V01 \"Code\" is empty in row 3"});
    LabelDocument second = label;
    ASSERT_EQ(applyDataRow(given, second, translation, 2), "");
    EXPECT_EQ(second.variables[0].valueText(), "B");
    EXPECT_EQ(second.counters[0].valueText(), "501");
}

TEST_F(DataCheckTest, ValuesGoToThePrinterAsOneLineInItsCharacterSet) {
    // CP1251 bytes without a mark: taken as the ANSI code page.
    check("Name,Code\n\xC6\xE0\xEC,\"a\r\nb\"\n");
    EXPECT_EQ(rows->encoding(), DataEncoding::Ansi);
    LabelDocument row = label;
    ASSERT_EQ(applyDataRow(*rows, row, translation, 1), "");
    EXPECT_EQ(row.variables[0].valueText(), screenToPrinter("\xD0\x96\xD0\xB0\xD0\xBC", translation));
    EXPECT_EQ(row.variables[1].valueText(), "a b");  // a line break would end the value early
}

TEST(SlotReferences, FollowTheFieldLanguage) {
    const struct {
        const char* data;
        std::vector<SlotReference> references;
    } cases[] = {
        {"\"V01 in quotes\"V02", {{false, 2}}},
        {"C03L2\"x\"V04", {{true, 3}, {false, 4}}},
        {"V05XVCC01", {{false, 5}, {true, 1}}},  // the X modifier's characters are no slot
        {"TD+V06\"-\"TT", {{false, 6}}},
        {"V07+3M1.2", {{false, 7}}},
        {"V40V01", {}},  // a slot that does not exist makes the field malformed
    };
    for (const auto& c : cases) EXPECT_EQ(slotReferences(c.data), c.references) << c.data;
}

using Records = std::vector<std::vector<std::string>>;

Records readAll(const std::string& bytes, char delimiter = 0, DataEncoding encoding = DataEncoding::Utf8) {
    std::istringstream in(bytes);
    DataReader reader(in, delimiter, encoding);
    Records records;
    std::vector<std::string> fields;
    while (reader.next(fields)) records.push_back(fields);
    return records;
}

TEST(DataReader, ReadsWhatSpreadsheetsWrite) {
    const struct {
        const char* what;
        std::string bytes;
        Records expected;
    } cases[] = {
        {"LF", "a,b\n1,2\n", {{"a", "b"}, {"1", "2"}}},
        {"CR LF, no final line end", "a,b\r\n1,2", {{"a", "b"}, {"1", "2"}}},
        {"old Mac CR", "a,b\r1,2\r", {{"a", "b"}, {"1", "2"}}},
        {"quoted comma and quote", "n\n\"Smith, \"\"Jr\"\"\"\n", {{"n"}, {"Smith, \"Jr\""}}},
        {"line break inside quotes", "a,b\n\"two\r\nlines\",x\n", {{"a", "b"}, {"two\nlines", "x"}}},
        {"UTF-8 mark", "\xEF\xBB\xBF" "Name,Qty\n", {{"Name", "Qty"}}},
        {"ragged rows", "a,b,c\n1\n1,2,3,4\n", {{"a", "b", "c"}, {"1"}, {"1", "2", "3", "4"}}},
        {"empty fields", ",,\n", {{"", "", ""}}},
        {"semicolons (European Excel)", "a;b\n1,5;2\n", {{"a", "b"}, {"1,5", "2"}}},
        {"tabs", "a\tb,c\n1\t2\n", {{"a", "b,c"}, {"1", "2"}}},
        {"quote inside an unquoted value", "a\n5\" disk\n", {{"a"}, {"5\" disk"}}},
        {"blank before an opening quote", "a,b\n1, \"x,y\"\n", {{"a", "b"}, {"1", "x,y"}}},
        {"unterminated quote keeps what came", "a\n\"open\n", {{"a"}, {"open\n"}}},
        {"UTF-16 LE (Excel Unicode text)", std::string("\xFF\xFE" "a\0\t\0\x16\x04\n\0", 10), {{"a", "\xD0\x96"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(readAll(c.bytes), c.expected) << c.what;
}

TEST(DataReader, ReportsEncodingMarkAndLines) {
    std::istringstream in("\xEF\xBB\xBF" "a\n\"x\ny\"\nz\n");
    DataReader reader(in, 0, DataEncoding::Ansi);
    std::vector<std::string> fields;
    EXPECT_TRUE(reader.hadByteOrderMark());
    EXPECT_EQ(reader.fieldEncoding(), DataEncoding::Utf8);  // the mark wins over the default
    ASSERT_TRUE(reader.next(fields) && reader.next(fields) && reader.next(fields));
    EXPECT_EQ(reader.line(), 4);  // "z" comes after the record that spans lines 2 and 3
    EXPECT_FALSE(reader.unterminatedQuote());
}

TEST(DataReader, Utf8CheckAndAnsiFields) {
    EXPECT_TRUE(isValidUtf8("plain \xD0\x96 \xE2\x82\xAC"));
    for (const char* bad : {"\xC0\x80", "\xD0", "\xE2\x82", "\xED\xA0\x80", "\xC6" "abc"})
        EXPECT_FALSE(isValidUtf8(bad)) << bad;
    EXPECT_EQ(fieldToUtf8("\xC6", DataEncoding::Ansi, "CP1251"), "\xD0\x96");
    EXPECT_EQ(fieldToUtf8("\xD0\x96", DataEncoding::Utf8, "CP1251"), "\xD0\x96");
}

TEST(RowSelection, ParsesCountsAndResumes) {
    const struct {
        const char* text;
        std::optional<long long> countOf100;
        const char* readBack;
    } cases[] = {{"", 100, "all"},         {"all", 100, "all"},      {"15-20", 6, "15-20"}, {"15", 1, "15"},
                 {"95-", 6, "95-"},        {"1-3, 2-5,99", 6, "1-3,2-5,99"}, {"0", {}, ""},  {"5-3", {}, ""},
                 {"x", {}, ""},            {"3-x", {}, ""},          {"200-300", 0, "200-300"}};
    for (const auto& c : cases) {
        const auto s = RowSelection::parse(c.text);
        ASSERT_EQ(s.has_value(), c.countOf100.has_value()) << c.text;
        if (!s) continue;
        EXPECT_EQ(s->countWithin(100), *c.countOf100) << c.text;
        EXPECT_EQ(s->text(), c.readBack) << c.text;
    }
    const auto s = *RowSelection::parse("15-20");
    EXPECT_FALSE(s.after(17).contains(17));
    EXPECT_TRUE(s.after(17).contains(18));
    EXPECT_EQ(s.after(17).countWithin(100), 3);
    EXPECT_EQ(s.after(20).countWithin(100), 0);
    EXPECT_EQ(RowSelection::all().after(4).countWithin(10), 6);
}

TEST(RowList, KeepsRowsAsRangesUpToItsLimit) {
    RowList rows(2);
    for (const long long r : {15, 18, 19, 20, 20, 31, 40}) rows.add(r);
    EXPECT_EQ(std::tuple(rows.text(), rows.count(), rows.last(), rows.contains(19), rows.contains(17)),
              std::tuple("15, 18-20 and 2 more", 6, 40, true, false));
}

}  // namespace
}  // namespace tavrin
