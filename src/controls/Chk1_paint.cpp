#include "controls/Chk1.h"

#include <QPainter>
#include <cmath>

void Chk1::paintMark(QPainter &p, const QRectF &cell, Mark mark, const QColor &color)
{
    const double side = std::floor(std::min(cell.width(), cell.height() * 0.72));
    if (side < 3)
        return;
    const QRectF box(std::round(cell.left() + (cell.width() - side) / 2),
                     std::round(cell.top() + (cell.height() - side) / 2), side, side);
    const double line = std::max(1.0, std::round(side / 12));
    p.save();
    p.setPen(QPen(color, line, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box.adjusted(line / 2, line / 2, -line / 2, -line / 2));
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF in = box.adjusted(line * 2.5, line * 2.5, -line * 2.5, -line * 2.5);
    if (mark == Mark::Cross) {
        p.setPen(QPen(color, line * 1.5, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(in.topLeft(), in.bottomRight());
        p.drawLine(in.topRight(), in.bottomLeft());
    } else if (mark == Mark::Check) {
        p.setPen(QPen(color, line * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF tick[] = {{in.left(), in.top() + in.height() * 0.55},
                                {in.left() + in.width() * 0.38, in.bottom()},
                                {in.right(), in.top()}};
        p.drawPolyline(tick, 3);
    }
    p.restore();
}

void Chk1::paint(QPainter &p) const
{
    paintBack(p);
    paintMark(p, TwipsRect(m_label1), m_mark, ControlColor(m_label1Color));
    QFont captionFont = font();
    captionFont.setUnderline(m_label2Underline);
    p.setFont(captionFont);
    p.setPen(ControlColor(m_label2Color));
    p.drawText(TwipsRect(m_label2), Qt::AlignLeft | Qt::AlignTop | CaptionFlags, m_caption);
}
