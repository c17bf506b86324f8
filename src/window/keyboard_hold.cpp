#include "window/keyboard_hold.h"

#include "picture/draw_state.h"

bool keyboardWanted(const DrawState& state, bool shiftHeld, bool ctrlHeld, bool windowTakesKeys) {
    if (!windowTakesKeys) return false;
    return (shiftHeld && state.FreehandActive) || (ctrlHeld && state.EraserActive);
}

bool KeyboardHold::keep(bool wanted) {
    if (!wanted) {
        waiting_ = false;
        return letGo();
    }
    if (!held_ && !waiting_) {
        held_ = grab_(true);
        waiting_ = !held_;
    }
    return false;
}

bool KeyboardHold::yield() {
    if (!held_) return false;
    waiting_ = true;
    return letGo();
}

bool KeyboardHold::letGo() {
    if (!held_) return false;
    held_ = false;
    grab_(false);
    return true;
}
