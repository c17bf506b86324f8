#pragma once

#include <QString>

// A new, empty file under a name no file had: `stem` + `suffix`, or, when that is taken, the
// stem followed by 1, 2, … The file is created exclusively, so two callers never get the same
// name, and nothing that exists under one of the names (a file, a folder, a dangling link) is
// touched. Returns the path, or an empty string when none could be created; `tried` then holds
// the name that failed.
namespace fresh_file {

QString create(const QString& folder, const QString& stem, const QString& suffix, QString& tried);

}  // namespace fresh_file
