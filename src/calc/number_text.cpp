#include "calc/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace humidora {
namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The numeric part of a text, blanks removed: sign, mantissa and exponent as separate strings.
struct NumberParts
{
    bool negative = false;
    std::string mantissa; // digits with at most one '.'
    std::string exponent; // optional sign and digits, empty when there is no exponent
    bool has_digit = false;
    std::size_t end = 0;          // index in the text just past the last character that belongs to the number
    std::size_t mantissa_end = 0; // index just past the sign and mantissa (and blanks between them)
};

// Scans the longest leading number. When skip_inner_blanks is false, a blank inside the number ends it.
NumberParts ScanNumber(std::string_view text, bool skip_inner_blanks)
{
    NumberParts parts;
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
double PartsValue(const NumberParts& parts, bool* overflow = nullptr)
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

constexpr std::array<double, 23> kPowersOfTen = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10,
    1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };

constexpr double kIntegralFrom = 4503599627370496.0; // 2^52: every double from here on is an integer

// Writes the decimal digits of an integral double (exactly, whatever its size).
std::string IntegerDigits(double integral)
{
    std::array<char, 400> buffer {};
    const auto result
        = std::to_chars(buffer.data(), buffer.data() + buffer.size(), integral, std::chars_format::fixed, 0);
    return std::string(buffer.data(), result.ptr);
}

} // namespace

double NumberValue(std::string_view text)
{
    return PartsValue(ScanNumber(text, true));
}

bool IsNumberText(std::string_view text)
{
    const NumberParts parts = ScanNumber(text, false);
    if (!parts.has_digit)
        return false;
    for (std::size_t i = parts.end; i < text.size(); ++i) {
        if (!IsBlank(text[i]))
            return false;
    }
    bool overflow = false;
    PartsValue(parts, &overflow);
    return !overflow;
}

bool IsNumberBeginning(std::string_view text)
{
    if (std::all_of(text.begin(), text.end(), IsBlank))
        return false;
    const NumberParts parts = ScanNumber(text, false);
    if (parts.mantissa_end == text.size() || parts.end == text.size())
        return true;
    // An exponent still being typed: its letter after a digit, perhaps its sign, no digit yet.
    const std::size_t letter = parts.mantissa_end;
    if (!parts.has_digit || (text[letter] != 'E' && text[letter] != 'e'))
        return false;
    const std::string_view rest = text.substr(letter + 1);
    return rest.empty() || rest == "+" || rest == "-";
}

double RoundHalfEven(double value, int decimals)
{
    if (decimals < 0 || decimals >= static_cast<int>(kPowersOfTen.size()) || !std::isfinite(value))
        return value;
    const double scale = kPowersOfTen[decimals];
    const double scaled = value * scale;
    if (!(std::fabs(scaled) < kIntegralFrom))
        return value;
    const double floor = std::floor(scaled);
    const double fraction = scaled - floor; // exact below 2^52
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0))
        rounded = floor + 1;
    return rounded / scale;
}

std::string PlainNumberText(double value, int significant)
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
    // Next to the largest double, rounding to fewer digits can carry past it ("1.79769313486232E+308"), and
    // such a text would no longer read as a number. There the digits are cut instead of rounded: the
    // 17-digit form never exceeds the value's own range, and cutting it only makes it smaller.
    if (double check = 0; std::fabs(value) > 1e308
        && std::from_chars(buffer.data(), result.ptr, check).ec == std::errc::result_out_of_range) {
        result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
            std::chars_format::scientific, 16);
        char* e = std::find(buffer.data(), result.ptr, 'e');
        const std::size_t keep = static_cast<std::size_t>(significant) + (significant > 1 ? 1 : 0);
        std::copy(e, result.ptr, buffer.data() + keep);
        result.ptr = buffer.data() + keep + (result.ptr - e);
    }
    const std::string_view scientific(buffer.data(), result.ptr - buffer.data());
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
        if (digits.size() <= integer_digits) {
            text += digits + std::string(integer_digits - digits.size(), '0');
        } else {
            text += digits.substr(0, integer_digits) + '.' + digits.substr(integer_digits);
        }
    } else {
        text += '.' + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    return text;
}

std::string NumberText(double value, int decimals, Precision precision)
{
    return PlainNumberText(RoundHalfEven(value, decimals), precision == Precision::Single ? 7 : 15);
}

std::string FixedText(double value, FixedPattern pattern)
{
    if (!std::isfinite(value))
        return "Error";
    const double magnitude = std::fabs(value) * 10000;
    std::string digits;
    bool zero = false;
    if (magnitude < kIntegralFrom) {
        const double floor = std::floor(magnitude);
        const double rounded = magnitude - floor >= 0.5 ? floor + 1 : floor;
        digits = IntegerDigits(rounded);
        zero = rounded == 0;
    } else {
        // So large that four decimals are below the value's own resolution: write the exact binary value.
        std::array<char, 400> buffer {};
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

} // namespace humidora
