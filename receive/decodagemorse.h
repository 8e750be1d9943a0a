#pragma once

#include <QString>

#include <vector>

// A letter read from a code string: the positions (from 0) of its first and last
// elements in the string, and the letter.
struct LettreMorse {
    qsizetype premier = 0;
    qsizetype dernier = 0;
    QChar caractere;
};

// A received Morse code string turned into text.
struct DecodageMorse {
    QString messagerecu;
    // For each letter read: its code, a blank, the letter in parentheses and a blank.
    QString affichage;
    std::vector<LettreMorse> lettres; // the letters read, in order
};

// Reads the code string (".", "-", " ") letter by letter: a blank ends a letter, and a
// blank followed by another blank ends a word, which gives one blank in the text. The
// scan stops one character before the end of the string, and looks ahead for a second
// blank only up to two characters before the end: a closing blank ends the last letter
// but adds nothing, and of k blanks at the very end only k - 3 reach the text. Codes not
// in the table are dropped without trace; a letter holding an element the mended fast
// decoders could not place (`elementinconnu`) is shown as the unknown character.
DecodageMorse decodecodemorse(const QString& codemorse);
