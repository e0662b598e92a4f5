#include "toolbar/ToolBarPaint.h"

#include "platform/ui/Colors.h"

#include <QPainter>
#include <cmath>

namespace {

struct TextLayout {
    QString text;
    double blockHeight = 1;
};

struct Area {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

TextLayout WrapCaption(const ButtonRecord &b, int w, const QFontMetricsF &fm)
{
    TextLayout layout;
    if (b.caption.isEmpty())
        return layout;
    const bool iconBeside = !b.icon.isNull() && (b.iconAlignment == 2 || b.iconAlignment == 3);
    const double width = iconBeside ? w - b.icon.Width() - 10 : w - 10;
    const QStringList lines = SplitToLines(b.caption + u' ', width, true, fm);
    layout.text = lines.join(QStringLiteral("\r\n"));
    layout.blockHeight = RoundEven(fm.height() * lines.size());
    return layout;
}

void PaintBorder(QPainter &p, const ToolBarModel &m, const QSize &inner)
{
    const bool innerLine = m.Appearance != 0;
    switch (m.BorderStyle) {
    case 1:
        DrawButtonFrame(p, m.BorderColor, 0, 0, inner.width(), inner.height(), false, innerLine);
        break;
    case 2:
        DrawButtonFrame(p, m.BorderColor, 0, 0, inner.width(), inner.height(), true, innerLine);
        break;
    case 3:
        DrawButtonFrame(p, m.BorderColor, 0, 0, inner.width(), 1, true, innerLine);
        break;
    default:
        break;
    }
}

// The face of button i; returns the press offset of its icon and text.
int PaintFace(QPainter &p, const ToolBarModel &m, int i, double x, double y, int w, double cellHeight, int inset,
              const PaintState &state)
{
    const ButtonRecord &b = m.Buttons[static_cast<size_t>(i)];
    if (b.pressed) {
        DrawButtonFrame(p, m.BorderColor, RoundEven(x + inset), RoundEven(y + inset), w - 2 * inset,
                        RoundEven(cellHeight - 2 * inset), true, false);
        return 0;
    }
    if (i == m.Button_Index) {
        const int left = RoundEven(x + inset);
        const int top = RoundEven(y + inset);
        if (m.ButtonsStyle == 2) {
            FilledRectangle(p, left, top, RoundEven(x + w - 2 * inset), RoundEven(y + cellHeight - inset),
                            ToQColor(BlendColor(m.HoverColor, 0xFFFFFF, 100)),
                            ToQColor(BlendColor(m.HoverColor, 0, 250)));
        } else {
            const QColor fill = ResolvedColor(m.HoverColor);
            FilledRectangle(p, left, top, RoundEven(x + w - 3 * inset + 2), RoundEven(y + cellHeight - 2 * inset + 1),
                            fill, fill);
            DrawButtonFrame(p, m.BorderColor, left, top, w - 2 * inset, RoundEven(cellHeight - 2 * inset),
                            state.mouseDown, false);
        }
        return state.mouseDown ? -2 : 0;
    }
    if (m.ButtonsStyle == 1 && b.enabled)
        DrawButtonFrame(p, m.BorderColor, RoundEven(x + inset), RoundEven(y + inset), RoundEven(w - 2.5 * inset),
                        RoundEven(cellHeight - 2.5 * inset), false, false);
    return 0;
}

} // namespace

void PaintToolBar(QPainter &p, ToolBarModel &m, const ToolBarGrid &grid, const PaintState &state)
{
    const QSize inner = state.inner;
    const QFontMetricsF fm(p.font(), p.device());
    p.fillRect(QRect(QPoint(0, 0), inner), ResolvedColor(m.BackColor));

    if (!m.BackGround.isNull() && m.BackGradient == 0)
        TileBitmap(p, m.BackGround, 0, 0, inner.width(), inner.height());
    PaintGradient(p, 0, 0, inner.width(), inner.height(), m.BackColor, m.BackGradientCol, m.BackGradient, true);
    PaintBorder(p, m, inner);

    const int inset = m.ButtonsStyle == 2 ? 0 : (m.BorderStyle != 0 ? 2 : 1);
    const double cellHeight = grid.CellHeight;
    const double tA = RoundEven(fm.height());
    const QFont normalFont = p.font();
    double x = 0;
    double y = 0;
    // Alignments the table does not know keep the previous button's rectangles.
    Area icon;
    Area text;
    int align = 1;
    for (int i = 0; i < m.count(); ++i) {
        ButtonRecord &b = m.Buttons[static_cast<size_t>(i)];
        const int w = b.width;
        const TextLayout caption = WrapCaption(b, w, fm);
        const int pressOffset = PaintFace(p, m, i, x, y, w, cellHeight, inset, state);
        const bool enabled = b.enabled && m.Enabled && state.enabled;
        p.setPen(ResolvedColor(enabled ? m.ForeColor : SystemColor::GrayText));

        const bool hasIcon = !b.icon.isNull();
        const double iw = hasIcon ? b.icon.Width() + 10.0 : 0.0;
        const double H = cellHeight - caption.blockHeight;
        if (hasIcon && b.caption.isEmpty()) {
            icon = {x, y, double(w), cellHeight};
        } else if (!hasIcon) {
            const double top = y + (cellHeight - caption.blockHeight) / 2;
            if (b.iconAlignment == 0 || b.iconAlignment == 1) {
                text = {x, top, double(w), 0};
                align = 1;
            } else if (b.iconAlignment == 2) {
                text = {x + 3, top, w - 3.0, 0};
                align = 0;
            } else if (b.iconAlignment == 3) {
                text = {x, top, w - 3.0, 0};
                align = 2;
            }
        } else if (b.iconAlignment == 0) {
            icon = {x, y, double(w), cellHeight - tA};
            text = {x, y + H, double(w), 0};
            align = 1;
        } else if (b.iconAlignment == 1) {
            icon = {x, y + tA, double(w), cellHeight - tA};
            text = {x, y, double(w), 0};
            align = 1;
        } else if (b.iconAlignment == 2) {
            icon = {x, y, iw, cellHeight};
            text = {x + iw - pressOffset, y + H / 2 - pressOffset, w - iw, 0};
            align = 0;
        } else if (b.iconAlignment == 3) {
            icon = {x + w - iw, y, iw, cellHeight};
            text = {x - pressOffset, y + H / 2 - pressOffset, w - iw, 0};
            align = 2;
        }

        if (hasIcon) {
            if (enabled) {
                if (m.HoverIconShadow && i == m.Button_Index)
                    DrawButtonIcon(p, b.icon, icon.left + pressOffset, icon.top + pressOffset, icon.width, icon.height,
                                   -1);
                DrawButtonIcon(p, b.icon, icon.left - pressOffset, icon.top - pressOffset, icon.width, icon.height, 1);
            } else {
                DrawButtonIcon(p, b.icon, icon.left, icon.top, icon.width, icon.height, 0);
            }
        }
        if (!caption.text.isEmpty())
            DrawButtonText(p, u' ' + caption.text + u' ', text.left, text.top - inset, text.width, caption.blockHeight,
                           align);

        if (state.designMode) {
            QFont bold = normalFont;
            bold.setBold(true);
            p.setFont(bold);
            DrawButtonText(p, QString::number(i), x + 2, y + 2, RoundEven(w / 5.0), 20, 1);
            p.setFont(normalFont);
        }
        b.left = RoundEven(x);
        b.top = RoundEven(y);
        if (m.ButtonsPerRow != 0 && (i + 1) % m.ButtonsPerRow == 0) {
            x = 0;
            y += cellHeight;
        } else {
            x += w;
        }
    }
}
