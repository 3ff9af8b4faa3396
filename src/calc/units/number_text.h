// The system's only number parsers and formatters. '.' is the decimal point whatever the process
// locale; nothing here consults the locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace humidora {

/// Value of the longest leading part of text that reads as a decimal number: blanks (space, tab, CR, LF)
/// are ignored anywhere ("1 2" reads 12), then an optional sign, digits with at most one '.', and an
/// optional exponent ("E" or "e", optional sign, digits). A text without such a part reads 0. A number
/// beyond the double range reads +-infinity; one below the smallest subnormal reads 0.
double NumberValue(std::string_view text);

/// True when the whole text, leading and trailing blanks aside, is one decimal number: optional sign,
/// digits with at most one '.' (at least one digit), optional exponent with at least one digit.
/// Accepts "5." and "+5"; refuses "", ".", "1e", "1,5", "1 2" and numbers beyond the double range.
bool IsNumberText(std::string_view text);

/// The value of a text that IsNumberText accepts (the same as NumberValue), nullopt for any other text:
/// one reading for both questions.
std::optional<double> NumberTextValue(std::string_view text);

/// What std::to_chars writes for the value of `text` (the shortest text that reads back to the same
/// double), formed from the text itself when it is a plain decimal of at most fifteen significant digits
/// ("-0012.50" gives "-12.5"): written from `out` on, its end returned. A decimal of at most fifteen
/// digits is the only one of so few digits that reads as its double, so its digits are the shortest;
/// nullptr, with nothing written, for any other text and where to_chars chooses the exponent form
/// ("100000" is "1e+05"). `out` has room for the text's length plus one.
char* ShortestPlainDecimal(std::string_view text, char* out);

/// True when the text, leading blanks aside, is the beginning of a number that more typing can complete:
/// a sign, digits with at most one '.', and after a digit an exponent letter with an optional sign and
/// digits ("-", ".", "1E", "1e-"). A text without any non-blank character is no such beginning.
bool IsNumberBeginning(std::string_view text);

/// Whether a value is held in double or single precision: decides how many significant digits
/// (15 or 7) its text may show.
enum class Precision
{
    Double,
    Single
};

/// value rounded half-to-even to a multiple of 10^-decimals. The rule: value x 10^decimals is formed in
/// double precision (one IEEE rounding) and that product, if exactly half-way between two integers, goes
/// to the even one. So 173.3205 with 3 decimals, whose product is exactly 173320.5 in double precision,
/// gives 173.32, although its binary value lies a little below the half. Magnitudes whose product is
/// already integral (2^52 and above) come back unchanged; decimals is 0..22.
double RoundHalfEven(double value, int decimals);

/// value written in the shortest plain form with at most `significant` significant digits (15 for double,
/// 7 for single): '.' as decimal point, no trailing zeros, no point for a whole value, no zero before the
/// point below 1 (".05", "-.5"), '-' before a negative value, "0" for zero (never "-0"). From a magnitude
/// of 1e15 up the exponent form is used: mantissa, 'E', sign, at least two digits ("1E+20", "-1.5E+15").
/// Small magnitudes stay plain (".0000000140485"). A non-finite value is written "Error".
std::string PlainNumberText(double value, int significant = 15);

/// NumberText: value rounded to `decimals` by RoundHalfEven, then written by PlainNumberText with 15
/// significant digits, or 7 for a value held in single precision.
std::string NumberText(double value, int decimals, Precision precision = Precision::Double);

/// The fixed four-decimal patterns. Four decimals, halves rounded away from zero (the value x 10^4 formed
/// in double precision, as in RoundHalfEven), trailing zeros kept, a sign in front of the padding
/// ("-00.0016"), no sign for a value that rounds to zero, wider values written in full (100 gives
/// "100.0000"). A non-finite value is written "Error".
enum class FixedPattern
{
    TwoDigits,     ///< "00.0000": at least two digits before the point
    OneDigit,      ///< "0.0000": at least one digit before the point
    OptionalDigit, ///< "#0.0000": at least one digit before the point
    NoDigit,       ///< "##.0000": no digit forced, a value below 1 starts with the point
};
std::string FixedText(double value, FixedPattern pattern);

/// The texts of NumberText and FixedText appended to `text`: formed in a buffer on the stack, so that a
/// text rewritten on every recalculation reuses its string's storage.
void AppendNumberText(std::string& text, double value, int decimals, Precision precision = Precision::Double);
void AppendFixedText(std::string& text, double value, FixedPattern pattern);

} // namespace humidora
