#pragma once

#include <QChar>
#include <QString>

// One run of samples as a fast decoder met it: where it starts, how long it lasts, lit or
// dark, and what it added to the code string ("." or "-", blanks, bits), empty when it
// matched nothing. Viewers lay these over the samples; nothing is decoded again for them.
struct RunMesure {
    int debut = 0;    // index of its first sample
    int longueur = 0; // in samples
    bool allume = false;
    QString code;
    // Fast binary: a darkness between two frames (a stop interval and its blanks), not
    // part of a frame.
    bool entretrames = false;
    // Read only by rounding its length to the nearest whole number of units or bits: the
    // other rules of the mended decoders would have placed it otherwise, or not at all.
    bool arrondi = false;
};

// A run within this much of a whole number of bits is that many bits (fast and slow
// binary); a Morse element within twice as much of a whole number of units (a dot is 1
// unit, a dash 3: the same share of the step between them).
inline constexpr double tolerancearrondi = 0.35;

// What the mended fast decoders put in a code string for a run that no rule places (a
// Morse element, a binary frame), and the character it stands for in the text: one
// character is lost, not the rest of the message.
inline constexpr QChar elementinconnu = u'?';
inline constexpr QChar caractereinconnu = QChar(0xFFFD);
