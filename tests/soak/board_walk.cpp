#include "board_walk.h"

#include <QDir>
#include <QFile>
#include <array>

#include "fake_platform.h"
#include "picture/edit_commands.h"
#include "platform/bitmap_file.h"

namespace {

constexpr int kMaxClientWidth = 320;
constexpr int kMaxClientHeight = 240;
constexpr int kMargin = 24;  // the cursor also leaves the client area by this much

// clang-format off
enum Event : unsigned {
    Tick, ShiftDown, ShiftUp, CtrlDown, CtrlUp, Tool, PenWidth, Colour, Undo, DoubleUndo,
    Paste, PasteFile, SelectionCommand, Activate, Resize, OtherClipboard, Option, EventCount
};
// How often each event comes, in the order above.
constexpr std::array<unsigned, EventCount> kWeights{
    30,   10,        6,       5,        4,      6,    2,        3,      3,    1,
    1,     1,         5,                1,        1,      1,              1};
// clang-format on

constexpr std::array<int, 11> kTools{
    ToolFreehand,   ToolLine, ToolPolyline,   ToolRectCentre, ToolRectCorners, ToolEllipseCentre,
    ToolEllipseBox, ToolFill, ToolEyedropper, ToolSelection,  ToolStamp};
constexpr std::array<int, 7> kPenWidths{1, 4, 6, 8, 12, 16, 32};

bool isShapeTool(int tool) {
    return tool >= ToolLine && tool <= ToolFill;
}

// How the committed picture may change in one event.
enum class Commit {
    None,       // not at all
    Any,        // a shape or stamp is committed as previewed
    Colours,    // only to the colours in `allowed` (strokes and erasing)
    KeyInRect,  // only to the key colour inside the selection (a cut)
    FromUndo,   // it becomes the undo picture (an undo)
};

}  // namespace

struct BoardWalk::Impl {
    std::function<unsigned(unsigned)> next;
    QString dir;
    FakePlatform platform;
    FakeHooks hooks;
    BoardModel model{hooks};
    PictureDialogState openDialog, saveDialog;
    EditCommands edit{model, platform, openDialog, saveDialog};
    QSize client{200, 150};
    QPoint cursor{10, 10};
    bool shiftHeld = false;
    bool ctrlHeld = false;
    bool tickedSinceKey = true;

    Impl(std::function<unsigned(unsigned)> n, const QString& d) : next(std::move(n)), dir(d) {
        model.initialiseStores();
        model.FormResize(client);
        QFile broken(dir + QStringLiteral("/broken.bmp"));
        if (broken.open(QIODevice::WriteOnly)) broken.write("BM\x36\x00\x00\x00\x00\x00", 8);
    }

    int between(int low, int high) { return low + int(next(unsigned(high - low + 1))); }
    QPoint randomCursor() {
        return {between(-kMargin, client.width() + kMargin),
                between(-kMargin, client.height() + kMargin)};
    }
    QRect stored() const {
        return model.stores.boardRect().intersected(
            QRect(0, 0, ImageStores::kStoreWidth, ImageStores::kStoreHeight));
    }
    QImage randomPicture() {
        static constexpr std::array<QImage::Format, 6> formats{
            QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_Indexed8,
            QImage::Format_Mono,  QImage::Format_RGB888, QImage::Format_Grayscale8};
        QImage picture(between(1, 48), between(1, 48), formats[next(formats.size())]);
        if (picture.format() == QImage::Format_Indexed8 || picture.format() == QImage::Format_Mono)
            picture.setColorTable({qRgb(255, 255, 204), qRgba(10, 200, 30, 128)});
        picture.fill(0);
        for (int i = 0; i < 8; ++i)
            picture.setPixel(int(next(unsigned(picture.width()))),
                             int(next(unsigned(picture.height()))),
                             picture.colorCount() ? next(2) : next(0x1000000u) | 0xff000000u);
        return picture;
    }
};

BoardWalk::BoardWalk(std::function<unsigned(unsigned)> next, const QString& scratchDir)
    : impl_(std::make_unique<Impl>(std::move(next), scratchDir)) {}

BoardWalk::~BoardWalk() = default;

namespace {

unsigned pickEvent(const std::function<unsigned(unsigned)>& next) {
    unsigned total = 0;
    for (unsigned w : kWeights)
        total += w;
    unsigned r = next(total);
    for (unsigned e = 0; e < EventCount; ++e) {
        if (r < kWeights[e]) return e;
        r -= kWeights[e];
    }
    return Tick;
}

// The pixels of the outline of r that lie in `area`.
template <typename Visit>
void forOutline(const QRect& r, const QRect& area, Visit visit) {
    if (r.width() < 2 || r.height() < 2) return;
    for (int x = r.left(); x <= r.right(); ++x) {
        for (int y : {r.top(), r.bottom()})
            if (area.contains(x, y)) visit(x, y);
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        for (int x : {r.left(), r.right()})
            if (area.contains(x, y)) visit(x, y);
    }
}

}  // namespace

bool BoardWalk::step() {
    Impl& w = *impl_;
    BoardModel& m = w.model;
    DrawState& s = m.state;
    ++steps_;

    const QRect board = w.stored();
    const bool pictures = !options_.structureOnly;
    const QImage bufferBefore = pictures ? m.stores.buffer().image().copy(board) : QImage();
    const QImage undoBefore = pictures ? m.stores.undo().image().copy(board) : QImage();
    const int phaseBefore = s.DrawPhase;
    const int toolBefore = s.DrawTool;
    const bool freehandBefore = s.FreehandActive;
    const bool eraserBefore = s.EraserActive;
    const TColor penBefore = m.penColor();
    const QRect selectionBefore = s.SelectionRect;

    Commit commit = Commit::None;
    std::vector<TColor> allowed;
    bool boardMayChange = false;
    unsigned event = pickEvent(w.next);
    // A key press follows a click or another press only after a tick: two presses need a
    // release in between, and a hand takes longer than a tick from the mouse to the keys.
    if ((event == ShiftDown || event == CtrlDown) && !w.tickedSinceKey) event = Tick;
    if (options_.keepToolWhileShapeUnderWay) {
        const bool choosesTool =
            event == Tool || event == Paste || event == PasteFile || event == SelectionCommand;
        if (choosesTool && phaseBefore == PhaseActive) event = Tick;
    }
    // The selection commands are pressed only while enabled.
    if (event == SelectionCommand && !w.hooks.selectionEnabled) event = Tick;

    switch (event) {
        case Tick:
            w.cursor = w.randomCursor();
            event_ = QStringLiteral("tick %1,%2").arg(w.cursor.x()).arg(w.cursor.y());
            if (eraserBefore) allowed.push_back(TransparentKey);
            if (freehandBefore && phaseBefore != PhaseActive) allowed.push_back(penBefore);
            if (phaseBefore == PhaseActive && toolBefore == ToolFill && m.options.FillAtOnce)
                allowed.push_back(penBefore);
            commit = Commit::Colours;
            m.tick(w.cursor, w.cursor);
            w.tickedSinceKey = true;
            break;
        case ShiftDown:
            event_ = QStringLiteral("shift down%1").arg(w.shiftHeld ? " (repeat)" : "");
            if (phaseBefore == PhaseActive && (isShapeTool(toolBefore) || toolBefore == ToolStamp))
                commit = Commit::Any;
            w.shiftHeld = true;
            w.tickedSinceKey = false;
            m.keyDown(VK_SHIFT, w.cursor);
            break;
        case ShiftUp:
            w.tickedSinceKey = false;
            event_ = QStringLiteral("shift up");
            if (w.shiftHeld) m.keyUp(VK_SHIFT);
            w.shiftHeld = false;
            break;
        case CtrlDown:
            event_ = QStringLiteral("ctrl down%1").arg(w.ctrlHeld ? " (repeat)" : "");
            w.ctrlHeld = true;
            w.tickedSinceKey = false;
            m.keyDown(VK_CONTROL, w.cursor);
            break;
        case CtrlUp:
            event_ = QStringLiteral("ctrl up");
            if (w.ctrlHeld) m.keyUp(VK_CONTROL);
            w.ctrlHeld = false;
            break;
        case Tool: {
            const int tool = kTools[w.next(kTools.size())];
            event_ = QStringLiteral("tool %1").arg(tool);
            // The stamp button starts its preview at once.
            if (tool == ToolStamp) s.DrawPhase = PhaseActive;
            m.selectTool(tool);
            break;
        }
        case PenWidth: {
            const int width = kPenWidths[w.next(kPenWidths.size())];
            event_ = QStringLiteral("pen width %1").arg(width);
            m.setPenWidth(width);
            break;
        }
        case Colour: {
            const int swatch = int(w.next(Palette::kCount));
            event_ = QStringLiteral("swatch %1").arg(swatch);
            if (swatch == Palette::kEraser)
                m.setPenColor(m.palette.selectEraser());
            else if (swatch == Palette::kFreeColour)
                m.setPenColor(m.palette.selectFreeColour(w.next(0x1000000u)));
            else
                m.setPenColor(m.palette.selectColour(swatch));
            break;
        }
        case Undo:
            event_ = QStringLiteral("undo");
            commit = Commit::FromUndo;
            w.edit.undoRedo();
            break;
        case DoubleUndo:
            event_ = QStringLiteral("undo twice");
            w.edit.undoRedo();
            w.edit.undoRedo();
            if (pictures && (!(m.stores.buffer().image().copy(board) == bufferBefore) ||
                             !(m.stores.undo().image().copy(board) == undoBefore)))
                failure_ = QStringLiteral("two undos changed the committed or the undo picture");
            break;
        case Paste:
            event_ = QStringLiteral("paste from the clipboard");
            w.edit.pasteFromClipboard();
            break;
        case PasteFile: {
            static const std::array<const char*, 4> names{"copy.bmp", "broken.bmp", "missing.bmp",
                                                          nullptr};
            const char* name = names[w.next(names.size())];
            event_ = QStringLiteral("paste from file %1").arg(name ? name : "(cancel)");
            if (name)
                w.platform.openAnswers.push_back(w.dir + QLatin1Char('/') + QLatin1String(name));
            else
                w.platform.openAnswers.push_back(std::nullopt);
            w.edit.pasteFromChosenFile();
            break;
        }
        case SelectionCommand: {
            const unsigned which = w.next(5);
            static const std::array<const char*, 5> names{"cut", "copy", "copy to file", "move",
                                                          "copy as stamp"};
            event_ = QString::fromLatin1(names[which]);
            if (which == 0 || which == 3) commit = Commit::KeyInRect;
            if (which == 0) w.edit.cutToClipboard();
            if (which == 1) w.edit.copyToClipboard();
            if (which == 2) {
                const unsigned answer = w.next(3);
                if (answer == 0) w.platform.saveAnswers.push_back(w.dir + "/copy.bmp");
                if (answer == 1) w.platform.saveAnswers.push_back(w.dir + "/none/copy.bmp");
                if (answer == 2) w.platform.saveAnswers.push_back(std::nullopt);
                w.edit.copyToFile();
            }
            if (which == 3) w.edit.moveSelection();
            if (which == 4) w.edit.copySelectionAsStamp();
            break;
        }
        case Activate:
            event_ = QStringLiteral("activate");
            s.RepaintPending = true;
            break;
        case Resize:
            w.client = QSize(w.between(40, kMaxClientWidth), w.between(30, kMaxClientHeight));
            event_ = QStringLiteral("resize %1x%2").arg(w.client.width()).arg(w.client.height());
            boardMayChange = true;
            m.FormResize(w.client);
            break;
        case OtherClipboard: {
            const unsigned kind = w.next(3);
            event_ = QStringLiteral("clipboard %1")
                         .arg(kind == 0   ? "empty"
                              : kind == 1 ? "unavailable"
                                          : "picture");
            w.platform.clipboardOpens = kind != 1;
            w.platform.clipboard.reset();
            if (kind == 2) w.platform.clipboard = w.randomPicture();
            break;
        }
        case Option:
            event_ = QStringLiteral("option toggled");
            if (w.next(2))
                m.options.StampContinuous = !m.options.StampContinuous;
            else
                m.options.FillAtOnce = !m.options.FillAtOnce;
            break;
        default:
            break;
    }
    if (event != Tick && event != OtherClipboard && event != Option) w.tickedSinceKey = false;
    event_ += QStringLiteral("  -> tool %1 phase %2%3%4%5")
                  .arg(s.DrawTool)
                  .arg(s.DrawPhase)
                  .arg(s.FreehandActive ? " stroke" : "")
                  .arg(s.EraserActive ? " eraser" : "")
                  .arg(w.hooks.selectionEnabled ? " selection-commands" : "");
    if (!failure_.isEmpty()) return false;

    // Sizes.
    if (m.stores.buffer().image().size() !=
            QSize(ImageStores::kStoreWidth, ImageStores::kStoreHeight) ||
        m.stores.undo().image().size() !=
            QSize(ImageStores::kStoreWidth, ImageStores::kStoreHeight) ||
        m.surface().image().size() != w.client) {
        failure_ = QStringLiteral("a store or the surface changed its size");
        return false;
    }
    // Drawing phase.
    if (s.DrawPhase != PhaseIdle && s.DrawPhase != PhaseActive && s.DrawPhase != PhaseSelected) {
        failure_ = QStringLiteral("DrawPhase is %1").arg(s.DrawPhase);
        return false;
    }
    if (event == Tick && s.DrawPhase == PhaseSelected && s.DrawTool != ToolSelection) {
        failure_ = QStringLiteral("DrawPhase 11 after a tick with tool %1").arg(s.DrawTool);
        return false;
    }

    if (!boardMayChange && !options_.structureOnly) {
        const QImage buffer = m.stores.buffer().image().copy(board);
        const QImage undo = m.stores.undo().image().copy(board);
        // The committed picture.
        if (commit == Commit::FromUndo) {
            if (!(buffer == undoBefore)) {
                failure_ = QStringLiteral("an undo did not restore the undo picture");
                return false;
            }
        } else if (commit != Commit::Any && !(buffer == bufferBefore)) {
            for (int y = 0; y < buffer.height() && failure_.isEmpty(); ++y) {
                const auto* now = reinterpret_cast<const QRgb*>(buffer.constScanLine(y));
                const auto* was = reinterpret_cast<const QRgb*>(bufferBefore.constScanLine(y));
                for (int x = 0; x < buffer.width(); ++x) {
                    if (now[x] == was[x]) continue;
                    const TColor c = fromQRgb(now[x]);
                    const QPoint at(x + board.left(), y + board.top());
                    bool ok = false;
                    if (commit == Commit::Colours)
                        ok = std::find(allowed.begin(), allowed.end(), c) != allowed.end();
                    if (commit == Commit::KeyInRect)
                        ok = c == TransparentKey && selectionBefore.contains(at);
                    if (!ok) {
                        failure_ = QStringLiteral(
                                       "pixel %1,%2 of the committed picture became "
                                       "%3 (tool %4, phase %5)")
                                       .arg(at.x())
                                       .arg(at.y())
                                       .arg(c, 6, 16, QLatin1Char('0'))
                                       .arg(toolBefore)
                                       .arg(phaseBefore);
                        break;
                    }
                }
            }
            if (!failure_.isEmpty()) return false;
        }
        // A new undo picture is the committed picture the event started from.
        if (!(undo == undoBefore) && !(undo == bufferBefore)) {
            failure_ = QStringLiteral("the undo picture took something never committed");
            return false;
        }
    }

    // Selection commands: enabled exactly when the selection is fixed and its frame shown. A
    // click on another tool drops a fixed selection at the next tick, so this holds from tick
    // to tick.
    if (event != Tick || options_.structureOnly) return true;
    const bool enabled = w.hooks.selectionEnabled;
    if (enabled != m.selectionCommandsEnabled()) {
        failure_ = QStringLiteral("the window's selection commands disagree with the model");
        return false;
    }
    if (enabled && !s.selectionFixed()) {
        failure_ = QStringLiteral("selection commands enabled without a fixed selection");
        return false;
    }
    if (s.selectionFixed() && !s.EraserActive) {
        const Canvas& surface = m.surface();
        const Canvas& buffer = m.stores.buffer();
        bool tested = false, shown = false;
        forOutline(s.SelectionRect, w.stored(), [&](int x, int y) {
            tested = true;
            shown = shown || surface.pixel(x, y) != buffer.pixel(x, y);
        });
        if (tested && shown != enabled) {
            failure_ = enabled ? QStringLiteral("selection commands enabled, frame not shown")
                               : QStringLiteral("selection frame shown, commands disabled");
            return false;
        }
    }
    return true;
}
