#include "common/Pointer.h"

#include <QCoreApplication>
#include <QCursor>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace {

QPoint InWindow(QWidget *widget, QPoint pos, QWindow **window)
{
    *window = widget->window()->windowHandle();
    return (*window)->mapFromGlobal(widget->mapToGlobal(pos));
}

} // namespace

namespace Pointer {

void MoveTo(QWidget *widget, QPoint pos)
{
    QCursor::setPos(widget->mapToGlobal(pos));
    QCoreApplication::processEvents();
}

void Press(QWidget *widget, QPoint pos)
{
    MoveTo(widget, pos);
    QWindow *window = nullptr;
    const QPoint at = InWindow(widget, pos, &window);
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, at);
}

void Release(QWidget *widget, QPoint pos)
{
    MoveTo(widget, pos);
    QWindow *window = nullptr;
    const QPoint at = InWindow(widget, pos, &window);
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, at);
}

} // namespace Pointer
