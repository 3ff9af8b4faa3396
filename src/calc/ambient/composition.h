// The composition of the moist air by volume and by weight, as texts: the rows that the listing in List1
// lays out and that the report tabulates, so that both show the same digits.
#pragma once

#include "calc/ambient/ambient_state.h"

#include <array>
#include <string>
#include <string_view>

namespace humidora {

/// One species of the composition with its two percentages as the listing writes them (fixed four
/// decimals, rounded halves away from zero).
struct CompositionRow
{
    std::string_view species; ///< "N2", "O2", "Ar", "CO2" or "H2O"
    std::string volume;       ///< % by volume
    std::string weight;       ///< % by weight
    /// Blanks before each percentage in the listing's line: its columns are set by fixed runs of
    /// blanks per row, not aligned, and the water row takes a narrower run when its percentages reach
    /// ten (the texts grow by a digit).
    int volume_blanks = 0;
    int weight_blanks = 0;

    bool operator==(const CompositionRow&) const = default;
};

/// The rows N2, O2, Ar, CO2, H2O of the composition that the last accepted run stored in `state` (the
/// species' fractions and the water mole and mass fractions).
std::array<CompositionRow, 5> CompositionRows(const AmbientState& state);

} // namespace humidora
