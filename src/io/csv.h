// Comma-separated values as RFC 4180 has them: fields in double quotes may hold the delimiter, line
// breaks and doubled quotes; records end in CRLF or LF; a UTF-8 byte-order mark before the first record
// is not part of it. Qt has no CSV reader, so this small one reads records from a device and quotes
// fields for writing.
//
// A record ends at the first line feed after an even number of quotes, counted from its start (quotes
// come in pairs outside a quoted field's content, and "" inside it is a pair too). A quote left open at
// the end of the input closes there.
#pragma once

#include <QIODevice>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace humidora {

class CsvReader
{
public:
    CsvReader(QIODevice& device, char delimiter);

    /// The next record's fields; false at the end of the input.
    bool Next(std::vector<std::string>& fields);

    /// The next whole records, about `bytes` of them (more when a single record is longer) with their
    /// line ends, into records; false at the end of the input. CsvRecords takes them apart, so that the
    /// splitting can run on the thread that uses the fields.
    bool NextRecords(std::string& records, std::size_t bytes);

    /// Bytes read so far.
    qint64 consumed() const { return consumed_; }

    /// The reason the device could not be read (the system's words), empty while it could: a read error
    /// ends the input like its end does, and the caller must not take that end for the whole input.
    const QString& error() const { return error_; }

private:
    /// Reads more of the device into the buffer; false at its end.
    bool Fill();
    /// Length of the whole records at the start of the unread buffer (within `limit` bytes where they
    /// fit), 0 when not one record is whole yet.
    std::size_t WholeRecords(std::size_t limit) const;
    std::string_view Unread() const { return std::string_view(buffer_).substr(start_); }
    std::size_t Take(std::size_t length);

    QIODevice& device_;
    char delimiter_;
    bool first_ = true;
    bool end_ = false;
    qint64 consumed_ = 0;
    std::string buffer_;
    std::size_t start_ = 0; ///< the first unread byte of buffer_, always at the start of a record
    QString error_;
};

/// The records of a text of whole records, one by one.
class CsvRecords
{
public:
    CsvRecords(std::string_view text, char delimiter);
    /// The next record's fields; false after the last.
    bool Next(std::vector<std::string>& fields);

private:
    std::string_view rest_;
    char delimiter_;
};

/// Splits one record (its line end removed) into fields.
void SplitCsvRecord(std::string_view record, char delimiter, std::vector<std::string>& fields);

/// Appends field to out, in double quotes (inner quotes doubled) when it holds the delimiter, a quote,
/// CR or LF.
void AppendCsvField(std::string& out, std::string_view field, char delimiter);

} // namespace humidora
