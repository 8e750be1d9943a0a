#pragma once

#include "link/ecran.h"
#include "recording/sourceechantillons.h"

#include <QString>

struct ResultatReception;

// The rate of a message, measured on its light: the characters its code string carried,
// over the time from the first change of its light to the last (`DebitMessage`). Those
// instants are the light's own: the samples of a fast recording where the decoder found
// the message's first and last runs of light, the ticks of a slow reception that saw its
// first element light up and its last one go dark, the emitter's own keying of them.
//
// The code string is read between its first element and its last (the blanks a receiver
// adds before and after the message left out):
// - Morse: one character per letter and per blank between words (a letter is closed by
//   one blank, each blank of the message adds one); the length in dots counts each dot 1,
//   each dash and each blank as the emitter keys them (slow: 1 s and 1.3 s against a dot of
//   0.3 s; fast: 3 and 4 dots), and the dot of darkness after every element but the last;
// - binary: one character per frame (9 bits, its start bit included) and per blank; the
//   bits are those of the frames, a frame a decoder could not read counting 9.
DebitMessage debitmorse(const QString& codemorse, double duree, bool lent);
DebitMessage debitbinaire(const QString& codebinaire, double duree);

// What the light of a fast reception (or of a recording decoded again) carried, with
// `periode` seconds between two samples.
DebitMessage debitreception(const ResultatReception& resultat, double periode = periodeechantillon);

// The rates: bits, characters a second; Morse words a minute by the PARIS convention (a
// word of 50 dots). 0 when nothing was measured.
double bitsparseconde(const DebitMessage& debit);
double caracteresparseconde(const DebitMessage& debit);
double motsparminute(const DebitMessage& debit);

// Whether the light of the message was measured (some characters, over some time).
bool debitmesure(const DebitMessage& debit);

// The rate in words: "Débit : 14,3 bit/s — 7 caractères en 4,4 s (1,6 caractère/s)" in
// binary, "Débit : 4,0 mots/min (convention PARIS) — 3 caractères en 9,8 s (0,3 caractère/s)"
// in Morse; empty when nothing was measured.
QString textedebit(const DebitMessage& debit);

// The same, then what it was computed from, more precisely, for the headless tool and the
// scripts that compare it: "... ; lumière du message : 4,410 s, 63 bits" ("155,0 points" in
// Morse); empty when nothing was measured.
QString textedebitdetaille(const DebitMessage& debit);
