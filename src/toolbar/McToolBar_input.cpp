#include "toolbar/McToolBar.h"

#include "platform/ui/Colors.h"
#include "toolbar/ToolBarToolTip.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <cmath>

namespace {

// Buttons and shift state as the events report them: left 1, right 2, middle 4; Shift 1, Ctrl 2, Alt 4.
qint16 ButtonCode(Qt::MouseButtons buttons)
{
    return static_cast<qint16>(((buttons & Qt::LeftButton) ? 1 : 0) | ((buttons & Qt::RightButton) ? 2 : 0) |
                               ((buttons & Qt::MiddleButton) ? 4 : 0));
}

qint16 ShiftCode(Qt::KeyboardModifiers modifiers)
{
    return static_cast<qint16>(((modifiers & Qt::ShiftModifier) ? 1 : 0) | ((modifiers & Qt::ControlModifier) ? 2 : 0) |
                               ((modifiers & Qt::AltModifier) ? 4 : 0));
}

// The classic virtual key code of a key: letters and digits are their upper-case character.
qint16 KeyCode(const QKeyEvent *event)
{
    const int key = event->key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<qint16>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<qint16>(0x70 + key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Tab:
        return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Shift:
        return 0x10;
    case Qt::Key_Control:
        return 0x11;
    case Qt::Key_Alt:
        return 0x12;
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_Space:
        return 0x20;
    case Qt::Key_PageUp:
        return 0x21;
    case Qt::Key_PageDown:
        return 0x22;
    case Qt::Key_End:
        return 0x23;
    case Qt::Key_Home:
        return 0x24;
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    case Qt::Key_Insert:
        return 0x2D;
    case Qt::Key_Delete:
        return 0x2E;
    default:
        return static_cast<qint16>(event->nativeVirtualKey() & 0x7FFF);
    }
}

} // namespace

int McToolBar::HitTest(double X, double Y) const
{
    const int count = m.count();
    double candidate = count;
    if (m.AutoSizeButtons) {
        for (int i = 0; i < count; ++i) {
            const ButtonRecord &b = m.Buttons[static_cast<size_t>(i)];
            if (X > b.left && X < b.left + b.width && Y > b.top && Y < b.top + b.height) {
                candidate = i;
                break;
            }
        }
    } else if (m_grid.CellHeight != 0 && m_grid.CellWidth != 0) {
        candidate = std::floor(Y / m_grid.CellHeight) * m.ButtonsPerRow + std::floor(X / m_grid.CellWidth);
    } else {
        // No grid to divide by: no button is under the mouse.
        candidate = -1;
    }
    // The column test is skipped, not failed, when there is no width to divide by.
    if (m.ButtonsWidth != 0 && std::floor(X / m.ButtonsWidth) >= m.ButtonsPerRow)
        return -1;
    if (!(candidate >= 0 && candidate < count))
        return -1;
    const int index = static_cast<int>(candidate);
    return m.Buttons[static_cast<size_t>(index)].enabled ? index : -1;
}

void McToolBar::mouseMoveEvent(QMouseEvent *event)
{
    if (m_designMode)
        return;
    const QPointF pos = event->position();
    const int index = HitTest(pos.x(), pos.y());
    if (index == -1)
        unsetCursor();
    if (index != m.Button_Index) {
        m.Button_Index = index;
        emit OnButtonHover(index);
        RedrawControl();
    }
    emit MouseMove(m.Button_Index, ButtonCode(event->buttons()), ShiftCode(event->modifiers()), float(pos.x()),
                   float(pos.y()));
}

void McToolBar::mousePressEvent(QMouseEvent *event)
{
    if (m_designMode)
        return;
    m_pressedHere = true;
    m_afterDoubleClick = false;
    if (m.Button_Index == -1)
        return;
    m_isMouseDown = true;
    RedrawControl();
    emit MouseDown(m.Button_Index, ButtonCode(event->button()), ShiftCode(event->modifiers()),
                   float(event->position().x()), float(event->position().y()));
}

void McToolBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_designMode)
        return;
    if (m.Button_Index != -1) {
        m_isMouseDown = false;
        RedrawControl();
        emit MouseUp(m.Button_Index, ButtonCode(event->button()), ShiftCode(event->modifiers()),
                     float(event->position().x()), float(event->position().y()));
    }
    // A click is a press and a release on the control; the release that ends a double-click is none.
    const bool click = m_pressedHere && !m_afterDoubleClick && rect().contains(event->position().toPoint());
    m_pressedHere = false;
    m_afterDoubleClick = false;
    if (click)
        emit Click(m.Button_Index);
}

void McToolBar::mouseDoubleClickEvent(QMouseEvent *)
{
    if (m_designMode)
        return;
    m_pressedHere = false;
    m_afterDoubleClick = true;
    m_isMouseDown = true;
    RedrawControl();
    emit DblClick(m.Button_Index);
}

void McToolBar::keyPressEvent(QKeyEvent *event)
{
    m_isMouseDown = true;
    emit KeyDown(m.Button_Index, KeyCode(event), ShiftCode(event->modifiers()));
}

void McToolBar::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return;
    m_isMouseDown = false;
    emit KeyUp(m.Button_Index, KeyCode(event), ShiftCode(event->modifiers()));
}

void McToolBar::zSubclass_Proc(bool bBefore, bool &, qint32 &, QWidget *&lng_hWnd, qint32 &uMsg, qint32 &,
                               qint32 &lParam)
{
    if (bBefore)
        return;
    switch (uMsg) {
    case WM_MOUSEMOVE:
        if (m_lastPos.Moved(lParam))
            OnHookedMouseMove(lng_hWnd);
        break;
    case WM_TIMER:
        OnHookedTimer();
        break;
    case WM_MOUSELEAVE:
        OnHookedMouseLeave();
        break;
    default:
        break;
    }
}

void McToolBar::OnHookedMouseMove(QWidget *hWnd)
{
    if (m_timerId)
        killTimer(m_timerId);
    m_timerId = startTimer(1, Qt::PreciseTimer);
    m_tickCount = 0;
    if (!m_isInside) {
        m_isInside = true;
        m_hooks.TrackMouseLeave(hWnd);
        emit MouseEnter();
    }
    HideToolTip();
}

void McToolBar::OnHookedTimer()
{
    ++m_tickCount;
    if (m_tickCount != 5)
        return;
    if (m_timerId)
        killTimer(m_timerId);
    m_timerId = 0;
    if (m_isInside)
        ShowToolTip();
}

void McToolBar::OnHookedMouseLeave()
{
    m_isInside = false;
    m.Button_Index = -1;
    HideToolTip();
    RedrawControl();
    emit MouseLeave();
}

void McToolBar::ShowToolTip()
{
    HideToolTip();
    const ButtonRecord *b = current();
    if (!b || b->toolTip.isEmpty())
        return;
    m_tip = new ToolBarToolTip(this, m.TooTipStyle != 1, b->caption, b->toolTipIcon, b->toolTip,
                               ToQColor(TranslateColor(m.ToolTipBackCol)), ToQColor(TranslateColor(m.ToolTipForeCol)));
    m_tip->showAt(mapToGlobal(QPoint(m_lastPos.X, m_lastPos.Y)));
}

void McToolBar::HideToolTip()
{
    delete m_tip.data();
    m_tip = nullptr;
}
