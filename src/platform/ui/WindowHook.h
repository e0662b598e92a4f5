#pragma once

// Window message hook on Qt event filters: a HookOwner sees chosen events of its widgets as message
// numbers, before or after the widget's own handling. Mouse messages carry x and y in lParam's low and
// high 16 bits and the MK_* state in wParam; WM_TIMER the timer id. bHandled set before swallows the
// event; after, lReturn holds the widget's result. Qt sends no leave onto a child: hook children too.

#include <QPointer>
#include <QWidget>
#include <vector>

// The right and middle buttons' messages follow the left button's at 3 and 6.
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

// One hooked widget. 0 in a table is a deleted slot; a count of -1 means every message.
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

    // Whether the pointer leaving can be reported (tests may switch it off), and the one-shot request.
    bool CheckMouseTracking();
    void TrackMouseLeave(QWidget *hWnd);
    // Where a leave can be reported, hooks the widgets for the messages, after their own handling.
    void HookMouse(std::initializer_list<QWidget *> windows, std::initializer_list<qint32> messages);

    int size() const { return static_cast<int>(m_entries.size()); }
    const HookEntry &entry(int index) const { return m_entries.at(static_cast<size_t>(index)); }

    // True when the event must not be delivered again: swallowed, or already handled here.
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
    bool Moved(qint32 lParam)
    {
        const qint32 x = lParam & 0xFFFF, y = (lParam >> 16) & 0xFFFF;
        const bool moved = x != X || y != Y;
        X = x;
        Y = y;
        return moved;
    }
};
