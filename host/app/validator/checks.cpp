#include "host/app/validator/checks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

#include "host/app/pluginhost.h"
#include "host/app/validator/menurecordprobe.h"
#include "host/app/validator/moduleresidency.h"
#include "host/app/validator/pluginmodule.h"
#include "host/app/validator/validationstage.h"

namespace tonaroapp::validator {

namespace {

// What the host passes to main and to each invocation as its window.
HostWindowReference gHostWindow;

// No plug-in offers this many menu items; an enumeration that answers 1 up
// to here never ends.
constexpr int16_t kMaxMenuItems = 256;

CheckVerdict Pass(const std::string& detail) { return {true, detail}; }
CheckVerdict Fail(const std::string& detail) { return {false, detail}; }

std::string Hex(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

// --- A plug-in in the hands of the host --------------------------------------------------

// One loaded module and the host's calls on it. A session never unloads by
// itself: a check that stops early leaves the module loaded, so that its
// verdict is not lost to a crash the unload would cause.
class Session {
public:
    PluginModule& Module() { return module_; }
    const EntryPoints& Entries() const { return module_.Entries(); }
    int ItemCount() const { return itemCount_; }

    // dlopen, with the required entry points present.
    bool Open(const std::string& path, std::string* why)
    {
        Step("load " + path);
        std::string problem;
        if (!module_.Open(path, &problem)) {
            *why = "the module cannot be loaded: " + problem;
            return false;
        }
        const EntryPoints& e = module_.Entries();
        if (e.main == nullptr || e.version == nullptr || e.init == nullptr || e.invoke == nullptr ||
            e.terminate == nullptr || (e.enumerate8 == nullptr && e.enumerate16 == nullptr)) {
            *why = "the module is not a plug-in: it lacks entry points";
            return false;
        }
        return true;
    }

    // The host's start-up: load, main with real values, version, init and
    // the enumeration of every menu item.
    bool Start(const std::string& path, std::string* why)
    {
        if (!Open(path, why)) return false;
        const EntryPoints& e = module_.Entries();
        Step("main");
        const int16_t started = e.main(&gHostWindow, module_.Handle());
        if (started == 0) {
            *why = "main answered 0 with real values: the plug-in could not start";
            return false;
        }
        Step("version");
        e.version(kHostVersionWord);
        Step("init");
        uint8_t flags = 0;
        e.init(nullptr, &flags);
        itemCount_ = 0;
        const bool utf16 = e.enumerate8 == nullptr;
        for (int16_t i = 0; i < kMaxMenuItems; ++i) {
            Step("enumerate " + std::to_string(i));
            if (ProbeEnumerate(utf16 ? e.enumerate16 : e.enumerate8, i, utf16).answer == 0) break;
            ++itemCount_;
        }
        return true;
    }

    int16_t Invoke()
    {
        Step("invoke");
        const int16_t answer = module_.Entries().invoke(&gHostWindow);
        ValidationStage::Settle();
        return answer;
    }

    void Terminate()
    {
        Step("terminate");
        module_.Entries().terminate();
        ValidationStage::Settle();
    }

    void Unload()
    {
        ValidationStage::Settle();
        Step("unload");
        module_.Close();
        ValidationStage::Settle();
    }

private:
    PluginModule module_;
    int itemCount_ = 0;
};

// Closes every visible window of the plug-in as the user would (the
// window's close button). False when one stays visible.
bool CloseWindows(const ValidationStage& stage)
{
    Step("close the window");
    for (QWidget* window : stage.VisiblePluginWindows()) window->close();
    ValidationStage::Settle();
    return stage.VisiblePluginWindows().empty();
}

std::string WindowCount(size_t count)
{
    return std::to_string(count) + (count == 1 ? " window" : " windows");
}

// --- The checks ----------------------------------------------------------------------------

CheckVerdict CheckExports(const CheckContext& context)
{
    Step("load " + context.pluginPath);
    PluginModule module;
    std::string problem;
    if (!module.Open(context.pluginPath, &problem)) return Fail("the module cannot be loaded: " + problem);
    const std::vector<std::string> missing = module.MissingEntryPoints();
    if (!missing.empty()) {
        std::string list;
        for (const std::string& name : missing) list += (list.empty() ? "" : ", ") + name;
        return Fail("missing entry points: " + list);
    }
    const EntryPoints& e = module.Entries();
    const int exported = 5 + (e.enumerate8 != nullptr) + (e.enumerate16 != nullptr) + (e.menuStatus != nullptr);
    Step("unload");
    module.Close();
    return Pass(std::to_string(exported) + " entry points, each with its Ext_ name");
}

CheckVerdict CheckMainNull(const CheckContext& context)
{
    ValidationStage stage;
    Session session;
    std::string why;
    if (!session.Open(context.pluginPath, &why)) return Fail(why);
    const EntryPoints& e = session.Entries();
    void* handle = session.Module().Handle();
    struct Call {
        const char* text;
        void* first;
        void* second;
    };
    const Call calls[] = {{"main(null, null)", nullptr, nullptr},
                          {"main(window, null)", &gHostWindow, nullptr},
                          {"main(null, handle)", nullptr, handle}};
    for (const Call& call : calls) {
        Step(call.text);
        const int16_t answer = e.main(call.first, call.second);
        if (answer != 0) return Fail(std::string(call.text) + " answered " + std::to_string(answer) + ", not 0");
    }
    Step("main(window, handle)");
    if (e.main(&gHostWindow, handle) == 0) return Fail("main answered 0 with real values after the null calls");
    e.version(kHostVersionWord);
    uint8_t flags = 0;
    e.init(nullptr, &flags);
    session.Terminate();
    session.Unload();
    return Pass("null values answered 0; real values 1");
}

CheckVerdict CheckVersion(const CheckContext& context)
{
    ValidationStage stage;
    Session session;
    std::string why;
    if (!session.Open(context.pluginPath, &why)) return Fail(why);
    const EntryPoints& e = session.Entries();
    Step("main");
    if (e.main(&gHostWindow, session.Module().Handle()) == 0) return Fail("main answered 0 with real values");
    Step("version");
    const uint32_t word = e.version(kHostVersionWord);
    if (word == 0) return Fail("the version call answered 0");
    Step("version again");
    const uint32_t again = e.version(kHostVersionWord);
    if (again != word) return Fail("the version call answered " + Hex(word) + ", then " + Hex(again));
    if (e.extVersion != nullptr) {
        Step("Ext_getversion");
        const uint32_t forwarded = e.extVersion(kHostVersionWord);
        if (forwarded != word) return Fail("Ext_getversion answered " + Hex(forwarded) + ", not " + Hex(word));
    }
    uint8_t flags = 0;
    e.init(nullptr, &flags);
    session.Terminate();
    session.Unload();
    return Pass("version word " + Hex(word));
}

CheckVerdict CheckInitTerminate(const CheckContext& context)
{
    ValidationStage stage;
    Session session;
    std::string why;
    if (!session.Open(context.pluginPath, &why)) return Fail(why);
    const EntryPoints& e = session.Entries();
    Step("main");
    if (e.main(&gHostWindow, session.Module().Handle()) == 0) return Fail("main answered 0 with real values");
    e.version(kHostVersionWord);
    Step("init");
    uint8_t flags = 0x80;
    const int16_t answer = e.init(nullptr, &flags);
    if (answer != 1) return Fail("init answered " + std::to_string(answer) + ", not 1");
    if (flags != 0x81)
        return Fail("init turned the flag byte 0x80 into " + Hex(flags) + "; it sets bit 0 and keeps the others");
    session.Terminate();
    if (!stage.PluginWindows().empty()) return Fail("termination after init left " + WindowCount(stage.PluginWindows().size()));
    session.Unload();
    return Pass("init answered 1 and set bit 0; termination right after it was safe");
}

CheckVerdict CheckEnumerateForm(const CheckContext& context, bool utf16)
{
    ValidationStage stage;
    Session session;
    std::string why;
    if (!session.Start(context.pluginPath, &why)) return Fail(why);
    const EntryPoints& e = session.Entries();
    const EnumerateFn enumerate = utf16 ? e.enumerate16 : e.enumerate8;
    const EnumerateFn forwarder = utf16 ? e.extEnumerate16 : e.extEnumerate8;
    if (enumerate == nullptr) {
        session.Terminate();
        session.Unload();
        return Pass("not exported");
    }
    auto at = [](int16_t index) { return "index " + std::to_string(index) + ": "; };

    std::vector<EnumerateProbe> filled;
    std::vector<MenuTexts> items;
    for (int16_t i = 0;; ++i) {
        if (i == kMaxMenuItems)
            return Fail("every index up to " + std::to_string(kMaxMenuItems - 1) + " answered 1: the enumeration never ends");
        Step("enumerate " + std::to_string(i));
        EnumerateProbe probe = ProbeEnumerate(enumerate, i, utf16);
        if (!probe.GuardIntact()) return Fail(at(i) + "wrote past the end of the record");
        if (probe.answer == 0) {
            if (!probe.RecordUntouched()) return Fail(at(i) + "answered 0 but changed the record");
            break;
        }
        MenuTexts texts = ReadMenuRecord(probe, utf16);
        if (!texts.problem.empty()) return Fail(at(i) + texts.problem);
        items.push_back(texts);
        filled.push_back(std::move(probe));
    }
    if (items.empty()) return Fail("index 0 answered 0: the plug-in offers no menu item");
    const int16_t count = static_cast<int16_t>(items.size());

    if (forwarder != nullptr) {
        Step("Ext_ enumerate 0");
        const EnumerateProbe probe = ProbeEnumerate(forwarder, 0, utf16);
        if (probe.answer != filled[0].answer || probe.buffer != filled[0].buffer)
            return Fail("the Ext_ name does not fill index 0's record as the first name does");
    }
    // Beyond the last item: 0, and not a byte written.
    for (int16_t index : {count, static_cast<int16_t>(count + 1), int16_t{255}, int16_t{32767}}) {
        Step("enumerate " + std::to_string(index));
        const EnumerateProbe probe = ProbeEnumerate(enumerate, index, utf16);
        if (!probe.GuardIntact()) return Fail(at(index) + "wrote past the end of the record");
        if (probe.answer != 0) return Fail(at(index) + "answered " + std::to_string(probe.answer) + " past the last item");
        if (!probe.RecordUntouched()) return Fail(at(index) + "answered 0 but changed the record");
    }
    // Below 0: either refused untouched, or taken as the first item.
    for (int16_t index : {int16_t{-1}, int16_t{-2}, int16_t{-32768}}) {
        Step("enumerate " + std::to_string(index));
        const EnumerateProbe probe = ProbeEnumerate(enumerate, index, utf16);
        if (!probe.GuardIntact()) return Fail(at(index) + "wrote past the end of the record");
        if (probe.answer == 0 && !probe.RecordUntouched()) return Fail(at(index) + "answered 0 but changed the record");
        if (probe.answer != 0 && probe.buffer != filled[0].buffer)
            return Fail(at(index) + "answered " + std::to_string(probe.answer) + " with a record unlike index 0's");
    }
    if (utf16 && e.enumerate8 != nullptr) {
        for (int16_t i = 0; i < count; ++i) {
            const EnumerateProbe probe = ProbeEnumerate(e.enumerate8, i, false);
            const MenuTexts texts8 = ReadMenuRecord(probe, false);
            if (probe.answer == 0 || texts8.menuText != items[static_cast<size_t>(i)].menuText ||
                texts8.description != items[static_cast<size_t>(i)].description ||
                texts8.shortName != items[static_cast<size_t>(i)].shortName)
                return Fail(at(i) + "the UTF-16 texts differ from the 8-bit ones");
        }
    }
    session.Terminate();
    session.Unload();
    return Pass(std::to_string(count) + " menu item(s), first \"" + items[0].menuText + "\"");
}

CheckVerdict CheckEnumerate(const CheckContext& context) { return CheckEnumerateForm(context, false); }
CheckVerdict CheckEnumerateUTF16(const CheckContext& context) { return CheckEnumerateForm(context, true); }

CheckVerdict CheckMenuStatus(const CheckContext& context)
{
    ValidationStage stage;
    Session session;
    std::string why;
    if (!session.Start(context.pluginPath, &why)) return Fail(why);
    const EntryPoints& e = session.Entries();
    std::string detail = "not exported";
    if (e.menuStatus != nullptr) {
        Step("menu status");
        const int16_t status = e.menuStatus();
        if (status != 1) return Fail("the menu status answered " + std::to_string(status) + ", not 1 (enabled)");
        if (e.extMenuStatus != nullptr) {
            Step("Ext_getmenustatus");
            if (e.extMenuStatus() != status) return Fail("Ext_getmenustatus answers otherwise than the first name");
        }
        detail = "enabled";
    }
    session.Terminate();
    session.Unload();
    return Pass(detail);
}

CheckVerdict CheckInvoke(const CheckContext& context)
{
    ValidationStage stage;
    Session session;
    std::string why;
    if (!session.Start(context.pluginPath, &why)) return Fail(why);
    const int16_t answer = session.Invoke();
    if (answer != 0) return Fail("the invocation answered " + std::to_string(answer) + ", not 0");
    const std::vector<QWidget*> shown = stage.VisiblePluginWindows();
    if (shown.size() != 1) return Fail("the invocation showed " + WindowCount(shown.size()) + ", not 1");
    if (shown[0]->isModal()) return Fail("the window is modal; it must let the user work in the score");
    const QString title = shown[0]->windowTitle();
    if (!stage.ScoreUnchanged(&why)) return Fail("opening the window: " + why);
    if (!CloseWindows(stage)) return Fail("the window did not close");
    if (!stage.ScoreUnchanged(&why)) return Fail("closing the window: " + why);
    session.Terminate();
    session.Unload();
    return Pass("a modeless window \"" + title.toStdString() + "\" opened and closed; the score is unchanged");
}

CheckVerdict CheckInvokeTwice(const CheckContext& context)
{
    ValidationStage stage;
    Session session;
    std::string why;
    if (!session.Start(context.pluginPath, &why)) return Fail(why);
    session.Invoke();
    std::vector<QWidget*> shown = stage.VisiblePluginWindows();
    if (shown.size() != 1) return Fail("the first invocation showed " + WindowCount(shown.size()) + ", not 1");
    QPointer<QWidget> first = shown[0];
    session.Invoke();
    shown = stage.VisiblePluginWindows();
    if (shown.size() != 1) return Fail("a second invocation with the window open showed " + WindowCount(shown.size()));
    if (shown[0] != first.data()) return Fail("a second invocation with the window open made another window");
    if (!CloseWindows(stage)) return Fail("the window did not close");
    session.Invoke();
    shown = stage.VisiblePluginWindows();
    if (shown.size() != 1) return Fail("invoking again after a close showed " + WindowCount(shown.size()) + ", not 1");
    if (!CloseWindows(stage)) return Fail("the reopened window did not close");
    if (!stage.ScoreUnchanged(&why)) return Fail(why);
    session.Terminate();
    session.Unload();
    return Pass("one window throughout; reopened after a close");
}

CheckVerdict CheckTerminateBeforeInvoke(const CheckContext& context)
{
    ValidationStage stage;
    const std::set<std::string> filesBefore = ValidationStage::SettingsFiles();
    Session session;
    std::string why;
    if (!session.Start(context.pluginPath, &why)) return Fail(why);
    if (session.Entries().menuStatus != nullptr) session.Entries().menuStatus();
    session.Terminate();
    if (!stage.PluginWindows().empty()) return Fail("termination made " + WindowCount(stage.PluginWindows().size()));
    for (const std::string& file : ValidationStage::SettingsFiles())
        if (!filesBefore.contains(file)) return Fail("termination without an invocation wrote " + file);
    session.Unload();
    if (!stage.ScoreUnchanged(&why)) return Fail(why);
    return Pass("nothing opened, nothing written");
}

CheckVerdict CheckTerminateTwice(const CheckContext& context)
{
    ValidationStage stage;
    std::string why;
    {
        Session session;
        if (!session.Start(context.pluginPath, &why)) return Fail(why);
        session.Invoke();
        if (stage.VisiblePluginWindows().size() != 1) return Fail("the invocation did not show one window");
        if (!CloseWindows(stage)) return Fail("the window did not close");
        session.Terminate();
        Step("terminate again");
        session.Terminate();
        if (!stage.VisiblePluginWindows().empty()) return Fail("a second termination showed a window");
        session.Unload();
    }
    {
        Session session;
        if (!session.Start(context.pluginPath, &why)) return Fail(why);
        session.Terminate();
        Step("terminate again, never invoked");
        session.Terminate();
        if (!stage.VisiblePluginWindows().empty()) return Fail("terminating twice without an invocation showed a window");
        session.Unload();
    }
    if (!stage.ScoreUnchanged(&why)) return Fail(why);
    return Pass("safe after an invocation and without one");
}

CheckVerdict CheckCycles(const CheckContext& context)
{
    ValidationStage stage;
    const int cycles = std::max(1, context.cycles);
    const int framesBefore = ValidationStage::LoadedFrames();
    int descriptorsAfterFirst = 0;
    std::string why;
    // Where the module was mapped while loaded, and the first cycle whose
    // unload left it mapped.
    std::vector<MappedRange> loadedAt;
    int stayedMappedIn = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        const std::string at = "cycle " + std::to_string(cycle) + ": ";
        Step(at + "start");
        Session session;
        if (!session.Start(context.pluginPath, &why)) return Fail(at + why);
        if (session.Invoke() != 0) return Fail(at + "the invocation did not answer 0");
        if (stage.VisiblePluginWindows().size() != 1) return Fail(at + "the invocation did not show one window");
        if (!CloseWindows(stage)) return Fail(at + "the window did not close");
        if (cycle == 1) loadedAt = MappedRangesOf(context.pluginPath);
        session.Terminate();
        session.Unload();
        if (stayedMappedIn == 0 && !MappedRangesOf(context.pluginPath).empty()) stayedMappedIn = cycle;
        const int frames = ValidationStage::LoadedFrames();
        if (frames > framesBefore)
            return Fail(at + std::to_string(frames - framesBefore) + " entry frame(s) loaded and never freed");
        const size_t windows = stage.PluginWindows().size();
        if (windows != 0) return Fail(at + WindowCount(windows) + " of the plug-in still alive after unloading");
        const int descriptors = ValidationStage::OpenFileDescriptors();
        if (cycle == 1) {
            descriptorsAfterFirst = descriptors;
        } else if (descriptors > descriptorsAfterFirst) {
            return Fail(at + "open file descriptors grew from " + std::to_string(descriptorsAfterFirst) + " to " +
                        std::to_string(descriptors));
        }
    }
    if (!stage.ScoreUnchanged(&why)) return Fail(why);
    // Worth knowing: a module that stays mapped starts each cycle with the
    // static data of the last one, and hides code of it that runs after its
    // unload (deferred deletions, callbacks). Proven from the process's
    // mappings, with the cause named when it stays.
    const std::string done = std::to_string(cycles) + " cycles; no frames, windows or file descriptors left behind; ";
    if (loadedAt.empty())
        return Pass(done + "whether the module is unmapped cannot be told: its mappings were not found in "
                           "/proc/self/maps while it was loaded");
    if (stayedMappedIn == 0) {
        return Pass(done + "the module is unmapped after unloading (" + std::to_string(loadedAt.size()) +
                    " mappings at " + DescribeSpan(loadedAt) + " gone from /proc/self/maps)");
    }
    const std::vector<std::string> reasons = ReasonsModuleStaysMapped(context.pluginPath);
    std::string cause;
    for (const std::string& reason : reasons) cause += (cause.empty() ? "" : "; ") + reason;
    if (cause.empty()) cause = "no cause found in the module: something still holds it open (a dlopen never closed)";
    return Pass(done + "the module stays mapped after unloading (from cycle " + std::to_string(stayedMappedIn) +
                "): " + cause);
}

CheckVerdict CheckUnloadWithDialogOpen(const CheckContext& context)
{
    ValidationStage stage;
    Session session;
    std::string why;
    if (!session.Start(context.pluginPath, &why)) return Fail(why);
    session.Invoke();
    if (stage.VisiblePluginWindows().size() != 1) return Fail("the invocation did not show one window");
    session.Terminate();
    if (!stage.VisiblePluginWindows().empty()) return Fail("termination left the window open");
    const size_t alive = stage.PluginWindows().size();
    if (alive != 0)
        return Fail("termination left " + WindowCount(alive) + " alive; unloading would leave them without their code");
    session.Unload();
    // The host goes on: its event loop, and windows of its own.
    Step("host events after the unload");
    QWidget probe;
    probe.show();
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 200) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    probe.close();
    ValidationStage::Settle();
    if (!stage.ScoreUnchanged(&why)) return Fail(why);
    return Pass("termination closed and destroyed the open window; the unload was safe");
}

CheckVerdict CheckRandomisedOrder(const CheckContext& context)
{
    constexpr int kCalls = 48;
    ValidationStage stage;
    std::mt19937 random(context.seed);
    auto draw = [&random](uint32_t bound) { return static_cast<int>(random() % bound); };
    const int framesBefore = ValidationStage::LoadedFrames();
    auto session = std::make_unique<Session>();
    std::string why;
    if (!session->Start(context.pluginPath, &why)) return Fail(why);
    // The answer each (form, index) gave first; later calls must agree.
    std::map<std::pair<bool, int16_t>, std::vector<uint8_t>> answers;
    int invocations = 0, enumerations = 0, reloads = 0;

    for (int call = 1; call <= kCalls; ++call) {
        const std::string at = "call " + std::to_string(call) + " of " + std::to_string(kCalls) + " (seed " +
                               std::to_string(context.seed) + "): ";
        const EntryPoints& e = session->Entries();
        const int kind = draw(100);
        if (kind < 25) {
            const bool utf16 = e.enumerate8 == nullptr || (e.enumerate16 != nullptr && draw(2) == 1);
            const int16_t odd[] = {-32768, -2, -1, 255, 32767};
            const int16_t index = draw(3) == 0 ? odd[draw(5)]
                                               : static_cast<int16_t>(draw(static_cast<uint32_t>(session->ItemCount()) + 3));
            Step(at + (utf16 ? "UTF-16 " : "") + "enumerate " + std::to_string(index));
            const EnumerateProbe probe = ProbeEnumerate(utf16 ? e.enumerate16 : e.enumerate8, index, utf16);
            ++enumerations;
            if (!probe.GuardIntact()) return Fail(at + "enumerating index " + std::to_string(index) + " wrote past the record");
            if (probe.answer == 0 && !probe.RecordUntouched())
                return Fail(at + "enumerating index " + std::to_string(index) + " answered 0 but changed the record");
            std::vector<uint8_t> seen = probe.buffer;
            seen.push_back(probe.answer != 0 ? 1 : 0);
            auto [earlier, first] = answers.emplace(std::make_pair(utf16, index), seen);
            if (!first && earlier->second != seen)
                return Fail(at + "enumerating index " + std::to_string(index) + " answered otherwise than before");
        } else if (kind < 35) {
            if (e.menuStatus == nullptr) continue;
            Step(at + "menu status");
            if (e.menuStatus() != 1) return Fail(at + "the menu status was not 1");
        } else if (kind < 60) {
            Step(at + "invoke");
            ++invocations;
            if (session->Invoke() != 0) return Fail(at + "the invocation did not answer 0");
            const size_t shown = stage.VisiblePluginWindows().size();
            if (shown != 1) return Fail(at + "after the invocation " + WindowCount(shown) + " showed, not 1");
        } else if (kind < 75) {
            Step(at + "close the window");
            if (!CloseWindows(stage)) return Fail(at + "the window did not close");
        } else if (kind < 85) {
            Step(at + "host events");
            QElapsedTimer timer;
            timer.start();
            while (timer.elapsed() < 20) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        } else {
            Step(at + "terminate");
            session->Terminate();
            if (draw(2) == 1) {
                Step(at + "terminate again");
                session->Terminate();
            }
            if (!stage.VisiblePluginWindows().empty()) return Fail(at + "termination left the window open");
            session->Unload();
            if (!stage.PluginWindows().empty()) return Fail(at + "windows of the plug-in outlived its unload");
            if (ValidationStage::LoadedFrames() > framesBefore) return Fail(at + "entry frames outlived the plug-in");
            Step(at + "reload");
            ++reloads;
            session = std::make_unique<Session>();
            if (!session->Start(context.pluginPath, &why)) return Fail(at + why);
            answers.clear();
        }
    }
    session->Terminate();
    session->Unload();
    if (!stage.PluginWindows().empty()) return Fail("windows of the plug-in outlived its unload");
    if (ValidationStage::LoadedFrames() > framesBefore) return Fail("entry frames outlived the plug-in");
    if (!stage.ScoreUnchanged(&why)) return Fail(why);
    return Pass(std::to_string(kCalls) + " calls: " + std::to_string(invocations) + " invocations, " +
                std::to_string(enumerations) + " enumerations, " + std::to_string(reloads) + " reloads");
}

}  // namespace

const std::vector<CheckInfo>& AllChecks()
{
    static const std::vector<CheckInfo> checks = {
        {"exports", "the module loads and exports every entry point with its Ext_ second name", CheckExports},
        {"main-null", "main answers 0 when either of its values is null, then 1 with real values", CheckMainNull},
        {"version", "the version call answers a non-zero word, the same again and through Ext_getversion",
         CheckVersion},
        {"init-terminate", "init answers 1 and sets only bit 0 of the flag byte; terminating right after it is safe",
         CheckInitTerminate},
        {"enumerate", "8-bit enumeration: items fill sound records; later indexes answer 0; nothing writes past a record",
         CheckEnumerate},
        {"enumerate-utf16", "UTF-16 enumeration (when exported): as the 8-bit one, with the same texts",
         CheckEnumerateUTF16},
        {"menu-status", "the menu status (when exported) answers 1, also through Ext_getmenustatus", CheckMenuStatus},
        {"invoke", "an invocation answers 0 and shows one modeless window; closing it leaves the score unchanged",
         CheckInvoke},
        {"invoke-twice", "invoking with the window open shows the same window; after a close it shows one again",
         CheckInvokeTwice},
        {"terminate-before-invoke", "terminating a plug-in never invoked opens nothing and writes no settings file",
         CheckTerminateBeforeInvoke},
        {"terminate-twice", "a second termination is safe, after an invocation and without one", CheckTerminateTwice},
        {"cycles", "repeated load, start, invoke, close, terminate and unload leave no frames, windows or descriptors",
         CheckCycles},
        {"unload-with-dialog-open", "terminating with the window open destroys it, so that unloading is safe",
         CheckUnloadWithDialogOpen},
        {"randomised-order", "a sequence of calls drawn from the seed: enumerations of any index, menu status, "
                             "invocations, closes, terminations and reloads",
         CheckRandomisedOrder},
    };
    return checks;
}

const CheckInfo* FindCheck(const std::string& name)
{
    for (const CheckInfo& check : AllChecks())
        if (name == check.name) return &check;
    return nullptr;
}

std::vector<const CheckInfo*> ShuffleChecks(std::vector<const CheckInfo*> checks, uint32_t seed)
{
    // Fisher-Yates on the generator's raw output, which the language fixes
    // (unlike the standard distributions), so an order is the same everywhere.
    std::mt19937 random(seed);
    for (size_t i = checks.size(); i > 1; --i) std::swap(checks[i - 1], checks[random() % i]);
    return checks;
}

}  // namespace tonaroapp::validator
