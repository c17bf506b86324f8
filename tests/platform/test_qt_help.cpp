#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>

#include "platform/platform.h"

namespace {

QList<QTextBrowser*> helpWindows() {
    QList<QTextBrowser*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* b = qobject_cast<QTextBrowser*>(w); b && b->isVisible()) found << b;
    }
    return found;
}

TEST(QtHelp, OneWindowShowsThePageAtTheTopicAndIsReused) {
    QTemporaryDir dir;
    const QString page = dir.filePath("help.html");
    QFile file(page);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "<html><body><h1><a name=\"topic1\"></a>一</h1><p>ヘルプ</p>"
        "<h1><a name=\"topic2\"></a>二</h1></body></html>");
    file.close();
    QtPlatform platform;

    EXPECT_FALSE(platform.showHelp(dir.filePath("missing.html"), 1));
    EXPECT_TRUE(helpWindows().isEmpty());

    ASSERT_TRUE(platform.showHelp(page, 2));
    ASSERT_TRUE(platform.showHelp(page, 1));
    const QList<QTextBrowser*> windows = helpWindows();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(windows[0]->source().fragment(), "topic1");
    EXPECT_TRUE(windows[0]->toPlainText().contains(QStringLiteral("ヘルプ")));
    windows[0]->close();
}

}  // namespace
