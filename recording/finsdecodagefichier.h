#pragma once

class Station;
struct MesuresFichier;

// What the two decoders of a recording file share at their end.

// The text shown as at the end of a reception: `messagerecu` in Texte2, locked, followed
// by a notice when the file was not read to its end; the emission area back to its
// colour.
void affichefindecodagefichier(Station& s, const MesuresFichier& mesures);

// The silence count back to 0 and the sampling tick on again.
void reprendapresdecodagefichier(Station& s);
