#include "controls/WindowHook.h"

#include "platform/ui/MouseTracking.h"

#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimerEvent>
#include <QWheelEvent>
#include <algorithm>

namespace {

// Sits on one widget and hands each of its events to the table. Parented to the widget, so it
// dies with it; the table deletes it first when the hook is removed.
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

qint32 PackPoint(const QPointF &point)
{
    const auto x = static_cast<quint32>(static_cast<qint32>(point.x())) & 0xFFFFu;
    const auto y = static_cast<quint32>(static_cast<qint32>(point.y())) & 0xFFFFu;
    return static_cast<qint32>(x | y << 16);
}

qint32 KeyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    return (buttons & Qt::LeftButton ? 0x01 : 0) | (buttons & Qt::RightButton ? 0x02 : 0) |
           (modifiers & Qt::ShiftModifier ? 0x04 : 0) | (modifiers & Qt::ControlModifier ? 0x08 : 0) |
           (buttons & Qt::MiddleButton ? 0x10 : 0);
}

// The message of a press, release or double-click: left, right and middle are three apart.
qint32 ButtonMessage(qint32 leftMessage, Qt::MouseButton button)
{
    return button == Qt::LeftButton     ? leftMessage
           : button == Qt::RightButton  ? leftMessage + 3
           : button == Qt::MiddleButton ? leftMessage + 6
                                        : 0;
}

// The message of a Qt event, 0 for none; a leave only once armed, as the system's notification.
qint32 Translate(HookEntry &entry, QEvent *event, qint32 &wParam, qint32 &lParam)
{
    wParam = 0;
    lParam = 0;
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        const auto *m = static_cast<QMouseEvent *>(event);
        wParam = KeyState(m->buttons(), m->modifiers());
        lParam = PackPoint(m->position());
        const QEvent::Type t = event->type();
        return t == QEvent::MouseMove            ? WM::MOUSEMOVE
               : t == QEvent::MouseButtonPress   ? ButtonMessage(WM::LBUTTONDOWN, m->button())
               : t == QEvent::MouseButtonRelease ? ButtonMessage(WM::LBUTTONUP, m->button())
                                                 : ButtonMessage(WM::LBUTTONDBLCLK, m->button());
    }
    case QEvent::Wheel: {
        const auto *w = static_cast<QWheelEvent *>(event);
        wParam = KeyState(w->buttons(), w->modifiers()) | (w->angleDelta().y() & 0xFFFF) << 16;
        lParam = PackPoint(w->globalPosition());
        return WM::MOUSEWHEEL;
    }
    case QEvent::Leave:
        return std::exchange(entry.leaveArmed, false) ? WM::MOUSELEAVE : 0;
    case QEvent::Timer:
        wParam = static_cast<QTimerEvent *>(event)->timerId();
        return WM::TIMER;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *k = static_cast<QKeyEvent *>(event);
        wParam = k->nativeVirtualKey() ? static_cast<qint32>(k->nativeVirtualKey()) : k->key();
        lParam = k->isAutoRepeat() ? 1 << 30 : 0;
        return event->type() == QEvent::KeyPress ? WM::KEYDOWN : WM::KEYUP;
    }
    case QEvent::EnabledChange:
        wParam = entry.hWnd && entry.hWnd->isEnabled() ? 1 : 0;
        return WM::ENABLE;
    case QEvent::Show:
    case QEvent::Hide:
        wParam = event->type() == QEvent::Show ? 1 : 0;
        return WM::SHOWWINDOW;
    case QEvent::Resize: {
        const QSize s = static_cast<QResizeEvent *>(event)->size();
        lParam = PackPoint(QPointF(s.width(), s.height()));
        return WM::SIZE;
    }
    case QEvent::FocusIn:
        return WM::SETFOCUS;
    case QEvent::FocusOut:
        return WM::KILLFOCUS;
    case QEvent::Paint:
        return WM::PAINT;
    case QEvent::Close:
        return WM::CLOSE;
    default:
        return 0;
    }
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

void HookTable::AddHookMsg(QWidget *hWnd, qint32 uMsg, int When)
{
    if (HookEntry *e = Find(hWnd)) {
        if (When & HookBefore)
            Register(e->BeforeCount, e->BeforeTable, uMsg);
        if (When & HookAfter)
            Register(e->AfterCount, e->AfterTable, uMsg);
    }
}

void HookTable::DelHookMsg(QWidget *hWnd, qint32 uMsg, int When)
{
    if (HookEntry *e = Find(hWnd)) {
        if (When & HookBefore)
            Unregister(e->BeforeCount, e->BeforeTable, uMsg);
        if (When & HookAfter)
            Unregister(e->AfterCount, e->AfterTable, uMsg);
    }
}

void HookTable::UnhookWindow(QWidget *hWnd)
{
    if (HookEntry *e = Find(hWnd)) {
        if (e->filter)
            e->hWnd->removeEventFilter(e->filter);
        delete e->filter.data();
        *e = HookEntry();
    }
}

void HookTable::UnhookAll()
{
    for (int i = size() - 1; i >= 0; --i) {
        HookEntry &e = m_entries[static_cast<size_t>(i)];
        if (e.hWnd)
            UnhookWindow(e.hWnd);
        else
            delete e.filter.data(); // the widget is gone and its children with it; nothing left to do
    }
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
    m_trackInUser32 = IsFunctionExported(QStringLiteral("TrackMouseEvent"), QStringLiteral("User32"));
    m_trackAvailable =
        m_trackInUser32 || IsFunctionExported(QStringLiteral("_TrackMouseEvent"), QStringLiteral("Comctl32"));
    return m_trackAvailable;
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
    m_lastReturn = lReturn;
    return true;
}
