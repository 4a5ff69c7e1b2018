// Data files as spreadsheets write them, the columns they feed, and row selections.
#include <gtest/gtest.h>

#include <sstream>

#include "data/data_file.h"
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
}

TEST(RowList, KeepsRowsAsRangesUpToItsLimit) {
    RowList rows(2);
    for (const long long r : {15, 18, 19, 20, 20, 31, 40}) rows.add(r);
    EXPECT_EQ(std::tuple(rows.text(), rows.count(), rows.last(), rows.contains(19), rows.contains(17)),
              std::tuple("15, 18-20 and 2 more", 6, 40, true, false));
}

}  // namespace
}  // namespace tavrin
