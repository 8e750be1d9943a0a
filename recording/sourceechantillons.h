#pragma once

#include <QByteArray>
#include <vector>

// Where the samples of a fast recording come from. The live reception and the decoding of
// a recording file read the same light by the same steps, with a few differences kept as
// the program was designed:
// - Telechargement: `tabmesures` after a download. The first threshold comes from the
//   calibration (`tensionseuil`), the first sample examined is index 1, the scans are
//   bounded by `nbmesures`.
// - Fichier: the sample lines of a recording. The first threshold is the sample of index
//   1 (a recording begins in darkness) plus 7 units, the first sample examined is index 2,
//   the preamble's runs include the samples equal to the threshold, and the scans end at
//   the end of the file. The designed Morse scan ends on the first lit run that is neither
//   a dot nor a dash.
enum class Origine { Telechargement, Fichier };

// The rules a fast decoder follows.
// - Conception: the decoders as they were designed.
// - Corrigees (the program's own): the same, mended only where they lose a message that
//   the light carries clearly: the bit length of fast binary taken from the edges of the
//   whole preamble, so that the runs are recognised whatever the phase of the samples;
//   a nine-bit lit run (ÿ); a blank for each two bits of darkness beyond the first; the
//   first threshold above the darkness of the room and its noise (a file's, in both
//   codings); a recording that starts lit read from the darkness after that light; the
//   message read on the grid of bits or units its edges fall on, so that a busy emitter's
//   slips of some milliseconds are forgiven; a run no rule places costing one character
//   only. A message that the designed decoders read exactly is read the same.
// - Robustes (the option for noisy light): the mended rules on samples cleaned first,
//   each sample taken as lit or dark with a margin around the middle of the two levels
//   found in the whole recording.
enum class Regles { Conception, Corrigees, Robustes };

struct SourceEchantillons {
    // The readings, index 0 first, in the interface's units (0 to 255; whatever a text or
    // a file holds beyond the 16-bit range of a sample is held at its bounds).
    std::vector<int> valeurs;
    Origine origine = Origine::Telechargement;
    int nbmesures = 0;       // download: the recording's length in force
    double tensionseuil = 0; // download: the calibrated threshold, volts
    // A download that stopped: the values that came, at indices 0 to `recues` - 1; the
    // mended decoders read no further (what did not come is no darkness of the light).
    // -1: every value came.
    int recues = -1;

    // Value of sample i; 0 (darkness) for any index outside the samples.
    int lis(long long i) const {
        return i >= 0 && i < static_cast<long long>(valeurs.size())
                   ? valeurs[static_cast<std::size_t>(i)]
                   : 0;
    }
    // Index of the last sample there is.
    int derniere() const { return static_cast<int>(valeurs.size()) - 1; }
};

// Index of the last sample the mended decoders read: the last of a file; for a download,
// the last of the recording (`nbmesures`), or the last value that came when it stopped.
int dernierelue(const SourceEchantillons& source);

// A stored or read value as a sample: rounded to the nearest whole number, halves to the
// even neighbour, held within the 16-bit range.
int arrondiechantillon(double valeur);

// The samples of a download: every entry of `tabmesures` (12802 of them), an empty one
// reading 0.
SourceEchantillons depuistabmesures(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                    double tensionseuil);

// The samples of a recording file, its sample lines in order.
SourceEchantillons depuisfichier(std::vector<int> valeurs);

// Seconds between two samples of a recording, as the interface takes them.
inline constexpr double periodeechantillon = 0.0013;
// Whether a message went on past the end of its recording, as its decoder ended: `oui`
// when a frame or a letter was left open, or the light still on at the last sample;
// `peutetre` when the last frame or letter was complete but the darkness after it, to the
// end of the recording, is shorter than the gap after which the next character would
// have shown (a word gap, `ecartfinal`); `non` otherwise.
enum class Coupure { non, peutetre, oui };

// The darkness after a message's last light (fast binary: after its last frame) that
// proves it ended: the next character after a word gap would have begun half a step
// before it. Fast binary: 2 bits of stop, 2 of a blank, half a bit (4.5 bits); fast
// Morse: a dot of darkness after the element, two blanks of 3 dots each followed by one,
// half a dot (9.5 dots). In whole samples, rounded up, for a step of `pas` samples.
inline constexpr double ecartfinalbinaire = 4.5;
inline constexpr double ecartfinalmorse = 9.5;
int ecartfinal(double pas, bool morse);

// How a message that ended at sample `finmessage` (its last frame or letter complete)
// stands at the end of the samples `fin`: `oui` when the light is on above `seuil` at the
// last sample, otherwise `peutetre` when less than `ecart` samples of darkness follow it (0:
// no gap known, `non`), otherwise `non`.
Coupure coupurealafin(const SourceEchantillons& source, int fin, int seuil, int finmessage,
                      int ecart);

// The darkness at the start of the recording, in the interface's units: its level (the
// median of the first samples from `debut`, which the recording takes before the
// preamble; for a download, no lower than the darkness measured at start-up) and the
// spread of its readings (from their median absolute deviation, scaled to a standard
// deviation).
struct Obscurite {
    double niveau = 0;
    double bruit = 0;
};
Obscurite obscuritedudebut(const SourceEchantillons& source, int debut = 1);

// A first threshold above the darkness at the start of the recording (from `debut`) and
// its noise: its level plus five times the spread of its readings plus one unit, three
// units at least, rounded up. What the mended fast decoders look for their preamble with,
// when the designed first threshold lies lower: in a lit room, or with noisy readings,
// darkness would otherwise be taken for the preamble.
int seuilsurobscurite(const SourceEchantillons& source, int debut = 1);

// The two levels of light in the samples the decoders read (index 1 to the end of a file,
// or to `nbmesures` for a download): the means of the samples below and above a threshold
// that moves to their middle until it stays put. `distincts` is false when they are less
// than a tenth of a volt apart: there is no light to read.
struct Niveaux {
    double bas = 0;
    double haut = 0;
    bool distincts = false;
    double allumage() const { return bas + 0.6 * (haut - bas); }
    double extinction() const { return bas + 0.4 * (haut - bas); }
};
Niveaux niveauxdelumiere(const SourceEchantillons& source);

// The index of the first sample after the light a recording may start in (the end of the
// emitter's start mark, when the recording began before it ended): 1 when the recording
// begins in darkness, as designed. The light runs while the readings stay above 40 % of
// the way from the dark level to the lit one.
int debutobscur(const SourceEchantillons& source);

// The samples as robust decoding reads them: the dark and lit levels found in the whole
// recording, then each sample taken as the one or the other with hysteresis (it becomes
// lit above 60 % of the way from dark to lit, dark again below 40 %), so that noise around
// a level never makes a run. A recording without two distinct levels is left as it is.
SourceEchantillons nettoie(const SourceEchantillons& source);
