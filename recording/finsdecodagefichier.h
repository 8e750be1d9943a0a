#pragma once

class Station;
struct MesuresFichier;

// What the two decoders of a recording file share at their end.

// The text shown as at the end of a reception: `messagerecu` in Texte2, locked, each
// notice on a line of its own after it (a message longer than the recording, `coupe`; a
// file not read to its end); the emission area back to its colour.
void affichefindecodagefichier(Station& s, const MesuresFichier& mesures, bool coupe);

// The silence count back to 0 and the sampling tick on again.
void reprendapresdecodagefichier(Station& s);
