#pragma once

#include <QCheckBox>

// Stand-in check box with the members the window uses; the painted control replaces it.
class Chk1 : public QCheckBox {
    Q_OBJECT
public:
    explicit Chk1(QWidget *parent = nullptr);
    QString Caption() const { return text(); }
    void setCaption(const QString &caption) { setText(caption); }
    bool Checked() const { return isChecked(); }
signals:
    void Click();
};
