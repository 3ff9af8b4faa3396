// make_about_picture: draws the picture of the about window, a small psychrometric chart at sea-level
// pressure with the product name, and saves it as a 348 x 341 PNG.
//
//   make_about_picture OUTPUT.png
//
// The chart is computed, not drawn by hand: the saturation curve, the relative-humidity curves and the
// wet-bulb lines come from the product's own property routines, so the picture shows what the
// calculator computes (IAPWS formulation, 101325 Pa).
#include "assets/about_picture.h"
#include "calc/number_text.h"
#include "calc/product.h"
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

constexpr double kPressurePa = humidora::kSeaLevelPressurePa;
using humidora::kCelsiusOffset;
using humidora::kMolarMassRatio;

// Chart window: dry-bulb temperature on the horizontal axis, humidity ratio on the vertical one.
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

double Ws_gPerKg(double t_C, double relative_humidity)
{
    const double p_v
        = relative_humidity * humidora::SaturationPressure(t_C + kCelsiusOffset, humidora::kIapws);
    return 1000 * kMolarMassRatio * p_v / (kPressurePa - p_v);
}

double DewPointC(double w_gPerKg)
{
    const double w = w_gPerKg / 1000;
    const double p_v = kPressurePa * w / (kMolarMassRatio + w);
    return humidora::SaturationTemperature(p_v, humidora::kIapws) - kCelsiusOffset;
}

QPointF ToPlot(double t_C, double w_gPerKg)
{
    const double x = (t_C - kTemperatureMinC) / (kTemperatureMaxC - kTemperatureMinC);
    const double y = w_gPerKg / kHumidityRatioMaxGPerKg;
    return { kPlot.left() + x * kPlot.width(), kPlot.bottom() - y * kPlot.height() };
}

QString Text(double value)
{
    return QString::fromStdString(humidora::NumberText(value, 0));
}

/// A curve of constant relative humidity from the left to the right edge of the chart.
QPainterPath HumidityCurve(double relative_humidity)
{
    QPainterPath path(ToPlot(kTemperatureMinC, Ws_gPerKg(kTemperatureMinC, relative_humidity)));
    for (double t = kTemperatureMinC + 0.25; t <= kTemperatureMaxC + 1e-9; t += 0.25)
        path.lineTo(ToPlot(t, Ws_gPerKg(t, relative_humidity)));
    return path;
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
    painter.save();
    painter.setClipRect(kPlot);

    // Unsaturated air lies right of and below the saturation curve: shade it.
    QPainterPath region = HumidityCurve(1);
    region.lineTo(ToPlot(kTemperatureMaxC, 0));
    region.lineTo(ToPlot(kTemperatureMinC, 0));
    region.closeSubpath();
    QLinearGradient shade(kPlot.topLeft(), kPlot.bottomRight());
    shade.setColorAt(0, QColor(0xd6, 0xe8, 0xf3));
    shade.setColorAt(1, QColor(0xe6, 0xf1, 0xe4));
    painter.fillPath(region, shade);

    // Grid: dry-bulb lines from the axis up to saturation, humidity-ratio lines from the dew point on.
    QPen grid(kGrid);
    grid.setWidthF(0.7);
    painter.setPen(grid);
    for (double t = kTemperatureMinC + 5; t < kTemperatureMaxC; t += 5) {
        const double top = std::min(Ws_gPerKg(t, 1), kHumidityRatioMaxGPerKg);
        painter.drawLine(ToPlot(t, 0), ToPlot(t, top));
    }
    for (double w = 5; w < kHumidityRatioMaxGPerKg; w += 5)
        painter.drawLine(ToPlot(DewPointC(w), w), ToPlot(kTemperatureMaxC, w));

    // Lines of constant wet-bulb temperature, from saturation down to dry air.
    QPen wet_bulb(kWetBulbLine);
    wet_bulb.setWidthF(0.9);
    wet_bulb.setStyle(Qt::DashLine);
    painter.setPen(wet_bulb);
    for (double t_wb = 0; t_wb <= 30; t_wb += 5) {
        // At the wet bulb itself the air is saturated; it dries as the dry bulb rises.
        QPainterPath line(ToPlot(t_wb, Ws_gPerKg(t_wb, 1)));
        for (double t = t_wb + 0.5; t <= kTemperatureMaxC + 1e-9; t += 0.5) {
            const double w = 1000
                * humidora::HumidityRatioFromWetBulb(
                    t_wb + kCelsiusOffset, t + kCelsiusOffset, kPressurePa, humidora::kIapws);
            line.lineTo(ToPlot(t, std::max(w, 0.0)));
            if (w <= 0)
                break;
        }
        painter.drawPath(line);
    }

    // Relative humidity 10 % to 90 %, then saturation on top.
    QPen humidity(kHumidityCurve);
    painter.setBrush(Qt::NoBrush);
    for (int percent = 10; percent <= 90; percent += 10) {
        humidity.setWidthF(percent == 50 ? 1.4 : 0.9);
        painter.setPen(humidity);
        painter.drawPath(HumidityCurve(percent / 100.0));
    }
    QPen saturation(kInk);
    saturation.setWidthF(2.4);
    saturation.setCapStyle(Qt::RoundCap);
    painter.setPen(saturation);
    painter.drawPath(HumidityCurve(1));
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
        const double phi = label.percent / 100.0;
        double t = kTemperatureMaxC;
        while (t > kTemperatureMinC && Ws_gPerKg(t, phi) > label.w_gPerKg)
            t -= 0.05;
        DrawTag(painter, ToPlot(t, Ws_gPerKg(t, phi)) + QPointF(label.dx, 0), Text(label.percent) + " %",
            label.percent == 100 ? kInk : kHumidityCurve.darker(140), label.percent == 100);
    }

    // The calculator's start-up state: 25 C, 50 % relative humidity.
    const QPointF state = ToPlot(25, Ws_gPerKg(25, 0.5));
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
