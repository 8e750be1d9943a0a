#pragma once

#include <QChar>
#include <QString>
#include <optional>

// The Morse code of the program: the International Morse Code of the 26 lower-case letters
// a to z and the 10 digits 0 to 9, and nothing else. Upper-case and accented letters,
// punctuation and the blank are not in the table; look-ups are exact and case-sensitive.

// The two texts an emitter builds from a message.
struct TraductionMorse {
    // Code string over ".", "-" and " ": each table character gives its elements and one
    // closing blank; any other character (the blank included) gives one blank only.
    // 'a b' gives '.-  -... '.
    QString codemorse;
    // Display string: for each table character, its elements, a blank, the character in
    // parentheses and a blank; other characters give nothing. 'a b' gives '.- (a) -... (b) '.
    QString affichagemorse;
};

TraductionMorse traduitmorse(const QString& message);

// Character whose element string is exactly `elements` (for example '.-' gives 'a');
// nothing for an empty or unknown element string.
std::optional<QChar> lettremorse(const QString& elements);
