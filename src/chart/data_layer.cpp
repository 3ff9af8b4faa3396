#include "chart/data_layer.h"

#include "calc/ambient/calculate_ambient.h"
#include "calc/points/air_process.h"
#include "calc/units/number_text.h"
#include "calc/units/refusal.h"
#include "calc/units/units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace humidora::chart {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
/// Cells across an axis at most: the label step's finer division.
constexpr double kMostCells = 60;

std::string Fixed(double value, int decimals)
{
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, end.ptr);
}

// As %g would write it in any locale, 17 digits where needed so that a reader gets the same double.
std::string Number(double value)
{
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

std::string JsonText(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// The axis value of a cell edge, free of the round-off of k x step.
double Edge(double k, double step)
{
    return std::round(k * step * 1e9) / 1e9;
}

double CellStep(double span)
{
    // The label step allows at most 15 labels across; a quarter of it gives at most 60 cells.
    return LabelStep(span * 15 / kMostCells);
}

} // namespace

DataRowCalculator::DataRowCalculator(const DataSource& source, const std::vector<std::string>& header)
    : fields_(header.size())
    , decimal_comma_(source.decimal_comma)
{
    AmbientWindow window;
    window.Open();
    window.RestoreInputs(source.inputs);
    start_controls_ = window.controls();
    start_state_ = window.state();
    controls_ = start_controls_;
    state_ = start_state_;
    const Quantity* humidity = FindQuantityByOption(source.inputs.humidity_option);
    if (!humidity || !humidity->isHumidity()) {
        error_ = "The humidity parameter of the columns is not one of the eight";
        return;
    }
    const std::pair<const std::string*, ValueBox AmbientControls::*> wanted[] = {
        { &source.temperature_column, &AmbientControls::Text1 },
        { &source.humidity_column, humidity->box },
        { &source.pressure_column,
            source.inputs.altitude_given ? &AmbientControls::Text10 : &AmbientControls::Text2 },
    };
    for (const auto& [name, box] : wanted) {
        if (name->empty() && box == &AmbientControls::Text1) {
            error_ = "No column is chosen for the dry bulb";
            return;
        }
        if (name->empty() && name == &source.humidity_column) {
            error_ = "No column is chosen for the humidity";
            return;
        }
        if (name->empty())
            continue;
        const auto found = std::find(header.begin(), header.end(), *name);
        if (found == header.end()) {
            std::string list;
            for (const std::string& column : header)
                list += (list.empty() ? "" : ", ") + column;
            error_ = "No column \"" + *name + "\" in the file; its columns: " + list;
            return;
        }
        columns_.push_back({ static_cast<std::size_t>(found - header.begin()), box });
    }
    const std::array<ValueBox AmbientControls::*, 3> boxes = { &AmbientControls::Text1,
        start_controls_.Option9 ? &AmbientControls::Text10 : &AmbientControls::Text2, humidity->box };
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        fixed_values_[i] = NumberTextValue((start_controls_.*(boxes[i])).text);
        for (const Column& column : columns_) {
            if (column.box == boxes[i])
                numeric_columns_[i] = static_cast<int>(column.index);
        }
    }
    try {
        numeric_.emplace(NumericSetupOf(source.inputs));
    } catch (const std::invalid_argument&) {
        numeric_.reset(); // every row goes the window's way, which names what is wrong
    }
}

bool DataRowCalculator::Numbers(const std::vector<std::string>& row, DataPoint& point)
{
    if (!numeric_)
        return false;
    std::array<double, 3> inputs {};
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        std::optional<double> value = fixed_values_[i];
        if (const int column = numeric_columns_[i]; column >= 0) {
            field_ = row[static_cast<std::size_t>(column)];
            if (decimal_comma_)
                std::replace(field_.begin(), field_.end(), ',', '.');
            value = NumberTextValue(field_);
        }
        if (!value)
            return false;
        inputs[i] = *value;
    }
    numeric_->Compute(inputs[0], inputs[1], inputs[2], numbers_);
    if (numbers_.refusal)
        return false;
    const AmbientState& state = numbers_.state;
    point = { state.temperature, state.humidity_ratio, state.relative_humidity, state.dew_point };
    return true;
}

std::variant<DataPoint, std::string> DataRowCalculator::Calculate(const std::vector<std::string>& row)
{
    if (row.size() != fields_)
        return "The row has " + std::to_string(row.size()) + " fields where the header has "
            + std::to_string(fields_);
    if (DataPoint point; Numbers(row, point))
        return point;
    // A text that is not a number, or a refused row: the window's run, whose refusal names the text as
    // typed.
    for (const NamedBox& named : kValueBoxes)
        controls_.*(named.box) = start_controls_.*(named.box);
    for (const Column& column : columns_) {
        std::string& text = (controls_.*(column.box)).text;
        text = row[column.index];
        if (decimal_comma_)
            std::replace(text.begin(), text.end(), ',', '.');
    }
    state_ = start_state_;
    // The run for the values only, as the batch command's: the same boxes, state and refusals.
    if (const auto refusal = CalculateAmbient(controls_, state_, PropertyRoutines {}, RunExtent::Values))
        return RefusalSentence(*refusal);
    return DataPoint { state_.temperature, state_.humidity_ratio, state_.relative_humidity,
        state_.dew_point };
}

DensityCells BinPoints(std::span<const DataPoint> points, const ChartField& field, ChartSystem system)
{
    DensityCells cells;
    cells.system = system;
    const double t_low = DryBulbShown(field.t_min_K, system), t_high = DryBulbShown(field.t_max_K, system);
    const double w_low = HumidityRatioShown(field.w_min, system);
    const double w_high = HumidityRatioShown(field.w_max, system);
    cells.t_step = CellStep(t_high - t_low);
    cells.w_step = CellStep(w_high - w_low);
    const double t_first = std::floor(t_low / cells.t_step + 1e-9);
    const double w_first = std::floor(w_low / cells.w_step + 1e-9);
    cells.t_origin = Edge(t_first, cells.t_step);
    cells.w_origin = Edge(w_first, cells.w_step);
    cells.columns = std::max(1, static_cast<int>(std::ceil(t_high / cells.t_step - 1e-9) - t_first));
    cells.rows = std::max(1, static_cast<int>(std::ceil(w_high / cells.w_step - 1e-9) - w_first));
    cells.counts.assign(static_cast<std::size_t>(cells.columns) * static_cast<std::size_t>(cells.rows), 0);
    // The calculation holds the dry bulb in single precision: so are the edges of the columns, so that a row
    // typed on an edge (20 C) falls into the cell that starts there, not the one before.
    const auto column_edge = [&](int k) {
        return static_cast<double>(NarrowToSingle(DryBulbKelvin(Edge(t_first + k, cells.t_step), system)));
    };
    const double t_min = NarrowToSingle(field.t_min_K), t_max = NarrowToSingle(field.t_max_K);
    for (const DataPoint& point : points) {
        if (!(point.T_K >= t_min && point.T_K <= t_max && point.W >= field.w_min && point.W <= field.w_max)) {
            ++cells.outside;
            continue;
        }
        int column
            = static_cast<int>(std::floor((DryBulbShown(point.T_K, system) - cells.t_origin) / cells.t_step));
        column = std::clamp(column, 0, cells.columns - 1);
        while (column > 0 && point.T_K < column_edge(column))
            --column;
        while (column + 1 < cells.columns && point.T_K >= column_edge(column + 1))
            ++column;
        const int row = std::clamp(
            static_cast<int>(
                std::floor((HumidityRatioShown(point.W, system) - cells.w_origin) / cells.w_step)),
            0, cells.rows - 1);
        std::uint32_t& count
            = cells.counts[static_cast<std::size_t>(row) * static_cast<std::size_t>(cells.columns)
                + static_cast<std::size_t>(column)];
        cells.most = std::max(cells.most, ++count);
    }
    return cells;
}

std::optional<std::string> ZoneProblem(const Zone& zone)
{
    if (zone.name.empty())
        return "A zone needs a name";
    const std::string where = "The zone \"" + zone.name + "\": ";
    struct Item
    {
        const char* quantity;
        const ZoneRange* range;
        bool temperature;
        std::span<const UnitItem> units;
    };
    const Item items[] = {
        { "dry bulb", &zone.dry_bulb, true, kTemperatureUnits },
        { "humidity ratio", zone.humidity_ratio ? &*zone.humidity_ratio : nullptr, false,
            kHumidityRatioUnits },
        { "dew point", zone.dew_point ? &*zone.dew_point : nullptr, true, kTemperatureUnits },
        { "relative humidity", zone.relative_humidity ? &*zone.relative_humidity : nullptr, false,
            kRelativeHumidityUnits },
    };
    for (const Item& item : items) {
        if (!item.range)
            continue;
        const ZoneRange& r = *item.range;
        if (!FindUnit(item.units, r.unit)) {
            std::string known;
            for (const UnitItem& unit : item.units)
                known += (known.empty() ? "" : ", ") + std::string(unit.key);
            return where + "the " + item.quantity + "'s unit \"" + r.unit + "\" is not one of " + known;
        }
        if (!std::isfinite(r.low) || !std::isfinite(r.high))
            return where + "the " + item.quantity + "'s ends must be numbers";
        if (r.low > r.high)
            return where + "the " + item.quantity + "'s low end " + NumberText(r.low, 6) + " " + r.unit
                + " lies above its high end " + NumberText(r.high, 6) + " " + r.unit;
        if (item.temperature) {
            const double low_K = *TemperatureToKelvin(r.unit, r.low);
            const double high_K = *TemperatureToKelvin(r.unit, r.high);
            if (low_K < 0 || high_K < 0)
                return where + "the " + item.quantity + " " + NumberText(low_K < 0 ? r.low : r.high, 6) + " "
                    + r.unit + " lies below absolute zero";
        }
    }
    if (zone.humidity_ratio && zone.dew_point)
        return where + "give a humidity-ratio range or a dew-point range, not both";
    if (zone.humidity_ratio && zone.humidity_ratio->low < 0)
        return where + "the humidity ratio's low end " + NumberText(zone.humidity_ratio->low, 6) + " "
            + zone.humidity_ratio->unit + " lies below 0";
    if (zone.relative_humidity && (zone.relative_humidity->low < 0 || zone.relative_humidity->high > 100)) {
        const double v
            = zone.relative_humidity->low < 0 ? zone.relative_humidity->low : zone.relative_humidity->high;
        return where + "the relative humidity " + NumberText(v, 6) + " % lies outside 0 to 100 %";
    }
    return std::nullopt;
}

namespace {

// The item of unit list `list` (1..16) that inputs select.
std::string SelectedUnit(const AmbientInputs& inputs, int list)
{
    const AmbientControls lists;
    const UnitList& unit_list = ListOf(lists, list);
    const int index = inputs.selections[static_cast<std::size_t>(list - 1)];
    return index >= 0 && static_cast<std::size_t>(index) < unit_list.items.size()
        ? unit_list.items[static_cast<std::size_t>(index)]
        : unit_list.items.front();
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

// The keys of a zone's text, the unit list of each and the range it sets (none for the dry bulb).
struct ZoneKey
{
    std::string_view key;
    int list;
    std::optional<ZoneRange> Zone::*range;
};
constexpr ZoneKey kZoneKeys[] = {
    { "temperature", 1, nullptr },
    { "humidity-ratio", 6, &Zone::humidity_ratio },
    { "dew-point", 3, &Zone::dew_point },
    { "relative-humidity", 5, &Zone::relative_humidity },
};

std::string RangeText(const ZoneRange& range)
{
    return NumberText(range.low, 9) + ":" + NumberText(range.high, 9) + ":" + range.unit;
}

} // namespace

std::variant<Zone, std::string> ParseZone(std::string_view text, const AmbientInputs& inputs)
{
    Zone zone;
    bool has_temperature = false;
    for (const std::string_view item : Split(text, ',')) {
        const std::size_t equals = item.find('=');
        if (equals == std::string_view::npos)
            return "\"" + std::string(item) + "\" is not KEY=VALUE";
        const std::string_view key = Trimmed(item.substr(0, equals));
        const std::string_view value = item.substr(equals + 1);
        if (key == "name") {
            zone.name = std::string(Trimmed(value));
            continue;
        }
        const ZoneKey* found = nullptr;
        for (const ZoneKey& known : kZoneKeys) {
            if (known.key == key)
                found = &known;
        }
        if (!found)
            return "unknown key \"" + std::string(key)
                + "\"; the keys are name, temperature, humidity-ratio, dew-point and relative-humidity";
        const std::vector<std::string_view> parts = Split(value, ':');
        if (parts.size() < 2 || parts.size() > 3 || !IsNumberText(std::string(Trimmed(parts[0])))
            || !IsNumberText(std::string(Trimmed(parts[1]))))
            return "the " + std::string(key) + " range \"" + std::string(value)
                + "\" is not LOW:HIGH or LOW:HIGH:UNIT";
        ZoneRange range { NumberValue(std::string(Trimmed(parts[0]))),
            NumberValue(std::string(Trimmed(parts[1]))),
            parts.size() == 3 ? std::string(Trimmed(parts[2])) : SelectedUnit(inputs, found->list) };
        if (found->range)
            zone.*(found->range) = range;
        else
            zone.dry_bulb = range, has_temperature = true;
    }
    if (!has_temperature)
        return std::string("the zone needs a temperature range");
    if (const auto problem = ZoneProblem(zone))
        return *problem;
    return zone;
}

std::string ZoneText(const Zone& zone)
{
    std::string text = "name=" + zone.name + ",temperature=" + RangeText(zone.dry_bulb);
    for (const ZoneKey& key : kZoneKeys) {
        if (key.range && zone.*(key.range))
            text += "," + std::string(key.key) + "=" + RangeText(*(zone.*(key.range)));
    }
    return text;
}

ZoneTest::ZoneTest(const Zone& zone)
{
    // The dry bulb is held in single precision by the calculation: so are the edges, so that a row typed
    // "20" lies on the edge typed "20".
    t_low_K_ = NarrowToSingle(*TemperatureToKelvin(zone.dry_bulb.unit, zone.dry_bulb.low));
    t_high_K_ = NarrowToSingle(*TemperatureToKelvin(zone.dry_bulb.unit, zone.dry_bulb.high));
    w_low_ = -kInfinity, w_high_ = kInfinity;
    if (zone.humidity_ratio) {
        const UnitItem unit = *FindUnit(kHumidityRatioUnits, zone.humidity_ratio->unit);
        w_low_ = unit.ToBase(zone.humidity_ratio->low);
        w_high_ = unit.ToBase(zone.humidity_ratio->high);
    }
    dew_low_K_ = -kInfinity, dew_high_K_ = kInfinity;
    dew_point_ = zone.dew_point.has_value();
    if (zone.dew_point) {
        dew_low_K_ = *TemperatureToKelvin(zone.dew_point->unit, zone.dew_point->low);
        dew_high_K_ = *TemperatureToKelvin(zone.dew_point->unit, zone.dew_point->high);
    }
    phi_low_ = -kInfinity, phi_high_ = kInfinity;
    if (zone.relative_humidity) {
        const UnitItem unit = *FindUnit(kRelativeHumidityUnits, zone.relative_humidity->unit);
        phi_low_ = unit.ToBase(zone.relative_humidity->low);
        phi_high_ = unit.ToBase(zone.relative_humidity->high);
    }
}

bool ZoneTest::Contains(const DataPoint& p) const
{
    // A dew point beyond the reach of the property routines is unknown (NaN): such a row is outside a
    // dew-point range, and no other test reads it.
    return p.T_K >= t_low_K_ && p.T_K <= t_high_K_ && p.W >= w_low_ && p.W <= w_high_ && p.phi >= phi_low_
        && p.phi <= phi_high_ && (!dew_point_ || (p.dew_K >= dew_low_K_ && p.dew_K <= dew_high_K_));
}

ZoneCount CountZone(const Zone& zone, std::span<const DataPoint> points)
{
    const ZoneTest test(zone);
    ZoneCount count;
    count.total = static_cast<long>(points.size());
    for (const DataPoint& point : points)
        count.inside += test.Contains(point);
    return count;
}

std::string GroupedNumber(long value)
{
    const std::string digits = std::to_string(value < 0 ? -value : value);
    std::string text = value < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

std::string ZoneLegend(const std::string& name, const ZoneCount& count, bool hourly)
{
    std::string text = name + ": " + GroupedNumber(count.total) + (hourly ? " hours: " : " rows: ")
        + GroupedNumber(count.inside) + " inside";
    if (count.total > 0)
        text += ", " + Fixed(100.0 * static_cast<double>(count.inside) / static_cast<double>(count.total), 1)
            + " %";
    return text;
}

std::vector<ChartPoint> ZoneOutline(const Zone& zone, const ChartSpec& setup)
{
    constexpr int kSteps = 48;
    const ProcessConditions conditions { setup.pressure_Pa, setup.method };
    const double t_low = *TemperatureToKelvin(zone.dry_bulb.unit, zone.dry_bulb.low);
    const double t_high = *TemperatureToKelvin(zone.dry_bulb.unit, zone.dry_bulb.high);
    double w_low = 0, w_high = kInfinity;
    if (zone.humidity_ratio) {
        const UnitItem unit = *FindUnit(kHumidityRatioUnits, zone.humidity_ratio->unit);
        w_low = unit.ToBase(zone.humidity_ratio->low);
        w_high = unit.ToBase(zone.humidity_ratio->high);
    }
    if (zone.dew_point) {
        w_low = SaturationHumidityRatio(
            *TemperatureToKelvin(zone.dew_point->unit, zone.dew_point->low), conditions)
                    .value_or(kInfinity);
        w_high = SaturationHumidityRatio(
            *TemperatureToKelvin(zone.dew_point->unit, zone.dew_point->high), conditions)
                     .value_or(kInfinity);
    }
    const double phi_low = zone.relative_humidity ? zone.relative_humidity->low / 100 : 0;
    const double phi_high = zone.relative_humidity ? zone.relative_humidity->high / 100 : 1;
    std::vector<ChartPoint> lower, upper;
    for (int i = 0; i <= kSteps; ++i) {
        const double T = t_low + (t_high - t_low) * i / kSteps;
        // Above the saturation curve (or where it leaves the field) the zone stops at the field's top.
        const double top
            = std::min(setup.field.w_max, HumidityRatioAt(T, phi_high, conditions).value_or(kInfinity));
        const double bottom = std::max(w_low, HumidityRatioAt(T, phi_low, conditions).value_or(kInfinity));
        const double high = std::min(top, w_high);
        if (!(bottom <= high))
            continue;
        lower.push_back({ T, bottom });
        upper.push_back({ T, high });
    }
    std::vector<ChartPoint> outline(lower);
    outline.insert(outline.end(), upper.rbegin(), upper.rend());
    return outline;
}

ChartDataLayer MakeDataLayer(const DataSet* data, const std::vector<Zone>& zones, const ChartSpec& setup)
{
    ChartDataLayer layer;
    const std::span<const DataPoint> points
        = data ? std::span<const DataPoint>(data->points) : std::span<const DataPoint>();
    layer.hourly = data && data->hourly;
    if (points.size() <= kMostPlottedPoints) {
        layer.points.reserve(points.size());
        for (const DataPoint& point : points)
            layer.points.push_back({ point.T_K, point.W });
    } else {
        layer.cells = BinPoints(points, setup.field, setup.system);
    }
    for (const Zone& zone : zones) {
        if (ZoneProblem(zone))
            continue;
        layer.zones.push_back({ zone.name, ZoneOutline(zone, setup),
            data ? ZoneLegend(zone.name, CountZone(zone, points), layer.hourly) : zone.name });
    }
    if (data) {
        layer.summary = GroupedNumber(data->rows) + (layer.hourly ? " hours" : " rows");
        if (data->refused > 0)
            layer.summary += ", " + GroupedNumber(data->refused) + " refused";
    }
    return layer;
}

std::string DataLayerJson(
    const DataSet& data, const std::vector<Zone>& zones, const ChartDataLayer& layer, const ChartSpec& setup)
{
    const DensityCells cells = layer.cells ? *layer.cells : BinPoints(data.points, setup.field, setup.system);
    std::string json = "\"data\":{\"rows\":" + std::to_string(data.rows) + ",\"accepted\":"
        + std::to_string(data.points.size()) + ",\"refused\":" + std::to_string(data.refused)
        + ",\"count_unit\":\"" + (data.hourly ? "hours" : "rows") + "\",\"drawn_as\":\""
        + (layer.cells ? "density" : "points") + "\",\"outside_field\":" + std::to_string(cells.outside)
        + ",\"cells\":{\"dry_bulb_step\":" + Number(cells.t_step)
        + ",\"humidity_ratio_step\":" + Number(cells.w_step) + ",\"counts\":[";
    bool first = true;
    for (int row = 0; row < cells.rows; ++row) {
        for (int column = 0; column < cells.columns; ++column) {
            const std::uint32_t count = cells.At(column, row);
            if (count == 0)
                continue;
            json += first ? "{" : ",{";
            first = false;
            json += "\"dry_bulb\":[" + Number(Edge(cells.t_origin / cells.t_step + column, cells.t_step))
                + "," + Number(Edge(cells.t_origin / cells.t_step + column + 1, cells.t_step))
                + "],\"humidity_ratio\":[" + Number(Edge(cells.w_origin / cells.w_step + row, cells.w_step))
                + "," + Number(Edge(cells.w_origin / cells.w_step + row + 1, cells.w_step))
                + "],\"count\":" + std::to_string(count) + "}";
        }
    }
    json += "]},\"zones\":[";
    first = true;
    for (const Zone& zone : zones) {
        if (ZoneProblem(zone))
            continue;
        const ZoneCount count = CountZone(zone, data.points);
        json += first ? "{" : ",{";
        first = false;
        json += "\"name\":" + JsonText(zone.name) + ",\"inside\":" + std::to_string(count.inside)
            + ",\"outside\":" + std::to_string(count.total - count.inside)
            + ",\"legend\":" + JsonText(ZoneLegend(zone.name, count, data.hourly)) + "}";
    }
    return json + "]}";
}

} // namespace humidora::chart
