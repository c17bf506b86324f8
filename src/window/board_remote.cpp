#include "window/board_remote.h"

#include <QFile>
#include <QTimer>

#include "window/command_table.h"
#include "window/tform1.h"

namespace {

Handler handlerOf(const char* control) {
    const QByteArrayView name(control);
    for (const ToolbarEntry& e : toolbarEntries()) {
        if (name == QByteArrayView(e.name)) return e.handler;
    }
    for (const MenuEntry& e : menuEntries()) {
        if (name == QByteArrayView(e.name)) return e.handler;
    }
    return nullptr;
}

}  // namespace

void BoardRemote::later(void (TForm1::*handler)()) {
    TForm1* form = &form_;
    QTimer::singleShot(0, form, [form, handler] {
        form->wake();
        (form->*handler)();
    });
}

QString BoardRemote::runControl(const remote::CommandInfo& command, bool yes) {
    const Handler handler = handlerOf(command.control);
    if (!handler) return QStringLiteral("%1 は使えません").arg(QString::fromLatin1(command.name));
    if (handler == &TForm1::Exit1Click) {
        TForm1* form = &form_;
        QTimer::singleShot(0, form, [form, yes] { form->closeFromOutside(!yes); });
        return {};
    }
    if (command.opensWindow || (command.confirms && !yes)) {
        later(handler);
        return {};
    }
    // Told not to ask: the question is off for this one command only.
    Options& options = form_.model().options;
    const bool asked = options.ConfirmEraseAll;
    if (command.confirms) options.ConfirmEraseAll = false;
    (form_.*handler)();
    options.ConfirmEraseAll = asked;
    return {};
}

QString BoardRemote::run(const remote::CommandInfo& command, const QByteArray& argument, bool yes) {
    using remote::Kind;
    form_.wake();
    if (command.kind == Kind::Control) return runControl(command, yes);
    const QByteArrayView name(command.name);
    const QString path = QFile::decodeName(argument);
    if (name == "open") {
        if (path.isEmpty()) {
            later(&TForm1::SpeedButton16Click);
            return {};
        }
        return form_.openPictureFrom(path);
    }
    if (name == "save") {
        if (path.isEmpty()) {
            later(&TForm1::SpeedButton17Click);
            return {};
        }
        return form_.savePictureTo(path);
    }
    if (name == "snapshot") return form_.snapshotTo(path);
    if (name == "width") {
        form_.setPenWidthTo(remote::parseWidth(argument).value_or(remote::kMinWidth));
        return {};
    }
    if (name == "colour") {
        form_.setPenColourTo(remote::parseColour(argument).value_or(0));
        return {};
    }
    if (name == "hide" || (name == "toggle" && form_.isVisible())) {
        form_.hide();
        return {};
    }
    if (name == "show" || name == "toggle") {
        // Back in front with the keyboard, so that Shift and Ctrl draw at once.
        form_.show();
        form_.raise();
        form_.activateWindow();
        return {};
    }
    return QStringLiteral("%1 は使えません").arg(QString::fromLatin1(command.name));
}
