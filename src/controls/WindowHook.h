#pragma once

// Window message hook: lets a control see chosen messages of its widgets before or after the
// widgets' own handling, and learn once when the pointer leaves a widget. A control derives from
// HookOwner, keeps a HookTable, and when its design is loaded in run mode: CheckMouseTracking(),
// HookWindow(widget) and AddHookMsg(widget, WM_MOUSEMOVE, HookAfter) and so on. On the first move
// at a new position (MousePosition) it calls TrackMouseLeave(lng_hWnd) for one WM_MOUSELEAVE.
//
// Messages are Qt events translated to their classic numbers: the mouse buttons and moves, the
// leave and the timer, the ones the controls register. For mouse messages lParam holds x in its
// low 16 bits and y in its high 16 bits, and wParam the MK_* state. WM_TIMER comes from
// QObject::startTimer on the hooked widget, with the timer id in wParam. Other Qt events never
// reach the callback, not even with HookAllMessages.
//
// Before-callbacks run ahead of the widget's own handling; setting bHandled swallows the event and
// lReturn is the result. After-callbacks see the widget's result (1 handled, 0 not) in lReturn.
// Changes a before-callback makes to uMsg, wParam or lParam reach the after-callbacks, not the
// widget. Qt sends no leave to a widget when the pointer moves onto one of its children; a control
// that needs that hooks the children too.

#include <QPointer>
#include <QWidget>
#include <vector>

// Presses, releases and double-clicks of the right and middle buttons follow those of the left
// button at 3 and 6.
constexpr qint32 WM_TIMER = 0x0113, WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202;
constexpr qint32 WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONUP = 0x0205, WM_MOUSELEAVE = 0x02A3;

// Registration flags of AddHookMsg and DelHookMsg.
constexpr int HookAfter = 1;
constexpr int HookBefore = 2;
// As a message number: every message.
constexpr qint32 HookAllMessages = -1;

// The control that receives the hooked messages.
class HookOwner {
public:
    virtual ~HookOwner() = default;
    virtual void zSubclass_Proc(bool bBefore, bool &bHandled, qint32 &lReturn, QWidget *&lng_hWnd, qint32 &uMsg,
                                qint32 &wParam, qint32 &lParam) = 0;
};

// One hooked widget. Tables hold message numbers; 0 marks a deleted slot. A count of -1 means
// every message, 0 none.
struct HookEntry {
    QPointer<QWidget> hWnd; // null: the entry is free
    QPointer<QObject> filter;
    qint32 AfterCount = 0;
    qint32 BeforeCount = 0;
    std::vector<qint32> AfterTable;
    std::vector<qint32> BeforeTable;
    bool leaveArmed = false;
};

// The hook table of one control instance; it removes its hooks when it goes.
class HookTable {
public:
    explicit HookTable(HookOwner *owner) : m_owner(owner) {}
    ~HookTable() { UnhookAll(); }
    HookTable(const HookTable &) = delete;
    HookTable &operator=(const HookTable &) = delete;

    void HookWindow(QWidget *hWnd);
    void AddHookMsg(QWidget *hWnd, qint32 uMsg, int When) { EditHookMsg(hWnd, uMsg, When, true); }
    void DelHookMsg(QWidget *hWnd, qint32 uMsg, int When) { EditHookMsg(hWnd, uMsg, When, false); }
    void UnhookWindow(QWidget *hWnd);
    void UnhookAll();
    // bAdd false: the entry of hWnd; true: the highest free entry. -1 when there is none.
    int FindHookIndex(QWidget *hWnd, bool bAdd) const;

    // Mouse-leave tracking: whether the system can report the pointer leaving (a platform
    // capability that tests may switch off), and the one-shot request itself.
    bool CheckMouseTracking();
    void TrackMouseLeave(QWidget *hWnd);

    int size() const { return static_cast<int>(m_entries.size()); }
    const HookEntry &entry(int index) const { return m_entries.at(static_cast<size_t>(index)); }

    // Runs the hook for one event of a hooked widget; true when the event must not be delivered
    // again (it was swallowed, or the widget already handled it here).
    bool Dispatch(QWidget *hWnd, QEvent *event);

private:
    HookEntry *Find(QWidget *hWnd);
    void EditHookMsg(QWidget *hWnd, qint32 uMsg, int When, bool add);

    HookOwner *m_owner;
    std::vector<HookEntry> m_entries;
    bool m_trackAvailable = false;
};

// The last pointer position seen in a WM_MOUSEMOVE. A move counts only at a new position.
struct MousePosition {
    qint32 X = 0;
    qint32 Y = 0;
    // Stores the position of lParam and says whether it differs from the last one.
    bool Moved(qint32 lParam)
    {
        const qint32 x = lParam & 0xFFFF, y = (lParam >> 16) & 0xFFFF;
        const bool moved = x != X || y != Y;
        X = x;
        Y = y;
        return moved;
    }
};
