#pragma once

#include "link/ecran.h"
#include "sim/interfaceorphy.h"
#include "sim/reglages.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

#include "receive/reglages.h"

// One message sent by light from station 1 to station 2 on the virtual bench, with the
// settings a user picks in the menus of both stations: the coding, the speed item and the
// sampling interval. Shared by `lumicom-tool bench-link` and the robustness benchmark.

// The item of a fast-coding submenu for the coding `typecodage` ("mr" or "br") and the
// recording length `nbmesures` (6400 or 12800), chosen on station `s`; false for any other
// coding.
bool choisitcodagerapide(Station& s, const QString& typecodage, int nbmesures);

struct EssaiLiaison {
    QString codage = QStringLiteral("m");    // "m", "b", "mr" or "br"
    int nbmesures = 6400;                    // fast codings: samples of the recording
    const ArticleVitesse* vitesse = nullptr; // nullptr: x 1, the start-up setting
    int intervalle = 0; // sampling interval in ms, 30 or 50; 0: the coding's advised one
    QString texte;      // what the user types in Texte1 of station 1
    // Noise, flicker, seed, slips; glitches: `lumiere.parasites` of them, over the light of
    // the message (`fenetreparasites`) unless `lumiere.finParasites` places them.
    ReglagesLumiere lumiere;
    // When station 1's send button is clicked, seconds into the run. Moving it by a
    // fraction of a sampling period changes where the receiver's samples fall on the light,
    // as from one real exchange to the next.
    double debutEnvoi = 2.0;
    // The options of the menu "Options", on both stations.
    bool robuste = false; // robust decoding of the fast codings
    bool blocs = false;   // fast Morse downloaded 32 values a request
};

struct ResultatLiaison {
    // Receptions station 2 finished. The end mark of binary can start a second one: a
    // character 255 (nine lit slots) followed by light is read as an end mark, and the
    // true end mark that follows is long enough to open a new message.
    int receptions = 0;
    bool enCours = false; // a reception was still going on when the run stopped
    // The first reception, as it ended: its code string (the Morse string as Texte1 showed
    // it last, or codebinaire), the text of Texte2 and messagerecu. Without any finished
    // reception: what was there when the run stopped.
    QString code;
    QString texte2;
    QString messagerecu;
    // Fast codings: the samples station 2 holds at the end, for a recording file, and
    // whether its download was abandoned.
    std::vector<QByteArray> tabmesures;
    int nbmesures = 0;
    double tensionseuil = 0; // station 2's, to decode its samples again
    bool telechargementInterrompu = false;
    // What the light of the message carried as station 2 measured it (its first reception)
    // and as station 1 did from its keying; the changes of station 1's laser, SB0, at its
    // interface.
    DebitMessage debitrecu;
    DebitMessage debitemis;
    std::vector<InterfaceOrphy::Transition> transitions;
};

// The time from the first change of the message's light to its last, from the changes of
// the emitter's laser `transitions` in the coding `codage`: the start mark and the opening
// of the fast codings (the letter c, three flashes) before it, the end mark of the slow
// ones after it, are left out. 0 when the message had no light.
double dureelumieremessage(const std::vector<InterfaceOrphy::Transition>& transitions,
                           const QString& codage);

// Where an exchange's glitches fall, in seconds after the first light of the emission: in
// a fast coding from the end of the start mark (its darkness, the preamble and the
// message) to the end of the darkness after the last element or frame that tells the
// receiver the message ended; in a slow coding, over the whole emission, marks included.
// Computed from the text, the coding and the speed as the emitters lay the light.
std::pair<double, double> fenetreparasites(const EssaiLiaison& essai);

// Runs the exchange in virtual time: both stations start with the coding, take the speed
// item and the interval through their own menu handlers, station 1 sends the text with its
// send button, station 2 goes on long enough for a reception it started to end (one cut
// off by the silence limit included). In a fast coding both stations choose it in the
// menu after start-up, and station 2 stops at the end of its first reception.
ResultatLiaison essaieliaison(const EssaiLiaison& essai);
