#include "toolbar/McToolBar.h"

#include "controls/PropertyBag.h"
#include "toolbar/ToolBarAccessible.h"
#include "toolbar/ToolBarToolTip.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

namespace {

// Sizes a damaged design asks for can be absurd; nothing past this can be seen anyway.
constexpr int kMaxSurface = 4096;

} // namespace

McToolBar::McToolBar(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    InstallToolBarAccessibility();
    InitProperties();
}

McToolBar::~McToolBar()
{
    HideToolTip();
    if (m_timerId)
        killTimer(m_timerId);
    m_hooks.UnhookWindow(this);
    m_hooks.UnhookAll();
}

void McToolBar::InitProperties()
{
    m = ToolBarModel();
    RedrawControl();
}

void McToolBar::ReadProperties(const PropertyBag &bag)
{
    m.Read(bag, font());
    if (m.Font)
        QWidget::setFont(*m.Font);
    m.Button_Index = m_designMode ? (m.count() > 0 ? 0 : -1) : -1;
    StartMouseTracking();
    RedrawControl();
}

void McToolBar::WriteProperties(PropertyBag &bag) const
{
    m.Write(bag, font());
}

void McToolBar::StartMouseTracking()
{
    if (m_designMode || !m_hooks.CheckMouseTracking())
        return;
    m_hooks.HookWindow(this);
    m_hooks.AddHookMsg(this, WM_MOUSEMOVE, HookAfter);
    m_hooks.AddHookMsg(this, WM_MOUSELEAVE, HookAfter);
    m_hooks.AddHookMsg(this, WM_TIMER, HookAfter);
}

void McToolBar::setButton_Count(int count)
{
    if (m.SetButtonCount(count))
        RedrawControl();
}

void McToolBar::setButton_Index(int index)
{
    if (m.SetButtonIndex(index))
        RedrawControl();
}

ButtonRecord *McToolBar::current()
{
    return m.valid(m.Button_Index) ? &m.Buttons[static_cast<size_t>(m.Button_Index)] : nullptr;
}

const ButtonRecord *McToolBar::current() const
{
    return button(m.Button_Index);
}

const ButtonRecord *McToolBar::button(int index) const
{
    return m.valid(index) ? &m.Buttons[static_cast<size_t>(index)] : nullptr;
}

void McToolBar::setButtonRemove(int)
{
    if (m.RemoveButton())
        RedrawControl();
}

void McToolBar::setButtonMoveTo(int target)
{
    if (m.MoveButtonTo(target))
        RedrawControl();
}

void McToolBar::HighlightButton(int lIndex)
{
    if (m.valid(lIndex)) {
        m.Buttons[static_cast<size_t>(lIndex)].pressed = true;
        RedrawControl();
    }
}

void McToolBar::UnHighlightButton(int lIndex)
{
    if (m.valid(lIndex)) {
        m.Buttons[static_cast<size_t>(lIndex)].pressed = false;
        RedrawControl();
    }
}

void McToolBar::RedrawControl()
{
    // Resizing the control below comes back here through resizeEvent; one pass draws it all.
    if (m_redrawing)
        return;
    m_redrawing = true;
    emit Redrawing(m.Button_Index);
    const QFont drawFont = Font();
    QImage probe(1, 1, QImage::Format_RGB32);
    LayoutGrid(m, m_grid, size(), QFontMetricsF(drawFont, &probe));

    if (m.WarpSize) {
        QSize wanted = size();
        if (wanted.width() < m.ButtonsWidth)
            wanted.setWidth(m.ButtonsWidth);
        if (m_align != 3 && m_align != 4)
            wanted.setHeight(
                static_cast<int>(std::clamp<qint64>(qint64(m.ButtonsHeight) * m_grid.RowCount, 0, QWIDGETSIZE_MAX)));
        if (m_align != 1 && m_align != 2)
            wanted.setWidth(
                static_cast<int>(std::clamp<qint64>(qint64(m.ButtonsPerRow) * m.ButtonsWidth, 0, QWIDGETSIZE_MAX)));
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
    const QSize inner(std::min(width(), kMaxSurface), std::min(height(), kMaxSurface));
    if (inner.isEmpty())
        return QImage();
    QImage surface = m_surface;
    if (surface.deviceIndependentSize() != QSizeF(inner) || surface.devicePixelRatio() != dpr) {
        surface = QImage(inner * dpr, QImage::Format_RGB32);
        surface.setDevicePixelRatio(dpr);
    }
    QPainter p(&surface);
    p.setFont(Font());
    PaintState state;
    state.inner = inner;
    state.mouseDown = m_isMouseDown;
    state.designMode = m_designMode;
    state.enabled = isEnabled();
    PaintToolBar(p, m, m_grid, state);
    return surface;
}

void McToolBar::paintEvent(QPaintEvent *)
{
    if (!m_surface.isNull() && m_surface.devicePixelRatio() != devicePixelRatioF())
        RedrawControl(); // moved to a screen of another scale
    QPainter p(this);
    // Only past the largest surface is there anything the surface does not cover.
    if (m_surface.deviceIndependentSize() != QSizeF(size()))
        p.fillRect(rect(), ResolvedColor(m.BackColor));
    if (!m_surface.isNull())
        p.drawImage(0, 0, m_surface);
}

void McToolBar::resizeEvent(QResizeEvent *)
{
    RedrawControl();
}

void McToolBar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        if (testAttribute(Qt::WA_SetFont))
            m.Font = font();
        RedrawControl();
    } else if (event->type() == QEvent::EnabledChange) {
        RedrawControl();
    }
    QWidget::changeEvent(event);
}
