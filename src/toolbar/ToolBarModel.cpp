#include "toolbar/ToolBarModel.h"

#include <algorithm>
#include <utility>

ButtonRecord ToolBarModel::NewButton(int index)
{
    ButtonRecord button;
    button.caption = QStringLiteral("Button ") + QString::number(index);
    return button;
}

bool ToolBarModel::SetButtonCount(int newCount)
{
    if (newCount < 1 || newCount == count())
        return false;
    const int old = count();
    Buttons.resize(static_cast<size_t>(newCount));
    for (int i = old; i < newCount; ++i)
        Buttons[static_cast<size_t>(i)] = NewButton(i);
    return true;
}

bool ToolBarModel::SetButtonIndex(int index)
{
    index = std::clamp(index, -1, count() - 1);
    if (index == Button_Index)
        return false;
    Button_Index = index;
    return true;
}

bool ToolBarModel::RemoveButton()
{
    if (count() <= 1 || !valid(Button_Index))
        return false;
    Buttons.erase(Buttons.begin() + Button_Index);
    if (Button_Index >= count())
        Button_Index = count() - 1;
    return true;
}

bool ToolBarModel::MoveButtonTo(int target)
{
    if (!valid(Button_Index) || count() < 1)
        return false;
    target = std::clamp(target, 0, count() - 1);
    std::swap(Buttons[static_cast<size_t>(Button_Index)], Buttons[static_cast<size_t>(target)]);
    Button_Index = target;
    return true;
}

bool ToolBarModel::SetPressed(int index, bool pressed)
{
    if (!valid(index))
        return false;
    Buttons[static_cast<size_t>(index)].pressed = pressed;
    return true;
}
