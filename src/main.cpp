#include <QApplication>
#include <QIcon>

#include "platform/japanese_font.h"
#include "platform/platform.h"
#include "platform/qt_translations.h"
#include "platform/termination.h"
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
    TForm1 form(platform, QApplication::arguments().mid(1));
    form.show();
    form.activateWindow();
    // A logout, a kill or a lost display ends the board without its normal exit: its picture
    // is written to the recovery file first and left there.
    termination::install([&form] { form.keepPictureForRecovery(); });
    const int status = app.exec();
    termination::uninstall();
    return status;
}
