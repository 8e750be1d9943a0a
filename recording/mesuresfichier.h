#pragma once

#include <QString>
#include <vector>

class LectureEnregistrement;

// A recording written by the program holds at most 12 801 sample lines. The decoders read
// up to this many, about eight times as many, so that any file, however long, is decoded
// in bounded memory and time; the rest of a longer file is not read.
inline constexpr int maxmesuresfichier = 100000;

// The sample values of a recording file, in order, as its decoders read them: each sample
// line's value rounded to a whole number of the interface's units; and what the reading
// met, that tells a recording from another file.
struct MesuresFichier {
    std::vector<int> valeurs;
    bool tronque = false;    // the file has more sample lines than `maxmesuresfichier`
    int lignesentete = 0;    // header lines read: 35, or all the lines of a shorter file
    bool avecvaleur = false; // at least one sample line carries a value
    bool binaire = false;    // the file holds a byte that no text holds
};

// Whether a file read is a recording, and if not, why. A recording, whoever wrote it (the
// save chooser, the control copy, another program, a hand that mended it), is text with
// its 35 header lines and, after them, at least one sample line with a value ('  0  37 '
// or '  0 37 '). Neither its header nor the rest of its lines are examined: a header
// another program wrote, or damaged sample lines, still decode as they always did.
enum class NatureFichier {
    enregistrement,
    binaire,    // a control byte no text holds (an image, a program, an archive)
    tropcourt,  // no line after the 35 header lines
    sansvaleur, // lines after the header, none of them a sample with its value
};
NatureFichier naturefichier(const MesuresFichier& mesures);

// How far the reading of a file goes.
enum class EtendueLecture {
    complete,     // to the end of the file or to `maxmesuresfichier` samples
    arretbinaire, // the same, but no further than the first block that proves it binary
};

// Reads the samples through an open reader, to the end of the file or to the limit.
MesuresFichier litmesures(LectureEnregistrement& enregistrement,
                          EtendueLecture lecture = EtendueLecture::complete);

// Reads the samples of the file at `chemin`. False, with a French message naming the file
// in `erreur`, when the file cannot be opened or is not a recording; a binary file is
// refused without being read to its end.
bool litmesuresfichier(const QString& chemin, MesuresFichier& mesures, QString* erreur);

// Why the file at `chemin` is not a recording, naming it, in French; empty for a recording.
QString avispasunenregistrement(const QString& chemin, const MesuresFichier& mesures);

// The notice shown after the text decoded from a file that was not read to its end.
QString avisfichiertronque(const QString& chemin);
