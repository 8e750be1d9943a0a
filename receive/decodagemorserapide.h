#pragma once

#include "receive/decodagemorse.h"

#include <QByteArray>
#include <QString>
#include <vector>

// What the samples of a fast Morse recording give: the lengths measured on the preamble,
// the threshold that separates light from darkness, and the code string.
struct DecodageMorseRapide {
    int seuil = 0;     // light/dark threshold in the interface's units, (vmin + vmax) / 2
    int pmin = 10000;  // shortest lit run of the preamble (a dot), in samples
    int pmax = 0;      // longest lit run of the preamble (a dash), in samples
    int vmin = 10000;  // smallest value seen while the preamble was measured
    int vmax = 0;      // largest value seen while the preamble was measured
    int debut = 0;     // index of the first sample read after the preamble
    QString codemorse; // ".", "-" and " " in order of arrival
};

// Measures the preamble of a fast Morse recording and cuts the samples after it into a
// code string.
//
// The emitter opens with the letter c, dash dot dash dot. Its four lit runs are found
// above a first threshold, the calibration voltage `tensionseuil` read on a 20 V scale
// (255 × tensionseuil / 20), so that any light counts; index 0 is never examined, and
// only lit runs are measured, the dark values between them being passed one by one. The
// first pulse sets only pmax; each later one sets pmax when it is at least as long,
// otherwise pmin when it is at most as long. The smallest and largest values are taken
// from the values read between the runs and from the first value of each run, not from
// the rest of a run. The threshold then becomes the middle of those two values.
//
// From the first dark value after the fourth pulse to `nbmesures`: a dark run (values at
// most the threshold) adds one " " each time it reaches 1.5 × pmax − 4 values; a lit run
// (values at least the threshold, so a value equal to it prolongs a run that has begun)
// is a "." when it lies within pmin ± 2 values, otherwise a "-" within pmax ± 4, otherwise
// nothing. A scan that reaches `nbmesures` in the dark meets an empty lit run, which is
// classified like any other (a "." when pmin ≤ 2).
//
// Every scan stops at the end of the samples: a lit run of the preamble when it passes
// `nbmesures`, the scan after it at the table's last index. Without four pulses the code
// string stays empty.
DecodageMorseRapide decodemorserapide(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                      double tensionseuil);

// The measurement of a fast Morse recording and the text its code string decodes to.
struct MessageMorseRapide {
    DecodageMorseRapide mesure;
    DecodageMorse texte;
};

MessageMorseRapide decodemessagemorserapide(const std::vector<QByteArray>& tabmesures,
                                            int nbmesures, double tensionseuil);
