// humidora-cli saturation: the saturation window on the command line. The window's logic is loaded, the
// mode and units are chosen and VALUE is typed into the input, so every text is the window's own.
#include "calc/units/number_text.h"
#include "calc/windows/saturation_window.h"
#include "cli/cli_support.h"
#include "cli/commands.h"

#include <QJsonObject>

namespace humidora::cli {
namespace {

const char* const kDescription
    = "Saturation pressure of water at a temperature (temperature mode), or its saturation\n"
      "temperature at a pressure (pressure mode), by the IAPWS and the Hyland-Wexler\n"
      "formulations, exactly as the saturation window shows them.\n"
      "Defaults: temperature mode, input unit \"C\", output unit \"kPa\"; in pressure mode\n"
      "input unit \"kPa\", output unit \"C\".\n"
      "A negative VALUE is typed as it is: humidora-cli saturation -40";

// Selects `key` in a unit list of the window; false when the list has no such item.
bool SelectUnit(
    SaturationWindow& window, const UnitList& list, const QString& key, void (SaturationWindow::*select)(int))
{
    const int index = UnitIndex(list.items, key);
    if (index < 0)
        return false;
    (window.*select)(index);
    return true;
}

QString RangeText(double lowest, double highest, const UnitItem& unit)
{
    return FromModel(PlainNumberText(lowest)) + " to " + FromModel(PlainNumberText(highest)) + ' '
        + FromModel(std::string(unit.key));
}

} // namespace

int RunSaturation(const QStringList& arguments)
{
    const QString command = arguments.value(0);
    QCommandLineParser parser;
    const QCommandLineOption mode_option("mode", "\"temperature\" (default) or \"pressure\".", "MODE");
    const QCommandLineOption input_unit_option("input-unit",
        "Unit of VALUE: \"C\", \"K\", \"F\", \"R\" or a pressure unit in pressure mode.", "UNIT");
    const QCommandLineOption output_unit_option("output-unit", "Unit of the results.", "UNIT");
    const QCommandLineOption json_option("json", "Write one JSON object instead of text.");
    parser.addOptions({ mode_option, input_unit_option, output_unit_option, json_option });
    parser.addPositionalArgument("VALUE", "The temperature or pressure, read as the window reads its input.");
    if (const std::optional<int> status
        = ParseArguments(parser, arguments, "saturation [options] [--] VALUE", kDescription))
        return *status;

    const QString mode = parser.isSet(mode_option) ? parser.value(mode_option) : "temperature";
    if (mode != "temperature" && mode != "pressure")
        return UnknownKey(command, "mode", mode, { "temperature", "pressure" });
    const bool temperature_mode = mode == "temperature";

    SaturationWindow window;
    window.Load();
    if (!temperature_mode)
        window.SelectMode(window.controls().Combo1.IndexOf(kPressureName));

    // In temperature mode the input unit is a temperature unit (Combo2) and the output a pressure unit
    // (Combo3); pressure mode swaps them. Without an option the window keeps the unit it loaded with.
    const UnitList& temperature_units = window.controls().Combo2;
    const UnitList& pressure_units = window.controls().Combo3;
    const UnitList& input_list = temperature_mode ? temperature_units : pressure_units;
    const UnitList& output_list = temperature_mode ? pressure_units : temperature_units;
    const auto select_input
        = temperature_mode ? &SaturationWindow::SelectTemperatureUnit : &SaturationWindow::SelectPressureUnit;
    const auto select_output
        = temperature_mode ? &SaturationWindow::SelectPressureUnit : &SaturationWindow::SelectTemperatureUnit;
    if (parser.isSet(input_unit_option)
        && !SelectUnit(window, input_list, parser.value(input_unit_option), select_input))
        return UnknownKey(command, "input unit", parser.value(input_unit_option), UnitKeys(input_list.items));
    if (parser.isSet(output_unit_option)
        && !SelectUnit(window, output_list, parser.value(output_unit_option), select_output))
        return UnknownKey(
            command, "output unit", parser.value(output_unit_option), UnitKeys(output_list.items));

    const std::optional<QString> value = SingleValue(parser, command);
    if (!value)
        return kUsageError;
    window.EditText1(value->toStdString());

    const SaturationControls& c = window.controls();
    const QString input_unit = FromModel(input_list.text());
    const QString output_unit = FromModel(output_list.text());
    if (parser.isSet(json_option)) {
        PrintJson({
            { "mode", FromModel(c.Combo1.text()) },
            { "input", FromModel(c.Text1) },
            { "input_unit", input_unit },
            { "output_unit", output_unit },
            { "iapws", FromModel(c.Text2) },
            { "hyland_wexler", FromModel(c.Text3) },
        });
    } else {
        const auto result = [&](const std::string& text) {
            return IsRefusal(text) ? FromModel(text) : FromModel(text) + ' ' + output_unit;
        };
        const QString output = FromModel(c.Label4);
        PrintOut(QString("%1:").arg(FromModel(c.Combo1.text())).leftJustified(30) + FromModel(c.Text1) + ' '
            + input_unit);
        PrintOut(QString("%1 (IAPWS):").arg(output).leftJustified(30) + result(c.Text2));
        PrintOut(QString("%1 (Hyland-Wexler):").arg(output).leftJustified(30) + result(c.Text3));
    }
    if (c.Text2 == "Error" || c.Text3 == "Error") {
        PrintError(command + ": \"" + *value + "\" is not a number");
        return kRefused;
    }
    if (IsRefusal(c.Text2) || IsRefusal(c.Text3)) {
        const QString limits = temperature_mode
            ? RangeText(kSaturationLowestTemperatureK, kSaturationHighestTemperatureK, kKelvin)
            : RangeText(kSaturationLowestPressurePa, kSaturationHighestPressurePa, kPressureUnits[0]);
        PrintError(command + ": " + *value + ' ' + input_unit + " is out of range (" + limits + ")");
        return kRefused;
    }
    return kSuccess;
}

} // namespace humidora::cli
