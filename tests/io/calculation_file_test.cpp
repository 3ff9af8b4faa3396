#include "calc/windows/ambient_window.h"
#include "file_faults.h"
#include "io/calculation_file.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace humidora {
namespace {

QJsonObject BaseObject()
{
    return QJsonDocument::fromJson(CalculationJson({ AmbientInputs {} })).object();
}

QByteArray Json(const QJsonObject& object)
{
    return QJsonDocument(object).toJson();
}

/// The base document with one change made to its object.
QByteArray Edited(const std::function<void(QJsonObject&)>& edit)
{
    QJsonObject object = BaseObject();
    edit(object);
    return Json(object);
}

/// The base document with one member of a sub-object replaced (or removed when value is undefined).
QByteArray EditedMember(const char* object_name, const char* member, const QJsonValue& value)
{
    return Edited([&](QJsonObject& top) {
        QJsonObject sub = top.value(QLatin1String(object_name)).toObject();
        if (value.isUndefined())
            sub.remove(QLatin1String(member));
        else
            sub.insert(QLatin1String(member), value);
        top.insert(QLatin1String(object_name), sub);
    });
}

/// The base document's text with the first occurrence of `from` replaced by `to`.
QByteArray Replaced(const char* from, const char* to)
{
    QByteArray text = CalculationJson({ AmbientInputs {} });
    const qsizetype at = text.indexOf(from);
    EXPECT_GE(at, 0) << from;
    return text.replace(at, qsizetype(qstrlen(from)), to);
}

// ---- Well-formed documents -----------------------------------------------------------------------

TEST(CalculationDocument, DefaultInputsReadBackUnchanged)
{
    const CalculationRead read = ParseCalculation(CalculationJson({ AmbientInputs {} }));
    ASSERT_TRUE(read) << read.problem.toStdString();
    EXPECT_EQ(read.calculation->inputs, AmbientInputs {});
}

TEST(CalculationDocument, EveryChoiceReadsBackUnchanged)
{
    AmbientInputs inputs;
    inputs.iapws = false;
    inputs.system = UnitSystem::Customized;
    inputs.selections = { 3, 5, 1, 2, 0, 1, 2, 0, 0, 2, 4, 3, 1, 1, 1, 1 };
    inputs.altitude_given = true;
    inputs.humidity_option = 10;
    inputs.temperature = " 77.5 ";
    inputs.pressure = "Error";
    inputs.altitude = "-1.5e3";
    inputs.humidity = "\t0.42";
    const CalculationRead read = ParseCalculation(CalculationJson({ inputs }));
    ASSERT_TRUE(read) << read.problem.toStdString();
    EXPECT_EQ(read.calculation->inputs, inputs);
}

TEST(CalculationDocument, UnitsAreWrittenAsTheListsShowThem)
{
    AmbientInputs inputs;
    inputs.system = UnitSystem::British;
    inputs.selections = kBritishSelection;
    const QJsonObject units
        = QJsonDocument::fromJson(CalculationJson({ inputs })).object().value("units").toObject();
    EXPECT_EQ(units.value("temperature").toString(), "F");
    EXPECT_EQ(units.value("pressure").toString(), "PSI");
    EXPECT_EQ(units.value("altitude").toString(), "ft");
    EXPECT_EQ(units.value("humidity_ratio").toString(), "(lb moisture)/(lb dry air)");
    EXPECT_EQ(units.value("gas_constant").toString(), "btu/lb-R");
    EXPECT_EQ(units.size(), 16);
}

TEST(CalculationDocument, TextsThatTheWindowRefusesAreStillACalculation)
{
    for (const char* text : { "", "abc", "12abc", "160", "-1e400", "1,5" }) {
        AmbientInputs inputs;
        inputs.humidity = text;
        inputs.temperature = text;
        const CalculationRead read = ParseCalculation(CalculationJson({ inputs }));
        ASSERT_TRUE(read) << text << ": " << read.problem.toStdString();
        EXPECT_EQ(read.calculation->inputs.humidity, text);
        EXPECT_EQ(read.calculation->inputs.temperature, text);
    }
}

TEST(CalculationDocument, ShownResultsAreWrittenButNeverRead)
{
    AmbientControls shown;
    shown.Text3.text = "0.0099";
    shown.List1.lines = { "Sat. Formulation:  IAPWS" };
    const QByteArray json = CalculationJson({ AmbientInputs {} }, &shown);
    const QJsonObject results = QJsonDocument::fromJson(json).object().value("shown_results").toObject();
    EXPECT_EQ(
        results.value("quantities").toObject().value("humidity_ratio").toObject().value("text").toString(),
        "0.0099");
    EXPECT_EQ(results.value("listing").toArray().at(0).toString(), "Sat. Formulation:  IAPWS");

    // Whatever a reader writes there does not matter to opening.
    QJsonObject edited = QJsonDocument::fromJson(json).object();
    edited.insert("shown_results", QJsonObject { { "quantities", "anything" } });
    const CalculationRead read = ParseCalculation(Json(edited));
    ASSERT_TRUE(read) << read.problem.toStdString();
    EXPECT_EQ(read.calculation->inputs, AmbientInputs {});
}

TEST(CalculationDocument, ByteOrderMarkIsTolerated)
{
    const CalculationRead read = ParseCalculation("\xEF\xBB\xBF" + CalculationJson({ AmbientInputs {} }));
    EXPECT_TRUE(read) << read.problem.toStdString();
}

// ---- Malformed documents ---------------------------------------------------------------------------

struct MalformedCase
{
    const char* name;
    std::function<QByteArray()> document;
    const char* problem; ///< a part of the expected message
};

void PrintTo(const MalformedCase& c, std::ostream* out)
{
    *out << c.name;
}

class MalformedDocument : public ::testing::TestWithParam<MalformedCase>
{
};

TEST_P(MalformedDocument, IsRefusedWithItsProblem)
{
    const CalculationRead read = ParseCalculation(GetParam().document());
    EXPECT_FALSE(read.calculation.has_value());
    EXPECT_TRUE(read.problem.contains(QLatin1String(GetParam().problem)))
        << "message: " << read.problem.toStdString();
}

const MalformedCase kMalformed[] = {
    { "Empty", [] { return QByteArray(); }, "empty" },
    { "OnlyBlanks", [] { return QByteArray(" \n\t "); }, "empty" },
    { "NotJson", [] { return QByteArray("Temperature 25 C\nPressure 101.325 kPa\n"); }, "not valid JSON" },
    { "Truncated",
        [] {
            const QByteArray text = CalculationJson({ AmbientInputs {} });
            return text.left(text.size() / 2);
        },
        "ends too early" },
    { "TopLevelArray", [] { return QByteArray("[1, 2, 3]"); }, "not a Humidora calculation" },
    { "OtherJsonObject", [] { return QByteArray(R"({"name": "package", "version": 1})"); },
        "not a Humidora calculation" },
    { "WrongFormat", [] { return Edited([](QJsonObject& o) { o.insert("format", "humidora-saturation"); }); },
        "not a Humidora calculation" },
    { "FormatNotText", [] { return Edited([](QJsonObject& o) { o.insert("format", 1); }); },
        "not a Humidora calculation" },
    { "FutureVersion", [] { return Edited([](QJsonObject& o) { o.insert("version", 3); }); },
        "format version 3, from a newer Humidora; this one reads up to version 2" },
    { "VersionZero", [] { return Edited([](QJsonObject& o) { o.insert("version", 0); }); }, "whole number" },
    { "VersionFraction", [] { return Edited([](QJsonObject& o) { o.insert("version", 1.5); }); },
        "whole number" },
    { "VersionText", [] { return Edited([](QJsonObject& o) { o.insert("version", "1"); }); },
        "whole number" },
    { "VersionMissing", [] { return Edited([](QJsonObject& o) { o.remove("version"); }); }, "whole number" },
    { "DuplicateTopMember",
        [] {
            return Replaced("\"formulation\": \"IAPWS\",", R"("formulation": "IAPWS",
            "formulation": "Hyland-Wexler",)");
        },
        "\"formulation\" occurs twice" },
    { "DuplicateByEscape",
        [] {
            return Replaced("\"formulation\": \"IAPWS\",", R"("formulation": "IAPWS",
            "\u0066ormulation": "Hyland-Wexler",)");
        },
        "\"formulation\" occurs twice" },
    { "DuplicateUnit",
        [] { return Replaced("\"temperature\": \"C\"", R"("temperature": "C", "temperature": "F")"); },
        "\"temperature\" occurs twice" },
    { "DuplicateInputText",
        [] { return Replaced("\"humidity\": \"50\"", R"("humidity": "50", "humidity": "60")"); },
        "\"humidity\" occurs twice" },
    { "MissingUnits", [] { return Edited([](QJsonObject& o) { o.remove("units"); }); },
        "no \"units\" member" },
    { "MissingInputs", [] { return Edited([](QJsonObject& o) { o.remove("inputs"); }); },
        "no \"inputs\" member" },
    { "MissingFormulation", [] { return Edited([](QJsonObject& o) { o.remove("formulation"); }); },
        "no \"formulation\" member" },
    { "MissingHumidityGiven", [] { return Edited([](QJsonObject& o) { o.remove("humidity_given"); }); },
        "no \"humidity_given\" member" },
    { "MissingUnitOfOneList", [] { return EditedMember("units", "dew_point", QJsonValue::Undefined); },
        "no \"dew_point\" member" },
    { "MissingInputText", [] { return EditedMember("inputs", "temperature", QJsonValue::Undefined); },
        "no \"temperature\" member" },
    { "UnknownTopMember", [] { return Edited([](QJsonObject& o) { o.insert("colour", "blue"); }); },
        "unknown member \"colour\"" },
    { "UnknownUnitMember", [] { return EditedMember("units", "speed", "m/s"); }, "unknown member \"speed\"" },
    { "UnknownInputMember", [] { return EditedMember("inputs", "dew_point", "10"); },
        "unknown member \"dew_point\"" },
    { "UnknownUnitKey", [] { return EditedMember("units", "temperature", "\u00b0C"); },
        "is not a unit of that list" },
    { "UnitKeyWrongCase", [] { return EditedMember("units", "pressure", "kpa"); }, "\"kpa\" of pressure" },
    { "UnitOfAnotherList", [] { return EditedMember("units", "altitude", "kPa"); }, "\"kPa\" of altitude" },
    { "UnitNotText", [] { return EditedMember("units", "density", 0); },
        "\"density\" member of \"units\" is not a text" },
    { "UnitsNotObject", [] { return Edited([](QJsonObject& o) { o.insert("units", QJsonArray { "C" }); }); },
        "\"units\" member of the calculation is not an object" },
    { "FormulationLowerCase", [] { return Edited([](QJsonObject& o) { o.insert("formulation", "iapws"); }); },
        "must be one of \"IAPWS\", \"Hyland-Wexler\"" },
    { "UnknownUnitSystem", [] { return Edited([](QJsonObject& o) { o.insert("unit_system", "Imperial"); }); },
        "\"Imperial\"" },
    { "UnknownPressureGiven",
        [] { return Edited([](QJsonObject& o) { o.insert("pressure_given", "both"); }); },
        "\"pressure_given\" member is \"both\"" },
    { "HumidityGivenNotHumidity",
        [] { return Edited([](QJsonObject& o) { o.insert("humidity_given", "temperature"); }); },
        "\"humidity_given\" member is \"temperature\"" },
    { "HumidityGivenAsOptionNumber",
        [] { return Edited([](QJsonObject& o) { o.insert("humidity_given", 11); }); },
        "\"humidity_given\" member of the calculation is not a text" },
    { "TextAsNumber", [] { return EditedMember("inputs", "temperature", 25); },
        "\"temperature\" member of \"inputs\" is not a text" },
    { "TextAsNull", [] { return EditedMember("inputs", "humidity", QJsonValue::Null); },
        "\"humidity\" member of \"inputs\" is not a text" },
    { "TextAsArray", [] { return EditedMember("inputs", "pressure", QJsonArray { "101.325" }); },
        "\"pressure\" member of \"inputs\" is not a text" },
    { "AbsurdlyLongText",
        [] { return EditedMember("inputs", "altitude", QString(kInputTextLimit + 1, '1')); },
        "the altitude text is 32768 characters long" },
    { "TextWithLineBreak", [] { return EditedMember("inputs", "temperature", "25\n30"); },
        "control character" },
    { "TextWithNul", [] { return EditedMember("inputs", "humidity", QString(QChar(0)) + "50"); },
        "control character" },
    { "MetricWithBritishUnit", [] { return EditedMember("units", "dew_point", "F"); },
        "unit system is \"Metric\", but the unit of dew_point is \"F\" instead of \"C\"" },
    { "BritishWithMetricUnits",
        [] { return Edited([](QJsonObject& o) { o.insert("unit_system", "British"); }); },
        "unit system is \"British\", but the unit of temperature is \"C\" instead of \"F\"" },
    { "ShownResultsNotObject", [] { return Edited([](QJsonObject& o) { o.insert("shown_results", 3); }); },
        "\"shown_results\" member of the calculation is not an object" },
};

INSTANTIATE_TEST_SUITE_P(Cases, MalformedDocument, ::testing::ValuesIn(kMalformed),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CalculationDocument, LongestTextAllowedIsAccepted)
{
    const CalculationRead read
        = ParseCalculation(EditedMember("inputs", "altitude", QString(kInputTextLimit, '1')));
    ASSERT_TRUE(read) << read.problem.toStdString();
    EXPECT_EQ(read.calculation->inputs.altitude.size(), std::size_t(kInputTextLimit));
}

TEST(CalculationDocument, CustomizedAllowsAnyUnits)
{
    const CalculationRead read = ParseCalculation(Edited([](QJsonObject& o) {
        o.insert("unit_system", "Customized");
        QJsonObject units = o.value("units").toObject();
        units.insert("dew_point", "R");
        o.insert("units", units);
    }));
    ASSERT_TRUE(read) << read.problem.toStdString();
    EXPECT_EQ(read.calculation->inputs.system, UnitSystem::Customized);
    EXPECT_EQ(read.calculation->inputs.selections[2], 3); // Combo3 "R"
}

// A calculation saved by 1.1 before the grains, the inch of mercury and the inch-pound enthalpy joined the
// lists (its shown results left out here: they are never read) opens with the same items and shows the
// digits its shown results held then; the new items are kept by their texts and read back.
TEST(CalculationDocument, AnEarlierFileOpensUnchangedAndTheNewUnitsReadBack)
{
    const QByteArray saved_by_1_1 = R"json({
    "format": "humidora-calculation",
    "formulation": "IAPWS",
    "humidity_given": "dew_point",
    "inputs": { "altitude": ".47", "humidity": "60", "pressure": "14.6957", "temperature": "86" },
    "pressure_given": "pressure",
    "saved_by": "Humidora 1.1",
    "unit_system": "British",
    "units": {
        "absolute_humidity": "(lb moisture)/ft^3", "altitude": "ft", "density": "lb/ft^3", "dew_point": "F",
        "enthalpy": "btu/lb (dry air)", "gas_constant": "btu/lb-R",
        "humidity_ratio": "(lb moisture)/(lb dry air)", "mass_fraction": "%", "mole_fraction": "%",
        "molecular_weight": "lbm/lbmol", "partial_pressure": "PSI", "pressure": "PSI",
        "relative_humidity": "%", "specific_volume": "ft^3/lb (dry air)", "temperature": "F", "wet_bulb": "F"
    },
    "version": 1
})json";
    const CalculationRead read = ParseCalculation(saved_by_1_1);
    ASSERT_TRUE(read) << read.problem.toStdString();
    const AmbientInputs& inputs = read.calculation->inputs;
    EXPECT_EQ(inputs.system, UnitSystem::British);
    EXPECT_EQ(inputs.selections, kBritishSelection);
    AmbientWindow window;
    window.Open();
    window.RestoreInputs(inputs);
    const AmbientControls& shown = window.controls();
    EXPECT_EQ(shown.Text3.text, ".0110441");
    EXPECT_EQ(shown.Text2.text, "14.6957");
    EXPECT_EQ(shown.Text11.text, ".2564");
    EXPECT_EQ(shown.Text16.text, "25.10704");
    EXPECT_EQ(shown.Combo16.text(), "btu/lb (dry air)");

    AmbientInputs hvac = inputs;
    hvac.system = UnitSystem::Customized;
    hvac.selections[1] = 8;  // Combo2 "in Hg"
    hvac.selections[5] = 3;  // Combo6 "(gr moisture)/(lb dry air)"
    hvac.selections[10] = 8; // Combo11 "in Hg"
    hvac.selections[15] = 3; // Combo16 "btu/lb (dry air from 0 F)"
    const QByteArray bytes = CalculationJson({ hvac });
    const QJsonObject units = QJsonDocument::fromJson(bytes).object().value("units").toObject();
    EXPECT_EQ(units.value("pressure").toString(), "in Hg");
    EXPECT_EQ(units.value("humidity_ratio").toString(), "(gr moisture)/(lb dry air)");
    EXPECT_EQ(units.value("enthalpy").toString(), "btu/lb (dry air from 0 F)");
    const CalculationRead again = ParseCalculation(bytes);
    ASSERT_TRUE(again) << again.problem.toStdString();
    EXPECT_EQ(again.calculation->inputs.selections, hvac.selections);
}

// ---- The duplicate-member scan on its own ----------------------------------------------------------

struct DuplicateCase
{
    const char* name;
    const char* json;
    const char* duplicate; ///< nullptr: none
};

class DuplicateScan : public ::testing::TestWithParam<DuplicateCase>
{
};

TEST_P(DuplicateScan, FindsOnlyRealDuplicates)
{
    const std::optional<QString> found = DuplicateJsonMember(GetParam().json);
    if (GetParam().duplicate == nullptr)
        EXPECT_FALSE(found.has_value()) << found.value_or("").toStdString();
    else
        EXPECT_EQ(found.value_or("<none>"), QString::fromUtf8(GetParam().duplicate));
}

const DuplicateCase kDuplicates[] = {
    { "SameNameInSiblingObjects", R"({"a": {"x": 1}, "b": {"x": 2}})", nullptr },
    { "SameNameInArrayElements", R"({"a": [{"x": 1}, {"x": 2}]})", nullptr },
    { "NameOnlyAsValue", R"({"a": "b", "b": "a"})", nullptr },
    { "PunctuationInsideStrings", R"({"a": "}, \"a\": {", "b": "[,"})", nullptr },
    { "EscapedQuoteInName", R"({"a\"b": 1, "a\"c": 2})", nullptr },
    { "ArrayOfStrings", R"({"a": ["a", "a"], "b": 1})", nullptr },
    { "TopLevel", R"({"a": 1, "b": 2, "a": 3})", "a" },
    { "Nested", R"({"a": {"x": 1, "y": [1, {"z": 0}], "x": 2}})", "x" },
    { "AfterNestedObject", R"({"a": {"x": 1}, "a": 2})", "a" },
    { "InsideArrayElement", R"([{"k": 1, "k": 2}])", "k" },
    { "UnicodeEscapes", R"({"\u00e9t\u00e9": 1, "été": 2})", "été" },
};

INSTANTIATE_TEST_SUITE_P(Cases, DuplicateScan, ::testing::ValuesIn(kDuplicates),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Files on disk ---------------------------------------------------------------------------------

class CalculationFileTest : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return folder_.filePath(name); }
    static void put(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QStringList entries() const { return QDir(folder_.path()).entryList(QDir::Files | QDir::NoDotAndDotDot); }

    QTemporaryDir folder_;
};

TEST_F(CalculationFileTest, WrittenFileReadsBack)
{
    AmbientInputs inputs;
    inputs.humidity_option = 3;
    inputs.humidity = "12.5";
    const QString file = path("room.humidora");
    ASSERT_EQ(WriteCalculationFile(file, { inputs }), QString());
    const CalculationRead read = ReadCalculationFile(file);
    ASSERT_TRUE(read) << read.problem.toStdString();
    EXPECT_EQ(read.calculation->inputs, inputs);
    EXPECT_EQ(entries(), QStringList { "room.humidora" }); // no temporary file left behind
}

TEST_F(CalculationFileTest, RefusalNamesTheFile)
{
    const QString file = path("broken.humidora");
    put(file, "{\"format\": \"humidora-calculation\"");
    const CalculationRead read = ReadCalculationFile(file);
    EXPECT_FALSE(read);
    EXPECT_TRUE(
        read.problem.startsWith(QStringLiteral("Cannot open \"%1\": the file is not valid JSON").arg(file)))
        << read.problem.toStdString();
}

TEST_F(CalculationFileTest, MissingFileIsRefused)
{
    const CalculationRead read = ReadCalculationFile(path("nowhere.humidora"));
    EXPECT_FALSE(read);
    EXPECT_TRUE(read.problem.contains("nowhere.humidora")) << read.problem.toStdString();
    EXPECT_TRUE(read.problem.contains("No such file")) << read.problem.toStdString();
}

TEST_F(CalculationFileTest, FolderIsRefused)
{
    const CalculationRead read = ReadCalculationFile(folder_.path());
    EXPECT_FALSE(read);
    EXPECT_TRUE(read.problem.startsWith("Cannot open")) << read.problem.toStdString();
}

TEST_F(CalculationFileTest, HugeFileIsRefusedUnread)
{
    // A valid calculation padded with blanks beyond the limit: refused for its size alone.
    QByteArray bytes = CalculationJson({ AmbientInputs {} });
    bytes.append(QByteArray(kCalculationFileLimit, ' '));
    const QString file = path("huge.humidora");
    put(file, bytes);
    const CalculationRead read = ReadCalculationFile(file);
    EXPECT_FALSE(read);
    EXPECT_TRUE(read.problem.contains("larger than 1048576 bytes")) << read.problem.toStdString();
}

TEST_F(CalculationFileTest, FileJustUnderTheLimitIsRead)
{
    QByteArray bytes = CalculationJson({ AmbientInputs {} });
    bytes.append(QByteArray(kCalculationFileLimit - bytes.size(), ' '));
    const QString file = path("padded.humidora");
    put(file, bytes);
    EXPECT_TRUE(ReadCalculationFile(file));
}

TEST_F(CalculationFileTest, SaveIntoMissingFolderFails)
{
    // The "folder" is a regular file: nothing can be created beneath it, whoever runs the test.
    const QString blocker = path("not-a-folder");
    put(blocker, "x");
    const QString file = blocker + "/room.humidora";
    const QString error = WriteCalculationFile(file, { AmbientInputs {} });
    EXPECT_TRUE(error.startsWith(QStringLiteral("Could not save \"%1\": ").arg(file))) << error.toStdString();
    EXPECT_EQ(testing::FileBytes(blocker), "x");
    EXPECT_EQ(entries(), QStringList { "not-a-folder" });
}

TEST_F(CalculationFileTest, FullDiskLeavesEarlierFileByteIdentical)
{
    const QString file = path("room.humidora");
    AmbientInputs earlier;
    earlier.temperature = "30";
    ASSERT_EQ(WriteCalculationFile(file, { earlier }), QString());
    const QByteArray before = testing::FileBytes(file);

    AmbientInputs later;
    later.temperature = "35";
    QString error;
    {
        testing::FileSizeLimit limit(64); // far below the size of a calculation
        ASSERT_TRUE(limit.active());
        error = WriteCalculationFile(file, { later });
    }
    EXPECT_TRUE(error.contains("Could not save")) << error.toStdString();
    EXPECT_TRUE(error.contains("earlier file of that name is unchanged")) << error.toStdString();
    EXPECT_EQ(testing::FileBytes(file), before);
    EXPECT_EQ(entries(), QStringList { "room.humidora" }); // the partial temporary file is gone
    EXPECT_EQ(ReadCalculationFile(file).calculation->inputs.temperature, "30");
}

TEST_F(CalculationFileTest, UnwritableFolderLeavesEarlierFileByteIdentical)
{
    const QString sub = path("locked");
    ASSERT_TRUE(QDir().mkdir(sub));
    const QString file = sub + "/room.humidora";
    ASSERT_EQ(WriteCalculationFile(file, { AmbientInputs {} }), QString());
    const QByteArray before = testing::FileBytes(file);
    ASSERT_TRUE(QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    AmbientInputs later;
    later.humidity = "70";
    QString error;
    {
        testing::ObeyPermissions obey;
        ASSERT_TRUE(obey.active());
        error = WriteCalculationFile(file, { later });
    }
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(error.contains("Permission denied")) << error.toStdString();
    EXPECT_EQ(testing::FileBytes(file), before);
    EXPECT_EQ(QDir(sub).entryList(QDir::Files), QStringList { "room.humidora" });
}

TEST_F(CalculationFileTest, InputsThatCannotBeReadBackAreNotSaved)
{
    const QString file = path("room.humidora");
    ASSERT_EQ(WriteCalculationFile(file, { AmbientInputs {} }), QString());
    const QByteArray before = testing::FileBytes(file);

    AmbientInputs bad;
    bad.temperature = "25\n";
    EXPECT_TRUE(WriteCalculationFile(file, { bad }).contains("control character"));
    bad = AmbientInputs {};
    bad.selections[0] = 4; // Combo1 has four items
    EXPECT_TRUE(WriteCalculationFile(file, { bad }).contains("has no item 4"));
    bad = AmbientInputs {};
    bad.humidity_option = 8; // Option8 is the barometric pressure
    EXPECT_TRUE(WriteCalculationFile(file, { bad }).contains("option 8 is not a humidity parameter"));
    bad = AmbientInputs {};
    bad.selections[1] = 7; // PSI while Metric is checked
    EXPECT_TRUE(WriteCalculationFile(file, { bad }).contains("unit system is \"Metric\""));
    EXPECT_EQ(testing::FileBytes(file), before);
}

} // namespace
} // namespace humidora
