// Reading a data file for the chart: the CSV reader of the batch command, the rows split into blocks and
// computed on all cores, the points kept in file order.
#pragma once

#include "chart/data_layer.h"

#include <QIODevice>
#include <QString>
#include <atomic>
#include <variant>

namespace humidora {

/// The rows of input (its first record is the header) computed by source's columns and inputs, on
/// `threads` workers; or a message naming the file (`name`) and why it cannot be read: a missing column,
/// an unreadable file, a read error. cancel, when given and set, stops the reading with the message
/// "cancelled".
std::variant<chart::DataSet, QString> ReadDataRows(const chart::DataSource& source, QIODevice& input,
    const QString& name, int threads = 0, const std::atomic<bool>* cancel = nullptr);

/// The same from the file source.path.
std::variant<chart::DataSet, QString> ReadDataFile(
    const chart::DataSource& source, int threads = 0, const std::atomic<bool>* cancel = nullptr);

/// The header of the file at path (its first record, split at delimiter), for a chooser of its columns;
/// or why it cannot be read.
std::variant<std::vector<std::string>, QString> ReadDataHeader(const QString& path, char delimiter);

} // namespace humidora
