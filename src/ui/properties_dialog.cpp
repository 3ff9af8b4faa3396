#include "ui/properties_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace humidora {
namespace {

/// `text` on one line: each line break (CR, LF or CRLF) becomes one blank.
std::string OneLine(const QString& text)
{
    static const QRegularExpression kLineBreak(QStringLiteral("\r\n|[\r\n]"));
    return QString(text).replace(kLineBreak, QStringLiteral(" ")).toStdString();
}

} // namespace

PropertiesDialog::PropertiesDialog(const ProjectProperties& properties, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form_properties"));
    setWindowTitle(QStringLiteral("Properties"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    const auto line = [this, form](const char* name, const QString& caption, const std::string& text) {
        auto* edit = new QLineEdit(QString::fromStdString(text), this);
        edit->setObjectName(QLatin1String(name));
        form->addRow(caption, edit);
        return edit;
    };
    project_ = line("edit_project", QStringLiteral("&Project:"), properties.project);
    engineer_ = line("edit_engineer", QStringLiteral("&Engineer:"), properties.engineer);
    notes_ = new QPlainTextEdit(QString::fromStdString(properties.notes), this);
    notes_->setObjectName(QStringLiteral("edit_notes"));
    // Tab moves on to the buttons, as in the one-line fields; notes are prose, not tables.
    notes_->setTabChangesFocus(true);
    form->addRow(QStringLiteral("&Notes:"), notes_);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(480, 320);
}

ProjectProperties PropertiesDialog::properties() const
{
    return { OneLine(project_->text()), OneLine(engineer_->text()), notes_->toPlainText().toStdString() };
}

} // namespace humidora
