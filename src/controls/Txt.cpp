#include "controls/Txt.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <cmath>

MultiLineBox::MultiLineBox(QWidget *parent) : QPlainTextEdit(parent) {}

int MultiLineBox::Room() const
{
    if (m_maxLength <= 0)
        return INT_MAX;
    const int selected = static_cast<int>(textCursor().selectedText().size());
    return m_maxLength - (static_cast<int>(toPlainText().size()) - selected);
}

void MultiLineBox::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    const bool inserts = !text.isEmpty() && (text.at(0).isPrint() || text == u"\r") &&
                         !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (inserts && Room() < 1) {
        QApplication::beep();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MultiLineBox::insertFromMimeData(const QMimeData *source)
{
    const int room = Room();
    if (room == INT_MAX || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    insertPlainText(source->text().left(std::max(0, room)));
}

Txt::Txt(QWidget *parent) : PaintedControl(parent, QAccessible::EditableText)
{
    m_text1 = new MultiLineBox(this);
    m_text1->setFrameShape(QFrame::NoFrame);
    m_text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text1->setTabChangesFocus(true);
    m_text1->setPlainText(QStringLiteral("TextMultiline\r\n"));
    m_text2 = new QLineEdit(QStringLiteral("TextSingleline"), this);
    m_text2->setFrame(false);
    setTabOrder(m_text1, m_text2);
    for (QObject *box : {static_cast<QObject *>(m_text1), static_cast<QObject *>(m_text1->viewport()),
                         static_cast<QObject *>(m_text2)})
        box->installEventFilter(this);
    connect(m_text1, &QPlainTextEdit::textChanged, this, &Txt::Text1Changed);
    connect(m_text2, &QLineEdit::textChanged, this, &Txt::Text2Changed);
    setAttribute(Qt::WA_OpaquePaintEvent);
    RefreshText();
}

Txt::~Txt()
{
    m_hooks.UnhookAll();
}

QWidget *Txt::ShownBox() const
{
    return m_style == 1 ? static_cast<QWidget *>(m_text1) : m_text2;
}
QWidget *Txt::TargetBox() const
{
    return m_style == 0 ? static_cast<QWidget *>(m_text1) : m_text2;
}

void Txt::RefreshText()
{
    QWidget *shown = ShownBox();
    QWidget *hidden = shown == m_text1 ? static_cast<QWidget *>(m_text2) : m_text1;
    hidden->hide();
    shown->show();
    setFocusProxy(shown);
    // Both boxes at 20 twips from the top-left edge, 30 twips narrower and lower than the surface.
    const auto px = [](double twips) { return static_cast<int>(std::lround(twips / 15.0)); };
    const double W = width() * 15.0, H = height() * 15.0;
    const QRect inner(px(20), px(20), std::max(0, px(W - 30)), std::max(0, px(H - 30)));
    m_text1->setGeometry(inner);
    m_text2->setGeometry(inner);
    update();
}

void Txt::ShowFrame()
{
    if (m_frameShown)
        return;
    m_shape1Color = 0x808080;
    m_shape2Color = 0xE0E0E0;
    RefreshText();
    m_frameShown = true;
}

void Txt::HideFrame()
{
    if (!m_frameShown)
        return;
    m_shape1Color = 0x8000000F;
    m_shape2Color = 0x8000000F;
    RefreshText();
    m_frameShown = false;
}

void Txt::paint(QPainter &p) const
{
    // The surface shows the button face, with the top-left edge of the first outline and the
    // bottom-right edge of the second at the outermost pixels.
    p.fillRect(rect(), ControlColor(0x8000000F));
    const int w = width(), h = height();
    if (w <= 0 || h <= 0)
        return;
    p.setPen(ControlColor(m_shape1Color));
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, 0, 0, h - 1);
    p.setPen(ControlColor(m_shape2Color));
    p.drawLine(0, h - 1, w - 1, h - 1);
    p.drawLine(w - 1, 0, w - 1, h - 1);
}

void Txt::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(painter);
}

void Txt::resizeEvent(QResizeEvent *)
{
    RefreshText();
}

void Txt::Text1Changed()
{
    const QString text = m_text1->toPlainText();
    if (m_text2->text() != text)
        m_text2->setText(text);
    setText(text);
    emit Change();
}

void Txt::Text2Changed()
{
    // Only a single-line box standing in for the hidden multi-line target passes its text on.
    if (m_style != 0 || m_text1->isVisible())
        return;
    if (m_text1->toPlainText() != m_text2->text())
        m_text1->setPlainText(m_text2->text());
}

void Txt::StartMouseTracking()
{
    if (!m_userMode || !m_hooks.CheckMouseTracking())
        return;
    for (QWidget *window : {static_cast<QWidget *>(this), m_text1->viewport(), static_cast<QWidget *>(m_text2)}) {
        m_hooks.HookWindow(window);
        m_hooks.AddHookMsg(window, WM_MOUSEMOVE, HookAfter);
        m_hooks.AddHookMsg(window, WM_MOUSELEAVE, HookAfter);
    }
}

void Txt::zSubclass_Proc(bool, bool &, qint32 &, QWidget *&lng_hWnd, qint32 &uMsg, qint32 &, qint32 &lParam)
{
    if (uMsg == WM_MOUSEMOVE) {
        if (!m_lastMove.Moved(lParam) || m_isInside)
            return;
        m_isInside = true;
        m_hooks.TrackMouseLeave(lng_hWnd);
        ShowFrame();
    } else if (uMsg == WM_MOUSELEAVE) {
        m_isInside = false;
        if (!m_hasFocus)
            HideFrame();
    }
}

void Txt::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF p = event->position() * 15.0;
    emit MouseMove(ButtonOf(event->buttons()), ShiftOf(event->modifiers()), float(p.x()), float(p.y()));
}

bool Txt::eventFilter(QObject *watched, QEvent *event)
{
    QWidget *box = watched == m_text1->viewport() ? m_text1 : qobject_cast<QWidget *>(watched);
    if (box == m_text1 || box == m_text2)
        return BoxEvent(box, event);
    return QWidget::eventFilter(watched, event);
}

bool Txt::BoxEvent(QWidget *box, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        m_hasFocus = true;
        ShowFrame();
        return false;
    case QEvent::FocusOut: {
        // Focus moving between the two inner boxes stays within the control.
        const QWidget *next = QApplication::focusWidget();
        if (next && isAncestorOf(next))
            return false;
        m_hasFocus = false;
        HideFrame();
        return false;
    }
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        emit KeyDown(KeyCodeOf(key), ShiftOf(key->modifiers()));
        qint16 keyAscii = KeyAsciiOf(key);
        if (keyAscii == 0)
            return false;
        emit KeyPress(keyAscii);
        return keyAscii == 0;
    }
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        emit KeyUp(KeyCodeOf(key), ShiftOf(key->modifiers()));
        return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QPointF p = mouse->position() * 15.0;
        const qint16 shift = ShiftOf(mouse->modifiers());
        if (event->type() == QEvent::MouseButtonPress)
            emit MouseDown(ButtonOf(mouse->button()), shift, float(p.x()), float(p.y()));
        else if (event->type() == QEvent::MouseMove)
            emit MouseMove(ButtonOf(mouse->buttons()), shift, float(p.x()), float(p.y()));
        else if (event->type() == QEvent::MouseButtonDblClick)
            emit DblClick();
        else {
            emit MouseUp(ButtonOf(mouse->button()), shift, float(p.x()), float(p.y()));
            if (box->rect().contains(mouse->position().toPoint()))
                emit Click();
        }
        return false;
    }
    default:
        return false;
    }
}
