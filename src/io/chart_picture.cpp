#include "io/chart_picture.h"

#include "calc/points/air_process.h"
#include "chart/label_placer.h"
#include "io/save_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <map>

namespace humidora {
namespace {

using chart::ChartAxes;
using chart::ChartLine;
using chart::ChartPicture;
using chart::ChartPoint;
using chart::LineFamily;

struct LineStyle
{
    QColor colour;
    double width; // pixels at scale 1
    Qt::PenStyle pen;
};

LineStyle StyleOf(LineFamily family)
{
    switch (family) {
    case LineFamily::Saturation:
        return { QColor(20, 20, 20), 1.8, Qt::SolidLine };
    case LineFamily::RelativeHumidity:
        return { QColor(46, 125, 50), 0.9, Qt::SolidLine };
    case LineFamily::WetBulb:
        return { QColor(21, 101, 192), 0.8, Qt::DashLine };
    case LineFamily::Enthalpy:
        return { QColor(183, 28, 28), 0.8, Qt::SolidLine };
    case LineFamily::SpecificVolume:
        return { QColor(106, 27, 154), 0.8, Qt::SolidLine };
    case LineFamily::DryBulb:
    case LineFamily::HumidityRatio:
        break;
    }
    return { QColor(190, 190, 190), 0.6, Qt::SolidLine };
}

const QColor kInk(30, 30, 30);
const QColor kMarkerColour(211, 47, 47);
const QColor kOverlayColour(38, 50, 56);
const QColor kArrowColour(230, 108, 0);

QString ValueText(double value)
{
    // Labels are whole numbers or steps like 0.85: at most 9 decimals, never an exponent.
    return QString::number(std::round(value * 1e9) / 1e9, 'g', 12);
}

QFont ChartFont(double pixels, bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    font.setBold(bold);
    return font;
}

class ChartPainter
{
public:
    ChartPainter(QPainter& painter, const QSizeF& size, const ChartPicture& picture)
        : p_(painter)
        , size_(size)
        , picture_(picture)
        , layout_(chart::LayoutFor(size.width(), size.height()))
        , axes_(picture.lines->setup.field, layout_.plot)
        , s_(layout_.scale)
        , plot_(layout_.plot.left, layout_.plot.top, layout_.plot.width, layout_.plot.height)
    {
    }

    void Paint()
    {
        p_.save();
        p_.setRenderHint(QPainter::Antialiasing);
        p_.setRenderHint(QPainter::TextAntialiasing);
        p_.fillRect(QRectF(QPointF(0, 0), size_), Qt::white);
        p_.save();
        p_.setClipRect(plot_);
        for (const LineFamily family : { LineFamily::DryBulb, LineFamily::HumidityRatio,
                 LineFamily::SpecificVolume, LineFamily::Enthalpy, LineFamily::WetBulb,
                 LineFamily::RelativeHumidity, LineFamily::Saturation }) {
            for (const ChartLine& line : picture_.lines->lines) {
                if (line.family == family)
                    DrawLine(line);
            }
        }
        p_.restore();
        p_.setPen(QPen(kInk, 1.2 * s_));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(plot_);
        DrawScales();
        DrawLineLabels();
        DrawData();
        DrawOverlay();
        DrawMarker();
        DrawTexts();
        p_.restore();
    }

private:
    QPointF At(ChartPoint point) const
    {
        const chart::PixelPoint pixel = axes_.ToPixel(point);
        return { pixel.x, pixel.y };
    }

    QPolygonF Polyline(const ChartLine& line) const
    {
        QPolygonF polyline;
        polyline.reserve(static_cast<qsizetype>(line.points.size()));
        for (const ChartPoint& point : line.points)
            polyline << At(point);
        return polyline;
    }

    void DrawLine(const ChartLine& line)
    {
        const LineStyle style = StyleOf(line.family);
        // The thin families stay at most one device pixel wide however large the picture: the raster
        // engine draws such lines directly instead of stroking them as outlines, which keeps a full-size
        // chart within a frame's time; the saturation curve keeps its weight.
        const double width
            = line.family == LineFamily::Saturation ? style.width * s_ : std::min(1.0, style.width * s_);
        QPen pen(style.colour, width, style.pen);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::RoundJoin);
        p_.setPen(pen);
        p_.drawPolyline(Polyline(line));
    }

    // The labels' fonts with their metrics, made once per picture: looking a font up costs more than
    // drawing its text.
    struct LabelFont
    {
        QFont font;
        QFontMetricsF metrics;
    };
    const LabelFont& FontOf(double pixels)
    {
        const long key = std::lround(pixels * 16);
        auto found = fonts_.find(key);
        if (found == fonts_.end()) {
            const QFont font = ChartFont(pixels);
            found = fonts_.emplace(key, LabelFont { font, QFontMetricsF(font) }).first;
        }
        return found->second;
    }

    // A text centred at `at`, turned by angle degrees, on a white ground so that lines do not cross it.
    void Label(const QString& text, QPointF at, double angle, const QColor& colour, double pixels)
    {
        // A label that would run off the paper's left edge (the enthalpy scale of a cold field) is left out.
        if (at.x() < 10 * s_)
            return;
        const LabelFont& font = FontOf(pixels);
        const double width = font.metrics.horizontalAdvance(text);
        const double margin = 1.5 * s_;
        p_.save();
        p_.translate(at);
        p_.rotate(angle);
        p_.fillRect(QRectF(-width / 2 - margin, -font.metrics.height() / 2, width + 2 * margin,
                        font.metrics.height()),
            QColor(255, 255, 255, 225));
        p_.setFont(font.font);
        p_.setPen(colour);
        p_.drawText(QPointF(-width / 2, (font.metrics.ascent() - font.metrics.descent()) / 2), text);
        p_.restore();
    }

    // The point at share (0..1) of a polyline's length, with the direction of its segment in degrees,
    // turned so that text along it reads from left to right.
    static std::pair<QPointF, double> Along(const QPolygonF& polyline, double share)
    {
        double length = 0;
        for (qsizetype i = 1; i < polyline.size(); ++i)
            length += QLineF(polyline[i - 1], polyline[i]).length();
        double left = length * share;
        for (qsizetype i = 1; i < polyline.size(); ++i) {
            const QLineF segment(polyline[i - 1], polyline[i]);
            if (left <= segment.length() || i + 1 == polyline.size()) {
                const double t = segment.length() > 0 ? std::min(1.0, left / segment.length()) : 0;
                double angle = std::remainder(-segment.angle(), 180.0);
                if (angle == -90)
                    angle = 90;
                return { segment.pointAt(t), angle };
            }
            left -= segment.length();
        }
        return { polyline.value(0), 0 };
    }

    // A line whose saturation end lies outside the field (a zoomed or high chart) enters it from an edge:
    // its value is written along it a little inside that edge, so that no line goes unnamed.
    void LabelAtEntry(const ChartLine& line, const QPolygonF& polyline, const QColor& colour, double pixels)
    {
        double length = 0;
        for (qsizetype i = 1; i < polyline.size(); ++i)
            length += QLineF(polyline[i - 1], polyline[i]).length();
        if (length < 60 * s_)
            return; // a corner cut too short to carry a label
        const auto [at, angle] = Along(polyline, 30 * s_ / length);
        Label(ValueText(line.value), at, angle, colour, pixels);
    }

    bool OnSaturation(const ChartLine& line) const
    {
        const ChartPoint start = line.points.front();
        const auto saturated = SaturationHumidityRatio(
            start.T_K, { picture_.lines->setup.pressure_Pa, picture_.lines->setup.method });
        return saturated && std::fabs(At({ start.T_K, *saturated }).y() - At(start).y()) < 0.5;
    }

    void DrawLineLabels()
    {
        const double pixels = 10.5 * s_;
        // On a wide field the enthalpy lines crowd along the curve: then every other value is written.
        std::vector<double> enthalpies;
        for (const ChartLine& line : picture_.lines->lines) {
            if (line.family == LineFamily::Enthalpy)
                enthalpies.push_back(line.value);
        }
        const bool every_other = enthalpies.size() > 25;
        const double enthalpy_step = enthalpies.size() > 1 ? enthalpies[1] - enthalpies[0] : 1;
        for (const ChartLine& line : picture_.lines->lines) {
            const QPolygonF polyline = Polyline(line);
            const QColor colour = StyleOf(line.family).colour;
            switch (line.family) {
            case LineFamily::Saturation: {
                const auto [at, angle] = Along(polyline, 0.9);
                Label(QStringLiteral("100%"), at, angle, colour, pixels);
                break;
            }
            case LineFamily::RelativeHumidity: {
                const auto [at, angle] = Along(polyline, 0.78);
                Label(ValueText(line.value) + QLatin1Char('%'), at, angle, colour, pixels);
                break;
            }
            case LineFamily::WetBulb:
                // Just below the saturation curve, where the wet bulb equals the dry bulb; the enthalpy
                // scale has the other side of the curve.
                if (OnSaturation(line) && polyline.size() > 1) {
                    QLineF in(polyline[0], polyline[1]);
                    in.setLength(20 * s_);
                    const auto [at, angle] = Along(QPolygonF({ polyline[0], in.p2() }), 1);
                    Label(ValueText(line.value), at, angle, colour, pixels * 0.92);
                } else {
                    LabelAtEntry(line, polyline, colour, pixels * 0.92);
                }
                break;
            case LineFamily::Enthalpy:
                // The enthalpy scale along the saturation side: each line carried on beyond the curve.
                if (OnSaturation(line) && polyline.size() > 1
                    && (!every_other || std::fabs(std::remainder(line.value, 2 * enthalpy_step)) < 1e-6)) {
                    QLineF out(polyline[0], polyline[1]);
                    out.setLength(-14 * s_);
                    p_.setPen(QPen(colour, 0.8 * s_));
                    p_.drawLine(out);
                    QLineF further(polyline[0], polyline[1]);
                    further.setLength(-26 * s_);
                    Label(ValueText(line.value), further.p2(), 0, colour, pixels * 0.92);
                } else if (!OnSaturation(line)
                    && (!every_other || std::fabs(std::remainder(line.value, 2 * enthalpy_step)) < 1e-6)) {
                    LabelAtEntry(line, polyline, colour, pixels * 0.92);
                }
                break;
            case LineFamily::SpecificVolume: {
                const auto [at, angle] = Along(polyline, 0.93);
                Label(ValueText(line.value), at, angle, colour, pixels * 0.92);
                break;
            }
            case LineFamily::DryBulb:
            case LineFamily::HumidityRatio:
                break;
            }
        }
    }

    // Every grid value is a tick; when they crowd, every other one is labelled.
    // The scales: a short tick at every grid line, a longer one with its value at every multiple of
    // the label step along the whole axis (also above the saturation curve, where no grid line runs).
    void DrawScales()
    {
        p_.setFont(ChartFont(11 * s_));
        p_.setPen(QPen(kInk, 1 * s_));
        const chart::ChartSpec& setup = picture_.lines->setup;
        const chart::ChartField& f = setup.field;
        const double bottom = plot_.bottom();
        const double right = plot_.right();
        for (const ChartLine& line : picture_.lines->lines) {
            if (line.family == LineFamily::DryBulb) {
                const double x = At(line.points.front()).x();
                p_.drawLine(QPointF(x, bottom), QPointF(x, bottom + 3 * s_));
            } else if (line.family == LineFamily::HumidityRatio) {
                const double y = At(line.points.back()).y();
                p_.drawLine(QPointF(right, y), QPointF(right + 3 * s_, y));
            }
        }
        const double t_low = chart::DryBulbShown(f.t_min_K, setup.system);
        const double t_high = chart::DryBulbShown(f.t_max_K, setup.system);
        const double t_step = chart::LabelStep(t_high - t_low);
        for (double k = std::ceil(t_low / t_step - 1e-9); k * t_step <= t_high + t_step * 1e-9; ++k) {
            const double x = At({ chart::DryBulbKelvin(k * t_step, setup.system), f.w_min }).x();
            p_.drawLine(QPointF(x, bottom), QPointF(x, bottom + 5 * s_));
            p_.drawText(QRectF(x - 30 * s_, bottom + 5 * s_, 60 * s_, 16 * s_),
                Qt::AlignHCenter | Qt::AlignTop, ValueText(k * t_step));
        }
        const double w_low = chart::HumidityRatioShown(f.w_min, setup.system);
        const double w_high = chart::HumidityRatioShown(f.w_max, setup.system);
        const double w_step = chart::LabelStep(w_high - w_low);
        for (double k = std::ceil(w_low / w_step - 1e-9); k * w_step <= w_high + w_step * 1e-9; ++k) {
            const double y = At({ f.t_max_K, chart::HumidityRatioFromShown(k * w_step, setup.system) }).y();
            p_.drawLine(QPointF(right, y), QPointF(right + 5 * s_, y));
            p_.drawText(QRectF(right + 6 * s_, y - 8 * s_, 60 * s_, 16 * s_),
                Qt::AlignLeft | Qt::AlignVCenter, ValueText(k * w_step));
        }
    }

    // The 95 % region of a state: a translucent ellipse with its outline, under the dot it belongs to.
    void DrawRegion(const std::vector<ChartPoint>& region, const QColor& colour)
    {
        if (region.empty())
            return;
        QPolygonF outline;
        for (const ChartPoint& point : region)
            outline << At(point);
        QColor fill = colour;
        fill.setAlpha(40);
        p_.setPen(QPen(colour, 1.2 * s_, Qt::SolidLine));
        p_.setBrush(fill);
        p_.drawPolygon(outline);
    }

    void DrawMarker()
    {
        if (!picture_.marker)
            return;
        const QPointF at = At(*picture_.marker);
        p_.save();
        p_.setClipRect(plot_);
        DrawRegion(picture_.marker_region, kMarkerColour);
        p_.restore();
        if (!plot_.adjusted(-1, -1, 1, 1).contains(at))
            return;
        p_.setPen(QPen(Qt::white, 1.6 * s_));
        p_.setBrush(kMarkerColour);
        p_.drawEllipse(at, 5.5 * s_, 5.5 * s_);
        p_.setPen(QPen(kMarkerColour, 1.2 * s_));
        p_.setBrush(Qt::NoBrush);
        p_.drawEllipse(at, chart::kMarkerRingRadius * s_, chart::kMarkerRingRadius * s_);
    }

    // The colour of a share (0..1] of the largest cell count: from pale blue through green and yellow to
    // red, so that the few hours of the extremes stay visible beside the many of the usual weather.
    static QColor DensityColour(double share)
    {
        static const QColor stops[] = { QColor(198, 219, 239), QColor(65, 182, 196), QColor(120, 198, 121),
            QColor(254, 217, 118), QColor(240, 59, 32) };
        const double at = std::clamp(share, 0.0, 1.0) * 4;
        const int i = std::min(3, static_cast<int>(at));
        const double t = at - i;
        const auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
        return QColor(mix(stops[i].red(), stops[i + 1].red()), mix(stops[i].green(), stops[i + 1].green()),
            mix(stops[i].blue(), stops[i + 1].blue()));
    }

    static QColor ZoneColour(std::size_t index)
    {
        static const QColor colours[]
            = { QColor(0, 121, 107), QColor(123, 31, 162), QColor(230, 81, 0), QColor(48, 63, 159) };
        return colours[index % std::size(colours)];
    }

    // The measured rows (points or the density of cells) and the zones' outlines inside the plot, and their
    // legend in the plot's upper left corner, above the saturation curve where the chart has no lines.
    void DrawData()
    {
        if (!picture_.data)
            return;
        const chart::ChartDataLayer& data = *picture_.data;
        const chart::ChartSystem system = picture_.lines->setup.system;
        p_.save();
        p_.setClipRect(plot_);
        if (data.cells) {
            const chart::DensityCells& cells = *data.cells;
            p_.setPen(Qt::NoPen);
            for (int row = 0; row < cells.rows; ++row) {
                for (int column = 0; column < cells.columns; ++column) {
                    const std::uint32_t count = cells.At(column, row);
                    if (count == 0)
                        continue;
                    const QPointF low
                        = At({ chart::DryBulbKelvin(cells.t_origin + column * cells.t_step, system),
                            chart::HumidityRatioFromShown(cells.w_origin + row * cells.w_step, system) });
                    const QPointF high = At({ chart::DryBulbKelvin(
                                                  cells.t_origin + (column + 1) * cells.t_step, system),
                        chart::HumidityRatioFromShown(cells.w_origin + (row + 1) * cells.w_step, system) });
                    p_.setBrush(DensityColour(static_cast<double>(count) / cells.most));
                    p_.drawRect(QRectF(low, high).normalized());
                }
            }
        } else {
            p_.setPen(Qt::NoPen);
            p_.setBrush(QColor(21, 101, 192, 150));
            const double radius = 1.8 * s_;
            for (const ChartPoint& point : data.points)
                p_.drawEllipse(At(point), radius, radius);
        }
        for (std::size_t i = 0; i < data.zones.size(); ++i) {
            QPolygonF outline;
            for (const ChartPoint& point : data.zones[i].outline)
                outline << At(point);
            QColor fill = ZoneColour(i);
            fill.setAlpha(28);
            p_.setPen(QPen(ZoneColour(i), 2 * s_));
            p_.setBrush(fill);
            p_.drawPolygon(outline);
        }
        p_.restore();

        // The legend: the rows, the colour scale of the density, each zone with its count.
        const LabelFont& font = FontOf(10.5 * s_);
        const double line = font.metrics.height() + 3 * s_;
        QPointF at(plot_.left() + 10 * s_, plot_.top() + 10 * s_);
        std::vector<std::pair<QString, QColor>> texts;
        double width = 0;
        const auto text_width = [&](const QString& text) { return font.metrics.horizontalAdvance(text); };
        const QString summary = QString::fromStdString(data.summary);
        const double bar = 120 * s_;
        if (!summary.isEmpty())
            width = text_width(summary);
        if (data.cells)
            width = std::max(width,
                bar + text_width(QStringLiteral("  per cell")) + 2 * text_width(QStringLiteral("000,000")));
        for (const auto& zone : data.zones)
            width = std::max(width, 22 * s_ + text_width(QString::fromStdString(zone.legend)));
        const int lines
            = int(!summary.isEmpty()) + int(data.cells.has_value()) + static_cast<int>(data.zones.size());
        if (lines == 0)
            return;
        p_.save();
        p_.setPen(QPen(QColor(160, 160, 160), 0.8 * s_));
        p_.setBrush(QColor(255, 255, 255, 235));
        p_.drawRect(QRectF(at, QSizeF(width + 16 * s_, lines * line + 10 * s_)));
        p_.setFont(font.font);
        at += QPointF(8 * s_, 5 * s_ + font.metrics.ascent());
        if (!summary.isEmpty()) {
            p_.setPen(kInk);
            p_.drawText(at, summary);
            at.ry() += line;
        }
        if (data.cells) {
            const QString low = QStringLiteral("1");
            const QString high = QString::fromStdString(chart::GroupedNumber(data.cells->most))
                + (data.hourly ? QStringLiteral(" hours per cell") : QStringLiteral(" rows per cell"));
            p_.setPen(kInk);
            p_.drawText(at, low);
            const double left = at.x() + text_width(low) + 4 * s_;
            const QRectF strip(
                left, at.y() - font.metrics.ascent() + 1 * s_, bar, font.metrics.ascent() - 2 * s_);
            QLinearGradient gradient(strip.topLeft(), strip.topRight());
            for (int k = 0; k <= 4; ++k)
                gradient.setColorAt(k / 4.0, DensityColour(k / 4.0));
            p_.fillRect(strip, gradient);
            p_.drawText(QPointF(strip.right() + 4 * s_, at.y()), high);
            at.ry() += line;
        }
        for (std::size_t i = 0; i < data.zones.size(); ++i) {
            p_.setPen(QPen(ZoneColour(i), 2 * s_));
            p_.setBrush(Qt::NoBrush);
            p_.drawRect(QRectF(
                at.x(), at.y() - font.metrics.ascent() + 2 * s_, 14 * s_, font.metrics.ascent() - 4 * s_));
            p_.setPen(kInk);
            p_.drawText(at + QPointF(22 * s_, 0), QString::fromStdString(data.zones[i].legend));
            at.ry() += line;
        }
        p_.restore();
    }

    QFont OverlayFont(chart::LabelKind kind) const
    {
        return kind == chart::LabelKind::Point ? ChartFont(11 * s_, true) : ChartFont(10.5 * s_);
    }

    void DrawOverlay()
    {
        const chart::ChartOverlay& overlay = picture_.overlay;
        // Where every label goes, clear of the others and of the dots, measured in the fonts drawn.
        std::map<chart::LabelKind, QFontMetricsF> metrics;
        for (const chart::LabelKind kind :
            { chart::LabelKind::Point, chart::LabelKind::Process, chart::LabelKind::Guide })
            metrics.emplace(kind, QFontMetricsF(OverlayFont(kind)));
        const double margin = 1.5 * s_;
        const chart::OverlayLabels places = chart::PlaceOverlayLabels(
            overlay, picture_.marker, axes_, s_, [&](const std::string& text, chart::LabelKind kind) {
                const QFontMetricsF& m = metrics.at(kind);
                return chart::LabelSize { m.horizontalAdvance(QString::fromStdString(text)) + 2 * margin,
                    m.height() };
            });
        const auto write = [&](const std::string& text, const chart::LabelRect& place, chart::LabelKind kind,
                               const QColor& colour) {
            if (text.empty() || place.width <= 0)
                return;
            const QRectF rect(place.left, place.top, place.width, place.height);
            p_.fillRect(rect, QColor(255, 255, 255, 225));
            p_.setFont(OverlayFont(kind));
            p_.setPen(colour);
            p_.drawText(rect, Qt::AlignCenter, QString::fromStdString(text));
        };

        p_.save();
        p_.setClipRect(plot_);
        for (const chart::OverlayPoint& point : overlay.points)
            DrawRegion(point.region, kOverlayColour);
        for (const chart::OverlayGuide& guide : overlay.guides) {
            QPolygonF line;
            for (const ChartPoint& point : guide.points)
                line << At(point);
            p_.setPen(QPen(kArrowColour, 1.3 * s_, Qt::DashLine));
            p_.setBrush(Qt::NoBrush);
            p_.drawPolyline(line);
            if (!line.isEmpty()) {
                p_.setPen(QPen(kArrowColour, 1.2 * s_));
                p_.setBrush(Qt::white);
                p_.drawEllipse(line.back(), 3 * s_, 3 * s_);
            }
        }
        for (const chart::OverlayArrow& arrow : overlay.arrows) {
            if (arrow.from >= overlay.points.size() || arrow.to >= overlay.points.size()
                || arrow.from == arrow.to)
                continue;
            QLineF line(At(overlay.points[arrow.from].point), At(overlay.points[arrow.to].point));
            if (line.length() < 1)
                continue;
            // Stops short of the point it ends at, so that the head stays visible beside the dot.
            line.setLength(std::max(0.0, line.length() - 6 * s_));
            p_.setPen(QPen(kArrowColour, 1.8 * s_));
            p_.drawLine(line);
            QLineF back(line.p2(), line.p1());
            back.setLength(9 * s_);
            QLineF wing1 = back, wing2 = back;
            wing1.setAngle(back.angle() + 22);
            wing2.setAngle(back.angle() - 22);
            p_.setBrush(kArrowColour);
            p_.drawPolygon(QPolygonF({ line.p2(), wing1.p2(), wing2.p2() }));
        }
        for (const chart::OverlayPoint& point : overlay.points) {
            p_.setPen(QPen(Qt::white, 1.2 * s_));
            p_.setBrush(kOverlayColour);
            p_.drawEllipse(At(point.point), chart::kPointDotRadius * s_, chart::kPointDotRadius * s_);
        }
        for (std::size_t i = 0; i < overlay.guides.size(); ++i)
            write(overlay.guides[i].label, places.guides[i], chart::LabelKind::Guide, kArrowColour);
        for (std::size_t i = 0; i < overlay.arrows.size(); ++i)
            write(overlay.arrows[i].label, places.arrows[i], chart::LabelKind::Process, kArrowColour);
        for (std::size_t i = 0; i < overlay.points.size(); ++i)
            write(overlay.points[i].label, places.points[i], chart::LabelKind::Point, kOverlayColour);
        p_.restore();
    }

    void DrawTexts()
    {
        const chart::ChartSystem system = picture_.lines->setup.system;
        p_.setPen(kInk);
        p_.setFont(ChartFont(17 * s_, true));
        p_.drawText(QPointF(plot_.left(), 22 * s_), QString::fromStdString(picture_.title));
        p_.setFont(ChartFont(11.5 * s_));
        p_.drawText(QPointF(plot_.left(), 41 * s_), QString::fromStdString(picture_.subtitle));
        p_.setFont(ChartFont(12 * s_));
        p_.drawText(QRectF(plot_.left(), plot_.bottom() + 22 * s_, plot_.width(), 18 * s_), Qt::AlignHCenter,
            QStringLiteral("Dry-bulb temperature, ") + QString::fromUtf8(chart::DryBulbUnit(system)));
        p_.save();
        p_.translate(size_.width() - 10 * s_, plot_.center().y());
        p_.rotate(-90);
        p_.drawText(QRectF(-plot_.height() / 2, -16 * s_, plot_.height(), 18 * s_), Qt::AlignHCenter,
            QStringLiteral("Humidity ratio, ") + QString::fromUtf8(chart::HumidityRatioUnit(system)));
        p_.restore();
        // The legend below the axis title has room for two lines: on a narrow chart it takes the picture's
        // whole width and, where it would still need a third line, a smaller font, so that none is cut.
        p_.setPen(QColor(90, 90, 90));
        const QString legend = QString::fromStdString(picture_.legend);
        const QRectF box(plot_.left(), plot_.bottom() + 42 * s_,
            std::max(plot_.width(), size_.width() - plot_.left() - 4 * s_), 30 * s_);
        const int flags = Qt::AlignLeft | Qt::TextWordWrap;
        for (double points = 9.5; points >= 6.5; points -= 0.5) {
            p_.setFont(ChartFont(points * s_));
            if (QFontMetricsF(p_.font()).boundingRect(box, flags, legend).height() <= box.height())
                break;
        }
        p_.drawText(box, flags, legend);
    }

    QPainter& p_;
    QSizeF size_;
    const ChartPicture& picture_;
    chart::ChartLayout layout_;
    ChartAxes axes_;
    double s_;
    QRectF plot_;
    std::map<long, LabelFont> fonts_;
};

} // namespace

void PaintChart(QPainter& painter, const QSizeF& size, const chart::ChartPicture& picture)
{
    if (!picture.lines)
        return;
    ChartPainter(painter, size, picture).Paint();
}

void PaintChartInto(QPainter& painter, const QRectF& target, const chart::ChartPicture& picture)
{
    constexpr double kLogicalWidth = 900;
    if (!(target.width() > 0 && target.height() > 0))
        return;
    const double scale = target.width() / kLogicalWidth;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    PaintChart(painter, QSizeF(kLogicalWidth, target.height() / scale), picture);
    painter.restore();
}

QImage ChartImage(const chart::ChartPicture& picture, const QSize& size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintChart(painter, QSizeF(size), picture);
    return image;
}

bool IsChartSize(const QSize& size)
{
    return size.width() >= kSmallestChart.width() && size.height() >= kSmallestChart.height()
        && size.width() <= kLargestChart.width() && size.height() <= kLargestChart.height();
}

bool IsChartFormat(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("png") || suffix == QLatin1String("svg") || suffix == QLatin1String("pdf");
}

QString ExportChart(const QString& path, const chart::ChartPicture& picture, const QSize& size)
{
    const QString name = QStringLiteral("\"%1\"").arg(path);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (!IsChartFormat(path))
        return QStringLiteral("Could not write the chart %1: the name must end in .png, .svg or .pdf.")
            .arg(name);
    if (!IsChartSize(size))
        return QStringLiteral("Could not write the chart %1: the picture must be %2 x %3 to %4 x %5 pixels.")
            .arg(name)
            .arg(kSmallestChart.width())
            .arg(kSmallestChart.height())
            .arg(kLargestChart.width())
            .arg(kLargestChart.height());
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (suffix == QLatin1String("png")) {
        if (!ChartImage(picture, size).save(&buffer, "PNG"))
            return QStringLiteral("Could not write the chart %1: the image could not be encoded.").arg(name);
    } else if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QString::fromStdString(picture.title));
        svg.setDescription(QString::fromStdString(picture.subtitle));
        QPainter painter(&svg);
        PaintChart(painter, QSizeF(size), picture);
    } else {
        // A page of the picture's size at 96 pixels to the inch, so that its texts keep their sizes.
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QString::fromStdString(picture.title));
        pdf.setResolution(96);
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / 96.0, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&pdf);
        PaintChart(painter, QSizeF(pdf.width(), pdf.height()), picture);
    }
    const QString reason = SaveBytes(path, buffer.data());
    if (!reason.isEmpty())
        return QStringLiteral("Could not write the chart %1: %2.").arg(name, reason);
    return {};
}

} // namespace humidora
