#include "controls/Cmd1.h"

#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

Cmd1::Cmd1(QWidget *parent) : PaintedControl(parent, QAccessible::Button)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    m_captionFont = ContainerFont(this);
    m_label1 = QRectF(0, 0, 1000, 0);
    m_image1 = QRectF(0, 0, 320, 320);
    m_layoutDirty = true;
    ArrangeContent();
}

void Cmd1::ApplyEnabledLook()
{
    if (isEnabled())
        ShowEnabled();
    else
        ShowDisabled();
}

void Cmd1::Refresh()
{
    update();
}

bool Cmd1::setCaption(const QString &caption)
{
    bool ok = CaptionTextChanged(caption);
    Report("Caption");
    const auto twoT = MulInt16(2, m_textDistToEdge);
    if (!twoT)
        return false;
    const float W = InnerWidth();
    if (float(m_label1.width()) - float(*twoT) > W)
        SetCaptionWidth(W - float(*twoT));
    return ArrangeContent() && ok;
}

bool Cmd1::IsMouseOverMe(const QPoint &global) const
{
    return QApplication::widgetAt(global) == this;
}

void Cmd1::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(painter);
}

void Cmd1::resizeEvent(QResizeEvent *)
{
    Rearrange(true);
    emit Resize();
}

void Cmd1::showEvent(QShowEvent *)
{
    emit Show();
}

void Cmd1::hideEvent(QHideEvent *)
{
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

void Cmd1::enabledChanged()
{
    if (!isEnabled() && QWidget::mouseGrabber() == this)
        releaseMouse();
    if (isEnabled() == m_disabledShown)
        ApplyEnabledLook();
}

bool Cmd1::event(QEvent *event)
{
    // The tooltip belongs to the caption only.
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        if (!m_toolTipText.isEmpty() && HitTest(help->pos()) == Element::Caption)
            QToolTip::showText(help->globalPos(), m_toolTipText, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void Cmd1::TrackMouse(float x, float y)
{
    if (QWidget::mouseGrabber() == this) {
        if (x < 0 || x > InnerWidth() || y < 0 || y > InnerHeight()) {
            releaseMouse();
            m_isPressed = false;
            ShowCold();
        }
        return;
    }
    grabMouse();
    ShowHot();
}

namespace {

QPointF ElementPoint(const QPointF &pixel, const QRectF &element)
{
    return pixel * 15.0 - element.topLeft();
}

} // namespace

void Cmd1::mousePressEvent(QMouseEvent *event)
{
    // A press where no move was seen (a jump of the pointer) first enters the button there.
    if (!m_isHot)
        TrackMouse(float(event->position().x() * 15.0), float(event->position().y() * 15.0));
    m_pressedOn = HitTest(event->position());
    m_isPressed = true;
    ShowPressed();
    if (m_pressedOn == Element::Surface) {
        const QPointF p = event->position() * 15.0;
        emit MouseDown(ButtonOf(event->button()), ShiftOf(event->modifiers()), float(p.x()), float(p.y()));
    }
}

void Cmd1::mouseMoveEvent(QMouseEvent *event)
{
    // Without the capture the button sees only moves over itself, as a native window would.
    if (QWidget::mouseGrabber() != this && !rect().contains(event->position().toPoint()))
        return;
    const QPointF surface = event->position() * 15.0;
    TrackMouse(float(surface.x()), float(surface.y()));
    const Element on = rect().contains(event->position().toPoint()) ? HitTest(event->position()) : Element::Surface;
    const QPointF p = on == Element::Caption   ? ElementPoint(event->position(), m_label1)
                      : on == Element::Picture ? ElementPoint(event->position(), m_image1)
                                               : surface;
    emit MouseMove(ButtonOf(event->buttons()), ShiftOf(event->modifiers()), float(p.x()), float(p.y()));
}

void Cmd1::mouseReleaseEvent(QMouseEvent *event)
{
    // Once the capture went with a drag out, a release elsewhere belongs to another window.
    if (QWidget::mouseGrabber() != this && !rect().contains(event->position().toPoint()))
        return;
    const qint16 button = ButtonOf(event->button());
    const qint16 shift = ShiftOf(event->modifiers());
    const QRectF element = m_pressedOn == Element::Caption   ? m_label1
                           : m_pressedOn == Element::Picture ? m_image1
                                                             : QRectF();
    const QPointF p = ElementPoint(event->position(), element);
    ShowReleased();
    ShowHot();
    if (m_pressedOn == Element::Picture) {
        m_isPressed = false;
        if (IsMouseOverMe(event->globalPosition().toPoint()))
            emit Click();
        emit MouseUp(button, shift, float(p.x()), float(p.y()));
        return;
    }
    if (IsMouseOverMe(event->globalPosition().toPoint())) {
        m_isHot = false;
        ShowHot();
        if (m_isPressed)
            emit Click();
    }
    emit MouseUp(button, shift, float(p.x()), float(p.y()));
    m_isPressed = false;
}

void Cmd1::mouseDoubleClickEvent(QMouseEvent *)
{
    emit DblClick();
}

void Cmd1::keyPressEvent(QKeyEvent *event)
{
    emit KeyDown(KeyCodeOf(event), ShiftOf(event->modifiers()));
    qint16 keyAscii = KeyAsciiOf(event);
    if (keyAscii == 0)
        return;
    emit KeyPress(keyAscii);
    if (keyAscii == 13 || keyAscii == 32)
        emit Click();
}

void Cmd1::focusInEvent(QFocusEvent *)
{
    m_hasFocus = true;
    update();
}

void Cmd1::focusOutEvent(QFocusEvent *event)
{
    m_hasFocus = false;
    update();
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        ShowCold();
}
