#include "io/report.h"

#include "calc/ambient/composition.h"
#include "calc/document/product.h"
#include "calc/points/point_table.h"
#include "calc/units/quantities.h"
#include "chart/points_overlay.h"
#include "io/chart_picture.h"
#include "io/save_file.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>
#include <algorithm>
#include <array>
#include <functional>
#include <optional>

namespace humidora {
namespace {

QString Html(const std::string& text)
{
    return QString::fromStdString(text).toHtmlEscaped();
}

/// How far the first page may be scaled down to hold long notes before they move to pages of their own.
constexpr double kSmallestNotesScale = 0.85;

const char* const kStyle = R"(
    body { font-family: 'Liberation Sans', 'Arial', sans-serif; font-size: 9.5pt; color: #000000; }
    h1 { font-size: 17pt; font-weight: bold; margin-top: 0px; margin-bottom: 2px; }
    h2 { font-size: 11pt; font-weight: bold; margin-top: 10px; margin-bottom: 5px; color: #1f3a5f; }
    p.product { font-size: 9pt; color: #555555; margin-bottom: 0px; }
    p.gap { font-size: 3pt; margin: 0px; }
    p.note { font-size: 8pt; color: #555555; margin-top: 10px; }
    table.data { border-collapse: collapse; }
    table.data th { background-color: #dfe5ec; font-weight: bold; text-align: left; border: 1px solid #8c99a6; }
    table.data td { border: 1px solid #b8c2cc; }
    td.number { text-align: right; }
    td.given { font-weight: bold; }
    td.refused { font-weight: bold; color: #b00000; }
    td.lines, td.uncertain { white-space: nowrap; }
    table.narrow td, table.narrow th { font-size: 8.5pt; }
    table.facts td { padding-right: 14px; }
    table.title { margin-bottom: 8px; }
    table.title td { padding-right: 14px; }
    td.project { font-size: 13pt; font-weight: bold; }
    td.notes, p.notes { white-space: pre-wrap; }
    table.report td { background-color: #fbe3e3; border: 1px solid #b00000; color: #7a0000; }
)";

/// Role of a quantity's box as the window shows it.
QString RoleOf(const ValueBox& box)
{
    if (box.background == Background::Red)
        return QStringLiteral("refused");
    return box.locked ? QString() : QStringLiteral("given");
}

QString QuantityRows(const AmbientControls& controls, const ReportDetails& details, std::size_t first,
    std::size_t last, bool ranges)
{
    const bool uncertain = !details.uncertainty_caption.empty();
    QString rows;
    for (std::size_t i = first; i <= last; ++i) {
        const Quantity& quantity = kQuantities[i];
        const ValueBox& box = controls.*quantity.box;
        const QString role = RoleOf(box);
        const QString value_class
            = role.isEmpty() ? QStringLiteral("number") : QStringLiteral("number %1").arg(role);
        rows += QStringLiteral("<tr><td>%1</td><td class=\"%2\">%3</td>")
                    .arg(QString::fromUtf8(quantity.long_caption).toHtmlEscaped(), value_class,
                        Html(box.text));
        if (uncertain) {
            const std::string& shown = details.uncertainty[i];
            const bool flagged = shown.size() >= 2 && shown.compare(shown.size() - 2, 2, " !") == 0;
            rows += QStringLiteral("<td class=\"%1\">%2</td>")
                        .arg(flagged ? QStringLiteral("number uncertain refused")
                                     : QStringLiteral("number uncertain"),
                            Html(shown));
        }
        rows += QStringLiteral("<td>%1</td>").arg(Html((controls.*quantity.list).text()));
        if (ranges) {
            rows += QStringLiteral(
                "<td class=\"number\">%1</td><td class=\"number\">%2</td><td class=\"%3\">%4</td>")
                        .arg(Html((controls.*quantity.minimum).caption),
                            Html((controls.*quantity.maximum).caption),
                            role == QLatin1String("refused") ? QStringLiteral("refused") : QString(), role);
        }
        rows += QStringLiteral("</tr>");
    }
    return rows;
}

QString QuantityTable(const AmbientControls& controls, const ReportDetails& details, std::size_t first,
    std::size_t last, bool ranges)
{
    // The same column widths in every table, so that values and units line up down the page (the
    // property table is narrower, its percentages are of its own width).
    const bool uncertain = !details.uncertainty_caption.empty();
    QString header;
    if (uncertain) {
        header = ranges
            ? QStringLiteral("<tr><th width=\"27%\">Quantity</th><th width=\"11%\">Value</th>"
                             "<th width=\"12%\">&#177; U</th><th width=\"22%\">Unit</th>"
                             "<th width=\"10%\">Minimum</th><th width=\"10%\">Maximum</th>"
                             "<th width=\"8%\">Input</th></tr>")
            : QStringLiteral("<tr><th width=\"38%\">Quantity</th><th width=\"15.5%\">Value</th>"
                             "<th width=\"16.9%\">&#177; U</th><th width=\"29.6%\">Unit</th></tr>");
    } else {
        header = ranges ? QStringLiteral("<tr><th width=\"33%\">Quantity</th><th width=\"12%\">Value</th>"
                                         "<th width=\"24%\">Unit</th><th width=\"11%\">Minimum</th>"
                                         "<th width=\"11%\">Maximum</th><th width=\"9%\">Input</th></tr>")
                        : QStringLiteral("<tr><th width=\"47.8%\">Quantity</th><th width=\"17.4%\">Value</th>"
                                         "<th width=\"34.8%\">Unit</th></tr>");
    }
    return QStringLiteral("<table class=\"%1\" width=\"%2\" cellpadding=\"3\" cellspacing=\"0\">%3%4</table>")
        .arg(uncertain ? QStringLiteral("data narrow") : QStringLiteral("data"),
            ranges ? QStringLiteral("100%") : (uncertain ? QStringLiteral("71%") : QStringLiteral("69%")),
            header, QuantityRows(controls, details, first, last, ranges));
}

QString CompositionSection(const AmbientControls& controls, const AmbientState& state)
{
    // The listing shows either the composition of an accepted run or, on red, why the run was refused
    // (empty before the first run): the report follows it.
    if (controls.List1.background == Background::Red || controls.List1.lines.empty()) {
        QStringList lines;
        for (const std::string& line : controls.List1.lines)
            lines << Html(line);
        return QStringLiteral("<p class=\"gap\">&nbsp;</p><h2>Calculation refused</h2>"
                              "<table class=\"report\" width=\"100%\" cellpadding=\"6\" cellspacing=\"0\">"
                              "<tr><td>%1</td></tr></table>"
                              "<p class=\"note\">The state could not be computed from these inputs; values "
                              "marked refused lie outside their allowed range, and \"Error\" marks what "
                              "depends on them.</p>")
            .arg(lines.join(QStringLiteral("<br>")));
    }
    QString table = QStringLiteral("<p class=\"gap\">&nbsp;</p><h2>Composition of the moist air</h2>"
                                   "<table class=\"data\" width=\"60%\" cellpadding=\"3\" cellspacing=\"0\">"
                                   "<tr><th width=\"34%\">Species</th><th width=\"33%\">% by volume</th>"
                                   "<th width=\"33%\">% by weight</th></tr>");
    for (const CompositionRow& row : CompositionRows(state)) {
        table
            += QStringLiteral("<tr><td>%1</td><td class=\"number\">%2</td><td class=\"number\">%3</td></tr>")
                   .arg(QString::fromUtf8(row.species), Html(row.volume), Html(row.weight));
    }
    return table + QStringLiteral("</table>");
}

/// Line breaks of any platform (notes typed elsewhere, or pasted) as the one the layout keeps.
QString LineBreaksAsNewlines(const std::string& text)
{
    return QString::fromStdString(text).replace(
        QRegularExpression(QStringLiteral("\r\n?")), QStringLiteral("\n"));
}

/// Project, engineer and notes, each only when given; the notes keep their line breaks.
QString TitleBlock(const ProjectProperties& properties)
{
    if (properties.empty())
        return {};
    // The project name in large type, its caption on the same baseline (the cell's foot); the other
    // captions beside the first line of their text.
    struct Row
    {
        const char* caption;
        const std::string& text;
        const char* style;
        const char* align;
    };
    const Row rows[] = { { "Project", properties.project, "project", "bottom" },
        { "Engineer", properties.engineer, "", "top" }, { "Notes", properties.notes, "notes", "top" } };
    QString html = QStringLiteral("<table class=\"title\" cellpadding=\"1\" cellspacing=\"0\">");
    for (const Row& row : rows) {
        if (row.text.empty())
            continue;
        const QString shown = LineBreaksAsNewlines(row.text);
        html += QStringLiteral("<tr><td valign=\"%1\"><b>%2</b></td><td class=\"%3\">%4</td></tr>")
                    .arg(QLatin1String(row.align), QLatin1String(row.caption), QLatin1String(row.style),
                        shown.toHtmlEscaped());
    }
    return html + QStringLiteral("</table><hr>");
}

QString UnitSystemOf(const AmbientControls& controls)
{
    if (controls.menu_metric)
        return QStringLiteral("Metric");
    if (controls.menu_british)
        return QStringLiteral("British");
    return QStringLiteral("Customized");
}

} // namespace

void AddStatePoints(ReportDetails& details, const StatePointsList& list, const AmbientInputs& units,
    const UncertaintySettings* uncertainty)
{
    details.points = list.Shown(units);
    details.processes = list.ShownProcessRows(units);
    if (!details.chart)
        return;
    chart::ChartPicture& picture = *details.chart;
    picture.overlay = chart::PointsOverlay(list, uncertainty, &units);
    // The chart's field holds the design: the first preset that holds every point and the window's
    // state, else the first that holds every point; the field stays when none does (or it holds them).
    const auto holds = [&picture](const chart::ChartField& field, bool with_marker) {
        const auto inside = [&field](chart::ChartPoint p) {
            return p.T_K >= field.t_min_K && p.T_K <= field.t_max_K && p.W >= field.w_min
                && p.W <= field.w_max;
        };
        return std::all_of(picture.overlay.points.begin(), picture.overlay.points.end(),
                   [&](const chart::OverlayPoint& point) { return inside(point.point); })
            && (!with_marker || !picture.marker || inside(*picture.marker));
    };
    if (!picture.lines || holds(picture.lines->setup.field, true))
        return;
    for (const bool with_marker : { true, false }) {
        for (const chart::ChartRange range :
            { chart::ChartRange::Normal, chart::ChartRange::Low, chart::ChartRange::High }) {
            const chart::ChartField field = chart::PresetField(range);
            if (!holds(field, with_marker))
                continue;
            chart::ChartSpec setup = picture.lines->setup;
            setup.field = field;
            picture.lines = std::make_shared<const chart::ChartLines>(chart::ComputeChartLines(setup));
            return;
        }
    }
}

void AddUncertainty(ReportDetails& details, const AmbientWindow& window)
{
    details.uncertainty_caption = window.UncertaintyCaption();
    for (std::size_t row = 0; row < kQuantities.size(); ++row)
        details.uncertainty[row] = window.UncertaintyLabel(kQuantities[row].boxNumber());
}

QPageSize::PageSizeId ReportPageSize(const QLocale& locale)
{
    if (locale.measurementSystem() == QLocale::ImperialUSSystem)
        return QPageSize::Letter;
    static constexpr std::array kLetterTerritories = { QLocale::UnitedStates, QLocale::Canada,
        QLocale::Mexico, QLocale::Philippines, QLocale::Chile, QLocale::Colombia, QLocale::Venezuela,
        QLocale::CostaRica, QLocale::Guatemala, QLocale::ElSalvador, QLocale::Nicaragua, QLocale::Panama,
        QLocale::DominicanRepublic, QLocale::PuertoRico };
    const bool letter = std::find(kLetterTerritories.begin(), kLetterTerritories.end(), locale.territory())
        != kLetterTerritories.end();
    return letter ? QPageSize::Letter : QPageSize::A4;
}

namespace {

/// The notes on pages of their own, when they are too long for the first page.
QString NotesHtml(const std::string& notes)
{
    return QStringLiteral("<html><head><style>%1</style></head><body><h2>Notes</h2><p class=\"notes\">%2</p>"
                          "</body></html>")
        .arg(QLatin1String(kStyle), LineBreaksAsNewlines(notes).toHtmlEscaped());
}

/// The facts under a heading: the calculation file, the date, the formulation and the unit system.
QString FactsHtml(const AmbientControls& controls, const ReportDetails& details)
{
    const QString formulation = controls.menu_IAPWS
        ? QStringLiteral("IAPWS (International Association for the Properties of Water and Steam)")
        : QStringLiteral("Hyland-Wexler Formulation (Recommended by ASHRAE)");
    const QString calculation
        = details.calculation.isEmpty() ? QStringLiteral("not saved") : details.calculation.toHtmlEscaped();
    return QStringLiteral("<table class=\"facts\" cellpadding=\"1\" cellspacing=\"0\">"
                          "<tr><td><b>Calculation</b></td><td>%1</td></tr>"
                          "<tr><td><b>Date</b></td><td>%2</td></tr>"
                          "<tr><td><b>Saturation formulation</b></td><td>%3</td></tr>"
                          "<tr><td><b>Unit system</b></td><td>%4</td></tr></table>")
        .arg(calculation, details.created.toString(QStringLiteral("yyyy-MM-dd HH:mm t")).toHtmlEscaped(),
            formulation.toHtmlEscaped(), UnitSystemOf(controls));
}

/// A table whose header row repeats at the top of every page it runs onto.
QString WithRepeatedHeader(QString table)
{
    const qsizetype end = table.indexOf(QStringLiteral("</tr>"));
    if (end < 0)
        return table;
    table.insert(end + 5, QStringLiteral("</thead>"));
    table.insert(table.indexOf(QStringLiteral("<tr>")), QStringLiteral("<thead>"));
    return table;
}

/// The state points and the processes with their loads.
QString DesignTables(const ReportDetails& details)
{
    // Each unit on a line of its own under its caption, so that nine columns fit.
    QString html = QStringLiteral("<h2>State points</h2>")
        + WithRepeatedHeader(
            QString::fromStdString(HtmlTable(details.points.header, details.points.rows))
                .replace(QStringLiteral("<table>"),
                    QStringLiteral("<table class=\"data\" cellpadding=\"2\" cellspacing=\"0\">"))
                .replace(QStringLiteral("</th>"), QStringLiteral("</th>\n"))
                .replace(QRegularExpression(QStringLiteral("(<th>[^<]*) \\(")), QStringLiteral("\\1<br>(")));
    if (details.processes.empty())
        return html;
    // A parameter or load per line, none broken inside: a number split over two lines misreads, and the
    // layout would break ".5272" after its point.
    const auto lines = [](const std::vector<LoadLine>& shown) {
        QStringList texts;
        for (const LoadLine& line : shown)
            texts << Html(LineText(line));
        return texts.join(QStringLiteral("<br>"));
    };
    html += QStringLiteral("<h2>Processes</h2><table class=\"data\" cellpadding=\"2\" cellspacing=\"0\">"
                           "<thead><tr><th>Process</th><th>From</th><th>To</th><th>Parameters</th>"
                           "<th>Loads</th></tr></thead>");
    for (const ProcessRow& row : details.processes) {
        const QString loads = row.refusal.empty()
            ? QStringLiteral("<td class=\"lines\">%1</td>").arg(lines(row.loads))
            : QStringLiteral("<td class=\"refused\">%1</td>").arg(Html(row.refusal));
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td class=\"lines\">%4</td>%5</tr>")
                    .arg(Html(row.kind), Html(row.from), Html(row.to), lines(row.parameters), loads);
    }
    return html + QStringLiteral("</table>");
}

/// What the chart shows, under it.
QString ChartCaption(const ReportDetails& details)
{
    if (!details.chart)
        return {};
    QString caption;
    if (details.design()) {
        caption = details.chart->marker
            ? QStringLiteral(
                "The red point marks the state of the main window, given in full after the design.")
            : QStringLiteral("The state of the main window was refused; the chart marks no point for it.");
    } else {
        caption = details.chart->marker
            ? QStringLiteral("The red point marks the state of the first page.")
            : QStringLiteral("The state of the first page was refused; the chart marks no point.");
    }
    const bool regions = !details.chart->marker_region.empty()
        || std::any_of(details.chart->overlay.points.begin(), details.chart->overlay.points.end(),
            [](const chart::OverlayPoint& point) { return !point.region.empty(); });
    if (regions)
        caption
            += QStringLiteral(" The ellipse about a state is the region that holds its dry bulb and "
                              "humidity ratio together with a probability of 95 %, from their measurement "
                              "uncertainty.");
    if (!details.chart->overlay.guides.empty())
        caption += QStringLiteral(" A dashed line carries a coil's process on to its apparatus dew point "
                                  "(ADP) on the saturation curve.");
    return caption;
}

} // namespace

QString ReportHtml(const AmbientControls& controls, const AmbientState& state, const ReportDetails& details)
{
    QString html = QStringLiteral("<html><head><style>%1</style></head><body>").arg(QLatin1String(kStyle));
    html += TitleBlock(details.properties);
    html += QStringLiteral("<p class=\"product\">%1 &#183; Psychrometric calculator of moist air</p>")
                .arg(QString::fromUtf8(kProductTitle).toHtmlEscaped());
    html += QStringLiteral("<h1>Moist-Air State Report</h1><hr>");
    html += FactsHtml(controls, details);
    if (!details.uncertainty_caption.empty()) {
        html += QStringLiteral("<p>Measurement uncertainty: %1. Each value is given with its expanded "
                               "uncertainty U in its unit; ! marks an interval that reaches beyond the "
                               "quantity's range.</p>")
                    .arg(Html(details.uncertainty_caption));
    }
    html += QStringLiteral("<h2>Ambient conditions</h2>")
        + QuantityTable(controls, details, 0, kFirstHumidityRow - 1, true);
    html += QStringLiteral("<p class=\"gap\">&nbsp;</p><h2>Humidity parameters</h2>")
        + QuantityTable(controls, details, kFirstHumidityRow, kFirstPropertyRow - 1, true);
    html += QStringLiteral("<p class=\"gap\">&nbsp;</p><h2>Other properties</h2>")
        + QuantityTable(controls, details, kFirstPropertyRow, kQuantities.size() - 1, false);
    html += CompositionSection(controls, state);
    html
        += QStringLiteral("<p class=\"note\">Values as shown by %1. The three inputs marked given were "
                          "entered by the user; every other value is computed from them. Minimum and maximum "
                          "are the range each input may take at this state, in its unit. %2</p>")
               .arg(QString::fromUtf8(kProductTitle).toHtmlEscaped(),
                   QString::fromUtf8(kWebAddress).toHtmlEscaped());
    return html + QStringLiteral("</body></html>");
}

chart::ChartPicture ReportChart(const AmbientWindow& window)
{
    chart::ChartModel model;
    model.Follow(window);
    if (model.marker())
        model.SetRange(chart::RangeHolding(*model.marker()));
    return model.Picture();
}

QString DesignHtml(const AmbientControls& controls, const ReportDetails& details)
{
    QString html = QStringLiteral("<html><head><style>%1 table.data td, table.data th { font-size: 7.5pt; }"
                                  "</style></head><body>")
                       .arg(QLatin1String(kStyle));
    html += TitleBlock(details.properties);
    html += QStringLiteral("<p class=\"product\">%1 &#183; Psychrometric calculator of moist air</p>")
                .arg(QString::fromUtf8(kProductTitle).toHtmlEscaped());
    html += QStringLiteral("<h1>Air-Side Design Report</h1><hr>") + FactsHtml(controls, details);
    if (details.chart) {
        html += QStringLiteral("<p class=\"gap\">&nbsp;</p><p>%1</p><p class=\"note\">%2</p>")
                    .arg(QLatin1String(kChartPlace), ChartCaption(details).toHtmlEscaped());
    }
    return html + DesignTables(details) + QStringLiteral("</body></html>");
}

namespace {

/// The name of the image that holds the chart's place in the design's text.
const QString kChartImage = QStringLiteral("humidora-chart-place");

/// Replaces the chart's place in `document` by an empty image of the chart's size, so that the layout
/// leaves room for it (and moves it whole to the next page when it does not fit).
void MakeRoomForChart(QTextDocument& document, const QSizeF& size, double dpi)
{
    QTextCursor place = document.find(QLatin1String(kChartPlace));
    if (place.isNull())
        return;
    QImage empty(1, 1, QImage::Format_ARGB32);
    empty.fill(Qt::transparent);
    document.addResource(QTextDocument::ImageResource, QUrl(kChartImage), QVariant(empty));
    place.removeSelectedText();
    QTextImageFormat image;
    image.setName(kChartImage);
    // The layout takes an image's size in pixels of a screen of the default 96 dots per inch and scales it
    // to the device.
    image.setWidth(size.width() * 96 / dpi);
    image.setHeight(size.height() * 96 / dpi);
    place.insertImage(image);
}

/// Where the layout put the chart's image, in the coordinates of the whole (paginated) document.
std::optional<QRectF> ChartPlace(const QTextDocument& document, const QSizeF& size)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()
                || fragment.charFormat().toImageFormat().name() != kChartImage)
                continue;
            const QRectF bounds = document.documentLayout()->blockBoundingRect(block);
            const int at = fragment.position() - block.position();
            const QTextLine line = block.layout()->lineForTextPosition(at);
            if (!line.isValid())
                return std::nullopt;
            // The image stands on the line's baseline.
            return QRectF(QPointF(bounds.left() + line.cursorToX(at),
                              bounds.top() + line.y() + line.ascent() - size.height()),
                size);
        }
    }
    return std::nullopt;
}

} // namespace

QString WriteReport(const QString& path, const AmbientControls& controls, const AmbientState& state,
    const ReportDetails& details)
{
    const QString name = QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(path));
    auto failed = [&name](const QString& reason) {
        return QStringLiteral(
            "Could not write the report %1: %2. Any earlier file of that name is unchanged.")
            .arg(name, reason);
    };

    // The PDF is made in memory and saved in one piece: the PDF writer stops writing silently after a
    // failed write, so a file written by it directly could not be trusted to be complete.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QStringLiteral("%1 %2").arg(QString::fromUtf8(kProductTitle),
            details.design() ? QStringLiteral("air-side design report")
                             : QStringLiteral("moist-air state report")));
        pdf.setCreator(QString::fromUtf8(kProductTitle));
        pdf.setResolution(300);
        pdf.setPageSize(QPageSize(details.page));
        pdf.setPageMargins(QMarginsF(18, 16, 18, 16), QPageLayout::Millimeter);

        const double width = pdf.width();
        // The foot of every page carries its number: the text above it keeps clear of it.
        QFont foot_font(QStringLiteral("Liberation Sans"));
        foot_font.setPointSizeF(8);
        const double foot = QFontMetricsF(foot_font, &pdf).height() * 2;
        const double height = pdf.height() - foot;
        const double chart_height = width / 1.45;
        const auto newDocument = [&pdf](QTextDocument& document, const QString& html) {
            document.documentLayout()->setPaintDevice(&pdf);
            document.setDocumentMargin(0);
            document.setHtml(html);
        };
        // One page: the text is laid out to the page width and, should it still run long, scaled down
        // as a whole (with a wider layout width, so that the scaled text fills the page width again).
        const auto fitToPage = [width, height](QTextDocument& document) {
            double scale = 1;
            document.setTextWidth(width);
            for (int pass = 0; pass < 4; ++pass) {
                const double needed = document.size().height() * scale;
                if (needed <= height)
                    break;
                scale *= height / needed * 0.995;
                document.setTextWidth(width / scale);
            }
            return scale;
        };
        // A document over as many pages as it needs, never a line cut between two.
        const auto paginate = [width, height](QTextDocument& document) {
            document.setTextWidth(width);
            document.setPageSize(QSizeF(width, height));
            return document.pageCount();
        };

        // The pages in order, each a painting of its content; counted first, so that each can say
        // "Page 2 of 3".
        std::vector<std::function<void(QPainter&)>> pages;

        // The design: title block, chart, points and processes.
        QTextDocument design;
        std::optional<QRectF> chart_place;
        if (details.design()) {
            newDocument(design, DesignHtml(controls, details));
            if (details.chart)
                MakeRoomForChart(design, QSizeF(width, chart_height), pdf.logicalDpiY());
            const int count = paginate(design);
            if (details.chart)
                chart_place = ChartPlace(design, QSizeF(width, chart_height));
            for (int page = 0; page < count; ++page) {
                pages.push_back([&design, &details, chart_place, page, width, height](QPainter& painter) {
                    painter.save();
                    painter.translate(0, -page * height);
                    design.drawContents(&painter, QRectF(0, page * height, width, height));
                    if (chart_place && chart_place->top() >= page * height
                        && chart_place->top() < (page + 1) * height)
                        PaintChartInto(painter, *chart_place, *details.chart);
                    painter.restore();
                });
            }
        }

        // The main window's state on one page; without a design its notes, when too long for that page at
        // a readable size, get pages of their own at the end.
        ReportDetails window_details = details;
        if (details.design())
            window_details.properties = {}; // the design's pages carry the title block
        QTextDocument window_page;
        newDocument(window_page, ReportHtml(controls, state, window_details));
        double scale = fitToPage(window_page);
        const bool notes_apart
            = !details.design() && !details.properties.notes.empty() && scale < kSmallestNotesScale;
        if (notes_apart) {
            window_details.properties.notes = "On the last pages of this report.";
            newDocument(window_page, ReportHtml(controls, state, window_details));
            scale = fitToPage(window_page);
        }
        pages.push_back([&window_page, scale](QPainter& painter) {
            painter.save();
            painter.scale(scale, scale);
            window_page.drawContents(&painter);
            painter.restore();
        });

        // Without a design, the chart with the state point follows on a page of its own.
        if (details.chart && !details.design()) {
            pages.push_back([&details, width, chart_height](QPainter& painter) {
                PaintChartInto(painter, QRectF(0, 0, width, chart_height), *details.chart);
                QFont font(QStringLiteral("Liberation Sans"));
                font.setPointSizeF(9.5);
                painter.setFont(font);
                painter.setPen(Qt::black);
                painter.drawText(QRectF(0, chart_height + width * 0.02, width, width * 0.2), Qt::TextWordWrap,
                    ChartCaption(details));
            });
        }

        QTextDocument notes;
        if (notes_apart) {
            newDocument(notes, NotesHtml(details.properties.notes));
            const int count = paginate(notes);
            for (int page = 0; page < count; ++page) {
                pages.push_back([&notes, page, width, height](QPainter& painter) {
                    painter.save();
                    painter.translate(0, -page * height);
                    notes.drawContents(&painter, QRectF(0, page * height, width, height));
                    painter.restore();
                });
            }
        }

        QPainter painter;
        if (!painter.begin(&pdf))
            return failed(QStringLiteral("the PDF could not be started"));
        const QString project = QString::fromStdString(details.properties.project).simplified();
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (i > 0 && !pdf.newPage())
                return failed(QStringLiteral("page %1 could not be started").arg(i + 1));
            pages[i](painter);
            painter.setFont(foot_font);
            painter.setPen(QColor(85, 85, 85));
            const QRectF band(0, pdf.height() - foot / 2, width, foot / 2);
            painter.drawText(band, Qt::AlignLeft | Qt::AlignBottom,
                project.isEmpty()
                    ? QString::fromUtf8(kProductTitle)
                    : QStringLiteral("%1 \u00b7 %2").arg(QString::fromUtf8(kProductTitle), project));
            painter.drawText(band, Qt::AlignRight | Qt::AlignBottom,
                QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages.size()));
        }
        painter.end();
    }
    const QString reason = SaveBytes(path, buffer.data());
    if (!reason.isEmpty())
        return failed(reason);
    return {};
}

} // namespace humidora
