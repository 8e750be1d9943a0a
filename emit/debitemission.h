#pragma once

#include "link/ecran.h"

#include <QString>

class Station;

// The rate of the message a station sends, from its own keying: the instants at which the
// emitter changed the laser's level, from the end of the start mark (or of the opening of
// the fast codings) to the message's last element.

// The message begins: its changes of level are noted from now on.
void commencereleveemission(Station& s);

// The message's last element has been keyed: the noting stops, and what the light carried
// is measured on the code string sent (`morse` or binary, `lent` for a slow coding).
DebitMessage finreleveemission(Station& s, const QString& code, bool morse, bool lent);
