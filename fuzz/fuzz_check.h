// What a fuzz target does when a property it checks does not hold: print what was found and abort, so
// that libFuzzer keeps the input as a crash and stops.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace humidora::fuzz {

[[noreturn]] inline void Fail(std::string_view what, std::string_view detail)
{
    std::fprintf(stderr, "\n*** property violated: %.*s\n    %.*s\n", static_cast<int>(what.size()),
        what.data(), static_cast<int>(detail.size()), detail.data());
    std::fflush(stderr);
    std::abort();
}

/// A text with its control characters and non-ASCII bytes escaped, for messages.
inline std::string Printable(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && c != '"' && c != '\\') {
            out += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
        }
    }
    return out + '"';
}

} // namespace humidora::fuzz

/// Aborts the fuzz run with the condition and a detail text when `condition` is false.
#define FUZZ_CHECK(condition, detail)                                                                        \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            ::humidora::fuzz::Fail(#condition, (detail));                                                    \
    } while (false)
