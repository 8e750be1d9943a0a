#pragma once

#include <QString>
#include <QStringList>

// What the sender can know before sending: how long the light of the emission lasts in
// the coding and speed in force, which characters the coding cannot send, and, in a fast
// coding, whether the message outlasts the receiver's recording. Computed from the same
// element durations as the four send routines.
struct EstimationEmission {
    // From the first light of the start mark to the end of the last element of light.
    double duree = 0;
    // Characters of the text that travel as something else (or not at all), each once, in
    // order of appearance: in Morse, those outside the table (blanks and line breaks are
    // word gaps, not listed); in binary, those without a Windows-1252 code, sent as '?'.
    QStringList nontransmis;
    // Fast codings: the message after the start mark, and the recording that holds it.
    double dureemessage = 0; // to the end of its last light
    // To the end of the darkness after its last element or frame that tells the receiver
    // it ended (`ecartfinal`): a recording shorter than that ends it cut, or perhaps cut.
    double dureeattendue = 0;
    double dureeenregistrement = 0;
    bool troplong = false; // the recording ends before `dureeattendue`
};

// `texte` is what Texte1 holds (a predefined sentence travels as its code), `typecodage`
// "m", "b", "mr" or "br", `facteurvitesse` and `nbmesures` as the menus set them.
EstimationEmission estimeemission(const QString& texte, const QString& typecodage,
                                  double facteurvitesse, int nbmesures);

// The line the status bar shows: "Durée d'émission : 19 s", then in red what will go
// wrong (rich text).
QString ligneestimation(const EstimationEmission& estimation, const QString& typecodage);

// A duration as the status bar writes it: "8,3 s", "19 s", "4 min 05 s", "2 h 38 min".
QString dureelisible(double secondes);
