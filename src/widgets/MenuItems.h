#pragma once

// Menus built from a table: each row an item's object name, built-in text, where the window
// keeps it, what it does, its shortcut and icon; a row with no text is a separator.

#include <QIcon>
#include <QKeySequence>
#include <QString>
#include <functional>
#include <initializer_list>

class QAction;
class QMenu;

namespace qm::widgets {

struct TMenuItem {
    const char* Name;
    QString Text = {};        // empty: a separator
    QAction** Keep = nullptr; // where the window keeps the action, if it does
    std::function<void()> Triggered = {};
    bool Checkable = false;
    QKeySequence Shortcut = {}; // works in the whole window, the menu closed too
    QIcon Icon = {};
};

// Adds the items to `menu` in their order. A shortcut is also given to the menu's parent
// widget (the window), which is where it is pressed.
void AddMenuItems(QMenu* menu, std::initializer_list<TMenuItem> items);

} // namespace qm::widgets
