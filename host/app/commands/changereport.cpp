#include "host/app/commands/changereport.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <set>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QJsonValue>

namespace tonaroapp {

namespace {

std::string Counted(size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

QJsonValue StringOrNull(const std::string& text)
{
    return text.empty() ? QJsonValue(QJsonValue::Null) : QJsonValue(QString::fromStdString(text));
}

std::string Where(const FileResult& result)
{
    if (result.output.empty()) return "nothing written (dry run)";
    if (result.output == "-") return "written to standard output";
    return "written to " + result.output;
}

}  // namespace

std::string ChangeSummary(const FileResult& result, const std::vector<std::string>& froms)
{
    if (result.changes.empty()) {
        std::string names;
        for (size_t i = 0; i < froms.size(); ++i)
            names += (i == 0 ? "" : i + 1 == froms.size() ? " or " : ", ") + froms[i];
        return "No notes matched " + (names.empty() ? std::string("the change") : names);
    }
    // A measure of each staff counts once, as a musician counts the
    // measures of the parts they mark up.
    std::set<std::pair<int, int>> measures;
    for (const ReportedChange& change : result.changes) measures.insert({change.measure, change.staff});
    return Counted(result.changes.size(), "note", "notes") + " changed in " +
           Counted(measures.size(), "measure", "measures");
}

void PrintTextReport(std::FILE* out, const FileResult& result, const std::vector<std::string>& froms, bool written,
                     bool named)
{
    const std::string prefix = named ? result.input + ": " : "";
    if (!result.changes.empty())
        std::fprintf(out, "%s%s (%s pitch):\n", prefix.c_str(), named ? "changed notes" : "Changed notes",
                     written ? "written" : "concert");
    for (const ReportedChange& change : result.changes)
        std::fprintf(out, "  measure %d, staff %d: %s -> %s\n", change.measure, change.staff, change.from.c_str(),
                     change.to.c_str());
    std::fprintf(out, "%s%s; %s\n", prefix.c_str(), ChangeSummary(result, froms).c_str(), Where(result).c_str());
}

void PrintFailure(const FileResult& result)
{
    std::fprintf(stderr, "tonaro: %s\n", result.error.c_str());
}

void PrintRunSummary(std::FILE* out, const std::vector<FileResult>& results)
{
    size_t notes = 0;
    size_t failed = 0;
    for (const FileResult& result : results) {
        notes += result.changes.size();
        failed += result.Failed() ? 1 : 0;
    }
    std::string line = Counted(results.size(), "file", "files") + ": " + Counted(notes, "note", "notes") + " changed";
    if (failed > 0) line += "; " + std::to_string(failed) + " failed";
    std::fprintf(out, "%s\n", line.c_str());
}

QJsonObject ToJson(const FileResult& result)
{
    QJsonArray changed;
    for (const ReportedChange& change : result.changes) {
        changed.append(QJsonObject{{"part", QString::fromStdString(change.part)},
                                   {"staff", change.staff},
                                   {"measure", change.measure},
                                   {"from", QString::fromStdString(change.from)},
                                   {"to", QString::fromStdString(change.to)}});
    }
    return QJsonObject{{"input", QString::fromStdString(result.input)},
                       {"output", StringOrNull(result.output)},
                       {"changed", changed},
                       {"error", StringOrNull(result.error)}};
}

bool FromJson(const QJsonObject& object, FileResult* result)
{
    if (!object.value("changed").isArray()) return false;
    FileResult read;
    read.input = object.value("input").toString().toStdString();
    read.output = object.value("output").toString().toStdString();
    read.error = object.value("error").toString().toStdString();
    for (const QJsonValue& value : object.value("changed").toArray()) {
        const QJsonObject change = value.toObject();
        read.changes.push_back({change.value("part").toString().toStdString(), change.value("staff").toInt(),
                                change.value("measure").toInt(), change.value("from").toString().toStdString(),
                                change.value("to").toString().toStdString()});
    }
    *result = std::move(read);
    return true;
}

namespace {

// text as a JSON string; text that is not valid UTF-8 is read as well as
// it can be, so that the report stays valid JSON.
std::string JsonString(const std::string& text)
{
    const QByteArray utf8 = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUtf8();
    std::string out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string JsonStringOrNull(const std::string& text)
{
    return text.empty() ? "null" : JsonString(text);
}

}  // namespace

std::string JsonReport(const std::vector<FileResult>& results)
{
    // Written by hand so that the keys keep the documented order.
    std::string out = "{\"files\": [";
    for (size_t f = 0; f < results.size(); ++f) {
        const FileResult& result = results[f];
        out += (f == 0 ? "" : ", ") + std::string("{\"input\": ") + JsonString(result.input) +
               ", \"output\": " + JsonStringOrNull(result.output) + ", \"changed\": [";
        for (size_t c = 0; c < result.changes.size(); ++c) {
            const ReportedChange& change = result.changes[c];
            out += (c == 0 ? "" : ", ") + std::string("{\"part\": ") + JsonString(change.part) +
                   ", \"staff\": " + std::to_string(change.staff) + ", \"measure\": " +
                   std::to_string(change.measure) + ", \"from\": " + JsonString(change.from) +
                   ", \"to\": " + JsonString(change.to) + "}";
        }
        out += "], \"error\": " + JsonStringOrNull(result.error) + "}";
    }
    return out + "]}\n";
}

ProgressLine::ProgressLine(size_t files) : files_(files), enabled_(files > 1 && isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine()
{
    Clear();
}

void ProgressLine::Show(size_t done, size_t notes, const std::string& running)
{
    if (!enabled_) return;
    std::string line = "[" + std::to_string(done) + "/" + std::to_string(files_) + "] " +
                       Counted(notes, "note", "notes") + " changed";
    if (!running.empty()) line += "; now " + running;
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1 && line.size() >= size.ws_col) {
        // One line only, however narrow the terminal; cut between characters.
        size_t cut = size.ws_col - 1u;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
        line.resize(cut);
    }
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
    shown_ = true;
}

void ProgressLine::Clear()
{
    if (!shown_) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    shown_ = false;
}

}  // namespace tonaroapp
