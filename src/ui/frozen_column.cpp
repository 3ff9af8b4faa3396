#include "ui/frozen_column.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

namespace humidora {
namespace {

/// Lays the frozen view over the table's first column: below the horizontal header, beside nothing, as
/// wide as the column and as high as the viewport.
class FrozenColumn : public QObject
{
public:
    FrozenColumn(QTableView& table, QTableView& frozen)
        : QObject(&frozen)
        , table_(table)
        , frozen_(frozen)
    {
        table.installEventFilter(this);
        table.viewport()->installEventFilter(this);
    }

    void place()
    {
        for (int column = 1; column < table_.model()->columnCount(); ++column)
            frozen_.setColumnHidden(column, true);
        frozen_.setColumnWidth(0, table_.columnWidth(0));
        const int header = table_.horizontalHeader()->isVisible() ? table_.horizontalHeader()->height() : 0;
        frozen_.horizontalHeader()->setFixedHeight(header);
        frozen_.setGeometry(table_.verticalHeader()->width() + table_.frameWidth(), table_.frameWidth(),
            table_.columnWidth(0), table_.viewport()->height() + header);
        // Only while the table is scrolled away from its first column is there anything to cover.
        frozen_.setVisible(table_.model()->columnCount() > 0 && table_.horizontalScrollBar()->value() > 0);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show
            || event->type() == QEvent::LayoutRequest)
            place();
        return QObject::eventFilter(watched, event);
    }

private:
    QTableView& table_;
    QTableView& frozen_;
};

} // namespace

QTableView* FreezeFirstColumn(QTableView& table)
{
    auto* frozen = new QTableView(&table);
    frozen->setObjectName(table.objectName() + QStringLiteral("_frozen"));
    frozen->setModel(table.model());
    frozen->setSelectionModel(table.selectionModel());
    frozen->setSelectionBehavior(table.selectionBehavior());
    frozen->setSelectionMode(table.selectionMode());
    frozen->setEditTriggers(table.editTriggers());
    frozen->setFocusPolicy(Qt::NoFocus);
    frozen->verticalHeader()->hide();
    frozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen->setVerticalScrollMode(table.verticalScrollMode());
    frozen->setFrameShape(QFrame::NoFrame);
    frozen->setStyleSheet(QStringLiteral("QTableView { border-right: 1px solid palette(mid); }"));
    auto* placing = new FrozenColumn(table, *frozen);
    // A table that owns its model (QTableWidget) deletes it before its other children: the frozen view
    // goes first, while the selection it shares is still there.
    QObject::connect(table.model(), &QObject::destroyed, frozen, [frozen] { delete frozen; });

    // Both views scroll together; the frozen one never on its own.
    QObject::connect(frozen->verticalScrollBar(), &QAbstractSlider::valueChanged, table.verticalScrollBar(),
        &QAbstractSlider::setValue);
    QObject::connect(table.verticalScrollBar(), &QAbstractSlider::valueChanged, frozen->verticalScrollBar(),
        &QAbstractSlider::setValue);
    QObject::connect(table.horizontalScrollBar(), &QAbstractSlider::valueChanged, placing,
        [placing] { placing->place(); });
    QObject::connect(table.horizontalScrollBar(), &QAbstractSlider::rangeChanged, placing,
        [placing] { placing->place(); });
    QObject::connect(
        table.horizontalHeader(), &QHeaderView::sectionResized, placing, [placing](int column, int, int) {
            if (column == 0)
                placing->place();
        });
    QObject::connect(table.verticalHeader(), &QHeaderView::sectionResized, frozen,
        [frozen](int row, int, int size) { frozen->setRowHeight(row, size); });
    QObject::connect(
        table.model(), &QAbstractItemModel::columnsInserted, placing, [placing] { placing->place(); });
    placing->place();
    return frozen;
}

} // namespace humidora
