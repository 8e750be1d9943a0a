#pragma once

class Station;
struct MesuresFichier;

#include <QString>

// What the two decoders of a recording file share.

// Reads the samples of the file `cheminfichier`, which becomes `cheminlecture`; false with
// a French message naming it in `erreur` when it cannot be read. When it can, the form is
// made ready for the text as at the start of a reception: both text boxes emptied, the
// chosen font size applied, the sampling tick off (no tick runs while the file is decoded),
// then one yield so that the form shows it.
bool commencedecodagefichier(Station& s, MesuresFichier& mesures, QString* erreur);

// The text shown as at the end of a reception: `messagerecu` in Texte2, locked, each
// notice on a line of its own after it (a message longer than the recording, `coupe`; a
// file not read to its end); the emission area back to its colour.
void affichefindecodagefichier(Station& s, const MesuresFichier& mesures, bool coupe);

// The silence count back to 0 and the sampling tick on again.
void reprendapresdecodagefichier(Station& s);
