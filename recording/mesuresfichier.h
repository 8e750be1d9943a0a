#pragma once

#include <QString>
#include <vector>

class LecteurEnregistrement;

// A recording written by the program holds at most 12 801 sample lines. The decoders read
// up to this many, about eight times as many, so that any file, however long, is decoded
// in bounded memory and time; the rest of a longer file is not read.
inline constexpr int maxmesuresfichier = 100000;

// The sample values of a recording file, in order, as its decoders read them: each sample
// line's value rounded to a whole number of the interface's units.
struct MesuresFichier {
    std::vector<int> valeurs;
    bool tronque = false; // the file has more sample lines than `maxmesuresfichier`
};

// Reads the samples through an open reader, to the end of the file or to the limit.
MesuresFichier litmesures(LecteurEnregistrement& lecteur);

// Reads the samples of the file at `chemin`. False, with a French message naming the file
// in `erreur`, when the file cannot be opened.
bool litmesuresfichier(const QString& chemin, MesuresFichier& mesures, QString* erreur);

// The notice shown after the text decoded from a file that was not read to its end.
QString avisfichiertronque(const QString& chemin);
