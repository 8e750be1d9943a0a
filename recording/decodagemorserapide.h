#pragma once

#include "codes/decodagemorse.h"
#include "recording/runmesure.h"
#include "recording/sourceechantillons.h"

#include <QByteArray>
#include <QString>
#include <vector>

// What the samples of a fast Morse recording give: the lengths measured on the preamble,
// the thresholds that separate light from darkness, the code string, and every run met.
struct DecodageMorseRapide {
    int seuilinitial = 0; // the threshold the preamble was looked for with
    int seuil = 0;        // light/dark threshold in the interface's units, (vmin + vmax) / 2
    int pmin = 10000;     // shortest lit run of the preamble (a dot), in samples
    int pmax = 0;         // longest lit run of the preamble (a dash), in samples
    int vmin = 10000;     // smallest value seen while the preamble was measured
    int vmax = 0;         // largest value seen while the preamble was measured
    int debut = 0;        // index of the first sample read after the preamble
    // Mended rules: the unit measured on the edges of the preamble, in samples (0 when
    // the preamble does not look like the letter c), and how much longer than units the
    // lit runs are (the dark runs being as much shorter).
    double unite = 0;
    double ecartallume = 0;
    QString codemorse;                // ".", "-" and " " in order of arrival
    std::vector<RunMesure> preambule; // the lit runs of the preamble
    std::vector<RunMesure> runs;      // the runs of the message, dark and lit in turn
    // For each character of codemorse, the samples it stands for: [first, end).
    std::vector<std::pair<int, int>> etenduescode;
    // A recording file's scan ended on a lit run that is neither a dot nor a dash.
    bool arretsurrun = false;
    // Mended rules: the samples ended before the darkness that closes the last letter (or
    // in its light): the letter is cut, shown as unknown.
    bool lettrecoupee = false;
    // Mended rules: the glitches set aside before the samples were read (`parasites.h`).
    std::vector<RunMesure> parasites;
    // Whether the message went on past the end of the recording (`Coupure`): a last letter
    // not closed by the darkness after it (the code string ends with an element), or the
    // light on at the last sample, is sure; a last letter closed but followed by less
    // darkness than `ecartfinal` samples (`obscuritefinale`, from the end of its last
    // element, or of the preamble, to the end) may be. A scan that a run stopped (the
    // designed scan of a file) was not ended by the end of the recording: only the light at
    // its last sample says it was cut. A recording that ends in the light of a preamble
    // begun is cut.
    Coupure coupe = Coupure::non;
    int ecartfinal = 0;
    int obscuritefinale = 0;
};

// Measures the preamble of a fast Morse recording and cuts the samples after it into a
// code string.
//
// The emitter opens with the letter c, dash dot dash dot. Its four lit runs are found
// above a first threshold low enough for any light: for a download, the calibration
// voltage `tensionseuil` read on a 20 V scale (255 × tensionseuil / 20); for a file, the
// dark sample of index 1 plus 7 units. Only lit runs are measured, the dark values between
// them being passed one by one. The first pulse sets only pmax; each later one sets pmax
// when it is at least as long, otherwise pmin when it is at most as long. For a download,
// the smallest and largest values are taken from the values read between the runs and
// from the first value of each run; for a file, from every value. The threshold then
// becomes the middle of those two values.
//
// From the first dark value after the fourth pulse to the end of the samples: a dark run
// (values at most the threshold) adds one " " each time it reaches 1.5 × pmax − 4 values;
// a lit run (values at least the threshold, so a value equal to it prolongs a run that has
// begun) is a "." when it lies within pmin ± 2 values, otherwise a "-" within pmax ± 4,
// otherwise nothing for a download, and the end of the scan for a file. A scan that
// reaches the end in the dark meets an empty lit run, which is classified like any other
// (a "." when pmin ≤ 2).
//
// Every scan stops at the end of the samples (`bornes`, as fast binary): for a download, a
// lit run of the preamble when it passes `nbmesures`, the scan after it at `nbmesures` and
// the lit runs at the table's last index; for a file, at its last sample, which no run of
// the preamble starts at or counts. Without four pulses the code string stays empty.
//
// With the mended rules:
// - a recording that starts in the light of the start mark is read from the darkness after
//   that light;
// - the first threshold is raised, when it is not already above them, above the darkness
//   at the start of the recording and its noise (`seuilsurobscurite`): in a lit room, or
//   with noisy readings, darkness would otherwise be taken for the preamble; a lit run of
//   fewer than 3 samples is no pulse of it;
// - the unit is measured on the edges of the preamble, and the message is read on the
//   unit grid (`Grille`): a lit run is a dot within pmin ± 2, a dash within pmax ± 4,
//   otherwise by the places of its edges on the grid, 1 unit or less a dot, 3 a dash, 2 the
//   nearer by its length, 4 a dash when it lasts 4.5 units at most (the light of a busy
//   emitter slips by some milliseconds, each edge on its own);
// - a dark run gives the blanks of the nearest length the emitter darkens (1 unit after an
//   element, 3 after the preamble, 5 between letters, 9 between words, 4 more for each
//   further blank): none below 4 units, one from 4, two from 7, one more every 4 units;
// - a light or a darkness shorter than 0.15 unit whose edges fall at the same place of the
//   grid is a glitch, part of the run around it; any other lit run that no rule places
//   stands as an unknown element (`elementinconnu`): its letter is shown as unknown, and
//   the scan, of a file too, goes on;
// - the darkness the samples end in gives no blank: the message may be over there. It closes
//   the last letter (one blank, which adds nothing to the text) when it lasts 4 units, as
//   long as the first blank between letters would; otherwise, or when the light is still on
//   at the last sample, the last letter is cut: an unknown element ends it
//   (`lettrecoupee`);
// - before any of this, the glitches are set aside (`decodesansparasites`): a light or a
//   darkness shorter than a quarter of a unit, or than three samples, wherever it falls,
//   the preamble included.
// Without a preamble whose pulses read as the letter c, the designed reading, the scan of a
// file going on past a run that is neither dot nor dash.
DecodageMorseRapide decodemorserapide(const SourceEchantillons& source,
                                      Regles regles = Regles::Corrigees);
DecodageMorseRapide decodemorserapide(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                      double tensionseuil, Regles regles);

// The measurement of a fast Morse recording, the text its code string decodes to, and
// the message a fast reception shows: that text with the predefined codes expanded.
struct MessageMorseRapide {
    DecodageMorseRapide mesure;
    DecodageMorse texte;
    QString messagerecu;
};

MessageMorseRapide decodemessagemorserapide(const SourceEchantillons& source,
                                            Regles regles = Regles::Corrigees);
MessageMorseRapide decodemessagemorserapide(const std::vector<QByteArray>& tabmesures,
                                            int nbmesures, double tensionseuil, Regles regles);
