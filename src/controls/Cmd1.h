#pragma once

#include <QPushButton>

// Stand-in command button with the members the window uses; the painted control replaces it.
class Cmd1 : public QPushButton {
    Q_OBJECT
public:
    explicit Cmd1(QWidget *parent = nullptr);
    QString Caption() const { return text(); }
    void setCaption(const QString &caption) { setText(caption); }
    QString ToolTipText() const { return toolTip(); }
    void setToolTipText(const QString &tip) { setToolTip(tip); }
signals:
    void Click();
};
