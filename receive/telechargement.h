#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class Station;

// How the download of a fast recording went: the figures a user or a benchmark may want,
// and whether the interface stopped answering before the end.
struct BilanTelechargement {
    int valeursDemandees = 0;
    int valeursRecues = 0;   // stored in tabmesures, or kept as empty slots
    bool interrompu = false; // the interface fell silent: the download was abandoned
    bool portperdu = false;  // the port went away: the download was abandoned
    bool illisible = false;  // the answers were not readings: the download was abandoned
    double duree = 0;        // seconds, from the first request to the last value
    qint64 octetsEcrits = 0; // requests written
    qint64 octetsLus = 0;    // reply bytes read
};

// A request that has had no answer for this long is written again: it has been lost.
inline constexpr double delaiRelance = 0.5;
// After this long without a single character, the interface is taken for hung and the
// download ends with what has arrived.
inline constexpr double delaiAbandon = 3.0;

// The requests of the two downloads, byte for byte.
// One value: "XRESUL " b "," o ",1", the numbers without blank, no terminator.
QByteArray requetevaleur(int bloc, int position);
// A block of 32 values: "XRESUL " then b with a leading blank, ",0,32", no terminator.
QByteArray requetebloc(int bloc);

// The stored form of a value: its numeric value as a number with a leading blank (" 37").
QByteArray textemesure(double valeur);

// The fast Morse download: 199 blocks of 32 values (400 for a 12800-sample recording)
// asked for one by one, each value ended by DEL, into tabmesures from index 0. Each value also goes
// to `copie` (its index and its characters as received), for the control copy. Texte1 shows the
// request and the last value. The request of a value is written once, and again only after a
// silence that shows it was lost (at most 5 times); each reply is read once, a late one
// dropped; after `delaiAbandon` of silence, or a sixth loss, the download ends.
BilanTelechargement
telechargemorserapide(Station& s,
                      const std::function<void(int index, const QByteArray& chaine)>& copie);

// The fast binary download: blocks 1 to nbmesures / 32 asked for whole, the values
// separated by ",", into tabmesures from index 0, until nbmesures values have come. Each
// token between two commas (blanks, CR and LF left out) is one value of the block: a
// reading 0 to 255 is stored, anything else leaves its slot empty (dark); an empty token
// is no value; what a reply holds beyond its 32 values is no part of the next block. A
// block that stops half-way is asked for again from its start. Each value
// of a block also goes to `copie` once the block is complete (its index and its token as
// received): fast Morse downloads this way when the option asks for it, and keeps its
// control copy.
BilanTelechargement
telechargebinairerapide(Station& s,
                        const std::function<void(int index, const QByteArray& chaine)>& copie = {});

// The notice Texte2 shows after a download that the interface abandoned.
QString avistelechargementinterrompu(const BilanTelechargement& bilan);
// What stopped a download, in a few words ("l'interface a cessé de répondre"), for the
// headless tool's line; empty for a download that went to its end.
QString causeabandon(const BilanTelechargement& bilan);
