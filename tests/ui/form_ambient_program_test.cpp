// The main window against the command line, and the desktop program itself. The window, driven through
// its widgets, must show exactly the texts that `humidora-cli state --json` prints for the same inputs;
// the program without a display must print that state instead of failing silently.

#include "form_ambient_testing.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <functional>

using testing_ui::ChooseItem;
using testing_ui::FromStd;
using testing_ui::WindowUnderTest;

namespace {

void Type(WindowUnderTest& w, int box, const QString& text)
{
    w.text(box)->setFocus();
    w.text(box)->selectAll();
    QTest::keyClicks(w.text(box), text);
}

struct Scenario
{
    const char* name;
    QStringList arguments; ///< of `humidora-cli state --json`
    std::function<void(WindowUnderTest&)> drive;
    bool ok;
};

const std::vector<Scenario>& Scenarios()
{
    static const std::vector<Scenario> scenarios = {
        { "start-up", {}, [](WindowUnderTest&) {}, true },
        { "typed temperature and humidity", { "--temperature=30", "--relative-humidity=60" },
            [](WindowUnderTest& w) {
                Type(w, 1, QStringLiteral("30"));
                Type(w, 4, QStringLiteral("60"));
            },
            true },
        { "British and Hyland-Wexler", { "--system=british", "--method=hyland-wexler" },
            [](WindowUnderTest& w) {
                w.action("menu_british")->trigger();
                w.action("menu_HW")->trigger();
            },
            true },
        { "altitude and dew point", { "--altitude=1500", "--dew-point=5" },
            [](WindowUnderTest& w) {
                QTest::mouseClick(w.option(9), Qt::LeftButton);
                Type(w, 10, QStringLiteral("1500"));
                QTest::mouseClick(w.option(3), Qt::LeftButton);
                Type(w, 5, QStringLiteral("5"));
            },
            true },
        { "customized units and wet bulb",
            { "--temperature-unit=K", "--temperature=290", "--wet-bulb=10", "--partial-pressure-unit=mm Hg",
                "--enthalpy-unit=kcal/kg (dry air)" },
            [](WindowUnderTest& w) {
                ChooseItem(w.combo(1), 1);
                Type(w, 1, QStringLiteral("290"));
                QTest::mouseClick(w.option(4), Qt::LeftButton);
                Type(w, 6, QStringLiteral("10"));
                ChooseItem(w.combo(11), 5);
                ChooseItem(w.combo(16), 1);
            },
            true },
        { "relative humidity refused", { "--relative-humidity=160" },
            [](WindowUnderTest& w) { Type(w, 4, QStringLiteral("160")); }, false },
    };
    return scenarios;
}

// objectNames of the model's controls, from its name tables.
QString BoxName(humidora::ValueBox humidora::AmbientControls::*box)
{
    for (const humidora::NamedBox& named : humidora::kValueBoxes) {
        if (named.box == box)
            return FromStd(std::string(named.name));
    }
    return {};
}

QString ListName(humidora::UnitList humidora::AmbientControls::*list)
{
    for (const humidora::NamedList& named : humidora::kUnitLists) {
        if (named.list == list)
            return FromStd(std::string(named.name));
    }
    return {};
}

QString LabelName(humidora::LimitLabel humidora::AmbientControls::*label)
{
    for (const humidora::NamedLabel& named : humidora::kLimitLabels) {
        if (named.label == label)
            return FromStd(std::string(named.name));
    }
    return {};
}

struct Run
{
    int exit_code;
    QByteArray out;
    QByteArray err;
};

Run RunProgram(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return { -1, {}, {} };
    return { process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError() };
}

/// The environment of a program under test: no display, and a scratch home and configuration folder, so
/// that whatever the program remembers never reaches the user's settings.
QProcessEnvironment WithoutDisplay()
{
    static const QTemporaryDir scratch;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("HOME"), scratch.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), scratch.filePath(QStringLiteral("config")));
    return environment;
}

} // namespace

class FormAmbientProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void windowShowsWhatTheCommandLinePrints_data();
    void windowShowsWhatTheCommandLinePrints();
    void withoutDisplayTheProgramPrintsTheStartupState();
    void withoutDisplayTheProgramPrintsTheStateOfTheFileGiven();
    void helpAndVersionAnswerWithoutAnyDisplay_data();
    void helpAndVersionAnswerWithoutAnyDisplay();
    void refusedCommandLineIsAUsageError_data();
    void refusedCommandLineIsAUsageError();
    void startupProbeReportsTheFirstPaint();
    void fileOnTheCommandLineOpensInTheWindow();
};

void FormAmbientProgramTest::windowShowsWhatTheCommandLinePrints_data()
{
    QTest::addColumn<int>("scenario");
    for (std::size_t i = 0; i < Scenarios().size(); ++i)
        QTest::newRow(Scenarios()[i].name) << static_cast<int>(i);
}

void FormAmbientProgramTest::windowShowsWhatTheCommandLinePrints()
{
    QFETCH(int, scenario);
    const Scenario& s = Scenarios()[static_cast<std::size_t>(scenario)];

    QProcess cli;
    cli.start(QStringLiteral(HUMIDORA_CLI),
        QStringList { QStringLiteral("state"), QStringLiteral("--json") } + s.arguments);
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), s.ok ? 0 : 1);
    QJsonParseError error {};
    const QJsonObject printed = QJsonDocument::fromJson(cli.readAllStandardOutput(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(printed.value(QStringLiteral("ok")).toBool(), s.ok);

    WindowUnderTest w;
    s.drive(w);

    const QJsonObject quantities = printed.value(QStringLiteral("quantities")).toObject();
    QCOMPARE(quantities.size(), static_cast<int>(humidora::kQuantities.size()));
    for (const humidora::QuantityControls& quantity : humidora::kQuantities) {
        const QString key = FromStd(std::string(quantity.key));
        const QJsonObject entry = quantities.value(key).toObject();
        QVERIFY2(!entry.isEmpty(), qPrintable(key));
        QCOMPARE(
            w.find<QLineEdit>(BoxName(quantity.box))->text(), entry.value(QStringLiteral("text")).toString());
        QCOMPARE(w.find<QComboBox>(ListName(quantity.list))->currentText(),
            entry.value(QStringLiteral("unit")).toString());
        if (quantity.minimum != nullptr) {
            QCOMPARE(w.find<QLabel>(LabelName(quantity.minimum))->text(),
                entry.value(QStringLiteral("min")).toString());
            QCOMPARE(w.find<QLabel>(LabelName(quantity.maximum))->text(),
                entry.value(QStringLiteral("max")).toString());
        }
    }
    QStringList listing;
    auto* list = w.find<QListWidget>(QStringLiteral("List1"));
    for (int row = 0; row < list->count(); ++row)
        listing << list->item(row)->text();
    QCOMPARE(listing, printed.value(QStringLiteral("listing")).toVariant().toStringList());
    QCOMPARE(list->palette().color(QPalette::Base).name(),
        printed.value(QStringLiteral("listing_background")).toString());
}

void FormAmbientProgramTest::withoutDisplayTheProgramPrintsTheStartupState()
{
    QProcess cli;
    cli.start(QStringLiteral(HUMIDORA_CLI), { QStringLiteral("state") });
    QVERIFY(cli.waitForFinished(30000));
    const QByteArray state = cli.readAllStandardOutput();
    QVERIFY(state.contains("Sat. Formulation:  IAPWS"));

    QProcess program;
    program.setProcessEnvironment(WithoutDisplay());
    program.start(QStringLiteral(HUMIDORA_PROGRAM), QStringList {});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(program.readAllStandardError().contains("no display"));
    QCOMPARE(program.readAllStandardOutput(), state);
}

void FormAmbientProgramTest::withoutDisplayTheProgramPrintsTheStateOfTheFileGiven()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("warm day.humidora"));
    const QStringList state
        = { QStringLiteral("state"), QStringLiteral("--temperature=31.5"), QStringLiteral("--dew-point=18") };
    const Run saved = RunProgram(QStringLiteral(HUMIDORA_CLI),
        state + QStringList { QStringLiteral("--save"), file }, QProcessEnvironment::systemEnvironment());
    QCOMPARE(saved.exit_code, 0);

    const Run program = RunProgram(QStringLiteral(HUMIDORA_PROGRAM), { file }, WithoutDisplay());
    QCOMPARE(program.exit_code, 0);
    QVERIFY(program.err.contains("no display"));
    QVERIFY(program.out.contains("dew_point          18 "));
    QCOMPARE(program.out, saved.out);

    // A file the command line refuses ends the program with the command line's file error, nothing printed.
    const Run missing = RunProgram(QStringLiteral(HUMIDORA_PROGRAM),
        { folder.filePath(QStringLiteral("gone.humidora")) }, WithoutDisplay());
    QCOMPARE(missing.exit_code, 3);
    QVERIFY(missing.out.isEmpty());
    QVERIFY(missing.err.contains("gone.humidora"));
}

void FormAmbientProgramTest::helpAndVersionAnswerWithoutAnyDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QByteArray>("begins");
    const QByteArray usage = "Usage: humidora [options] [FILE]\nHumidora 1.1, the psychrometric calculator";
    const QByteArray version = "humidora 1.1\n";
    // A display that does not exist: the program must not even try to connect to it.
    const QString unreachable = QStringLiteral(":4711");
    QTest::newRow("--help") << QStringList { "--help" } << QString() << usage;
    QTest::newRow("-h") << QStringList { "-h" } << QString() << usage;
    QTest::newRow("--help, unreachable display") << QStringList { "--help" } << unreachable << usage;
    QTest::newRow("--version") << QStringList { "--version" } << QString() << version;
    QTest::newRow("-v, unreachable display") << QStringList { "-v" } << unreachable << version;
    QTest::newRow("--version after a file")
        << QStringList { "some.humidora", "--version" } << unreachable << version;
}

void FormAmbientProgramTest::helpAndVersionAnswerWithoutAnyDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, display);
    QFETCH(QByteArray, begins);
    QProcessEnvironment environment = WithoutDisplay();
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), display);
    const Run run = RunProgram(QStringLiteral(HUMIDORA_PROGRAM), arguments, environment);
    QCOMPARE(run.exit_code, 0);
    QVERIFY2(run.out.startsWith(begins), run.out.constData());
    QCOMPARE(run.err, QByteArray());
    if (begins.startsWith("Usage")) {
        for (const char* expected : { "-h, --help", "-v, --version", "FILE" })
            QVERIFY2(run.out.contains(expected), expected);
        // Conventional help text for terminals and help2man: lines fit 80 columns.
        for (const QByteArray& line : run.out.split('\n'))
            QVERIFY2(line.size() <= 80, line.constData());
    } else {
        QCOMPARE(run.out, begins);
    }
}

void FormAmbientProgramTest::refusedCommandLineIsAUsageError_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("says");
    QTest::newRow("unknown option") << QStringList { "--bogus" } << QByteArray("Unknown option 'bogus'");
    QTest::newRow("two files") << QStringList { "a.humidora", "b.humidora" }
                               << QByteArray("one calculation file at a time");
}

void FormAmbientProgramTest::refusedCommandLineIsAUsageError()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, says);
    for (const bool offscreen : { false, true }) {
        QProcessEnvironment environment = WithoutDisplay();
        if (offscreen)
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const Run run = RunProgram(QStringLiteral(HUMIDORA_PROGRAM), arguments, environment);
        QCOMPARE(run.exit_code, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(says), run.err.constData());
        QVERIFY(run.err.contains("Run \"humidora --help\""));
    }
}

void FormAmbientProgramTest::startupProbeReportsTheFirstPaint()
{
    QProcess program;
    QProcessEnvironment environment = WithoutDisplay();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HUMIDORA_STARTUP_PROBE"), QStringLiteral("quit"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(HUMIDORA_PROGRAM), QStringList {});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 0);
    const QString report = QString::fromUtf8(program.readAllStandardError());
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("first paint ([0-9.]+) ms after main\\(\\)")).match(report);
    QVERIFY2(match.hasMatch(), qPrintable(report));
    QVERIFY(!match.captured(1).isEmpty());
}

void FormAmbientProgramTest::fileOnTheCommandLineOpensInTheWindow()
{
    // The program runs on a scratch home and configuration folder: the settings it writes are looked for
    // there, and the user's own are never touched.
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString file = scratch.filePath(QStringLiteral("plant room.humidora"));
    const Run saved = RunProgram(QStringLiteral(HUMIDORA_CLI),
        { QStringLiteral("state"), QStringLiteral("--temperature=28"), QStringLiteral("--save"), file },
        QProcessEnvironment::systemEnvironment());
    QCOMPARE(saved.exit_code, 0);

    QProcessEnvironment environment = WithoutDisplay();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HUMIDORA_STARTUP_PROBE"), QStringLiteral("quit"));
    environment.insert(QStringLiteral("HOME"), scratch.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), scratch.filePath(QStringLiteral("config")));
    const QString settings_file = scratch.filePath(QStringLiteral("config/Humidora/humidora.conf"));
    const auto recent = [&] {
        return QSettings(settings_file, QSettings::IniFormat)
            .value(QStringLiteral("files/recent"))
            .toStringList();
    };

    const Run opened = RunProgram(QStringLiteral(HUMIDORA_PROGRAM), { file }, environment);
    QCOMPARE(opened.exit_code, 0);
    QVERIFY2(opened.err.contains("first paint"), opened.err.constData());
    // The window opened the file: it became the first of the recent files.
    QCOMPARE(recent(), QStringList({ file }));

    // The same file as a launcher may pass it, as a URL: it is opened (it moves first) and listed by its
    // path.
    const QString other = scratch.filePath(QStringLiteral("other.humidora"));
    QVERIFY(QFile::copy(file, other));
    QCOMPARE(RunProgram(QStringLiteral(HUMIDORA_PROGRAM), { other }, environment).exit_code, 0);
    QCOMPARE(recent(), QStringList({ other, file }));
    const QString url = QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded);
    QVERIFY(url.contains(QStringLiteral("plant%20room")));
    QCOMPARE(RunProgram(QStringLiteral(HUMIDORA_PROGRAM), { url }, environment).exit_code, 0);
    QCOMPARE(recent(), QStringList({ file, other }));

    // A file the window refuses starts it at its defaults and stays out of the list.
    const QString missing = scratch.filePath(QStringLiteral("missing.humidora"));
    const Run refused = RunProgram(QStringLiteral(HUMIDORA_PROGRAM), { missing }, environment);
    QCOMPARE(refused.exit_code, 0);
    QCOMPARE(recent(), QStringList({ file, other }));
    QVERIFY(!QFileInfo::exists(scratch.filePath(QStringLiteral("home/.config"))));
}

QTEST_MAIN(FormAmbientProgramTest)
#include "form_ambient_program_test.moc"
