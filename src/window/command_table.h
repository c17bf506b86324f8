#pragma once

#include <QString>
#include <vector>

class TForm1;
using Handler = void (TForm1::*)();

// Alt as a shortcut flag, added to a virtual-key code.
inline constexpr int kAlt = 0x8000;
inline constexpr int VK_F1 = 112;
inline constexpr int VK_F2 = 113;
inline constexpr int VK_COMMA = 188;

enum class Control { SpeedButton, Toggle };

// One control of the toolbar, in toolbar order. Buttons sit at 20-pixel steps from x = 4 within
// their group, 4 pixels from its top.
struct ToolbarEntry {
    const char* name;   // "SpeedButton15", "Panel20"
    const char* group;  // "tbSystem", ... "Panel24", "Pn_tatamu"
    QString hint;
    QString caption;  // toggles and the fold buttons
    int radioGroup;   // 0: none, 1: tools, 2: pen widths
    bool down;        // initial pressed state (radio buttons and toggles)
    bool enabled;     // initial enabled state
    Handler handler;
};

// One item of the pop-up menu, in menu order. Submenu headers have no handler; the items that
// follow belong to the most recent header until an item with an empty parent.
struct MenuEntry {
    const char* name;    // "File1", "E2"
    const char* parent;  // submenu name, or "" for the top level
    QString caption;
    int shortcut;    // virtual-key code plus kAlt, or 0
    int radioGroup;  // 0: none, 1: tools, 2: pen widths
    bool checkable;  // radio items and toggles
    bool checked;
    bool enabled;
    Handler handler;  // nullptr for a submenu header
};

struct GroupEntry {
    const char* name;
    int left;
    int width;
};

// Tool code with the button and the menu item that show it.
struct ToolEntry {
    int tool;
    const char* button;
    const char* item;
};

struct PenWidthEntry {
    int width;
    const char* button;
    const char* item;
};

const std::vector<GroupEntry>& toolbarGroups();
const std::vector<ToolbarEntry>& toolbarEntries();
const std::vector<MenuEntry>& menuEntries();
const std::vector<ToolEntry>& toolEntries();
const std::vector<PenWidthEntry>& penWidthEntries();

// The five selection commands, buttons first, in the order they are switched.
const std::vector<const char*>& selectionCommandControls();
