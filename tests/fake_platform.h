#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "picture/board_model.h"
#include "platform/platform.h"

// A platform whose answers are scripted and whose requests are recorded.
class FakePlatform : public Platform {
public:
    QPoint cursor{0, 0};
    QStringList errors;
    QStringList confirmations;

    // The clipboard: its picture, or none (no bitmap); unavailable when `clipboardOpens` is off.
    std::optional<QImage> clipboard;
    bool clipboardOpens = true;
    // Runs inside each clipboard read, as the board's own events do while a slow owner sends.
    std::function<void()> whileReadingClipboard;

    // Answers for the dialogs and boxes, used front first. A dialog answer is the file name
    // the user picks, or nullopt for Cancel; an unscripted dialog or box is cancelled.
    std::deque<std::optional<QString>> openAnswers, saveAnswers;
    std::deque<bool> confirmAnswers;
    // Runs while a dialog is open, as the frame timer would: lets a test look at the state.
    std::function<void()> whileDialogOpen;

    // Every request in order: "error", "confirm", "clipboard-read", "clipboard-write",
    // "open-dialog <start name>", "save-dialog <start name>".
    QStringList calls;

    int cursorReads = 0;
    QPoint cursorPos() override {
        ++cursorReads;
        return cursor;
    }

    // The keyboard grab: whether a take succeeds, whether it is held now, and how often it was
    // asked for.
    bool grabAnswer = true;
    bool keyboardGrabbed = false;
    int grabRequests = 0;
    bool grabKeyboard(QWindow&, bool take) override {
        if (!take) {
            keyboardGrabbed = false;
            return true;
        }
        ++grabRequests;
        if (grabAnswer) keyboardGrabbed = true;
        return grabAnswer;
    }

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
    void showError(const QString& message) override {
        calls << QStringLiteral("error");
        errors << message;
    }
    bool confirm(const QString& message) override {
        calls << QStringLiteral("confirm");
        confirmations << message;
        return take(confirmAnswers).value_or(false);
    }
    ClipboardStatus readClipboardImage(QImage& image) override {
        calls << QStringLiteral("clipboard-read");
        if (whileReadingClipboard) whileReadingClipboard();
        if (!clipboardOpens) return ClipboardStatus::CannotOpen;
        if (!clipboard) return ClipboardStatus::NoBitmap;
        image = *clipboard;
        return ClipboardStatus::Ok;
    }
    ClipboardStatus writeClipboardImage(const QImage& image) override {
        calls << QStringLiteral("clipboard-write");
        if (!clipboardOpens) return ClipboardStatus::CannotOpen;
        clipboard = image.copy();
        return ClipboardStatus::Ok;
    }
    bool runOpenDialog(PictureDialogState& d) override { return answer(d, "open", openAnswers); }
    bool runSaveDialog(PictureDialogState& d) override { return answer(d, "save", saveAnswers); }

    // The help window: recorded as "help <page>#<topic>"; false when `helpOpens` is off.
    bool helpOpens = true;
    bool showHelp(const QString& page, int topic) override {
        calls << QStringLiteral("help %1#%2").arg(page).arg(topic);
        return helpOpens;
    }

    // Processes asked for: the program, its arguments and the working folder, one list each.
    QList<QStringList> processes;
    bool processStarts = true;
    // Runs when a process is asked for, before the answer: lets a test look at the files then.
    std::function<void()> whileStarting;
    bool startProcess(const QString& program, const QStringList& arguments,
                      const QString& workingDirectory) override {
        calls << QStringLiteral("start-process");
        processes << (QStringList{program} + arguments + QStringList{workingDirectory});
        if (whileStarting) whileStarting();
        return processStarts;
    }

    // The font chooser's answers, used front first; nullopt or none left: cancel. Records the
    // choice it was opened on.
    std::deque<std::optional<FontChoice>> fontAnswers;
    QList<FontChoice> fontDialogsOpenedOn;
    bool chooseFont(FontChoice& choice) override {
        calls << QStringLiteral("font-dialog");
        fontDialogsOpenedOn << choice;
        const std::optional<FontChoice> chosen = take(fontAnswers).value_or(std::nullopt);
        if (!chosen) return false;
        choice = *chosen;
        return true;
    }

private:
    template <typename T>
    static std::optional<T> take(std::deque<T>& answers) {
        if (answers.empty()) return std::nullopt;
        T next = std::move(answers.front());
        answers.pop_front();
        return next;
    }
    bool answer(PictureDialogState& d, const char* kind,
                std::deque<std::optional<QString>>& answers) {
        calls << QStringLiteral("%1-dialog %2").arg(QLatin1String(kind), d.fileName);
        if (whileDialogOpen) whileDialogOpen();
        const std::optional<QString> chosen = take(answers).value_or(std::nullopt);
        if (!chosen) return false;
        d.fileName = *chosen;
        return true;
    }
};

// Window hooks that record what the board asked of its window.
class FakeHooks : public BoardHooks {
public:
    bool selectionEnabled = false;
    int selectionSwitches = 0;
    int paletteChanges = 0;
    QList<int> toolChanges;
    QPoint windowPos{0, 0};
    unsigned nextRandom = 0x123456;

    void setSelectionCommandsEnabled(bool on) override {
        selectionEnabled = on;
        ++selectionSwitches;
    }
    void paletteChanged() override { ++paletteChanges; }
    void toolChanged(int tool) override { toolChanges << tool; }
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
