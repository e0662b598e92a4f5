#pragma once

#include <QLineEdit>

// Stand-in text box with the members the window uses; the painted control replaces it.
class Txt : public QLineEdit {
    Q_OBJECT
public:
    explicit Txt(QWidget *parent = nullptr);
    QString Text() const { return text(); }
    void setMaxLength(int length) { QLineEdit::setMaxLength(length); }
signals:
    void Change();
};
