#include "toolbar/McToolBar.h"

#include <QAccessibleWidget>
#include <QPointer>

namespace {

class ButtonItem : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ButtonItem(McToolBar *bar, int index) : m_bar(bar), m_index(index) {}

    bool isValid() const override { return m_bar && m_index < m_bar->Button_Count(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_bar ? m_bar->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_bar.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    void setText(QAccessible::Text, const QString &) override {}

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return QString();
        const auto &b = m_bar->Buttons().at(static_cast<size_t>(m_index));
        if (t == QAccessible::Name)
            return ShownCaption(b.caption).simplified();
        if (t == QAccessible::Description)
            return b.toolTip;
        if (t == QAccessible::Accelerator && !m_bar->ShortcutLetter(m_index).isNull())
            return QStringLiteral("Alt+") + m_bar->ShortcutLetter(m_index);
        return QString();
    }

    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const auto &b = m_bar->Buttons().at(static_cast<size_t>(m_index));
        return QRect(m_bar->mapToGlobal(QPoint(b.left, b.top)), QSize(b.width, b.height));
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid())
            return s;
        const auto &b = m_bar->Buttons().at(static_cast<size_t>(m_index));
        s.disabled = !b.enabled || !m_bar->isEnabled() || !m_bar->Enabled();
        s.focusable = true;
        s.hasPopup = true;
        s.focused = m_bar->hasFocus() && m_bar->Button_Index() == m_index;
        s.hotTracked = m_bar->Button_Index() == m_index;
        s.pressed = b.pressed;
        s.invisible = !m_bar->isVisible();
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    QStringList keyBindingsForAction(const QString &) const override { return {text(QAccessible::Accelerator)}; }
    void doAction(const QString &) override
    {
        if (isValid())
            m_bar->OpenButton(m_index);
    }

private:
    QPointer<McToolBar> m_bar;
    int m_index;
};

class BarInterface : public QAccessibleWidget {
public:
    explicit BarInterface(McToolBar *bar) : QAccessibleWidget(bar, QAccessible::MenuBar) {}
    McToolBar *bar() const { return static_cast<McToolBar *>(widget()); }

    int childCount() const override { return bar()->Button_Count(); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        // Items are registered once per button so that the same index keeps the same id.
        while (m_items.size() <= index)
            m_items << QAccessible::uniqueId(new ButtonItem(bar(), int(m_items.size())));
        return QAccessible::accessibleInterface(m_items.at(index));
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < m_items.size(); ++i)
            if (QAccessible::accessibleInterface(m_items.at(i)) == child)
                return i;
        return -1;
    }
    QAccessibleInterface *focusChild() const override
    {
        return bar()->hasFocus() && bar()->Button_Index() >= 0 ? child(bar()->Button_Index()) : nullptr;
    }
    ~BarInterface() override
    {
        for (const QAccessible::Id id : std::as_const(m_items))
            QAccessible::deleteAccessibleInterface(id);
    }

private:
    mutable QList<QAccessible::Id> m_items;
};

QAccessibleInterface *Factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("McToolBar") && object && object->isWidgetType())
        return new BarInterface(static_cast<McToolBar *>(object));
    return nullptr;
}

} // namespace

void InstallToolBarAccessibility()
{
    static const bool installed = (QAccessible::installFactory(Factory), true);
    Q_UNUSED(installed);
}

void AnnounceToolBarFocus(McToolBar *bar, int index)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(bar);
    if (QAccessibleInterface *item = iface ? iface->child(index) : nullptr) {
        QAccessibleEvent event(item, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}
