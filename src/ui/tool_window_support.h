// What the two tool windows share: their frame, their layout unit (twips, 15 to a pixel), and the way a
// model's texts, colours and unit lists reach Qt widgets.
#pragma once

#include "calc/units/ambient_controls.h"

#include <QComboBox>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QString>
#include <QWidget>
#include <initializer_list>
#include <string>

namespace humidora::ui {

inline constexpr int kTwipsPerPixel = 15;

/// A rectangle given in twips, in pixels.
inline QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(
        left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel);
}

/// A model text (UTF-8) as a QString.
inline QString FromModel(const std::string& text)
{
    return QString::fromStdString(text);
}

/// Fills the widget's background in the given palette roles with rgb.
inline void Paint(QWidget* widget, std::initializer_list<QPalette::ColorRole> roles, Rgb rgb)
{
    QPalette palette = widget->palette();
    for (const QPalette::ColorRole role : roles)
        palette.setColor(role, QColor(rgb.red, rgb.green, rgb.blue));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

/// The frame of a tool window: a title and a close button only, a fixed client area (twips), Times New
/// Roman bold 9 pt, and deleted when closed.
inline void SetUpToolWindow(
    QWidget* window, const char* object_name, const char* title, int client_width, int client_height)
{
    window->setObjectName(object_name);
    window->setWindowTitle(title);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setFont(QFont("Times New Roman", 9, QFont::Bold));
    window->setFixedSize(client_width / kTwipsPerPixel, client_height / kTwipsPerPixel);
}

/// A closed unit list with the model's items and nothing selected yet.
inline QComboBox* NewUnitList(QWidget* parent, const QString& name, const UnitList& items)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(false);
    for (const std::string& item : items.items)
        combo->addItem(FromModel(item));
    combo->setCurrentIndex(-1);
    return combo;
}

/// The tool windows' flags: a title bar with a close button.
inline constexpr Qt::WindowFlags kToolWindowFlags
    = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

} // namespace humidora::ui
