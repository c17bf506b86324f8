#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

// A model-based walk over the board's units: the model, its key input and frame tick, the
// editing commands and the dialog and clipboard answers of the scripted platform. Each step
// applies one event as the window would deliver it and then checks what must always hold:
// - the stores keep their size and the surface the client's;
// - DrawPhase is 0, 1 or 11, and after a tick 11 only with the selection tool;
// - the committed picture changes only where the event commits something, and then only as it
//   may (a stroke in the pen colour, an erased or cut area in the key colour);
// - a new undo picture is the committed picture the event started from;
// - two undos in a row leave the committed and the undo picture as they were;
// - the selection commands are enabled exactly when a selection is fixed and its frame shown.
// Events come from a source of integers, so the same walk is driven by a seeded generator (the
// soak) or by a fuzzer's bytes.
class BoardWalk {
public:
    // `next(bound)` returns an integer in [0, bound). `scratchDir` takes the files of the copy
    // and paste commands.
    BoardWalk(std::function<unsigned(unsigned)> next, const QString& scratchDir);
    ~BoardWalk();

    // What the walk leaves out and checks.
    struct Options {
        // Only the checks of sizes and phases; the pictures are not compared (fuzzing, where
        // the aim is crashes and the comparisons would cost most of the time).
        bool structureOnly = false;
        // Chooses no tool (by its button or by a command) while a shape is under way. The board
        // then carries the shape on under the new tool's rule, which the walk's picture checks
        // do not model.
        bool keepToolWhileShapeUnderWay = false;
    };
    void setOptions(const Options& options) { options_ = options; }

    // Applies one event. Returns false when an invariant is broken; failure() says which.
    bool step();
    const QString& failure() const { return failure_; }
    // The last event, for the log.
    const QString& lastEvent() const { return event_; }
    std::uint64_t steps() const { return steps_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    Options options_;
    QString failure_;
    QString event_;
    std::uint64_t steps_ = 0;
};
