// The picture open and save dialogs: Qt's own file dialog (not the desktop's, which cannot
// take a preview) with a scaled-down view of the selected picture beside the file list.
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>

#include "platform/modal_owner.h"
#include "platform/picture_file.h"
#include "platform/platform.h"

namespace {

// Shown as "Windows ビットマップ[*.bmp]"; the pattern in parentheses is what Qt filters by.
// The bitmap comes first and is the default; PNG keeps the see-through parts transparent.
const QString kBitmapFilter = QStringLiteral("Windows ビットマップ[*.bmp] (*.bmp)");
const QString kPngFilter = QStringLiteral("PNG 画像[*.png] (*.png)");

class PicturePreview : public QLabel {
public:
    static constexpr int kSide = 160;

    explicit PicturePreview(QWidget* parent) : QLabel(parent) {
        setFixedSize(kSide + 8, kSide + 8);
        setAlignment(Qt::AlignCenter);
        setFrameShape(QFrame::StyledPanel);
    }

    void showPicture(const QString& path) {
        clear();
        if (!QFileInfo(path).isFile()) return;
        const bitmap_file::ReadResult picture = picture_file::read(path);
        if (!picture.ok()) return;
        QImage image = picture.image;
        if (image.width() > kSide || image.height() > kSide)
            image = image.scaled(kSide, kSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        setPixmap(QPixmap::fromImage(image));
    }
};

bool runPictureDialog(PictureDialogState& state, bool save) {
    const ModalOwner owner;  // declared first: it takes the activation back after the dialog
    QFileDialog dialog(owner.widget(),
                       save ? QStringLiteral("名前を付けて保存") : QStringLiteral("開く"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters({kBitmapFilter, kPngFilter});
    dialog.selectNameFilter(kBitmapFilter);
    dialog.setDefaultSuffix(QStringLiteral("bmp"));
    // A name typed without an extension takes the one of the file type shown.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        dialog.setDefaultSuffix(f == kPngFilter ? QStringLiteral("png") : QStringLiteral("bmp"));
    });
    dialog.setSizeGripEnabled(true);
    if (!state.fileName.isEmpty()) dialog.selectFile(state.fileName);

    auto* preview = new PicturePreview(&dialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, &PicturePreview::showPicture);
    preview->showPicture(state.fileName);

    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;
    state.fileName = chosen.first();
    return true;
}

}  // namespace

bool QtPlatform::runOpenDialog(PictureDialogState& dialog) {
    return runPictureDialog(dialog, false);
}

bool QtPlatform::runSaveDialog(PictureDialogState& dialog) {
    return runPictureDialog(dialog, true);
}
