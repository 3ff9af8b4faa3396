#include "io/calculation_file.h"

#include "calc/number_text.h"
#include "calc/product.h"
#include "calc/quantities.h"
#include "io/save_file.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QStringList>
#include <vector>

namespace humidora {
namespace {

constexpr std::string_view kFormulationIapws = "IAPWS";
constexpr std::string_view kFormulationHylandWexler = "Hyland-Wexler";
constexpr std::array<std::string_view, 3> kSystemNames = { "Metric", "British", "Customized" };
constexpr std::string_view kPressureGiven = "pressure";
constexpr std::string_view kAltitudeGiven = "altitude";

const QStringList kTopMembers = { "format", "version", "saved_by", "formulation", "unit_system", "units",
    "pressure_given", "humidity_given", "inputs", "shown_results" };
const QStringList kInputMembers = { "temperature", "pressure", "altitude", "humidity" };

QString Quoted(const QString& text)
{
    return QStringLiteral("\"%1\"").arg(text);
}

QString Count(double value)
{
    return QString::fromStdString(PlainNumberText(value));
}

/// The control model as created: the items of every list, to check selections against.
const AmbientControls& Blank()
{
    static const AmbientControls controls;
    return controls;
}

/// Index of a quantity's unit list in AmbientInputs::selections.
std::size_t ListIndex(const Quantity& quantity)
{
    return static_cast<std::size_t>(quantity.listNumber() - 1);
}

bool IsHumidityOption(int number)
{
    const Quantity* quantity = FindQuantityByOption(number);
    return quantity != nullptr && quantity->isHumidity();
}

QStringList HumidityKeys()
{
    QStringList keys;
    for (const Quantity* quantity : kHumidityQuantities)
        keys << QString::fromUtf8(quantity->key);
    return keys;
}

QString ListedChoices(const QStringList& choices)
{
    QStringList quoted;
    for (const QString& choice : choices)
        quoted << Quoted(choice);
    return quoted.join(QStringLiteral(", "));
}

QString TextProblem(const QString& name, const std::string& text)
{
    const QString value = QString::fromStdString(text);
    if (value.toStdString() != text)
        return QStringLiteral("the %1 text is not valid UTF-8").arg(name);
    if (value.size() > kInputTextLimit) {
        return QStringLiteral("the %1 text is %2 characters long; a box holds at most %3")
            .arg(name, Count(static_cast<double>(value.size())), Count(kInputTextLimit));
    }
    for (const QChar c : value) {
        if ((c.unicode() < 0x20 && c != QLatin1Char('\t')) || c.unicode() == 0x7f)
            return QStringLiteral("the %1 text contains a line break or another control character").arg(name);
    }
    return {};
}

/// Strict reading of one object: each accessor records the first problem met; later calls return
/// harmless defaults, so the caller checks problem() once at the end of a group.
class MemberReader
{
public:
    MemberReader(const QJsonObject& object, QString where)
        : object_(object)
        , where_(std::move(where))
    {
    }

    const QString& problem() const { return problem_; }
    bool ok() const { return problem_.isEmpty(); }
    void fail(const QString& problem)
    {
        if (problem_.isEmpty())
            problem_ = problem;
    }

    void refuseUnknown(const QStringList& known)
    {
        for (const QString& key : object_.keys()) {
            if (!known.contains(key))
                fail(QStringLiteral("%1 has an unknown member %2").arg(where_, Quoted(key)));
        }
    }

    QJsonValue member(const QString& key)
    {
        if (!object_.contains(key)) {
            fail(QStringLiteral("%1 has no %2 member").arg(where_, Quoted(key)));
            return {};
        }
        return object_.value(key);
    }

    QString text(const QString& key)
    {
        const QJsonValue value = member(key);
        if (ok() && !value.isString())
            fail(QStringLiteral("the %1 member of %2 is not a text").arg(Quoted(key), where_));
        return ok() ? value.toString() : QString();
    }

    QJsonObject object(const QString& key)
    {
        const QJsonValue value = member(key);
        if (ok() && !value.isObject())
            fail(QStringLiteral("the %1 member of %2 is not an object").arg(Quoted(key), where_));
        return ok() ? value.toObject() : QJsonObject();
    }

    /// A text that must be one of `choices`; returns its index, or -1.
    int choice(const QString& key, const QStringList& choices)
    {
        const QString value = text(key);
        if (!ok())
            return -1;
        const int index = static_cast<int>(choices.indexOf(value));
        if (index < 0) {
            fail(QStringLiteral("the %1 member is %2; it must be one of %3")
                     .arg(Quoted(key), Quoted(value), ListedChoices(choices)));
        }
        return index;
    }

private:
    const QJsonObject& object_;
    QString where_;
    QString problem_;
};

QString ParseErrorText(const QJsonParseError& error, qsizetype size)
{
    QString text = QStringLiteral("the file is not valid JSON (%1 at byte %2)")
                       .arg(error.errorString(), Count(static_cast<double>(error.offset)));
    if (error.offset >= size - 1)
        text += QStringLiteral("; it ends too early, perhaps cut off while copying");
    return text;
}

} // namespace

QJsonObject ShownStateJson(const AmbientControls& shown)
{
    QJsonObject quantities;
    for (const Quantity& quantity : kQuantities) {
        const ValueBox& box = shown.*quantity.box;
        QJsonObject entry;
        entry.insert("text", QString::fromStdString(box.text));
        entry.insert("unit", QString::fromStdString((shown.*quantity.list).text()));
        if (quantity.minimum != nullptr) {
            entry.insert("min", QString::fromStdString((shown.*quantity.minimum).caption));
            entry.insert("max", QString::fromStdString((shown.*quantity.maximum).caption));
        }
        const bool input = !box.locked;
        entry.insert("role", box.background == Background::Red ? "refused" : input ? "input" : "computed");
        quantities.insert(QString::fromUtf8(quantity.key), entry);
    }
    QJsonArray listing;
    for (const std::string& line : shown.List1.lines)
        listing.append(QString::fromStdString(line));
    QJsonObject results;
    results.insert("quantities", quantities);
    results.insert("listing", listing);
    return results;
}

QString InputsProblem(const AmbientInputs& inputs)
{
    for (const Quantity& quantity : kQuantities) {
        const std::size_t list = ListIndex(quantity);
        const int selected = inputs.selections[list];
        const int size = static_cast<int>((Blank().*quantity.list).items.size());
        if (selected < 0 || selected >= size) {
            return QStringLiteral("the unit list of %1 has no item %2")
                .arg(QString::fromUtf8(quantity.key), Count(static_cast<double>(selected)));
        }
    }
    if (!IsHumidityOption(inputs.humidity_option)) {
        return QStringLiteral("option %1 is not a humidity parameter")
            .arg(Count(static_cast<double>(inputs.humidity_option)));
    }
    const std::pair<const char*, const std::string*> texts[]
        = { { "temperature", &inputs.temperature }, { "pressure", &inputs.pressure },
              { "altitude", &inputs.altitude }, { "humidity", &inputs.humidity } };
    for (const auto& [name, text] : texts) {
        const QString problem = TextProblem(QLatin1String(name), *text);
        if (!problem.isEmpty())
            return problem;
    }
    if (inputs.system != UnitSystem::Customized) {
        const bool metric = inputs.system == UnitSystem::Metric;
        const std::array<int, 16>& reference = metric ? kMetricSelection : kBritishSelection;
        for (const Quantity& quantity : kQuantities) {
            const std::size_t list = ListIndex(quantity);
            if (inputs.selections[list] == reference[list])
                continue;
            const UnitList& items = Blank().*quantity.list;
            return QStringLiteral("the unit system is %1, but the unit of %2 is %3 instead of %4")
                .arg(Quoted(QString::fromUtf8(kSystemNames[metric ? 0 : 1])), QString::fromUtf8(quantity.key),
                    Quoted(QString::fromStdString(
                        items.items[static_cast<std::size_t>(inputs.selections[list])])),
                    Quoted(QString::fromStdString(items.items[static_cast<std::size_t>(reference[list])])));
        }
    }
    return {};
}

QByteArray CalculationJson(const AmbientInputs& inputs, const AmbientControls* shown)
{
    QJsonObject units;
    for (const Quantity& quantity : kQuantities) {
        const UnitList& list = Blank().*quantity.list;
        const int selected = inputs.selections[ListIndex(quantity)];
        const bool valid = selected >= 0 && selected < static_cast<int>(list.items.size());
        units.insert(QString::fromUtf8(quantity.key),
            valid ? QString::fromStdString(list.items[static_cast<std::size_t>(selected)]) : QString());
    }
    QJsonObject texts;
    texts.insert("temperature", QString::fromStdString(inputs.temperature));
    texts.insert("pressure", QString::fromStdString(inputs.pressure));
    texts.insert("altitude", QString::fromStdString(inputs.altitude));
    texts.insert("humidity", QString::fromStdString(inputs.humidity));

    const Quantity* humidity = FindQuantityByOption(inputs.humidity_option);
    QJsonObject document;
    document.insert("format", QLatin1String(kCalculationFormat));
    document.insert("version", kCalculationFormatVersion);
    document.insert("saved_by", QString::fromUtf8(kProductTitle));
    document.insert(
        "formulation", QString::fromUtf8(inputs.iapws ? kFormulationIapws : kFormulationHylandWexler));
    document.insert("unit_system", QString::fromUtf8(kSystemNames[static_cast<std::size_t>(inputs.system)]));
    document.insert("units", units);
    document.insert(
        "pressure_given", QString::fromUtf8(inputs.altitude_given ? kAltitudeGiven : kPressureGiven));
    document.insert("humidity_given", humidity != nullptr ? QString::fromUtf8(humidity->key) : QString());
    document.insert("inputs", texts);
    if (shown != nullptr)
        document.insert("shown_results", ShownStateJson(*shown));
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

CalculationRead ParseCalculation(const QByteArray& json)
{
    CalculationRead read;
    auto refuse = [&read](const QString& problem) {
        read.inputs.reset();
        read.problem = problem;
        return read;
    };

    QByteArray text = json;
    if (text.startsWith("\xEF\xBB\xBF")) // a byte-order mark left by some editors
        text.remove(0, 3);
    if (text.trimmed().isEmpty())
        return refuse(QStringLiteral("the file is empty"));

    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        return refuse(ParseErrorText(error, text.size()));
    if (!document.isObject())
        return refuse(QStringLiteral("the file is not a Humidora calculation (it holds no JSON object)"));
    if (const std::optional<QString> duplicate = DuplicateJsonMember(text))
        return refuse(QStringLiteral("the member %1 occurs twice in one object").arg(Quoted(*duplicate)));

    const QJsonObject top = document.object();
    const QJsonValue format = top.value("format");
    if (!format.isString() || format.toString() != QLatin1String(kCalculationFormat))
        return refuse(QStringLiteral("the file is not a Humidora calculation (no format marker)"));
    const QJsonValue version = top.value("version");
    if (!version.isDouble() || version.toDouble() != static_cast<double>(version.toInteger())
        || version.toInteger() < 1) {
        return refuse(QStringLiteral("the \"version\" member must be a whole number from 1 up"));
    }
    if (version.toInteger() > kCalculationFormatVersion) {
        return refuse(
            QStringLiteral("the file has format version %1, from a newer Humidora; this one reads up to "
                           "version %2")
                .arg(Count(static_cast<double>(version.toInteger())), Count(kCalculationFormatVersion)));
    }

    MemberReader reader(top, QStringLiteral("the calculation"));
    reader.refuseUnknown(kTopMembers);
    if (top.contains("saved_by"))
        reader.text("saved_by");
    if (top.contains("shown_results"))
        reader.object("shown_results"); // for readers of the file only: never used
    AmbientInputs inputs;
    const int formulation = reader.choice(
        "formulation", { QString::fromUtf8(kFormulationIapws), QString::fromUtf8(kFormulationHylandWexler) });
    const int system = reader.choice("unit_system",
        { QString::fromUtf8(kSystemNames[0]), QString::fromUtf8(kSystemNames[1]),
            QString::fromUtf8(kSystemNames[2]) });
    const int pressure_given = reader.choice(
        "pressure_given", { QString::fromUtf8(kPressureGiven), QString::fromUtf8(kAltitudeGiven) });
    const int humidity = reader.choice("humidity_given", HumidityKeys());
    const QJsonObject units = reader.object("units");
    const QJsonObject texts = reader.object("inputs");
    if (!reader.ok())
        return refuse(reader.problem());
    inputs.iapws = formulation == 0;
    inputs.system = static_cast<UnitSystem>(system);
    inputs.altitude_given = pressure_given == 1;
    inputs.humidity_option = FindQuantity(HumidityKeys().at(humidity).toStdString())->optionNumber();

    MemberReader unit_reader(units, QStringLiteral("\"units\""));
    QStringList quantity_keys;
    for (const Quantity& quantity : kQuantities)
        quantity_keys << QString::fromUtf8(quantity.key);
    unit_reader.refuseUnknown(quantity_keys);
    for (const Quantity& quantity : kQuantities) {
        QStringList items;
        for (const std::string& item : (Blank().*quantity.list).items)
            items << QString::fromStdString(item);
        const QString key = QString::fromUtf8(quantity.key);
        const QString unit = unit_reader.text(key);
        if (!unit_reader.ok())
            break;
        const int index = static_cast<int>(items.indexOf(unit));
        if (index < 0) {
            unit_reader.fail(QStringLiteral("the unit %1 of %2 is not a unit of that list (%3)")
                                 .arg(Quoted(unit), key, ListedChoices(items)));
            break;
        }
        inputs.selections[ListIndex(quantity)] = index;
    }
    if (!unit_reader.ok())
        return refuse(unit_reader.problem());

    MemberReader text_reader(texts, QStringLiteral("\"inputs\""));
    text_reader.refuseUnknown(kInputMembers);
    inputs.temperature = text_reader.text("temperature").toStdString();
    inputs.pressure = text_reader.text("pressure").toStdString();
    inputs.altitude = text_reader.text("altitude").toStdString();
    inputs.humidity = text_reader.text("humidity").toStdString();
    if (!text_reader.ok())
        return refuse(text_reader.problem());

    const QString problem = InputsProblem(inputs);
    if (!problem.isEmpty())
        return refuse(problem);
    read.inputs = inputs;
    return read;
}

CalculationRead ReadCalculationFile(const QString& path)
{
    const QString name = Quoted(QDir::toNativeSeparators(path));
    auto refuse = [&name](const QString& problem) {
        CalculationRead read;
        read.problem = QStringLiteral("Cannot open %1: %2.").arg(name, problem);
        return read;
    };

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    // Read one byte past the limit rather than trusting size(): pipes and special files report 0.
    const QByteArray bytes = file.read(kCalculationFileLimit + 1);
    if (file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    if (bytes.size() > kCalculationFileLimit) {
        return refuse(QStringLiteral("the file is larger than %1 bytes, far more than any calculation")
                          .arg(Count(static_cast<double>(kCalculationFileLimit))));
    }
    CalculationRead read = ParseCalculation(bytes);
    if (!read)
        return refuse(read.problem);
    return read;
}

QString WriteCalculationFile(const QString& path, const AmbientInputs& inputs, const AmbientControls* shown)
{
    const QString name = Quoted(QDir::toNativeSeparators(path));
    auto failed = [&name](const QString& reason) {
        return QStringLiteral("Could not save %1: %2. Any earlier file of that name is unchanged.")
            .arg(name, reason);
    };
    const QString problem = InputsProblem(inputs);
    if (!problem.isEmpty())
        return failed(problem);

    const QString reason = SaveBytes(path, CalculationJson(inputs, shown));
    if (!reason.isEmpty())
        return failed(reason);
    return {};
}

std::optional<QString> DuplicateJsonMember(const QByteArray& json)
{
    // The text has already been parsed, so only strings need care: a member name is the string that
    // opens an object or follows a comma inside one.
    struct Level
    {
        bool object;
        bool expect_name;
        QSet<QString> names;
    };
    std::vector<Level> levels;
    const qsizetype size = json.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = json[i];
        if (c == '{' || c == '[') {
            levels.push_back({ c == '{', c == '{', {} });
        } else if (c == '}' || c == ']') {
            if (!levels.empty())
                levels.pop_back();
        } else if (c == ',') {
            if (!levels.empty() && levels.back().object)
                levels.back().expect_name = true;
        } else if (c == '"') {
            const qsizetype start = i;
            for (++i; i < size && json[i] != '"'; ++i) {
                if (json[i] == '\\')
                    ++i;
            }
            if (levels.empty() || !levels.back().object || !levels.back().expect_name)
                continue;
            levels.back().expect_name = false;
            // Let Qt decode the escapes, so that "a" and "\u0061" count as one name.
            const QByteArray quoted = json.mid(start, i - start + 1);
            const QString name = QJsonDocument::fromJson("[" + quoted + "]").array().at(0).toString();
            if (levels.back().names.contains(name))
                return name;
            levels.back().names.insert(name);
        }
    }
    return std::nullopt;
}

} // namespace humidora
