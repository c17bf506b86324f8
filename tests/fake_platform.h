#pragma once

#include <QStringList>
#include <optional>

#include "main/board_model.h"
#include "platform/platform.h"

// A platform whose answers are scripted and whose requests are recorded.
class FakePlatform : public Platform {
public:
    QPoint cursor{0, 0};
    QStringList errors;

    QPoint cursorPos() override { return cursor; }
    void showError(const QString& message) override { errors << message; }

    // The colour chooser's answer: a colour, or cancel when empty.
    std::optional<TColor> colourAnswer;
    int colourDialogs = 0;
    TColor colourDialogInitial = 0;
    bool chooseColour(TColor initial, TColor& chosen) override {
        ++colourDialogs;
        colourDialogInitial = initial;
        if (!colourAnswer) return false;
        chosen = *colourAnswer;
        return true;
    }
};

// Window hooks that record what the board asked of its window.
class FakeHooks : public BoardHooks {
public:
    bool selectionEnabled = false;
    int selectionSwitches = 0;
    int paletteChanges = 0;
    QPoint windowPos{0, 0};
    unsigned nextRandom = 0x123456;

    void setSelectionCommandsEnabled(bool on) override {
        selectionEnabled = on;
        ++selectionSwitches;
    }
    void paletteChanged() override { ++paletteChanges; }
    void moveWindow(int left, int top) override { windowPos = {left, top}; }
    unsigned randomBelow(unsigned bound) override { return nextRandom % bound; }
};

// A model with its stores initialised and a client area of the given size.
struct TestBoard {
    FakeHooks hooks;
    BoardModel model{hooks};
    explicit TestBoard(QSize client = {200, 150}) {
        model.initialiseStores();
        model.FormResize(client);
    }
    Canvas& surface() { return model.stores.surface(); }
};
