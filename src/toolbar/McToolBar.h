#pragma once

#include <QStringList>
#include <QWidget>

// Stand-in toolbar with the members the window uses; the painted toolbar replaces it.
class McToolBar : public QWidget {
    Q_OBJECT
public:
    explicit McToolBar(QWidget *parent = nullptr);
    int Button_Count() const { return static_cast<int>(m_captions.size()); }
    void setButton_Count(int count);
    int Button_Index() const { return m_index; }
    void setButton_Index(int index) { m_index = index; }
    QString ButtonCaption() const;
    void setButtonCaption(const QString &caption);
    int GetButtonLeft(int index) const;
signals:
    void Click(int index);
protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
private:
    int buttonWidth() const;
    QStringList m_captions;
    int m_index = -1;
};
