#pragma once

#include <QSaveFile>

// Puts a QSaveFile's new file in place only when every byte of it reached the disk. Qt's commit
// flushes the last buffered bytes without looking at the result and ignores a failing sync, so
// on a full disk a small file would replace the old one empty or cut short and the commit would
// still succeed. On failure the new file is dropped, the old one is left as it was, and the
// result is false.
bool commitWhole(QSaveFile& file);
