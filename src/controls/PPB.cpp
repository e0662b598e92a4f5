#include "controls/PPB.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <cmath>
#include <utility>

namespace {

QRect Pixels(const QRectF &twips)
{
    const auto px = [](double t) { return static_cast<int>(std::lround(t / 15.0)); };
    return QRect(px(twips.left()), px(twips.top()), px(twips.width()), px(twips.height()));
}

// The fill's own colour where no bar picture is set, and the label's colour.
constexpr QRgb FillColor = 0x2A6FB8;
constexpr QRgb LabelColor = 0xFFFFFF;

} // namespace

PPB::PPB(QWidget *parent) : PaintedControl(parent, QAccessible::ProgressBar)
{
    m_font = ContainerFont(this);
    SetLabelText(m_labelText);
    Redraw();
}

void PPB::Redraw()
{
    const double W = width() * 15.0;
    const double H = height() * 15.0;
    m_frame = m_showBorder ? QRectF(20, 10, W - 20, H - 30) : QRectF(0, 0, W, H);
    m_image = QRectF(0, 0, m_frame.width(), m_frame.height());
    CentreLabel();
    m_border = QRectF(0, 0, W - 5, H - 5);
    update();
}

void PPB::Refresh()
{
    update();
    Redraw();
}

void PPB::CentreLabel()
{
    m_label.moveTo(m_frame.width() / 2 - m_label.width() / 2, m_frame.height() / 2 - m_label.height() / 2);
    update();
}

void PPB::SetLabelText(const QString &text)
{
    const QFontMetrics fm(m_font);
    m_label.setSize(QSizeF(fm.horizontalAdvance(text) * 15.0, fm.height() * 15.0));
    const bool changed = text != m_labelText;
    m_labelText = text;
    update();
    if (changed)
        emit Change();
}

void PPB::ValueChange(double value)
{
    const auto whole = ToInt16(value);
    if (!whole || *whole < 0 || *whole > 100)
        return;
    const auto fill = ToInt32(double(*whole) * (width() * 15.0) / 100.0);
    if (!fill)
        return;
    // The read phases report at every pump, mostly the same value: an unchanged bar is not
    // repainted, so the pump that follows has nothing to paint.
    if (*fill == m_frame.width() && (m_useCustomCaption || m_labelText == PercentText(*whole)))
        return;
    m_frame.setWidth(*fill); // the picture keeps its size, so it is clipped rather than squeezed
    if (!m_useCustomCaption)
        SetLabelText(PercentText(*whole));
    CentreLabel();
    if (std::exchange(m_value, *whole) != *whole)
        announceValue();
}

QString PPB::PercentText(int whole) const
{
    return QString::number(whole) + (m_isPercent ? QStringLiteral("%") : QString());
}

void PPB::SetCustomCaption(const QString &sCaption)
{
    if (!m_useCustomCaption || m_labelText == sCaption)
        return;
    SetLabelText(sCaption);
    CentreLabel();
}

void PPB::setIsPercent(bool percent)
{
    m_isPercent = percent;
    SetLabelText(percent ? QStringLiteral("100%") : QStringLiteral("100"));
    Report("IsPercent");
}

void PPB::setMousePointer(qint16 pointer)
{
    m_mousePointer = pointer;
    ApplyMousePointer(this, m_mousePointer, m_mouseIcon);
    Report("MousePointer");
}

void PPB::setMouseIcon(const StdPicture &icon)
{
    m_mouseIcon = icon;
    ApplyMousePointer(this, m_mousePointer, m_mouseIcon);
    Report("MouseIcon");
}

void PPB::paint(QPainter &p) const
{
    if (m_backStyle != 0)
        p.fillRect(rect(), ControlColor(m_backColor));
    if (m_showBorder) {
        const QRect border = Pixels(m_border);
        if (border.width() > 0 && border.height() > 0) {
            p.setPen(ControlColor(m_borderColor));
            p.setBrush(Qt::NoBrush);
            p.drawRect(border.adjusted(0, 0, -1, -1));
        }
    }
    const QRect frame = Pixels(m_frame);
    if (frame.width() <= 0 || frame.height() <= 0)
        return;
    p.save();
    p.setClipRect(frame);
    p.translate(frame.topLeft());
    const QRect image = Pixels(m_image);
    if (m_picture.isNull())
        p.fillRect(QRect(QPoint(0, 0), frame.size()), QColor(FillColor));
    else if (image.width() > 0 && image.height() > 0)
        p.drawImage(image, m_picture.Image);
    if (m_showLabel) {
        p.setFont(m_font);
        p.setPen(QColor(LabelColor));
        p.drawText(Pixels(m_label), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_labelText);
    }
    p.restore();
}

void PPB::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(painter);
}

void PPB::resizeEvent(QResizeEvent *)
{
    Redraw();
}

bool PPB::event(QEvent *event)
{
    // The tooltip belongs to the fill region.
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        if (!m_toolTipText.isEmpty() && Pixels(m_frame).contains(help->pos()))
            QToolTip::showText(help->globalPos(), m_toolTipText, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void PPB::mousePressEvent(QMouseEvent *event)
{
    const QPointF p = event->position() * 15.0;
    emit MouseDown(ButtonOf(event->button()), ShiftOf(event->modifiers()), float(p.x()), float(p.y()));
}

void PPB::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF p = event->position() * 15.0;
    emit MouseMove(ButtonOf(event->buttons()), ShiftOf(event->modifiers()), float(p.x()), float(p.y()));
}

void PPB::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF p = event->position() * 15.0;
    emit MouseUp(ButtonOf(event->button()), ShiftOf(event->modifiers()), float(p.x()), float(p.y()));
    if (rect().contains(event->position().toPoint()))
        emit Click();
}

void PPB::mouseDoubleClickEvent(QMouseEvent *)
{
    emit DblClick();
}
