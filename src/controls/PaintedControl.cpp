#include "controls/PaintedControl.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QEvent>
#include <QPainter>

namespace {

class ControlInterface : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ControlInterface(PaintedControl *control) : QAccessibleWidget(control, control->accessibleRole()) {}
    const PaintedControl *control() const { return static_cast<const PaintedControl *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        return t == QAccessible::Name && own.isEmpty() ? control()->accessibleCaption().simplified() : own;
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
        auto *w = const_cast<PaintedControl *>(control());
        w->setFocus(Qt::OtherFocusReason);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QCoreApplication::sendEvent(w, &press);
        QCoreApplication::sendEvent(w, &release);
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

void PaintedControl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
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

void PaintedControl::announceName()
{
    QAccessibleEvent notice(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&notice);
}

void PaintedControl::announceChecked()
{
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent notice(this, changed);
    QAccessible::updateAccessibility(&notice);
}

void PaintedControl::announceValue()
{
    if (const auto value = accessibleValue()) {
        QAccessibleValueChangeEvent notice(this, *value);
        QAccessible::updateAccessibility(&notice);
    }
}
