// The help window: a plain HTML viewer of the board's own, so that help works on a machine
// without a web browser. There is one; asking for help again brings it back at the topic.
#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include "platform/platform.h"

namespace {

QPointer<QTextBrowser> helpWindow;

QTextBrowser* ensureHelpWindow() {
    if (helpWindow) return helpWindow;
    // Owned by the window that asked for help, so that it stays above a board kept on top.
    auto* browser = new QTextBrowser(QApplication::activeWindow());
    browser->setWindowFlag(Qt::Window);
    browser->setAttribute(Qt::WA_DeleteOnClose);
    browser->setObjectName(QStringLiteral("HelpWindow"));
    browser->setWindowTitle(QStringLiteral("Velmora Board ヘルプ"));
    browser->setOpenExternalLinks(false);
    browser->resize(640, 720);
    helpWindow = browser;
    return browser;
}

}  // namespace

bool QtPlatform::showHelp(const QString& page, int topic) {
    QFile file(page);
    if (!file.open(QIODevice::ReadOnly)) return false;
    file.close();
    QTextBrowser* browser = ensureHelpWindow();
    QUrl url = QUrl::fromLocalFile(page);
    url.setFragment(QStringLiteral("topic%1").arg(topic));
    browser->setSource(url);
    if (browser->document()->isEmpty()) {
        browser->close();
        return false;
    }
    browser->show();
    browser->raise();
    browser->activateWindow();
    return true;
}
