// The CSV reader: records as RFC 4180 has them, the same whether read one by one or in blocks of whole
// records of any size, and from a device that hands out one byte at a time (a slow pipe), so that no
// record, quote or byte-order mark is cut where a read or a block ends.
#include "io/csv.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace humidora {
namespace {

using Records = std::vector<std::vector<std::string>>;

// A device that gives at most one byte per read, as a pipe may.
class TricklingDevice : public QIODevice
{
public:
    explicit TricklingDevice(QByteArray data)
        : data_(std::move(data))
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* out, qint64 size) override
    {
        if (size == 0 || position_ >= data_.size())
            return 0;
        *out = data_[position_++];
        return 1;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray data_;
    qsizetype position_ = 0;
};

Records OneByOne(QIODevice& device)
{
    CsvReader reader(device, ',');
    Records records;
    std::vector<std::string> fields;
    while (reader.Next(fields))
        records.push_back(fields);
    return records;
}

// The header by Next, then the rest in blocks of about `bytes`, each block only whole records.
Records InBlocks(QIODevice& device, std::size_t bytes)
{
    CsvReader reader(device, ',');
    Records records;
    std::vector<std::string> fields;
    if (reader.Next(fields))
        records.push_back(fields);
    std::string block;
    while (reader.NextRecords(block, bytes)) {
        EXPECT_FALSE(block.empty());
        CsvRecords split(block, ',');
        while (split.Next(fields))
            records.push_back(fields);
    }
    return records;
}

struct Case
{
    const char* name;
    QByteArray input;
    Records records;
};

TEST(CsvReader, RecordsAreTheSameHoweverTheInputIsCut)
{
    const Case cases[] = {
        { "plain, LF", "T,RH\n25,50\n30,70\n", { { "T", "RH" }, { "25", "50" }, { "30", "70" } } },
        { "CRLF and no line end at the end", "T,RH\r\n25,50\r\n30,70",
            { { "T", "RH" }, { "25", "50" }, { "30", "70" } } },
        { "byte-order mark", "\xEF\xBB\xBFT,RH\n1,2\n", { { "T", "RH" }, { "1", "2" } } },
        { "a mark later is content", "T\n\xEF\xBB\xBF\n", { { "T" }, { "\xEF\xBB\xBF" } } },
        { "quotes: delimiter, line breaks, doubled quotes", "a,b\n\"x, y\",\"say \"\"hi\"\"\r\nthere\"\n",
            { { "a", "b" }, { "x, y", "say \"hi\"\r\nthere" } } },
        { "a quote inside a plain field is a character", "a\nab\"c\"d\n", { { "a" }, { "ab\"c\"d" } } },
        { "text after closing quotes", "a\n\"x\"y,\"\"\"\"\n", { { "a" }, { "xy", "\"" } } },
        { "blank lines are records of one empty field", "a\n\n\r\nb\n",
            { { "a" }, { "" }, { "" }, { "b" } } },
        { "empty fields", "a,,\n,\n", { { "a", "", "" }, { "", "" } } },
        { "a quote left open closes at the end", "a\n\"open,\nstill\n", { { "a" }, { "open,\nstill" } } },
        { "a lone CR at the end", "a\n\r", { { "a" }, { "" } } },
        { "nothing", "", {} },
        { "only a mark", "\xEF\xBB\xBF", {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QBuffer whole;
        whole.setData(c.input);
        whole.open(QIODevice::ReadOnly);
        EXPECT_EQ(OneByOne(whole), c.records);
        TricklingDevice trickle(c.input);
        EXPECT_EQ(OneByOne(trickle), c.records);
        for (const std::size_t bytes :
            { std::size_t(1), std::size_t(3), std::size_t(7), std::size_t(1) << 18 }) {
            SCOPED_TRACE(bytes);
            QBuffer buffer;
            buffer.setData(c.input);
            buffer.open(QIODevice::ReadOnly);
            EXPECT_EQ(InBlocks(buffer, bytes), c.records);
            TricklingDevice slow(c.input);
            EXPECT_EQ(InBlocks(slow, bytes), c.records);
        }
    }
}

// Records longer than the reader's own reads, and many of them: blocks end only between records.
TEST(CsvReader, LongRecordsAndLongInputs)
{
    QByteArray input = "name,T\n";
    Records expected = { { "name", "T" } };
    for (int i = 0; i < 3000; ++i) {
        const std::string name = i % 500 == 0 ? std::string(3'000'000, 'x') + "\n" + std::to_string(i)
                                              : "row " + std::to_string(i);
        input += "\"" + QByteArray::fromStdString(name) + "\"," + QByteArray::number(i) + "\n";
        expected.push_back({ name, std::to_string(i) });
    }
    for (const std::size_t bytes : { std::size_t(100), std::size_t(1) << 16 }) {
        QBuffer buffer;
        buffer.setData(input);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_TRUE(InBlocks(buffer, bytes) == expected) << bytes;
    }
    QBuffer buffer;
    buffer.setData(input);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer, ',');
    std::vector<std::string> fields;
    while (reader.Next(fields)) { }
    EXPECT_EQ(reader.consumed(), input.size());
}

TEST(CsvFields, QuotedOnlyWhenTheyMustBe)
{
    const struct
    {
        const char* field;
        char delimiter;
        const char* written;
    } cases[] = {
        { "plain", ',', "plain" },
        { "a,b", ',', "\"a,b\"" },
        { "a,b", ';', "a,b" },
        { "a;b", ';', "\"a;b\"" },
        { "say \"hi\"", ',', "\"say \"\"hi\"\"\"" },
        { "two\nlines", ',', "\"two\nlines\"" },
        { "cr\r", ',', "\"cr\r\"" },
        { "", ',', "" },
    };
    for (const auto& c : cases) {
        std::string out;
        AppendCsvField(out, c.field, c.delimiter);
        EXPECT_EQ(out, c.written);
        std::vector<std::string> fields;
        SplitCsvRecord(out, c.delimiter, fields);
        EXPECT_EQ(fields, std::vector<std::string> { c.field }) << out;
    }
}

// A device whose reads fail after `good` bytes, as a disk or a network file system may.
class FailingDevice : public QIODevice
{
public:
    FailingDevice(QByteArray data, qsizetype good)
        : data_(std::move(data))
        , good_(good)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* out, qint64 size) override
    {
        if (position_ >= good_) {
            setErrorString("Input/output error");
            return -1;
        }
        const qint64 n = std::min<qint64>(size, good_ - position_);
        std::copy_n(data_.constData() + position_, n, out);
        position_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray data_;
    qsizetype good_;
    qsizetype position_ = 0;
};

// A read error is not the end of the input: the reader says the input failed, so that no caller reports
// the part read before it as the whole; an input read to its end has no error.
TEST(CsvReader, AReadErrorIsNotTheEnd)
{
    const QByteArray input = "T,RH\n25,50\n30,60\n";
    for (const qsizetype good : { qsizetype(0), qsizetype(3), qsizetype(11), input.size() }) {
        FailingDevice device(input, good);
        CsvReader reader(device, ',');
        std::vector<std::string> fields;
        std::string block;
        while (reader.Next(fields) && reader.NextRecords(block, 4)) { }
        EXPECT_EQ(reader.error(), "Input/output error") << good;
    }
    QBuffer whole;
    whole.setData(input);
    whole.open(QIODevice::ReadOnly);
    CsvReader reader(whole, ',');
    std::vector<std::string> fields;
    int records = 0;
    for (; reader.Next(fields); ++records) { }
    EXPECT_EQ(records, 3);
    EXPECT_TRUE(reader.error().isEmpty());
}

} // namespace
} // namespace humidora
