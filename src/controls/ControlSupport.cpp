#include "controls/ControlSupport.h"
#include "platform/ui/Colors.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QPixmap>
#include <QWidget>
#include <cmath>
#include <iterator>
#include <limits>

namespace {

template <typename T> std::optional<T> RoundedToFit(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = std::nearbyint(value); // the default rounding mode is half to even
    if (r < std::numeric_limits<T>::min() || r > std::numeric_limits<T>::max())
        return std::nullopt;
    return static_cast<T>(r);
}

} // namespace

std::optional<qint16> ToInt16(double value)
{
    return RoundedToFit<qint16>(value);
}
std::optional<qint32> ToInt32(double value)
{
    return RoundedToFit<qint32>(value);
}

std::optional<qint16> MulInt16(qint16 a, qint16 b)
{
    return RoundedToFit<qint16>(double(a) * double(b));
}
std::optional<qint32> MulInt32(qint32 a, qint32 b)
{
    return RoundedToFit<qint32>(double(a) * double(b));
}

void ApplyMousePointer(QWidget *widget, qint16 pointer, const StdPicture &icon)
{
    static const Qt::CursorShape shapes[] = {
        Qt::ArrowCursor,     Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,
        Qt::ArrowCursor,     Qt::SizeAllCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeFDiagCursor, Qt::SizeHorCursor, Qt::UpArrowCursor,   Qt::WaitCursor,
        Qt::ForbiddenCursor, Qt::BusyCursor,    Qt::WhatsThisCursor, Qt::SizeAllCursor};
    if (pointer == 99 && !icon.isNull())
        widget->setCursor(QCursor(QPixmap::fromImage(icon.Image)));
    else if (pointer > 0 && pointer < qint16(std::size(shapes)))
        widget->setCursor(shapes[pointer]);
    else
        widget->unsetCursor();
}

QFont ContainerFont(const QWidget *control)
{
    const QWidget *container = control ? control->parentWidget() : nullptr;
    return container ? container->font() : QApplication::font();
}

QColor ControlColor(quint32 value)
{
    return ToQColor(TranslateColor(value));
}

qint16 KeyCodeOf(const QKeyEvent *event)
{
    const int key = event->key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<qint16>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<qint16>(112 + key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

qint16 KeyAsciiOf(const QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return 0;
    const char16_t c = text.at(0).unicode();
    return c < 0x8000 ? static_cast<qint16>(c) : 0;
}

qint16 ShiftOf(Qt::KeyboardModifiers modifiers)
{
    return static_cast<qint16>((modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
                               (modifiers & Qt::AltModifier ? 4 : 0));
}

qint16 ButtonOf(Qt::MouseButtons buttons)
{
    return static_cast<qint16>((buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
                               (buttons & Qt::MiddleButton ? 4 : 0));
}
