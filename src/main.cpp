#include <QApplication>
#include <QIcon>

#include "platform/file_names.h"
#include "platform/japanese_font.h"
#include "platform/platform.h"
#include "platform/qt_translations.h"
#include "window/board_icon.h"
#include "window/tform1.h"

int main(int argc, char* argv[]) {
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
    form.show();
    form.activateWindow();
    return app.exec();
}
