// humidora-cli convert: the unit converter on the command line. The converter is opened, the quantity
// and units are chosen and VALUE is typed into the input, so the result is the window's own text.
#include "calc/windows/unit_converter.h"
#include "cli/cli_support.h"
#include "cli/commands.h"

#include <QJsonObject>

namespace humidora::cli {
namespace {

const char* const kDescription
    = "Converts VALUE between two units of a quantity, through the quantity's base unit,\n"
      "exactly as the unit converter shows it. The units default to the quantity's first unit.\n"
      "Quantities: 0 \"Temperature\", 1 \"Pressure\", 2 \"Length\", 3 \"Density\",\n"
      "4 \"Specific Gas Const. (R)\", 5 \"Specific Volume\", 6 \"Specific Enthalpy\".\n"
      "A negative VALUE is typed as it is: humidora-cli convert --quantity 0 --to F -40";

// The quantity named by its item text or by its index "0".."6"; -1 when there is none.
int FindQuantity(const QString& given)
{
    const auto& quantities = ConverterQuantities();
    for (int q = 0; q < kConverterQuantityCount; ++q) {
        if (given == QString(QChar('0' + q)) || given == QString::fromUtf8(quantities[q].name))
            return q;
    }
    return -1;
}

QStringList QuantityNames()
{
    QStringList names;
    for (const ConverterQuantity& quantity : ConverterQuantities())
        names << QString::fromUtf8(quantity.name);
    return names;
}

} // namespace

int RunConvert(const QStringList& arguments)
{
    const QString command = arguments.value(0);
    QCommandLineParser parser;
    const QCommandLineOption quantity_option(
        "quantity", "The quantity: its name (e.g. \"Pressure\") or its index 0..6. Required.", "Q");
    const QCommandLineOption from_option("from", "Unit of VALUE.", "UNIT");
    const QCommandLineOption to_option("to", "Unit of the result.", "UNIT");
    const QCommandLineOption json_option("json", "Write one JSON object instead of text.");
    parser.addOptions({ quantity_option, from_option, to_option, json_option });
    parser.addPositionalArgument("VALUE", "The number to convert, read as the window reads its input.");
    if (const std::optional<int> status
        = ParseArguments(parser, arguments, "convert --quantity Q [options] [--] VALUE", kDescription))
        return *status;

    if (!parser.isSet(quantity_option)) {
        PrintError(command + ": --quantity is required; one of: \"" + QuantityNames().join("\", \"") + '"');
        return kUsageError;
    }
    const int q = FindQuantity(parser.value(quantity_option));
    if (q < 0)
        return UnknownKey(command, "quantity", parser.value(quantity_option), QuantityNames());

    UnitConverter converter;
    converter.Open();
    converter.SelectQuantity(q);
    const UnitList& from_list = converter.controls().Combo2[q];
    const UnitList& to_list = converter.controls().Combo3[q];
    if (parser.isSet(from_option)) {
        const int index = UnitIndex(from_list.items, parser.value(from_option));
        if (index < 0)
            return UnknownKey(command, "unit", parser.value(from_option), UnitKeys(from_list.items));
        converter.SelectFromUnit(q, index);
    }
    if (parser.isSet(to_option)) {
        const int index = UnitIndex(to_list.items, parser.value(to_option));
        if (index < 0)
            return UnknownKey(command, "unit", parser.value(to_option), UnitKeys(to_list.items));
        converter.SelectToUnit(q, index);
    }

    const std::optional<QString> value = SingleValue(parser, command);
    if (!value)
        return kUsageError;
    converter.EditText1(value->toStdString());

    const UnitConverterControls& c = converter.controls();
    const QString from = FromModel(from_list.text());
    const QString to = FromModel(to_list.text());
    if (parser.isSet(json_option)) {
        PrintJson({
            { "quantity", FromModel(c.Combo1.text()) },
            { "input", FromModel(c.Text1) },
            { "from", from },
            { "to", to },
            { "result", FromModel(c.Text2) },
        });
    } else {
        PrintOut(QString("%1:").arg(FromModel(c.Combo1.text())).leftJustified(26) + FromModel(c.Text1) + ' '
            + from);
        PrintOut(
            QString("Result:").leftJustified(26) + FromModel(c.Text2) + (IsRefusal(c.Text2) ? "" : ' ' + to));
    }
    if (c.Text2 == "Error") {
        PrintError(command + ": \"" + *value + "\" is not a number");
        return kRefused;
    }
    if (IsRefusal(c.Text2)) {
        PrintError(command + ": the result is beyond the range of the calculator's numbers");
        return kRefused;
    }
    return kSuccess;
}

} // namespace humidora::cli
