#include "cli/csv.h"

#include <algorithm>

namespace humidora::cli {

CsvReader::CsvReader(QIODevice& device, char delimiter)
    : device_(device)
    , delimiter_(delimiter)
{
}

bool CsvReader::Next(std::vector<std::string>& fields)
{
    record_.clear();
    // Quotes come in pairs outside a quoted field's content ("" inside it is a pair too), so a record
    // goes on over the line break while their count is odd.
    std::size_t quotes = 0;
    do {
        const QByteArray line = device_.readLine();
        if (line.isEmpty())
            break;
        consumed_ += line.size();
        std::string_view text(line.constData(), static_cast<std::size_t>(line.size()));
        if (first_ && text.substr(0, 3) == "\xEF\xBB\xBF")
            text.remove_prefix(3);
        first_ = false;
        quotes += static_cast<std::size_t>(std::count(text.begin(), text.end(), '"'));
        record_.append(text);
    } while (quotes % 2 == 1);
    if (record_.empty())
        return false;
    if (!record_.empty() && record_.back() == '\n')
        record_.pop_back();
    if (!record_.empty() && record_.back() == '\r')
        record_.pop_back();
    SplitCsvRecord(record_, delimiter_, fields);
    return true;
}

void SplitCsvRecord(std::string_view record, char delimiter, std::vector<std::string>& fields)
{
    fields.clear();
    fields.emplace_back();
    bool quoted = false;
    for (std::size_t i = 0; i < record.size(); ++i) {
        const char c = record[i];
        std::string& field = fields.back();
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < record.size() && record[i + 1] == '"')
                field += record[++i];
            else
                quoted = false;
        } else if (c == delimiter) {
            fields.emplace_back();
        } else if (c == '"' && field.empty()) {
            quoted = true;
        } else {
            field += c;
        }
    }
}

void AppendCsvField(std::string& out, std::string_view field, char delimiter)
{
    const bool quote
        = field.find_first_of(std::string { delimiter, '"', '\r', '\n' }) != std::string_view::npos;
    if (!quote) {
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

} // namespace humidora::cli
