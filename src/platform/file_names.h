#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// File names as the system keeps them: bytes, most often UTF-8 but not always. Qt decodes a name
// that is not valid UTF-8 with replacement characters and cannot find the file again from them.
// Here every byte that is not part of valid UTF-8 is kept as a lone surrogate U+DC80..U+DCFF
// (which valid UTF-8 can never yield), so that any name survives the way there and back.
namespace file_names {

QString decode(const QByteArray& bytes);
QByteArray encode(const QString& name);

// The program's arguments after its name, decoded as above.
QStringList arguments(int argc, char** argv);

// Whether the name is a regular file, following links.
bool isFile(const QString& name);
// Removes the file; false when it could not be removed.
bool remove(const QString& name);

}  // namespace file_names
