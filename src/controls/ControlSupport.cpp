#include "controls/ControlSupport.h"
#include "platform/ui/Colors.h"

#include <QApplication>
#include <QCursor>
#include <QHash>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <iterator>

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

QString ShownCaption(const QString &caption)
{
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i)
        if (caption.at(i) != u'&' || ++i < caption.size())
            shown += caption.at(i);
    return shown;
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

void DrawEdges(QPainter &p, const QRect &r, const QColor &topLeft, const QColor &bottomRight)
{
    const int w = r.width(), h = r.height();
    if (w > 0)
        p.fillRect(QRect(r.x(), r.y(), w, 1), topLeft);
    if (h > 0) {
        p.fillRect(QRect(r.x(), r.y(), 1, h), topLeft);
        p.fillRect(QRect(r.x() + w - 1, r.y(), 1, h), bottomRight);
    }
    if (w > 0)
        p.fillRect(QRect(r.x(), r.y() + h - 1, w, 1), bottomRight);
}

qint16 KeyCodeOf(const QKeyEvent *event)
{
    static const QHash<int, qint16> codes{
        {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},   {Qt::Key_Return, 13}, {Qt::Key_Enter, 13}, {Qt::Key_Shift, 16},
        {Qt::Key_Control, 17},  {Qt::Key_Alt, 18},  {Qt::Key_Escape, 27}, {Qt::Key_Space, 32}, {Qt::Key_PageUp, 33},
        {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},  {Qt::Key_Home, 36},   {Qt::Key_Left, 37},  {Qt::Key_Up, 38},
        {Qt::Key_Right, 39},    {Qt::Key_Down, 40}, {Qt::Key_Insert, 45}, {Qt::Key_Delete, 46}};
    const int key = event->key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<qint16>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<qint16>(112 + key - Qt::Key_F1);
    return codes.value(key, 0);
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
