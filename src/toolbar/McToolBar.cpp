#include "toolbar/McToolBar.h"

#include <QMouseEvent>
#include <QPainter>

McToolBar::McToolBar(QWidget *parent) : QWidget(parent) {}

void McToolBar::setButton_Count(int count)
{
    m_captions.resize(std::max(0, count));
    update();
}

QString McToolBar::ButtonCaption() const
{
    return m_index >= 0 && m_index < m_captions.size() ? m_captions[m_index] : QString();
}

void McToolBar::setButtonCaption(const QString &caption)
{
    if (m_index >= 0 && m_index < m_captions.size())
        m_captions[m_index] = caption;
    update();
}

int McToolBar::buttonWidth() const
{
    return 60;
}

int McToolBar::GetButtonLeft(int index) const
{
    return index * buttonWidth();
}

void McToolBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    for (int i = 0; i < m_captions.size(); ++i)
        p.drawText(QRect(GetButtonLeft(i), 0, buttonWidth(), height()), Qt::AlignCenter, m_captions[i]);
}

void McToolBar::mousePressEvent(QMouseEvent *event)
{
    const int index = static_cast<int>(event->position().x()) / buttonWidth();
    emit Click(index < m_captions.size() ? index : -1);
}
