// Data files as spreadsheets write them, the columns they feed, and row selections.
#include <gtest/gtest.h>

#include <sstream>

#include "data/data_file.h"
#include "data/data_run.h"
#include "printer/screen_text.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

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

TEST(DataReader, ReusesItsStoreInsteadOfGrowing) {
    std::string file;
    for (int i = 0; i < 10000; ++i) file += "value " + std::to_string(i) + ",second field of the row\n";
    std::istringstream in(file);
    DataReader reader(in);
    std::vector<std::string> fields;
    reader.next(fields);
    const auto* storage = fields.data();
    const std::size_t capacity = fields[0].capacity();
    while (reader.next(fields)) ASSERT_EQ(fields.data(), storage);
    EXPECT_EQ(fields[0].capacity(), capacity);
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
    EXPECT_EQ(rowProgressText(1234, 10000), "Row 1,234 of 10,000");
}

class DataCheckTest : public ::testing::Test {
protected:
    DataCheckTest() {
        document.variables[0].defined = 1, document.variables[0].setPrompt("Product name");
        document.variables[3].defined = 1, document.variables[3].setPrompt("Lot");
        document.variables[3].setValue("L0");
        document.counters[1].defined = 1, document.counters[1].step = 1, document.counters[1].setPrompt("Serial");
        document.counters[1].setValue("0007");
    }
    DataCheck check(const std::string& bytes, const std::string& copies = {}) {
        test::writeFile(dir / "rows.csv", bytes);
        source.file = dir / "rows.csv";
        source.copiesColumn = copies;
        return checkDataFile(source, document, translation);
    }
    test::TempDir dir;
    LabelDocument document;
    Translation translation;
    DataSource source;
};

TEST_F(DataCheckTest, MatchesByPromptOrSlotAndReportsWhatIsLeft) {
    const DataCheck c = check(" PRODUCT NAME ,c01,Colour,Qty\nTea,1,red,2\n\nMilk,2,blue,x\nJam\n", "qty");
    ASSERT_EQ(c.error, "");
    EXPECT_EQ(c.rowCount, 3);  // the blank line is no row
    ASSERT_EQ(c.mapping.matches.size(), 2u);
    EXPECT_EQ(c.mapping.matches[0].slot, 0);
    EXPECT_TRUE(c.mapping.matches[1].counter);
    EXPECT_EQ(c.mapping.copiesColumn, 3);
    EXPECT_EQ(c.mapping.unmatchedColumns, std::vector<std::string>{"Colour"});
    EXPECT_EQ(c.badRows, (std::vector<long long>{2, 3}));
    EXPECT_FALSE(c.ok());
    const std::vector<std::string> problems{"Column \"Colour\" matches no variable or counter",
                                            "V03 \"Lot\" has no column: the label's value is used",
                                            "Row 2: copies \"x\" is not a number from 1 to 999",
                                            "Row 3: no value for \"c01\", \"Qty\""};
    EXPECT_EQ(c.problems, problems);
}

TEST_F(DataCheckTest, ShiftedValuesUnclosedQuotesAndMissingCopiesColumnAreReported) {
    DataCheck c = check("Lot,Product name\nA,Tea, with milk\nB,Jam,\n", "Qty");
    EXPECT_TRUE(c.mapping.copiesColumnMissing);
    EXPECT_EQ(c.badRows, std::vector<long long>{1});  // a trailing empty field is no extra value
    c = check("Lot,Product name\nA,\"Tea\nB,Jam\nC,Milk\n");
    EXPECT_EQ(c.rowCount, 1);
    EXPECT_FALSE(c.ok());
    EXPECT_EQ(c.problems.back(), "Row 1: a quote opened on line 2 is never closed");
}

TEST_F(DataCheckTest, RowsFillSlotsInThePrintersCharacterSetAndCountersCountOn) {
    // CP1251 bytes without a mark: taken as the ANSI code page.
    const DataCheck c = check("Product name,Lot\n\xC6\xE0\xEC,\"a\r\nb\"\n");
    EXPECT_EQ(c.encoding, DataEncoding::Ansi);
    std::vector<std::string> fields;
    ASSERT_TRUE(readDataRow(source, c.encoding, 1, fields));
    LabelDocument label = document;
    EXPECT_EQ(applyRow(label, document.counters, c.mapping, fields, 3, c.encoding, translation), 1u);
    EXPECT_EQ(label.variables[0].valueText(), screenToPrinter("\xD0\x96\xD0\xB0\xD0\xBC", translation));
    EXPECT_EQ(label.variables[3].valueText(), "a b");  // a line break would end the value early
    EXPECT_EQ(label.counters[1].valueText(), "9");  // row 3: two steps on from 7
    EXPECT_FALSE(readDataRow(source, c.encoding, 2, fields));
}

}  // namespace
}  // namespace tavrin
