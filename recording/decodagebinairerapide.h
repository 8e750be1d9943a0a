#pragma once

#include "recording/runmesure.h"
#include "recording/sourceechantillons.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <vector>

// A character a fast binary decoder completed: the samples its frame spans, from the
// first sample of its start bit, and the character its eight data bits give.
struct CaractereDecode {
    int debut = 0;
    int fin = 0; // index after the frame's last sample
    QChar caractere;
};

// What the samples of a fast binary recording give: the lengths measured on the
// preamble, the threshold, the bit string and its display string.
struct DecodageBinaireRapide {
    int seuilinitial = 0; // the threshold the preamble was looked for with
    int seuil = 0;        // light/dark threshold in the interface's units, (vmin + vmax) / 2
    int b0 = 0;           // one bit of darkness, (bmin + bmax) / 2, in samples
    int hmin = 10000;     // shortest and longest lit run of the preamble, in samples
    int hmax = 0;
    int bmin = 10000; // shortest and longest dark run of the preamble, in samples
    int bmax = 0;
    int vmin = 10000; // smallest and largest value read while the preamble was measured
    int vmax = 0;
    int debut = 0; // index of the first sample read after the preamble
    // Mended rules: the bit length measured on the edges of the preamble, in samples (0
    // when the preamble was not found whole), and how much longer than bits the lit runs
    // are (the dark runs being as much shorter).
    double bit = 0;
    double ecartallume = 0;
    // "1" and "0" for each bit received, start bits included, " " for each word gap.
    QString codebinaire;
    // The same bits, " ( ) " for each word gap and " (c) " after each character c decoded.
    QString affichagebinaire;
    std::vector<RunMesure> preambule;        // the runs of the preamble that were measured
    std::vector<RunMesure> runs;             // the runs of the message
    std::vector<CaractereDecode> caracteres; // each frame completed
    // Mended rules: the glitches set aside before the samples were read (`parasites.h`).
    std::vector<RunMesure> parasites;
    // Whether the message went on past the end of the recording (`Coupure`): a frame left
    // open, or the light on at the last sample, is sure; a last frame complete but followed
    // by less darkness than `ecartfinal` samples (`obscuritefinale`, from the end of that
    // frame, or of the preamble, to the end) may be. A recording that ends in the light of
    // a preamble begun is cut.
    Coupure coupe = Coupure::non;
    int ecartfinal = 0;
    int obscuritefinale = 0;
};

// Measures the preamble of a fast binary recording and cuts the samples after it into
// bits and 9-bit frames.
//
// The emitter opens with three one-bit flashes one bit apart, then two bits of darkness.
// Above a first threshold (for a download 255 × tensionseuil / 5 + 7, index 0 never
// examined; for a file the dark sample of index 1 plus 7, index 1 never examined), the
// preamble gives the first flash whole, the first gap, the second flash without its first
// sample, and the third flash whole; the second gap is passed. Every value read meanwhile
// counts for the smallest and largest values, whose middle becomes the threshold. In a
// download, a lit run of the preamble goes on while above the threshold and a dark one
// while below it; in a file, the values equal to the threshold prolong both.
//
// From the first dark sample after the third flash to `nbmesures` (a file: to its end), a run of n
// bits is recognised by the lengths measured (from n × shortest − tolerance to n × longest +
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
//
// The mended rules read a recording that starts in the light of the start mark from the
// darkness after that light, and look for the preamble above the darkness at the start and
// its noise when the designed first threshold lies lower (`seuilsurobscurite`, as fast
// Morse). They measure the preamble's three flashes again with the threshold of the
// message (a sample of an edge equal to the first threshold can otherwise misplace the
// whole preamble) and take the bit length from their edges, from the first flash's to the
// third's (four bits), to a quarter of a sample rather than to one sample, and the lit
// runs' excess over it; the message starts after the third flash. The message is read on
// the bit grid (`Grille`), which the six edges of the preamble start: a run lasts the whole
// number of bits between the places of its two edges, whatever the phase of the samples and
// however the busy emitter's light slipped each edge by some milliseconds; a run the grid
// cannot place (more bits than the frame has left) is read by its length, the run table
// and within 2.25 + n / 4 samples of n bits. A lit run of nine bits (a start bit and eight
// 1s, ÿ) is a frame. A frame starts where the blanks before it leave room for it (two bits
// of stop, two more for each blank), and its darkness is cut where the grid ends it, nine
// bits after its start; between frames the first blank comes after three bits of darkness,
// each further one after two more, so that two blanks in a row arrive as two. A run of 0.3
// bit or more that no rule places costs its frame only: `elementinconnu` takes the frame's
// place in codebinaire (the unknown character in the text), and the reading goes on where
// the grid ends the frame, past the light of its last bit. A shorter run is a glitch and
// adds nothing, as designed. A frame the samples end in before its ninth bit (or in the
// light of its last bit) is cut: `elementinconnu` takes its place too, never a character
// its first bits would make. The darkness the samples end in gives no blank: the message
// may be over there. Before any of this, the glitches are set aside
// (`decodesansparasites`): a light or a darkness shorter than a quarter of a bit, or than
// three samples, wherever it falls, the preamble included.
DecodageBinaireRapide decodebinairerapide(const SourceEchantillons& source,
                                          Regles regles = Regles::Corrigees);
DecodageBinaireRapide decodebinairerapide(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                          double tensionseuil, Regles regles);

// The measurement of a fast binary recording and the message a fast reception shows: the
// text the frames rebuild, with the predefined codes expanded.
struct MessageBinaireRapide {
    DecodageBinaireRapide mesure;
    QString messagerecu;
};
MessageBinaireRapide decodemessagebinairerapide(const SourceEchantillons& source,
                                                Regles regles = Regles::Corrigees);

// The text of a received bit string: a " " gives a blank; a "1" starts a frame whose next
// eight characters are the bits of the character's code, most significant first ("1"
// counts one, anything else, a missing character included, zero); a "0" where a frame
// may start is skipped; `elementinconnu`, a frame the mended decoders could not read,
// gives the unknown character. The last character of the string is never examined as a frame
// start or a blank, so ' 101100101 ' gives ' e'; an unknown frame there is read.
QString textedecodebinaire(const QString& codebinaire);
