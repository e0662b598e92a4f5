#pragma once

#include <QColor>
#include <QtGlobal>

// Colour values as the controls store them: 0x00BBGGRR for a direct colour, 0x800000NN for the
// system colour NN (button face, shadow, grey text, ...), resolved when drawn.
namespace SystemColor {
constexpr quint32 ScrollBar = 0x80000000;
constexpr quint32 Window = 0x80000005;
constexpr quint32 WindowFrame = 0x80000006;
constexpr quint32 WindowText = 0x80000008;
constexpr quint32 ActiveBorder = 0x8000000A;
constexpr quint32 Highlight = 0x8000000D;
constexpr quint32 ButtonFace = 0x8000000F;
constexpr quint32 ButtonShadow = 0x80000010;
constexpr quint32 GrayText = 0x80000011;
constexpr quint32 ButtonText = 0x80000012;
constexpr quint32 ButtonHighlight = 0x80000014;
constexpr quint32 InfoText = 0x80000017;
constexpr quint32 InfoBackground = 0x80000018;
} // namespace SystemColor

// The 0x00BBGGRR value of a stored colour. System colours come from the application palette as it
// was the first time one was asked for; an unknown system index gives black.
quint32 TranslateColor(quint32 oClr);

// Per channel: (255 - alpha) * to / 255 + from * alpha / 255, rounded half to even. Alpha 255 gives
// from, 0 gives to.
quint32 BlendColor(quint32 oColorFrom, quint32 oColorTo, int alpha);

// Between 0x00BBGGRR and Qt's colour.
QColor ToQColor(quint32 bgr);
quint32 FromQColor(const QColor &color);
