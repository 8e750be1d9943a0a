#pragma once

// When a benchmark counts a message as received exactly: the text a receiving station
// shows against the text sent, the blanks the receivers add by design set aside.

#include <QString>
#include <utility>

// Blanks the slow receivers put before the text by design: the darkness after the start
// mark (2 s in Morse, 1.136 s in binary, never scaled) is cut into silence units (1.2 f in
// Morse, f in binary), each a blank of the code string; both of its ends are seen up to
// one sampling interval late, so near a whole number of units either count may come. In
// Morse a run of k blanks before the first letter gives k - 1 blanks of text. The fewest
// and the most blanks, for speed factor `f` and sampling interval `intervalle` (s).
std::pair<int, int> blancsEnTete(bool morse, double f, double intervalle);

// Slow codings: `recu` is n blanks (n within blancsEnTete) followed by `envoye`, a
// predefined code expanded as the receiver expands it.
bool recuExactement(const QString& envoye, const QString& recu, bool morse, double f,
                    double intervalle);

// Fast codings: `recu` is `envoye`, a predefined code expanded as the receiver expands
// it, followed by any number of blanks (the darkness after the message, cut into word
// gaps).
bool recuExactementRapide(const QString& envoye, const QString& recu);
