// The one table of the quantities of the main window. For each of its sixteen rows: the controls (option
// button, value box, unit list, minimum and maximum label), the captions, the names a command line and a
// JSON document use, and the unit items of its list (units.h: key, factor, offset, decimals). Every front
// end (the windows, the command line, calculation files, the report, the fuzz targets) reads its
// vocabulary here, so that a caption, a name or a unit is written once.
//
// Use:
//   for (const Quantity& q : kQuantities)          // the window's row order
//       show(q.caption, controls.*q.box, (controls.*q.list).text());
//   const Quantity* q = FindQuantity("dew_point");  // by JSON name; FindQuantityByOption(3) by option
//   q->units                                        // its unit items, in list order
#pragma once

#include "calc/units/ambient_controls.h"
#include "calc/units/units.h"

#include <array>
#include <span>
#include <string_view>

namespace humidora {

/// One row of the main window.
struct Quantity
{
    std::string_view key;           ///< JSON and machine name, e.g. "relative_humidity"
    std::string_view command_name;  ///< command-line name, e.g. "relative-humidity" (its unit: "...-unit")
    std::string_view caption;       ///< the window's caption of the row (option button or caption label)
    std::string_view long_caption;  ///< the caption of documents (the report), where it is spelt out in full
    std::string_view caption_label; ///< objectName of the caption label; empty where the option button is it
    bool AmbientControls::*option;  ///< null for the temperature and the five properties (no choice)
    ValueBox AmbientControls::*box;
    UnitList AmbientControls::*list;
    LimitLabel AmbientControls::*minimum; ///< null for the five properties (no range)
    LimitLabel AmbientControls::*maximum;
    std::span<const UnitItem> units; ///< the items of `list`, in list order

    /// Number of the option button (Option1..Option10), value box (Text1..), unit list (Combo1..); 0 for
    /// none.
    int optionNumber() const;
    int boxNumber() const;
    int listNumber() const;
    /// True for the eight humidity parameters.
    bool isHumidity() const;
};

/// The older name of a row of the table.
using QuantityControls = Quantity;

/// The sixteen quantities in the window's row order: temperature, pressure, altitude, relative humidity,
/// humidity ratio, absolute humidity, dew point, wet bulb, partial pressure, mole fraction, mass fraction,
/// gas constant, molecular weight, density, specific volume, enthalpy.
extern const std::array<Quantity, 16> kQuantities;

/// Index ranges of kQuantities: the ambient rows (temperature, pressure, altitude), the eight humidity
/// parameters and the five further properties.
inline constexpr std::size_t kFirstHumidityRow = 3;
inline constexpr std::size_t kFirstPropertyRow = 11;

/// The eight humidity quantities in the fixed order Text3, Text4, Text5, Text6, Text7, Text8, Text9,
/// Text11 (the order in which the window logic switches their states).
extern const std::array<const Quantity*, 8> kHumidityQuantities;

/// The humidity quantities in the order in which the calculation tries their options (Option1..Option5,
/// Option10, Option6, Option7): with one option selected, the order of the humidity routes.
extern const std::array<const Quantity*, 8> kHumidityRouteOrder;

/// The quantity named `key` (JSON name), or null.
const Quantity* FindQuantity(std::string_view key);
/// The quantity of option button `option` (1..10), or null.
const Quantity* FindQuantityByOption(int option);

} // namespace humidora
