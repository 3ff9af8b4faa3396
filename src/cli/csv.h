// Comma-separated values as RFC 4180 has them: fields in double quotes may hold the delimiter, line
// breaks and doubled quotes; records end in CRLF or LF; a UTF-8 byte-order mark before the first record
// is not part of it. Qt has no CSV reader, so this small one reads records from a device and quotes
// fields for writing.
#pragma once

#include <QIODevice>
#include <string>
#include <string_view>
#include <vector>

namespace humidora::cli {

class CsvReader
{
public:
    CsvReader(QIODevice& device, char delimiter);

    /// The next record's fields; false at the end of the input. A quote left open at the end of the
    /// input closes there.
    bool Next(std::vector<std::string>& fields);

    /// Bytes read so far.
    qint64 consumed() const { return consumed_; }

private:
    QIODevice& device_;
    char delimiter_;
    bool first_ = true;
    qint64 consumed_ = 0;
    std::string record_;
};

/// Splits one record (its line end removed) into fields.
void SplitCsvRecord(std::string_view record, char delimiter, std::vector<std::string>& fields);

/// Appends field to out, in double quotes (inner quotes doubled) when it holds the delimiter, a quote,
/// CR or LF.
void AppendCsvField(std::string& out, std::string_view field, char delimiter);

} // namespace humidora::cli
