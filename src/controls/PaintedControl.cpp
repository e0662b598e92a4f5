#include "controls/PaintedControl.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QToolTip>

namespace {

class ControlInterface : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ControlInterface(PaintedControl *control) : QAccessibleWidget(control, control->accessibleRole()) {}
    const PaintedControl *control() const { return static_cast<const PaintedControl *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        if (t == QAccessible::Accelerator)
            return QKeySequence::mnemonic(control()->accessibleCaption()).toString(QKeySequence::NativeText);
        if (t == QAccessible::Name && own.isEmpty())
            return ShownCaption(control()->accessibleCaption()).simplified();
        return own;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (const auto checked = control()->accessibleChecked()) {
            s.checkable = true;
            s.checked = *checked;
        }
        return s;
    }
    QStringList actionNames() const override
    {
        if (role() == QAccessible::ProgressBar)
            return QAccessibleWidget::actionNames();
        return QAccessibleWidget::actionNames() << (control()->accessibleChecked() ? toggleAction() : pressAction());
    }
    void doAction(const QString &action) override
    {
        if (action != pressAction() && action != toggleAction())
            return QAccessibleWidget::doAction(action);
        // As the keyboard would: Space clicks a button and toggles a check box.
        const_cast<PaintedControl *>(control())->pressByKeyboard();
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface && control()->accessibleValue())
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QVariant currentValue() const override { return control()->accessibleValue().value_or(0); }
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }
};

QAccessibleInterface *Factory(const QString &, QObject *object)
{
    auto *control = qobject_cast<PaintedControl *>(object);
    return control ? new ControlInterface(control) : nullptr;
}

} // namespace

PaintedControl::PaintedControl(QWidget *parent, QAccessible::Role role) : QWidget(parent), m_role(role)
{
    static const bool installed = (QAccessible::installFactory(Factory), true);
    Q_UNUSED(installed);
}

QImage PaintedControl::picture(qreal dpr, const QColor &fill) const
{
    QImage image(size() * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(fill);
    QPainter painter(&image);
    paint(painter);
    return image;
}

void PaintedControl::setMousePointer(qint16 pointer)
{
    store(m_mousePointer, pointer, "MousePointer");
    applyPointer();
}

void PaintedControl::setMouseIcon(const StdPicture &icon)
{
    if (m_iconSetsPointer)
        m_mousePointer = 99;
    store(m_mouseIcon, icon, "MouseIcon");
    applyPointer();
}

void PaintedControl::focusEvent(QFocusEvent *event)
{
    m_hasFocus = event->gotFocus();
    focusChanged(event);
}

void PaintedControl::paintBack(QPainter &painter) const
{
    if (m_backStyle != 0)
        painter.fillRect(rect(), ControlColor(m_backColor));
}

void PaintedControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(painter);
}

bool PaintedControl::event(QEvent *event)
{
    const auto *help = event->type() == QEvent::ToolTip ? static_cast<QHelpEvent *>(event) : nullptr;
    const std::optional<QString> tip = help ? toolTipAt(help->pos()) : std::nullopt;
    if (!tip)
        return QWidget::event(event);
    if (tip->isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), *tip, this);
    return true;
}

void PaintedControl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        if (testAttribute(Qt::WA_SetFont))
            report("Font");
        fontChanged();
    } else if (event->type() == QEvent::EnabledChange) {
        // Only the control's own switch is its stored Enabled; a parent's greys it without a report.
        const bool own = !testAttribute(Qt::WA_ForceDisabled);
        if (own != m_ownEnabled) {
            m_ownEnabled = own;
            report("Enabled");
        }
        enabledChanged();
        QAccessible::State changed;
        changed.disabled = true;
        QAccessibleStateChangeEvent notice(this, changed);
        QAccessible::updateAccessibility(&notice);
    }
    QWidget::changeEvent(event);
}

void PaintedControl::raiseMouse(const QMouseEvent *event)
{
    raiseMouse(event, PixelsToTwips(event->position()));
}

void PaintedControl::raiseMouse(const QMouseEvent *event, const QPointF &twips)
{
    const qint16 shift = ShiftOf(event->modifiers());
    const auto x = float(twips.x()), y = float(twips.y());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        emit MouseDown(ButtonOf(event->button()), shift, x, y);
        break;
    case QEvent::MouseMove:
        emit MouseMove(ButtonOf(event->buttons()), shift, x, y);
        break;
    case QEvent::MouseButtonRelease:
        emit MouseUp(ButtonOf(event->button()), shift, x, y);
        break;
    case QEvent::MouseButtonDblClick:
        emit DblClick();
        break;
    default:
        break;
    }
}

qint16 PaintedControl::raiseKey(const QKeyEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        emit KeyUp(KeyCodeOf(event), ShiftOf(event->modifiers()));
        return 0;
    }
    emit KeyDown(KeyCodeOf(event), ShiftOf(event->modifiers()));
    qint16 keyAscii = KeyAsciiOf(event);
    if (keyAscii != 0)
        emit KeyPress(keyAscii);
    return keyAscii;
}

void PaintedControl::pressByKeyboard()
{
    if (!isEnabled())
        return;
    setFocus(Qt::ShortcutFocusReason);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(this, &press);
    QCoreApplication::sendEvent(this, &release);
}

void PaintedControl::captionChanged(const QString &caption)
{
    QAccessibleEvent notice(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&notice);
    const QKeySequence key = QKeySequence::mnemonic(caption);
    if (m_mnemonic ? m_mnemonic->key() == key : key.isEmpty())
        return;
    if (!m_mnemonic) {
        m_mnemonic = new QShortcut(this);
        connect(m_mnemonic, &QShortcut::activated, this, &PaintedControl::pressByKeyboard);
    }
    m_mnemonic->setKey(key);
}
