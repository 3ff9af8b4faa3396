// The calculation report: a PDF as an engineer files it with a project. When the calculation has state
// points or processes it leads with the design: the title block, the chart with the points and processes,
// and their tables with the loads, over as many pages as they take. The main window's state follows on a
// page of its own: what was given, every quantity with its unit, allowed range and (when switched on) its
// measurement uncertainty, the properties, the composition of the air, or the refusal when the state
// could not be computed. Every page is numbered "Page 2 of 3". Drawn as text, so it is selectable and
// sharp at any zoom. Needs a QGuiApplication (fonts); the command line creates one on the offscreen
// platform.
#pragma once

#include "calc/ambient/ambient_state.h"
#include "calc/document/project_properties.h"
#include "calc/points/state_points_list.h"
#include "calc/units/ambient_controls.h"
#include "chart/chart_model.h"

#include <QDateTime>
#include <QLocale>
#include <QPageSize>
#include <QString>
#include <array>
#include <string>

namespace humidora {

/// What the report shows besides the window's controls.
struct ReportDetails
{
    ProjectProperties properties; ///< the title block (File > Properties); left out when empty
    QString calculation;          ///< file name of the saved calculation, empty when it was never saved
    QDateTime created;            ///< date and time printed on the report
    QPageSize::PageSizeId page = QPageSize::A4;
    /// The chart with the state point, drawn on a second page; none gives a one-page report.
    std::optional<chart::ChartPicture> chart;
    /// The state points and the processes with their loads, as the "State Points" window shows them,
    /// under the chart (whose overlay draws them); empty tables are left out.
    TextTable points;
    std::vector<ProcessRow> processes;
    /// What the main window shows beside each quantity of kQuantities while its measurement uncertainty
    /// is on ("± 0.74", with " !" where the interval leaves the range), and the caption over them ("± U
    /// (k = 2, about 95 %)"); an empty caption leaves the uncertainty out.
    std::array<std::string, 16> uncertainty;
    std::string uncertainty_caption;

    /// True when the report leads with the design (there are state points or processes).
    bool design() const { return !points.rows.empty() || !processes.empty(); }
};

/// The report's chart of the window's state: the window's pressure, formulation and system, on the
/// first preset field that holds the state.
chart::ChartPicture ReportChart(const AmbientWindow& window);

/// The state points and processes of `list` in the report, in the window's units `units`: their tables
/// under the chart, and drawn on the chart (when there is one), each measured point with its 95 % region
/// while `uncertainty` is on.
void AddStatePoints(ReportDetails& details, const StatePointsList& list, const AmbientInputs& units,
    const UncertaintySettings* uncertainty = nullptr);

/// The measurement uncertainty of `window`'s state as the window shows it (nothing while it is off).
void AddUncertainty(ReportDetails& details, const AmbientWindow& window);

/// Letter where it is the usual office paper (the United States, Canada, Mexico and a few neighbours of
/// theirs, and any locale with US customary units), A4 everywhere else.
QPageSize::PageSizeId ReportPageSize(const QLocale& locale);

/// The report as a rich-text document (the subset of HTML that QTextDocument lays out): the window's
/// `controls` and, unless the listing shows a refusal, the composition of `state` (the window's record of
/// the same run).
QString ReportHtml(const AmbientControls& controls, const AmbientState& state, const ReportDetails& details);

/// The design pages as a rich-text document: title block, heading, the place of the chart (the text
/// kChartPlace, which the writer replaces by the chart) and the tables of the points and processes.
QString DesignHtml(const AmbientControls& controls, const ReportDetails& details);
inline constexpr const char* kChartPlace = "[chart]";

/// Writes the report as a PDF at `path`: the design (when there is one) with the chart, then the window
/// on one page and, without a design, the chart (when given) on the next one, every page numbered;
/// atomically like a calculation file (an earlier file of that name stays as it was when writing fails).
/// Returns an empty text on success, else a message that names the file and the reason.
QString WriteReport(const QString& path, const AmbientControls& controls, const AmbientState& state,
    const ReportDetails& details);

} // namespace humidora
