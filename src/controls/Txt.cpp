#include "controls/Txt.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

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
    if (room == INT_MAX || !source->hasText())
        return QPlainTextEdit::insertFromMimeData(source);
    insertPlainText(source->text().left(std::max(0, room)));
}

void Txt::SetBoxColors(QWidget *box, quint32 back, quint32 fore)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, ControlColor(back));
    palette.setColor(QPalette::Text, ControlColor(fore));
    box->setPalette(palette);
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
    for (QObject *box : std::initializer_list<QObject *>{m_text1, m_text1->viewport(), m_text2})
        box->installEventFilter(this);
    connect(m_text1, &QPlainTextEdit::textChanged, this, &Txt::Text1Changed);
    connect(m_text2, &QLineEdit::textChanged, this, &Txt::Text2Changed);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_backColor = SystemColor::Window; // the colour of Text1; the frame shows the button face
    RefreshText();
}

void Txt::RefreshText()
{
    QWidget *shown = ShownBox();
    QWidget *hidden = shown == m_text1 ? static_cast<QWidget *>(m_text2) : m_text1;
    hidden->hide();
    shown->show();
    setFocusProxy(shown);
    // Both boxes at 20 twips from the top-left edge, 30 twips narrower and lower than the surface.
    const double W = width() * TwipsPerPixel, H = height() * TwipsPerPixel;
    const QRect inner = TwipsRect(20, 20, std::max(0.0, W - 30), std::max(0.0, H - 30));
    m_text1->setGeometry(inner);
    m_text2->setGeometry(inner);
    update();
}

void Txt::SetFrame(bool shown)
{
    if (m_frameShown == shown)
        return;
    m_frameShown = shown;
    RefreshText();
}

void Txt::SetText1Color(quint32 &field, quint32 color, const char *key)
{
    field = color;
    SetBoxColors(m_text1, m_backColor, m_text1Fore);
    report(key);
}

void Txt::setBackColor(quint32 color)
{
    SetText1Color(m_backColor, color, "BackColor");
    RefreshText();
}

bool Txt::setFontSize(float points)
{
    if (!(points > 0 && points <= 16384)) // a size the box cannot take
        return false;
    SetText1Font(&QFont::setPointSizeF, qreal(points), "FontSize");
    return true;
}

void Txt::setText(const QString &text)
{
    SetTargetText(text);
    m_storedText = text;
    report("Text");
}

void Txt::SetTargetText(const QString &text)
{
    // Only a real change: setting the same text would still raise Change.
    if (TargetIsText1() && m_text1->toPlainText() != text)
        m_text1->setPlainText(text);
    else if (!TargetIsText1() && m_text2->text() != text)
        m_text2->setText(text);
}

QString Txt::SelText() const
{
    if (TargetIsText1())
        return m_text1->textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n');
    return m_text2->selectedText();
}

void Txt::setSelText(const QString &text)
{
    if (TargetIsText1())
        m_text1->textCursor().insertText(text);
    else
        m_text2->insert(text);
    report("SelText");
}

qint32 Txt::SelStart() const
{
    if (TargetIsText1())
        return m_text1->textCursor().selectionStart();
    return m_text2->hasSelectedText() ? m_text2->selectionStart() : m_text2->cursorPosition();
}

void Txt::setSelStart(qint32 start)
{
    // As an edit box does: the selection collapses at the new start.
    if (TargetIsText1()) {
        QTextCursor cursor = m_text1->textCursor();
        cursor.setPosition(std::clamp(start, 0, int(m_text1->document()->characterCount()) - 1));
        m_text1->setTextCursor(cursor);
    } else {
        m_text2->setCursorPosition(std::clamp(start, 0, int(m_text2->text().size())));
    }
    report("SelStart");
}

void Txt::setSelLength(qint32 length)
{
    const int start = SelStart();
    if (TargetIsText1()) {
        QTextCursor cursor = m_text1->textCursor();
        const int last = int(m_text1->document()->characterCount()) - 1;
        cursor.setPosition(start);
        cursor.setPosition(std::clamp(start + std::max(0, length), 0, last), QTextCursor::KeepAnchor);
        m_text1->setTextCursor(cursor);
    } else {
        m_text2->setSelection(start, std::max(0, length));
    }
    report("SelLength");
}

qint16 Txt::Alignment() const
{
    return AlignmentNumber(TargetIsText1() ? m_text1->document()->defaultTextOption().alignment()
                                           : m_text2->alignment());
}

void Txt::setAlignment(qint16 alignment)
{
    SetText1Alignment(alignment);
    m_text2->setAlignment(AlignmentOf(alignment) | Qt::AlignVCenter);
    report("Alignment");
}

void Txt::SetText1Alignment(qint16 alignment)
{
    QTextOption option = m_text1->document()->defaultTextOption();
    option.setAlignment(AlignmentOf(alignment));
    m_text1->document()->setDefaultTextOption(option);
}

void Txt::setAccessibleLabel(const QString &name)
{
    for (QWidget *w : std::initializer_list<QWidget *>{this, m_text1, m_text2})
        w->setAccessibleName(name);
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

void Txt::zSubclass_Proc(bool, bool &, qint32 &, QWidget *&lng_hWnd, qint32 &uMsg, qint32 &, qint32 &lParam)
{
    if (uMsg == WM_MOUSEMOVE) {
        if (!m_lastMove.Moved(lParam) || m_isInside)
            return;
        m_isInside = true;
        m_hooks.TrackMouseLeave(lng_hWnd);
        SetFrame(true);
    } else if (uMsg == WM_MOUSELEAVE) {
        m_isInside = false;
        if (!m_hasFocus)
            SetFrame(false);
    }
}

bool Txt::eventFilter(QObject *watched, QEvent *event)
{
    QWidget *box = watched == m_text1->viewport() ? m_text1 : qobject_cast<QWidget *>(watched);
    if (box != m_text1 && box != m_text2)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // Focus moving between the two inner boxes stays within the control.
        const QWidget *next = QApplication::focusWidget();
        if (event->type() == QEvent::FocusOut && next && isAncestorOf(next))
            break;
        m_hasFocus = event->type() == QEvent::FocusIn;
        SetFrame(m_hasFocus);
        break;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // A KeyPress handler that zeroes the character drops the key.
        const auto *key = static_cast<QKeyEvent *>(event);
        return raiseKey(key) == 0 && event->type() == QEvent::KeyPress && KeyAsciiOf(key) != 0;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        raiseMouse(mouse);
        if (event->type() == QEvent::MouseButtonRelease && box->rect().contains(mouse->position().toPoint()))
            emit Click();
        break;
    }
    default:
        break;
    }
    return false;
}
