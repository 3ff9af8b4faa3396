// The number texts written in fixed buffers are the texts of the string-building writers they replaced,
// and the reader that scans positions reads every text as the reader that collected the number into
// strings did; both old forms are kept here as the reference. The writers are compared on a million
// random and adversarial values per mode the system uses (NumberText by decimals and precision, FixedText
// by pattern, PlainNumberText by digits), among them halves at the rounding digit and their neighbours,
// powers of ten, runs of nines that carry, the limit of the integer digits, negative zero, subnormals, the
// largest doubles, infinities and NaN; the reader on a million typed, pasted and mangled texts.
#include "calc/units/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <locale>
#include <optional>
#include <random>
#include <string>
#include <system_error>

namespace humidora {
namespace {

// ---- The reference: the writers as they were before the buffers ---------------------------------------

constexpr std::array<double, 23> kPowersOfTen = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10,
    1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
constexpr double kIntegralFrom = 4503599627370496.0;

double ReferenceRoundHalfEven(double value, int decimals)
{
    if (decimals < 0 || decimals >= static_cast<int>(kPowersOfTen.size()) || !std::isfinite(value))
        return value;
    const double scale = kPowersOfTen[static_cast<std::size_t>(decimals)];
    const double scaled = value * scale;
    if (!(std::fabs(scaled) < kIntegralFrom))
        return value;
    const double floor = std::floor(scaled);
    const double fraction = scaled - floor;
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0))
        rounded = floor + 1;
    return rounded / scale;
}

std::string ReferencePlainNumberText(double value, int significant = 15)
{
    if (!std::isfinite(value))
        return "Error";
    if (value == 0)
        return "0";
    if (significant < 1)
        significant = 1;
    if (significant > 17)
        significant = 17;
    std::array<char, 64> buffer {};
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
        std::chars_format::scientific, significant - 1);
    if (double check = 0; std::fabs(value) > 1e308
        && std::from_chars(buffer.data(), result.ptr, check).ec == std::errc::result_out_of_range) {
        result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
            std::chars_format::scientific, 16);
        char* e = std::find(buffer.data(), result.ptr, 'e');
        const std::size_t keep = static_cast<std::size_t>(significant) + (significant > 1 ? 1 : 0);
        std::copy(e, result.ptr, buffer.data() + keep);
        result.ptr = buffer.data() + keep + (result.ptr - e);
    }
    const std::string_view scientific(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
    const std::size_t e_at = scientific.find('e');
    std::string digits;
    for (const char c : scientific.substr(0, e_at)) {
        if (c != '.')
            digits += c;
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exponent = 0;
    const std::string_view exponent_text = scientific.substr(e_at + 1);
    std::from_chars(exponent_text.data() + (exponent_text[0] == '+' ? 1 : 0),
        exponent_text.data() + exponent_text.size(), exponent);

    std::string text = value < 0 ? "-" : "";
    if (exponent >= 15) {
        text += digits[0];
        if (digits.size() > 1) {
            text += '.';
            text += digits.substr(1);
        }
        text += "E+";
        if (exponent < 10)
            text += '0';
        text += std::to_string(exponent);
    } else if (exponent >= 0) {
        const std::size_t integer_digits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integer_digits)
            text += digits + std::string(integer_digits - digits.size(), '0');
        else
            text += digits.substr(0, integer_digits) + '.' + digits.substr(integer_digits);
    } else {
        text += '.' + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    return text;
}

std::string ReferenceNumberText(double value, int decimals, Precision precision)
{
    return ReferencePlainNumberText(
        ReferenceRoundHalfEven(value, decimals), precision == Precision::Single ? 7 : 15);
}

std::string ReferenceFixedText(double value, FixedPattern pattern)
{
    if (!std::isfinite(value))
        return "Error";
    const double magnitude = std::fabs(value) * 10000;
    std::string digits;
    bool zero = false;
    std::array<char, 400> buffer {};
    if (magnitude < kIntegralFrom) {
        const double floor = std::floor(magnitude);
        const double rounded = magnitude - floor >= 0.5 ? floor + 1 : floor;
        const auto result = std::to_chars(
            buffer.data(), buffer.data() + buffer.size(), rounded, std::chars_format::fixed, 0);
        digits.assign(buffer.data(), result.ptr);
        zero = rounded == 0;
    } else {
        const auto result = std::to_chars(
            buffer.data(), buffer.data() + buffer.size(), std::fabs(value), std::chars_format::fixed, 4);
        for (const char* c = buffer.data(); c != result.ptr; ++c) {
            if (*c != '.')
                digits += *c;
        }
    }
    const std::size_t min_integer_digits = pattern == FixedPattern::TwoDigits ? 2
        : pattern == FixedPattern::NoDigit                                    ? 0
                                                                              : 1;
    if (digits.size() < 4 + min_integer_digits)
        digits.insert(0, 4 + min_integer_digits - digits.size(), '0');
    std::string text = (value < 0 && !zero) ? "-" : "";
    text += digits.substr(0, digits.size() - 4) + '.' + digits.substr(digits.size() - 4);
    return text;
}

// ---- The reference readers: the number scanned into strings, as before ----------------------------------

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The numeric part of a text, blanks removed: sign, mantissa and exponent as separate strings.
struct ReferenceParts
{
    bool negative = false;
    std::string mantissa; // digits with at most one '.'
    std::string exponent; // optional sign and digits, empty when there is no exponent
    bool has_digit = false;
    std::size_t end = 0;          // index in the text just past the last character that belongs to the number
    std::size_t mantissa_end = 0; // index just past the sign and mantissa (and blanks between them)
};

// Scans the longest leading number. When skip_inner_blanks is false, a blank inside the number ends it.
ReferenceParts ReferenceScan(std::string_view text, bool skip_inner_blanks)
{
    ReferenceParts parts;
    std::size_t i = 0;
    const auto skip_blanks = [&] {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
    };
    const auto inner_blanks = [&] {
        if (skip_inner_blanks)
            skip_blanks();
    };
    skip_blanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        parts.negative = text[i] == '-';
        ++i;
        inner_blanks();
    }
    bool seen_point = false;
    while (i < text.size()) {
        const char c = text[i];
        if (IsDigit(c)) {
            parts.has_digit = true;
        } else if (c == '.' && !seen_point) {
            seen_point = true;
        } else {
            break;
        }
        parts.mantissa += c;
        ++i;
        parts.end = i;
        inner_blanks();
    }
    parts.mantissa_end = i;
    if (!parts.has_digit)
        return parts;
    // An exponent belongs to the number only when at least one digit follows its letter and sign.
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        std::size_t j = i + 1;
        std::string exponent;
        const auto exponent_blanks = [&] {
            while (skip_inner_blanks && j < text.size() && IsBlank(text[j]))
                ++j;
        };
        exponent_blanks();
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            exponent += text[j];
            ++j;
            exponent_blanks();
        }
        std::size_t end = 0;
        bool exponent_digit = false;
        while (j < text.size() && IsDigit(text[j])) {
            exponent += text[j];
            exponent_digit = true;
            ++j;
            end = j;
            exponent_blanks();
        }
        if (exponent_digit) {
            parts.exponent = exponent;
            parts.end = end;
        }
    }
    return parts;
}

// Value of scanned parts, correctly rounded. Overflow gives +-inf, underflow 0.
double ReferencePartsValue(const ReferenceParts& parts, bool* overflow = nullptr)
{
    if (overflow)
        *overflow = false;
    if (!parts.has_digit)
        return 0;
    std::string number = parts.mantissa;
    if (!parts.exponent.empty()) {
        number += 'e';
        number += parts.exponent;
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Decide between overflow and underflow from the decimal magnitude: position of the first
        // significant digit relative to the point, plus the exponent (clamped: it may be huge).
        long magnitude = 0;
        bool found = false;
        long position = 0; // digits before the point counted from the first significant digit
        bool after_point = false;
        for (const char c : parts.mantissa) {
            if (c == '.') {
                after_point = true;
                continue;
            }
            if (!found && c != '0') {
                found = true;
                position = 0;
            }
            if (!after_point && found)
                ++position;
            if (after_point && !found)
                --position;
        }
        magnitude = position;
        long exponent = 0;
        for (const char c : parts.exponent) {
            if (IsDigit(c) && exponent < 100000000)
                exponent = exponent * 10 + (c - '0');
        }
        if (!parts.exponent.empty() && parts.exponent[0] == '-')
            exponent = -exponent;
        magnitude += exponent;
        if (magnitude > 0) {
            if (overflow)
                *overflow = true;
            value = std::numeric_limits<double>::infinity();
        } else {
            value = 0;
        }
    }
    return parts.negative ? -value : value;
}
double ReferenceNumberValue(std::string_view text)
{
    return ReferencePartsValue(ReferenceScan(text, true));
}

bool ReferenceIsNumberText(std::string_view text)
{
    const ReferenceParts parts = ReferenceScan(text, false);
    if (!parts.has_digit)
        return false;
    for (std::size_t i = parts.end; i < text.size(); ++i) {
        if (!IsBlank(text[i]))
            return false;
    }
    bool overflow = false;
    ReferencePartsValue(parts, &overflow);
    return !overflow;
}

bool ReferenceIsNumberBeginning(std::string_view text)
{
    if (std::all_of(text.begin(), text.end(), IsBlank))
        return false;
    const ReferenceParts parts = ReferenceScan(text, false);
    if (parts.mantissa_end == text.size() || parts.end == text.size())
        return true;
    // An exponent still being typed: its letter after a digit, perhaps its sign, no digit yet.
    const std::size_t letter = parts.mantissa_end;
    if (!parts.has_digit || (text[letter] != 'E' && text[letter] != 'e'))
        return false;
    const std::string_view rest = text.substr(letter + 1);
    return rest.empty() || rest == "+" || rest == "-";
}

// ---- Values that stress a writer at `decimals` decimals and `significant` digits ----------------------

class Values
{
public:
    Values(std::uint64_t seed, int decimals, int significant)
        : engine_(seed)
        , decimals_(decimals)
        , significant_(significant)
    {
    }

    double Next()
    {
        switch (Below(10)) {
        case 0:
            return AnyDouble();
        case 1:
            return Neighbour(Signed(std::pow(10.0, Between(-12, 18))));
        case 2:
            return Neighbour(Signed((Integer(17) + 0.5) / Scale())); // a half at the rounding digit
        case 3:
            return Neighbour(Signed(Nines() / std::pow(10.0, Below(24)))); // 9.99..: carries
        case 4:
            return Neighbour(Signed((Nines() + 0.5) / Scale()));
        case 5:
            return Neighbour(Signed(std::pow(10.0, Below(50) - 25))); // powers of ten
        case 6: // about as many digits as are shown: the limit between the short and the general path
            return Neighbour(Signed((Between(0.5, 20) * std::pow(10.0, significant_ - 1)) / Scale()));
        case 7:
            return Neighbour(Signed(static_cast<float>(std::pow(10.0, Between(-8, 9))))); // singles
        case 8:
            return Neighbour(Signed(kIntegralFrom / Scale())); // the end of the integral scaling
        default:
            return Special();
        }
    }

private:
    double Unit() { return static_cast<double>(engine_() >> 11) * 0x1p-53; }
    double Between(double low, double high) { return low + (high - low) * Unit(); }
    int Below(int n) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }
    double Signed(double value) { return Below(2) == 0 ? value : -value; }
    double Scale() const
    {
        return decimals_ >= 0 && decimals_ < 23 ? kPowersOfTen[static_cast<std::size_t>(decimals_)] : 1;
    }
    // An integer of 1 to `digits` digits.
    double Integer(int digits) { return std::floor(Unit() * std::pow(10.0, 1 + Below(digits))); }
    double Nines() { return std::pow(10.0, 1 + Below(17)) - 1; }
    // The value or one of the three doubles on either side of it.
    double Neighbour(double value)
    {
        const int steps = Below(7) - 3;
        for (int i = 0; i < std::abs(steps); ++i)
            value = std::nextafter(value, steps < 0 ? -INFINITY : INFINITY);
        return value;
    }
    double AnyDouble()
    {
        const std::uint64_t bits = engine_();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    double Special()
    {
        constexpr double kSpecial[] = { 0.0, -0.0, std::numeric_limits<double>::denorm_min(),
            std::numeric_limits<double>::min(), std::numeric_limits<double>::max(), 1e308,
            1.7976931348623e308, std::numeric_limits<double>::infinity(),
            -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(), 0.5, 0.05,
            0.00005, 1e15, 1e16, 999999999999999.0, 9999999.5, 0.99999995, 9.9995, 99.995 };
        return Neighbour(Signed(kSpecial[Below(static_cast<int>(std::size(kSpecial)))]));
    }

    std::mt19937_64 engine_;
    int decimals_;
    int significant_;
};

constexpr int kValuesPerMode = 1000000;

struct RoundedMode
{
    int decimals;
    Precision precision;
};

class NumberTextIdentity : public testing::TestWithParam<RoundedMode>
{
};

TEST_P(NumberTextIdentity, TheReferenceTextOfEveryValue)
{
    const auto [decimals, precision] = GetParam();
    const int significant = precision == Precision::Single ? 7 : 15;
    Values values(1000 + static_cast<std::uint64_t>(decimals * 2 + significant), decimals, significant);
    std::string appended = "=";
    for (int i = 0; i < kValuesPerMode; ++i) {
        const double value = values.Next();
        const std::string expected = ReferenceNumberText(value, decimals, precision);
        ASSERT_EQ(NumberText(value, decimals, precision), expected) << std::hexfloat << value;
        appended.resize(1);
        AppendNumberText(appended, value, decimals, precision);
        ASSERT_EQ(appended, "=" + expected) << std::hexfloat << value;
    }
}

// Every decimals the windows, the command line and the report use, in both precisions; further ones
// and the out-of-range counts that leave the value unrounded.
std::vector<RoundedMode> RoundedModes()
{
    std::vector<RoundedMode> modes;
    for (const Precision precision : { Precision::Double, Precision::Single }) {
        for (int decimals = -1; decimals <= 23; ++decimals) {
            if (decimals <= 8 || decimals == 15 || decimals == 22 || decimals == 23)
                modes.push_back({ decimals, precision });
        }
    }
    return modes;
}

INSTANTIATE_TEST_SUITE_P(Decimals, NumberTextIdentity, testing::ValuesIn(RoundedModes()),
    [](const testing::TestParamInfo<RoundedMode>& info) {
        return (info.param.precision == Precision::Single ? std::string("Single") : std::string("Double"))
            + (info.param.decimals < 0 ? "Minus" + std::to_string(-info.param.decimals)
                                       : std::to_string(info.param.decimals));
    });

class FixedTextIdentity : public testing::TestWithParam<FixedPattern>
{
};

TEST_P(FixedTextIdentity, TheReferenceTextOfEveryValue)
{
    const FixedPattern pattern = GetParam();
    Values values(2000 + static_cast<std::uint64_t>(pattern), 4, 15);
    std::string appended = "=";
    for (int i = 0; i < kValuesPerMode; ++i) {
        const double value = values.Next();
        const std::string expected = ReferenceFixedText(value, pattern);
        ASSERT_EQ(FixedText(value, pattern), expected) << std::hexfloat << value;
        appended.resize(1);
        AppendFixedText(appended, value, pattern);
        ASSERT_EQ(appended, "=" + expected) << std::hexfloat << value;
    }
}

std::string PatternName(const testing::TestParamInfo<FixedPattern>& info)
{
    constexpr const char* kNames[] = { "TwoDigits", "OneDigit", "OptionalDigit", "NoDigit" };
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Patterns, FixedTextIdentity,
    testing::Values(
        FixedPattern::TwoDigits, FixedPattern::OneDigit, FixedPattern::OptionalDigit, FixedPattern::NoDigit),
    PatternName);

class PlainTextIdentity : public testing::TestWithParam<int>
{
};

TEST_P(PlainTextIdentity, TheReferenceTextOfEveryValue)
{
    const int significant = GetParam();
    Values values(3000 + static_cast<std::uint64_t>(significant + 1), 8, std::clamp(significant, 1, 17));
    for (int i = 0; i < kValuesPerMode; ++i) {
        const double value = values.Next();
        ASSERT_EQ(PlainNumberText(value, significant), ReferencePlainNumberText(value, significant))
            << std::hexfloat << value;
    }
}

// 15 and 7 as the windows use them, the rest of the range and the counts it is clamped to.
INSTANTIATE_TEST_SUITE_P(Digits, PlainTextIdentity, testing::Values(15, 7, 1, 2, 16, 17, 0, 18));

TEST(NumberTextIdentity, RoundHalfEvenIsTheReferenceRounding)
{
    Values values(4000, 3, 15);
    for (int i = 0; i < kValuesPerMode; ++i) {
        const double value = values.Next();
        for (const int decimals : { 0, 3, 7, 22 }) {
            const double expected = ReferenceRoundHalfEven(value, decimals);
            const double rounded = RoundHalfEven(value, decimals);
            ASSERT_TRUE(rounded == expected || (std::isnan(rounded) && std::isnan(expected)))
                << std::hexfloat << value;
            ASSERT_EQ(std::signbit(rounded), std::signbit(expected)) << std::hexfloat << value;
        }
    }
}

// Texts as typed, pasted or mangled: numbers with signs, points, exponents and blanks in random places,
// stray letters, exponents beyond the double range and long runs of digits.
class Texts
{
public:
    explicit Texts(std::uint64_t seed)
        : engine_(seed)
    {
    }

    std::string Next()
    {
        std::string text;
        if (Below(3) == 0) {
            constexpr std::string_view kAlphabet = "0123456789.eE+- \t\r\nx,";
            for (int i = Below(16); i > 0; --i)
                text += kAlphabet[static_cast<std::size_t>(Below(static_cast<int>(kAlphabet.size())))];
            return text;
        }
        Maybe(text, " \t");
        Maybe(text, "+-");
        Blank(text);
        Digits(text, Below(4) == 0 ? 400 : 8);
        if (Below(2) == 0) {
            Blank(text);
            text += '.';
            Digits(text, Below(4) == 0 ? 400 : 8);
        }
        if (Below(2) == 0) {
            Blank(text);
            text += "eE"[Below(2)];
            Blank(text);
            Maybe(text, "+-");
            Blank(text);
            Digits(text, Below(4) == 0 ? 12 : 3);
        }
        Maybe(text, " x.e");
        return text;
    }

private:
    int Below(int n) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }
    void Maybe(std::string& text, std::string_view choices)
    {
        if (Below(3) == 0)
            text += choices[static_cast<std::size_t>(Below(static_cast<int>(choices.size())))];
    }
    void Blank(std::string& text)
    {
        if (Below(8) == 0)
            text += " \t"[Below(2)];
    }
    void Digits(std::string& text, int most)
    {
        const int count = Below(most + 1);
        const bool zeros = Below(4) == 0;
        for (int i = 0; i < count; ++i)
            text += zeros && i + 1 < count ? '0' : static_cast<char>('0' + Below(10));
    }

    std::mt19937_64 engine_;
};

TEST(NumberTextIdentity, TheReaderReadsEveryTextAsTheReference)
{
    Texts texts(6000);
    for (int i = 0; i < kValuesPerMode; ++i) {
        const std::string text = texts.Next();
        const double expected = ReferenceNumberValue(text);
        const double value = NumberValue(text);
        ASSERT_TRUE(value == expected || (std::isnan(value) && std::isnan(expected))) << '"' << text << '"';
        ASSERT_EQ(std::signbit(value), std::signbit(expected)) << '"' << text << '"';
        const bool number = ReferenceIsNumberText(text);
        ASSERT_EQ(IsNumberText(text), number) << '"' << text << '"';
        // A whole number's one reading gives NumberValue's value.
        const std::optional<double> whole = NumberTextValue(text);
        ASSERT_EQ(whole.has_value(), number) << '"' << text << '"';
        if (whole) {
            ASSERT_EQ(*whole, expected) << '"' << text << '"';
        }
        ASSERT_EQ(IsNumberBeginning(text), ReferenceIsNumberBeginning(text)) << '"' << text << '"';
    }
}

// Plain decimals of up to 15 digits are read by one exact division; at 16 digits, with an exponent or
// with inner blanks the general reader takes over. Both sides of each boundary read as the reference.
TEST(NumberTextIdentity, ShortDecimalsAtTheBoundariesOfTheirFastReading)
{
    for (const std::string_view text : { "999999999999999", "9999999999999999", "-999999999999999.",
             ".000000000000001", ".0000000000000001", "-0", "-.0", "0.", "00000000000000.1", "0.1", "0.3",
             "-2.675", "1.005", "123456789012345", "12345678901234.5", "1234567890123456", "9007199254740993",
             ".1e1", "1 .5", "5.", "+.5", "1.7976931348623157", "4.9406564584124654" }) {
        const double expected = ReferenceNumberValue(text);
        EXPECT_EQ(NumberValue(text), expected) << '"' << text << '"';
        EXPECT_EQ(std::signbit(NumberValue(text)), std::signbit(expected)) << '"' << text << '"';
        EXPECT_EQ(NumberTextValue(text).value_or(-1), ReferenceIsNumberText(text) ? expected : -1)
            << '"' << text << '"';
    }
}

// The writers read no locale: under a comma-decimal locale every text is still the reference's.
TEST(NumberTextIdentity, TheSameTextsUnderACommaLocale)
{
    struct CommaLocale
    {
        const char* name = nullptr;
        CommaLocale()
        {
            for (const char* candidate : { "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8" }) {
                if (std::setlocale(LC_ALL, candidate)) {
                    name = candidate;
                    std::locale::global(std::locale(candidate));
                    break;
                }
            }
        }
        ~CommaLocale()
        {
            std::setlocale(LC_ALL, "C");
            std::locale::global(std::locale::classic());
        }
    } locale;
    if (locale.name == nullptr)
        GTEST_SKIP() << "no comma-decimal locale installed";
    ASSERT_EQ(std::localeconv()->decimal_point[0], ',');
    EXPECT_EQ(NumberText(-1234.5678, 3), "-1234.568");
    EXPECT_EQ(FixedText(0.5, FixedPattern::NoDigit), ".5000");
    Values values(5000, 3, 15);
    for (int i = 0; i < 100000; ++i) {
        const double value = values.Next();
        ASSERT_EQ(NumberText(value, 3), ReferenceNumberText(value, 3, Precision::Double));
        ASSERT_EQ(NumberText(value, 6, Precision::Single), ReferenceNumberText(value, 6, Precision::Single));
        ASSERT_EQ(FixedText(value, FixedPattern::NoDigit), ReferenceFixedText(value, FixedPattern::NoDigit));
        ASSERT_EQ(PlainNumberText(value), ReferencePlainNumberText(value));
    }
}

} // namespace
} // namespace humidora
