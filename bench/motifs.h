#pragma once

// The nominal light patterns of the four emitters: for a text and a speed factor f, the
// levels of the laser and their durations in order, as the emitter means to lay them on
// the line. The real-time benchmarks set the simulator's journal of SB0 beside them.

#include <QString>
#include <utility>
#include <vector>

// Levels (lit or dark) and their nominal durations in seconds, in order; the last element,
// the darkness after the message, has duration 0.
using Motif = std::vector<std::pair<bool, double>>;

// Slow Morse: 3 s of light, 2 s of darkness, a dot 0.3 f and a dash 1 f of light, each
// followed by 0.3 f of darkness, a blank of the code string 1 f of darkness, then the end
// mark of 3 s of light.
Motif motifMorse(const QString& texte, double f);

// Slow binary: 5.68 s of light, 1.136 s of darkness, bits of 0.568 f (a frame of a start
// bit and eight data bits, then a stop bit of darkness; a blank of the message one dark
// bit), one dark bit more, then the end mark of 6.818 s of light.
Motif motifBinaire(const QString& texte, double f);

// Fast Morse: 1 s of light, 0.35 s of darkness, the opening letter c and its letter gap,
// then each element of the code string (a dot 0.05 f, a dash and a blank three dots)
// followed by one dot of darkness.
Motif motifMorseRapide(const QString& texte, double f);

// Fast binary: 1 s of light, 0.35 s of darkness, three one-bit flashes (0.07 f) and a stop
// of two bits, then the frames of the text, each followed by a stop, a blank two dark
// bits; the blank the emitter appends to a typed text is not sent.
Motif motifBinaireRapide(const QString& texte, double f);

// The pattern of `codage` ("m", "b", "mr" or "br").
Motif motif(const QString& codage, const QString& texte, double f);

// Nominal instants of the changes of level, from the first one (laser lit, at 0), with
// the level each change sets. Consecutive elements of one level make one element on the
// line.
std::vector<std::pair<double, bool>> changementsNominaux(const Motif& motif);

// Seconds from the first change to the end of the pattern.
double dureeMotif(const Motif& motif);
