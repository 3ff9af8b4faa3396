// humidora-cli state with calculation files and reports: --save, --from with options that override the
// file, --report, and the exit status 3 with nothing on stdout for a file that cannot be used.
#include "cli_process.h"
#include "file_faults.h"
#include "io/calculation_file.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace humidora::cli_test {
namespace {

constexpr int kFileError = 3;

QString Text(const QJsonObject& json, const char* quantity)
{
    return json["quantities"][quantity]["text"].toString();
}
QString Unit(const QJsonObject& json, const char* quantity)
{
    return json["quantities"][quantity]["unit"].toString();
}
QString Role(const QJsonObject& json, const char* quantity)
{
    return json["quantities"][quantity]["role"].toString();
}

QJsonObject FileObject(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

/// A member of a member of a saved file's object.
QString Member(const QJsonObject& document, const char* object, const char* member)
{
    return document.value(QLatin1String(object)).toObject().value(QLatin1String(member)).toString();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class StateFilesTest : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return folder_.filePath(name); }

    /// Saves a calculation made from `arguments` and returns what that run printed.
    QJsonObject saved(const QString& file, const QStringList& arguments)
    {
        const CliRun run = RunCli(QStringList { "state", "--json", "--save", file } + arguments);
        EXPECT_TRUE(run.exit_code == 0 || run.exit_code == 1) << run.err.toStdString();
        EXPECT_TRUE(QFile::exists(file));
        return run.json();
    }

    QTemporaryDir folder_;
};

// ---- Save, then compute from the file -----------------------------------------------------------------

struct SavedCase
{
    const char* name;
    QStringList arguments;
};

class StateFileRoundTrip : public StateFilesTest, public ::testing::WithParamInterface<SavedCase>
{
};

TEST_P(StateFileRoundTrip, FromGivesWhatWasSaved)
{
    const QString file = path("case.humidora");
    const QJsonObject before = saved(file, GetParam().arguments);
    ASSERT_FALSE(before.isEmpty());
    const CliRun reopened = RunCli({ "state", "--json", "--from", file });
    EXPECT_EQ(reopened.json(), before) << reopened.out.toStdString();
    // The file keeps the shown state exactly as the command printed it.
    const QJsonObject shown = FileObject(file)["shown_results"].toObject();
    EXPECT_EQ(shown.keys(), QStringList({ "listing", "quantities" }));
    EXPECT_EQ(shown["quantities"], before["quantities"]);
    EXPECT_EQ(shown["listing"], before["listing"]);
}

INSTANTIATE_TEST_SUITE_P(Cases, StateFileRoundTrip,
    ::testing::Values(SavedCase { "Defaults", {} },
        SavedCase {
            "BritishDewPoint", { "--system", "british", "--temperature", "77", "--dew-point", "50" } },
        SavedCase { "AltitudeHylandWexler",
            { "--method", "hyland-wexler", "--altitude", "1500", "--wet-bulb", "12" } },
        SavedCase { "CustomizedUnits",
            { "--pressure-unit", "mm Hg", "--pressure", "760", "--humidity-ratio-unit",
                "(g moisture)/(kg dry air)", "--humidity-ratio", "8", "--enthalpy-unit",
                "kcal/kg (dry air)" } },
        SavedCase { "RefusedHumidity", { "--relative-humidity", "160" } },
        SavedCase { "NonNumericTemperature", { "--temperature", "12abc" } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StateFilesTest, SavedFileHoldsTheChoicesAndTextsAsGiven)
{
    const QString file = path("coil.humidora");
    saved(file, { "--temperature", " 31.5", "--partial-pressure", "2", "--density-unit", "lb/ft^3" });
    const QJsonObject document = FileObject(file);
    EXPECT_EQ(document["format"].toString(), "humidora-calculation");
    EXPECT_EQ(document["unit_system"].toString(), "Customized");
    EXPECT_EQ(Member(document, "units", "density"), "lb/ft^3");
    EXPECT_EQ(document["humidity_given"].toString(), "partial_pressure");
    EXPECT_EQ(Member(document, "inputs", "temperature"), " 31.5");
    EXPECT_EQ(Member(document, "inputs", "humidity"), "2");
}

TEST_F(StateFilesTest, RefusedStateIsSavedAndExitsOne)
{
    const QString file = path("wet.humidora");
    const CliRun run = RunCli({ "state", "--relative-humidity", "160", "--save", file });
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(Member(FileObject(file), "inputs", "humidity"), "160");
    const CliRun reopened = RunCli({ "state", "--json", "--from", file });
    EXPECT_EQ(reopened.exit_code, 1);
    EXPECT_EQ(Role(reopened.json(), "relative_humidity"), "refused");
}

// ---- Options given with --from change only what they name ------------------------------------------------

TEST_F(StateFilesTest, OptionsOverrideOnlyWhatTheyName)
{
    const QString file = path("base.humidora");
    const QJsonObject base = saved(file,
        { "--system", "british", "--method", "hyland-wexler", "--temperature", "80", "--dew-point", "55" });

    const QJsonObject warmer = RunCli({ "state", "--json", "--from", file, "--temperature", "85" }).json();
    EXPECT_EQ(Text(warmer, "temperature"), "85");
    EXPECT_EQ(Text(warmer, "dew_point"), "55");
    EXPECT_EQ(Role(warmer, "dew_point"), "input");
    EXPECT_EQ(Unit(warmer, "temperature"), "F");
    EXPECT_EQ(Text(warmer, "pressure"), "14.6957");
    EXPECT_EQ(warmer["method"].toString(), "hyland-wexler");
    EXPECT_NE(Text(warmer, "relative_humidity"), Text(base, "relative_humidity"));

    const QJsonObject iapws = RunCli({ "state", "--json", "--from", file, "--method", "iapws" }).json();
    EXPECT_EQ(iapws["method"].toString(), "iapws");
    EXPECT_EQ(Text(iapws, "temperature"), "80");
    EXPECT_EQ(Text(iapws, "dew_point"), "55");

    const QJsonObject humid
        = RunCli({ "state", "--json", "--from", file, "--relative-humidity", "40" }).json();
    EXPECT_EQ(Role(humid, "relative_humidity"), "input");
    EXPECT_EQ(Role(humid, "dew_point"), "computed");
    EXPECT_EQ(Text(humid, "temperature"), "80");
}

TEST_F(StateFilesTest, UnitOptionMakesASystemFileCustomized)
{
    const QString file = path("metric.humidora");
    saved(file, {});
    const QString changed = path("changed.humidora");
    const CliRun run = RunCli(
        { "state", "--from", file, "--temperature-unit", "K", "--temperature", "300", "--save", changed });
    EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
    EXPECT_EQ(FileObject(changed)["unit_system"].toString(), "Customized");
    EXPECT_EQ(Member(FileObject(changed), "units", "temperature"), "K");
    EXPECT_EQ(Member(FileObject(changed), "units", "pressure"), "kPa");

    // The system's own item keeps the system.
    const QString same = path("same.humidora");
    EXPECT_EQ(RunCli({ "state", "--from", file, "--temperature-unit", "C", "--save", same }).exit_code, 0);
    EXPECT_EQ(FileObject(same)["unit_system"].toString(), "Metric");
}

TEST_F(StateFilesTest, SystemOptionResetsUnitsAndPressureLikeTheMenu)
{
    const QString file = path("custom.humidora");
    saved(file, { "--pressure-unit", "Bar", "--pressure", "0.9", "--temperature", "20" });
    const QJsonObject british = RunCli({ "state", "--json", "--from", file, "--system", "british" }).json();
    EXPECT_EQ(Unit(british, "pressure"), "PSI");
    EXPECT_EQ(Text(british, "pressure"), "14.6957");
    EXPECT_EQ(Unit(british, "temperature"), "F");
    EXPECT_EQ(Text(british, "temperature"), "20");
}

TEST_F(StateFilesTest, PressureOrAltitudeOptionSwitchesTheGivenQuantity)
{
    const QString file = path("mountain.humidora");
    saved(file, { "--altitude", "2000" });
    const QJsonObject from_file = RunCli({ "state", "--json", "--from", file }).json();
    EXPECT_EQ(Role(from_file, "altitude"), "input");
    EXPECT_EQ(Text(from_file, "altitude"), "2000");

    const QJsonObject pressure = RunCli({ "state", "--json", "--from", file, "--pressure", "90" }).json();
    EXPECT_EQ(Role(pressure, "pressure"), "input");
    EXPECT_EQ(Role(pressure, "altitude"), "computed");
    EXPECT_EQ(Text(pressure, "pressure"), "90");

    const QJsonObject higher = RunCli({ "state", "--json", "--from", file, "--altitude", "3000" }).json();
    EXPECT_EQ(Text(higher, "altitude"), "3000");
    EXPECT_EQ(Role(higher, "altitude"), "input");
}

// ---- Files that cannot be used ---------------------------------------------------------------------------

struct BadFileCase
{
    const char* name;
    QByteArray content; ///< empty: the file does not exist
    const char* problem;
};

class StateBadFile : public StateFilesTest, public ::testing::WithParamInterface<BadFileCase>
{
};

TEST_P(StateBadFile, ExitsThreeNamingFileAndProblemWithNothingOnStdout)
{
    const QString file = path("input.humidora");
    if (!GetParam().content.isEmpty())
        Write(file, GetParam().content);
    const CliRun run = RunCli({ "state", "--json", "--from", file });
    EXPECT_EQ(run.exit_code, kFileError);
    EXPECT_EQ(run.out, QString());
    EXPECT_TRUE(run.err.contains(file)) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QLatin1String(GetParam().problem))) << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, StateBadFile,
    ::testing::Values(BadFileCase { "Missing", {}, "No such file" },
        BadFileCase { "NotJson", "temperature = 25", "not valid JSON" },
        BadFileCase {
            "Truncated", R"({"format": "humidora-calculation", "version": 1, "units": {)", "ends too early" },
        BadFileCase { "OtherJson", R"({"name": "x"})", "not a Humidora calculation" },
        BadFileCase {
            "FutureVersion", R"({"format": "humidora-calculation", "version": 3})", "format version 3" },
        BadFileCase { "Duplicate", R"({"format": "humidora-calculation", "format": "humidora-calculation"})",
            "occurs twice" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StateFilesTest, UnwritableSaveExitsThreeAndPrintsNothing)
{
    const QString blocker = path("file-not-folder");
    Write(blocker, "x");
    const QString file = blocker + "/out.humidora";
    const CliRun run = RunCli({ "state", "--save", file });
    EXPECT_EQ(run.exit_code, kFileError);
    EXPECT_EQ(run.out, QString());
    EXPECT_TRUE(run.err.contains("Could not save \"" + file + "\"")) << run.err.toStdString();
}

TEST_F(StateFilesTest, FullDiskLeavesEarlierFileByteIdentical)
{
    const QString file = path("kept.humidora");
    saved(file, { "--temperature", "22" });
    const QByteArray before = testing::FileBytes(file);
    CliRun run;
    {
        testing::FileSizeLimit limit(100); // inherited by the program
        ASSERT_TRUE(limit.active());
        run = RunCli({ "state", "--temperature", "23", "--save", file });
    }
    EXPECT_EQ(run.exit_code, kFileError);
    EXPECT_EQ(run.out, QString());
    EXPECT_EQ(testing::FileBytes(file), before);
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList { "kept.humidora" });
}

// ---- Reports --------------------------------------------------------------------------------------------

QString PdfText(const QString& pdf)
{
    QProcess process;
    process.start("pdftotext", { "-layout", pdf, "-" });
    EXPECT_TRUE(process.waitForFinished(30000));
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST_F(StateFilesTest, ReportShowsTheStatePrinted)
{
    const QString pdf = path("state.pdf");
    const QString file = path("office.humidora");
    const CliRun run = RunCli({ "state", "--json", "--system", "british", "--wet-bulb", "60", "--temperature",
        "75", "--save", file, "--report", pdf });
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QJsonObject json = run.json();
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains("office.humidora")) << text.toStdString();
    EXPECT_TRUE(text.contains("British"));
    for (const char* quantity :
        { "relative_humidity", "humidity_ratio", "dew_point", "density", "enthalpy" }) {
        EXPECT_TRUE(text.contains(Text(json, quantity))) << quantity;
        EXPECT_TRUE(text.contains(Unit(json, quantity))) << quantity;
    }
    EXPECT_TRUE(text.contains("H2O"));
}

TEST_F(StateFilesTest, ReportFromAChangedFileSaysSo)
{
    const QString file = path("base.humidora");
    saved(file, { "--temperature", "20" });
    const QString same = path("same.pdf");
    const QString changed = path("changed.pdf");
    ASSERT_EQ(RunCli({ "state", "--from", file, "--report", same }).exit_code, 0);
    ASSERT_EQ(RunCli({ "state", "--from", file, "--temperature", "21", "--report", changed }).exit_code, 0);
    EXPECT_TRUE(PdfText(same).contains(QRegularExpression("Calculation\\s+base.humidora\\n")));
    EXPECT_TRUE(PdfText(changed).contains("base.humidora (changed since saved)"));
}

TEST_F(StateFilesTest, SavingFromAFileKeepsItsPointsProcessesAndProperties)
{
    // Only the window's inputs are options of "state": what else the file holds goes along unchanged.
    Calculation calculation;
    calculation.points = { { "OA", {}, 2.5 } };
    ProcessSpec heat;
    heat.kind = ProcessKind::Heat;
    heat.points = { "OA" };
    heat.result_name = "SA";
    heat.to_temperature_K = 303.15;
    calculation.processes = { heat };
    calculation.properties = { "Hall 3", "R. Ortiz", "one\ntwo" };
    const QString from = path("points.humidora");
    ASSERT_EQ(WriteCalculationFile(from, calculation), QString());
    const QString to = path("warmer.humidora");
    ASSERT_EQ(RunCli({ "state", "--from", from, "--temperature", "27", "--save", to }).exit_code, 0);
    const CalculationRead read = ReadCalculationFile(to);
    ASSERT_TRUE(read) << read.problem.toStdString();
    EXPECT_EQ(read.calculation->inputs.temperature, "27");
    EXPECT_EQ(read.calculation->points, calculation.points);
    EXPECT_EQ(read.calculation->processes, calculation.processes);
    EXPECT_EQ(read.calculation->properties, calculation.properties);
}

TEST_F(StateFilesTest, ReportFromAFileHasItsPropertiesPointsAndProcesses)
{
    Calculation calculation;
    calculation.points = { { "OA", {}, 2.0 } };
    ProcessSpec coil;
    coil.kind = ProcessKind::Coil;
    coil.points = { "OA" };
    coil.result_name = "SA";
    coil.adp_K = 283.15;
    coil.bypass_factor = 0.12;
    calculation.processes = { coil };
    calculation.properties = { "Hall 3 <supply>", "R. Ortiz", "Design day\nCheck reheat" };
    const QString file = path("project.humidora");
    ASSERT_EQ(WriteCalculationFile(file, calculation), QString());

    const QString pdf = path("project.pdf");
    const CliRun run = RunCli({ "state", "--from", file, "--report", pdf });
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    const QString text = PdfText(pdf);
    for (const char* line :
        { "^ *Project +Hall 3 <supply>$", "^ *Engineer +R\\. Ortiz$", "^ *Notes +Design day$",
            "^ +Check reheat$", "State points", "Cooling Coil +OA +SA +Apparatus Dew Point 10 C" })
        EXPECT_TRUE(
            text.contains(QRegularExpression(QLatin1String(line), QRegularExpression::MultilineOption)))
            << line << "\n"
            << text.toStdString();
    // Without a file there is no title block and no table of points.
    ASSERT_EQ(RunCli({ "state", "--temperature", "32", "--report", pdf }).exit_code, 0);
    EXPECT_FALSE(PdfText(pdf).contains("Project"));
    EXPECT_FALSE(PdfText(pdf).contains("State points"));
}

TEST_F(StateFilesTest, ReportOfARefusedStateShowsTheReport)
{
    const QString pdf = path("refused.pdf");
    const CliRun run = RunCli({ "state", "--temperature", "150", "--report", pdf });
    EXPECT_EQ(run.exit_code, 1);
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains("Calculation refused")) << text.toStdString();
    EXPECT_TRUE(text.contains("by red color is out of allowable range."));
    EXPECT_TRUE(text.contains("not saved"));
}

TEST_F(StateFilesTest, ReportIntoMissingFolderExitsThree)
{
    const CliRun run = RunCli({ "state", "--report", path("no/such/folder/report.pdf") });
    EXPECT_EQ(run.exit_code, kFileError);
    EXPECT_EQ(run.out, QString());
    EXPECT_TRUE(run.err.contains("Could not write the report")) << run.err.toStdString();
}

TEST_F(StateFilesTest, HelpDocumentsTheFileOptionsAndExitStatusThree)
{
    const CliRun run = RunCli({ "state", "--help" });
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_TRUE(run.out.contains("--from <FILE>"));
    EXPECT_TRUE(run.out.contains("--save <FILE>"));
    EXPECT_TRUE(run.out.contains("--report <FILE>"));
    EXPECT_TRUE(run.out.contains("Exit status 3")) << run.out.toStdString();
}

} // namespace
} // namespace humidora::cli_test
