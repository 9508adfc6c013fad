#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QUrl>

namespace vimbrel {

// File names as the system stores them: bytes, UTF-8 by custom, but old archives hold names in
// Big5, GBK or Latin-1 too. Qt decodes every name as UTF-8 and turns what is not UTF-8 into
// U+FFFD, so such names could neither be opened nor told apart. Here a path is a QString that
// keeps its bytes: valid UTF-8 is decoded as usual, and each byte that is not part of valid
// UTF-8 is held as the lone low surrogate U+DC80 + (byte - 0x80), which valid text never
// contains. Paths without such bytes are exactly what Qt makes of them; the few places that hand
// a path to the system (open, launch, file addresses, the exported list) encode it back here,
// and what a person reads goes through readable().
namespace FileNames {

// Lossless: toBytes(fromBytes(b)) == b for any bytes.
[[nodiscard]] QString fromBytes(QByteArrayView bytes);
// Decodes into out, which has room for bytes.size() characters; returns the end written.
QChar *decodeInto(QChar *out, QByteArrayView bytes);
[[nodiscard]] QByteArray toBytes(QStringView path);
// Does the path hold bytes that are not UTF-8?
[[nodiscard]] bool hasStrayBytes(QStringView path);
// The byte a character stands for, when it is one of those held bytes.
[[nodiscard]] int strayByte(QStringView path, qsizetype i);

// For people: each part of the path between "/" as UTF-8, else as Big5 or GBK/GB18030 where
// that decodes cleanly, else with its stray bytes written as \xHH. The path itself when it
// holds no stray bytes.
[[nodiscard]] QString readable(QStringView path);

// The file: address of a local path, and back: the path a file: or other local address names,
// its percent-escapes read as the name's bytes.
[[nodiscard]] QUrl fileUrl(const QString &path);
[[nodiscard]] QString pathOf(const QUrl &url);
// The path part of an address for a path: its bytes percent-encoded where needed.
[[nodiscard]] QString encodedPath(QStringView path);

// Is there a file system entry at the path?
[[nodiscard]] bool exists(const QString &path);

// What stands at the path, links followed, and whether this user can read it.
struct Status
{
    bool folder = false;
    bool file = false; // a regular file
    bool readable = false;
};
[[nodiscard]] Status status(const QString &path);

// A command-line argument as the system passed it: decoded as the system's 8-bit text where
// that gives back its bytes, else by its bytes.
[[nodiscard]] QString fromArgument(const char *argument);

} // namespace FileNames

} // namespace vimbrel
