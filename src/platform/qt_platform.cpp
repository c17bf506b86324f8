#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QCursor>
#include <QDir>
#include <QEventLoop>
#include <QImageReader>
#include <QMessageBox>
#include <QMimeData>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>

#include "platform/clipboard_picture.h"
#include "platform/modal_owner.h"
#include "platform/platform.h"
#include "platform/x11_info.h"
#include "platform/x11_selection.h"

namespace {
// The title of the board's message boxes. It is not Qt's application display name, which the
// xcb platform would append to every window's caption, the board's included.
const QString kApplicationTitle = QStringLiteral("Velmora Board Ver. 2.3");
}  // namespace

QPoint QtPlatform::cursorPos() {
    return QCursor::pos();
}

bool QtPlatform::pointerInWindow(quintptr window, QPoint& at) {
    int x = 0, y = 0;
    if (!x11::pointerInWindow(static_cast<unsigned>(window), x, y)) return false;
    at = QPoint(x, y);
    return true;
}

bool QtPlatform::grabKeyboard(QWindow& window, bool take) {
    return window.setKeyboardGrabEnabled(take) || !take;
}

void QtPlatform::showError(const QString& message) {
    const ModalOwner owner;
    QMessageBox::critical(owner.widget(), kApplicationTitle, message);
}

bool QtPlatform::chooseColour(TColor initial, TColor& chosen) {
    const ModalOwner owner;
    const QColor colour = QColorDialog::getColor(QColor::fromRgb(toQRgb(initial)), owner.widget());
    if (!colour.isValid()) return false;
    chosen = fromQRgb(colour.rgb());
    return true;
}

bool QtPlatform::confirm(const QString& message) {
    const ModalOwner owner;
    QMessageBox box(QMessageBox::Question, kApplicationTitle, message,
                    QMessageBox::Ok | QMessageBox::Cancel, owner.widget());
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);  // also what closing the box answers
    return box.exec() == QMessageBox::Ok;
}

namespace {
// While another client's answer is awaited the board keeps drawing: its own events run, and the
// reader's socket ends the wait as soon as something comes.
void runBoardEvents(int fd, int ms) {
    QEventLoop loop;
    QSocketNotifier ready(qintptr(fd), QSocketNotifier::Read);
    QObject::connect(&ready, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// No picture the board takes is encoded in more bytes than its pixels may take in memory, give
// or take its headers; a transfer beyond that is stopped rather than read to its end.
x11::SelectionReader::Limits foreignClipboardLimits() {
    constexpr std::int64_t kMb = 1024 * 1024;
    const int limitMb = QImageReader::allocationLimit();
    x11::SelectionReader::Limits limits;
    limits.maxBytes = (limitMb > 0 ? limitMb : 256) * kMb + kMb;
    limits.idle = runBoardEvents;
    return limits;
}

// The first picture among the image formats another X client offers. An owner that goes away
// or stops answering ends the paste at once: asking it for another format would only wait again.
// A format whose transfer is too large to hold a picture the board takes is passed over.
ClipboardStatus readForeignClipboardImage(x11::SelectionReader& reader, QImage& image) {
    using Result = x11::SelectionReader::Result;
    QStringList targets;
    if (reader.targets(targets) != Result::Ok) return ClipboardStatus::NoBitmap;
    for (const QString& target : targets) {
        if (!target.startsWith(QLatin1String("image/"))) continue;
        QByteArray bytes;
        const Result read = reader.read(target, bytes);
        if (read == Result::Failed) break;
        if (read != Result::Ok) continue;
        QImage picture = clipboard_picture::decode(bytes);
        if (picture.isNull()) continue;
        image = std::move(picture);
        return ClipboardStatus::Ok;
    }
    return ClipboardStatus::NoBitmap;
}
}  // namespace

// Qt's clipboard cannot fail to open as a Windows one can: it is missing only when the
// platform has none, and a write is lost only when another client keeps the selection. Both
// count as "cannot open", as does a paste asked for while another one waits for its owner (the
// board runs its events meanwhile).
ClipboardStatus QtPlatform::readClipboardImage(QImage& image) {
    static bool reading = false;
    if (reading) return ClipboardStatus::CannotOpen;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard && x11::isX11() && !clipboard->ownsClipboard()) {
        reading = true;
        struct Done {
            ~Done() { reading = false; }
        } done;
        x11::SelectionReader reader(foreignClipboardLimits());
        if (reader.ready()) return readForeignClipboardImage(reader, image);
    }
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data) return ClipboardStatus::CannotOpen;
    QImage picture = clipboard_picture::fromMimeData(*data);
    if (picture.isNull()) return ClipboardStatus::NoBitmap;
    image = std::move(picture);
    return ClipboardStatus::Ok;
}

ClipboardStatus QtPlatform::writeClipboardImage(const QImage& image) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return ClipboardStatus::CannotOpen;
    auto* data = new clipboard_picture::PictureOffer(image);  // the clipboard takes ownership
    const auto ours = reinterpret_cast<quintptr>(data);
    clipboard->setMimeData(data);
    // The clipboard hands back our data only while it holds it.
    return reinterpret_cast<quintptr>(clipboard->mimeData()) == ours ? ClipboardStatus::Ok
                                                                     : ClipboardStatus::CannotOpen;
}

QString QtPlatform::recoveryFolder() {
    // A relative path is no valid value and is ignored, as an unset one is: it would name a
    // folder that changes with the folder the board is started from.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/velmo");
}
