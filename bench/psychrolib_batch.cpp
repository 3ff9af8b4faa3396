// PsychroLib over a CSV file of logger rows, the whole-process peer of "humidora-cli batch --numbers full":
// reads "T,RH,P" rows (degrees Celsius, percent, kilopascals) with one header line, runs
// CalcPsychrometricsFromRelHum on each and writes the input fields followed by its seven results
// (humidity ratio, wet bulb, dew point, vapour pressure, enthalpy, volume, degree of saturation) as the
// shortest texts that read back to the same doubles, the writer humidora-cli uses. One thread, buffered
// reads and writes of a megabyte; a row that does not hold three numbers is written with empty results.
//   humidora_psychrolib_batch INPUT.csv OUTPUT.csv
// The comparison benchmark runs the same function in its own process (HUMIDORA_PSYCHROLIB_BATCH_NO_MAIN).
extern "C" {
#include "psychrolib.h"
}

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool ReadNumber(std::string_view field, double& value)
{
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return error == std::errc() && end == field.data() + field.size();
}

void AppendNumber(std::string& out, double value)
{
    char buffer[32];
    out.push_back(',');
    out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// The results of one line (without its line end) appended to out.
void Row(std::string_view line, std::string& out)
{
    out.append(line);
    double fields[3] = {};
    std::size_t count = 0;
    bool numbers = true;
    while (count < 3) {
        const std::size_t comma = line.find(',');
        numbers = numbers && ReadNumber(line.substr(0, comma), fields[count]);
        ++count;
        if (comma == std::string_view::npos)
            break;
        line.remove_prefix(comma + 1);
    }
    if (!numbers || count != 3) {
        out.append(",,,,,,,\n");
        return;
    }
    double w, twb, tdp, pv, h, v, mu;
    CalcPsychrometricsFromRelHum(
        fields[0], fields[1] / 100, fields[2] * 1000, &w, &twb, &tdp, &pv, &h, &v, &mu);
    for (const double value : { w, twb, tdp, pv, h, v, mu })
        AppendNumber(out, value);
    out.push_back('\n');
}

} // namespace

/// The rows of `input` with their results to `output`; 0 on success, 3 when a file cannot be read or
/// written.
int RunPsychroLibBatch(const char* input, const char* output)
{
    std::FILE* in = std::fopen(input, "rb");
    std::FILE* out = in ? std::fopen(output, "wb") : nullptr;
    if (!in || !out) {
        std::perror("humidora_psychrolib_batch");
        if (in)
            std::fclose(in);
        return 3;
    }
    SetUnitSystem(SI);
    constexpr std::size_t kChunk = std::size_t(1) << 20;
    std::vector<char> buffer(kChunk);
    std::string pending, text;
    bool header = true;
    long rows = 0;
    for (;;) {
        const std::size_t read = std::fread(buffer.data(), 1, buffer.size(), in);
        pending.append(buffer.data(), read);
        std::size_t start = 0;
        for (std::size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
            std::string_view line(pending.data() + start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (header) {
                text.append(line).append(",W,Twb,Tdp,Pv,h,v,mu\n");
                header = false;
            } else {
                Row(line, text);
                ++rows;
            }
        }
        pending.erase(0, start);
        if (std::fwrite(text.data(), 1, text.size(), out) != text.size()) {
            std::perror("humidora_psychrolib_batch");
            std::fclose(in);
            std::fclose(out);
            return 3;
        }
        text.clear();
        if (read == 0)
            break;
    }
    if (!pending.empty()) {
        Row(pending, text);
        ++rows;
        std::fwrite(text.data(), 1, text.size(), out);
    }
    const bool read_failed = std::ferror(in) != 0;
    std::fclose(in);
    if (std::fclose(out) != 0 || read_failed) {
        std::perror("humidora_psychrolib_batch");
        return 3;
    }
    std::fprintf(stderr, "humidora_psychrolib_batch: %ld rows\n", rows);
    return 0;
}

#ifndef HUMIDORA_PSYCHROLIB_BATCH_NO_MAIN
int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: humidora_psychrolib_batch INPUT.csv OUTPUT.csv\n", stderr);
        return 2;
    }
    return RunPsychroLibBatch(argv[1], argv[2]);
}
#endif
