#include "picture/file_commands.h"

#include <QFile>
#include <QFileInfo>

#include "platform/bitmap_file.h"
#include "platform/fresh_file.h"
#include "platform/picture_file.h"

FileCommands::FileCommands(BoardModel& model, Platform& platform, PictureDialogState& openDialog,
                           PictureDialogState& saveDialog, QString helpPage)
    : model_(model),
      platform_(platform),
      OpenDialog1(openDialog),
      SaveDialog1(saveDialog),
      helpPage_(std::move(helpPage)) {}

QString FileCommands::eraseAllQuestion() {
    return QStringLiteral("全部消して宜しいですか？");
}

// Whether the surface shows something not committed: a selection frame, a shape, selection or
// stamp preview, or the eraser's marker.
bool FileCommands::showsUncommitted() const {
    const DrawState& s = model_.state;
    return s.DrawPhase != PhaseIdle || s.EraserActive;
}

// The undo picture is taken before the question, so even a cancelled erase replaces it. What is
// not committed (a preview, a selection frame) stays out of it: an undo would commit it.
void FileCommands::eraseAll() {
    if (showsUncommitted())
        model_.stores.saveCommittedUndo();
    else
        model_.SaveUndo();
    if (model_.options.ConfirmEraseAll && !platform_.confirm(eraseAllQuestion())) return;
    Canvas& surface = model_.surface();
    surface.fillRect(surface.rect());
    model_.stb();
}

void FileCommands::openPicture() {
    if (platform_.runOpenDialog(OpenDialog1)) loadPicture(OpenDialog1.fileName);
}

bool FileCommands::loadPicture(const QString& path) {
    const QString error = loadPictureFrom(path);
    if (error.isEmpty()) return true;
    platform_.showError(error);
    return false;
}

QString FileCommands::loadPictureFrom(const QString& path) {
    const bitmap_file::ReadResult loaded = picture_file::read(path);
    if (!loaded.ok()) return loaded.error;
    // Only the part of the committed picture under the client area is cleared; the rest of the
    // stored picture keeps its drawing and shows again when the window grows. A picture larger
    // than the store is clipped at its right and bottom edges.
    Canvas& buffer = model_.stores.buffer();
    Canvas& surface = model_.surface();
    buffer.fillRect(surface.rect());
    buffer.addDamage(blockCopy(loaded.image, buffer.imageForWrite(), loaded.image.rect()));
    surface.fillRect(surface.rect());
    model_.lfb();
    return {};
}

// The saved file holds the committed picture. The surface is committed first only when it shows
// nothing that is still under way: a preview or a selection frame is no part of the picture.
void FileCommands::savePicture() {
    if (!platform_.runSaveDialog(SaveDialog1)) return;
    const QString error = savePictureTo(SaveDialog1.fileName);
    if (!error.isEmpty()) platform_.showError(error);
}

QString FileCommands::savePictureTo(const QString& path) {
    if (!showsUncommitted()) model_.stb();
    return picture_file::write(path, model_.stores.buffer().image());
}

QString FileCommands::writeHandOver(const QString& folder) {
    if (!showsUncommitted()) model_.stb();
    QString name;
    const QString created =
        fresh_file::create(folder, QStringLiteral("tmp"), QStringLiteral(".bmp"), name);
    QString error = bitmap_file::cannotCreateMessage(name);
    if (!created.isEmpty()) error = bitmap_file::write(created, model_.stores.buffer().image());
    if (error.isEmpty()) return created;
    if (!created.isEmpty()) QFile::remove(created);
    platform_.showError(error);
    return {};
}

void FileCommands::showHelp() {
    const QFileInfo page(helpPage_);
    if (!page.isFile() || !page.isReadable() || !platform_.showHelp(helpPage_, kHelpTopic))
        platform_.showError(bitmap_file::cannotOpenMessage(helpPage_));
}
