// Texts the program writes into value boxes and labels are shown whole, never in part: an engineer who
// reads "26.19796" where the box holds "126.19796" reads a wrong number. A text that does not fit its
// widget at the window's font size is shown at the largest smaller size that fits, measured with the
// widget's own font metrics against its contents rectangle, and a line edit shows it from its first
// character. The widths of the windows stay as they are.
#pragma once

#include <QString>

class QEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QObject;
class QWidget;

namespace humidora::ui {

/// Below this size a text is no longer read but guessed: a text still too wide there (only a user's own
/// typing gets so long) keeps the window's size and scrolls as in any line edit.
inline constexpr double kSmallestTextPoints = 5;

/// Width in pixels that `edit` gives its text before it would scroll it, and that `text` needs at its
/// font of `points` points (the same measure as the line edit's own painting).
int TextRoom(const QLineEdit& edit);
int TextNeed(const QLineEdit& edit, const QString& text, double points);
/// The same for a label, whose text is clipped at its contents rectangle.
int TextRoom(const QLabel& label);
int TextNeed(const QLabel& label, const QString& text, double points);

/// The same for a listing: its viewport's width, and what its widest line needs.
int TextRoom(const QListWidget& list);
int TextNeed(const QListWidget& list, double points);

/// The largest size, at most `points` and in quarter points, at which `widget` (a QLineEdit or a QLabel)
/// shows `text` whole; `points` when it fits, or when it would not fit even at kSmallestTextPoints.
double WholeTextPoints(const QWidget& widget, const QString& text, double points);

/// Shows `text` in `widget` (a QLineEdit or a QLabel) whole at `points` or the size WholeTextPoints
/// gives, a line edit from the first character. `points` is kept with the widget, so that FitWhole can
/// fit its text again when the widget's width changes.
void ShowWhole(QWidget& widget, const QString& text, double points);

/// Shows every line of `list` whole, at `points` or the largest smaller size at which the widest fits.
void ShowWhole(QListWidget& list, double points);

/// Fits the widget's text again, e.g. after a resize; does nothing for a widget ShowWhole never wrote.
void FitWhole(QWidget& widget);

/// For a window's event filter: refits `watched` (a widget, or the viewport of a listing) when `event`
/// resizes it.
void FitWholeOnResize(QObject* watched, const QEvent* event);

} // namespace humidora::ui
