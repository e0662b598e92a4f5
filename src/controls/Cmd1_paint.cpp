#include "controls/Cmd1.h"

#include <QPainter>

namespace {

// Every other pixel of the rectangle's edge, inverted, as the system's focus rectangle draws it.
void DrawFocusRect(QPainter &p, const QRect &r)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Difference);
    p.setPen(Qt::white);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const bool edgeRow = y == r.top() || y == r.bottom();
        for (int x = r.left(); x <= r.right(); x += edgeRow ? 1 : std::max(1, r.width() - 1))
            if ((x - r.left() + y - r.top()) % 2 == 0)
                p.drawPoint(x, y);
    }
    p.restore();
}

} // namespace

void Cmd1::paint(QPainter &p) const
{
    const QRect surface = rect();
    paintBack(p);
    const QRect picture = TwipsRect(m_image1);
    if (!m_picture.isNull() && !picture.isEmpty())
        p.drawImage(picture, m_picture.Image);
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic | (m_wordWrap ? Qt::TextWordWrap : 0);
    p.setFont(font());
    if (m_label2Visible) {
        p.setPen(ControlColor(m_label2Color));
        p.drawText(TwipsRect(m_label2), flags, m_caption);
    }
    p.setPen(ControlColor(m_label1Color));
    p.drawText(TwipsRect(m_label1), flags, m_caption);
    DrawEdges(p, surface, ControlColor(m_shape1Color), ControlColor(m_shape2Color));
    if (m_borderStyle == 1)
        DrawEdges(p, surface, ControlColor(SystemColor::WindowFrame), ControlColor(SystemColor::WindowFrame));
    if (m_hasFocus)
        DrawFocusRect(p, surface.adjusted(4, 2, -4, -2));
}
