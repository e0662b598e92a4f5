#pragma once

#include <QString>
#include <functional>

class QWidget;

// Message boxes in the program's one style: buttons and icon chosen by the classic style number.
namespace MsgBoxStyle {
constexpr int OkOnly = 0;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
} // namespace MsgBoxStyle

namespace MsgBoxResult {
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgBoxResult

// Shows a modal box and returns the button pressed.
int MsgBox(const QString &prompt, int style, const QString &title, QWidget *parent = nullptr);

// Tests answer boxes instead of showing them; an empty handler restores the real boxes.
using MsgBoxHandler = std::function<int(const QString &prompt, int style, const QString &title)>;
void SetMsgBoxHandler(MsgBoxHandler handler);
