// make_about_picture: draws the picture of the about window, a small psychrometric chart at sea-level
// pressure with the product name, and saves it as a 348 x 341 PNG.
//
//   make_about_picture OUTPUT.png
//
// The chart is computed, not drawn by hand: the saturation curve, the relative-humidity curves, the
// wet-bulb lines and the grid are the chart's own lines of its normal field (IAPWS formulation,
// 101325 Pa), so the picture shows what the calculator and its chart compute; only the look is the
// picture's own.
#include "assets/about_picture.h"
#include "calc/document/product.h"
#include "calc/units/number_text.h"
#include "chart/chart_lines.h"
#include "core/moist_air.h"
#include "core/properties.h"

#include <QCommandLineParser>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHashSeed>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kWidth = humidora::kAboutPictureWidth;
constexpr int kHeight = humidora::kAboutPictureHeight;

using humidora::kCelsiusOffset;
using humidora::chart::ChartLine;
using humidora::chart::ChartPoint;
using humidora::chart::LineFamily;

// Chart window: dry-bulb temperature on the horizontal axis, humidity ratio on the vertical one; the
// chart's normal field.
constexpr double kTemperatureMinC = -10;
constexpr double kTemperatureMaxC = 50;
constexpr double kHumidityRatioMaxGPerKg = 30;
const QRectF kPlot(22, 98, 290, 204);

const QColor kInk(0x1f, 0x3a, 0x5f);
const QColor kMutedInk(0x4a, 0x55, 0x60);
const QColor kGrid(0xb8, 0xc2, 0xc8);
const QColor kHumidityCurve(0x4f, 0x86, 0xb5);
const QColor kWetBulbLine(0x6f, 0x9a, 0x80);
const QColor kStateMarker(0xe0, 0x7b, 0x39);

QPointF ToPlot(double t_C, double w_gPerKg)
{
    const double x = (t_C - kTemperatureMinC) / (kTemperatureMaxC - kTemperatureMinC);
    const double y = w_gPerKg / kHumidityRatioMaxGPerKg;
    return { kPlot.left() + x * kPlot.width(), kPlot.bottom() - y * kPlot.height() };
}

QPointF ToPlot(ChartPoint point)
{
    return ToPlot(point.T_K - kCelsiusOffset, 1000 * point.W);
}

QString Text(double value)
{
    return QString::fromStdString(humidora::NumberText(value, 0));
}

QPainterPath Path(const ChartLine& line)
{
    QPainterPath path(ToPlot(line.points.front()));
    for (const ChartPoint& point : line.points)
        path.lineTo(ToPlot(point));
    return path;
}

/// The lines of one family, those whose value `keep` accepts.
template <typename Keep>
std::vector<const ChartLine*> Lines(const std::vector<ChartLine>& lines, LineFamily family, Keep keep)
{
    std::vector<const ChartLine*> chosen;
    for (const ChartLine& line : lines)
        if (line.family == family && !line.points.empty() && keep(line.value))
            chosen.push_back(&line);
    return chosen;
}

bool MultipleOfFive(double value)
{
    return std::fmod(value, 5) == 0;
}

/// Where `line` (running left to right, rising) reaches the humidity ratio w_gPerKg: its last point
/// below the level, moved along its segment to the level.
ChartPoint AtHumidityRatio(const ChartLine& line, double w_gPerKg)
{
    const double W = w_gPerKg / 1000;
    for (std::size_t i = 1; i < line.points.size(); ++i) {
        const ChartPoint& a = line.points[i - 1];
        const ChartPoint& b = line.points[i];
        if (b.W >= W && a.W < W)
            return { a.T_K + (b.T_K - a.T_K) * (W - a.W) / (b.W - a.W), W };
    }
    return line.points.back();
}

QFont Font(const QString& family, int pixel_size, bool bold = false, bool italic = false)
{
    QFont font(family);
    font.setFamilies({ family, family.contains("Serif") ? "Times New Roman" : "Arial" });
    font.setPixelSize(pixel_size);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

/// A small label centred on a point of the chart, on a light patch so that it stays readable over the
/// curves.
void DrawTag(QPainter& painter, QPointF centre, const QString& text, const QColor& colour, bool bold)
{
    painter.save();
    const QFont font = Font("Liberation Sans", 9, bold);
    const QRectF box = QFontMetricsF(font).boundingRect(text).adjusted(-2.5, -0.5, 2.5, 0.5);
    const QRectF patch(
        centre.x() - box.width() / 2, centre.y() - box.height() / 2, box.width(), box.height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 215));
    painter.drawRoundedRect(patch, 3, 3);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(patch, Qt::AlignCenter, text);
    painter.restore();
}

void DrawBackground(QPainter& painter)
{
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0, QColor(0xfd, 0xfd, 0xfa));
    sky.setColorAt(1, QColor(228, 228, 222)); // the about window's own background
    painter.fillRect(QRect(0, 0, kWidth, kHeight), sky);
}

void DrawTitle(QPainter& painter)
{
    painter.setPen(kInk);
    painter.setFont(Font("Liberation Serif", 34, true));
    painter.drawText(QRectF(0, 10, kWidth, 44), Qt::AlignCenter, QString::fromUtf8(humidora::kProductTitle));
    painter.setPen(kMutedInk);
    painter.setFont(Font("Liberation Serif", 14, false, true));
    painter.drawText(QRectF(0, 54, kWidth, 20), Qt::AlignCenter, "Psychrometric calculator of moist air");
    QPen rule(kGrid);
    rule.setWidthF(1);
    painter.setPen(rule);
    painter.drawLine(QPointF(60, 81.5), QPointF(kWidth - 60, 81.5));
}

void DrawChart(QPainter& painter)
{
    const humidora::chart::ChartLines chart = humidora::chart::ComputeChartLines({});
    const auto all = [](double) { return true; };
    const ChartLine& saturation_line = *Lines(chart.lines, LineFamily::Saturation, all).front();

    painter.save();
    painter.setClipRect(kPlot);

    // Unsaturated air lies right of and below the saturation curve: shade it.
    QPainterPath region = Path(saturation_line);
    region.lineTo(ToPlot(kTemperatureMaxC, 0));
    region.lineTo(ToPlot(kTemperatureMinC, 0));
    region.closeSubpath();
    QLinearGradient shade(kPlot.topLeft(), kPlot.bottomRight());
    shade.setColorAt(0, QColor(0xd6, 0xe8, 0xf3));
    shade.setColorAt(1, QColor(0xe6, 0xf1, 0xe4));
    painter.fillPath(region, shade);

    // Grid every 5 C and 5 g/kg: dry-bulb lines up to saturation, humidity-ratio lines from the dew point.
    QPen grid(kGrid);
    grid.setWidthF(0.7);
    painter.setPen(grid);
    for (const LineFamily family : { LineFamily::DryBulb, LineFamily::HumidityRatio })
        for (const ChartLine* line : Lines(chart.lines, family, MultipleOfFive))
            painter.drawPath(Path(*line));

    // Lines of constant wet-bulb temperature from 0 to 30 C, from saturation down to dry air.
    QPen wet_bulb(kWetBulbLine);
    wet_bulb.setWidthF(0.9);
    wet_bulb.setStyle(Qt::DashLine);
    painter.setPen(wet_bulb);
    for (const ChartLine* line : Lines(chart.lines, LineFamily::WetBulb,
             [](double value) { return value >= 0 && value <= 30 && MultipleOfFive(value); }))
        painter.drawPath(Path(*line));

    // Relative humidity 10 % to 90 %, then saturation on top.
    QPen humidity(kHumidityCurve);
    painter.setBrush(Qt::NoBrush);
    for (const ChartLine* line : Lines(chart.lines, LineFamily::RelativeHumidity, all)) {
        humidity.setWidthF(line->value == 50 ? 1.4 : 0.9);
        painter.setPen(humidity);
        painter.drawPath(Path(*line));
    }
    QPen saturation(kInk);
    saturation.setWidthF(2.4);
    saturation.setCapStyle(Qt::RoundCap);
    painter.setPen(saturation);
    painter.drawPath(Path(saturation_line));
    painter.restore();

    // Curve labels, set on the curves at staggered heights; saturation labelled left of its curve.
    painter.setRenderHint(QPainter::Antialiasing);
    struct CurveLabel
    {
        int percent;
        double w_gPerKg, dx;
    };
    for (const CurveLabel& label : { CurveLabel { 20, 14, 0 }, CurveLabel { 40, 18.5, 0 },
             CurveLabel { 60, 23, 0 }, CurveLabel { 80, 27.5, 0 }, CurveLabel { 100, 23, -21 } }) {
        const ChartLine& curve = label.percent == 100
            ? saturation_line
            : *Lines(chart.lines, LineFamily::RelativeHumidity, [&](double value) {
                  return value == label.percent;
              }).front();
        DrawTag(painter, ToPlot(AtHumidityRatio(curve, label.w_gPerKg)) + QPointF(label.dx, 0),
            Text(label.percent) + " %", label.percent == 100 ? kInk : kHumidityCurve.darker(140),
            label.percent == 100);
    }

    // The calculator's start-up state: 25 C, 50 % relative humidity.
    const double T = 25 + kCelsiusOffset;
    const QPointF state = ToPlot({ T,
        humidora::HumidityRatioOfVapourPressure(
            0.5 * humidora::SaturationPressure(T, humidora::kIapws), humidora::kSeaLevelPressurePa) });
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(kStateMarker);
    painter.drawEllipse(state, 4.2, 4.2);
    DrawTag(painter, state + QPointF(-30, 13), QString::fromUtf8("25 \u00b0C, 50 %"),
        kStateMarker.darker(150), true);

    // Frame and axes.
    painter.setBrush(Qt::NoBrush);
    QPen frame(QColor(0x7d, 0x8a, 0x96));
    frame.setWidthF(1);
    painter.setPen(frame);
    painter.drawRect(kPlot);
    painter.setFont(Font("Liberation Sans", 9));
    painter.setPen(kMutedInk);
    for (double t = kTemperatureMinC; t <= kTemperatureMaxC; t += 10) {
        const QPointF at = ToPlot(t, 0);
        painter.drawLine(at, at + QPointF(0, 3));
        painter.drawText(QRectF(at.x() - 20, at.y() + 3, 40, 12), Qt::AlignHCenter | Qt::AlignTop, Text(t));
    }
    for (double w = 0; w <= kHumidityRatioMaxGPerKg; w += 10) {
        const QPointF at = ToPlot(kTemperatureMaxC, w);
        painter.drawLine(at, at + QPointF(3, 0));
        painter.drawText(QRectF(at.x() + 5, at.y() - 6, 30, 12), Qt::AlignLeft | Qt::AlignVCenter, Text(w));
    }
    // The about window shows 343 of the 348 columns: keep the unit clear of the last ones.
    painter.drawText(
        QRectF(kPlot.right() - 40, kPlot.top() - 15, 68, 12), Qt::AlignRight | Qt::AlignBottom, "g/kg");
    painter.setFont(Font("Liberation Sans", 10, false, true));
    painter.drawText(QRectF(kPlot.left(), kPlot.bottom() + 16, kPlot.width(), 14), Qt::AlignHCenter,
        QString::fromUtf8("Dry-bulb temperature, \u00b0C   \u00b7   101.325 kPa"));
}

} // namespace

int main(int argc, char* argv[])
{
    QHashSeed::setDeterministicGlobalSeed();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QGuiApplication::setApplicationName("make_about_picture");

    QCommandLineParser parser;
    parser.setApplicationDescription("Draws the about window's picture.");
    parser.addHelpOption();
    parser.addPositionalArgument("OUTPUT.png", "PNG file to write.");
    parser.process(application);
    if (parser.positionalArguments().size() != 1) {
        QTextStream(stderr) << parser.helpText();
        return 2;
    }

    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        DrawBackground(painter);
        DrawTitle(painter);
        DrawChart(painter);
    }
    const QString output = parser.positionalArguments().front();
    if (!image.save(output, "PNG")) {
        QTextStream(stderr) << "make_about_picture: cannot write " << output << Qt::endl;
        return 1;
    }
    return 0;
}
