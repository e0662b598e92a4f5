#include "platform/ui/Colors.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

struct RoleOf {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The classic system colour indexes 0..30, each on the palette role that plays its part.
constexpr std::array<RoleOf, 31> kSystemRoles{{
    {QPalette::Active, QPalette::Button},            // 0 scroll bar
    {QPalette::Active, QPalette::Dark},              // 1 desktop
    {QPalette::Active, QPalette::Highlight},         // 2 active caption
    {QPalette::Inactive, QPalette::Highlight},       // 3 inactive caption
    {QPalette::Active, QPalette::Window},            // 4 menu
    {QPalette::Active, QPalette::Base},              // 5 window
    {QPalette::Active, QPalette::Shadow},            // 6 window frame
    {QPalette::Active, QPalette::WindowText},        // 7 menu text
    {QPalette::Active, QPalette::Text},              // 8 window text
    {QPalette::Active, QPalette::HighlightedText},   // 9 caption text
    {QPalette::Active, QPalette::Button},            // 10 active border
    {QPalette::Inactive, QPalette::Button},          // 11 inactive border
    {QPalette::Active, QPalette::Mid},               // 12 application workspace
    {QPalette::Active, QPalette::Highlight},         // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},   // 14 highlighted text
    {QPalette::Active, QPalette::Button},            // 15 button face
    {QPalette::Active, QPalette::Dark},              // 16 button shadow
    {QPalette::Disabled, QPalette::Text},            // 17 grey text
    {QPalette::Active, QPalette::ButtonText},        // 18 button text
    {QPalette::Inactive, QPalette::HighlightedText}, // 19 inactive caption text
    {QPalette::Active, QPalette::Light},             // 20 button highlight
    {QPalette::Active, QPalette::Shadow},            // 21 dark 3D shadow
    {QPalette::Active, QPalette::Midlight},          // 22 3D light
    {QPalette::Active, QPalette::ToolTipText},       // 23 tooltip text
    {QPalette::Active, QPalette::ToolTipBase},       // 24 tooltip background
    {QPalette::Active, QPalette::Button},            // 25 unused
    {QPalette::Active, QPalette::Link},              // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight},         // 27 active caption gradient
    {QPalette::Inactive, QPalette::Highlight},       // 28 inactive caption gradient
    {QPalette::Active, QPalette::Highlight},         // 29 menu highlight
    {QPalette::Active, QPalette::Window},            // 30 menu bar
}};

// Read once: a control repaints on every mouse move and must not rebuild this each time.
const std::array<quint32, 31> &SystemColors()
{
    static const std::array<quint32, 31> colors = [] {
        std::array<quint32, 31> table{};
        const QPalette palette = QGuiApplication::palette();
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = FromQColor(palette.color(kSystemRoles[i].group, kSystemRoles[i].role));
        return table;
    }();
    return colors;
}

int Channel(quint32 bgr, int shift)
{
    return static_cast<int>((bgr >> shift) & 0xFF);
}

} // namespace

quint32 TranslateColor(quint32 oClr)
{
    if ((oClr & 0xFF000000u) == 0x80000000u) {
        const quint32 index = oClr & 0x00FFFFFFu;
        return index < SystemColors().size() ? SystemColors()[index] : 0;
    }
    return oClr & 0x00FFFFFFu;
}

quint32 BlendColor(quint32 oColorFrom, quint32 oColorTo, int alpha)
{
    const quint32 from = TranslateColor(oColorFrom);
    const quint32 to = TranslateColor(oColorTo);
    quint32 result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double mixed = (255.0 - alpha) * Channel(to, shift) / 255.0 + Channel(from, shift) * alpha / 255.0;
        // nearbyint keeps the default rounding mode: to nearest, ties to even.
        const long channel = std::clamp(std::lrint(std::nearbyint(mixed)), 0L, 255L);
        result |= static_cast<quint32>(channel) << shift;
    }
    return result;
}

QColor ToQColor(quint32 bgr)
{
    return QColor(Channel(bgr, 0), Channel(bgr, 8), Channel(bgr, 16));
}

quint32 FromQColor(const QColor &color)
{
    return static_cast<quint32>(color.red()) | static_cast<quint32>(color.green()) << 8 |
           static_cast<quint32>(color.blue()) << 16;
}
