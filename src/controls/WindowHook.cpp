#include "controls/WindowHook.h"

#include "platform/ui/MouseTracking.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
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
    qint32 state = 0;
    if (buttons & Qt::LeftButton)
        state |= 0x01;
    if (buttons & Qt::RightButton)
        state |= 0x02;
    if (modifiers & Qt::ShiftModifier)
        state |= 0x04;
    if (modifiers & Qt::ControlModifier)
        state |= 0x08;
    if (buttons & Qt::MiddleButton)
        state |= 0x10;
    return state;
}

// The message of a press, release or double-click: left, right and middle are three apart.
qint32 ButtonMessage(qint32 leftMessage, Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return leftMessage;
    case Qt::RightButton:
        return leftMessage + 3;
    case Qt::MiddleButton:
        return leftMessage + 6;
    default:
        return 0;
    }
}

bool Wanted(qint32 count, const std::vector<qint32> &table, qint32 uMsg)
{
    if (count < 0)
        return true;
    const auto end = table.begin() + std::min<qint32>(count, static_cast<qint32>(table.size()));
    return std::find(table.begin(), end, uMsg) != end;
}

void Register(qint32 &count, std::vector<qint32> &table, qint32 uMsg)
{
    if (uMsg == HookAllMessages) {
        count = -1;
        return;
    }
    // A table switched to every message keeps its entries; registering one more starts counting again.
    const qint32 used = std::max<qint32>(count, 0);
    for (qint32 i = 0; i < used; ++i) {
        if (table[static_cast<size_t>(i)] == 0) {
            table[static_cast<size_t>(i)] = uMsg;
            return;
        }
        if (table[static_cast<size_t>(i)] == uMsg)
            return;
    }
    count = used + 1;
    table.resize(static_cast<size_t>(count));
    table.back() = uMsg;
}

void Unregister(qint32 &count, std::vector<qint32> &table, qint32 uMsg)
{
    if (uMsg == HookAllMessages) {
        count = 0;
        return;
    }
    for (qint32 i = 0; i < std::max<qint32>(count, 0); ++i) {
        if (table[static_cast<size_t>(i)] == uMsg) {
            table[static_cast<size_t>(i)] = 0;
            return;
        }
    }
}

} // namespace

HookTable::~HookTable()
{
    UnhookAll();
}

void HookTable::HookWindow(QWidget *hWnd)
{
    if (!hWnd || FindHookIndex(hWnd, false) >= 0)
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
    const int index = FindHookIndex(hWnd, false);
    if (index < 0)
        return;
    HookEntry &e = m_entries[static_cast<size_t>(index)];
    if (When & HookBefore)
        Register(e.BeforeCount, e.BeforeTable, uMsg);
    if (When & HookAfter)
        Register(e.AfterCount, e.AfterTable, uMsg);
}

void HookTable::DelHookMsg(QWidget *hWnd, qint32 uMsg, int When)
{
    const int index = FindHookIndex(hWnd, false);
    if (index < 0)
        return;
    HookEntry &e = m_entries[static_cast<size_t>(index)];
    if (When & HookBefore)
        Unregister(e.BeforeCount, e.BeforeTable, uMsg);
    if (When & HookAfter)
        Unregister(e.AfterCount, e.AfterTable, uMsg);
}

void HookTable::UnhookWindow(QWidget *hWnd)
{
    const int index = FindHookIndex(hWnd, false);
    if (index < 0)
        return;
    HookEntry &e = m_entries[static_cast<size_t>(index)];
    if (e.hWnd && e.filter)
        e.hWnd->removeEventFilter(e.filter);
    delete e.filter.data();
    e = HookEntry();
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
    m_trackAvailable = true;
    m_trackInUser32 = IsFunctionExported(QStringLiteral("TrackMouseEvent"), QStringLiteral("User32"));
    if (!m_trackInUser32 && !IsFunctionExported(QStringLiteral("_TrackMouseEvent"), QStringLiteral("Comctl32")))
        m_trackAvailable = false;
    return m_trackAvailable;
}

void HookTable::TrackMouseLeave(QWidget *hWnd)
{
    if (!m_trackAvailable)
        return;
    const int index = FindHookIndex(hWnd, false);
    if (index >= 0)
        m_entries[static_cast<size_t>(index)].leaveArmed = true;
}

bool HookTable::Translate(HookEntry &entry, QEvent *event, qint32 &uMsg, qint32 &wParam, qint32 &lParam)
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
        if (event->type() == QEvent::MouseMove)
            uMsg = WM::MOUSEMOVE;
        else if (event->type() == QEvent::MouseButtonPress)
            uMsg = ButtonMessage(WM::LBUTTONDOWN, m->button());
        else if (event->type() == QEvent::MouseButtonRelease)
            uMsg = ButtonMessage(WM::LBUTTONUP, m->button());
        else
            uMsg = ButtonMessage(WM::LBUTTONDBLCLK, m->button());
        return uMsg != 0;
    }
    case QEvent::Wheel: {
        const auto *w = static_cast<QWheelEvent *>(event);
        wParam = KeyState(w->buttons(), w->modifiers()) | (w->angleDelta().y() & 0xFFFF) << 16;
        lParam = PackPoint(w->globalPosition());
        uMsg = WM::MOUSEWHEEL;
        return true;
    }
    case QEvent::Leave:
        // One-shot, as the system's leave notification: only after TrackMouseLeave.
        if (!entry.leaveArmed)
            return false;
        entry.leaveArmed = false;
        uMsg = WM::MOUSELEAVE;
        return true;
    case QEvent::Timer:
        uMsg = WM::TIMER;
        wParam = static_cast<QTimerEvent *>(event)->timerId();
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *k = static_cast<QKeyEvent *>(event);
        uMsg = event->type() == QEvent::KeyPress ? WM::KEYDOWN : WM::KEYUP;
        wParam = k->nativeVirtualKey() ? static_cast<qint32>(k->nativeVirtualKey()) : k->key();
        lParam = k->isAutoRepeat() ? 1 << 30 : 0;
        return true;
    }
    case QEvent::FocusIn:
        uMsg = WM::SETFOCUS;
        return true;
    case QEvent::FocusOut:
        uMsg = WM::KILLFOCUS;
        return true;
    case QEvent::EnabledChange:
        uMsg = WM::ENABLE;
        wParam = entry.hWnd && entry.hWnd->isEnabled() ? 1 : 0;
        return true;
    case QEvent::Paint:
        uMsg = WM::PAINT;
        return true;
    case QEvent::Close:
        uMsg = WM::CLOSE;
        return true;
    case QEvent::Show:
    case QEvent::Hide:
        uMsg = WM::SHOWWINDOW;
        wParam = event->type() == QEvent::Show ? 1 : 0;
        return true;
    case QEvent::Resize: {
        const QSize s = static_cast<QResizeEvent *>(event)->size();
        uMsg = WM::SIZE;
        lParam = PackPoint(QPointF(s.width(), s.height()));
        return true;
    }
    default:
        return false;
    }
}

bool HookTable::Dispatch(QWidget *hWnd, QEvent *event)
{
    int index = FindHookIndex(hWnd, false);
    if (index < 0)
        return false;
    qint32 uMsg = 0;
    qint32 wParam = 0;
    qint32 lParam = 0;
    if (!Translate(m_entries[static_cast<size_t>(index)], event, uMsg, wParam, lParam))
        return false;
    {
        const HookEntry &e = m_entries[static_cast<size_t>(index)];
        // Nothing registered for this message: leave the event to Qt untouched.
        if (!Wanted(e.BeforeCount, e.BeforeTable, uMsg) && !Wanted(e.AfterCount, e.AfterTable, uMsg))
            return false;
    }

    bool bHandled = false;
    qint32 lReturn = 0;
    QWidget *lng_hWnd = hWnd;
    const QPointer<QWidget> alive(hWnd);
    {
        const HookEntry &e = m_entries[static_cast<size_t>(index)];
        if (Wanted(e.BeforeCount, e.BeforeTable, uMsg))
            m_owner->zSubclass_Proc(true, bHandled, lReturn, lng_hWnd, uMsg, wParam, lParam);
    }
    if (bHandled) {
        m_lastReturn = lReturn;
        return true;
    }
    // The widget's own handling, exactly as Qt would have called it after the filters.
    if (!alive)
        return true;
    lReturn = static_cast<QObject *>(hWnd)->event(event) ? 1 : 0;

    // The callbacks may have unhooked the widget, or hooked others and moved the table.
    index = FindHookIndex(hWnd, false);
    if (index >= 0) {
        const HookEntry &e = m_entries[static_cast<size_t>(index)];
        if (Wanted(e.AfterCount, e.AfterTable, uMsg))
            m_owner->zSubclass_Proc(false, bHandled, lReturn, lng_hWnd, uMsg, wParam, lParam);
    }
    m_lastReturn = lReturn;
    return true;
}
