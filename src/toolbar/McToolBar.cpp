#include "toolbar/McToolBar.h"

#include "controls/ControlSupport.h"
#include "platform/ui/Colors.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcut>
#include <cmath>

McToolBar::McToolBar(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    InstallToolBarAccessibility();
    InitProperties();
}

void McToolBar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange && testAttribute(Qt::WA_SetFont))
        m.Font = font();
    if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange)
        RedrawControl();
    QWidget::changeEvent(event);
}

int McToolBar::HitTest(double X, double Y) const
{
    const int count = m.count();
    double candidate = count;
    if (m.AutoSizeButtons) {
        for (int i = 0; i < count; ++i) {
            const ButtonRecord &b = m.at(i);
            if (X > b.left && X < b.left + b.width && Y > b.top && Y < b.top + b.height) {
                candidate = i;
                break;
            }
        }
    } else if (m_grid.CellHeight != 0 && m_grid.CellWidth != 0) {
        candidate = std::floor(Y / m_grid.CellHeight) * m.ButtonsPerRow + std::floor(X / m_grid.CellWidth);
    } else {
        candidate = -1; // no grid to divide by: no button is under the mouse
    }
    // The column test is skipped, not failed, when there is no width to divide by.
    if (m.ButtonsWidth != 0 && std::floor(X / m.ButtonsWidth) >= m.ButtonsPerRow)
        return -1;
    if (!(candidate >= 0 && candidate < count))
        return -1;
    const int index = static_cast<int>(candidate);
    return m.at(index).enabled ? index : -1;
}

void McToolBar::HoverAt(const QPointF &pos)
{
    const int index = HitTest(pos.x(), pos.y());
    if (index == -1)
        unsetCursor();
    // While the bar has the focus, the hovered button is its keyboard mark too.
    SelectButton(index);
}

void McToolBar::mouseMoveEvent(QMouseEvent *event)
{
    if (m_designMode)
        return;
    const QPointF pos = event->position();
    HoverAt(pos);
    emit MouseMove(m.Button_Index, ButtonOf(event->buttons()), ShiftOf(event->modifiers()), float(pos.x()),
                   float(pos.y()));
}

void McToolBar::mousePressEvent(QMouseEvent *event)
{
    if (m_designMode)
        return;
    m_pressedHere = true;
    // A pen, a touch or a fast mouse may press where no move was seen: the press is a hover there too.
    HoverAt(event->position());
    if (m.Button_Index == -1)
        return;
    m_isMouseDown = true;
    RedrawControl();
    emit MouseDown(m.Button_Index, ButtonOf(event->button()), ShiftOf(event->modifiers()), float(event->position().x()),
                   float(event->position().y()));
}

void McToolBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_designMode)
        return;
    if (m.Button_Index != -1) {
        m_isMouseDown = false;
        RedrawControl();
        emit MouseUp(m.Button_Index, ButtonOf(event->button()), ShiftOf(event->modifiers()),
                     float(event->position().x()), float(event->position().y()));
    }
    // A click is a press and a release on the control; the release that ends a double-click is none.
    const bool click = m_pressedHere && rect().contains(event->position().toPoint());
    m_pressedHere = false;
    if (click)
        RaiseClick(m.Button_Index);
}

void McToolBar::mouseDoubleClickEvent(QMouseEvent *)
{
    if (m_designMode)
        return;
    m_pressedHere = false; // the release that follows is no click
    m_isMouseDown = true;
    RedrawControl();
    emit DblClick(m.Button_Index);
}

void McToolBar::keyPressEvent(QKeyEvent *event)
{
    m_isMouseDown = true;
    emit KeyDown(m.Button_Index, KeyCodeOf(event), ShiftOf(event->modifiers()));
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        m_isMouseDown = false;
        SelectButton(NextEnabled(m.Button_Index, event->key() == Qt::Key_Right ? 1 : -1));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Down:
        if (m.Button_Index != -1)
            RaiseClick(m.Button_Index);
        break;
    case Qt::Key_Escape:
        m_isMouseDown = false;
        clearFocus();
        break;
    default:
        break;
    }
}

void McToolBar::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return;
    m_isMouseDown = false;
    emit KeyUp(m.Button_Index, KeyCodeOf(event), ShiftOf(event->modifiers()));
}

void McToolBar::focusInEvent(QFocusEvent *event)
{
    // Reached by Tab or F10: the keyboard needs a button to stand on.
    const bool byKey = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (!m_designMode && m.Button_Index == -1 && byKey)
        SelectButton(NextEnabled(-1, 1));
    QWidget::focusInEvent(event);
}

void McToolBar::focusOutEvent(QFocusEvent *event)
{
    // A menu opened from the bar, or another window, keeps the mark; moving on in this window takes it away.
    const bool stays = event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason;
    if (!m_designMode && !m_isInside && !stays && m.Button_Index != -1) {
        m.Button_Index = -1;
        RedrawControl();
    }
    QWidget::focusOutEvent(event);
}

int McToolBar::NextEnabled(int from, int step) const
{
    const int count = m.count();
    int index = from;
    for (int tried = 0; tried < count; ++tried) {
        index = index < 0 ? (step > 0 ? 0 : count - 1) : (index + step + count) % count;
        if (m.at(index).enabled)
            return index;
    }
    return from;
}

void McToolBar::SelectButton(int index)
{
    if (index == m.Button_Index)
        return;
    m.Button_Index = index;
    emit OnButtonHover(index);
    RedrawControl();
    if (hasFocus())
        AnnounceToolBarFocus(this, index);
}

QChar McToolBar::MarkedLetter(const QString &caption)
{
    // "&&" is an ampersand, not a mark: the loop steps over both.
    for (qsizetype i = 0; i + 1 < caption.size(); ++i)
        if (caption.at(i) == u'&' && caption.at(++i) != u'&')
            return caption.at(i).toUpper();
    return QChar();
}

QChar McToolBar::Mnemonic(const QString &caption)
{
    if (const QChar marked = MarkedLetter(caption); !marked.isNull())
        return marked;
    for (const QChar c : caption)
        if (c.isLetterOrNumber())
            return c.toUpper();
    return QChar();
}

namespace {

// The Alt letters other controls of the window answer to: their "&" marks, and those of the labels
// that lead to them, as their accessible interfaces report them ("Alt+E").
QString MarkedElsewhere(const QWidget *bar)
{
    QString taken;
    for (QWidget *w : bar->window()->findChildren<QWidget *>()) {
        if (w == bar || w->window() != bar->window() || bar->isAncestorOf(w))
            continue;
        const QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
        const QKeySequence key =
            face ? QKeySequence::fromString(face->text(QAccessible::Accelerator), QKeySequence::NativeText)
                 : QKeySequence();
        if (key.count() == 1 && key[0].keyboardModifiers() == Qt::AltModifier)
            taken += QChar(static_cast<char16_t>(key[0].key())).toUpper();
    }
    return taken;
}

} // namespace

void McToolBar::UpdateShortcuts()
{
    QStringList captions;
    for (const ButtonRecord &b : m.Buttons)
        captions << b.caption;
    if (captions == m_captions)
        return;
    m_captions = captions;
    RebuildShortcuts();
}

void McToolBar::showEvent(QShowEvent *event)
{
    // The window's other captions are set by now; a first letter may have to give way to them.
    RebuildShortcuts();
    QWidget::showEvent(event);
}

void McToolBar::RebuildShortcuts()
{
    // Marked letters first, the bar's own before the rest of the window's; then first letters
    // where they are still free. Of two buttons with one letter the first keeps it.
    QString marks;
    for (const QString &caption : std::as_const(m_captions))
        marks += MarkedLetter(caption);
    QString taken;
    QString keys(marks.size(), QChar());
    for (int i = 0; i < keys.size(); ++i)
        if (!marks.at(i).isNull() && !taken.contains(marks.at(i)))
            taken += keys[i] = marks.at(i);
    taken += MarkedElsewhere(this);
    for (int i = 0; i < keys.size(); ++i)
        if (const QChar first = Mnemonic(m_captions.at(i));
            marks.at(i).isNull() && !first.isNull() && !taken.contains(first))
            taken += keys[i] = first;
    if (keys == m_keys && !m_shortcuts.isEmpty())
        return;
    m_keys = keys;
    qDeleteAll(m_shortcuts);
    m_shortcuts.clear();
    if (m_designMode)
        return;
    // F10 reaches the bar as on other desktops; Alt and a caption's letter opens that button's menu.
    m_shortcuts << new QShortcut(QKeySequence(Qt::Key_F10), this, this, &McToolBar::FocusFromKeyboard);
    for (int i = 0; i < keys.size(); ++i)
        if (!keys.at(i).isNull())
            m_shortcuts << new QShortcut(QKeySequence(QStringLiteral("Alt+") + keys.at(i)), this,
                                         [this, i] { OpenButton(i); });
}

void McToolBar::FocusFromKeyboard()
{
    // As in other menu bars, F10 always starts at the first button.
    setFocus(Qt::ShortcutFocusReason);
    m.Button_Index = -1;
    SelectButton(NextEnabled(-1, 1));
}

void McToolBar::OpenButton(int index)
{
    if (!m.valid(index) || !m.at(index).enabled)
        return;
    setFocus(Qt::ShortcutFocusReason);
    SelectButton(index);
    RaiseClick(index);
}

void McToolBar::RaiseClick(int index)
{
    emit Click(index);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu || index < 0)
        return;
    if (m_menu && m_menu != menu)
        m_menu->removeEventFilter(this);
    m_menu = menu;
    m_menuIndex = index;
    menu->installEventFilter(this);
}

bool McToolBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_menu || m_menu.isNull())
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::Hide) {
        m_menu->removeEventFilter(this);
        m_menu = nullptr;
        return false;
    }
    const auto *key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent *>(event) : nullptr;
    const bool across = key && (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right);
    // A submenu takes Left and Right itself, as in any menu bar.
    if (!across || (m_menu->activeAction() && m_menu->activeAction()->menu()))
        return false;
    const int next = NextEnabled(m_menuIndex, key->key() == Qt::Key_Right ? 1 : -1);
    m_menu->close();
    if (next != m_menuIndex)
        OpenButton(next);
    return true;
}

void McToolBar::zSubclass_Proc(bool bBefore, bool &, qint32 &, QWidget *&lng_hWnd, qint32 &uMsg, qint32 &,
                               qint32 &lParam)
{
    if (bBefore)
        return;
    // The tooltip shows after five ticks of a 1 ms timer that every move at a new position restarts.
    if (uMsg == WM_MOUSEMOVE && m_lastPos.Moved(lParam)) {
        if (m_timerId)
            killTimer(m_timerId);
        m_timerId = startTimer(1, Qt::PreciseTimer);
        m_tickCount = 0;
        if (!m_isInside) {
            m_isInside = true;
            m_hooks.TrackMouseLeave(lng_hWnd);
            emit MouseEnter();
        }
        HideToolTip();
    } else if (uMsg == WM_TIMER && ++m_tickCount == 5) {
        killTimer(std::exchange(m_timerId, 0));
        if (m_isInside)
            ShowToolTip();
    } else if (uMsg == WM_MOUSELEAVE) {
        m_isInside = false;
        m.Button_Index = -1;
        HideToolTip();
        RedrawControl();
        emit MouseLeave();
    }
}

void McToolBar::ShowToolTip()
{
    HideToolTip();
    const ButtonRecord *b = current();
    if (!b || b->toolTip.isEmpty())
        return;
    m_tip = new ToolBarToolTip(this, m.TooTipStyle != 1, b->caption, b->toolTipIcon, b->toolTip,
                               ControlColor(m.ToolTipBackCol), ControlColor(m.ToolTipForeCol));
    m_tip->showAt(mapToGlobal(QPoint(m_lastPos.X, m_lastPos.Y)));
}

void McToolBar::HideToolTip()
{
    delete m_tip.data();
    m_tip = nullptr;
}
