#include <QApplication>
#include <QFont>

#include "platform/platform.h"
#include "tform1.h"

int main(int argc, char* argv[]) {
    // The board needs the global cursor, window placement and stay-on-top: under Wayland it
    // runs through XWayland unless the user chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmo"));
    // The dialogs ask for the Windows face "ＭＳ Ｐゴシック"; the set-up installs Japanese
    // gothic faces of the same kind (proportional first), which stand in for it.
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                                QStringLiteral("IPAGothic")});
    QtPlatform platform;
    TForm1 form(platform, QApplication::arguments().mid(1));
    form.show();
    form.activateWindow();
    return app.exec();
}
