#include "host/app/commands/filejob.h"

#include "host/app/commands/changesession.h"
#include "host/app/scorenotes.h"
#include "host/engine/document.h"
#include "host/engine/engine.h"
#include "host/engine/musicxml/musicxmlio.h"

namespace tonaroapp {

namespace {

// Closes the document on every way out.
struct OpenScore {
    tonaroengine::Document* document = nullptr;
    ~OpenScore()
    {
        if (document == nullptr) return;
        tonaroengine::ReleaseMusicXmlSource(document);
        tonaroengine::Engine::Instance().CloseDocument(document->Number());
    }
};

std::string RangeText(const ChangeRange& range)
{
    return std::to_string(range.first) + "-" + std::to_string(range.last);
}

}  // namespace

FileResult RunFileJob(ChangeSession& session, const FileTask& task, const ChangeOptions& options)
{
    FileResult result;
    result.input = task.input;
    const std::string name = task.input == "-" ? "standard input" : task.input;

    tonaroengine::MusicXmlError error;
    OpenScore score{tonaroengine::OpenMusicXml(task.inputPath, &error)};
    if (score.document == nullptr) {
        if (task.input == "-") error.file = name;
        result.error = error.Text();
        return result;
    }
    tonaroengine::Document* document = score.document;
    const int measureCount = document->MeasureCount();
    const int staffCount = document->StaffCount();
    if (measureCount == 0 || staffCount == 0) {
        result.error = name + ": the score has no music to change";
        return result;
    }
    const ChangeRange measures = options.measures.first != 0 ? options.measures : ChangeRange{1, measureCount};
    const ChangeRange staves = options.staves.first != 0 ? options.staves : ChangeRange{1, staffCount};
    if (measures.last > measureCount) {
        result.error = name + ": --measures " + RangeText(measures) + " is outside the score's " +
                       std::to_string(measureCount) + " measure(s)";
        return result;
    }
    if (staves.last > staffCount) {
        result.error = name + ": --staves " + RangeText(staves) + " is outside the score's " +
                       std::to_string(staffCount) + " staff/staves";
        return result;
    }
    const EREGION region =
        tonaroengine::Document::MakeRegion(static_cast<int16_t>(staves.first), static_cast<int16_t>(measures.first),
                                           static_cast<int16_t>(staves.last), static_cast<int16_t>(measures.last));
    if (!tonaroengine::Engine::Instance().SetCurrentDocument(document->Number()) || !document->SetSelection(region)) {
        result.error = name + ": the region cannot be selected";
        return result;
    }

    const int firstStep = document->UndoCount();  // the report is read from the steps after it
    if (const std::string refused = session.Apply(); !refused.empty()) {
        result.error = name + ": " + refused;
        return result;
    }
    const std::vector<NoteChange> changes = ChangedNotes(document, firstStep, options.written);

    // Part names come from the file as it was read (before an in-place save).
    std::vector<std::string> parts;
    if (options.report == ReportFormat::kJson && !changes.empty()) parts = StaffPartNames(task.inputPath);
    for (const NoteChange& change : changes) {
        const size_t slot = static_cast<size_t>(change.slot);
        result.changes.push_back({slot >= 1 && slot <= parts.size() ? parts[slot - 1] : std::string(), change.slot,
                                  change.measure, change.before, change.after});
    }

    if (!task.outputPath.empty()) {
        tonaroengine::MusicXmlSaveOptions save;
        save.overwriteInput = task.inPlace;
        if (!tonaroengine::SaveMusicXml(document, task.outputPath, &error, save)) {
            if (task.output == "-") error.file = "standard output";
            result.error = error.Text();
            result.changes.clear();
            return result;
        }
        result.output = task.output;
    }
    return result;
}

}  // namespace tonaroapp
