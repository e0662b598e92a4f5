#include "controls/PPB.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <utility>

PPB::PPB(QWidget *parent) : PaintedControl(parent, QAccessible::ProgressBar)
{
    m_backStyle = 1;
    SetLabelText(m_labelText);
    Redraw();
}

void PPB::Redraw()
{
    const double W = width() * TwipsPerPixel;
    const double H = height() * TwipsPerPixel;
    m_frame = m_showBorder ? QRectF(20, 10, W - 20, H - 30) : QRectF(0, 0, W, H);
    m_image = QRectF(0, 0, m_frame.width(), m_frame.height());
    CentreLabel();
    m_border = QRectF(0, 0, W - 5, H - 5);
}

void PPB::fontChanged()
{
    m_labelWidths.clear();
    m_labelHeight = 0;
    SetLabelText(m_labelText);
    Redraw();
}

void PPB::CentreLabel()
{
    m_label.moveTo(m_frame.width() / 2 - m_label.width() / 2, m_frame.height() / 2 - m_label.height() / 2);
    update();
}

int PPB::LabelWidth(const QString &text)
{
    if (const auto known = m_labelWidths.constFind(text); known != m_labelWidths.cend())
        return *known;
    if (m_labelWidths.size() > 128) // custom captions are few, but need not be
        m_labelWidths.clear();
    return *m_labelWidths.insert(text, QFontMetrics(font()).horizontalAdvance(text));
}

void PPB::SetLabelText(const QString &text)
{
    if (m_labelHeight == 0)
        m_labelHeight = QFontMetrics(font()).height();
    m_label.setSize(QSizeF(LabelWidth(text) * TwipsPerPixel, m_labelHeight * TwipsPerPixel));
    const bool changed = text != m_labelText;
    m_labelText = text;
    update();
    if (changed)
        emit Change();
}

void PPB::ValueChange(double value)
{
    const auto whole = ToWhole<qint16>(value);
    if (!whole || *whole < 0 || *whole > 100)
        return;
    const auto fill = ToWhole<qint32>(double(*whole) * (width() * TwipsPerPixel) / 100.0);
    if (!fill)
        return;
    // The read phases report the same value at most pumps: an unchanged bar schedules no repaint.
    if (*fill == m_frame.width() && (m_useCustomCaption || m_labelText == PercentText(*whole)))
        return;
    m_frame.setWidth(*fill); // the picture keeps its size, so it is clipped rather than squeezed
    if (!m_useCustomCaption)
        SetLabelText(PercentText(*whole));
    CentreLabel();
    if (std::exchange(m_value, *whole) != *whole) {
        QAccessibleValueChangeEvent notice(this, double(m_value));
        QAccessible::updateAccessibility(&notice);
    }
}

void PPB::PrepareValueLabels()
{
    for (int whole = 0; whole <= 100; ++whole)
        LabelWidth(PercentText(whole));
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
    report("IsPercent");
}

void PPB::mouseReleaseEvent(QMouseEvent *event)
{
    raiseMouse(event);
    if (rect().contains(event->position().toPoint()))
        emit Click();
}
