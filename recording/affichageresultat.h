#pragma once

#include "recording/sourceechantillons.h"

#include <QStringList>

class Station;
struct CopieEtat;
struct EtatPartage;

// What the end of a fast reception and the end of a recording decoded again share.

// The end of a message shown: " FIN DE RECEPTION DU MESSAGE", messagerecu in Texte2,
// locked, each notice on a line of its own after it.
void affichemessagerecu(Station& s, const QStringList& avis);

// The rules the station's fast decoders follow: the mended ones, or the robust ones when
// the option is ticked.
Regles reglesdecodage(const EtatPartage& e);
Regles reglesdecodage(const CopieEtat& e);
