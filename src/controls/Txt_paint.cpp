#include "controls/Txt.h"

#include <QPainter>

void Txt::paint(QPainter &p) const
{
    // The surface shows the button face, with the top-left edge of the first outline and the
    // bottom-right edge of the second at the outermost pixels.
    p.fillRect(rect(), ControlColor(SystemColor::ButtonFace));
    const int w = width(), h = height();
    if (w <= 0 || h <= 0)
        return;
    p.setPen(ControlColor(m_shape1Color));
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, 0, 0, h - 1);
    p.setPen(ControlColor(m_shape2Color));
    p.drawLine(0, h - 1, w - 1, h - 1);
    p.drawLine(w - 1, 0, w - 1, h - 1);
}
