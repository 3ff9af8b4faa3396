// Every text of whole recalculations over thousands of random states, against the texts the calculation
// wrote before its text writing was rebuilt for speed. The states cover both formulations, the Metric,
// British and customised units, the eight humidity routes, pressure or altitude given, typed values at
// and beyond their limits, and the vapour-pressure report. One digest per group of states stands for all
// its texts (value boxes with backgrounds and font sizes, limit labels, the listing) and the numbers of
// the state record.
//
// When a digest differs: HUMIDORA_RECALCULATION_TEXTS=FILE writes every text of every state into FILE;
// the same run at the commit that last matched writes the reference, and a diff shows the first state
// whose texts moved.
#include "calc/units/number_text.h"
#include "calc/units/units.h"
#include "calc/windows/ambient_window.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace humidora {
namespace {

// FNV-1a over the texts, each followed by a separator so that "1" "23" and "12" "3" differ.
class Digest
{
public:
    void Add(std::string_view text)
    {
        for (const char c : text)
            Byte(static_cast<unsigned char>(c));
        Byte(0);
        if (dump_)
            *dump_ << text << '\n';
    }
    void Add(double number)
    {
        char buffer[40];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::hex).ptr;
        Add(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
    }
    std::uint64_t value() const { return hash_; }
    void DumpInto(std::ofstream* dump) { dump_ = dump; }

private:
    void Byte(unsigned char c)
    {
        hash_ ^= c;
        hash_ *= 0x100000001b3ULL;
    }
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
    std::ofstream* dump_ = nullptr;
};

void AddWindow(Digest& digest, const AmbientWindow& window)
{
    const AmbientControls& c = window.controls();
    for (const NamedBox& named : kValueBoxes) {
        const ValueBox& box = c.*(named.box);
        digest.Add(box.text);
        digest.Add(static_cast<double>(box.background) + box.font_size * 100 + (box.locked ? 0.5 : 0));
    }
    for (const NamedLabel& named : kLimitLabels) {
        const LimitLabel& label = c.*(named.label);
        digest.Add(label.caption);
        digest.Add(static_cast<double>(label.background));
    }
    digest.Add(c.Label27);
    for (const std::string& line : c.List1.lines)
        digest.Add(line);
    digest.Add(static_cast<double>(c.List1.background));
    const AmbientState& s = window.state();
    for (const double number : { s.pressure, double(s.temperature), s.molar_mass, s.gas_constant, s.density,
             s.humidity_ratio, s.relative_humidity, s.dew_point, s.altitude, double(s.absolute_humidity),
             s.water_mole_fraction, s.water_mass_fraction, double(s.vapour_pressure), s.n2_volume_fraction,
             s.o2_volume_fraction, s.co2_volume_fraction, double(s.ar_volume_fraction), s.n2_mass_fraction,
             s.o2_mass_fraction, s.co2_mass_fraction, double(s.ar_mass_fraction) })
        digest.Add(number);
    digest.Add(window.refusal() ? static_cast<double>(window.refusal()->reason) : -1.0);
}

// Random numbers that are the same on every platform (the standard distributions are not).
class Random
{
public:
    explicit Random(std::uint64_t seed)
        : engine_(seed)
    {
    }
    double Unit() { return static_cast<double>(engine_() >> 11) * 0x1p-53; }
    double Between(double low, double high) { return low + (high - low) * Unit(); }
    int Below(int n) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }

private:
    std::mt19937_64 engine_;
};

// A value as a user types it: 0 to 7 decimals, sometimes in exponent form.
std::string Typed(Random& random, double value)
{
    char buffer[64];
    const int form = random.Below(10);
    const auto end = form == 0
        ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, random.Below(8))
        : std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, random.Below(8));
    return std::string(buffer, end.ptr);
}

// A typed humidity between the shown limits of its option (their texts exactly now and then), or a
// little beyond them.
std::string TypedBetween(Random& random, const std::string& minimum, const std::string& maximum)
{
    const int choice = random.Below(40);
    if (choice == 0)
        return minimum;
    if (choice == 1)
        return maximum;
    const double low = NumberValue(minimum), high = NumberValue(maximum);
    if (choice == 2)
        return Typed(random, high + (high - low) * 0.01 + 0.001);
    return Typed(random, random.Between(low, high));
}

enum class Units
{
    Metric,
    British,
    Customized
};

// The items of a list as 1.1 had them: the inch of mercury, the grains and the inch-pound enthalpy came
// later, at the ends of their lists, and are left out so that the digests keep guarding 1.1's texts.
int ItemsOfRelease11(const Quantity& quantity)
{
    const bool grown = quantity.units.data() == kPressureUnits.data()
        || quantity.units.data() == kHumidityRatioUnits.data()
        || quantity.units.data() == kEnthalpyUnits.data();
    return static_cast<int>(quantity.units.size()) - (grown ? 1 : 0);
}

AmbientInputs RandomInputs(Random& random, bool iapws, Units units)
{
    AmbientInputs inputs;
    inputs.iapws = iapws;
    inputs.system = units == Units::British ? UnitSystem::British
        : units == Units::Customized        ? UnitSystem::Customized
                                            : UnitSystem::Metric;
    inputs.selections = units == Units::British ? kBritishSelection : kMetricSelection;
    if (units == Units::Customized) {
        for (const Quantity& quantity : kQuantities)
            inputs.selections[std::size_t(quantity.listNumber() - 1)]
                = random.Below(ItemsOfRelease11(quantity));
    }
    const std::string_view temperature_unit = kTemperatureUnits[std::size_t(inputs.selections[0])].key;
    const int limit = random.Below(60);
    const double kelvin = limit == 0 ? 173.15 : limit == 1 ? 373.15 : random.Between(173.15, 373.15);
    inputs.temperature = Typed(random, *TemperatureFromKelvin(temperature_unit, kelvin));
    if (limit == 2)
        inputs.temperature = Typed(random, *TemperatureFromKelvin(temperature_unit, 380));
    inputs.altitude_given = random.Below(4) == 0;
    const UnitItem& pressure_unit = kPressureUnits[std::size_t(inputs.selections[1])];
    // Half of the pressures where people live and work, the others anywhere in the allowed range.
    const double pressure = random.Below(2) == 0 ? random.Between(70000, 105000)
                                                 : std::exp(random.Between(std::log(5000), std::log(1e6)));
    inputs.pressure = Typed(random, pressure_unit.FromBase(pressure));
    const UnitItem& altitude_unit = kAltitudeUnits[std::size_t(inputs.selections[9])];
    inputs.altitude = Typed(random, altitude_unit.FromBase(random.Between(-5000, 11000)));
    constexpr int kOptions[] = { 1, 2, 3, 4, 5, 6, 7, 10 };
    inputs.humidity_option = kOptions[random.Below(8)];
    inputs.humidity = "0";
    return inputs;
}

struct Group
{
    bool iapws;
    Units units;
    std::uint64_t digest;
};

TEST(RecalculationTexts, EveryTextOfThousandsOfStatesAsBefore)
{
    constexpr int kStatesPerGroup = 1500;
    const Group groups[] = {
        { true, Units::Metric, 10500692094846750068ULL },
        { false, Units::Metric, 18143931850628517577ULL },
        { true, Units::British, 2970456132201250758ULL },
        { false, Units::British, 13627203790702924007ULL },
        { true, Units::Customized, 2649772868531786303ULL },
        { false, Units::Customized, 6645611124750774058ULL },
    };
    std::ofstream dump;
    if (const char* path = std::getenv("HUMIDORA_RECALCULATION_TEXTS"))
        dump.open(path);
    Random random(20261208);
    for (const Group& group : groups) {
        Digest digest;
        if (dump.is_open())
            digest.DumpInto(&dump);
        AmbientWindow window;
        window.Open();
        for (int i = 0; i < kStatesPerGroup; ++i) {
            AmbientInputs inputs = RandomInputs(random, group.iapws, group.units);
            // The first run shows the limits of the chosen humidity option, the second types a value
            // between them; both are compared.
            window.RestoreInputs(inputs);
            AddWindow(digest, window);
            const Quantity& humidity = *FindQuantityByOption(inputs.humidity_option);
            inputs.humidity = TypedBetween(random, (window.controls().*(humidity.minimum)).caption,
                (window.controls().*(humidity.maximum)).caption);
            window.RestoreInputs(inputs);
            AddWindow(digest, window);
        }
        EXPECT_EQ(digest.value(), group.digest)
            << (group.iapws ? "IAPWS" : "Hyland-Wexler") << ", units " << static_cast<int>(group.units);
    }
}

} // namespace
} // namespace humidora
