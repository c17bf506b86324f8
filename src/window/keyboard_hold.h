#pragma once

#include <functional>

struct DrawState;

// Whether the board keeps the whole keyboard to itself: while a held key drives something its
// release ends (Shift a freehand stroke, Ctrl the eraser), and only while the window can take
// keys at all (`windowTakesKeys`: shown, not minimised, enabled, no menu or dialog of the
// program open).
//
// A window manager whose focus follows the mouse gives the keyboard to whatever window the
// pointer enters, and the release of the held key would go there: the stroke would end where
// the pointer left the board. Held, the keyboard stays with the board until the release.
//
// Nothing else keeps it: a shape under way waits for a second press that may be long in coming,
// and a click into another window in the meantime must still let the user type there.
bool keyboardWanted(const DrawState& state, bool shiftHeld, bool ctrlHeld, bool windowTakesKeys);

// Takes and lets go of the keyboard as the board wants it, through `grab` (take or let go; false
// when the window system refused to give it).
//
// A refusal changes nothing else, and the keyboard is not asked for again until the want has
// ended: the next stroke asks afresh. Neither is it after the board gave it up for another of
// the program's windows (`yield`).
class KeyboardHold {
public:
    using Grab = std::function<bool(bool take)>;

    explicit KeyboardHold(Grab grab) : grab_(std::move(grab)) {}
    KeyboardHold(const KeyboardHold&) = delete;
    KeyboardHold& operator=(const KeyboardHold&) = delete;
    ~KeyboardHold() { letGo(); }

    // Brings the hold in line with `wanted`. True when this call let go of a held keyboard.
    bool keep(bool wanted);
    // Lets go now and stays let go until the want has ended. True when it was held.
    bool yield();
    bool held() const { return held_; }

private:
    bool letGo();

    Grab grab_;
    bool held_ = false;
    bool waiting_ = false;  // refused or yielded: not asked again until the want ends
};
