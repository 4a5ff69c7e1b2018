#include "render/text_data.h"

#include <gtest/gtest.h>

#include "document/label_document.h"

namespace tavrin {
namespace {

class TextDataTest : public ::testing::Test {
protected:
    TextDataTest() {
        context.document = &document;
        context.now = [] {  // Wednesday 5 March 2003, 14:07:09
            std::tm t{};
            t.tm_year = 103, t.tm_mon = 2, t.tm_mday = 5, t.tm_hour = 14, t.tm_min = 7, t.tm_sec = 9;
            return t;
        };
        // Variable slots: value, length, justification and pad character.
        const struct { int n; std::string_view value; int length, justify = kJustifyNone; char pad = ' '; } slots[] = {
            {0, "42", 5, kJustifyRight, '0'}, {1, "ab", 6, kJustifyCentre, '*'}, {2, "ab", 5, kJustifyCentre, '*'},
            {3, "ab", 4, kJustifyLeft, '-'}, {4, "abcdef", 4, kJustifyNone, '-'}, {5, "ab", 4, kJustifyNone, '-'},
            {6, "ab", 4, kJustifyNone, '-'}, {7, "7", 3, kJustifyRight, '\0'}, {8, "ABCDEF", 6}, {9, "AAB", 3},
            {10, "xx12xx", 6}, {11, "  12  ", 6}, {12, "000120", 6}, {13, "000", 3}, {14, "00.50", 5}, {15, "30", 2},
            {16, "ABC", 3}, {17, "3601", 4}};
        for (const auto& s : slots) {
            Variable& v = document.variables[static_cast<std::size_t>(s.n)];
            v.defined = s.n == 6 ? 0 : 1;  // a slot not marked defined is still read
            v.setValue(s.value);
            v.length = static_cast<std::uint8_t>(s.length);
            v.justification = static_cast<std::uint8_t>(s.justify);
            v.padChar = s.pad;
        }
        Counter& c = document.counters[3];
        c.setValue("0009");
        c.length = 4, c.justification = kJustifyRight, c.padChar = '0';
    }

    void expectExpansions(std::initializer_list<std::pair<std::string_view, std::string_view>> cases) {
        for (auto [data, expected] : cases) {
            std::string out = "stale";
            EXPECT_TRUE(ExpandTextData(data, context, out)) << data;
            EXPECT_EQ(out, expected) << data;
        }
    }

    LabelDocument document;
    RenderContext context;
};

TEST_F(TextDataTest, QuotedPartsVariablesCountersModifiersDateAndTime) {
    expectExpansions({
        {R"("Text")", "Text"}, {R"("a\"b\\c""d")", "a\"b\\cd"}, {"", ""},
        // Variables, justified and padded to their length; centred (5 - 2) / 2 rounded down;
        // without justification cut to the length but not padded; a zero pad byte pads blanks.
        {R"("Lot "V0)", "Lot 00042"}, {"V1", "**ab**"}, {"V2", "*ab**"}, {"V3", "ab--"}, {"V4", "abcd"}, {"V5", "ab"},
        {"V6", "ab"}, {"V7", "  7"},
        // Counters with offsets, cut to the field length (10009 -> 1000).
        {"C3", "0009"}, {"C3+1", "0010"}, {"C3-10", "00-1"}, {"C3+10000", "1000"},
        // Modifiers, applied in the order written.
        {"V8M2.3", "BCD"}, {"V8R2", "EF"}, {"V8L2", "AB"}, {"V8L9R9", "ABCDEF"}, {"V8M6.4", "F"}, {"V8M7.1", ""},
        {"V8M0.0", "A"}, {"V8L4R2", "CD"}, {"V9XA-", "--B"}, {"V10>x<x", "12"}, {"V11<", "  12"}, {"V11>", "12  "},
        {"V12#", "120"}, {"V13#", "0"}, {"V14#", "0.50"},
        // Date and time, with day offsets across the month and the year.
        {"TD", "05-03-2003"}, {"Td+1", "06-03-2003"}, {"TD+27", "01-04-2003"}, {"TD-5", "28-02-2003"},
        {"TD-64", "31-12-2002"}, {"TD+3600", "11-01-2013"}, {"TT", "14:07:09"}, {"Tt", "14:07:09"},
        {"TD+V15", "04-04-2003"}, {"TD-V15", "03-02-2003"},
        // Limits themselves are accepted.
        {"V31C7", ""}});
    document.setup.dateFormat = "Y2/ME/DD";
    expectExpansions({{"TD", "03/MAR/05"}});
    document.setup.dateFormat = "MN";
    document.setup.timeFormat = "H.M";
    expectExpansions({{"TD", "03"}, {"TT", "14.07"}, {"TTR2", "07"}, {R"("at "TT" on "TDL2)", "at 14.07 on 03"}});
}

TEST_F(TextDataTest, MalformedFieldsShowTheMarker) {
    for (std::string_view data :
         {"abc", "v0", "V0 V0", R"("abc" "d")", "V32", "C8", "V16+10001", "V16+99999", "TD+4000", "TD+3601", "TD+V17",
          "TD+V32", R"("open)", R"("ends in escape\)", "V16M2", "V16X", "V16XA", "TX", "T", "V16Q", R"("a"L2)", "#"}) {
        std::string out = "stale";
        EXPECT_FALSE(ExpandTextData(data, context, out)) << data;
        EXPECT_EQ(out, "@@@@") << data;
        // The dialogs' check reads no slot values: only TD+V17 fails by the value it finds.
        EXPECT_EQ(textDataProblem(data).has_value(), data != "TD+V17") << data;
    }
}

TEST_F(TextDataTest, ProblemsAreNamedBeforeTheLabelShowsThem) {
    const std::pair<std::string_view, std::optional<std::string>> cases[] = {
        {R"("Hello"V01TD+3TT)", std::nullopt},
        {"", std::nullopt},
        {R"("open)", "The closing quote is missing"},
        {R"("ends in escape\)", "The closing quote is missing"},
        {R"("ab"V01 x)", "Not readable from character 8"},
        {R"("ab"L2)", "Not readable from character 5"},
        {"V32", "Not readable from character 1"},
    };
    for (const auto& [data, problem] : cases) EXPECT_EQ(textDataProblem(data), problem) << data;
}

TEST_F(TextDataTest, LongExpansionIsCutAtTheBufferSize) {
    Variable& v = document.variables[0];
    v.setValue(std::string(63, 'x'));
    v.length = 200, v.justification = kJustifyLeft, v.padChar = '.';
    std::string out;
    EXPECT_TRUE(ExpandTextData("V0V0", context, out));
    EXPECT_EQ(out, std::string(63, 'x') + std::string(111 - 63, '.'));  // cut at 111 characters
}

}  // namespace
}  // namespace tavrin
