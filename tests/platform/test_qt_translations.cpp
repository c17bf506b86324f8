// Qt's own dialogs in Japanese, and the window icon; in a process of their own, since the
// translation stays installed for every test after it.
#include <gtest/gtest.h>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "platform/qt_translations.h"
#include "window/board_icon.h"

TEST(QtTranslations, MessageBoxButtonsAndFileDialogSpeakJapanese) {
    ASSERT_TRUE(installJapaneseQtTranslations(*qApp))
        << "qtbase_ja missing: install qt6-translations-l10n";
    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("m"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.contains(QStringLiteral("ファイル名(&N):")))
        << labels.join(u'|').toStdString();
}

TEST(BoardIcon, DrawnInLargeAndSmallSizes) {
    const QIcon icon = boardIcon();
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    // Not blank: the pane's rim is opaque, its corners clear.
    const QImage image = icon.pixmap(256).toImage();
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(128, 232 - 3)), 255);
}
