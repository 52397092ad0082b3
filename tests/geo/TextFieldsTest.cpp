// The comma-text lists and decimal integers read from palette lines, stored waypoints and chart
// comments.
#include "geo/TextFields.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(GeoTextFields, Lines) {
    const struct {
        const char* text;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"a\r\n", {"a"}},           // a final break ends the last line
        {"a\r\n\r\n", {"a", ""}},   // a second one starts an empty line
        {"a\n\rb", {"a", "", "b"}}, // LF CR is two breaks
        {"\r\n", {""}},
        {" a \r\n b ", {" a ", " b "}}, // nothing trimmed
    };
    for (const auto& c : cases)
        EXPECT_EQ(geo::splitLines(QString::fromLatin1(c.text)), c.lines) << c.text;
}

TEST(GeoTextFields, CommaTextItems) {
    const struct {
        const char* text;
        QStringList items;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"1 2 3", {"1", "2", "3"}},
        {"  1,2 ,  3  ", {"1", "2", "3"}},
        {"1\t2\r\n3", {"1", "2", "3"}},
        {"1,,3", {"1", "", "3"}},
        {"1,2,", {"1", "2", ""}},
        {"1,2,  ", {"1", "2", ""}},
        {",1", {"", "1"}},
        {"\"1 2\" 3", {"1 2", "3"}},
        {"\"a,b\",c", {"a,b", "c"}},
        {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
        {"\"\",x", {"", "x"}},
        {"\"open", {"open"}},       // an unclosed quote runs to the end
        {"\"ab\"cd", {"ab", "cd"}}, // a closing quote ends the item
        {"25.5,-80.25,\"Home reef\",71.5", {"25.5", "-80.25", "Home reef", "71.5"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(geo::splitCommaText(QString::fromLatin1(c.text)), c.items) << c.text;
}

TEST(GeoTextFields, DecimalIntegers) {
    const struct {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"0", 0},
        {"255", 255},
        {"+7", 7},
        {"-40", -40},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"+", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"1.0", std::nullopt},
        {"0x10", std::nullopt},
        {"--1", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(geo::readDecimalInteger(QString::fromLatin1(c.text)), c.value) << c.text;
}

} // namespace
