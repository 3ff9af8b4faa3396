// The calculation report: one page of PDF that shows the main window's state as an engineer files it
// with a project: what was given, every quantity with its unit and allowed range, the properties, the
// composition of the air, or the refusal when the state could not be computed. Drawn as text, so it is
// selectable and sharp at any zoom. Needs a QGuiApplication (fonts); the command line creates one on
// the offscreen platform.
#pragma once

#include "calc/ambient_controls.h"
#include "calc/ambient_state.h"
#include "calc/project_properties.h"
#include "calc/state_points_list.h"
#include "chart/chart_model.h"

#include <QDateTime>
#include <QLocale>
#include <QPageSize>
#include <QString>

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
};

/// The report's chart of the window's state: the window's pressure, formulation and system, on the
/// first preset field that holds the state.
chart::ChartPicture ReportChart(const AmbientWindow& window);

/// The state points and processes of `list` in the report, in the window's units `units`: their tables
/// under the chart, and drawn on the chart (when there is one).
void AddStatePoints(ReportDetails& details, const StatePointsList& list, const AmbientInputs& units);

/// Letter where it is the usual office paper (the United States, Canada, Mexico and a few neighbours of
/// theirs, and any locale with US customary units), A4 everywhere else.
QPageSize::PageSizeId ReportPageSize(const QLocale& locale);

/// The report as a rich-text document (the subset of HTML that QTextDocument lays out): the window's
/// `controls` and, unless the listing shows a refusal, the composition of `state` (the window's record of
/// the same run).
QString ReportHtml(const AmbientControls& controls, const AmbientState& state, const ReportDetails& details);

/// Writes the report as a PDF, the window on one page and the chart (when given) on a second one, at `path`,
/// atomically like a calculation file (an earlier file of that name stays as it was when writing fails).
/// Returns an empty text on success, else a message that names the file and the reason.
QString WriteReport(const QString& path, const AmbientControls& controls, const AmbientState& state,
    const ReportDetails& details);

} // namespace humidora
