// The number-text conventions: reading, testing and writing numbers, independent of the locale.
#include "calc/units/number_text.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <locale>
#include <random>
#include <string>

namespace humidora {
namespace {

struct ValueCase
{
    const char* text;
    double value;
};

TEST(NumberValue, ReadsTheLongestLeadingNumber)
{
    const ValueCase cases[] = {
        { "25", 25 },
        { "  -12.5e1xyz", -125 },
        { "1 2", 12 },
        { "12abc", 12 },
        { "abc", 0 },
        { "", 0 },
        { ".5", 0.5 },
        { "5.", 5 },
        { "+5", 5 },
        { "-", 0 },
        { "1e", 1 },
        { "1E+3", 1000 },
        { "1e-3", 0.001 },
        { "2.5.3", 2.5 },
        { "1,5", 1 },
        { "- 4", -4 },
        { "1e-400", 0 },
        { "0.1", 0.1 },
        { "101.325", 101.325 },
    };
    for (const ValueCase& c : cases)
        EXPECT_EQ(NumberValue(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumberValue, BeyondTheDoubleRangeReadsInfinity)
{
    EXPECT_EQ(NumberValue("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(NumberValue("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(NumberValue("0.000001e310"), 1e304);
    EXPECT_EQ(NumberValue("10000e-310"), 1e-306);
}

TEST(IsNumberText, AcceptsWholeNumbersOnly)
{
    const char* accepted[] = { "5", "5.", "+5", "-5", ".5", " 12 ", "1e5", "1E+05", "-1.5e-3", "\t7\t", "0" };
    for (const char* text : accepted)
        EXPECT_TRUE(IsNumberText(text)) << '"' << text << '"';
    const char* refused[] = { "", " ", ".", "-", "+", "1e", "1e+", "1,5", "1 2", "12abc", "nan", "inf",
        "1e999", "- 5", "--5", "1.2.3", "\xd9\xa3", "0x10", "e5" };
    for (const char* text : refused)
        EXPECT_FALSE(IsNumberText(text)) << '"' << text << '"';
}

struct TextCase
{
    double value;
    int decimals;
    const char* text;
};

TEST(NumberText, RoundsHalfToEvenAndWritesTheShortestPlainForm)
{
    const TextCase cases[] = {
        { 0.05, 2, ".05" },
        { -0.5, 1, "-.5" },
        { 1584.5, 0, "1584" },
        { 1585.5, 0, "1586" },
        { 0.0098832758, 7, ".0098833" },
        { 9.8845123, 4, "9.8845" },
        { 50, 3, "50" },
        { 173.15, 3, "173.15" },
        { -100, 3, "-100" },
        { 0.0001, 3, "0" },
        { -0.0001, 3, "0" },
        { -0.0, 3, "0" },
        { 1e20, 0, "1E+20" },
        { -1.5e15, 0, "-1.5E+15" },
        { 999999999999999.0, 0, "999999999999999" },
        { 1.40485e-8, 15, ".0000000140485" },
        { 0.125, 2, ".12" },
        { 0.375, 2, ".38" },
        { -2.5, 0, "-2" },
        { 287.0551882, 3, "287.055" },
        { 1e300, 3, "1E+300" },
        { 123456789.123456789, 3, "123456789.123" },
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(NumberText(c.value, c.decimals), c.text) << c.value << " / " << c.decimals;
}

TEST(NumberText, HalvesAreDecidedOnTheScaledDoubleProduct)
{
    // 173.3205 lies just below the half in binary, but 173.3205 * 1000 is exactly 173320.5 in double
    // precision, and that product decides: the half goes to the even neighbour.
    ASSERT_EQ(173.3205 * 1000, 173320.5);
    EXPECT_EQ(NumberText(173.3205, 3), "173.32");
    // 1.005 * 100 is 100.49999999999999 in double precision: below the half.
    ASSERT_LT(1.005 * 100, 100.5);
    EXPECT_EQ(NumberText(1.005, 2), "1");
}

TEST(NumberText, SinglePrecisionValuesShowSevenSignificantDigits)
{
    const float vapour = 1584.9f; // held as 1584.9000244140625
    EXPECT_EQ(NumberText(vapour, 0, Precision::Single), "1585");
    EXPECT_EQ(NumberText(static_cast<float>(vapour / 1000), 3, Precision::Single), "1.585");
    EXPECT_EQ(NumberText(static_cast<float>(vapour / 100), 2, Precision::Single), "15.85");
    EXPECT_EQ(NumberText(0.011517791f, 6, Precision::Single), ".011518");
    EXPECT_EQ(NumberText(123456.789f, 3, Precision::Single), "123456.8");
    EXPECT_EQ(NumberText(1.0 / 3.0, 15), ".333333333333333");
}

TEST(NumberText, NonFiniteValuesAreNeverWrittenAsNumbers)
{
    EXPECT_EQ(NumberText(std::numeric_limits<double>::infinity(), 3), "Error");
    EXPECT_EQ(NumberText(std::nan(""), 3), "Error");
    EXPECT_EQ(FixedText(std::nan(""), FixedPattern::OneDigit), "Error");
}

TEST(NumberText, EveryTextReadsBackToTheRoundedValue)
{
    for (double x = -1e6; x < 1e6; x = x * -1.7 + 0.123) {
        for (int d : { 0, 3, 7 }) {
            const std::string text = NumberText(x, d);
            ASSERT_TRUE(IsNumberText(text)) << text;
            EXPECT_EQ(NumberValue(text), RoundHalfEven(x, d)) << text;
        }
        if (std::fabs(x) < 1e-300)
            break;
    }
}

// Found by fuzzing: rounded to 15 digits, values next to the largest double carried past it
// ("1.79769313486232E+308"), a text that IsNumberText refused and NumberValue read as infinity.
TEST(NumberText, ValuesNextToTheLargestDoubleStayNumberTexts)
{
    const double largest = std::numeric_limits<double>::max();
    EXPECT_EQ(PlainNumberText(largest), "1.79769313486231E+308");
    EXPECT_EQ(PlainNumberText(-largest, 1), "-1E+308");
    EXPECT_EQ(PlainNumberText(1.75e308, 2), "1.7E+308");
    EXPECT_EQ(NumberText(largest, 3, Precision::Single), "1.797693E+308");
    for (const double value : { largest, -largest, 1.7976931348623e308, 1.7393121829895237e308 }) {
        for (const int significant : { 1, 2, 7, 15, 16, 17 }) {
            const std::string text = PlainNumberText(value, significant);
            EXPECT_TRUE(IsNumberText(text)) << text;
            // Cut or rounded, the text stays within one unit of its last digit.
            EXPECT_LE(std::fabs(NumberValue(text) - value), std::pow(10.0, 308 - (significant - 1))) << text;
        }
    }
    // Below the carry the digits are still rounded to nearest.
    EXPECT_EQ(PlainNumberText(1.26e308, 2), "1.3E+308");
}

struct FixedCase
{
    double value;
    FixedPattern pattern;
    const char* text;
};

TEST(FixedText, FourDecimalsHalvesAwayFromZero)
{
    const FixedCase cases[] = {
        { 78.084, FixedPattern::TwoDigits, "78.0840" },
        { 0.9365, FixedPattern::OneDigit, "0.9365" },
        { 1.56, FixedPattern::OptionalDigit, "1.5600" },
        { 0, FixedPattern::OptionalDigit, "0.0000" },
        { 0, FixedPattern::OneDigit, "0.0000" },
        { 5.5, FixedPattern::TwoDigits, "05.5000" },
        { 100, FixedPattern::TwoDigits, "100.0000" },
        { 0.5, FixedPattern::NoDigit, ".5000" },
        { 12.3456, FixedPattern::NoDigit, "12.3456" },
        { 0.00005, FixedPattern::OneDigit, "0.0001" },
        { -0.00005, FixedPattern::OneDigit, "-0.0001" },
        { -0.0016, FixedPattern::TwoDigits, "-00.0016" },
        { -0.00001, FixedPattern::TwoDigits, "00.0000" },
        { 12.34575, FixedPattern::OptionalDigit, "12.3458" },
        { 12.34565, FixedPattern::OptionalDigit, "12.3456" }, // 123456.49999999999 once scaled
        { 1e20, FixedPattern::OneDigit, "100000000000000000000.0000" },
    };
    for (const FixedCase& c : cases)
        EXPECT_EQ(FixedText(c.value, c.pattern), c.text) << c.value;
}

// A comma-decimal process locale must change nothing.
class CommaLocale : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : { "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8" }) {
            if (std::setlocale(LC_ALL, name)) {
                active_ = true;
                try {
                    std::locale::global(std::locale(name));
                } catch (...) {
                }
                break;
            }
        }
    }
    void TearDown() override
    {
        std::setlocale(LC_ALL, "C");
        std::locale::global(std::locale::classic());
    }
    bool active_ = false;
};

TEST_F(CommaLocale, NumbersUseThePointWhateverTheLocale)
{
    if (!active_)
        GTEST_SKIP() << "no comma-decimal locale installed";
    ASSERT_EQ(std::localeconv()->decimal_point[0], ',');
    EXPECT_EQ(NumberValue("1.5"), 1.5);
    EXPECT_EQ(NumberValue("1,5"), 1);
    EXPECT_FALSE(IsNumberText("1,5"));
    EXPECT_EQ(NumberText(1.25, 3), "1.25");
    EXPECT_EQ(PlainNumberText(-1.5e15), "-1.5E+15");
    EXPECT_EQ(FixedText(1.5, FixedPattern::OneDigit), "1.5000");
}

// What std::to_chars writes for the value of a text, the reference for ShortestPlainDecimal.
std::string ToChars(std::string_view text)
{
    char buffer[64];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, *NumberTextValue(text)).ptr);
}

std::optional<std::string> Shortest(std::string_view text)
{
    std::string out(text.size() + 1, '?');
    char* const end = ShortestPlainDecimal(text, out.data());
    if (!end)
        return std::nullopt;
    out.resize(static_cast<std::size_t>(end - out.data()));
    return out;
}

TEST(ShortestPlainDecimal, IsTheTextWithoutRedundantZerosWhereToCharsWritesTheFixedForm)
{
    const struct
    {
        const char* text;
        const char* shortest; // nullptr: not formed from the text
    } cases[] = {
        { "25.1", "25.1" },
        { "-0012.50", "-12.5" },
        { "99.094", "99.094" },
        { ".5", "0.5" },
        { "5.", "5" },
        { "0", "0" },
        { "-0.0", "-0" },
        { "000", "0" },
        { "1000", "1000" },
        { "10000", "10000" },
        { "100000", nullptr },
        { "0.001", "0.001" },
        { "0.0001", nullptr },
        { "0.00012", "0.00012" },
        { "0.000012", nullptr },
        { "123456789012345", "123456789012345" },
        { "1234567890123456", nullptr },
        { "0.123456789012345", "0.123456789012345" },
        { "0.1234567890123456", nullptr },
        { "+5", nullptr },
        { "1e5", nullptr },
        { " 5", nullptr },
        { "5 ", nullptr },
        { "1,5", nullptr },
        { "", nullptr },
        { ".", nullptr },
        { "-", nullptr },
        { "1.2.3", nullptr },
        { "--1", nullptr },
        { "100000000000000", nullptr },
        { "12340000000000", nullptr },
        { "1234000", "1234000" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<std::string> shortest = Shortest(c.text);
        if (c.shortest == nullptr) {
            EXPECT_FALSE(shortest) << *shortest;
        } else {
            ASSERT_TRUE(shortest);
            EXPECT_EQ(*shortest, c.shortest);
            EXPECT_EQ(*shortest, ToChars(c.text));
        }
    }
}

// Random plain decimals of every length and position of the point, with leading and trailing zeros:
// wherever the text gives the shortest form it is exactly what to_chars writes, and it is given for
// the common texts of logger files.
TEST(ShortestPlainDecimal, AgreesWithToCharsOnRandomDecimals)
{
    std::mt19937_64 random(2026);
    const auto count = [&](int most) { return static_cast<int>(random() % static_cast<unsigned>(most + 1)); };
    long formed = 0;
    for (int i = 0; i < 200000; ++i) {
        std::string text = random() % 4 == 0 ? "-" : "";
        text.append(static_cast<std::size_t>(count(2)), '0');
        for (int d = count(17); d > 0; --d)
            text += static_cast<char>('0' + random() % 10);
        if (random() % 4 != 0) {
            text += '.';
            text.append(static_cast<std::size_t>(count(5)), '0');
            for (int d = count(17); d > 0; --d)
                text += static_cast<char>('0' + random() % 10);
            text.append(static_cast<std::size_t>(count(2)), '0');
        }
        if (!NumberTextValue(text))
            continue;
        const std::optional<std::string> shortest = Shortest(text);
        if (!shortest)
            continue;
        ++formed;
        ASSERT_EQ(*shortest, ToChars(text)) << text;
    }
    EXPECT_GT(formed, 50000);
}

} // namespace
} // namespace humidora
