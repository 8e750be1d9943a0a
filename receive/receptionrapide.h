#pragma once

#include "recording/affichageresultat.h"
#include "recording/sourceechantillons.h"

#include <QString>
#include <QStringList>

class Station;
struct EtatPartage;
struct ResultatReception;

// Steps the two fast receptions share.

struct BilanTelechargement;

// The first steps of a fast reception: the tick off (its requests would mix with the
// download), the table emptied, Texte1 emptied, the tick's replies still on their way
// read and dropped, the caption telling how long to wait.
void commencereceptionrapide(Station& s);

// The end of a fast reception: messagerecu in Texte2, locked, each notice on a line of its
// own after it (a message longer than the recording, or a download the interface abandoned:
// then what the samples lack is the download's, and only that is said), kept in the record;
// then the record goes to the screen, for every view of it, and what the message's light
// carried.
void affichereceptionrapide(Station& s, const BilanTelechargement& bilan,
                            ResultatReception& resultat);

// The samples a download brought, as the decoders read them: the values of tabmesures
// for a recording of `nbmesures`; when the download stopped, only those that came.
SourceEchantillons echantillonsrecus(const EtatPartage& e, int nbmesures,
                                     const BilanTelechargement& bilan);

// Empties every entry of tabmesures, so that what a download does not fill reads as
// darkness, and not as the values of an earlier, longer download.
void videtabmesures(EtatPartage& e);

// Lets the events run until more than `duree` seconds have passed since `t0`: the
// interface is recording, nothing is read meanwhile.
void attendsenregistrement(Station& s, double t0, double duree);

// After a message, when the user allows it: the save chooser is asked for, with its
// caption. The routine does not wait for it.
void proposeenregistrement(Station& s, const QString& legende);
