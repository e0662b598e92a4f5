#include "controls/Txt.h"

#include <QLineEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <functional>

// The members about the look of the text work on Text1 whichever box is shown; Text and the
// selection work on the target box.

namespace {

void SetBoxColors(QWidget *box, quint32 back, quint32 fore)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, ControlColor(back));
    palette.setColor(QPalette::Text, ControlColor(fore));
    box->setPalette(palette);
}

void SetBoxFont(QWidget *box, const std::function<void(QFont &)> &change)
{
    QFont font = box->font();
    change(font);
    box->setFont(font);
}

} // namespace

quint32 Txt::BackColor() const
{
    return m_text1Back;
}

void Txt::setBackColor(quint32 color)
{
    m_text1Back = color;
    SetBoxColors(m_text1, m_text1Back, m_text1Fore);
    Report("BackColor");
    RefreshText();
}

QFont Txt::Font() const
{
    return m_text1->font();
}

quint32 Txt::ForeColor() const
{
    return m_text1Fore;
}

void Txt::setForeColor(quint32 color)
{
    m_text1Fore = color;
    SetBoxColors(m_text1, m_text1Back, m_text1Fore);
    Report("ForeColor");
}

bool Txt::FontItalic() const
{
    return m_text1->font().italic();
}

void Txt::setFontItalic(bool italic)
{
    SetBoxFont(m_text1, [&](QFont &f) { f.setItalic(italic); });
    Report("FontItalic");
}

QString Txt::FontName() const
{
    return m_text1->font().family();
}

void Txt::setFontName(const QString &name)
{
    SetBoxFont(m_text1, [&](QFont &f) { f.setFamily(name); });
    Report("FontName");
}

float Txt::FontSize() const
{
    return float(m_text1->font().pointSizeF());
}

bool Txt::setFontSize(float points)
{
    if (!(points > 0 && points <= 16384)) // a size the box cannot take
        return false;
    SetBoxFont(m_text1, [&](QFont &f) { f.setPointSizeF(points); });
    Report("FontSize");
    return true;
}

bool Txt::FontStrikethru() const
{
    return m_text1->font().strikeOut();
}

void Txt::setFontStrikethru(bool strikethru)
{
    SetBoxFont(m_text1, [&](QFont &f) { f.setStrikeOut(strikethru); });
    Report("FontStrikethru");
}

bool Txt::FontUnderline() const
{
    return m_text1->font().underline();
}

void Txt::setFontUnderline(bool underline)
{
    SetBoxFont(m_text1, [&](QFont &f) { f.setUnderline(underline); });
    Report("FontUnderline");
}

bool Txt::Locked() const
{
    return m_text1->isReadOnly();
}

qint32 Txt::MaxLength() const
{
    return m_text1->maxLength();
}

void Txt::setMouseIcon(const StdPicture &icon)
{
    m_mouseIcon = icon;
    ApplyMousePointer(m_text1->viewport(), m_mousePointer, m_mouseIcon);
    Report("MouseIcon");
}

void Txt::setMousePointer(qint16 pointer)
{
    m_mousePointer = pointer;
    ApplyMousePointer(m_text1->viewport(), m_mousePointer, m_mouseIcon);
    Report("MousePointer");
}

void Txt::setPasswordChar(const QString &character)
{
    // A multi-line box shows its text whatever the password character; it is kept for the design.
    m_passwordChar = character.left(1);
    Report("PasswordChar");
}

QString Txt::ToolTipText() const
{
    return m_text1->toolTip();
}

QString Txt::Text() const
{
    return TargetBox() == m_text1 ? m_text1->toPlainText() : m_text2->text();
}

void Txt::setText(const QString &text)
{
    if (TargetBox() == m_text1) {
        if (m_text1->toPlainText() != text)
            m_text1->setPlainText(text);
    } else if (m_text2->text() != text) {
        m_text2->setText(text);
    }
    m_storedText = text;
    Report("Text");
}

QString Txt::SelText() const
{
    if (TargetBox() == m_text1)
        return m_text1->textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n');
    return m_text2->selectedText();
}

void Txt::setSelText(const QString &text)
{
    if (TargetBox() == m_text1)
        m_text1->textCursor().insertText(text);
    else
        m_text2->insert(text);
    Report("SelText");
}

qint32 Txt::SelStart() const
{
    if (TargetBox() == m_text1)
        return m_text1->textCursor().selectionStart();
    return m_text2->hasSelectedText() ? m_text2->selectionStart() : m_text2->cursorPosition();
}

void Txt::setSelStart(qint32 start)
{
    // As an edit box does: the selection collapses at the new start.
    if (TargetBox() == m_text1) {
        QTextCursor cursor = m_text1->textCursor();
        cursor.setPosition(std::clamp(start, 0, int(m_text1->document()->characterCount()) - 1));
        m_text1->setTextCursor(cursor);
    } else {
        m_text2->setCursorPosition(std::clamp(start, 0, int(m_text2->text().size())));
    }
    Report("SelStart");
}

qint32 Txt::SelLength() const
{
    return static_cast<qint32>(SelText().size());
}

void Txt::setSelLength(qint32 length)
{
    const int start = SelStart();
    if (TargetBox() == m_text1) {
        QTextCursor cursor = m_text1->textCursor();
        const int last = int(m_text1->document()->characterCount()) - 1;
        cursor.setPosition(start);
        cursor.setPosition(std::clamp(start + std::max(0, length), 0, last), QTextCursor::KeepAnchor);
        m_text1->setTextCursor(cursor);
    } else {
        m_text2->setSelection(start, std::max(0, length));
    }
    Report("SelLength");
}

qint16 Txt::Alignment() const
{
    const Qt::Alignment a =
        TargetBox() == m_text1 ? m_text1->document()->defaultTextOption().alignment() : m_text2->alignment();
    return a & Qt::AlignRight ? 1 : a & Qt::AlignHCenter ? 2 : 0;
}

void Txt::setAlignment(qint16 alignment)
{
    const Qt::Alignment a = alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    QTextOption option = m_text1->document()->defaultTextOption();
    option.setAlignment(a);
    m_text1->document()->setDefaultTextOption(option);
    m_text2->setAlignment(a | Qt::AlignVCenter);
    Report("Alignment");
}

void Txt::setAccessibleLabel(const QString &name)
{
    for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(m_text1), static_cast<QWidget *>(m_text2)})
        w->setAccessibleName(name);
}
