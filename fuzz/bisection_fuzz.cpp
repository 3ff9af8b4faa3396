// Differential fuzz target of the two inverse routines: SaturationTemperature and WetBulbTemperature take
// a short way to the plain bisection's result, and must return exactly its double for every input, also
// the non-finite, subnormal, reversed and unbracketed ones.
//
// The input is read as doubles (missing bytes are zero): a pressure, then a humidity ratio, a dry bulb
// and a pressure; the first byte chooses the formulation and whether each double is taken as its raw
// bits or as a small offset from a typical value, so that both the whole double range and the physical
// range are explored.
#include "core/properties.h"
#include "core/saturation_curve.h"
#include "fuzz_check.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

using namespace humidora;

struct Reader
{
    const std::uint8_t* data;
    std::size_t size;
    std::uint8_t flags = 0;

    // The next double: its raw bits, or (flag set) typical + scale x a signed 32-bit fraction.
    double Next(int index, double typical, double scale)
    {
        std::uint64_t bits = 0;
        const std::size_t n = std::min<std::size_t>(8, size);
        std::memcpy(&bits, data, n);
        data += n;
        size -= n;
        if (flags & (1u << index))
            return typical + scale * static_cast<double>(static_cast<std::int32_t>(bits)) / 2147483648.0;
        return std::bit_cast<double>(bits);
    }
};

std::string Hex(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

void CheckSame(double fast, double plain, const std::string& call)
{
    FUZZ_CHECK(std::bit_cast<std::uint64_t>(fast) == std::bit_cast<std::uint64_t>(plain),
        call + " gives " + Hex(fast) + ", the plain bisection " + Hex(plain));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    Reader in { data + 1, size - 1 };
    const SaturationMethod method = (data[0] & 1) ? kHylandWexler : kIapws;
    in.flags = data[0] >> 1;
    const double p = in.Next(0, 300, 400);
    CheckSame(SaturationTemperature(p, method), PlainSaturationTemperature(p, method),
        "SaturationTemperature(" + Hex(p) + ", " + std::to_string(method) + ")");
    // The estimate behind the shortcut is a temperature on the bisection's bracket or NaN, never a guess
    // outside it.
    const double estimate = detail::EstimatedSaturationTemperature(p, method);
    const double top = method == kIapws ? kTriplePointK : kHighestTemperatureK;
    FUZZ_CHECK(std::isnan(estimate) || (estimate >= kLowestTemperatureK && estimate <= top),
        "EstimatedSaturationTemperature(" + Hex(p) + ") gives " + Hex(estimate));
    const double w = in.Next(1, 0.01, 0.02);
    const double t = in.Next(2, 300, 150);
    const double pressure = in.Next(3, 101325, 100000);
    CheckSame(WetBulbTemperature(w, t, pressure, method), PlainWetBulbTemperature(w, t, pressure, method),
        "WetBulbTemperature(" + Hex(w) + ", " + Hex(t) + ", " + Hex(pressure) + ", " + std::to_string(method)
            + ")");
    return 0;
}
