#include "calc/points/state_points_list.h"
#include "calc/units/quantities.h"
#include "calc/windows/ambient_window.h"
#include "chart/chart_model.h"
#include "file_faults.h"
#include "io/report.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace humidora {
namespace {

/// The window at start-up (25 C, 50 %): its listing and its record of the state go with the controls
/// filled by hand below.
const AmbientWindow& StartUp()
{
    static const AmbientWindow window = [] {
        AmbientWindow opened;
        opened.Open();
        return opened;
    }();
    return window;
}

/// A window state filled by hand, with a distinct text in every control, so that each can be found in
/// the report and attributed to its row.
AmbientControls ShownWindow()
{
    AmbientControls c;
    for (std::size_t i = 0; i < kUnitLists.size(); ++i)
        (c.*kUnitLists[i].list).selected = kMetricSelection[i];
    c.Text1.text = "25";
    c.Text2.text = "101.325";
    c.Text10.text = "1.234";
    c.Text4.text = "50";
    c.Text3.text = ".0098795";
    c.Text7.text = ".011503";
    c.Text5.text = "13.862";
    c.Text6.text = "17.854";
    c.Text11.text = "1.5844";
    c.Text8.text = "1.5637";
    c.Text9.text = ".9783";
    c.Text12.text = ".28849";
    c.Text13.text = "28.7929";
    c.Text14.text = "1.1684";
    c.Text15.text = ".86424";
    c.Text16.text = "50.2981";
    c.Label5.caption = "-100";
    c.Label4.caption = "100";
    c.Label7.caption = "5";
    c.Label6.caption = "1000";
    c.Label9.caption = "-5000";
    c.Label8.caption = "11000";
    c.Label12.caption = ".0201626";
    c.Label14.caption = ".023009";
    c.Label16.caption = "25.001";
    c.Label17.caption = "-100.002";
    c.Label18.caption = "25.003";
    c.Label19.caption = "8.775";
    c.Label20.caption = "3.1688";
    c.Label22.caption = "3.1274";
    c.Label24.caption = "1.9749";
    c.List1 = StartUp().controls().List1;
    return c;
}

class ReportTest : public ::testing::Test
{
protected:
    ReportDetails details() const
    {
        ReportDetails d;
        d.calculation = "cooling-coil.humidora";
        d.created = QDateTime(QDate(2024, 3, 5), QTime(14, 30));
        return d;
    }

    /// Writes the report and returns its text as pdftotext lays it out.
    QString reportText(const AmbientControls& controls, const ReportDetails& d)
    {
        return reportText(controls, StartUp().state(), d);
    }
    QString reportText(const AmbientControls& controls, const AmbientState& state, const ReportDetails& d)
    {
        const QString pdf = folder_.filePath("report.pdf");
        const QString error = WriteReport(pdf, controls, state, d);
        EXPECT_EQ(error, QString());
        return run("pdftotext", { "-layout", pdf, "-" });
    }

    QString run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString();
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    /// The number of pages of a PDF, as pdfinfo counts them.
    int pages(const QString& pdf)
    {
        const QRegularExpressionMatch match
            = QRegularExpression("Pages:\\s+(\\d+)\n").match(run("pdfinfo", { pdf }));
        return match.hasMatch() ? match.captured(1).toInt() : 0;
    }

    QTemporaryDir folder_;
};

/// A line that holds the fields in this order, separated by blanks.
QRegularExpression RowPattern(const QStringList& fields)
{
    QStringList escaped;
    for (const QString& field : fields)
        escaped << QRegularExpression::escape(field);
    return QRegularExpression(QStringLiteral("^\\s*%1\\s*$").arg(escaped.join(QStringLiteral("\\s+"))),
        QRegularExpression::MultilineOption);
}

/// True when one line of `text` holds the fields in this order, separated by blanks.
bool HasRow(const QString& text, const QStringList& fields)
{
    return RowPattern(fields).match(text).hasMatch();
}

/// True when one line of `text` begins with the fields in this order, separated by blanks.
bool HasRowStart(const QString& text, const QStringList& fields)
{
    QStringList escaped;
    for (const QString& field : fields)
        escaped << QRegularExpression::escape(field);
    return QRegularExpression(QStringLiteral("^\\s*%1(\\s|$)").arg(escaped.join(QStringLiteral("\\s+"))),
        QRegularExpression::MultilineOption)
        .match(text)
        .hasMatch();
}

TEST_F(ReportTest, HeaderNamesCalculationDateFormulationAndUnits)
{
    const QString text = reportText(ShownWindow(), details());
    EXPECT_TRUE(text.contains("Moist-Air State Report")) << text.toStdString();
    EXPECT_TRUE(text.contains("Humidora 1.1"));
    EXPECT_TRUE(HasRow(text, { "Calculation", "cooling-coil.humidora" })) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression("Date\\s+2024-03-05 14:30"))) << text.toStdString();
    EXPECT_TRUE(HasRow(text,
        { "Saturation", "formulation", "IAPWS", "(International", "Association", "for", "the", "Properties",
            "of", "Water", "and", "Steam)" }))
        << text.toStdString();
    EXPECT_TRUE(HasRow(text, { "Unit", "system", "Metric" }));
}

TEST_F(ReportTest, EveryQuantityWithValueUnitAndRange)
{
    const QString text = reportText(ShownWindow(), details());
    // Rows as the window shows them: caption, value, unit, minimum, maximum, and the mark of an input.
    const QStringList rows[] = {
        { "Ambient", "Temperature", "25", "C", "-100", "100", "given" },
        { "Barometric", "Pressure", "101.325", "kPa", "5", "1000", "given" },
        { "Altitude", "above", "Sea", "Level", "1.234", "m", "-5000", "11000" },
        { "Relative", "Humidity", "50", "%", "0", "100", "given" },
        { "Humidity", "Ratio", ".0098795", "(kg", "moisture)/(kg", "dry", "air)", "0", ".0201626" },
        { "Absolute", "Humidity", ".011503", "(kg", "moisture)/m^3", "0", ".023009" },
        { "Dew", "Point", "Temperature", "13.862", "C", "-100.002", "25.001" },
        { "Wet", "Bulb", "Temperature", "17.854", "C", "8.775", "25.003" },
        { "Partial", "Pressure", "of", "Water", "in", "Air", "1.5844", "kPa", "0", "3.1688" },
        { "Water", "Mole", "Fraction", "in", "Air", "1.5637", "%", "0", "3.1274" },
        { "Water", "Mass", "Fraction", "in", "Air", ".9783", "%", "0", "1.9749" },
        { "Specific", "Gas", "Constant", "(R)", ".28849", "kJ/kg-K" },
        { "Molecular", "Weight", "28.7929", "kg/kmol" },
        { "Density", "1.1684", "kg/m^3" },
        { "Specific", "Volume", ".86424", "m^3/kg", "(dry", "air)" },
        { "Specific", "Enthalpy", "50.2981", "kJ/kg", "(dry", "air)" },
    };
    for (const QStringList& row : rows)
        EXPECT_TRUE(HasRow(text, row)) << row.join(' ').toStdString() << "\n" << text.toStdString();
}

/// A state given to the window and what its composition looks like.
struct CompositionCase
{
    const char* name;
    std::vector<std::pair<int, std::string>> edits; ///< (value box, text) in order
    bool hyland_wexler = false;
    bool british = false;

    friend void PrintTo(const CompositionCase& c, std::ostream* out) { *out << c.name; }
};

class ReportComposition : public ReportTest, public ::testing::WithParamInterface<CompositionCase>
{
};

TEST_P(ReportComposition, HasTheListingsDigits)
{
    AmbientWindow window;
    window.Open();
    if (GetParam().british)
        window.ChooseBritish();
    if (GetParam().hyland_wexler)
        window.ChooseHylandWexler();
    for (const auto& [box, text] : GetParam().edits)
        window.EditText(box, text);
    ASSERT_FALSE(window.refusal().has_value());
    const QString text = reportText(window.controls(), window.state(), details());
    EXPECT_TRUE(text.contains("Composition of the moist air"));
    EXPECT_TRUE(HasRow(text, { "Species", "%", "by", "volume", "%", "by", "weight" })) << text.toStdString();
    // The five rows of the listing, species and both percentages, each a row of the report's table.
    const std::vector<std::string>& lines = window.controls().List1.lines;
    ASSERT_EQ(lines.size(), 11u);
    for (std::size_t i = 6; i < lines.size(); ++i) {
        const QStringList fields = QString::fromStdString(lines[i]).split(' ', Qt::SkipEmptyParts);
        ASSERT_EQ(fields.size(), 3) << lines[i];
        EXPECT_TRUE(HasRow(text, fields)) << lines[i] << "\n" << text.toStdString();
    }
    EXPECT_FALSE(text.contains("refused"));
}

INSTANTIATE_TEST_SUITE_P(States, ReportComposition,
    ::testing::Values(CompositionCase { "StartUp", {} },
        CompositionCase { "British", { { 1, "86" }, { 4, "30" } }, false, true },
        // Water above a tenth by volume only, then by volume and by weight: the wider water texts.
        CompositionCase { "HotHylandWexler", { { 1, "60" }, { 4, "60" } }, true },
        CompositionCase { "SteamyHylandWexler", { { 1, "90" }, { 4, "80" } }, true },
        CompositionCase { "Saturated99C", { { 1, "99" }, { 4, "100" } } },
        CompositionCase { "DryCold", { { 1, "-60" }, { 4, "10" } } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReportTest, RefusedStateShowsTheReportLinesAndTheRefusedInput)
{
    AmbientControls c = ShownWindow();
    c.Text1.text = "130";
    c.Text1.background = Background::Red;
    for (ValueBox* box : { &c.Text3, &c.Text5, &c.Text6, &c.Text7, &c.Text8, &c.Text9, &c.Text11, &c.Text12,
             &c.Text13, &c.Text14, &c.Text15, &c.Text16 })
        box->text = "Error";
    c.List1.lines
        = { "Error!", "The quantity which has been indicated", "by red color is out of allowable range." };
    c.List1.background = Background::Red;
    const QString text = reportText(c, details());
    EXPECT_TRUE(text.contains("Calculation refused")) << text.toStdString();
    EXPECT_TRUE(text.contains("Error!"));
    EXPECT_TRUE(text.contains("The quantity which has been indicated"));
    EXPECT_TRUE(text.contains("by red color is out of allowable range."));
    EXPECT_TRUE(HasRow(text, { "Ambient", "Temperature", "130", "C", "-100", "100", "refused" }))
        << text.toStdString();
    EXPECT_TRUE(HasRow(text, { "Density", "Error", "kg/m^3" }));
    EXPECT_FALSE(text.contains("Composition of the moist air"));
}

/// Properties given for the report and the lines its title block must show, in this order, above the
/// report's heading; `absent` are captions that must not appear.
struct TitleCase
{
    const char* name;
    ProjectProperties properties;
    std::vector<QStringList> rows;
    QStringList absent;

    friend void PrintTo(const TitleCase& c, std::ostream* out) { *out << c.name; }
};

class ReportTitle : public ReportTest, public ::testing::WithParamInterface<TitleCase>
{
};

TEST_P(ReportTitle, ShowsWhatIsGivenAboveTheHeading)
{
    ReportDetails d = details();
    d.properties = GetParam().properties;
    const QString text = reportText(ShownWindow(), d);
    qsizetype at = 0;
    for (const QStringList& row : GetParam().rows) {
        const QRegularExpressionMatch found = RowPattern(row).match(text, at);
        ASSERT_TRUE(found.hasMatch()) << row.join(' ').toStdString() << "\n" << text.toStdString();
        at = found.capturedEnd();
    }
    EXPECT_LT(at, text.indexOf("Moist-Air State Report")) << text.toStdString();
    for (const QString& caption : GetParam().absent)
        EXPECT_FALSE(
            text.contains(QRegularExpression("^\\s*" + caption + "\\b", QRegularExpression::MultilineOption)))
            << caption.toStdString() << "\n"
            << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Properties, ReportTitle,
    ::testing::Values(
        TitleCase { "All",
            { "Riverside Office, AHU-2", "J. Doe", "Design day\nSummer <outdoor> & 'return' air" },
            { { "Project", "Riverside", "Office,", "AHU-2" }, { "Engineer", "J.", "Doe" },
                { "Notes", "Design", "day" }, { "Summer", "<outdoor>", "&", "'return'", "air" } },
            {} },
        // Breaks typed on another platform keep their lines too.
        TitleCase { "NotesAloneWithCrLf", { "", "", "first\r\nsecond\rthird" },
            { { "Notes", "first" }, { "second" }, { "third" } }, { "Project", "Engineer" } },
        TitleCase { "EngineerAlone", { "", "A. Smith", "" }, { { "Engineer", "A.", "Smith" } },
            { "Project", "Notes" } },
        TitleCase { "NoneGiven", {}, {}, { "Project", "Engineer", "Notes" } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReportTest, NotesTooLongForTheFirstPageGetPagesOfTheirOwn)
{
    const auto notes = [](int lines) {
        std::string text;
        for (int i = 1; i <= lines; ++i)
            text += "Note line " + std::to_string(i) + " of the design basis\n";
        return text;
    };
    const QString pdf = folder_.filePath("notes.pdf");
    const auto pages = [&] {
        const QRegularExpressionMatch match
            = QRegularExpression("Pages:\\s+(\\d+)\n").match(run("pdfinfo", { pdf }));
        return match.hasMatch() ? match.captured(1).toInt() : 0;
    };
    ReportDetails d = details();
    d.properties = { "Hall 3", "", notes(6) };
    ASSERT_EQ(WriteReport(pdf, ShownWindow(), StartUp().state(), d), QString());
    EXPECT_EQ(pages(), 1);
    EXPECT_TRUE(run("pdftotext", { pdf, "-" }).contains("Note line 6 of the design basis"));

    // 150 lines: the first page keeps its size and says where the notes are; they follow on as many
    // pages as they need, every line whole and in order.
    d.properties.notes = notes(150);
    ASSERT_EQ(WriteReport(pdf, ShownWindow(), StartUp().state(), d), QString());
    const int count = pages();
    EXPECT_GE(count, 3);
    const QString first = run("pdftotext", { "-f", "1", "-l", "1", pdf, "-" });
    EXPECT_TRUE(first.contains("On the last pages of this report.")) << first.toStdString();
    EXPECT_FALSE(first.contains("Note line"));
    EXPECT_TRUE(first.contains("Composition of the moist air"));
    const QString rest = run("pdftotext", { "-f", "2", "-l", QString::number(count), pdf, "-" });
    qsizetype at = 0;
    for (int i = 1; i <= 150; ++i) {
        const QString line = QStringLiteral("Note line %1 of the design basis\n").arg(i);
        at = rest.indexOf(line, at);
        ASSERT_GE(at, 0) << line.toStdString() << rest.toStdString();
    }
}

TEST_F(ReportTest, UnsavedCalculationHylandWexlerBritish)
{
    AmbientControls c = ShownWindow();
    c.menu_IAPWS = false;
    c.menu_HW = true;
    c.menu_metric = false;
    c.menu_british = true;
    for (std::size_t i = 0; i < kUnitLists.size(); ++i)
        (c.*kUnitLists[i].list).selected = kBritishSelection[i];
    ReportDetails d = details();
    d.calculation.clear();
    const QString text = reportText(c, d);
    EXPECT_TRUE(HasRow(text, { "Calculation", "not", "saved" })) << text.toStdString();
    EXPECT_TRUE(text.contains("Hyland-Wexler Formulation (Recommended by ASHRAE)"));
    EXPECT_TRUE(HasRow(text, { "Unit", "system", "British" }));
    EXPECT_TRUE(HasRow(text, { "Barometric", "Pressure", "101.325", "PSI", "5", "1000", "given" }));
    EXPECT_TRUE(HasRow(text, { "Specific", "Gas", "Constant", "(R)", ".28849", "btu/lb-R" }));
}

TEST_F(ReportTest, OnePageOfTheChosenPaperWithTitle)
{
    const QString pdf = folder_.filePath("report.pdf");
    ReportDetails d = details();
    d.page = QPageSize::Letter;
    ASSERT_EQ(WriteReport(pdf, ShownWindow(), StartUp().state(), d), QString());
    QString info = run("pdfinfo", { pdf });
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains("(letter)")) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Title:\\s+Humidora 1.1 moist-air state report")))
        << info.toStdString();

    d.page = QPageSize::A4;
    ASSERT_EQ(WriteReport(pdf, ShownWindow(), StartUp().state(), d), QString());
    info = run("pdfinfo", { pdf });
    EXPECT_TRUE(info.contains("(A4)")) << info.toStdString();
}

TEST_F(ReportTest, SecondPageHasTheChartWithTheStatePoint)
{
    // A British state at 86 F: the chart is drawn in F and gr/lb, on the normal field that holds it.
    AmbientWindow window;
    window.Open();
    window.ChooseBritish();
    window.EditText(1, "86");
    ReportDetails d = details();
    d.chart = ReportChart(window);
    ASSERT_TRUE(d.chart->marker.has_value());
    EXPECT_EQ(d.chart->marker->T_K, window.state().temperature);
    const QString pdf = folder_.filePath("chart.pdf");
    ASSERT_EQ(WriteReport(pdf, window.controls(), window.state(), d), QString());
    EXPECT_TRUE(run("pdfinfo", { pdf }).contains(QRegularExpression("Pages:\\s+2\n")));
    const QString second = run("pdftotext", { "-f", "2", "-l", "2", pdf, "-" });
    EXPECT_TRUE(second.contains("Psychrometric Chart")) << second.toStdString();
    EXPECT_TRUE(second.contains("Dry-bulb temperature, F"));
    EXPECT_TRUE(second.contains("The red point marks the state of the first page."));

    // A refused state: the chart marks no point and says so; a state beyond the normal field is shown
    // on the field that holds it.
    window.EditText(1, "500");
    d.chart = ReportChart(window);
    EXPECT_FALSE(d.chart->marker.has_value());
    ASSERT_EQ(WriteReport(pdf, window.controls(), window.state(), d), QString());
    EXPECT_TRUE(run("pdftotext", { "-f", "2", "-l", "2", pdf, "-" }).contains("marks no point"));
    window.EditText(1, "-20");
    EXPECT_EQ(ReportChart(window).lines->setup.field, chart::PresetField(chart::ChartRange::Low));
}

/// A design of two measured points, a coil and a heater whose file named an entering point it does not hold.
StatePointsList CoilDesign(const AmbientWindow& window)
{
    StatePointsList list;
    AmbientInputs outdoor = window.CurrentInputs();
    outdoor.temperature = "33";
    list.Add(outdoor, 2.0);
    ProcessSpec coil;
    coil.kind = ProcessKind::Coil;
    coil.points = { "A" };
    coil.adp_K = 283.15;
    coil.bypass_factor = 0.1;
    coil.result_name = "Supply";
    EXPECT_EQ(list.AddProcess(coil), "");
    list.Add(window.CurrentInputs(), 1.0);
    ProcessSpec heat;
    heat.kind = ProcessKind::Heat;
    heat.points = { "B" };
    heat.to_temperature_K = 308.15;
    EXPECT_EQ(list.AddProcess(heat), "");
    EXPECT_TRUE(list.Rename(2, "Room")); // the heater keeps its entering point under its new name
    EXPECT_EQ(list.processes()[1].points, std::vector<std::string> { "Room" });
    // A file may name a point it does not hold: that heater is refused.
    std::vector<ProcessSpec> kept = list.processes();
    kept[1].points = { "Gone" };
    list.SetProcesses(kept);
    return list;
}

TEST_F(ReportTest, TheDesignLeadsWithTitleChartPointsAndProcessesThenTheWindowsState)
{
    AmbientWindow window;
    window.Open();
    const StatePointsList list = CoilDesign(window);
    ReportDetails d = details();
    d.properties = { "Riverside Office, AHU-2", "J. Doe", "Summer design day" };
    d.chart = ReportChart(window);
    AddStatePoints(d, list, window.CurrentInputs());
    // The chart draws the four points, the coil's arrow (the refused heater has none) and its line on to
    // the apparatus dew point.
    EXPECT_EQ(d.chart->overlay.points.size(), 4u);
    EXPECT_EQ(d.chart->overlay.arrows.size(), 1u);
    EXPECT_EQ(d.chart->overlay.guides.size(), 1u);
    ASSERT_EQ(d.points.rows.size(), 4u);
    ASSERT_EQ(d.processes.size(), 2u);
    ASSERT_EQ(d.processes[1].refusal, "There is no point Gone.");
    const QString pdf = folder_.filePath("points.pdf");
    ASSERT_EQ(WriteReport(pdf, window.controls(), window.state(), d), QString());
    const int count = pages(pdf);
    ASSERT_GE(count, 2);
    const QString first = run("pdftotext", { "-layout", "-f", "1", "-l", "1", pdf, "-" });
    // Title block, heading, the chart and both tables on the first page, in this order.
    qsizetype at = 0;
    EXPECT_TRUE(first.contains("Psychrometric Chart")) << first.toStdString();
    for (const char* text :
        { "Riverside Office, AHU-2", "Air-Side Design Report", "State points", "Processes" }) {
        const qsizetype found = first.indexOf(text, at);
        ASSERT_GE(found, 0) << text << "\n" << first.toStdString();
        at = found;
    }
    EXPECT_FALSE(first.contains("Moist-Air State Report"));
    const QString design
        = run("pdftotext", { "-layout", "-f", "1", "-l", QString::number(count - 1), pdf, "-" });
    for (const char* text : { "Cooling Coil", "Parameters", "Loads", "There is no point Gone.", "ADP" })
        EXPECT_TRUE(design.contains(text)) << text << "\n" << design.toStdString();
    // Every point's row with the window's own texts.
    for (const std::vector<std::string>& row : d.points.rows) {
        QStringList fields;
        for (const std::string& cell : row)
            fields << QString::fromStdString(cell).split(' ', Qt::SkipEmptyParts);
        EXPECT_TRUE(HasRow(design, fields)) << fields.join(' ').toStdString() << "\n" << design.toStdString();
    }
    // Every parameter and load of the coil whole on one line: caption, number and unit together.
    std::vector<LoadLine> shown = d.processes[0].parameters;
    shown.insert(shown.end(), d.processes[0].loads.begin(), d.processes[0].loads.end());
    ASSERT_GE(shown.size(), 6u);
    for (const LoadLine& line : shown) {
        QStringList words;
        for (const QString& word : QString::fromStdString(LineText(line)).split(' '))
            words << QRegularExpression::escape(word);
        EXPECT_TRUE(design.contains(QRegularExpression(words.join(QLatin1Char(' '))))) << LineText(
            line) << "\n" << design.toStdString();
    }
    // The main window's state follows on the last page, without a second title block or chart page.
    const QString last = run(
        "pdftotext", { "-layout", "-f", QString::number(count), "-l", QString::number(count), pdf, "-" });
    EXPECT_TRUE(last.contains("Moist-Air State Report")) << last.toStdString();
    EXPECT_TRUE(last.contains("Composition of the moist air"));
    EXPECT_FALSE(last.contains("Summer design day"));
    EXPECT_FALSE(last.contains("Psychrometric Chart"));
}

TEST_F(ReportTest, TheDesignsChartIsOnAFieldThatHoldsEveryPoint)
{
    struct Case
    {
        const char* name;
        const char* window;              ///< the main window's dry bulb
        std::vector<const char*> points; ///< the points' dry bulbs
        chart::ChartRange field;
    };
    const Case cases[] = {
        { "NormalHoldsAll", "25", { "30", "20" }, chart::ChartRange::Normal },
        // A winter design at 0 C: the low field holds the points and the state.
        { "WinterOnTheLowField", "0", { "-20", "5" }, chart::ChartRange::Low },
        // The points matter more than the state when no field holds both.
        { "PointsBeforeTheState", "60", { "-20", "5" }, chart::ChartRange::Low },
        { "NoFieldHoldsThePoints", "25", { "-30", "60" }, chart::ChartRange::Normal },
    };
    for (const Case& c : cases) {
        AmbientWindow window;
        window.Open();
        window.EditText(1, c.window);
        StatePointsList list;
        for (const char* temperature : c.points) {
            AmbientInputs inputs = window.CurrentInputs();
            inputs.temperature = temperature;
            inputs.humidity = "20";
            list.Add(inputs);
        }
        ReportDetails d = details();
        d.chart = ReportChart(window);
        AddStatePoints(d, list, window.CurrentInputs());
        ASSERT_EQ(d.chart->overlay.points.size(), c.points.size()) << c.name;
        EXPECT_EQ(d.chart->lines->setup.field, chart::PresetField(c.field)) << c.name;
        // The lines are those of that field.
        chart::ChartSpec setup = d.chart->lines->setup;
        EXPECT_EQ(d.chart->lines->lines.size(), chart::ComputeChartLines(setup).lines.size()) << c.name;
    }
}

TEST_F(ReportTest, EveryPageSaysItsNumberAndTheCount)
{
    AmbientWindow window;
    window.Open();
    // A long design: forty points and their tables run over several pages, the header of the points
    // repeated on each.
    StatePointsList list;
    for (int i = 0; i < 40; ++i) {
        AmbientInputs inputs = window.CurrentInputs();
        inputs.temperature = std::to_string(10 + i);
        list.Add(inputs, 1.0);
    }
    for (int i = 0; i < 12; ++i) {
        ProcessSpec heat;
        heat.kind = ProcessKind::Heat;
        heat.points = { list.points()[static_cast<std::size_t>(i)].name };
        heat.to_temperature_K = 273.15 + 60 + i;
        ASSERT_EQ(list.AddProcess(heat), "") << i;
    }
    struct Case
    {
        const char* name;
        bool chart;
        bool design;
        int least_pages;
    };
    for (const Case& c : { Case { "StateAlone", false, false, 1 }, Case { "StateAndChart", true, false, 2 },
             Case { "LongDesign", true, true, 4 } }) {
        ReportDetails d = details();
        if (c.chart)
            d.chart = ReportChart(window);
        if (c.design)
            AddStatePoints(d, list, window.CurrentInputs());
        const QString pdf = folder_.filePath(QStringLiteral("%1.pdf").arg(c.name));
        ASSERT_EQ(WriteReport(pdf, window.controls(), window.state(), d), QString()) << c.name;
        const int count = pages(pdf);
        EXPECT_GE(count, c.least_pages) << c.name;
        for (int page = 1; page <= count; ++page) {
            const QString text = run("pdftotext",
                { "-layout", "-f", QString::number(page), "-l", QString::number(page), pdf, "-" });
            EXPECT_EQ(text.count(QRegularExpression("Page \\d+ of \\d+")), 1) << c.name << " " << page;
            EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(count)))
                << c.name << " " << page << "\n"
                << text.toStdString();
            if (c.design && page < count - 1)
                EXPECT_TRUE(text.contains(QRegularExpression("Dry\\s+Bulb"))) << page << "\n"
                                                                              << text.toStdString();
        }
        if (c.design) {
            const QString all = run("pdftotext", { "-layout", pdf, "-" });
            for (const StatePoint& point : list.points()) {
                EXPECT_TRUE(
                    all.contains(QRegularExpression("^\\s*" + QString::fromStdString(point.name) + "\\s",
                        QRegularExpression::MultilineOption)))
                    << point.name;
            }
            EXPECT_TRUE(
                run("pdftotext", { "-f", QString::number(count), "-l", QString::number(count), pdf, "-" })
                    .contains("Moist-Air State Report"));
        }
    }
}

TEST_F(ReportTest, TheMeasurementUncertaintyIsPrintedAsTheWindowShowsIt)
{
    AmbientWindow window;
    window.Open();
    window.EditText(4, "99"); // near saturation: the relative humidity's interval passes 100 % and is flagged
    window.SetUncertainty(TypicalAccuracies(window.controls()));
    ReportDetails d = details();
    AddUncertainty(d, window);
    ASSERT_EQ(d.uncertainty_caption, window.UncertaintyCaption());
    const QString text = reportText(window.controls(), window.state(), d);
    EXPECT_TRUE(
        text.contains(QString::fromStdString("Measurement uncertainty: " + window.UncertaintyCaption())))
        << text.toStdString();
    int flagged = 0;
    for (std::size_t row = 0; row < kQuantities.size(); ++row) {
        const int box = kQuantities[row].boxNumber();
        const std::string label = window.UncertaintyLabel(box);
        ASSERT_FALSE(label.empty()) << row;
        flagged += label.back() == '!';
        const ValueBox& value = window.controls().*kQuantities[row].box;
        QStringList fields = QString::fromUtf8(kQuantities[row].long_caption).split(' ');
        fields << QString::fromStdString(value.text);
        fields << QString::fromStdString(label).split(' ');
        fields << QString::fromStdString((window.controls().*kQuantities[row].list).text()).split(' ');
        EXPECT_TRUE(HasRowStart(text, fields)) << fields.join(' ').toStdString() << "\n"
                                               << text.toStdString();
    }
    EXPECT_GE(flagged, 1);

    // Switched off: no column, no caption.
    ReportDetails off = details();
    window.SetUncertainty({});
    AddUncertainty(off, window);
    const QString plain = reportText(window.controls(), window.state(), off);
    EXPECT_FALSE(plain.contains(QString::fromUtf8("\u00b1"))) << plain.toStdString();
    EXPECT_FALSE(plain.contains("Measurement uncertainty"));
}

TEST_F(ReportTest, TheChartDrawsTheRegionsOfTheStateAndOfTheMeasuredPoints)
{
    AmbientWindow window;
    window.Open();
    window.SetUncertainty(TypicalAccuracies(window.controls()));
    const StatePointsList list = CoilDesign(window);
    ReportDetails d = details();
    d.chart = ReportChart(window);
    AddStatePoints(d, list, window.CurrentInputs(), &window.uncertainty());
    EXPECT_EQ(d.chart->marker_region.size(), static_cast<std::size_t>(chart::kRegionSegments));
    std::size_t regions = 0;
    for (const chart::OverlayPoint& point : d.chart->overlay.points)
        regions += !point.region.empty();
    EXPECT_EQ(regions, 2u); // A and Room were measured; the coil's Supply was computed
    const QString pdf = folder_.filePath("regions.pdf");
    ASSERT_EQ(WriteReport(pdf, window.controls(), window.state(), d), QString());
    EXPECT_TRUE(run("pdftotext", { pdf, "-" }).contains("probability of 95 %"));
}

TEST_F(ReportTest, LongListingStillFitsOnePage)
{
    AmbientControls c = ShownWindow();
    c.List1.background = Background::Red;
    c.List1.lines.clear();
    for (int i = 0; i < 90; ++i)
        c.List1.lines.push_back("Report line " + std::to_string(i));
    const QString pdf = folder_.filePath("long.pdf");
    ASSERT_EQ(WriteReport(pdf, c, StartUp().state(), details()), QString());
    EXPECT_TRUE(run("pdfinfo", { pdf }).contains(QRegularExpression("Pages:\\s+1\n")));
    const QString text = run("pdftotext", { pdf, "-" });
    EXPECT_TRUE(text.contains("Report line 0"));
    EXPECT_TRUE(text.contains("Report line 89"));
    EXPECT_TRUE(text.contains("Specific Enthalpy"));
}

TEST_F(ReportTest, MarkupInTextsIsShownLiterally)
{
    AmbientControls c = ShownWindow();
    c.Text1.text = "<b>&amp;";
    ReportDetails d = details();
    d.calculation = "a<b>.humidora";
    const QString text = reportText(c, d);
    EXPECT_TRUE(text.contains("<b>&amp;")) << text.toStdString();
    EXPECT_TRUE(text.contains("a<b>.humidora"));
}

TEST_F(ReportTest, FailedWriteLeavesEarlierReportByteIdentical)
{
    const QString pdf = folder_.filePath("report.pdf");
    ASSERT_EQ(WriteReport(pdf, ShownWindow(), StartUp().state(), details()), QString());
    const QByteArray before = testing::FileBytes(pdf);
    AmbientControls changed = ShownWindow();
    changed.Text1.text = "30";
    QString error;
    {
        testing::FileSizeLimit limit(512);
        ASSERT_TRUE(limit.active());
        error = WriteReport(pdf, changed, StartUp().state(), details());
    }
    EXPECT_TRUE(error.startsWith(QStringLiteral("Could not write the report \"%1\"").arg(pdf)))
        << error.toStdString();
    EXPECT_EQ(testing::FileBytes(pdf).size(), before.size());
    EXPECT_EQ(testing::FileBytes(pdf), before);
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList { "report.pdf" });
}

TEST_F(ReportTest, WriteIntoMissingFolderFails)
{
    const QString pdf = folder_.filePath("gone/report.pdf");
    const QString error = WriteReport(pdf, ShownWindow(), StartUp().state(), details());
    EXPECT_TRUE(error.startsWith(QStringLiteral("Could not write the report \"%1\": ").arg(pdf)))
        << error.toStdString();
}

struct PaperCase
{
    const char* locale;
    QPageSize::PageSizeId page;
};

class ReportPaper : public ::testing::TestWithParam<PaperCase>
{
};

TEST_P(ReportPaper, FollowsTheLocale)
{
    EXPECT_EQ(ReportPageSize(QLocale(QLatin1String(GetParam().locale))), GetParam().page);
}

INSTANTIATE_TEST_SUITE_P(Locales, ReportPaper,
    ::testing::Values(PaperCase { "en_US", QPageSize::Letter }, PaperCase { "es_US", QPageSize::Letter },
        PaperCase { "en_CA", QPageSize::Letter }, PaperCase { "fr_CA", QPageSize::Letter },
        PaperCase { "es_MX", QPageSize::Letter }, PaperCase { "en_GB", QPageSize::A4 },
        PaperCase { "de_DE", QPageSize::A4 }, PaperCase { "ja_JP", QPageSize::A4 },
        PaperCase { "en_AU", QPageSize::A4 }),
    [](const auto& info) { return std::string(info.param.locale); });

} // namespace
} // namespace humidora
