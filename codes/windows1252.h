#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

// The program's 8-bit character set, Windows-1252, in both directions. The binary coding
// sends these codes and the recording files are written in them.
//
// Every byte 0..255 has a character: the five bytes the set leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) stand for the control characters U+0081, U+008D, U+008F, U+0090 and
// U+009D, as Windows does, so bytes and their characters are a bijection.

// Code of a character, 0..255, or -1 when the character has none.
int codeWindows1252(QChar c);

// Character of a code 0..255 (a code outside that range gives the null character).
QChar caractereWindows1252(int code);

// Text to bytes. A character without a code becomes '?' (63), as Windows does, and then
// *tousCodes (when given) is set false; otherwise it is set true. A surrogate pair (one
// character outside the 16-bit range) gives a single '?'.
QByteArray versWindows1252(const QString& texte, bool* tousCodes = nullptr);

// Bytes to text; cannot fail.
QString depuisWindows1252(const QByteArray& octets);
