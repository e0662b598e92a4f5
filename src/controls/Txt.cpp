#include "controls/Txt.h"

Txt::Txt(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &Txt::Change);
}
