// humidora-cli batch: every row reads what `state` shows for the same inputs, refused rows keep their
// place with the window's sentence, the CSV dialects, parts that concatenate to the whole, and the exit
// statuses.
#include "calc/units/number_text.h"
#include "cli_process.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace humidora::cli_test {
namespace {

class BatchCli : public testing::Test
{
protected:
    QString Write(const QString& name, const QByteArray& contents)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }
    QTemporaryDir dir_;
};

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

QString Text(const QJsonObject& json, const char* quantity)
{
    return json["quantities"][quantity]["text"].toString();
}

QStringList Lines(const QString& text)
{
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

// Rows as the main window takes them (temperature, pressure, the given humidity) against `state`, text for
// text, in both formulations and with units that are not the system's.
struct TextCase
{
    const char* humidity_option; // the state option of the humidity column
    QStringList rows;            // T,P,H
};

TEST_F(BatchCli, DisplayNumbersAreTheTextsOfState)
{
    const TextCase cases[] = {
        { "relative-humidity", { "25,101.325,50", "30,101.325,70", "-5,90,20", "99.9,101.325,99" } },
        { "dew-point", { "25,101.325,10", "-40,80,-60", "50,200,49.9" } },
        { "wet-bulb", { "35,101.325,68", "0,101.325,25", "35,101.325,20" } },
        { "humidity-ratio", { "20,101.325,0.005" } },
        { "partial-pressure", { "30,101.325,1.5" } },
    };
    const QStringList quantities = { "temperature", "pressure", "altitude", "relative_humidity",
        "humidity_ratio", "absolute_humidity", "dew_point", "wet_bulb", "partial_pressure", "mole_fraction",
        "mass_fraction", "gas_constant", "molecular_weight", "density", "specific_volume", "enthalpy" };
    for (const char* method : { "iapws", "hyland-wexler" }) {
        for (const TextCase& c : cases) {
            const QString input = Write("in.csv", ("T,P,H\n" + c.rows.join('\n') + '\n').toUtf8());
            const QStringList options
                = { "--method", method, "--wet-bulb-unit", "F", "--enthalpy-unit", "btu/lb (dry air)" };
            const CliRun batch
                = RunCli(QStringList { "batch", input, "--numbers", "display", "--temperature-column", "T",
                             "--pressure-column", "P", QString("--%1-column").arg(c.humidity_option), "H" }
                    + options);
            ASSERT_EQ(batch.exit_code, 0) << batch.err.toStdString();
            const QStringList lines = Lines(batch.out);
            ASSERT_EQ(lines.size(), c.rows.size() + 1);
            EXPECT_TRUE(
                lines[0].contains("wet_bulb [F],") && lines[0].contains("enthalpy [btu/lb (dry air)],"));
            for (int row = 0; row < c.rows.size(); ++row) {
                const QStringList given = c.rows[row].split(',');
                const CliRun state
                    = RunCli(QStringList { "state", "--json", "--temperature", given[0], "--pressure",
                                 given[1], QString("--%1").arg(c.humidity_option), given[2] }
                        + options);
                const QJsonObject json = state.json();
                const QStringList fields = lines[row + 1].split(',');
                ASSERT_EQ(fields.size(), 3 + quantities.size() + 1) << lines[row + 1].toStdString();
                // A refused row has empty results and the sentence of the refusal.
                const bool ok = json["ok"].toBool();
                for (int q = 0; q < quantities.size(); ++q) {
                    EXPECT_EQ(fields[3 + q].toStdString(),
                        ok ? json["quantities"][quantities[q]]["text"].toString().toStdString() : "")
                        << method << " " << c.rows[row].toStdString() << " " << quantities[q].toStdString();
                }
                EXPECT_EQ(fields.back(), ok ? "ok" : json["refusal"]["message"].toString());
            }
        }
    }
}

TEST_F(BatchCli, RefusedRowsKeepTheirPlaceWithTheWindowsSentence)
{
    const QString input = Write("in.csv", "T,RH\n25,50\n25,120\n150,50\n25,50\n");
    const CliRun batch = RunCli({ "batch", input, "--temperature-column", "T", "--relative-humidity-column",
        "RH", "--columns", "wet_bulb" });
    EXPECT_EQ(batch.exit_code, 0);
    EXPECT_TRUE(batch.err.contains("4 rows, 2 refused")) << batch.err.toStdString();
    const QStringList lines = Lines(batch.out);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[1], lines[4]);
    for (const auto& [line, temperature, humidity] :
        { std::tuple { 2, "25", "120" }, std::tuple { 3, "150", "50" } }) {
        const CliRun state
            = RunCli({ "state", "--json", "--temperature", temperature, "--relative-humidity", humidity });
        const QJsonObject json = state.json();
        const QString sentence = json["refusal"]["message"].toString();
        ASSERT_FALSE(sentence.isEmpty());
        EXPECT_EQ(lines[line], QString("%1,%2,,%3").arg(temperature, humidity, sentence));
    }
}

TEST_F(BatchCli, FullNumbersRoundToTheDisplayedTexts)
{
    const QString input = Write("in.csv", "T,RH\n25,50\n-12.5,33\n");
    const QStringList common = { "batch", input, "--temperature-column", "T", "--relative-humidity-column",
        "RH", "--columns", "relative_humidity,wet_bulb,enthalpy", "--no-header" };
    const QStringList full = Lines(RunCli(common).out);
    const QStringList display = Lines(RunCli(common + QStringList { "--numbers", "display" }).out);
    ASSERT_EQ(full.size(), 2);
    for (int row = 0; row < 2; ++row) {
        const QStringList f = full[row].split(','), d = display[row].split(',');
        EXPECT_EQ(f[2], d[2]); // the given humidity as read
        EXPECT_EQ(QString::fromStdString(NumberText(f[3].toDouble(), 3)), d[3]);
        EXPECT_EQ(QString::fromStdString(NumberText(f[4].toDouble(), 5)), d[4]);
        EXPECT_GT(f[3].size(), d[3].size());
    }
}

// Quoted fields with the delimiter, quotes and a line break pass through as they came; a byte-order mark
// and CRLF line ends are read; European exports with ';' and decimal commas, also under a comma locale.
TEST_F(BatchCli, CsvDialects)
{
    const QString quoted = Write("quoted.csv",
        "\xEF\xBB\xBFname,T,RH\r\n\"Hall 1, north\",25,50\r\n\"say \"\"hi\"\"\nthere\",30,70\r\n");
    const CliRun run = RunCli({ "batch", quoted, "--temperature-column", "T", "--relative-humidity-column",
        "RH", "--columns", "dew_point", "--numbers", "display" });
    EXPECT_EQ(run.out,
        "name,T,RH,dew_point [C],status\n\"Hall 1, north\",25,50,13.864,ok\n\"say "
        "\"\"hi\"\"\nthere\",30,70,23.928,ok\n");

    const QString european = Write("european.csv", "T;RH\n25,5;50\n");
    for (const QString locale : { "C", "de_DE.UTF-8" }) {
        const CliRun comma = RunCli(
            { "batch", european, "--delimiter", ";", "--decimal-comma", "--temperature-column", "T",
                "--relative-humidity-column", "RH", "--columns", "dew_point", "--numbers", "display" },
            locale);
        const CliRun point
            = RunCli({ "state", "--json", "--temperature", "25.5", "--relative-humidity", "50" });
        EXPECT_EQ(comma.out,
            "T;RH;dew_point [C];status\n25,5;50;" + Text(point.json(), "dew_point").replace('.', ',')
                + ";ok\n");
    }
}

// The same rows in one piece, in two parts (the second without a header line), on one thread and on
// three. The input spans more blocks than the ring of blocks in flight holds for three workers, so the
// outputs must keep their order as the ring wraps around, whichever worker finishes first.
TEST_F(BatchCli, PartsConcatenateToTheWhole)
{
    std::mt19937 random(14);
    QByteArray first = "T,RH,P\n", second, all = first;
    for (int i = 0; i < 100000; ++i) {
        const QByteArray row = QByteArray::number(int(random() % 1400) / 10.0 - 40) + ','
            + QByteArray::number(int(random() % 1050) / 10.0) + ','
            + QByteArray::number(90 + int(random() % 20)) + '\n';
        (i < 30000 ? first : second) += row;
        all += row;
    }
    const QStringList options = { "--temperature-column", "T", "--relative-humidity-column", "RH",
        "--pressure-column", "P", "--method", "hyland-wexler" };
    const CliRun whole = RunCli(QStringList { "batch", Write("all.csv", all) } + options);
    const CliRun one_thread = RunCli(QStringList { "batch", Write("all.csv", all), "--jobs", "1" } + options);
    const CliRun three_threads
        = RunCli(QStringList { "batch", Write("all.csv", all), "--jobs", "3" } + options);
    const CliRun part1 = RunCli(QStringList { "batch", Write("1.csv", first) } + options);
    const CliRun part2
        = RunCli(QStringList { "batch", Write("2.csv", second), "--input-columns", "T,RH,P", "--no-header" }
            + options);
    ASSERT_EQ(whole.exit_code, 0);
    ASSERT_GT(all.size(), 8 * (1 << 17)); // more blocks of 128 KiB than three workers keep in flight
    EXPECT_EQ(Lines(whole.out).size(), 100001);
    EXPECT_EQ(whole.out, part1.out + part2.out);
    EXPECT_EQ(whole.out, one_thread.out);
    EXPECT_EQ(whole.out, three_threads.out);
}

TEST_F(BatchCli, UsageAndFileErrors)
{
    const QString input = Write("in.csv", "T,RH\n25,50\n");
    const QStringList columns = { "--temperature-column", "T", "--relative-humidity-column", "RH" };
    struct Case
    {
        QStringList arguments;
        int status;
        const char* message;
    };
    const Case cases[] = {
        { { "batch", input, "--temperature-column", "X", "--relative-humidity-column", "RH" }, 2,
            "no column \"X\"" },
        { QStringList { "batch", input, "--columns", "wet_bulb:Q" } + columns, 2, "unit of wet_bulb" },
        { QStringList { "batch", input, "--columns", "bulb" } + columns, 2, "unknown quantity" },
        { QStringList { "batch", input, "--dew-point", "5" } + columns, 2, "one humidity parameter" },
        { QStringList { "batch", input, "--decimal-comma" } + columns, 2, "--delimiter" },
        { QStringList { "batch", dir_.filePath("missing.csv") } + columns, 3, "cannot read" },
        { QStringList { "batch", input, "-o", dir_.filePath("no/such/folder.csv") } + columns, 3,
            "cannot write" },
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli(c.arguments);
        EXPECT_EQ(run.exit_code, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

// The input under any other name is refused before anything is written, and the input stays whole.
TEST_F(BatchCli, TheInputIsNeverWrittenOver)
{
    const QByteArray contents = "T,RH\n25,50\n";
    Write("w.csv", contents);
    ASSERT_TRUE(QFile::link("w.csv", dir_.filePath("link.csv")));
    const QString columns = " --temperature-column T --relative-humidity-column RH --pressure 101.325";
    const QString cases[] = {
        "\"$CLI\" batch w.csv -o w.csv",
        "\"$CLI\" batch w.csv -o ./w.csv",
        "\"$CLI\" batch w.csv -o \"$PWD/w.csv\"",
        "\"$CLI\" batch link.csv -o w.csv",
        "\"$CLI\" batch w.csv -o link.csv",
        "\"$CLI\" batch - -o w.csv < w.csv",
        "\"$CLI\" batch -o w.csv < w.csv",
        "\"$CLI\" batch w.csv >> w.csv",
    };
    for (const QString& script : cases) {
        const CliRun run = RunShell(script + columns, dir_.path());
        EXPECT_EQ(run.exit_code, 3) << script.toStdString();
        EXPECT_TRUE(run.err.contains("it is the input")) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("rows")) << run.err.toStdString();
        EXPECT_EQ(Contents(dir_.filePath("w.csv")), contents) << script.toStdString();
    }
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList({ "link.csv", "w.csv" }));
}

// A run that fails, wherever it fails, leaves an earlier output as it was and no temporary file; one that
// succeeds replaces it.
TEST_F(BatchCli, AFailedRunLeavesTheEarlierOutput)
{
    Write("in.csv", "T,RH\n25,50\n");
    const QString out = Write("out.csv", "earlier\n");
    const QString columns = " -o out.csv --temperature-column T --relative-humidity-column RH";
    const struct
    {
        QString script;
        const char* message;
    } cases[] = {
        { "\"$CLI\" batch in.csv" + columns + " --columns nothing", "unknown quantity" },
        { "\"$CLI\" batch in.csv -o out.csv --temperature-column X --relative-humidity-column RH",
            "no column \"X\"" },
        { "\"$CLI\" batch /proc/self/mem" + columns, "cannot read \"/proc/self/mem\"" },
        { "\"$CLI\" batch . " + columns, "cannot read \".\"" },
        { "\"$CLI\" batch missing.csv " + columns, "cannot read \"missing.csv\"" },
    };
    for (const auto& c : cases) {
        const CliRun run = RunShell(c.script, dir_.path());
        EXPECT_NE(run.exit_code, 0) << c.script.toStdString();
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_EQ(Contents(out), "earlier\n") << c.script.toStdString();
        EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList({ "in.csv", "out.csv" }));
    }
    const CliRun run = RunShell("\"$CLI\" batch in.csv" + columns + " --columns dew_point", dir_.path());
    EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
    EXPECT_TRUE(Contents(out).startsWith("T,RH,dew_point [C],status\n25,50,13.86")) << Contents(out).data();
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList({ "in.csv", "out.csv" }));
}

// A run ended by a signal while it writes leaves the earlier output as it was and nothing beside it. The
// input is a pipe that stays open after two mebibytes of rows, so the run is still writing (its output
// open, the rows of the first reads computed) when the signal comes.
TEST_F(BatchCli, AnInterruptedRunLeavesTheEarlierOutput)
{
    Write("out.csv", "earlier\n");
    QByteArray rows = "T,RH\n";
    while (rows.size() < 2 * 1024 * 1024)
        rows += "25,50\n";
    Write("rows.csv", rows);
    for (const char* signal : { "HUP", "TERM" }) {
        const CliRun run = RunShell(QString(R"(mkfifo rows
(cat rows.csv; exec sleep 20) > rows &
feeder=$!
"$CLI" batch rows -o out.csv --temperature-column T --relative-humidity-column RH 2>/dev/null &
batch=$!
for i in $(seq 200); do ls -l /proc/$batch/fd | grep -q deleted && break; sleep 0.05; done
ls -l /proc/$batch/fd | grep -q deleted && echo writing
kill -%1 $batch; wait $batch; echo "status $?"
kill $feeder; rm rows)")
                                        .arg(signal),
            dir_.path());
        EXPECT_EQ(run.out, QString("writing\nstatus %1\n").arg(signal == std::string("HUP") ? 129 : 143));
        EXPECT_EQ(Contents(dir_.filePath("out.csv")), "earlier\n");
        EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList({ "out.csv", "rows.csv" }));
    }
}

// A full disk, for every command that writes standard output or a file: a message and status 3, never
// success. The links give the chart and the report the names they need for their formats.
TEST_F(BatchCli, AFullDiskIsNeverSuccess)
{
    Write("in.csv", "T,RH\n25,50\n");
    const QString calculation = dir_.filePath("calc.humidora");
    ASSERT_EQ(RunCli({ "state", "--save", calculation }).exit_code, 0);
    ASSERT_TRUE(QFile::link("/dev/full", dir_.filePath("full.png")));
    ASSERT_TRUE(QFile::link("/dev/full", dir_.filePath("full.pdf")));
    const QString columns = " --temperature-column T --relative-humidity-column RH";
    const QString cases[] = {
        "\"$CLI\" batch in.csv -o /dev/full" + columns,
        "\"$CLI\" batch in.csv" + columns + " > /dev/full",
        "\"$CLI\" batch in.csv --help > /dev/full",
        "\"$CLI\" --version > /dev/full",
        "\"$CLI\" state > /dev/full",
        "\"$CLI\" state --json > /dev/full",
        "\"$CLI\" state --save /dev/full",
        "\"$CLI\" state --report full.pdf",
        "\"$CLI\" points --from calc.humidora > /dev/full",
        "\"$CLI\" process heat --point temperature=20,relative-humidity=50 --to-temperature 30 > /dev/full",
        "\"$CLI\" chart > /dev/full",
        "\"$CLI\" chart --output full.png",
        "\"$CLI\" saturation 20 > /dev/full",
        "\"$CLI\" convert --quantity Temperature --from C --to F 20 > /dev/full",
    };
    for (const QString& script : cases) {
        const CliRun run = RunShell(script, dir_.path());
        EXPECT_EQ(run.exit_code, 3) << script.toStdString() << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("No space left on device")) << script.toStdString();
        EXPECT_FALSE(run.err.contains("rows,")) << run.err.toStdString();
    }
}

// A reader that stops reading ends the batch as it ends any writer in a pipeline, by SIGPIPE (141 in the
// shell), without messages or a count of rows, also when the signal was ignored.
TEST_F(BatchCli, AClosedPipeEndsQuietly)
{
    QByteArray rows = "T,RH\n";
    for (int i = 0; i < 100000; ++i)
        rows += QByteArray::number(i % 50) + ',' + QByteArray::number(i % 100) + '\n';
    Write("big.csv", rows);
    const QString batch = "\"$CLI\" batch big.csv --temperature-column T --relative-humidity-column RH";
    for (const QString& prefix : { QString(), QString("trap '' PIPE; ") }) {
        const CliRun run
            = RunShell(prefix + batch + " | head -3; echo \"${PIPESTATUS[0]}\" >&2", dir_.path());
        EXPECT_EQ(Lines(run.out).size(), 3);
        EXPECT_EQ(run.err, "141\n") << prefix.toStdString();
    }
}

// Rows with fewer or more fields than the header keep the output's columns: the input part has the
// header's width, the results are empty and the status says why.
TEST_F(BatchCli, RowsOfAnotherWidthKeepTheColumns)
{
    const QString input = Write("in.csv", "T,RH,note\n25,50,a\n25\n25,50,b,surplus,more\n\n30,60,c\n");
    const CliRun run = RunCli({ "batch", input, "--temperature-column", "T", "--relative-humidity-column",
        "RH", "--columns", "dew_point,wet_bulb", "--numbers", "display" });
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out,
        "T,RH,note,dew_point [C],wet_bulb [C],status\n"
        "25,50,a,13.864,17.888,ok\n"
        "25,,,,,The row has 1 field where the header has 3 fields\n"
        "25,50,b,,,The row has 5 fields where the header has 3 fields\n"
        ",,,,,The row has 1 field where the header has 3 fields\n"
        "30,60,c,21.388,23.812,ok\n");
}

// The units an HVAC engineer types, by their short keys, in a batch's inputs and columns: the rows read
// what "state" shows with the full unit texts, and an unknown key names the short keys too.
TEST_F(BatchCli, ShortUnitKeysAndTheHvacUnits)
{
    const QString input = Write("in.csv", "T,W\n75,70\n");
    const CliRun batch = RunCli({ "batch", input, "--numbers", "display", "--temperature-column", "T",
        "--humidity-ratio-column", "W", "--temperature-unit", "F", "--humidity-ratio-unit", "gr/lb",
        "--pressure-unit", "inHg", "--pressure", "29.92", "--columns",
        "relative_humidity,humidity_ratio,pressure,partial_pressure:psi,enthalpy:btu/lb (dry air from 0 "
        "F)" });
    ASSERT_EQ(batch.exit_code, 0) << batch.err.toStdString();
    const CliRun state = RunCli(
        { "state", "--json", "--temperature", "75", "--temperature-unit", "F", "--humidity-ratio", "70",
            "--humidity-ratio-unit", "(gr moisture)/(lb dry air)", "--pressure-unit", "in Hg", "--pressure",
            "29.92", "--partial-pressure-unit", "PSI", "--enthalpy-unit", "btu/lb (dry air from 0 F)" });
    ASSERT_EQ(state.exit_code, 0) << state.err.toStdString();
    const QJsonObject json = state.json();
    EXPECT_EQ(Lines(batch.out),
        QStringList(
            { "T,W,relative_humidity [%],humidity_ratio [(gr moisture)/(lb dry air)],pressure [in Hg],"
              "partial_pressure [PSI],enthalpy [btu/lb (dry air from 0 F)],status",
                QString("75,70,%1,70,29.92,%2,%3,ok")
                    .arg(Text(json, "relative_humidity"), Text(json, "partial_pressure"),
                        Text(json, "enthalpy")) }));
    EXPECT_NEAR(Text(json, "enthalpy").toDouble(), 28.943, 0.02); // see the unit table's test

    const CliRun convert
        = RunCli({ "convert", "--quantity", "Pressure", "--from", "inHg", "--to", "kPa", "29.92" });
    EXPECT_EQ(convert.exit_code, 0);
    EXPECT_TRUE(convert.out.contains("101.32075888 kPa")) << convert.out.toStdString();
    const CliRun unknown = RunCli({ "batch", input, "--columns", "humidity_ratio:gr" });
    EXPECT_EQ(unknown.exit_code, 2);
    EXPECT_TRUE(
        unknown.err.contains("\"(gr moisture)/(lb dry air)\", \"kg/kg\", \"g/kg\", \"lb/lb\", \"gr/lb\""))
        << unknown.err.toStdString();
}

} // namespace
} // namespace humidora::cli_test
