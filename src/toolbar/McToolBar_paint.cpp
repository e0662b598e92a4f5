#include "toolbar/McToolBar.h"

#include "platform/ui/Colors.h"

#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Where a line may break: anything but an ASCII letter or an underscore.
bool IsDelim(QChar c)
{
    const ushort code = c.unicode();
    return !((code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') || code == '_');
}

// A break after line[i]; not after the "&" that marks the mnemonic of the letter that follows it.
bool BreaksAfter(const QString &line, qsizetype i)
{
    return IsDelim(line[i]) && !(line[i] == u'&' && i + 1 < line.size() && !IsDelim(line[i + 1]));
}

// One ramp from c1 to c2: across (1), down (3) or along either diagonal (5, 6).
void FillGradient(QPainter &p, int x, int y, int w, int h, quint32 c1, quint32 c2, int mode)
{
    if (w < 1 || h < 1)
        return;
    if (mode != 1 && mode != 3 && mode != 5 && mode != 6)
        return;
    const int n = mode == 1 ? w : mode == 3 ? h : w + h - 1;
    // Step k of n; the stored colours are 0x00BBGGRR.
    const auto ramp = [&](int k) {
        int channel[3];
        for (int c = 0; c < 3; ++c) {
            const int a = static_cast<int>((c1 >> (8 * c)) & 0xFF);
            const int b = static_cast<int>((c2 >> (8 * c)) & 0xFF);
            channel[c] = n > 1 ? a + (b - a) * k / (n - 1) : a;
        }
        return qRgb(channel[0], channel[1], channel[2]);
    };
    QImage pixels(w, h, QImage::Format_RGB32);
    for (int row = 0; row < pixels.height(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(pixels.scanLine(row));
        for (int col = 0; col < w; ++col)
            line[col] = ramp(mode == 1 ? col : mode == 3 ? row : mode == 5 ? col + row : (w - 1 - col) + row);
    }
    p.drawImage(x, y, pixels);
}

// Rounds to the nearest integer, ties to even, as the drawing arithmetic does throughout.
int RoundEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double clamped =
        std::clamp(value, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max()));
    return static_cast<int>(std::nearbyint(clamped));
}

// Word-wraps text into lines narrower than length pixels, cutting after the last delimiter that fits.
QStringList SplitToLines(QString sText, double lLength, const QFontMetricsF &metrics)
{
    sText.remove(QStringLiteral("\r\n"));
    QStringList lines;
    QString line;
    for (const QChar c : std::as_const(sText)) {
        const QString next = line + c;
        if (!line.isEmpty() && metrics.horizontalAdvance(ShownCaption(next)) >= lLength) {
            qsizetype cut = line.size() - 1;
            while (cut >= 0 && !BreaksAfter(next, cut))
                --cut;
            if (cut >= 0) {
                lines << line.left(cut + 1).trimmed();
                line = line.mid(cut + 1);
            } else {
                lines << line.trimmed();
                line.clear();
            }
        }
        line += c;
    }
    // A remainder of blanks (the space callers append) joins the last line instead of making one.
    if (!line.trimmed().isEmpty() || lines.isEmpty())
        lines << line.trimmed();
    return lines;
}

// A raised or sunken frame in shades of one colour; inner deepens its bottom and right inside.
void DrawButtonFrame(QPainter &p, quint32 color, int x, int y, int w, int h, bool sunken, bool inner)
{
    const QColor light = ToQColor(BlendColor(color, 0xFFFFFF, 70));
    const QColor dark = ToQColor(BlendColor(color, 0, 70));
    DrawEdges(p, QRect(x, y, w, h), sunken ? dark : light, sunken ? light : dark);
    if (inner) {
        const QColor deep = ToQColor(BlendColor(color, 0, 250));
        if (h > 3)
            p.fillRect(QRect(x + w - 2, y + 1, 1, h - 3), deep);
        if (w > 3)
            p.fillRect(QRect(x + 1, y + h - 2, w - 3, 1), deep);
    }
}

// mode 1 the picture, 0 and -1 its grey silhouette (the disabled and the shadow look).
void DrawButtonIcon(QPainter &p, const StdPicture &picture, const QRectF &cell, int mode)
{
    if (picture.isNull() || mode < -1)
        return;
    const int left = RoundEven(cell.x() + (cell.width() - picture.Width()) / 2);
    const int top = RoundEven(cell.y() + (cell.height() - picture.Height()) / 2);
    if (mode == 1) {
        p.drawImage(left, top, picture.Image);
        return;
    }
    QImage mono(picture.Image.size(), QImage::Format_ARGB32);
    mono.fill(Qt::transparent);
    const bool bitmap = picture.Type == StdPicture::Bitmap;
    for (int row = 0; row < mono.height(); ++row) {
        const auto *src = reinterpret_cast<const QRgb *>(picture.Image.constScanLine(row));
        auto *dst = reinterpret_cast<QRgb *>(mono.scanLine(row));
        // Mostly opaque pixels count, but not a bitmap's white: that is its background.
        for (int col = 0; col < mono.width(); ++col)
            if (qAlpha(src[col]) >= 128 && !(bitmap && (src[col] & 0x00FFFFFFu) == 0x00FFFFFFu))
                dst[col] = qRgb(128, 128, 128);
    }
    p.drawImage(left, top, mono);
}

void DrawButtonText(QPainter &p, const QString &text, double x, double y, double w, double h, int align)
{
    const int flags = align == 1 ? Qt::AlignHCenter : align == 2 ? Qt::AlignRight : Qt::AlignLeft;
    const int left = RoundEven(x);
    const int top = RoundEven(y);
    const QRect rect(left, top, RoundEven(x + w) - left, RoundEven(y + h) - top);
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    p.drawText(rect, flags | Qt::AlignTop | Qt::TextShowMnemonic, text);
}

// The background's ramps: modes 2 and 4 mirror one across (1) or down (3) at the middle.
void PaintGradient(QPainter &p, const QSize &size, quint32 color1, quint32 color2, int mode)
{
    const int w = size.width(), h = size.height();
    const quint32 first = TranslateColor(color1), second = TranslateColor(color2);
    if (mode == 2) {
        FillGradient(p, 0, 0, w / 2, h, first, second, 1);
        FillGradient(p, w / 2, 0, w - w / 2, h, second, first, 1);
    } else if (mode == 4) {
        FillGradient(p, 0, 0, w, h / 2, first, second, 3);
        FillGradient(p, 0, h / 2, w, h - h / 2, second, first, 3);
    } else {
        FillGradient(p, 0, 0, w, h, first, second, mode);
    }
}

// A bitmap tiled from the top-left corner, as the painter's brush origin is.
void TileBitmap(QPainter &p, const StdPicture &picture, const QSize &size)
{
    if (picture.Type == StdPicture::Bitmap && !picture.Image.isNull() && !size.isEmpty())
        p.fillRect(QRect(QPoint(0, 0), size), QBrush(picture.Image.convertToFormat(QImage::Format_RGB32)));
}

// A filled rectangle with its outline, right and bottom exclusive.
void FilledRectangle(QPainter &p, int left, int top, int right, int bottom, const QColor &fill, const QColor &pen)
{
    if (right <= left || bottom <= top)
        return;
    const QRect r(left, top, right - left, bottom - top);
    p.fillRect(r, fill);
    DrawEdges(p, r, pen, pen);
}

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
            b.width = RoundEven(icon + metrics.horizontalAdvance(ShownCaption(b.caption)) + 11);
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
    const QStringList lines = SplitToLines(b.caption + u' ', width, fm);
    layout.text = lines.join(u'\n');
    layout.blockHeight = RoundEven(fm.height() * lines.size());
    return layout;
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
            DrawButtonFrame(p, m.BorderColor, left, top, w - 2 * inset, RoundEven(cellHeight - 2 * inset), mouseDown,
                            false);
        }
        return mouseDown ? -2 : 0;
    }
    if (m.ButtonsStyle == 1 && b.enabled)
        DrawButtonFrame(p, m.BorderColor, RoundEven(x + inset), RoundEven(y + inset), RoundEven(w - 2.5 * inset),
                        RoundEven(cellHeight - 2.5 * inset), false, false);
    return 0;
}

// Background, border and buttons; stores each button's left and top. widgetEnabled is Qt's state.
void PaintToolBar(QPainter &p, ToolBarModel &m, const ToolBarGrid &grid, const QSize &inner, bool mouseDown,
                  bool designMode, bool widgetEnabled)
{
    const QFontMetricsF fm(p.font(), p.device());
    p.fillRect(QRect(QPoint(0, 0), inner), ControlColor(m.BackColor));

    if (!m.BackGround.isNull() && m.BackGradient == 0)
        TileBitmap(p, m.BackGround, inner);
    PaintGradient(p, inner, m.BackColor, m.BackGradientCol, m.BackGradient);
    // Border 1 raised, 2 sunken, 3 a sunken line along the top.
    if (m.BorderStyle >= 1 && m.BorderStyle <= 3)
        DrawButtonFrame(p, m.BorderColor, 0, 0, inner.width(), m.BorderStyle == 3 ? 1 : inner.height(),
                        m.BorderStyle != 1, m.Appearance != 0);

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
