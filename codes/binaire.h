#pragma once

#include <QChar>
#include <QString>
#include <optional>

// The 8-bit binary coding. A character travels as its Windows-1252 code; a character the
// set has no code for travels as '?' (63), as the platform's own conversion does.

// Exactly 8 digits "0"/"1", most significant first: 97 gives '01100001'. Only the low
// 8 bits of `code` are written; callers pass codes 0..255.
QString codehuitbits(int code);

// Empties both strings, then builds them in one pass over the message:
// - codebinaire, the frame string: a blank gives one blank; any other character gives "1"
//   (the start bit) followed by its 8-bit code. 'a b' gives '101100001 101100010'.
// - affichagebinaire, the display string: a blank gives '  ( ) '; any other character gives
//   its 8-bit code, " (", the character as sent, ") ". 'ab' gives
//   '01100001 (a) 01100010 (b) '. A character without a code shows as the '?' it is sent as.
void traduitbinaire(const QString& message, QString& codebinaire, QString& affichagebinaire);

// Character of 8 binary digits read most significant first ('01100001' gives 'a', in
// Windows-1252); nothing unless the text is exactly 8 characters "0" or "1".
std::optional<QChar> caracterehuitbits(const QString& huitchiffres);

// What a binary emitter shows: the display string, " = ", then the frame string.
QString texteemissionbinaire(const QString& codebinaire, const QString& affichagebinaire);
