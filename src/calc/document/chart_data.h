// The measured data a user plots on the chart and the zones drawn over it, as a calculation keeps them:
// where the rows come from and how they are read (never the rows themselves), and each zone's ranges in
// the units they were typed in.
#pragma once

#include "calc/ambient/ambient_inputs.h"

#include <optional>
#include <string>
#include <vector>

namespace humidora {

/// Where the rows of a data file come from and how they are read. The inputs are the window's: their
/// units, formulation, humidity parameter and, when no column gives it, the fixed pressure or altitude.
struct DataSource
{
    std::string path;     ///< the file, as the user chose it
    AmbientInputs inputs; ///< units, formulation, humidity option, fixed pressure or altitude
    std::string temperature_column;
    std::string humidity_column; ///< the column of the humidity parameter inputs.humidity_option
    std::string pressure_column; ///< the pressure's (with inputs.altitude_given, the altitude's) column;
                                 ///< empty when inputs holds a fixed value
    char delimiter = ',';
    bool decimal_comma = false; ///< numbers are written with ',' as the decimal point
    bool hourly = false;        ///< each row is one hour: the counts are told in hours

    bool operator==(const DataSource&) const = default;
};

/// One end-to-end range of a zone in a unit of the main window's list for its quantity.
struct ZoneRange
{
    double low = 0, high = 0;
    std::string unit;

    bool operator==(const ZoneRange&) const = default;
};

/// A named region of the chart: a dry-bulb range with a humidity-ratio or a dew-point range and/or a
/// relative-humidity range. Every edge belongs to the zone: a row exactly on an edge is inside.
struct Zone
{
    std::string name;
    ZoneRange dry_bulb;
    std::optional<ZoneRange> humidity_ratio;
    std::optional<ZoneRange> dew_point;
    std::optional<ZoneRange> relative_humidity;

    bool operator==(const Zone&) const = default;
};

/// What the chart shows beside the lines: the data file plotted, if any, and the zones.
struct ChartData
{
    std::optional<DataSource> source;
    std::vector<Zone> zones;

    bool empty() const { return !source && zones.empty(); }
    bool operator==(const ChartData&) const = default;
};

} // namespace humidora
