// An in-memory platform controller for testing framework windows without a
// windowing system: it keeps a frame, a title-bar height and per-tag control
// state, and logs the requests that tests check.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/ui/fcctrldatalist.h"
#include "tonaroframework/ui/fcwindowcontroller.h"

class FakeWindowController : public _FCWindowController {
public:
    struct Control {
        std::string text;
        bool enabled = true;
        bool visible = true;
        int check = 0;
        Rect rect{};
        std::vector<std::string> popupItems;
        int popupSelected = -1;
        int stepperMin = 0, stepperMax = 100, stepperValue = 0;
    };
    struct Table {
        std::vector<std::string> columns;  // identifiers
        bool header = true;
        bool expanded = false;
        int selected = -1;
        int redraws = 0;
        std::vector<int> checkboxUpdates;
        FCCtrlDataList* connected = nullptr;
    };

    // The controller made most recently by the factory.
    static inline FakeWindowController* last = nullptr;
    static _FCWindowController* Make(FCUserWindow* owner, int resourceId)
    {
        last = new FakeWindowController(owner, resourceId);
        return last;
    }

    FakeWindowController(FCUserWindow* owner, int resourceId) : _FCWindowController(owner, resourceId) {}
    ~FakeWindowController() override
    {
        if (last == this) last = nullptr;
    }

    // --- Test state ---
    bool loaded = false;
    bool visible = false;
    bool layoutAvailable = true;
    Rect frame{100, 50, 400, 350};  // 300 wide, 300 high
    int titleHeight = 22;
    int maxResizeWidth = -1, maxResizeHeight = -1;
    int destroyCount = 0;
    int repaintCount = 0;
    int framesSet = 0;
    std::vector<std::string> log;  // "pos <id> <l> <t> <redraw>", "size ..."
    std::map<int, Control> controls;
    std::map<int, Table> tables;
    std::set<int> timers;
    std::vector<int> stoppedModalCodes;
    // What ExecuteModal does while "running": called with this controller.
    void (*modalBody)(FakeWindowController*) = nullptr;
    std::vector<int> disconnects;

    Control& C(int id) { return controls[id]; }
    void AddControl(int id, Rect rect)
    {
        controls[id].rect = rect;
    }
    void AddTable(int id) { tables[id]; controls[id]; }
    int Height() const { return frame.bottom - frame.top; }
    int Width() const { return frame.right - frame.left; }

    // --- Lifecycle ---
    void ShowModeless() override
    {
        if (loaded || !layoutAvailable) return;
        _SetModalWindow(false);
        _SetOpen(true);
        loaded = true;
        visible = true;
        Notify_WindowLoaded();
    }
    bool ExecuteModal(FCUserWindow*) override
    {
        if (loaded || !layoutAvailable) return false;
        _SetModalWindow(true);
        _SetOpen(true);
        loaded = true;
        _SetModalRunning(true);
        _stopped = false;
        Notify_WindowLoaded();
        if (modalBody != nullptr) modalBody(this);
        _SetModalRunning(false);
        loaded = false;
        return _stopped && _stopCode == 1;
    }
    void DestroyWindow() override
    {
        if (!loaded) return;
        ++destroyCount;
        const bool wasOpen = IsOpen();
        _SetOpen(false);
        timers.clear();
        loaded = false;
        visible = false;
        if (wasOpen && IsModalRunning()) Notify_WindowClose();
    }
    void CloseWindow() override { Notify_WindowClose(); }
    void ShowWindow(bool show) override { visible = show; }
    void ActivateWindow() override {}
    bool IsWindowLoaded() const override { return loaded; }
    bool IsWindowVisible() override { return visible; }
    void RepaintWindow() override { ++repaintCount; }
    void SetWindowCaption(const FCString* caption) override { caption_ = caption->GetCString(); }
    void SetWindowAlpha(int percent) override { alpha = percent; }
    std::string caption_;
    int alpha = 100;

    bool GetWindowFrameRect(Rect* rect) override
    {
        if (!loaded) return false;
        *rect = frame;
        return true;
    }
    void SetWindowFrameRect(const Rect* rect) override
    {
        frame = *rect;
        ++framesSet;
    }
    bool GetWindowContentRect(Rect* rect) override
    {
        *rect = Rect{0, 0, static_cast<int16_t>(Height() - titleHeight), static_cast<int16_t>(Width())};
        return true;
    }
    int GetWindowTitleHeight() override { return titleHeight; }
    void SetMaximumResizeWidth(int width) override { maxResizeWidth = width; }
    void SetMaximumResizeHeight(int height) override { maxResizeHeight = height; }

    // --- Controls ---
    Control* Find(int id)
    {
        auto it = controls.find(id);
        return it != controls.end() ? &it->second : nullptr;
    }
    void SetDlgItemText(int id, const FCString* text) override
    {
        if (auto* c = Find(id)) c->text = text->GetCString();
    }
    bool GetDlgItemText(int id, FCString* text) override
    {
        auto* c = Find(id);
        if (c == nullptr) return false;
        text->SetCString(c->text.c_str());
        return true;
    }
    void SetDlgItemTextAndResize(int id, const FCString* text) override { SetDlgItemText(id, text); }
    void SetDlgItemEnable(int id, bool enable) override
    {
        if (auto* c = Find(id)) c->enabled = enable;
    }
    bool GetDlgItemEnable(int id) override
    {
        auto* c = Find(id);
        return c != nullptr && c->enabled;
    }
    void SetDlgItemVisible(int id, bool v) override
    {
        if (auto* c = Find(id)) c->visible = v;
    }
    bool GetDlgItemVisible(int id) override
    {
        auto* c = Find(id);
        return c != nullptr && c->visible;
    }
    void SetDlgItemCheck(int id, int state) override
    {
        if (auto* c = Find(id); c != nullptr && (state == 0 || state == 1)) c->check = state;
    }
    bool GetDlgItemCheck(int id) override
    {
        auto* c = Find(id);
        return c != nullptr && c->check == 1;
    }
    void SetDlgItemKeyboardFocus(int id) override { focus = id; }
    void SetEditFocus(int id) override { focus = id; }
    int focus = 0;
    bool GetDlgItemRect(int id, Rect* rect) override
    {
        auto* c = Find(id);
        if (c == nullptr) return false;
        *rect = c->rect;
        return true;
    }
    void SetDlgItemWidth(int id, int width) override
    {
        if (auto* c = Find(id)) c->rect.right = static_cast<int16_t>(c->rect.left + width);
    }
    void SetDlgItemHeight(int id, int height) override
    {
        if (auto* c = Find(id)) c->rect.bottom = static_cast<int16_t>(c->rect.top + height);
    }
    void SetDlgItemPos(int id, int left, int top, bool redraw) override
    {
        auto* c = Find(id);
        if (c == nullptr) return;
        const int w = c->rect.right - c->rect.left, h = c->rect.bottom - c->rect.top;
        c->rect = Rect{static_cast<int16_t>(top), static_cast<int16_t>(left), static_cast<int16_t>(top + h),
                       static_cast<int16_t>(left + w)};
        log.push_back("pos " + std::to_string(id) + " " + std::to_string(left) + " " + std::to_string(top) +
                      (redraw ? " redraw" : ""));
    }
    void SetDlgItemSize(int id, int width, int height, bool redraw) override
    {
        auto* c = Find(id);
        if (c == nullptr) return;
        c->rect.right = static_cast<int16_t>(c->rect.left + width);
        c->rect.bottom = static_cast<int16_t>(c->rect.top + height);
        log.push_back("size " + std::to_string(id) + " " + std::to_string(width) + " " + std::to_string(height) +
                      (redraw ? " redraw" : ""));
    }

    void ClearAllPopupItems(int id) override
    {
        if (auto* c = Find(id)) {
            c->popupItems.clear();
            c->popupSelected = -1;
        }
    }
    int GetPopupItemCount(int id) override
    {
        auto* c = Find(id);
        return c != nullptr ? static_cast<int>(c->popupItems.size()) : 0;
    }
    void AppendPopupItem(int id, const FCString* text) override
    {
        if (auto* c = Find(id)) c->popupItems.emplace_back(text->GetCString());
    }
    void DeletePopupItem(int id, int item) override
    {
        auto* c = Find(id);
        if (c != nullptr && item >= 0 && item < static_cast<int>(c->popupItems.size()))
            c->popupItems.erase(c->popupItems.begin() + item);
    }
    void SelectPopupItem(int id, int item) override
    {
        auto* c = Find(id);
        if (c != nullptr && item >= -1 && item < static_cast<int>(c->popupItems.size())) c->popupSelected = item;
    }
    int GetSelectedPopupItem(int id) override
    {
        auto* c = Find(id);
        return c != nullptr ? c->popupSelected : -1;
    }
    void ClearShortcutKey(int) override {}

    void SetStepperMinMax(int id, int mn, int mx) override
    {
        if (auto* c = Find(id)) {
            c->stepperMin = mn;
            c->stepperMax = mx;
        }
    }
    int GetStepperMin(int id) override { return Find(id) ? Find(id)->stepperMin : 0; }
    int GetStepperMax(int id) override { return Find(id) ? Find(id)->stepperMax : 0; }
    void SetStepperValue(int id, int value) override
    {
        if (auto* c = Find(id)) c->stepperValue = value;
    }
    int GetStepperValue(int id) override { return Find(id) ? Find(id)->stepperValue : 0; }
    void SetSliderMinMax(int, int, int) override {}
    int GetSliderMin(int) override { return 0; }
    int GetSliderMax(int) override { return 0; }
    void SetSliderValue(int, int) override {}
    int GetSliderValue(int) override { return 0; }
    void SwitcherAddPage(int, const FCString*) override {}
    int SwitcherGetPageCount(int) override { return 0; }
    int SwitcherGetSelectedPage(int) override { return -1; }
    void SwitcherSetSelectedPage(int, int) override {}
    void EditScrollToBottom(int) override {}

    // --- Tables ---
    Table* T(int id)
    {
        auto it = tables.find(id);
        return (loaded && it != tables.end()) ? &it->second : nullptr;
    }
    void TableViewAssureConnected(FCCtrlDataList* list) override
    {
        if (auto* t = T(list->GetControlID()); t != nullptr && t->connected == nullptr) t->connected = list;
    }
    void TableViewDisconnect(FCCtrlDataList* list) override { disconnects.push_back(list->GetControlID()); }
    bool TableViewHasCheckboxes(int id) override
    {
        auto* t = T(id);
        return t != nullptr && !t->columns.empty() && t->columns.front() == "check";
    }
    bool TableViewUseLeftCheckboxColumn(int id) override
    {
        auto* t = T(id);
        if (t == nullptr) return false;
        if (!TableViewHasCheckboxes(id)) t->columns.emplace_back("check");
        return true;
    }
    bool TableViewAddColumn(int id, const FCString*, int width, int) override
    {
        auto* t = T(id);
        if (t == nullptr) return false;
        t->columns.push_back("col" + std::to_string(width));
        return true;
    }
    int TableViewGetColumnCount(int id, bool withCheck) override
    {
        auto* t = T(id);
        if (t == nullptr) return 0;
        const int n = static_cast<int>(t->columns.size());
        return (!withCheck && TableViewHasCheckboxes(id)) ? n - 1 : n;
    }
    int TableViewGetColumnWidth(int, int) override { return -1; }
    void TableViewSetColumnTitle(int, int, const FCString*) override {}
    void TableViewDeleteAllColumns(int id) override
    {
        if (auto* t = T(id)) t->columns.clear();
    }
    void TableViewExpandLastColumn(int id) override
    {
        if (auto* t = T(id)) t->expanded = true;
    }
    void TableViewSetNoHeader(int id) override
    {
        if (auto* t = T(id)) t->header = false;
    }
    void TableViewRedraw(int id) override
    {
        if (auto* t = T(id)) ++t->redraws;
    }
    void TableViewScrollToTop(int) override { ++scrollsToTop; }
    int scrollsToTop = 0;
    int TableViewGetSelectedLine(int id) override
    {
        auto* t = T(id);
        return t != nullptr ? t->selected : -1;
    }
    void TableViewSelectLine(int id, int line, bool) override
    {
        if (auto* t = T(id)) t->selected = line;
    }
    void TableViewClearSelection(int id) override
    {
        if (auto* t = T(id)) t->selected = -1;
    }
    void TableViewUpdateCheckbox(int id, int line) override
    {
        if (auto* t = T(id)) t->checkboxUpdates.push_back(line);
    }

    void CreateTimer(int id, int) override
    {
        if (loaded) timers.insert(id);
    }
    bool TimeridExists(int id) override { return timers.count(id) != 0; }
    void KillTimer(int id) override { timers.erase(id); }
    void KillAllTimers() override { timers.clear(); }
    void NotYetImplementedError(const char*) override {}

protected:
    void _StopModalRun(int code) override
    {
        stoppedModalCodes.push_back(code);
        _stopped = true;
        _stopCode = code;
    }

private:
    bool _stopped = false;
    int _stopCode = 0;
};
