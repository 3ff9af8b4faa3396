// A table wider than its place scrolls sideways while its first column (the name of each row) stays in
// view: a second view of the same model and selection shows that column over the table's left edge and
// follows the table's column width, row heights and vertical scrolling.
#pragma once

class QTableView;

namespace humidora {

/// Keeps column 0 of `table` in view while the table scrolls sideways. The frozen view is a child of the
/// table named "<table's objectName>_frozen"; it edits, selects and takes keys like the table itself.
/// Returns it, so that a caller can watch its events as it watches the table's.
QTableView* FreezeFirstColumn(QTableView& table);

} // namespace humidora
