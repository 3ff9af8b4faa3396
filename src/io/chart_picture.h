// Pictures of the psychrometric chart: one painter for the window, the exported PNG, SVG and PDF, the
// printout, the clipboard and the report's chart page, so that every picture of a chart is the same.
#pragma once

#include "chart/chart_model.h"

#include <QImage>
#include <QSize>
#include <QString>

class QPainter;

namespace humidora {

/// Paints picture into the rectangle (0, 0, size) of painter's device, in the device's pixels, as a
/// printed chart: white paper, the grid, the line families with their labels at their ends, the scales,
/// the title, the legend, the overlay and the state marker.
void PaintChart(QPainter& painter, const QSizeF& size, const chart::ChartPicture& picture);

/// Paints picture into target of a high-resolution device (paper, PDF page) as it looks at a window's
/// size: drawn at 900 pixels across and scaled to the target's width, so that texts keep their
/// proportions to the chart.
void PaintChartInto(QPainter& painter, const QRectF& target, const chart::ChartPicture& picture);

/// The picture as an image of size pixels.
QImage ChartImage(const chart::ChartPicture& picture, const QSize& size);

/// The formats a chart is exported in, by the suffix of the file name: "png", "svg", "pdf".
bool IsChartFormat(const QString& path);

/// The sizes a picture of the chart may have: 200 x 150 pixels at least (room for its scales), 8000 x 8000
/// at most (an image of that size takes 256 MB).
inline constexpr QSize kSmallestChart { 200, 150 };
inline constexpr QSize kLargestChart { 8000, 8000 };
bool IsChartSize(const QSize& size);

/// Writes the picture to path as a PNG image of size pixels, an SVG drawing of that size, or a one-page
/// PDF of that size (at 96 pixels to the inch), atomically like every file the program writes. Returns
/// an empty text on success, else a message naming the file and the reason.
QString ExportChart(const QString& path, const chart::ChartPicture& picture, const QSize& size);

} // namespace humidora
