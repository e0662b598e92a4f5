#include "toolbar/McToolBar.h"

#include "platform/ui/Colors.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Sizes a damaged design asks for can be absurd; nothing past this can be seen anyway.
constexpr int kMaxSurface = 4096;

qint32 Rows(int count, int perRow)
{
    // Whole part rounds down, so no buttons at all give no rows.
    return static_cast<qint32>(std::floor(double(count - 1) / perRow)) + 1;
}

void LayoutGrid(ToolBarModel &model, ToolBarGrid &grid, const QSize &inner, const QFontMetricsF &metrics)
{
    const int count = model.count();
    if (model.ButtonsPerRow > 0)
        grid.RowCount = Rows(count, model.ButtonsPerRow);
    if (!model.AutoSize) {
        grid.CellHeight = model.ButtonsHeight;
        grid.CellWidth = model.ButtonsWidth;
        for (ButtonRecord &b : model.Buttons)
            b.width = model.ButtonsWidth;
        return;
    }
    // A zero button width has no whole number of columns; one column is all that can be said.
    const double columns = model.ButtonsWidth != 0 ? std::floor(double(inner.width()) / model.ButtonsWidth) : 1.0;
    model.ButtonsPerRow = static_cast<qint32>(std::clamp(columns, 1.0, double(std::numeric_limits<qint32>::max())));
    grid.RowCount = Rows(count, model.ButtonsPerRow);
    grid.CellHeight = double(inner.height()) / std::max(grid.RowCount, 1);
    if (grid.CellHeight < model.ButtonsHeight)
        grid.CellHeight = model.ButtonsHeight;
    if (model.AutoSizeButtons) {
        for (ButtonRecord &b : model.Buttons) {
            const double icon = b.icon.isNull() ? 0.0 : b.icon.Width() + 10.0;
            b.width = RoundEven(icon + metrics.horizontalAdvance(b.caption) + 11);
            b.height = RoundEven(grid.CellHeight);
        }
        return;
    }
    grid.CellWidth = count > model.ButtonsPerRow && !model.WarpSize ? double(inner.width()) / model.ButtonsPerRow
                                                                    : double(model.ButtonsWidth);
    for (ButtonRecord &b : model.Buttons)
        b.width = RoundEven(grid.CellWidth);
}

struct TextLayout {
    QString text;
    double blockHeight = 1;
};

TextLayout WrapCaption(const ButtonRecord &b, int w, const QFontMetricsF &fm)
{
    TextLayout layout;
    if (b.caption.isEmpty())
        return layout;
    const bool iconBeside = !b.icon.isNull() && (b.iconAlignment == 2 || b.iconAlignment == 3);
    const double width = iconBeside ? w - b.icon.Width() - 10 : w - 10;
    const QStringList lines = SplitToLines(b.caption + u' ', width, true, fm);
    layout.text = lines.join(u'\n');
    layout.blockHeight = RoundEven(fm.height() * lines.size());
    return layout;
}

void PaintBorder(QPainter &p, const ToolBarModel &m, const QSize &inner)
{
    // 1 raised, 2 sunken, 3 a sunken line along the top.
    if (m.BorderStyle >= 1 && m.BorderStyle <= 3)
        DrawButtonFrame(p, m.BorderColor, 0, 0, inner.width(), m.BorderStyle == 3 ? 1 : inner.height(),
                        m.BorderStyle != 1, m.Appearance != 0);
}

// The face of button i; returns the press offset of its icon and text.
int PaintFace(QPainter &p, const ToolBarModel &m, int i, double x, double y, int w, double cellHeight, int inset,
              bool mouseDown)
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
            const QColor fill = ControlColor(m.HoverColor);
            FilledRectangle(p, left, top, RoundEven(x + w - 3 * inset + 2), RoundEven(y + cellHeight - 2 * inset + 1),
                            fill, fill);
            DrawButtonFrame(p, m.BorderColor, left, top, w - 2 * inset, RoundEven(cellHeight - 2 * inset),
                            mouseDown, false);
        }
        return mouseDown ? -2 : 0;
    }
    if (m.ButtonsStyle == 1 && b.enabled)
        DrawButtonFrame(p, m.BorderColor, RoundEven(x + inset), RoundEven(y + inset), RoundEven(w - 2.5 * inset),
                        RoundEven(cellHeight - 2.5 * inset), false, false);
    return 0;
}

// Background, border and buttons in the inner size; stores each button's left and top. widgetEnabled
// is Qt's state, where the model's Enabled is the stored one.
void PaintToolBar(QPainter &p, ToolBarModel &m, const ToolBarGrid &grid, const QSize &inner, bool mouseDown,
                  bool designMode, bool widgetEnabled)
{
    const QFontMetricsF fm(p.font(), p.device());
    p.fillRect(QRect(QPoint(0, 0), inner), ControlColor(m.BackColor));

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
    QRectF icon;
    QRectF text;
    int align = 1;
    for (int i = 0; i < m.count(); ++i) {
        ButtonRecord &b = m.Buttons[static_cast<size_t>(i)];
        const int w = b.width;
        const TextLayout caption = WrapCaption(b, w, fm);
        const int pressOffset = PaintFace(p, m, i, x, y, w, cellHeight, inset, mouseDown);
        const bool enabled = b.enabled && m.Enabled && widgetEnabled;
        p.setPen(ControlColor(enabled ? m.ForeColor : SystemColor::GrayText));

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
                    DrawButtonIcon(p, b.icon, icon.translated(pressOffset, pressOffset), -1);
                DrawButtonIcon(p, b.icon, icon.translated(-pressOffset, -pressOffset), 1);
            } else {
                DrawButtonIcon(p, b.icon, icon, 0);
            }
        }
        if (!caption.text.isEmpty())
            DrawButtonText(p, u' ' + caption.text + u' ', text.x(), text.y() - inset, text.width(), caption.blockHeight,
                           align);

        if (designMode) {
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

} // namespace

void McToolBar::RedrawControl()
{
    // Resizing the control below comes back here through resizeEvent; one pass draws it all.
    if (m_redrawing)
        return;
    m_redrawing = true;
    emit Redrawing(m.Button_Index);
    QImage probe(1, 1, QImage::Format_RGB32);
    LayoutGrid(m, m_grid, size(), QFontMetricsF(Font(), &probe));

    if (m.WarpSize) {
        const auto fit = [](qint64 v) { return static_cast<int>(std::clamp<qint64>(v, 0, QWIDGETSIZE_MAX)); };
        QSize wanted = size().expandedTo(QSize(m.ButtonsWidth, 0));
        if (m_align != 3 && m_align != 4)
            wanted.setHeight(fit(qint64(m.ButtonsHeight) * m_grid.RowCount));
        if (m_align != 1 && m_align != 2)
            wanted.setWidth(fit(qint64(m.ButtonsPerRow) * m.ButtonsWidth));
        if (wanted != size())
            resize(wanted);
    }

    // The surface has the screen's pixels, so text and icons stay sharp at any scale factor.
    m_surface = RenderSurface(devicePixelRatioF());
    UpdateShortcuts();
    update();
    m_redrawing = false;
}

QImage McToolBar::RenderSurface(qreal dpr)
{
    const QSize inner = size().boundedTo(QSize(kMaxSurface, kMaxSurface));
    if (inner.isEmpty())
        return QImage();
    QImage surface = m_surface;
    if (surface.deviceIndependentSize() != QSizeF(inner) || surface.devicePixelRatio() != dpr) {
        surface = QImage(inner * dpr, QImage::Format_RGB32);
        surface.setDevicePixelRatio(dpr);
    }
    QPainter p(&surface);
    p.setFont(Font());
    PaintToolBar(p, m, m_grid, inner, m_isMouseDown, m_designMode, isEnabled());
    return surface;
}

void McToolBar::paintEvent(QPaintEvent *)
{
    if (!m_surface.isNull() && m_surface.devicePixelRatio() != devicePixelRatioF())
        RedrawControl(); // moved to a screen of another scale
    QPainter p(this);
    // Only past the largest surface is there anything the surface does not cover.
    if (m_surface.deviceIndependentSize() != QSizeF(size()))
        p.fillRect(rect(), ControlColor(m.BackColor));
    if (!m_surface.isNull())
        p.drawImage(0, 0, m_surface);
}
