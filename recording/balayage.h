#pragma once

#include "recording/sourceechantillons.h"

// What the two fast decoders share to scan their samples, for a download and for a
// recording file alike: where the samples end, the first threshold and where the preamble
// is looked for, the reading of the preamble's runs and the reading of the message.

// Where the scans of a recording stop.
struct BornesEchantillons {
    int derniere = 0; // index of the last sample there is
    // The preamble reads no further than this sample: for a download `nbmesures` + 1 (as
    // designed, one value past the recording), for a file its last sample. A run of the
    // preamble never starts at it and ends there without counting it.
    int finpreambule = 0;
    // The message is read up to this sample: `nbmesures` for a download, no further than
    // the last sample there is; the last sample of a file. The mended rules read a download
    // that stopped no further than the last value that came (`dernierelue`).
    int fin = 0;
};
BornesEchantillons bornes(const SourceEchantillons& source, Regles regles);

// The threshold the preamble is looked for with, and the sample after which it is looked
// for. A file's comes from its sample of index 1 plus 7 (the preamble looked for from index
// 2), a download's from the calibration (`seuiltelechargement`, from index 1). The mended
// rules read a recording that starts in the light of the start mark from the darkness after
// that light, and raise the threshold above the darkness at the start and its noise
// (`seuilsurobscurite`). A file without a sample of index 1 has no preamble: `trouve` false.
struct DepartPreambule {
    int seuil = 0;
    int apres = 0;
    bool trouve = false;
};
DepartPreambule departpreambule(const SourceEchantillons& source, Regles regles,
                                int seuiltelechargement);

// The samples as the preamble is looked for in them: the sample being read and its value,
// and the smallest and largest values that count for the threshold of the message.
struct LecturePreambule {
    const SourceEchantillons& source;
    int i;
    const int fin; // `BornesEchantillons::finpreambule`
    int x = 0;
    int vmin = 10000;
    int vmax = 0;

    LecturePreambule(const SourceEchantillons& s, int apres, const BornesEchantillons& b)
        : source(s), i(apres), fin(b.finpreambule) {}
    // Whether a sample follows the current one (a run may start at the current one).
    bool reste() const { return i < fin; }
    // The next sample, which counts for the extremes.
    void avance();
    void note(int valeur);
    // A lit (or dark) value for a run of the preamble under way: a file's runs take in the
    // values equal to the threshold, a download's do not.
    bool dansrun(bool allume, int S) const;
    // The run from the current sample while its values stay lit (or dark): its length. It
    // ends at the end of the preamble's samples without counting the last one. Each value
    // read counts for the extremes when `notetout`, otherwise only the one that ends it.
    int run(bool allume, int S, bool notetout);
};

// Where the reading of the message stands: the sample being read and its value, the
// threshold of the message and the end of the samples.
struct Lecture {
    const SourceEchantillons& source;
    int i;
    int x;
    const int S;
    const int fin;
    void avance() {
        ++i;
        x = source.lis(i);
    }
    void va(int k) {
        i = k;
        x = source.lis(i);
    }
};
