#include "platform/ui/MsgBox.h"

#include <QMessageBox>

namespace {

MsgBoxHandler &MsgBoxOverride()
{
    static MsgBoxHandler handler;
    return handler;
}

QMessageBox::Icon IconOf(int style)
{
    switch (style & 0x70) {
    case MsgBoxStyle::Critical:
        return QMessageBox::Critical;
    case MsgBoxStyle::Question:
        return QMessageBox::Question;
    case MsgBoxStyle::Exclamation:
        return QMessageBox::Warning;
    case MsgBoxStyle::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

void SetMsgBoxHandler(MsgBoxHandler handler)
{
    MsgBoxOverride() = std::move(handler);
}

int MsgBox(const QString &prompt, int style, const QString &title, QWidget *parent)
{
    if (MsgBoxOverride())
        return MsgBoxOverride()(prompt, style, title);
    const bool yesNo = (style & 0x0F) == MsgBoxStyle::YesNo;
    QMessageBox box(IconOf(style), title, prompt, yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                    parent);
    const int answer = box.exec();
    if (answer == QMessageBox::Yes)
        return MsgBoxResult::Yes;
    if (answer == QMessageBox::No)
        return MsgBoxResult::No;
    return MsgBoxResult::Ok;
}
