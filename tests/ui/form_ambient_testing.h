// Shared helpers of the main-window tests: a recording desktop, widget lookup by objectName, a user's
// choice in a unit list, and a full comparison of the widgets with the window's control model.
#pragma once

#include "calc/units/ambient_controls.h"
#include "calc/windows/ambient_window.h"
#include "ui/desktop_services.h"
#include "ui/form_ambient.h"
#include "ui/whole_text.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <memory>
#include <optional>

namespace testing_ui {

/// Records what the window asks the desktop to open; opens nothing. Every document is "opened" from
/// /docs unless `opening` says otherwise; `address_opens` decides the web address's fate.
class FakeDesktop final : public humidora::DesktopServices
{
public:
    humidora::DocumentOpening openDocument(const QString& fileName) override
    {
        documents << fileName;
        if (opening)
            return *opening;
        return { { QStringLiteral("/docs/") + fileName }, QStringLiteral("/docs/") + fileName, true };
    }
    bool openAddress(const QString& address) override
    {
        addresses << address;
        return address_opens;
    }

    QStringList documents;
    QStringList addresses;
    std::optional<humidora::DocumentOpening> opening;
    bool address_opens = true;
};

/// A main window with a fake desktop; `desktop` stays valid as long as the window.
struct WindowUnderTest
{
    WindowUnderTest()
    {
        auto fake = std::make_unique<FakeDesktop>();
        desktop = fake.get();
        window = std::make_unique<Form_ambient>(std::move(fake));
    }

    template <class T> T* find(const QString& name) const { return window->findChild<T*>(name); }
    QLineEdit* text(int number) const { return find<QLineEdit>(QStringLiteral("Text%1").arg(number)); }
    QComboBox* combo(int number) const { return find<QComboBox>(QStringLiteral("Combo%1").arg(number)); }
    QRadioButton* option(int number) const
    {
        return find<QRadioButton>(QStringLiteral("Option%1").arg(number));
    }
    QAction* action(const char* name) const { return find<QAction>(QLatin1String(name)); }
    const humidora::AmbientControls& model() const { return window->logic().controls(); }
    long calculations() const { return window->logic().calculations(); }

    std::unique_ptr<Form_ambient> window;
    FakeDesktop* desktop = nullptr;
};

inline QString FromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// Chooses item `index` of a unit list the way a user does: opens the list and presses Return on the
/// item. Choosing the item that is already selected is a choice too.
inline void ChooseItem(QComboBox* list, int index)
{
    list->showPopup();
    QAbstractItemView* view = list->view();
    view->setCurrentIndex(view->model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Return);
}

inline QColor ExpectedColour(humidora::Background background, QWidget* widget)
{
    if (background == humidora::Background::Standard)
        return QApplication::palette(widget).color(QPalette::Base);
    const humidora::Rgb rgb = humidora::BackgroundRgb(background);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

/// Empty when every widget shows the model; else the first difference found.
inline QString DifferenceFromModel(const WindowUnderTest& w, const humidora::AmbientControls& model)
{
    for (const humidora::NamedBox& named : humidora::kValueBoxes) {
        const QString name = FromStd(std::string(named.name));
        QLineEdit* box = w.find<QLineEdit>(name);
        const humidora::ValueBox& state = model.*named.box;
        if (box->text() != FromStd(state.text))
            return name + QStringLiteral(" text '%1' instead of '%2'").arg(box->text(), FromStd(state.text));
        if (box->isReadOnly() != state.locked)
            return name + QStringLiteral(" lock state differs");
        if (box->palette().color(QPalette::Base) != ExpectedColour(state.background, box))
            return name + QStringLiteral(" background %1").arg(box->palette().color(QPalette::Base).name());
        // The model's size, or the smaller one at which the box shows its text whole.
        if (box->font().pointSizeF() != humidora::ui::WholeTextPoints(*box, box->text(), state.font_size))
            return name + QStringLiteral(" font size %1").arg(box->font().pointSizeF());
    }
    for (const humidora::NamedList& named : humidora::kUnitLists) {
        const QString name = FromStd(std::string(named.name));
        const humidora::UnitList& state = model.*named.list;
        QComboBox* list = w.find<QComboBox>(name);
        if (list->currentIndex() != state.selected)
            return name
                + QStringLiteral(" selection %1 instead of %2").arg(list->currentIndex()).arg(state.selected);
        if (list->currentText() != FromStd(state.text()))
            return name + QStringLiteral(" text ") + list->currentText();
    }
    for (const humidora::NamedOption& named : humidora::kOptions) {
        const QString name = FromStd(std::string(named.name));
        if (w.find<QRadioButton>(name)->isChecked() != model.*named.option)
            return name + QStringLiteral(" checked state differs");
    }
    for (const humidora::NamedLabel& named : humidora::kLimitLabels) {
        const QString name = FromStd(std::string(named.name));
        const humidora::LimitLabel& state = model.*named.label;
        QLabel* label = w.find<QLabel>(name);
        if (label->text() != FromStd(state.caption))
            return name
                + QStringLiteral(" caption '%1' instead of '%2'").arg(label->text(), FromStd(state.caption));
        if (label->palette().color(QPalette::Window) != ExpectedColour(state.background, label))
            return name + QStringLiteral(" background differs");
    }
    if (w.find<QLabel>(QStringLiteral("Label27"))->text() != FromStd(model.Label27))
        return QStringLiteral("Label27 caption differs");
    auto* listing = w.find<QListWidget>(QStringLiteral("List1"));
    if (listing->count() != static_cast<int>(model.List1.lines.size()))
        return QStringLiteral("List1 has %1 lines").arg(listing->count());
    for (int row = 0; row < listing->count(); ++row) {
        if (listing->item(row)->text() != FromStd(model.List1.lines[static_cast<std::size_t>(row)]))
            return QStringLiteral("List1 line %1 differs").arg(row);
    }
    if (listing->palette().color(QPalette::Base) != ExpectedColour(model.List1.background, listing))
        return QStringLiteral("List1 background differs");
    const std::pair<const char*, bool> marks[] = {
        { "menu_IAPWS", model.menu_IAPWS },
        { "menu_HW", model.menu_HW },
        { "menu_metric", model.menu_metric },
        { "menu_british", model.menu_british },
        { "menu_customized", model.menu_customized },
    };
    for (const auto& [name, checked] : marks) {
        if (w.action(name)->isChecked() != checked)
            return QLatin1String(name) + QStringLiteral(" check mark differs");
    }
    return {};
}

} // namespace testing_ui
