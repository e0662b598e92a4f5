#pragma once

class McToolBar;

// Lets screen readers see the toolbar as a menu bar whose buttons are menu items that open their menu.
void InstallToolBarAccessibility();
// Tells a screen reader that the keyboard mark moved to another button.
void AnnounceToolBarFocus(McToolBar *bar, int index);
