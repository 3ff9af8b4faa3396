#include "io/csv.h"

#include <algorithm>

namespace humidora {
namespace {

constexpr std::size_t kReadSize = std::size_t(1) << 20;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The first position from `from` of any character of `set` (a few characters), npos when there is none.
// string_view::find_first_of looks each character of the text up in the set by a call of its own, which
// on the short fields of a CSV file costs more than the rest of reading them.
std::size_t FindAny(std::string_view text, std::string_view set, std::size_t from = 0)
{
    for (std::size_t i = from; i < text.size(); ++i) {
        for (const char c : set) {
            if (text[i] == c)
                return i;
        }
    }
    return std::string_view::npos;
}

// Length of the first record of text (which starts a record) with its line end; npos when its line end
// is not in text.
std::size_t FirstRecordEnd(std::string_view text)
{
    bool inside_quotes = false;
    for (std::size_t i = 0;; ++i) {
        i = inside_quotes ? text.find('"', i) : FindAny(text, "\"\n", i);
        if (i == std::string_view::npos)
            return i;
        if (text[i] == '\n')
            return i + 1;
        inside_quotes = !inside_quotes;
    }
}

// Length of the whole records at the start of text (which starts a record): up to its last line feed
// after an even number of quotes; 0 when there is none.
std::size_t LastRecordEnd(std::string_view text)
{
    // Quotes before position i: all of them less those from i on.
    auto quotes = std::count(text.begin(), text.end(), '"');
    for (std::size_t i = text.size(); i-- > 0;) {
        if (text[i] == '"')
            --quotes;
        else if (text[i] == '\n' && quotes % 2 == 0)
            return i + 1;
    }
    return 0;
}

// The record without its line end (LF, or CRLF).
std::string_view WithoutLineEnd(std::string_view record)
{
    if (!record.empty() && record.back() == '\n')
        record.remove_suffix(1);
    if (!record.empty() && record.back() == '\r')
        record.remove_suffix(1);
    return record;
}

} // namespace

CsvReader::CsvReader(QIODevice& device, char delimiter)
    : device_(device)
    , delimiter_(delimiter)
{
}

bool CsvReader::Fill()
{
    if (end_)
        return false;
    // What has been taken goes once it is at least half the buffer, so the buffer stays a few reads long.
    if (start_ > 0 && start_ >= buffer_.size() / 2) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    const std::size_t size = buffer_.size();
    buffer_.resize(size + kReadSize);
    const qint64 read = device_.read(buffer_.data() + size, static_cast<qint64>(kReadSize));
    buffer_.resize(size + static_cast<std::size_t>(std::max<qint64>(read, 0)));
    end_ = read <= 0;
    if (read < 0) {
        error_ = device_.errorString();
        if (error_.isEmpty())
            error_ = QStringLiteral("read error");
    }
    if (first_ && (buffer_.size() >= kByteOrderMark.size() || end_)) {
        first_ = false;
        if (std::string_view(buffer_).substr(0, kByteOrderMark.size()) == kByteOrderMark) {
            buffer_.erase(0, kByteOrderMark.size());
            consumed_ += static_cast<qint64>(kByteOrderMark.size());
        }
    }
    return !end_;
}

std::size_t CsvReader::Take(std::size_t length)
{
    start_ += length;
    consumed_ += static_cast<qint64>(length);
    return length;
}

bool CsvReader::Next(std::vector<std::string>& fields)
{
    for (;;) {
        std::size_t length = first_ ? std::string_view::npos : FirstRecordEnd(Unread());
        if (length == std::string_view::npos) {
            if (Fill() || first_)
                continue;
            length = Unread().size(); // the last record, without a line end
        }
        if (length == 0)
            return false;
        SplitCsvRecord(WithoutLineEnd(Unread().substr(0, length)), delimiter_, fields);
        Take(length);
        return true;
    }
}

bool CsvReader::NextRecords(std::string& records, std::size_t bytes)
{
    records.clear();
    for (;;) {
        if (!end_ && (first_ || Unread().size() < bytes)) {
            Fill();
            continue;
        }
        std::size_t length = LastRecordEnd(Unread().substr(0, bytes));
        if (length == 0) {
            // One record longer than bytes: it alone, once its line end has been read.
            length = FirstRecordEnd(Unread());
            if (length == std::string_view::npos) {
                if (Fill())
                    continue;
                length = Unread().size();
            }
        }
        if (length == 0)
            return false;
        records.assign(Unread().substr(0, length));
        Take(length);
        return true;
    }
}

CsvRecords::CsvRecords(std::string_view text, char delimiter)
    : rest_(text)
    , delimiter_(delimiter)
{
}

bool CsvRecords::Next(std::vector<std::string>& fields)
{
    if (rest_.empty())
        return false;
    const std::size_t length = std::min(FirstRecordEnd(rest_), rest_.size());
    SplitCsvRecord(WithoutLineEnd(rest_.substr(0, length)), delimiter_, fields);
    rest_.remove_prefix(length);
    return true;
}

void SplitCsvRecord(std::string_view record, char delimiter, std::vector<std::string>& fields)
{
    // The strings of fields are reused from record to record, and each run of plain characters is
    // appended at once.
    std::size_t count = 0;
    const auto next_field = [&]() -> std::string& {
        if (count == fields.size())
            fields.emplace_back();
        std::string& field = fields[count++];
        field.clear();
        return field;
    };
    std::string* field = &next_field();
    const char stops[] = { delimiter, '"' };
    bool quoted = false;
    std::size_t i = 0;
    while (i < record.size()) {
        const std::size_t stop
            = quoted ? record.find('"', i) : FindAny(record, std::string_view(stops, 2), i);
        if (stop == std::string_view::npos) {
            field->append(record.substr(i));
            break;
        }
        field->append(record.substr(i, stop - i));
        i = stop + 1;
        if (quoted) {
            // A doubled quote is one quote of the content; a single one closes the quotes.
            if (i < record.size() && record[i] == '"') {
                *field += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (record[stop] == delimiter) {
            field = &next_field();
        } else if (field->empty()) {
            quoted = true;
        } else {
            *field += '"'; // a quote inside a field that did not start with one is a character
        }
    }
    fields.resize(count);
}

void AppendCsvField(std::string& out, std::string_view field, char delimiter)
{
    const char specials[] = { delimiter, '"', '\r', '\n' };
    if (FindAny(field, std::string_view(specials, sizeof specials)) == std::string_view::npos) {
        out.append(field);
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace humidora
