// The check that every text a window shows is whole: each line edit's text measured with its own font
// metrics against its contents rectangle, each label's against its contents, and no listing that needs
// to be scrolled sideways.
#pragma once

#include "ui/whole_text.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QWidget>

namespace testing_ui {

/// Empty when every visible text under `root` is shown whole; else the first widget that is not. With
/// `typing_may_scroll`, a box whose text is too long even at the smallest size is let pass: only a user's
/// own typing gets so long, and it stays in the box after its option is switched off until the next run.
inline QString ClippedText(const QWidget& root, bool typing_may_scroll = false)
{
    using humidora::ui::TextNeed;
    using humidora::ui::TextRoom;
    for (const QLineEdit* edit : root.findChildren<QLineEdit*>()) {
        if (!edit->isVisible() || edit->text().isEmpty())
            continue;
        if (typing_may_scroll
            && (edit->text().size() > edit->width()
                || TextNeed(*edit, edit->text(), humidora::ui::kSmallestTextPoints) > TextRoom(*edit)))
            continue;
        const int need = TextNeed(*edit, edit->text(), edit->font().pointSizeF());
        if (need > TextRoom(*edit))
            return QStringLiteral("%1 '%2' needs %3 px at %4 pt, has %5")
                .arg(edit->objectName(), edit->text())
                .arg(need)
                .arg(edit->font().pointSizeF())
                .arg(TextRoom(*edit));
    }
    for (const QLabel* label : root.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty() || label->wordWrap() || !label->pixmap().isNull())
            continue;
        const int need = TextNeed(*label, label->text(), label->font().pointSizeF());
        if (need > TextRoom(*label))
            return QStringLiteral("%1 '%2' needs %3 px at %4 pt, has %5")
                .arg(label->objectName(), label->text())
                .arg(need)
                .arg(label->font().pointSizeF())
                .arg(TextRoom(*label));
    }
    for (const QListWidget* list : root.findChildren<QListWidget*>()) {
        if (list->isVisible() && list->horizontalScrollBar()->maximum() > 0)
            return list->objectName() + QStringLiteral(" must be scrolled sideways");
    }
    return {};
}

} // namespace testing_ui
