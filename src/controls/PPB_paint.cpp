#include "controls/PPB.h"

#include <QPainter>

namespace {

// The fill's own colour where no bar picture is set, and the label's colour.
constexpr QRgb FillColor = 0x2A6FB8;
constexpr QRgb LabelColor = 0xFFFFFF;

} // namespace

void PPB::paint(QPainter &p) const
{
    paintBack(p);
    const QRect border = TwipsRect(m_border);
    if (m_showBorder && !border.isEmpty()) {
        p.setPen(ControlColor(m_borderColor));
        p.setBrush(Qt::NoBrush);
        p.drawRect(border.adjusted(0, 0, -1, -1));
    }
    const QRect frame = TwipsRect(m_frame);
    if (frame.isEmpty())
        return;
    p.save();
    p.setClipRect(frame);
    p.translate(frame.topLeft());
    const QRect image = TwipsRect(m_image);
    if (m_picture.isNull())
        p.fillRect(QRect(QPoint(0, 0), frame.size()), QColor(FillColor));
    else if (!image.isEmpty())
        p.drawImage(image, m_picture.Image);
    if (m_showLabel) {
        p.setFont(font());
        p.setPen(QColor(LabelColor));
        p.drawText(TwipsRect(m_label), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_labelText);
    }
    p.restore();
}
