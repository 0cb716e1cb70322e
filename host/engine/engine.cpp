#include "host/engine/engine.h"

#include <algorithm>
#include <cstdio>

#include "host/engine/documentstate.h"
#include "host/engine/enginehost.h"

namespace tonaroengine {

void FrameBox::Sync()
{
    if (storage.capacity() == 0) storage.reserve(1);
    frame.entries = storage.data();
    frame.numEntries = static_cast<int16_t>(storage.size());
}

DocumentState* EngineHostState::CurrentState()
{
    auto found = documents.find(current);
    return found == documents.end() ? nullptr : &found->second->State();
}

FrameBox* EngineHostState::FindFrame(EXTGF2005a* frame)
{
    auto found = frames.find(frame);
    return found == frames.end() ? nullptr : found->second.get();
}

namespace {

// Spare frame boxes kept at most, and the largest entry storage (in records)
// a spare box keeps.
constexpr size_t kMostSpareFrames = 64;
constexpr size_t kLargestSpareStorage = 256;

}  // namespace

FrameBox* EngineHostState::AddFrame()
{
    if (spareFrames.empty()) {
        auto made = std::make_unique<FrameBox>();
        FrameBox* box = made.get();
        frames.emplace(&box->frame, std::move(made));
        return box;
    }
    FrameMap::node_type node = std::move(spareFrames.back());
    spareFrames.pop_back();
    FrameBox* box = node.mapped().get();
    box->frame = EXTGF2005a{};
    box->storage.clear();
    box->document = 0;
    // The box never moved, so its frame's address is still the node's key.
    frames.insert(std::move(node));
    return box;
}

void EngineHostState::RemoveFrame(EXTGF2005a* frame)
{
    FrameMap::node_type node = frames.extract(frame);
    if (node.empty() || spareFrames.size() >= kMostSpareFrames) return;
    std::vector<EXENTRY>& storage = node.mapped()->storage;
    storage.clear();
    if (storage.capacity() > kLargestSpareStorage) std::vector<EXENTRY>().swap(storage);
    spareFrames.push_back(std::move(node));
}

void EngineHostState::ResetSettings()
{
    observers.clear();
    settingsFolder.clear();
    window = WindowState();
    selectionDialog = SelectionDialogAnswer();
    fonts = {{"Maestro", 1}, {"Times", 2}, {"Helvetica", 3}, {"Arial", 4}, {"Courier", 5}};
    symbolAnswer = -1;
    commands.clear();
    massEditDepth = 0;
}

void EngineHostState::NotifyCommand(int16_t document, uint32_t code)
{
    for (EngineObserver* observer : std::vector<EngineObserver*>(observers)) observer->CommandExecuted(document, code);
}

void EngineHostState::NotifyRedraw(int16_t document, const EREGION& region)
{
    for (EngineObserver* observer : std::vector<EngineObserver*>(observers))
        observer->RedrawRequested(document, region);
}

void EngineHostState::NotifyAlert(const std::string& text)
{
    bool shown = false;
    for (EngineObserver* observer : std::vector<EngineObserver*>(observers))
        shown = observer->AlertShown(text) || shown;
    if (!shown) std::fprintf(stderr, "%s\n", text.c_str());
}

void EngineHostState::NotifySelection(int16_t document)
{
    for (EngineObserver* observer : std::vector<EngineObserver*>(observers)) observer->SelectionChanged(document);
}

void EngineHostState::NotifyDocumentChanged(int16_t document)
{
    for (EngineObserver* observer : std::vector<EngineObserver*>(observers)) observer->DocumentChanged(document);
}

void EngineHostState::NotifySessionEnded(int16_t document, const std::string& name, SessionOutcome outcome)
{
    for (EngineObserver* observer : std::vector<EngineObserver*>(observers))
        observer->EditSessionEnded(document, name, outcome);
}

void EngineHostState::NotifyScroll(int16_t document, int16_t measure, int16_t staff)
{
    for (EngineObserver* observer : std::vector<EngineObserver*>(observers))
        observer->ScrolledTo(document, measure, staff);
}

bool EngineHostState::AskSelectionDialog(int16_t kind, int32_t* id, bool* accepted, bool* changed)
{
    for (EngineObserver* observer : std::vector<EngineObserver*>(observers)) {
        int32_t chosen = *id;
        bool ok = false;
        bool edited = false;
        if (observer->SelectionDialogRequested(kind, &chosen, &ok, &edited)) {
            *id = chosen;
            *accepted = ok;
            *changed = edited;
            return true;
        }
    }
    return false;
}

EngineHostState& HostState()
{
    return Engine::Instance().Host();
}

void NoteDirectChange(DocumentState& state)
{
    if (!state.InSession()) HostState().NotifyDocumentChanged(state.number);
}

// --- Engine ---------------------------------------------------------------------

Engine& Engine::Instance()
{
    static Engine* engine = new Engine();  // lives for the whole process
    return *engine;
}

Engine::Engine() : host_(std::make_unique<EngineHostState>())
{
    host_->ResetSettings();
}

Engine::~Engine() = default;

EngineHostState& Engine::Host()
{
    return *host_;
}

Document* Engine::NewDocument()
{
    if (host_->nextDocumentNumber <= 0) return nullptr;  // numbers used up
    const int16_t number = host_->nextDocumentNumber++;
    auto document = std::unique_ptr<Document>(new Document(number));
    Document* result = document.get();
    host_->documents[number] = std::move(document);
    host_->current = number;
    return result;
}

Document* Engine::CurrentDocument()
{
    return FindDocument(host_->current);
}

Document* Engine::FindDocument(int16_t number)
{
    auto found = host_->documents.find(number);
    return found == host_->documents.end() ? nullptr : found->second.get();
}

bool Engine::SetCurrentDocument(int16_t number)
{
    if (!FindDocument(number)) return false;
    host_->current = number;
    return true;
}

bool Engine::CloseDocument(int16_t number)
{
    auto found = host_->documents.find(number);
    if (found == host_->documents.end()) return false;
    host_->documents.erase(found);
    if (host_->current == number) host_->current = host_->documents.empty() ? 0 : host_->documents.begin()->first;
    return true;
}

std::vector<int16_t> Engine::DocumentNumbers() const
{
    std::vector<int16_t> numbers;
    for (const auto& [number, document] : host_->documents) numbers.push_back(number);
    return numbers;
}

void Engine::Reset()
{
    host_->documents.clear();
    host_->current = 0;
    // Document numbers are never reused while a frame may still name an old
    // document. With no frame left they start again at 1, so that a process
    // that resets often (tests, fuzzing) never runs out of them.
    if (host_->frames.empty()) host_->nextDocumentNumber = 1;
    host_->ResetSettings();
}

void Engine::AddObserver(EngineObserver* observer)
{
    if (!observer) return;
    if (std::find(host_->observers.begin(), host_->observers.end(), observer) == host_->observers.end())
        host_->observers.push_back(observer);
}

void Engine::RemoveObserver(EngineObserver* observer)
{
    host_->observers.erase(std::remove(host_->observers.begin(), host_->observers.end(), observer),
                           host_->observers.end());
}

void Engine::SetSettingsFolder(const std::string& path)
{
    host_->settingsFolder = path;
}

std::string Engine::SettingsFolder() const
{
    if (!host_->settingsFolder.empty()) return host_->settingsFolder;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/tonaro";
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0') return std::string(home) + "/.config/tonaro";
    return {};
}

void Engine::SetWindowState(const WindowState& state)
{
    host_->window = state;
}

WindowState Engine::GetWindowState() const
{
    return host_->window;
}

void Engine::SetSelectionDialogAnswer(const SelectionDialogAnswer& answer)
{
    host_->selectionDialog = answer;
}

void Engine::SetFontNumber(const std::string& fontName, int16_t number)
{
    if (number == 0)
        host_->fonts.erase(fontName);
    else
        host_->fonts[fontName] = number;
}

int16_t Engine::FontNumber(const std::string& fontName) const
{
    auto found = host_->fonts.find(fontName);
    return found == host_->fonts.end() ? 0 : found->second;
}

void Engine::SetSymbolDialogAnswer(int32_t character)
{
    host_->symbolAnswer = character;
}

const std::vector<ExecutedCommand>& Engine::ExecutedCommands() const
{
    return host_->commands;
}

void Engine::ClearExecutedCommands()
{
    host_->commands.clear();
}

int Engine::LoadedFrameCount() const
{
    return static_cast<int>(host_->frames.size());
}

}  // namespace tonaroengine
