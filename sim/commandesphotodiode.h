#pragma once

#include "sim/commandesbanc.h"

#include <QByteArray>
#include <QString>

class Banc;

// The commands that change the light on a photodiode of a running bench, for a lesson on
// the room's light and noise, N being the number of a port of the bench and VOLTS a
// voltage on EA0 from 0 to 5 (a point or a comma):
//   salle N VOLTS          the room's light on photodiode N (what it reads in the dark);
//   laser N VOLTS          what the laser facing it adds (less the further away it stands);
//   bruit N VOLTS          the standard deviation of the noise on its readings;
//   scintillement N VOLTS  the amplitude of the 100 Hz ripple of the room's lamps.
// Each takes effect at the instant given and is noted.
namespace commandesphotodiode {

// Whether `nom` is one of these commands.
bool reconnait(const QByteArray& nom);

// Carries out one command line whose first word is one of these commands; false when it is
// refused (a port or a voltage out of range), which is then noted.
bool execute(Banc& banc, double instant, const QByteArray& ligne, const commandesbanc::Note& note);

// The light of photodiode `station` (0 for COM1) as it stands, on one line: its port, each
// setting and its value in volts, then how the photodiode is lit by hand:
// "COM2 salle 0.05 laser 2.95 bruit 0 scintillement 0 photodiode normale" (or "eclairee",
// "sombre"). lumicom-sim writes one such line a photodiode in the file "etat-lumiere".
QString ligneetat(const Banc& banc, int station);

// The forms of these commands, for the refusals and the help (commandesbanc::formes).
QString formes();

} // namespace commandesphotodiode
