#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <vector>

#include "platform/file_names.h"
#include "platform/japanese_font.h"
#include "platform/platform.h"
#include "platform/qt_translations.h"
#include "platform/termination.h"
#include "remote/board_service.h"
#include "remote/remote_client.h"
#include "window/board_icon.h"
#include "window/board_remote.h"
#include "window/tform1.h"

int main(int argc, char* argv[]) {
    // `velmo --remote ...` talks to a running board and never starts one: no display needed.
    // Its options may come before "--remote" too (`velmo --pid 42 --remote toggle`).
    for (int i = 1; i < argc; ++i) {
        if (QByteArrayView(argv[i]) != "--remote") continue;
        std::vector<QByteArray> words(argv + 1, argv + i);
        words.insert(words.end(), argv + i + 1, argv + argc);
        QCoreApplication client(argc, argv);
        return remote::runClient(words);
    }
    // The board needs the global cursor, window placement and stay-on-top: under Wayland it
    // runs through XWayland unless the user chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    // No display name: Qt would append it to every window title, the board's caption included.
    QApplication::setApplicationName(QStringLiteral("velmo"));
    QApplication::setWindowIcon(boardIcon());
    installJapaneseQtTranslations(app);
    japanese_font::registerSubstitutes();
    QtPlatform platform;
    // File names are taken as the system's bytes: Qt's own list of arguments loses those that are
    // not UTF-8. QApplication has taken its own options out of argv by now.
    TForm1 form(platform, file_names::arguments(argc, argv));
    // Driven from outside over the session bus when there is one; without it the board runs
    // all the same.
    BoardRemote remote(form);
    remote::BoardService service(remote);
    service.publish();
    form.show();
    form.activateWindow();
    // A logout, a kill or a lost display ends the board without its normal exit: its picture
    // is written to the recovery file first and left there.
    termination::install([&form] { form.keepPictureForRecovery(); });
    const int status = app.exec();
    termination::uninstall();
    return status;
}
