#include "controls/Txt.h"

#include <QPainter>

void Txt::paint(QPainter &p) const
{
    // The surface shows the button face; the sunken edge takes its outermost pixels.
    p.fillRect(rect(), ControlColor(SystemColor::ButtonFace));
    if (m_frameShown)
        DrawEdges(p, rect(), ControlColor(0x808080), ControlColor(0xE0E0E0));
}
