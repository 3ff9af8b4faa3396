// Phase 10: the composition of the moist air by volume and by weight, and the listing in List1.
#include "calc/ambient/ambient_phases.h"
#include "calc/ambient/composition.h"
#include "calc/units/number_text.h"

namespace humidora {
namespace ambient {
namespace {

// Dry air: mole (volume) and mass fractions of its four species; each column sums to 1.
constexpr double kN2Volume = 0.78084, kO2Volume = 0.209476, kArVolume = 0.009365, kCO2Volume = 0.000319;
constexpr double kN2Mass = 0.755184, kO2Mass = 0.231415, kArMass = 0.012916, kCO2Mass = 0.000485;

} // namespace

void WriteCompositionListing(Run& run)
{
    AmbientControls& c = run.controls;
    AmbientState& s = run.state;
    const double x = s.water_mole_fraction;
    const double w = s.water_mass_fraction;

    s.n2_volume_fraction = Finite((1 - x) * kN2Volume);
    s.o2_volume_fraction = Finite((1 - x) * kO2Volume);
    s.ar_volume_fraction = Single((1 - x) * kArVolume);
    s.co2_volume_fraction = Finite((1 - x) * kCO2Volume);
    s.n2_mass_fraction = Finite((1 - w) * kN2Mass);
    s.o2_mass_fraction = Finite((1 - w) * kO2Mass);
    s.ar_mass_fraction = Single((1 - w) * kArMass);
    s.co2_mass_fraction = Finite((1 - w) * kCO2Mass);
    if (run.extent == RunExtent::Values)
        return;

    // The lines are rewritten in place: from run to run each keeps its string's storage.
    std::vector<std::string>& lines = c.List1.lines;
    std::size_t count = 0;
    const auto line = [&](std::string_view text) -> std::string& {
        if (count == lines.size())
            lines.emplace_back();
        return lines[count++].assign(text);
    };
    if (c.menu_IAPWS)
        line("Sat. Formulation:  IAPWS");
    if (c.menu_HW)
        line("Sat. Formulation:  Hyland-Wexler");
    constexpr std::string_view kRule = "------------------------------------------------";
    line(kRule);
    line("Air Composition");
    line(kRule);
    line("Species              %Vol.              %Wgt.");
    line(kRule);
    for (const CompositionRow& row : CompositionRows(s)) {
        std::string& text = line(row.species);
        text.append(static_cast<std::size_t>(row.volume_blanks), ' ');
        text += row.volume;
        text.append(static_cast<std::size_t>(row.weight_blanks), ' ');
        text += row.weight;
    }
    lines.resize(count);
    c.List1.background = Background::LightOrange;
}

} // namespace ambient

std::array<CompositionRow, 5> CompositionRows(const AmbientState& s)
{
    using ambient::Finite;
    using ambient::Single;
    using enum FixedPattern;
    const auto row
        = [](std::string_view species, int volume_blanks, double volume_percent, FixedPattern volume_pattern,
              int weight_blanks, double weight_percent, FixedPattern weight_pattern) {
              return CompositionRow { species, FixedText(Finite(volume_percent), volume_pattern),
                  FixedText(Finite(weight_percent), weight_pattern), volume_blanks, weight_blanks };
          };
    const double x = s.water_mole_fraction;
    const double w = s.water_mass_fraction;
    CompositionRow water = x < 0.1 ? row("H2O", 19, 100 * x, OneDigit, 15, 100 * w, OptionalDigit)
        : w < 0.1                  ? row("H2O", 17, 100 * x, NoDigit, 15, 100 * w, OptionalDigit)
                                   : row("H2O", 17, 100 * x, NoDigit, 13, 100 * w, NoDigit);
    return { row("N2", 20, 100 * s.n2_volume_fraction, TwoDigits, 13, 100 * s.n2_mass_fraction, TwoDigits),
        row("O2", 20, 100 * s.o2_volume_fraction, TwoDigits, 13, 100 * s.o2_mass_fraction, TwoDigits),
        // Argon: the percentage of the single-precision fraction, itself rounded to single precision.
        row("Ar", 23, Single(100 * double(s.ar_volume_fraction)), OneDigit, 15,
            Single(100 * double(s.ar_mass_fraction)), OneDigit),
        row("CO2", 19, 100 * s.co2_volume_fraction, OneDigit, 15, 100 * s.co2_mass_fraction, OneDigit),
        std::move(water) };
}

} // namespace humidora
