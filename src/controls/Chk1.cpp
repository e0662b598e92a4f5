#include "controls/Chk1.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <cmath>
#include <utility>

namespace {

// The mark's cell: the box character of the font that stands in for the symbol font.
constexpr char16_t BoxCharacter = 0x2610;

struct ColorPreset {
    quint32 anim1, anim2, click, high, fore;
};

constexpr ColorPreset Presets[] = {
    {0x404040, 0x808080, 0x404040, 0x000000, 0x000000}, // grey
    {0xFF0000, 0x800000, 0xFF0000, 0xC00000, 0x800000}, // blue
    {0x0000FF, 0x0080FF, 0x000080, 0x0040C0, 0x0000FF}, // red
    {0x00FF00, 0x00C000, 0x008000, 0x00C000, 0x008000}, // green
};

} // namespace

Chk1::Chk1(QWidget *parent) : PaintedControl(parent, QAccessible::CheckBox)
{
    setFocusPolicy(Qt::StrongFocus);
    m_iconSetsPointer = true;
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSizeF(9.75);
    setFont(arial);
    m_label2Color = SystemColor::ButtonText;
    Redraw();
}

void Chk1::Redraw()
{
    // 1. The mark's size; a value that is no number, or one no font takes, leaves it.
    if (!m_size.isNull()) {
        bool ok = false;
        const double points = m_size.toDouble(&ok);
        if (ok && std::isfinite(points) && points > 0 && points <= 16384)
            m_markPoints = points;
    }
    // 2. Underlined exactly while the box has the focus.
    m_label2Underline = m_hasFocus;
    const double H = height() * TwipsPerPixel;
    QFont markFont(QStringLiteral("DejaVu Sans"));
    markFont.setPointSizeF(m_markPoints);
    const QFontMetricsF markMetrics(markFont);
    m_label1.setSize(QSizeF(markMetrics.horizontalAdvance(QChar(BoxCharacter)), markMetrics.height()) * TwipsPerPixel);
    m_label1.moveTo(0, H / 2 - m_label1.height() / 2);
    QFont captionFont = font();
    captionFont.setUnderline(m_label2Underline);
    const QFontMetricsF captionMetrics(captionFont);
    const QSizeF caption(captionMetrics.size(CaptionFlags, m_caption).width(), captionMetrics.height());
    m_label2.setSize(caption * TwipsPerPixel);
    m_label2.moveTo(m_label1.width() + 20, H / 2 - m_label2.height() / 2);
    m_mark = !m_checked ? Mark::Empty : m_style == 1 ? Mark::Cross : Mark::Check;
    update();
}

void Chk1::setCaption(const QString &caption)
{
    redrawn(m_caption, caption, "Caption");
    captionChanged(m_caption);
}

void Chk1::setForeColor(quint32 color)
{
    SetLabelColors(color);
    redrawn(m_foreColor, color, "ForeColor");
}

void Chk1::setToolTipText(const QString &text)
{
    store(m_toolTipText, text, "ToolTipText");
    setToolTip(text); // the overlay label carries it over the whole box
}

void Chk1::setChecked(bool checked)
{
    store(m_checked, checked, "Checked");
    Redraw();
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent notice(this, changed);
    QAccessible::updateAccessibility(&notice);
    if (!m_doExternalChange)
        emit Click();
}

void Chk1::setColorSet(qint32 preset)
{
    store(m_colorSet, preset, "ColorSet");
    if (preset < 1 || preset > 4)
        return;
    const ColorPreset &p = Presets[preset - 1];
    m_animColor1 = p.anim1;
    m_animColor2 = p.anim2;
    m_clickColor = p.click;
    m_highColor = p.high;
    m_foreColor = p.fore;
}

int Chk1::setDoExternalChange(bool external)
{
    if (!m_userMode)
        return ErrSetNotPermitted;
    store(m_doExternalChange, external, "DoExternalChange");
    return 0;
}

void Chk1::SetLabelColors(quint32 color)
{
    m_label1Color = color;
    m_label2Color = color;
    update();
}

bool Chk1::ClickAnimation()
{
    bool ok = false;
    const auto cycles = ToWhole<qint16>(m_animDuration.toDouble(&ok));
    if (!ok || !cycles)
        return false;
    const double speed = m_animSpeed.toDouble(&ok);
    if (!ok || !std::isfinite(speed))
        return false;
    // Window events go on while the mark flashes; the box may be gone when a wait ends.
    QPointer<Chk1> self(this);
    const auto wait = [&] {
        QEventLoop loop;
        QTimer::singleShot(std::max(0, static_cast<int>(speed * 1000.0)), &loop, &QEventLoop::quit);
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
        return !self.isNull();
    };
    for (int i = 0; i < *cycles; ++i) {
        m_label2Color = m_highColor;
        m_label1Color = m_animColor1;
        repaint();
        if (!wait())
            return true;
        m_label1Color = m_animColor2;
        repaint();
        if (!wait())
            return true;
        SetLabelColors(QApplication::widgetAt(QCursor::pos()) == this ? m_highColor : m_foreColor);
    }
    return true;
}

void Chk1::Toggle()
{
    setChecked(!m_checked);
    ClickAnimation();
}

void Chk1::zSubclass_Proc(bool, bool &, qint32 &, QWidget *&lng_hWnd, qint32 &uMsg, qint32 &, qint32 &lParam)
{
    // Hover colour and the design's underline; after the leave the fore colour, underlined with the focus.
    const auto showHover = [this](bool hover) {
        m_label2Underline = hover ? m_underlineOnMOver : m_hasFocus;
        SetLabelColors(hover ? m_highColor : m_foreColor);
    };
    if (uMsg == WM_MOUSEMOVE && m_lastMove.Moved(lParam)) {
        if (!std::exchange(m_isInside, true))
            m_hooks.TrackMouseLeave(lng_hWnd);
        showHover(true);
    } else if (uMsg == WM_LBUTTONDOWN) {
        Toggle();
    } else if (uMsg == WM_MOUSELEAVE) {
        m_isInside = false;
        showHover(false);
    }
}

void Chk1::keyPressEvent(QKeyEvent *event)
{
    const qint16 keyAscii = raiseKey(event);
    if (keyAscii != 13 && keyAscii != 32)
        return;
    QPointer<Chk1> self(this);
    Toggle();
    if (self)
        emit Click();
}
