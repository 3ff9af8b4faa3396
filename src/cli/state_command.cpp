// humidora-cli state: the main window on the command line. The window's logic opens with its start-up
// sequence, the given inputs and choices are brought into it as one set, and the one recalculation runs:
// what is printed is what the window shows for the same inputs.
#include "calc/windows/ambient_window.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/state_files.h"
#include "cli/state_inputs.h"
#include "cli/uncertainty_options.h"
#include "io/calculation_file.h"

#include <QJsonObject>

namespace humidora::cli {
namespace {

const char* const kDescription
    = "\nComputes one state of moist air exactly as the main window shows it. Values are read as the\n"
      "window reads its boxes. Defaults: --temperature 25, --pressure 101.325 (14.6957 with --system\n"
      "british), --relative-humidity 50 when no humidity parameter is given, --method iapws,\n"
      "--system metric. Give the pressure or the altitude, and at most one humidity parameter.\n"
      "A unit option selects one list's item and overrides the system (the window then reports a\n"
      "Customized system). Exit status 1 when the window would show a report instead of the listing.\n"
      "With --uncertainty the accuracies of the inputs are carried to every quantity by the law of\n"
      "propagation of uncertainty (GUM): each value is shown \"value ± U\" in its unit, U = k u_c;\n"
      "an interval that reaches beyond a quantity's range is flagged, never clipped. --monte-carlo N\n"
      "checks it by N draws of the inputs (seeded: the same draws on every run).\n"
      "Example: humidora-cli state --temperature=-5 --dew-point=-12 --json\n"
      "Example: humidora-cli state --uncertainty temperature=0.2,relative_humidity=2,pressure=0.1";

QString HexColour(Background background)
{
    const Rgb rgb = BackgroundRgb(background);
    QString hex = "#";
    for (const int channel : { rgb.red, rgb.green, rgb.blue })
        hex += QString("%1").arg(channel, 2, 16, QChar('0'));
    return hex;
}

QJsonObject StateJson(const AmbientControls& controls, const std::optional<Refusal>& refusal)
{
    QJsonObject json = ShownStateJson(controls);
    json["ok"] = !refusal;
    json["method"] = controls.menu_IAPWS ? "iapws" : "hyland-wexler";
    json["listing_background"] = HexColour(controls.List1.background);
    if (refusal)
        json["refusal"] = RefusalJson(*refusal);
    return json;
}

void PrintTable(const AmbientControls& controls, const UncertaintyResult* uncertainty)
{
    const int value_width = uncertainty ? 26 : 15;
    const auto row = [&](const QString& quantity, const QString& value, const QString& unit,
                         const QString& minimum, const QString& maximum) {
        PrintOut((quantity.leftJustified(19) + value.leftJustified(value_width) + unit.leftJustified(28)
            + minimum.leftJustified(12) + maximum)
                     .trimmed());
    };
    row("quantity", "value", "unit", "minimum", "maximum");
    for (std::size_t i = 0; i < kQuantities.size(); ++i) {
        const Quantity& quantity = kQuantities[i];
        QString value = FromModel((controls.*(quantity.box)).text);
        if (uncertainty && uncertainty->quantities[i].computed)
            value += QString::fromUtf8(" ± ") + FromModel(UncertaintyText(uncertainty->quantities[i].U));
        row(FromModel(std::string(quantity.key)), value, FromModel((controls.*(quantity.list)).text()),
            quantity.minimum ? FromModel((controls.*(quantity.minimum)).caption) : QString(),
            quantity.maximum ? FromModel((controls.*(quantity.maximum)).caption) : QString());
    }
    PrintOut(QString());
    for (const std::string& line : controls.List1.lines)
        PrintOut(FromModel(line));
}

} // namespace

int RunState(const QStringList& arguments)
{
    const QString command = arguments.value(0);
    QCommandLineParser parser;
    const StateOptions state_options;
    state_options.addTo(parser);
    const QCommandLineOption json("json", "Write one JSON object instead of a table.");
    parser.addOption(json);
    const UncertaintyOptions uncertainty_options(true);
    uncertainty_options.addTo(parser);
    const StateFileOptions files;
    files.addTo(parser);
    if (const std::optional<int> status
        = ParseArguments(parser, arguments, "state [options]", QString(kDescription) + kStateFilesHelp))
        return *status;
    if (!parser.positionalArguments().isEmpty()) {
        PrintError(command + ": unexpected argument \"" + parser.positionalArguments().first() + "\"\nRun \""
            + command + " --help\" for the options.");
        return kUsageError;
    }
    if (const std::optional<int> status = CheckStateOptions(parser, state_options, command))
        return *status;

    AmbientWindow window;
    window.Open();
    Calculation read_from_file { window.CurrentInputs() };
    // From a saved calculation, the options change only what they name; else unnamed inputs take defaults.
    const bool from_file = parser.isSet(files.from);
    if (const std::optional<int> status = LoadStateFile(parser, files, command, read_from_file))
        return *status;
    AmbientInputs inputs = read_from_file.inputs;

    if (const std::optional<int> status
        = ApplyStateOptions(parser, state_options, command, from_file, inputs))
        return *status;

    UncertaintySettings uncertainty = read_from_file.uncertainty;
    long draws = 0;
    if (const std::optional<int> status = ReadUncertaintyOptions(parser, uncertainty_options, command,
            inputs.humidity_option, inputs.altitude_given, uncertainty, draws))
        return *status;

    window.RestoreInputs(inputs);
    if (const std::optional<int> status
        = WriteStateFiles(parser, files, command, window, from_file ? &read_from_file : nullptr, uncertainty))
        return *status;

    const AmbientControls& controls = window.controls();
    const std::optional<Refusal>& refusal = window.refusal();
    std::optional<UncertaintyResult> propagated;
    std::optional<MonteCarloResult> checked;
    if (uncertainty.enabled && !refusal) {
        ControlsEvaluator evaluator(controls);
        propagated = PropagateUncertainty(evaluator, uncertainty);
        if (draws > 0)
            checked = RunMonteCarlo(evaluator, uncertainty, { .draws = draws });
    }
    const MonteCarloResult* monte_carlo = checked ? &*checked : nullptr;
    if (parser.isSet(json)) {
        QJsonObject object = StateJson(controls, refusal);
        if (propagated)
            object["uncertainty"] = UncertaintyJson(controls, *propagated, monte_carlo);
        PrintJson(object);
    } else {
        PrintTable(controls, propagated ? &*propagated : nullptr);
        if (propagated) {
            PrintOut(QString());
            for (const QString& line : UncertaintyLines(controls, *propagated, monte_carlo))
                PrintOut(line);
        }
    }
    if (refusal) {
        PrintError(command + ": " + FromModel(RefusalSentence(*refusal)));
        return kRefused;
    }
    return kSuccess;
}

} // namespace humidora::cli
