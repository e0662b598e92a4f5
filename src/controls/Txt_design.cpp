#include "controls/PropertyBag.h"
#include "controls/Txt.h"

#include <QLineEdit>

namespace {

QVariant Read(const PropertyBag &bag, const char *key, const QVariant &defaultValue)
{
    return bag.ReadProperty(QString::fromLatin1(key), defaultValue);
}

} // namespace

bool Txt::ReadProperties(const PropertyBag &bag)
{
    bool ok = true;
    QWidget::setEnabled(Read(bag, "Enabled", true).toBool());
    m_text1->setFont(bag.ReadFont(QStringLiteral("Font"), ContainerFont(this)));
    m_mouseIcon = bag.ReadPicture(QStringLiteral("MouseIcon"));
    const auto style = ToInt32(Read(bag, "Style", 0.0).toDouble());
    ok &= style.has_value();
    m_style = style.value_or(m_style);
    m_storedText = Read(bag, "Text", QString()).toString();
    RefreshText();
    ShowFrame();
    HideFrame();
    StartMouseTracking();

    // The rest goes into the target box.
    QWidget *target = TargetBox();
    const bool multi = target == m_text1;
    setSelText(Read(bag, "SelText", QString()).toString());
    const auto selStart = ToInt32(Read(bag, "SelStart", 0.0).toDouble());
    const auto selLength = ToInt32(Read(bag, "SelLength", 0.0).toDouble());
    ok &= selStart.has_value() && selLength.has_value();
    if (selStart)
        setSelStart(*selStart);
    if (selLength)
        setSelLength(*selLength);
    const auto pointer = ToInt16(Read(bag, "MousePointer", 0.0).toDouble());
    ok &= pointer.has_value();
    if (pointer) {
        m_mousePointer = *pointer;
        ApplyMousePointer(multi ? m_text1->viewport() : target, m_mousePointer, m_mouseIcon);
    }
    const QString password = Read(bag, "PasswordChar", QString()).toString().left(1);
    if (multi)
        m_passwordChar = password;
    else
        m_text2->setEchoMode(password.isEmpty() ? QLineEdit::Normal : QLineEdit::Password);
    const QString text = Read(bag, "Text", QStringLiteral("Text")).toString();
    if (multi && m_text1->toPlainText() != text)
        m_text1->setPlainText(text);
    else if (!multi && m_text2->text() != text)
        m_text2->setText(text);
    target->setToolTip(Read(bag, "ToolTipText", QString()).toString());
    const quint32 back = bag.ReadColor(QStringLiteral("BackColor"), 0x80000005);
    const quint32 fore = bag.ReadColor(QStringLiteral("ForeColor"), 0x80000008);
    QPalette palette = target->palette();
    palette.setColor(QPalette::Base, ControlColor(back));
    palette.setColor(QPalette::Text, ControlColor(fore));
    target->setPalette(palette);
    if (multi) {
        m_text1Back = back;
        m_text1Fore = fore;
    }
    QFont font = target->font();
    font.setItalic(Read(bag, "FontItalic", false).toBool());
    const QString name = Read(bag, "FontName", QString()).toString();
    if (!name.isEmpty())
        font.setFamily(name);
    const double size = Read(bag, "FontSize", 0.0).toDouble();
    if (size > 0 && size <= 16384) // an edit box takes no size of 0 or less; the font keeps its own
        font.setPointSizeF(size);
    font.setStrikeOut(Read(bag, "FontStrikethru", false).toBool());
    font.setUnderline(Read(bag, "FontUnderline", false).toBool());
    target->setFont(font);
    const bool locked = Read(bag, "Locked", false).toBool();
    const auto maxLength = ToInt32(Read(bag, "MaxLength", 0.0).toDouble());
    ok &= maxLength.has_value();
    if (multi) {
        m_text1->setReadOnly(locked);
        if (maxLength)
            m_text1->setMaxLength(std::max(0, *maxLength));
    } else {
        m_text2->setReadOnly(locked);
        if (maxLength) // an edit box's 0 is no limit
            m_text2->setMaxLength(*maxLength > 0 ? *maxLength : 32767);
    }

    const auto alignment = ToInt16(Read(bag, "Alignment", 0.0).toDouble());
    ok &= alignment.has_value();
    if (alignment) {
        QTextOption option = m_text1->document()->defaultTextOption();
        option.setAlignment(*alignment == 1 ? Qt::AlignRight : *alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft);
        m_text1->document()->setDefaultTextOption(option);
    }
    return ok;
}

void Txt::WriteProperties(PropertyBag &bag) const
{
    const auto write = [&](const char *key, const QVariant &value, const QVariant &defaultValue) {
        bag.WriteProperty(QString::fromLatin1(key), value, defaultValue);
    };
    bag.WriteColor(QStringLiteral("BackColor"), m_text1Back, 0x80000005);
    write("Enabled", isEnabled(), true);
    bag.WriteFont(QStringLiteral("Font"), m_text1->font(), ContainerFont(this));
    bag.WriteColor(QStringLiteral("ForeColor"), m_text1Fore, 0x80000008);
    write("FontItalic", FontItalic(), false);
    write("FontName", FontName(), QString());
    write("FontSize", double(FontSize()), 0);
    write("FontStrikethru", FontStrikethru(), false);
    write("FontUnderline", FontUnderline(), false);
    write("Locked", Locked(), false);
    write("MaxLength", MaxLength(), 0);
    bag.WritePicture(QStringLiteral("MouseIcon"), m_mouseIcon);
    write("MousePointer", m_mousePointer, 0);
    write("PasswordChar", m_passwordChar, QString());
    write("Text", m_text1->toPlainText(), QStringLiteral("Text"));
    write("ToolTipText", ToolTipText(), QString());
    write("Style", m_style, 0);
    write("Text", m_storedText, QString());
    const QTextCursor cursor = m_text1->textCursor();
    write("SelText", cursor.selectedText(), QString());
    write("SelStart", cursor.selectionStart(), 0);
    write("SelLength", cursor.selectionEnd() - cursor.selectionStart(), 0);
    const Qt::Alignment a = m_text1->document()->defaultTextOption().alignment();
    write("Alignment", a & Qt::AlignRight ? 1 : a & Qt::AlignHCenter ? 2 : 0, 0);
}
