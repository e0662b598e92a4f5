#include "common/Pointer.h"

#include <QCoreApplication>
#include <QCursor>
#include <QTest>
#include <QWidget>
#include <QWindow>

void Pointer::MoveTo(QWidget *widget, QPoint pos)
{
    QCursor::setPos(widget->mapToGlobal(pos));
    QCoreApplication::processEvents();
}

void Pointer::Button(QWidget *widget, QPoint pos, bool press)
{
    MoveTo(widget, pos);
    QWindow *window = widget->window()->windowHandle();
    const QPoint at = window->mapFromGlobal(widget->mapToGlobal(pos));
    if (press)
        QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, at);
    else
        QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, at);
}
