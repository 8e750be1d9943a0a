#pragma once

#include <QString>

#include "link/ecran.h"
class Station;

// The steps the two slow emitters share: they prepare the form, close the message and
// give the form back to the reception in the same way, each with its own send button.

// Tick off (no sampling command among the keying commands), the emission caption,
// Texte1 locked, the send and erase buttons off, the reception area green.
void prepareemission(Station& s, Ecran::Controle boutonenvoi);

// The text of Texte1 exactly as typed. (The text box's plain text would turn a
// no-break space, a character of the binary coding, into an ordinary blank.)
QString texteTexte1(Station& s);

// After the end mark: the laser off, " ENVOI DU MESSAGE TERMINE ", one second of
// darkness kept by the keying command.
void termineemission(Station& s);

// Back to receiving: the caption `legende`, Texte1 unlocked with its text kept, the
// buttons on, the reception area yellow and empty, the tick on.
void retourreception(Station& s, Ecran::Controle boutonenvoi, const QString& legende);
