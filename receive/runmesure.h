#pragma once

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
};
