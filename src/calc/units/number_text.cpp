#include "calc/units/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
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

// Where the leading number of a text lies.
struct NumberParts
{
    bool negative = false;
    bool has_digit = false;
    std::size_t begin = 0;        // index of the mantissa's first digit or point
    std::size_t end = 0;          // index in the text just past the last character that belongs to the number
    std::size_t mantissa_end = 0; // index just past the sign and mantissa (and blanks between them)
};

// Scans the longest leading number: sign, digits with at most one '.', and an exponent when at least one
// digit follows its letter and sign. When skip_inner_blanks is false, a blank inside the number ends it.
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
    parts.begin = i;
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
        ++i;
        parts.end = i;
        inner_blanks();
    }
    parts.mantissa_end = i;
    if (!parts.has_digit || i == text.size() || (text[i] != 'E' && text[i] != 'e'))
        return parts;
    std::size_t j = i + 1;
    const auto exponent_blanks = [&] {
        while (skip_inner_blanks && j < text.size() && IsBlank(text[j]))
            ++j;
    };
    exponent_blanks();
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
        ++j;
        exponent_blanks();
    }
    while (j < text.size() && IsDigit(text[j])) {
        ++j;
        parts.end = j;
        exponent_blanks();
    }
    return parts;
}

// True when the scanned number is the whole text, blanks after it aside.
bool IsWhole(std::string_view text, const NumberParts& parts)
{
    return parts.has_digit && std::all_of(text.begin() + parts.end, text.end(), IsBlank);
}

constexpr std::array<double, 23> kPowersOfTen = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10,
    1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };

// The value of a plain decimal of at most 15 digits (no exponent), or nullopt for any other text. Its digits
// form an integer m below 10^15 < 2^53 and its value is m / 10^k with k <= 15, both operands exact
// doubles, so the one division rounds it correctly: the same double as any correct reader gives.
std::optional<double> ShortDecimalValue(std::string_view number)
{
    if (number.size() > 16)
        return std::nullopt;
    std::uint64_t digits = 0;
    int count = 0;
    int decimals = 0;
    bool point = false;
    for (const char c : number) {
        if (c == '.' && !point) {
            point = true;
        } else if (IsDigit(c)) {
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
            ++count;
            decimals += point ? 1 : 0;
        } else {
            return std::nullopt;
        }
    }
    if (count > 15)
        return std::nullopt;
    return static_cast<double>(digits) / kPowersOfTen[static_cast<std::size_t>(decimals)];
}

// Value of scanned parts, correctly rounded. Overflow gives +-inf, underflow 0.
double PartsValue(std::string_view text, const NumberParts& parts, bool* overflow = nullptr)
{
    if (overflow)
        *overflow = false;
    if (!parts.has_digit)
        return 0;
    // The number's characters without the blanks skipped inside it (mostly there are none to skip).
    std::string_view number = text.substr(parts.begin, parts.end - parts.begin);
    std::string compact;
    if (std::any_of(number.begin(), number.end(), IsBlank)) {
        std::copy_if(
            number.begin(), number.end(), std::back_inserter(compact), [](char c) { return !IsBlank(c); });
        number = compact;
    }
    if (const std::optional<double> value = ShortDecimalValue(number))
        return parts.negative ? -*value : *value;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Decide between overflow and underflow from the decimal magnitude: position of the first
        // significant digit relative to the point, plus the exponent (clamped: it may be huge).
        const std::size_t letter = std::min(number.find_first_of("Ee"), number.size());
        bool found = false;
        long position = 0; // digits before the point counted from the first significant digit
        bool after_point = false;
        for (const char c : number.substr(0, letter)) {
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
        long exponent = 0;
        const std::string_view exponent_text = number.substr(std::min(letter + 1, number.size()));
        for (const char c : exponent_text) {
            if (IsDigit(c) && exponent < 100000000)
                exponent = exponent * 10 + (c - '0');
        }
        if (!exponent_text.empty() && exponent_text[0] == '-')
            exponent = -exponent;
        if (position + exponent > 0) {
            if (overflow)
                *overflow = true;
            value = std::numeric_limits<double>::infinity();
        } else {
            value = 0;
        }
    }
    return parts.negative ? -value : value;
}

constexpr double kIntegralFrom = 4503599627370496.0; // 2^52: every double from here on is an integer

// The longest text a writer below gives: a subnormal written plainly (sign, point, 323 zeros, 17 digits),
// or the exact digits of the largest double with four decimals.
constexpr std::size_t kTextCapacity = 352;
using TextBuffer = std::array<char, kTextCapacity>;

constexpr std::string_view kErrorText = "Error";

char* Write(char* out, std::string_view text)
{
    return std::copy(text.begin(), text.end(), out);
}

char* WriteZeros(char* out, std::size_t count)
{
    return std::fill_n(out, count, '0');
}

// An integral double in [0, 2^52] rounded half-to-even: the rule of RoundHalfEven.
double HalfEvenIntegral(double scaled)
{
    const double floor = std::floor(scaled);
    const double fraction = scaled - floor; // exact below 2^52
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0))
        return floor + 1;
    return floor;
}

// The shortest plain form of PlainNumberText, from the value's correctly rounded scientific digits.
char* WritePlain(char* out, double value, int significant)
{
    if (!std::isfinite(value))
        return Write(out, kErrorText);
    if (value == 0)
        return Write(out, "0");
    significant = std::clamp(significant, 1, 17);
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
    // "d.ddde+XX": the digits without the point and their trailing zeros, and the decimal exponent.
    const char* e_at = std::find(buffer.data(), result.ptr, 'e');
    std::array<char, 17> digits {};
    std::size_t count = 0;
    for (const char* c = buffer.data(); c != e_at; ++c) {
        if (*c != '.')
            digits[count++] = *c;
    }
    while (count > 1 && digits[count - 1] == '0')
        --count;
    int exponent = 0;
    std::from_chars(e_at + (e_at[1] == '+' ? 2 : 1), result.ptr, exponent);

    if (value < 0)
        *out++ = '-';
    const std::string_view all(digits.data(), count);
    if (exponent >= 15) {
        *out++ = digits[0];
        if (count > 1) {
            *out++ = '.';
            out = Write(out, all.substr(1));
        }
        out = Write(out, "E+");
        return std::to_chars(out, out + 8, exponent).ptr;
    }
    if (exponent >= 0) {
        const std::size_t integer_digits = static_cast<std::size_t>(exponent) + 1;
        if (count <= integer_digits)
            return WriteZeros(Write(out, all), integer_digits - count);
        out = Write(out, all.substr(0, integer_digits));
        *out++ = '.';
        return Write(out, all.substr(integer_digits));
    }
    *out++ = '.';
    return Write(WriteZeros(out, static_cast<std::size_t>(-exponent - 1)), all);
}

// The text a forward writer left at the start of the buffer.
std::string_view Written(const TextBuffer& buffer, const char* end)
{
    return std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
}

std::string_view Plain(TextBuffer& buffer, double value, int significant)
{
    return Written(buffer, WritePlain(buffer.data(), value, significant));
}

// The last decimal digit of n, taken off it.
char TakeDigit(std::uint64_t& n)
{
    const auto digit = static_cast<char>('0' + n % 10);
    n /= 10;
    return digit;
}

// The short texts are written backwards from the end of the buffer, from the last digit of an integer:
// the digits below the point first, then the point, then the digits before it.
class Backwards
{
public:
    explicit Backwards(TextBuffer& buffer)
        : end_(buffer.data() + buffer.size())
        , at_(end_)
    {
    }
    void Put(char c) { *--at_ = c; }
    std::string_view Text() const { return std::string_view(at_, static_cast<std::size_t>(end_ - at_)); }

private:
    char* end_;
    char* at_;
};

// NumberText. Rounded to `decimals`, the value is an integer n over 10^decimals; when n has at most
// `significant` digits, the text is n's digits with the point set `decimals` from the right. That is what
// the plain form of n / 10^decimals (one correctly rounded division) shows as well: the quotient lies
// within 2^-53 of n x 10^-decimals relative, four times closer than the half unit of the last of
// `significant` digits, so rounding it to that many digits gives back exactly n's digits. Longer n and
// values beyond 2^52 after scaling take the general path.
std::string_view Rounded(TextBuffer& buffer, double value, int decimals, int significant)
{
    if (!std::isfinite(value))
        return kErrorText;
    if (decimals < 0 || decimals >= static_cast<int>(kPowersOfTen.size()))
        return Plain(buffer, value, significant);
    const double scale = kPowersOfTen[static_cast<std::size_t>(decimals)];
    const double scaled = value * scale;
    if (!(std::fabs(scaled) < kIntegralFrom))
        return Plain(buffer, value, significant);
    const double rounded = HalfEvenIntegral(scaled);
    auto n = static_cast<std::uint64_t>(std::fabs(rounded));
    if (n == 0)
        return "0";
    if (significant < 1 || significant > 17 || n >= static_cast<std::uint64_t>(kPowersOfTen[significant]))
        return Plain(buffer, rounded / scale, significant);

    Backwards text(buffer);
    bool fraction = false; // a digit below the point has been written: the zeros after it stay
    for (int i = 0; i < decimals; ++i) {
        const char digit = TakeDigit(n);
        if (fraction || digit != '0') {
            text.Put(digit);
            fraction = true;
        }
    }
    if (fraction)
        text.Put('.');
    while (n != 0) // no zero before the point
        text.Put(TakeDigit(n));
    if (rounded < 0)
        text.Put('-');
    return text.Text();
}

// FixedText.
std::string_view Fixed(TextBuffer& buffer, double value, FixedPattern pattern)
{
    if (!std::isfinite(value))
        return kErrorText;
    const double magnitude = std::fabs(value) * 10000;
    if (!(magnitude < kIntegralFrom)) {
        // So large that four decimals are below the value's own resolution: the exact binary value.
        char* out = buffer.data();
        if (value < 0)
            *out++ = '-';
        return Written(buffer,
            std::to_chars(out, buffer.data() + buffer.size(), std::fabs(value), std::chars_format::fixed, 4)
                .ptr);
    }
    const double floor = std::floor(magnitude);
    const auto n = static_cast<std::uint64_t>(magnitude - floor >= 0.5 ? floor + 1 : floor);
    const int min_integer_digits = pattern == FixedPattern::TwoDigits ? 2
        : pattern == FixedPattern::NoDigit                            ? 0
                                                                      : 1;
    Backwards text(buffer);
    std::uint64_t rest = n;
    for (int i = 0; i < 4; ++i)
        text.Put(TakeDigit(rest));
    text.Put('.');
    for (int i = 0; rest != 0 || i < min_integer_digits; ++i)
        text.Put(TakeDigit(rest));
    if (value < 0 && n != 0)
        text.Put('-');
    return text.Text();
}

int SignificantDigits(Precision precision)
{
    return precision == Precision::Single ? 7 : 15;
}

} // namespace

double NumberValue(std::string_view text)
{
    return PartsValue(text, ScanNumber(text, true));
}

std::optional<double> NumberTextValue(std::string_view text)
{
    const NumberParts parts = ScanNumber(text, false);
    if (!IsWhole(text, parts))
        return std::nullopt;
    bool overflow = false;
    const double value = PartsValue(text, parts, &overflow);
    if (overflow)
        return std::nullopt;
    return value;
}

bool IsNumberText(std::string_view text)
{
    const NumberParts parts = ScanNumber(text, false);
    if (!IsWhole(text, parts))
        return false;
    // Without an exponent, fewer than 309 digits cannot reach the end of the double range: such a number
    // needs no reading of its value.
    if (parts.end <= parts.mantissa_end && parts.end - parts.begin < 300)
        return true;
    bool overflow = false;
    PartsValue(text, parts, &overflow);
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
    const double scale = kPowersOfTen[static_cast<std::size_t>(decimals)];
    const double scaled = value * scale;
    if (!(std::fabs(scaled) < kIntegralFrom))
        return value;
    return HalfEvenIntegral(scaled) / scale;
}

std::string PlainNumberText(double value, int significant)
{
    TextBuffer buffer;
    return std::string(Plain(buffer, value, significant));
}

std::string NumberText(double value, int decimals, Precision precision)
{
    TextBuffer buffer;
    return std::string(Rounded(buffer, value, decimals, SignificantDigits(precision)));
}

std::string FixedText(double value, FixedPattern pattern)
{
    TextBuffer buffer;
    return std::string(Fixed(buffer, value, pattern));
}

void AppendNumberText(std::string& text, double value, int decimals, Precision precision)
{
    TextBuffer buffer;
    text += Rounded(buffer, value, decimals, SignificantDigits(precision));
}

void AppendFixedText(std::string& text, double value, FixedPattern pattern)
{
    TextBuffer buffer;
    text += Fixed(buffer, value, pattern);
}

char* ShortestPlainDecimal(std::string_view text, char* out)
{
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    const std::size_t point = std::min(text.find('.'), text.size());
    std::string_view whole = text.substr(0, point);
    std::string_view fraction = text.substr(std::min(point + 1, text.size()));
    const auto digits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if ((whole.empty() && fraction.empty()) || !digits(whole) || !digits(fraction))
        return nullptr;
    whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
    fraction = fraction.substr(0, fraction.find_last_not_of('0') + 1);
    // The significant digits and the power of ten of the first of them.
    std::size_t significant = 0;
    int exponent = 0;
    if (!whole.empty()) {
        const std::size_t last = fraction.empty() ? whole.find_last_not_of('0') : whole.size() - 1;
        significant = last + 1 + fraction.size();
        exponent = static_cast<int>(whole.size()) - 1;
    } else if (!fraction.empty()) {
        const std::size_t first = fraction.find_first_not_of('0');
        significant = fraction.size() - first;
        exponent = -static_cast<int>(first) - 1;
    }
    // Below 10^15 a whole number is a double of its own; above, to_chars writes the double's exact digits.
    if (significant > 15 || exponent >= 15)
        return nullptr;
    // to_chars writes the fixed form unless the exponent form ("1.25e-05") is shorter.
    const std::size_t fixed
        = (whole.empty() ? 1 : whole.size()) + (fraction.empty() ? 0 : fraction.size() + 1);
    const std::size_t magnitude = std::abs(exponent);
    const std::size_t scientific = significant + (significant > 1 ? 1 : 0) + 2 + (magnitude >= 100 ? 3 : 2);
    if (significant > 0 && fixed > scientific)
        return nullptr;
    if (negative)
        *out++ = '-';
    if (whole.empty())
        *out++ = '0';
    out = std::copy(whole.begin(), whole.end(), out);
    if (!fraction.empty()) {
        *out++ = '.';
        out = std::copy(fraction.begin(), fraction.end(), out);
    }
    return out;
}

} // namespace humidora
