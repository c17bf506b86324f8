#pragma once

#include <QStringList>

class BoardModel;
class Platform;

// Start-up steps that depend on the command line: argument 1 may be "default" (skip the
// settings file) or an existing ".bmp" picture to load, optionally followed by "delete".
namespace startup {

// Whether "config.ini" in startDir should be loaded for these arguments.
bool shouldLoadSettings(const QString& startDir, const QStringList& args);

// Loads the picture named by argument 1 into the committed picture and shows it; deletes the
// file when argument 2 is "delete". A picture that cannot be loaded is reported and kept.
// True when the picture was taken over: loaded and its file to be deleted.
bool handOverPicture(BoardModel& model, const QStringList& args, Platform& platform);

}  // namespace startup
