#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// What the samples of a fast binary recording give: the lengths measured on the
// preamble, the threshold, the bit string and its display string.
struct DecodageBinaireRapide {
    int seuil = 0;    // light/dark threshold in the interface's units, (vmin + vmax) / 2
    int b0 = 0;       // one bit of darkness, (bmin + bmax) / 2, in samples
    int hmin = 10000; // shortest and longest lit run of the preamble, in samples
    int hmax = 0;
    int bmin = 10000; // shortest and longest dark run of the preamble, in samples
    int bmax = 0;
    int vmin = 10000; // smallest and largest value read while the preamble was measured
    int vmax = 0;
    int debut = 0; // index of the first sample read after the preamble
    // "1" and "0" for each bit received, start bits included, " " for each word gap.
    QString codebinaire;
    // The same bits, " ( ) " for each word gap and " (c) " after each character c decoded.
    QString affichagebinaire;
};

// Measures the preamble of a fast binary recording and cuts the samples after it into
// bits and 9-bit frames.
//
// The emitter opens with three one-bit flashes one bit apart, then two bits of darkness.
// Above a first threshold of 255 × tensionseuil / 5 + 7, index 0 never examined, the
// preamble gives the first flash whole, the first gap, the second flash without its first
// sample, and the third flash whole; the second gap is passed. Every value read meanwhile
// counts for the smallest and largest values, whose middle becomes the threshold.
//
// From the first dark sample after the third flash to `nbmesures`, a run of n bits is
// recognised by the lengths measured (from n × shortest − tolerance to n × longest +
// tolerance, the tolerance growing from 2 samples for one bit to 5 for eight). Between
// frames, a darkness of 4 bits (a stop interval and a blank) is one word gap, " ". A lit
// run starts a frame, its first bit being the start bit; the frame takes lit and dark runs
// until it has 9 bits, a darkness being cut at the bits still missing so that a frame
// ending with zeros is closed without waiting for the next light. Its eight data bits,
// most significant first, are the Windows-1252 code of the character shown.
//
// A preamble whose gap has no length (b0 = 0) leaves the darkness of a frame uncut. The
// preamble's runs stop when they pass `nbmesures`: a recording that ends during the
// preamble gives empty strings.
DecodageBinaireRapide decodebinairerapide(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                          double tensionseuil);

// The text of a received bit string: a " " gives a blank; a "1" starts a frame whose next
// eight characters are the bits of the character's code, most significant first ("1"
// counts one, anything else, a missing character included, zero); a "0" where a frame
// may start is skipped. The last character of the string is never examined as a frame
// start or a blank, so ' 101100101 ' gives ' e'.
QString textedecodebinaire(const QString& codebinaire);
