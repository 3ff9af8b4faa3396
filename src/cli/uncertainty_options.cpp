// The measurement-uncertainty options and their JSON.
#include "cli/uncertainty_options.h"

#include "calc/units/number_text.h"
#include "calc/units/quantities.h"
#include "cli/cli_support.h"
#include "cli/commands.h"

#include <QJsonArray>
#include <cmath>

namespace humidora::cli {
namespace {

QString Key(const Quantity& quantity)
{
    return QString::fromUtf8(quantity.key.data(), static_cast<qsizetype>(quantity.key.size()));
}

// A number of an option's value, or a usage error naming what it is, its text and its limit.
std::optional<double> ReadPositive(const QString& command, const QString& what, const QString& text,
    bool zero_allowed, std::optional<int>& status)
{
    const std::optional<double> value = NumberTextValue(text.trimmed().toStdString());
    QString problem;
    if (!value || !std::isfinite(*value))
        problem = QString("%1 \"%2\" is not a number (the decimal point is '.')").arg(what, text);
    else if (*value < 0 || (!zero_allowed && *value == 0))
        problem
            = QString("%1 %2 is %3 its minimum of 0").arg(what, text, zero_allowed ? "below" : "not above");
    if (problem.isEmpty())
        return value;
    PrintError(command + ": " + problem + "\nRun \"" + command + " --help\" for the options.");
    status = kUsageError;
    return std::nullopt;
}

} // namespace

UncertaintyOptions::UncertaintyOptions(bool with_monte_carlo_option)
    : uncertainty("uncertainty",
        "Accuracies of the inputs, in their units, comma-separated KEY=VALUE: temperature, the given "
        "humidity parameter (e.g. relative_humidity), pressure or altitude. An input not named is exact. "
        "Adds the expanded uncertainty of every quantity.",
        "LIST")
    , form("uncertainty-form",
          "How the accuracies are stated: \"rectangular\" (default, a sensor's +-a), \"expanded:K\" (an "
          "expanded uncertainty with coverage factor K) or \"standard\".",
          "FORM")
    , coverage("coverage", "Coverage factor k of the expanded uncertainties (default 2, about 95 %).", "K")
    , monte_carlo("monte-carlo",
          QString("Checks the uncertainties by N Monte Carlo draws (1 to %1; 100000 is usual).")
              .arg(kMaximumDraws),
          "N")
    , with_monte_carlo(with_monte_carlo_option)
{
}

void UncertaintyOptions::addTo(QCommandLineParser& parser) const
{
    parser.addOptions({ uncertainty, form, coverage });
    if (with_monte_carlo)
        parser.addOption(monte_carlo);
}

bool UncertaintyOptions::given(const QCommandLineParser& parser) const
{
    return parser.isSet(uncertainty);
}

std::optional<int> ReadUncertaintyOptions(const QCommandLineParser& parser, const UncertaintyOptions& options,
    const QString& command, int humidity_option, bool altitude_given, UncertaintySettings& settings,
    long& monte_carlo_draws)
{
    std::optional<int> status;
    const auto usage = [&](const QString& message) {
        PrintError(command + ": " + message + "\nRun \"" + command + " --help\" for the options.");
        return kUsageError;
    };
    monte_carlo_draws = 0;
    const Quantity& humidity = *FindQuantityByOption(humidity_option);
    const QString pressure_key = altitude_given ? "altitude" : "pressure";
    if (parser.isSet(options.uncertainty)) {
        if (!settings.enabled)
            settings.temperature = settings.humidity = settings.pressure = 0;
        settings.enabled = true;
        for (const QString& item : parser.value(options.uncertainty).split(',')) {
            const QString key = item.section('=', 0, 0).trimmed();
            const QString value = item.section('=', 1);
            double* accuracy = nullptr;
            if (key == "temperature")
                accuracy = &settings.temperature;
            else if (key == Key(humidity))
                accuracy = &settings.humidity;
            else if (key == pressure_key)
                accuracy = &settings.pressure;
            if (!accuracy) {
                return UnknownKey(
                    command, "input of --uncertainty", key, { "temperature", Key(humidity), pressure_key });
            }
            if (!item.contains('='))
                return usage(QString("--uncertainty: give the accuracy of %1 as %1=VALUE").arg(key));
            const std::optional<double> read
                = ReadPositive(command, "the accuracy of " + key, value, true, status);
            if (!read)
                return status;
            *accuracy = *read;
        }
    }
    const bool any = parser.isSet(options.form) || parser.isSet(options.coverage)
        || (options.with_monte_carlo && parser.isSet(options.monte_carlo));
    if (any && !settings.enabled)
        return usage("--uncertainty-form, --coverage and --monte-carlo need --uncertainty");
    if (parser.isSet(options.form)) {
        const QString text = parser.value(options.form);
        const std::optional<AccuracyForm> form = AccuracyFormFromName(text.section(':', 0, 0).toStdString());
        if (!form || (*form != AccuracyForm::Expanded && text.contains(':')))
            return UnknownKey(
                command, "--uncertainty-form", text, { "rectangular", "expanded:K", "standard" });
        settings.form = *form;
        if (*form == AccuracyForm::Expanded && text.contains(':')) {
            const std::optional<double> k = ReadPositive(
                command, "the coverage factor of --uncertainty-form", text.section(':', 1), false, status);
            if (!k)
                return status;
            settings.form_coverage = *k;
        } else if (*form == AccuracyForm::Expanded) {
            settings.form_coverage = 2;
        }
    }
    if (parser.isSet(options.coverage)) {
        const std::optional<double> k = ReadPositive(
            command, "the coverage factor --coverage", parser.value(options.coverage), false, status);
        if (!k)
            return status;
        settings.coverage = *k;
    }
    if (options.with_monte_carlo && parser.isSet(options.monte_carlo)) {
        const QString text = parser.value(options.monte_carlo);
        bool whole = false;
        const qlonglong draws = text.trimmed().toLongLong(&whole);
        if (!whole || draws < 1 || draws > kMaximumDraws) {
            return usage(
                QString("--monte-carlo: the number of draws \"%1\" is not a whole number from 1 to %2")
                    .arg(text)
                    .arg(kMaximumDraws));
        }
        monte_carlo_draws = static_cast<long>(draws);
    }
    if (const std::optional<std::string> problem = UncertaintySettingsProblem(settings))
        return usage(QString::fromStdString(*problem));
    return std::nullopt;
}

QJsonObject UncertaintyJson(
    const AmbientControls& controls, const UncertaintyResult& result, const MonteCarloResult* monte_carlo)
{
    QJsonObject json;
    for (std::size_t row = 0; row < kQuantities.size(); ++row) {
        const QuantityUncertainty& q = result.quantities[row];
        if (!result.ok || !q.computed)
            continue;
        QJsonObject entry;
        entry.insert("u", q.u);
        entry.insert("U", q.U);
        entry.insert("k", result.k);
        entry.insert("unit", FromModel((controls.*(kQuantities[row].list)).text()));
        entry.insert("interval", QJsonArray { q.low, q.high });
        entry.insert("flagged", q.flagged);
        if (monte_carlo && monte_carlo->ok) {
            const QuantityMonteCarlo& mc = monte_carlo->quantities[row];
            QJsonObject check;
            check.insert("interval",
                mc.draws > 0 ? QJsonValue(QJsonArray { mc.low, mc.high }) : QJsonValue(QJsonValue::Null));
            check.insert("draws", static_cast<qint64>(mc.draws));
            check.insert("refused", static_cast<qint64>(monte_carlo->refused));
            entry.insert("monte_carlo", check);
        }
        json.insert(Key(kQuantities[row]), entry);
    }
    return json;
}

QStringList UncertaintyLines(
    const AmbientControls& controls, const UncertaintyResult& result, const MonteCarloResult* monte_carlo)
{
    QStringList lines;
    if (!result.ok)
        return lines;
    lines << QString("Expanded uncertainties U = k u_c, %1.").arg(FromModel(CoverageCaption(result.k)));
    for (std::size_t row = 0; row < kQuantities.size(); ++row) {
        const QuantityUncertainty& q = result.quantities[row];
        if (q.computed && q.flagged) {
            lines << QString("%1: the interval %2 to %3 %4 reaches beyond its range")
                         .arg(Key(kQuantities[row]), FromModel(PlainNumberText(q.low, 6)),
                             FromModel(PlainNumberText(q.high, 6)),
                             FromModel((controls.*(kQuantities[row].list)).text()));
        }
    }
    if (monte_carlo && monte_carlo->ok) {
        lines << QString(
            "Monte Carlo check: %1 draws, %2 refused, probabilistically symmetric %3 % intervals:")
                     .arg(monte_carlo->draws)
                     .arg(monte_carlo->refused)
                     .arg(FromModel(PlainNumberText(100 * monte_carlo->probability, 4)));
        for (std::size_t row = 0; row < kQuantities.size(); ++row) {
            const QuantityMonteCarlo& mc = monte_carlo->quantities[row];
            if (!result.quantities[row].computed || mc.draws == 0)
                continue;
            lines << QString("  %1%2 to %3 %4 (linear %5 to %6)")
                         .arg((Key(kQuantities[row]) + ":").leftJustified(20),
                             FromModel(PlainNumberText(mc.low, 6)), FromModel(PlainNumberText(mc.high, 6)),
                             FromModel((controls.*(kQuantities[row].list)).text()),
                             FromModel(PlainNumberText(result.quantities[row].low, 6)),
                             FromModel(PlainNumberText(result.quantities[row].high, 6)));
        }
    }
    return lines;
}

} // namespace humidora::cli
