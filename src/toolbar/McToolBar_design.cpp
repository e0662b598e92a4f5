#include "toolbar/McToolBar.h"

#include "controls/PropertyBag.h"

#include <algorithm>

using namespace SystemColor;

namespace {

// A damaged design must not make loading read and lay out millions of buttons.
constexpr int kMaxStoredButtons = 1000;

QString Indexed(const char *key, int index)
{
    return QLatin1String(key) + QString::number(index);
}

} // namespace

void McToolBar::InitProperties()
{
    m = ToolBarModel();
    RedrawControl();
}

void McToolBar::ReadProperties(const PropertyBag &bag)
{
    DesignLoad design{bag};
    ToolBarModel::Properties(m, design, font());
    if (m.Font)
        setFont(*m.Font);
    m.Button_Index = m_designMode ? (m.count() > 0 ? 0 : -1) : -1;
    if (!m_designMode)
        m_hooks.HookMouse({this}, {WM_MOUSEMOVE, WM_MOUSELEAVE, WM_TIMER});
    RedrawControl();
}

void McToolBar::WriteProperties(PropertyBag &bag) const
{
    DesignSave design{bag};
    ToolBarModel::Properties(m, design, font());
}

template <typename Model, typename Design>
void ToolBarModel::Properties(Model &m, Design &d, const QFont &containerFont)
{
    d.value("Appearance", m.Appearance, 0);
    d.color("BackColor", m.BackColor, ButtonFace);
    d.value("BorderStyle", m.BorderStyle, 0);
    if constexpr (Design::Loading) {
        // Both are 16-bit numbers in the design.
        m.Appearance = static_cast<qint16>(m.Appearance);
        m.BorderStyle = static_cast<qint16>(m.BorderStyle);
    }
    d.value("Enabled", m.Enabled, true);
    d.color("ForeColor", m.ForeColor, 0);
    int stored = m.count();
    d.value("Button_Count", stored, 1);
    d.value("Button_Index", m.Button_Index, 0);
    d.value("ButtonsWidth", m.ButtonsWidth, 90);
    d.value("AutoSize", m.AutoSize, true);
    d.value("AutoSizeButtons", m.AutoSizeButtons, false);
    d.value("ButtonsHeight", m.ButtonsHeight, 40);
    d.value("ButtonsPerRow", m.ButtonsPerRow, 3);
    d.color("HoverColor", m.HoverColor, ButtonFace);
    d.value("WarpSize", m.WarpSize, true);
    d.value("TooTipStyle", m.TooTipStyle, 2);
    d.color("ToolTipBackCol", m.ToolTipBackCol, 15138301);
    d.color("ToolTipForeCol", m.ToolTipForeCol, 0);
    d.value("BackGradient", m.BackGradient, 0);
    d.color("BackGradientCol", m.BackGradientCol, 0xC0C0FF);
    d.value("ButtonsStyle", m.ButtonsStyle, 0);
    d.color("BorderColor", m.BorderColor, ActiveBorder);
    d.value("HoverIconShadow", m.HoverIconShadow, true);
    if constexpr (Design::Loading) {
        const QFont font = d.bag.ReadFont("Font", containerFont);
        m.Font = font == containerFont ? std::nullopt : std::optional<QFont>(font);
        m.Buttons.assign(static_cast<size_t>(std::clamp(stored, 0, kMaxStoredButtons)), ButtonRecord());
    } else {
        d.bag.WriteFont("Font", m.Font.value_or(containerFont), containerFont);
    }
    d.picture("BackGround", m.BackGround);
    for (int i = 0; i < m.count(); ++i) {
        auto &b = m.Buttons[static_cast<size_t>(i)];
        d.value(Indexed("ButtonCaption", i), b.caption, QStringLiteral("Button "));
        d.picture(Indexed("ButtonPicture", i), b.icon);
        d.value(Indexed("ButtonToolTipText", i), b.toolTip, QString());
        d.value(Indexed("ButtonToolTipIcon", i), b.toolTipIcon, 0);
        d.value(Indexed("ButtonEnabled", i), b.enabled, true);
        d.value(Indexed("ButtonPressed", i), b.pressed, false);
        d.value(Indexed("ButtonIconAllignment", i), b.iconAlignment, 0);
    }
}
