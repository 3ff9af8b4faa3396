// Fuzz target of the number texts, the only parsers and formatters of the system.
//
// The input is read twice: as a text for NumberValue and IsNumberText, and as the bytes of a double with
// a count of decimals and a pattern for the writers. The reader is compared with the C library's strtod
// (correctly rounded, "C" locale) on the trimmed text; the writers' texts must be number texts that read
// back to the value they stand for.
#include "calc/units/number_text.h"
#include "fuzz_check.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using namespace humidora;
using humidora::fuzz::Printable;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string WithoutBlanks(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (!IsBlank(c))
            out += c;
    }
    return out;
}

std::string Describe(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g (%a)", value, value);
    return buffer;
}

// strtod of a whole text: the value, and whether every character was consumed.
struct Strtod
{
    double value = 0;
    bool whole = false;
};
Strtod ParseWhole(std::string_view text)
{
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(copy.c_str(), &end);
    return { value, !copy.empty() && end == copy.c_str() + copy.size() };
}

// The decimal that `value` rounds to with `significant` digits, read back: what a text of that many
// significant digits can at best stand for.
double RoundedToSignificant(double value, int significant)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", significant - 1, value);
    return std::strtod(buffer, nullptr);
}

// A text written with `significant` digits reads back to the nearest decimal of that many digits. Next to
// the largest double that decimal can lie outside the double range; the text then stands for the decimal
// cut (not rounded) to its digits, which still reads as a number.
void CheckReadsBack(const std::string& text, double value, int significant, const std::string& context)
{
    const double read = NumberValue(text);
    const double nearest = RoundedToSignificant(value, significant);
    if (std::isfinite(nearest)) {
        FUZZ_CHECK(read == nearest, context + " reads " + Describe(read) + ", expected " + Describe(nearest));
        return;
    }
    const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(value))) - (significant - 1));
    FUZZ_CHECK(std::isfinite(read) && std::fabs(read) <= std::fabs(value) && std::fabs(value - read) <= unit
            && std::signbit(read) == std::signbit(value),
        context + " reads " + Describe(read));
}

void CheckReader(std::string_view text)
{
    const double value = NumberValue(text);
    FUZZ_CHECK(!std::isnan(value), Printable(text));
    // Blanks are ignored anywhere in a text that is read.
    FUZZ_CHECK(NumberValue(WithoutBlanks(text)) == value, Printable(text) + " reads " + Describe(value));

    const bool accepted = IsNumberText(text);
    const std::string_view trimmed = Trimmed(text);
    // A text the C library reads in full as a plain decimal (no hexadecimal, infinity or NaN spellings)
    // and that stays inside the double range is exactly what IsNumberText accepts.
    const bool decimal_characters
        = !trimmed.empty() && std::all_of(trimmed.begin(), trimmed.end(), [](char c) {
              return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
          });
    const Strtod reference = decimal_characters ? ParseWhole(trimmed) : Strtod {};
    const bool expected = decimal_characters && reference.whole && std::isfinite(reference.value);
    FUZZ_CHECK(accepted == expected, Printable(text) + (accepted ? " accepted" : " refused"));
    if (!accepted)
        return;
    // An accepted text is read in full: NumberValue stops nowhere before its end.
    FUZZ_CHECK(value == reference.value,
        Printable(text) + " reads " + Describe(value) + ", strtod " + Describe(reference.value));
    FUZZ_CHECK(std::isfinite(value), Printable(text));
}

void CheckNumberText(double value, int decimals, Precision precision)
{
    const std::string text = NumberText(value, decimals, precision);
    const std::string context
        = Describe(value) + " with " + std::to_string(decimals) + " decimals: " + Printable(text);
    if (!std::isfinite(value)) {
        FUZZ_CHECK(text == "Error", context);
        return;
    }
    FUZZ_CHECK(IsNumberText(text), context);
    FUZZ_CHECK(text.find_first_of(" \t\r\n,") == std::string::npos, context);
    FUZZ_CHECK(text != "-0", context);
    const std::string_view digits = std::string_view(text).substr(text[0] == '-' ? 1 : 0);
    FUZZ_CHECK(!(digits.size() > 1 && digits[0] == '0'), context); // no zero before the point
    const bool exponent_form = text.find('E') != std::string::npos;
    if (text.find('.') != std::string::npos && !exponent_form)
        FUZZ_CHECK(text.back() != '0' && text.back() != '.', context); // no trailing zeros

    const double rounded = RoundHalfEven(value, decimals);
    const double scale = std::pow(10.0, decimals);
    const double bound = 0.5 / scale + 4 * std::ldexp(std::max(std::fabs(value), std::fabs(rounded)), -52);
    FUZZ_CHECK(std::fabs(rounded - value) <= bound, context + " rounds to " + Describe(rounded));
    const int significant = precision == Precision::Single ? 7 : 15;
    CheckReadsBack(text, rounded, significant, context + " rounded to " + Describe(rounded));
}

void CheckPlainNumberText(double value, int significant)
{
    const std::string text = PlainNumberText(value, significant);
    const std::string context
        = Describe(value) + " to " + std::to_string(significant) + " digits: " + Printable(text);
    if (!std::isfinite(value)) {
        FUZZ_CHECK(text == "Error", context);
        return;
    }
    FUZZ_CHECK(IsNumberText(text), context);
    CheckReadsBack(text, value, std::clamp(significant, 1, 17), context);
}

void CheckFixedText(double value, FixedPattern pattern)
{
    const std::string text = FixedText(value, pattern);
    const std::string context
        = Describe(value) + " pattern " + std::to_string(static_cast<int>(pattern)) + ": " + Printable(text);
    if (!std::isfinite(value)) {
        FUZZ_CHECK(text == "Error", context);
        return;
    }
    // Well formed: an optional '-', the integer digits the pattern forces (and no padding beyond them),
    // the point, exactly four decimals.
    const bool negative = !text.empty() && text[0] == '-';
    const std::string_view body = std::string_view(text).substr(negative ? 1 : 0);
    const std::size_t point = body.find('.');
    FUZZ_CHECK(point != std::string_view::npos && body.size() - point - 1 == 4, context);
    FUZZ_CHECK(
        std::all_of(body.begin(), body.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; })
            && body.find('.', point + 1) == std::string_view::npos,
        context);
    const std::size_t forced = pattern == FixedPattern::TwoDigits ? 2
        : pattern == FixedPattern::NoDigit                        ? 0
                                                                  : 1;
    FUZZ_CHECK(point >= forced, context);
    FUZZ_CHECK(point <= forced || body[0] != '0', context);
    FUZZ_CHECK(IsNumberText(text), context);
    const double read = NumberValue(text);
    FUZZ_CHECK(!(negative && read == 0), context); // no sign on a value that rounds to zero
    // Four decimals, halves away from zero: at most half a unit of the fourth decimal away, plus the
    // value's own resolution where that is coarser than the fourth decimal.
    const double bound = 0.00005 + 4 * std::ldexp(std::fabs(value), -52);
    FUZZ_CHECK(std::fabs(read - value) <= bound, context + " reads " + Describe(read));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckReader(text);

    // The writers get the value of the text (numbers near the texts people type) and, when the input is
    // long enough, a raw double from its first bytes (every bit pattern, NaN and infinities included).
    const int decimals = size > 0 ? data[size - 1] % 23 : 3;
    const auto pattern = static_cast<FixedPattern>(size > 1 ? data[size - 2] % 4 : 0);
    const int significant = size > 2 ? data[size - 3] % 19 : 15;
    double values[2] = { NumberValue(text), 0 };
    const int count = size >= sizeof(double) ? 2 : 1;
    if (count == 2)
        std::memcpy(&values[1], data, sizeof(double));
    for (int i = 0; i < count; ++i) {
        CheckNumberText(values[i], decimals, Precision::Double);
        CheckNumberText(values[i], decimals, Precision::Single);
        CheckPlainNumberText(values[i], significant);
        CheckFixedText(values[i], pattern);
    }
    return 0;
}
