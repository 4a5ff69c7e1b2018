#include "render/text_data.h"

#include <gtest/gtest.h>

#include "document/label_document.h"

namespace tavrin {
namespace {

class TextDataTest : public ::testing::Test {
protected:
    TextDataTest() {
        context.document = &document;
        // Wednesday 5 March 2003, 14:07:09.
        context.now = [] {
            std::tm t{};
            t.tm_year = 103;
            t.tm_mon = 2;
            t.tm_mday = 5;
            t.tm_hour = 14;
            t.tm_min = 7;
            t.tm_sec = 9;
            return t;
        };
    }

    void setVariable(int n, std::string_view value, int length, int justification = 0, char pad = ' ') {
        Variable& v = document.variables[static_cast<std::size_t>(n)];
        v.defined = 1;
        v.setValue(value);
        v.length = static_cast<std::uint8_t>(length);
        v.justification = static_cast<std::uint8_t>(justification);
        v.padChar = pad;
    }

    std::string expand(std::string_view data) {
        std::string out = "stale";
        ok = ExpandTextData(data, context, out);
        return out;
    }

    LabelDocument document;
    RenderContext context;
    bool ok = false;
};

TEST_F(TextDataTest, QuotedPartsAndEscapes) {
    EXPECT_EQ(expand(R"("Text")"), "Text");
    EXPECT_TRUE(ok);
    EXPECT_EQ(expand(R"("a\"b\\c""d")"), "a\"b\\cd");
    EXPECT_EQ(expand(""), "");
    EXPECT_TRUE(ok);
}

TEST_F(TextDataTest, VariablesWithJustificationAndPadding) {
    setVariable(0, "42", 5, kJustifyRight, '0');
    EXPECT_EQ(expand(R"("Lot "V0)"), "Lot 00042");
    setVariable(1, "ab", 6, kJustifyCentre, '*');
    EXPECT_EQ(expand("V1"), "**ab**");
    setVariable(1, "ab", 5, kJustifyCentre, '*');
    EXPECT_EQ(expand("V1"), "*ab**");  // (5 - 2) / 2 rounded down
    setVariable(1, "ab", 4, kJustifyLeft, '-');
    EXPECT_EQ(expand("V1"), "ab--");
    setVariable(1, "abcdef", 4, kJustifyNone, '-');
    EXPECT_EQ(expand("V1"), "abcd");  // cut to the length, no padding
    setVariable(1, "ab", 4, kJustifyNone, '-');
    EXPECT_EQ(expand("V1"), "ab");
    // A slot that is not marked defined is still read.
    document.variables[1].defined = 0;
    EXPECT_EQ(expand("V1"), "ab");
    // A zero pad byte pads with blanks rather than ending the field.
    setVariable(2, "7", 3, kJustifyRight, '\0');
    EXPECT_EQ(expand("V2"), "  7");
}

TEST_F(TextDataTest, CountersAndOffsets) {
    Counter& c = document.counters[3];
    c.setValue("0009");
    c.length = 4;
    c.justification = kJustifyRight;
    c.padChar = '0';
    EXPECT_EQ(expand("C3"), "0009");
    EXPECT_EQ(expand("C3+1"), "0010");
    EXPECT_EQ(expand("C3-10"), "00-1");
    EXPECT_EQ(expand("C3+10000"), "1000");  // 10009 cut to the field length
}

TEST_F(TextDataTest, ModifiersOnTheItem) {
    setVariable(0, "ABCDEF", 6);
    EXPECT_EQ(expand("V0M2.3"), "BCD");
    EXPECT_EQ(expand("V0R2"), "EF");
    EXPECT_EQ(expand("V0L2"), "AB");
    EXPECT_EQ(expand("V0L9R9"), "ABCDEF");
    EXPECT_EQ(expand("V0M6.4"), "F");
    EXPECT_EQ(expand("V0M7.1"), "");
    EXPECT_EQ(expand("V0M0.0"), "A");
    EXPECT_EQ(expand("V0L4R2"), "CD");  // applied in the order written
    setVariable(0, "AAB", 3);
    EXPECT_EQ(expand("V0XA-"), "--B");
    setVariable(0, "xx12xx", 6);
    EXPECT_EQ(expand("V0>x<x"), "12");
    setVariable(0, "  12  ", 6);
    EXPECT_EQ(expand("V0<"), "  12");
    EXPECT_EQ(expand("V0>"), "12  ");
    setVariable(0, "000120", 6);
    EXPECT_EQ(expand("V0#"), "120");
    setVariable(0, "000", 3);
    EXPECT_EQ(expand("V0#"), "0");
    setVariable(0, "00.50", 5);
    EXPECT_EQ(expand("V0#"), "0.50");
}

TEST_F(TextDataTest, DateAndTime) {
    EXPECT_EQ(expand("TD"), "05-03-2003");
    EXPECT_EQ(expand("Td+1"), "06-03-2003");
    EXPECT_EQ(expand("TD+27"), "01-04-2003");  // across the month end
    EXPECT_EQ(expand("TD-5"), "28-02-2003");
    EXPECT_EQ(expand("TD-64"), "31-12-2002");  // back across the year
    EXPECT_EQ(expand("TD+3600"), "11-01-2013");
    EXPECT_EQ(expand("TT"), "14:07:09");
    EXPECT_EQ(expand("Tt"), "14:07:09");

    setVariable(4, "30", 2);
    EXPECT_EQ(expand("TD+V4"), "04-04-2003");
    EXPECT_EQ(expand("TD-V4"), "03-02-2003");

    document.setup.dateFormat = "Y2/ME/DD";
    EXPECT_EQ(expand("TD"), "03/MAR/05");
    document.setup.dateFormat = "MN";
    EXPECT_EQ(expand("TD"), "03");
    document.setup.timeFormat = "H.M";
    EXPECT_EQ(expand("TT"), "14.07");
    EXPECT_EQ(expand("TTR2"), "07");
    EXPECT_EQ(expand(R"("at "TT" on "TDL2)"), "at 14.07 on 03");
}

TEST_F(TextDataTest, MalformedFieldsShowTheMarker) {
    setVariable(0, "ABC", 3);
    setVariable(5, "3601", 4);
    for (std::string_view data :
         {"abc", "v0", "V0 V0", R"("abc" "d")", "V32", "C8", "V0+10001", "V0+99999", "TD+4000", "TD+3601",
          "TD+V5", "TD+V32", R"("open)", R"("ends in escape\)", "V0M2", "V0X", "V0XA", "TX", "T", "V0Q",
          R"("a"L2)", "#"}) {
        EXPECT_EQ(expand(data), "@@@@") << data;
        EXPECT_FALSE(ok) << data;
    }
    // Limits themselves are accepted.
    EXPECT_EQ(expand("TD+3600"), "11-01-2013");
    EXPECT_EQ(expand("V31C7"), "");
    EXPECT_TRUE(ok);
}

TEST_F(TextDataTest, LongExpansionIsCutAtTheBufferSize) {
    setVariable(0, std::string(63, 'x'), 200, kJustifyLeft, '.');
    const std::string out = expand("V0V0");
    EXPECT_TRUE(ok);
    ASSERT_EQ(out.size(), kMaxExpandedText);
    EXPECT_EQ(out.substr(0, 63), std::string(63, 'x'));
    EXPECT_EQ(out.substr(63), std::string(kMaxExpandedText - 63, '.'));
}

}  // namespace
}  // namespace tavrin
