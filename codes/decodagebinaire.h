#pragma once

#include <QString>

// A received slot string turned into text.
struct DecodageBinaire {
    QString messagerecu;
    // " ( ) " for a blank, and " " + the eight bits + " (" + the character + ") " for
    // each character.
    QString affichagebinaire;
};

// Reads the slot string ("1", "0", " ") of a slow binary reception: a blank gives a
// blank; a "0" where a start slot is expected is skipped; a "1" is a start slot, and
// the eight characters after it are the bits of the character's Windows-1252 code,
// most significant first ("1" counts one, anything else zero).
// The last ten characters are never taken as start positions: they are the darkness
// before the end mark and its nine lit slots.
DecodageBinaire decodecodebinaire(const QString& codebinaire);
