#include "controls/Cmd1.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>

namespace {

// One placement row by TextAlign or PicAlign; the element keeps its place for a value outside 0 to 8.
void PlaceElement(QRectF &r, qint32 align, float margin, float bottomMargin, float W, float H)
{
    if (align < 0 || align > 8)
        return;
    const auto w = float(r.width()), h = float(r.height());
    const float middle = H / 2 - h / 2, centre = W / 2 - w / 2, right = W - w - margin;
    const float tops[] = {margin,         middle, H - h - bottomMargin, margin, middle,
                          H - h - margin, margin, H - h - 40,           middle};
    const float lefts[] = {margin, margin, margin, right, right, right, centre, centre, centre};
    r.moveTo(lefts[align], tops[align]);
}

QPointF ElementPoint(const QPointF &pixel, const QRectF &element)
{
    return PixelsToTwips(pixel) - element.topLeft();
}

} // namespace

Cmd1::Cmd1(QWidget *parent) : PaintedControl(parent, QAccessible::Button)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_backStyle = 1;
    ArrangeContent();
}

bool Cmd1::setCaption(const QString &caption)
{
    bool ok = CaptionTextChanged(caption);
    report("Caption");
    const auto twoT = ToWhole<qint16>(2.0 * m_textDistToEdge);
    if (!twoT)
        return false;
    const float W = InnerWidth();
    if (float(m_label1.width()) - float(*twoT) > W)
        SetCaptionWidth(W - float(*twoT));
    return ArrangeContent() && ok;
}

bool Cmd1::CaptionTextChanged(const QString &text)
{
    m_caption = text;
    captionChanged(text);
    AutoSizeCaption();
    if (!ArrangeContent())
        return false;
    const auto width = ToWhole<qint16>(m_label1.width());
    m_textWidth = width.value_or(m_textWidth);
    return width.has_value();
}

void Cmd1::AutoSizeCaption()
{
    const QFontMetrics fm(font());
    const int width = m_wordWrap ? std::max(0, TwipsToPixels(m_label1.width())) : 100000;
    const int flags = Qt::TextShowMnemonic | (m_wordWrap ? Qt::TextWordWrap | Qt::AlignHCenter : Qt::AlignLeft);
    const QRect bounds = fm.boundingRect(QRect(0, 0, width, 100000), flags, m_caption);
    if (!m_wordWrap)
        m_label1.setWidth(bounds.width() * TwipsPerPixel);
    m_label1.setHeight(std::max(bounds.height(), fm.height()) * TwipsPerPixel);
}

void Cmd1::SetCaptionWidth(float twips)
{
    if (twips < 0) // a label takes no negative size; it keeps the one it has
        return;
    m_label1.setWidth(twips);
    AutoSizeCaption();
}

bool Cmd1::SizePicture(float W, float H)
{
    float w = float(m_image1.width()), h = float(m_image1.height());
    if (m_picSize == 1) {
        const auto twoD = ToWhole<qint16>(2.0 * m_picDistToEdge);
        if (!twoD)
            return false;
        w = W - float(*twoD);
        h = H - float(*twoD);
    } else if (m_picSize == 2) {
        w = m_picWidth;
        h = m_picHeight;
    } else if (m_picSize == 3) {
        w = float(m_picture.Width() * TwipsPerPixel);
        h = float(m_picture.Height() * TwipsPerPixel);
    } else {
        const auto side = ToWhole<qint32>(double(m_picSize) * 10);
        if (!side)
            return false;
        w = h = float(*side);
    }
    if (w >= 0 && h >= 0)
        m_image1.setSize(QSizeF(w, h));
    return true;
}

bool Cmd1::ArrangeContent(bool movePicture)
{
    m_layoutDirty = m_layoutDirty || movePicture;
    const float W = InnerWidth();
    const float H = InnerHeight();
    update();

    const auto twoT = ToWhole<qint16>(2.0 * m_textDistToEdge);
    if (!twoT)
        return false;
    SetCaptionWidth(m_textSetWH ? float(m_textWidth) : W - float(*twoT));
    AutoSizeCaption();
    if (m_layoutDirty) {
        if (!SizePicture(W, H))
            return false;
        PlaceElement(m_image1, m_picAlign, m_picDistToEdge, 40, W, H);
    }
    PlaceElement(m_label1, m_textAlign, m_textDistToEdge, m_textDistToEdge, W, H);
    m_layoutDirty = false;
    if (!isEnabled())
        ShowDisabled();
    return true;
}

void Cmd1::ShowEdges(quint32 topLeft, quint32 bottomRight, bool hot)
{
    update();
    if (m_isHot == hot)
        return;
    m_shape1Color = topLeft;
    m_shape2Color = bottomRight;
    if (ArrangeContent())
        m_isHot = hot;
}

void Cmd1::ShowPressed()
{
    m_shape1Color = m_highColor2;
    m_shape2Color = m_highColor1;
    m_label1.translate(20, 20);
    m_image1.translate(20, 20);
    update();
}

void Cmd1::ShowReleased()
{
    if (m_isPressed)
        m_layoutDirty = true;
    update();
}

void Cmd1::ShowDisabled()
{
    // The caption colour in force when the look begins; later arrangements keep it.
    if (!m_disabledShown)
        m_savedForeColor = m_label1Color;
    m_disabledShown = true;
    m_label2 = m_label1.translated(10, 10);
    m_label2Visible = true;
    m_label1Color = SystemColor::GrayText;
    m_label2Color = SystemColor::ButtonHighlight;
    update();
}

void Cmd1::ShowEnabled()
{
    m_label2Visible = false;
    m_label1Color = m_savedForeColor;
    m_disabledShown = false;
    update();
}

void Cmd1::enabledChanged()
{
    if (!isEnabled() && QWidget::mouseGrabber() == this)
        releaseMouse();
    if (isEnabled() == m_disabledShown)
        isEnabled() ? ShowEnabled() : ShowDisabled();
}

bool Cmd1::IsMouseOverMe(const QPoint &global) const
{
    return QApplication::widgetAt(global) == this;
}

Cmd1::Element Cmd1::HitTest(const QPointF &pixel) const
{
    const QPointF twips = PixelsToTwips(pixel);
    if (m_label1.contains(twips))
        return Element::Caption;
    if (!m_picture.isNull() && m_image1.contains(twips))
        return Element::Picture;
    return Element::Surface;
}

void Cmd1::hideEvent(QHideEvent *)
{
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

void Cmd1::TrackMouse(const QPointF &twips)
{
    if (QWidget::mouseGrabber() == this) {
        if (twips.x() < 0 || twips.x() > InnerWidth() || twips.y() < 0 || twips.y() > InnerHeight()) {
            releaseMouse();
            m_isPressed = false;
            ShowCold();
        }
        return;
    }
    grabMouse();
    ShowHot();
}

void Cmd1::mousePressEvent(QMouseEvent *event)
{
    // A press where no move was seen (a jump of the pointer) first enters the button there.
    if (!m_isHot)
        TrackMouse(PixelsToTwips(event->position()));
    m_pressedOn = HitTest(event->position());
    m_isPressed = true;
    ShowPressed();
    if (m_pressedOn == Element::Surface)
        raiseMouse(event);
}

void Cmd1::mouseMoveEvent(QMouseEvent *event)
{
    // Without the capture the button sees only moves over itself, as a native window would.
    const bool inside = rect().contains(event->position().toPoint());
    if (QWidget::mouseGrabber() != this && !inside)
        return;
    TrackMouse(PixelsToTwips(event->position()));
    const Element on = inside ? HitTest(event->position()) : Element::Surface;
    raiseMouse(event, on == Element::Caption   ? ElementPoint(event->position(), m_label1)
                      : on == Element::Picture ? ElementPoint(event->position(), m_image1)
                                               : PixelsToTwips(event->position()));
}

void Cmd1::mouseReleaseEvent(QMouseEvent *event)
{
    // Once the capture went with a drag out, a release elsewhere belongs to another window.
    if (QWidget::mouseGrabber() != this && !rect().contains(event->position().toPoint()))
        return;
    const QPointF p = ElementPoint(event->position(), m_pressedOn == Element::Caption   ? m_label1
                                                      : m_pressedOn == Element::Picture ? m_image1
                                                                                        : QRectF());
    const bool over = IsMouseOverMe(event->globalPosition().toPoint());
    ShowReleased();
    ShowHot();
    if (m_pressedOn == Element::Picture) {
        m_isPressed = false;
        if (over)
            emit Click();
        raiseMouse(event, p);
        return;
    }
    if (over) {
        m_isHot = false;
        ShowHot();
        if (m_isPressed)
            emit Click();
    }
    raiseMouse(event, p);
    m_isPressed = false;
}

void Cmd1::keyPressEvent(QKeyEvent *event)
{
    const qint16 keyAscii = raiseKey(event);
    if (keyAscii == 13 || keyAscii == 32)
        emit Click();
}

void Cmd1::focusChanged(const QFocusEvent *event)
{
    update();
    // A menu or another window takes the focus only for a while; the button stays as it was.
    if (event->lostFocus() && event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        ShowCold();
}
