#pragma once

class Station;
struct MesuresFichier;
struct ResultatReception;

#include <QString>

// What the two decoders of a recording file share.

// Reads the samples of the file `cheminfichier`, which becomes `cheminlecture`; false with
// a French message in `erreur` when it cannot be read (naming it), or when the station is
// emitting or receiving: a file decoded then would take the tick from under a download or
// an emission and throw away the text being received. When it can, the form is made ready
// for the text as at the start of a reception: both text boxes emptied, the chosen font
// size applied, the sampling tick off (no tick runs while the file is decoded; `tic` says
// whether it ran), then one yield so that the form shows it.
bool commencedecodagefichier(Station& s, MesuresFichier& mesures, bool& tic, QString* erreur);

// The text shown as at the end of a reception: `messagerecu` in Texte2, locked, each
// notice on a line of its own after it (a message longer than the recording; a file not
// read to its end), kept in the record, which then goes to the screen with what the
// message's light carried; the emission area back to its colour.
void affichefindecodagefichier(Station& s, const MesuresFichier& mesures,
                               ResultatReception& resultat);

// The silence count back to 0 and the sampling tick as it was before the decoding (`tic`).
void reprendapresdecodagefichier(Station& s, bool tic);
