#include "ui/whole_text.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>
#include <QStyleOptionFrame>
#include <cmath>

namespace humidora::ui {
namespace {

/// Where ShowWhole keeps the size the window wants for the widget's text.
constexpr char kPointsProperty[] = "humidora_whole_text_points";
/// ... and the text and width it was last fitted to.
constexpr char kTextProperty[] = "humidora_whole_text";
constexpr char kWidthProperty[] = "humidora_whole_text_width";

/// A line edit keeps this margin on either side of its text (QLineEdit's own horizontal margin).
constexpr int kLineEditMargin = 2;

QFont AtPoints(const QWidget& widget, double points)
{
    QFont font = widget.font();
    font.setPointSizeF(points);
    return font;
}

int Need(const QWidget& widget, const QString& text, double points, bool bearings)
{
    // The widget's own font, when it is the size asked for, brings its font engine along: a new font
    // would look its engine up again on every measure.
    const QFontMetricsF metrics(
        widget.font().pointSizeF() == points ? widget.font() : AtPoints(widget, points),
        const_cast<QWidget*>(&widget));
    int need = static_cast<int>(std::ceil(metrics.horizontalAdvance(text)));
    // A line edit scrolls unless the text's advance, one pixel for the cursor and the font's overhangs
    // fit; a label simply clips at its contents.
    if (bearings)
        need += 1 + static_cast<int>(std::ceil(std::max(0.0, -metrics.minLeftBearing())))
            + static_cast<int>(std::ceil(std::max(0.0, -metrics.minRightBearing())));
    return need;
}

bool Fits(const QWidget& widget, const QString& text, double points)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(&widget))
        return TextNeed(*edit, text, points) <= TextRoom(*edit);
    if (const auto* label = qobject_cast<const QLabel*>(&widget))
        return TextNeed(*label, text, points) <= TextRoom(*label);
    if (const auto* list = qobject_cast<const QListWidget*>(&widget))
        return TextNeed(*list, points) <= TextRoom(*list);
    return true;
}

/// The largest size, at most `points` in quarter points, for which `fits` holds. Text widths scale
/// nearly with the font size: the proportional size is tried first, then its neighbours (hinting makes
/// widths a little uneven).
template <class Fit> double LargestFitting(double points, double room, double need, const Fit& fits)
{
    // A text too wide even at the smallest size keeps the window's size and scrolls.
    if (need <= room || need * kSmallestTextPoints > 2 * room * points || !fits(kSmallestTextPoints))
        return points;
    double fitted = std::min(std::floor(4 * points * std::max(room, 4.0) / need) / 4, points - 0.25);
    while (fitted > kSmallestTextPoints && !fits(fitted))
        fitted -= 0.25;
    while (fitted + 0.25 < points && fits(fitted + 0.25))
        fitted += 0.25;
    return std::max(fitted, kSmallestTextPoints);
}

QString TextOf(const QWidget& widget)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(&widget))
        return edit->text();
    if (const auto* label = qobject_cast<const QLabel*>(&widget))
        return label->text();
    return {};
}

void Apply(QWidget& widget, double points)
{
    if (widget.font().pointSizeF() != points)
        widget.setFont(AtPoints(widget, points));
}

} // namespace

int TextRoom(const QLineEdit& edit)
{
    QStyleOptionFrame panel;
    panel.initFrom(&edit);
    panel.lineWidth
        = edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &panel, &edit) : 0;
    panel.midLineWidth = 0;
    panel.state |= QStyle::State_Sunken;
    const QRect contents = edit.style()->subElementRect(QStyle::SE_LineEditContents, &panel, &edit);
    return contents.marginsRemoved(edit.textMargins()).width() - 2 * kLineEditMargin;
}

int TextNeed(const QLineEdit& edit, const QString& text, double points)
{
    return Need(edit, text, points, true);
}

int TextRoom(const QLabel& label)
{
    return label.contentsRect().width() - 2 * label.margin();
}

int TextNeed(const QLabel& label, const QString& text, double points)
{
    return Need(label, text, points, false);
}

double WholeTextPoints(const QWidget& widget, const QString& text, double points)
{
    // No character is narrower than a pixel at the smallest size: a longer text (only typing gets there)
    // is let scroll without measuring it.
    if (text.isEmpty() || text.size() > std::max(widget.width(), 1))
        return points;
    const auto* label = qobject_cast<const QLabel*>(&widget);
    const auto* edit = qobject_cast<const QLineEdit*>(&widget);
    const int room = label != nullptr ? TextRoom(*label) : edit != nullptr ? TextRoom(*edit) : 0;
    const int need = label != nullptr ? TextNeed(*label, text, points)
        : edit != nullptr             ? TextNeed(*edit, text, points)
                                      : 0;
    return LargestFitting(points, room, need, [&](double size) { return Fits(widget, text, size); });
}

int TextRoom(const QListWidget& list)
{
    return list.viewport()->width();
}

int TextNeed(const QListWidget& list, double points)
{
    // An item keeps a focus-frame margin and one pixel on either side of its text.
    const int margin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    int need = 0;
    for (int row = 0; row < list.count(); ++row)
        need = std::max(need, Need(list, list.item(row)->text(), points, false) + 2 * margin);
    return need;
}

void ShowWhole(QListWidget& list, double points)
{
    list.setProperty(kPointsProperty, points);
    const double fitted = LargestFitting(points, TextRoom(list), TextNeed(list, points),
        [&](double size) { return TextNeed(list, size) <= TextRoom(list); });
    if (list.font().pointSizeF() != fitted)
        list.setFont(AtPoints(list, fitted));
}

void ShowWhole(QWidget& widget, const QString& text, double points)
{
    // The text fitted last, at the same size in the same width, needs no measuring again.
    const QVariant fitted_width = widget.property(kWidthProperty);
    if (TextOf(widget) == text && widget.property(kTextProperty).toString() == text
        && widget.property(kPointsProperty) == points && fitted_width.isValid()
        && fitted_width.toInt() == widget.width())
        return;
    widget.setProperty(kPointsProperty, points);
    widget.setProperty(kWidthProperty, widget.width());
    widget.setProperty(kTextProperty, text);
    // A text the program writes is read from its first character; the user's typing keeps its cursor.
    if (auto* edit = qobject_cast<QLineEdit*>(&widget); edit != nullptr && edit->text() != text) {
        edit->setText(text);
        edit->setCursorPosition(0);
    } else if (auto* label = qobject_cast<QLabel*>(&widget); label != nullptr && label->text() != text)
        label->setText(text);
    Apply(widget, WholeTextPoints(widget, text, points));
}

void FitWhole(QWidget& widget)
{
    const QVariant points = widget.property(kPointsProperty);
    if (!points.isValid())
        return;
    widget.setProperty(kWidthProperty, widget.width());
    widget.setProperty(kTextProperty, TextOf(widget));
    if (auto* list = qobject_cast<QListWidget*>(&widget))
        ShowWhole(*list, points.toDouble());
    else
        Apply(widget, WholeTextPoints(widget, TextOf(widget), points.toDouble()));
}

void FitWholeOnResize(QObject* watched, const QEvent* event)
{
    if (event->type() != QEvent::Resize || !watched->isWidgetType())
        return;
    auto* widget = static_cast<QWidget*>(watched);
    // A listing is watched through its viewport, whose width is the one its lines have.
    if (auto* list = qobject_cast<QListWidget*>(widget->parentWidget());
        list != nullptr && list->viewport() == widget)
        widget = list;
    FitWhole(*widget);
}

} // namespace humidora::ui
