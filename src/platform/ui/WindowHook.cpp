#include "platform/ui/WindowHook.h"

#include "platform/ui/MouseTracking.h"

#include <QMouseEvent>
#include <QTimerEvent>
#include <algorithm>

namespace {

// Hands a widget's events to the table; dies with the widget, or before it when the hook is removed.
class HookFilter final : public QObject {
public:
    HookFilter(QWidget *target, HookTable *table) : QObject(target), m_target(target), m_table(table)
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        return watched == m_target && m_table->Dispatch(m_target, event);
    }

private:
    QWidget *m_target;
    HookTable *m_table;
};

// The message of a Qt event, 0 for none; a leave only once armed, as the system's notification.
qint32 Translate(HookEntry &entry, QEvent *event, qint32 &wParam, qint32 &lParam)
{
    wParam = 0;
    lParam = 0;
    const QEvent::Type type = event->type();
    if (type == QEvent::Leave)
        return std::exchange(entry.leaveArmed, false) ? WM_MOUSELEAVE : 0;
    if (type == QEvent::Timer) {
        wParam = static_cast<QTimerEvent *>(event)->timerId();
        return WM_TIMER;
    }
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return 0;
    // A disabled window gets no mouse input; Qt's own check comes after the filters.
    if (!entry.hWnd || !entry.hWnd->isEnabled())
        return 0;
    const auto *m = static_cast<QMouseEvent *>(event);
    const Qt::MouseButtons b = m->buttons();
    wParam = (b & Qt::LeftButton ? 0x01 : 0) | (b & Qt::RightButton ? 0x02 : 0) |
             (m->modifiers() & Qt::ShiftModifier ? 0x04 : 0) | (m->modifiers() & Qt::ControlModifier ? 0x08 : 0) |
             (b & Qt::MiddleButton ? 0x10 : 0);
    const auto x = static_cast<quint32>(static_cast<qint32>(m->position().x())) & 0xFFFFu;
    const auto y = static_cast<quint32>(static_cast<qint32>(m->position().y())) & 0xFFFFu;
    lParam = static_cast<qint32>(x | y << 16);
    if (type == QEvent::MouseMove)
        return WM_MOUSEMOVE;
    // Left, right and middle are three apart.
    const qint32 left = type == QEvent::MouseButtonPress     ? WM_LBUTTONDOWN
                        : type == QEvent::MouseButtonRelease ? WM_LBUTTONUP
                                                             : WM_LBUTTONDBLCLK;
    const Qt::MouseButton button = m->button();
    return button == Qt::LeftButton     ? left
           : button == Qt::RightButton  ? left + 3
           : button == Qt::MiddleButton ? left + 6
                                        : 0;
}

bool Wanted(qint32 count, const std::vector<qint32> &table, qint32 uMsg)
{
    const auto end = table.begin() + std::clamp<qint32>(count, 0, static_cast<qint32>(table.size()));
    return count < 0 || std::find(table.begin(), end, uMsg) != end;
}

void Register(qint32 &count, std::vector<qint32> &table, qint32 uMsg)
{
    if (uMsg == HookAllMessages) {
        count = -1;
        return;
    }
    // A table switched to every message keeps its entries; registering one more starts counting again.
    const auto used = static_cast<size_t>(std::max<qint32>(count, 0));
    for (size_t i = 0; i < used; ++i) {
        if (table[i] == 0)
            table[i] = uMsg;
        if (table[i] == uMsg)
            return;
    }
    count = static_cast<qint32>(used + 1);
    table.resize(used + 1);
    table.back() = uMsg;
}

void Unregister(qint32 &count, std::vector<qint32> &table, qint32 uMsg)
{
    if (uMsg == HookAllMessages) {
        count = 0;
        return;
    }
    const auto end = table.begin() + std::clamp<qint32>(count, 0, static_cast<qint32>(table.size()));
    if (const auto it = std::find(table.begin(), end, uMsg); it != end)
        *it = 0;
}

} // namespace

HookEntry *HookTable::Find(QWidget *hWnd)
{
    const int index = FindHookIndex(hWnd, false);
    return index < 0 ? nullptr : &m_entries[static_cast<size_t>(index)];
}

void HookTable::HookWindow(QWidget *hWnd)
{
    if (!hWnd || Find(hWnd))
        return;
    int index = FindHookIndex(hWnd, true);
    if (index < 0) {
        m_entries.emplace_back();
        index = size() - 1;
    }
    HookEntry &e = m_entries[static_cast<size_t>(index)];
    e = HookEntry();
    e.hWnd = hWnd;
    // Windows reports every move; Qt only while a button is down unless asked.
    hWnd->setMouseTracking(true);
    e.filter = new HookFilter(hWnd, this);
}

void HookTable::EditHookMsg(QWidget *hWnd, qint32 uMsg, int When, bool add)
{
    const auto edit = add ? Register : Unregister;
    if (HookEntry *e = Find(hWnd)) {
        if (When & HookBefore)
            edit(e->BeforeCount, e->BeforeTable, uMsg);
        if (When & HookAfter)
            edit(e->AfterCount, e->AfterTable, uMsg);
    }
}

void HookTable::UnhookWindow(QWidget *hWnd)
{
    if (HookEntry *e = Find(hWnd)) {
        delete e->filter.data(); // a deleted filter is off its widget
        *e = HookEntry();
    }
}

void HookTable::UnhookAll()
{
    // A widget that is gone took its filter with it.
    for (int i = size() - 1; i >= 0; --i)
        if (QWidget *hWnd = m_entries[static_cast<size_t>(i)].hWnd)
            UnhookWindow(hWnd);
}

int HookTable::FindHookIndex(QWidget *hWnd, bool bAdd) const
{
    for (int i = size() - 1; i >= 0; --i) {
        const QWidget *w = m_entries[static_cast<size_t>(i)].hWnd.data();
        if (bAdd ? w == nullptr : (w != nullptr && w == hWnd))
            return i;
    }
    return -1;
}

bool HookTable::CheckMouseTracking()
{
    m_trackAvailable = IsFunctionExported(QStringLiteral("TrackMouseEvent"), QStringLiteral("User32")) ||
                       IsFunctionExported(QStringLiteral("_TrackMouseEvent"), QStringLiteral("Comctl32"));
    return m_trackAvailable;
}

void HookTable::HookMouse(std::initializer_list<QWidget *> windows, std::initializer_list<qint32> messages)
{
    if (!CheckMouseTracking())
        return;
    for (QWidget *hWnd : windows) {
        HookWindow(hWnd);
        for (const qint32 uMsg : messages)
            AddHookMsg(hWnd, uMsg, HookAfter);
    }
}

void HookTable::TrackMouseLeave(QWidget *hWnd)
{
    if (HookEntry *e = m_trackAvailable ? Find(hWnd) : nullptr)
        e->leaveArmed = true;
}

bool HookTable::Dispatch(QWidget *hWnd, QEvent *event)
{
    HookEntry *e = Find(hWnd);
    qint32 wParam = 0, lParam = 0;
    qint32 uMsg = e ? Translate(*e, event, wParam, lParam) : 0;
    // Nothing registered for this message: leave the event to Qt untouched.
    if (uMsg == 0 || !(Wanted(e->BeforeCount, e->BeforeTable, uMsg) || Wanted(e->AfterCount, e->AfterTable, uMsg)))
        return false;

    bool bHandled = false;
    qint32 lReturn = 0;
    QWidget *lng_hWnd = hWnd;
    const QPointer<QWidget> alive(hWnd);
    if (Wanted(e->BeforeCount, e->BeforeTable, uMsg))
        m_owner->zSubclass_Proc(true, bHandled, lReturn, lng_hWnd, uMsg, wParam, lParam);
    // The widget's own handling, exactly as Qt would have called it after the filters.
    if (!bHandled && alive)
        lReturn = static_cast<QObject *>(hWnd)->event(event) ? 1 : 0;
    // The callbacks may have unhooked the widget, or hooked others and moved the table.
    e = bHandled || !alive ? nullptr : Find(hWnd);
    if (e && Wanted(e->AfterCount, e->AfterTable, uMsg))
        m_owner->zSubclass_Proc(false, bHandled, lReturn, lng_hWnd, uMsg, wParam, lParam);
    return true;
}
