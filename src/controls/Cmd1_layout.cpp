#include "controls/Cmd1.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

namespace {

QRect Pixels(const QRectF &twips)
{
    const auto px = [](double t) { return static_cast<int>(std::lround(t / 15.0)); };
    return QRect(px(twips.left()), px(twips.top()), px(twips.width()), px(twips.height()));
}

// One placement row: the element keeps its place for a value outside 0 to 8.
void PlaceElement(QRectF &r, qint32 align, float margin, float bottomMargin, float W, float H)
{
    const float w = float(r.width());
    const float h = float(r.height());
    float top = float(r.top());
    float left = float(r.left());
    switch (align) {
    case 0:
        top = margin;
        left = margin;
        break;
    case 1:
        top = H / 2 - h / 2;
        left = margin;
        break;
    case 2:
        top = H - h - bottomMargin;
        left = margin;
        break;
    case 3:
        top = margin;
        left = W - w - margin;
        break;
    case 4:
        top = H / 2 - h / 2;
        left = W - w - margin;
        break;
    case 5:
        top = H - h - margin;
        left = W - w - margin;
        break;
    case 6:
        top = margin;
        left = W / 2 - w / 2;
        break;
    case 7:
        top = H - h - 40;
        left = W / 2 - w / 2;
        break;
    case 8:
        top = H / 2 - h / 2;
        left = W / 2 - w / 2;
        break;
    default:
        return;
    }
    r.moveTo(left, top);
}

void DrawOutline(QPainter &p, const QRect &r, const QColor &color)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.setPen(color);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

// Every other pixel of the rectangle's edge, inverted, as the system's focus rectangle draws it.
void DrawFocusRect(QPainter &p, const QRect &r)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Difference);
    p.setPen(Qt::white);
    const int x0 = r.left(), y0 = r.top(), x1 = r.right(), y1 = r.bottom();
    const auto dot = [&](int x, int y) {
        if ((x - x0 + y - y0) % 2 == 0)
            p.drawPoint(x, y);
    };
    for (int x = x0; x <= x1; ++x) {
        dot(x, y0);
        if (y1 != y0)
            dot(x, y1);
    }
    for (int y = y0 + 1; y < y1; ++y) {
        dot(x0, y);
        if (x1 != x0)
            dot(x1, y);
    }
    p.restore();
}

} // namespace

void Cmd1::AutoSizeCaption()
{
    const QFontMetrics fm(m_captionFont);
    if (m_wordWrap) {
        const int widthPx = std::max(0, static_cast<int>(std::lround(m_label1.width() / 15.0)));
        const QRect bounds =
            fm.boundingRect(QRect(0, 0, widthPx, 100000), Qt::TextWordWrap | Qt::AlignHCenter, m_caption);
        m_label1.setHeight(std::max(bounds.height(), fm.height()) * 15.0);
        return;
    }
    const QRect bounds = fm.boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft, m_caption);
    m_label1.setWidth(bounds.width() * 15.0);
    m_label1.setHeight(std::max(bounds.height(), fm.height()) * 15.0);
}

void Cmd1::SetCaptionWidth(float twips)
{
    if (twips < 0) // a label takes no negative size; it keeps the one it has
        return;
    m_label1.setWidth(twips);
    AutoSizeCaption();
}

bool Cmd1::ArrangeContent()
{
    const float W = InnerWidth();
    const float H = InnerHeight();
    m_shape1 = QRectF(0, 0, W + 10, H + 10);
    m_shape2 = QRectF(-10, -10, W + 10, H + 10);
    update();

    const auto twoT = MulInt16(2, m_textDistToEdge);
    if (!twoT)
        return false;
    SetCaptionWidth(m_textSetWH ? float(m_textWidth) : W - float(*twoT));
    AutoSizeCaption();

    if (m_layoutDirty) {
        const float d = m_picDistToEdge;
        float w = float(m_image1.width()), h = float(m_image1.height());
        switch (m_picSize) {
        case 1: {
            const auto twoD = MulInt16(2, m_picDistToEdge);
            if (!twoD)
                return false;
            w = W - float(*twoD);
            h = H - float(*twoD);
            break;
        }
        case 2:
            w = m_picWidth;
            h = m_picHeight;
            break;
        case 3:
            w = float(m_picture.Width()) * 15.0f;
            h = float(m_picture.Height()) * 15.0f;
            break;
        default: {
            const auto side = MulInt32(m_picSize, 10);
            if (!side)
                return false;
            w = h = float(*side);
        }
        }
        if (w >= 0 && h >= 0)
            m_image1.setSize(QSizeF(w, h));
        PlaceElement(m_image1, m_picAlign, d, 40, W, H);
    }
    PlaceElement(m_label1, m_textAlign, m_textDistToEdge, m_textDistToEdge, W, H);

    m_layoutDirty = false;
    if (!isEnabled())
        ShowDisabled();
    return true;
}

bool Cmd1::Rearrange(bool dirty)
{
    if (dirty)
        m_layoutDirty = true;
    return ArrangeContent();
}

bool Cmd1::CaptionTextChanged(const QString &text)
{
    m_caption = text;
    announceName();
    AutoSizeCaption();
    if (!ArrangeContent())
        return false;
    const auto width = ToInt16(m_label1.width());
    if (!width)
        return false;
    m_textWidth = *width;
    return true;
}

void Cmd1::ShowHot()
{
    update();
    if (m_isHot)
        return;
    m_shape1Color = m_highColor1;
    m_shape2Color = m_highColor2;
    if (!ArrangeContent())
        return;
    m_isHot = true;
}

void Cmd1::ShowCold()
{
    update();
    if (!m_isHot)
        return;
    m_shape1Color = 0x8000000F;
    m_shape2Color = 0x8000000F;
    if (!ArrangeContent())
        return;
    m_isHot = false;
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
    m_label1Color = 0x80000011;
    m_label2Color = 0x80000014;
    update();
}

void Cmd1::ShowEnabled()
{
    m_label2Visible = false;
    m_label1Color = m_savedForeColor;
    m_disabledShown = false;
    update();
}

void Cmd1::paint(QPainter &p) const
{
    const QRect surface(0, 0, width(), height());
    if (m_backStyle != 0)
        p.fillRect(surface, ControlColor(m_backColor));
    if (!m_picture.isNull()) {
        const QRect r = Pixels(m_image1);
        if (r.width() > 0 && r.height() > 0)
            p.drawImage(r, m_picture.Image);
    }
    const int flags = Qt::AlignHCenter | Qt::AlignTop | (m_wordWrap ? Qt::TextWordWrap : 0);
    p.setFont(m_captionFont);
    if (m_label2Visible) {
        p.setPen(ControlColor(m_label2Color));
        p.drawText(Pixels(m_label2), flags, m_caption);
    }
    p.setPen(ControlColor(m_label1Color));
    p.drawText(Pixels(m_label1), flags, m_caption);
    DrawOutline(p, Pixels(m_shape1), ControlColor(m_shape1Color));
    DrawOutline(p, Pixels(m_shape2), ControlColor(m_shape2Color));
    if (m_borderStyle == 1)
        DrawOutline(p, surface, ControlColor(0x80000006));
    if (m_hasFocus)
        DrawFocusRect(p, surface.adjusted(4, 2, -4, -2));
}

Cmd1::Element Cmd1::HitTest(const QPointF &pixel) const
{
    const QPointF twips = pixel * 15.0;
    if (m_label1.contains(twips))
        return Element::Caption;
    if (m_picture.isNull() ? false : m_image1.contains(twips))
        return Element::Picture;
    return Element::Surface;
}
