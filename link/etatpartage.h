#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <vector>

// The program's shared state: one per station, alive for the whole run, never saved.
// Start-up gives the settings their values; the menus change them; the routines read
// them. The names are those the routines use.
struct EtatPartage {
    static constexpr int tailleTabmesures = 12802;

    QString typecodage;         // "m", "b", "mr" or "br"
    qint16 numport = 0;         // COM port number typed at start-up
    QByteArray reponsecom;      // last text read from the serial input
    double tensionmesuree = 0;  // volts, last sample of EA0
    double tensionseuil = 0;    // volts, light/dark threshold
    qint16 taillepolice = 0;    // font size of Texte1 and Texte2
    double facteurvitesse = 0;  // multiplier of element durations
    double dureeparmesure = 0;  // seconds per recorded sample
    qint16 nbmesures = 0;       // samples of a fast recording
    QString enregmorseautorise; // "oui" or "non"
    QString enregbinautorise;   // "oui" or "non"
    QString messagerecu;        // text sent, or text decoded by the last reception
    qint16 compteursilence = 0; // consecutive silence units
    QString codebinaire;        // binary frame string
    QString affichagebinaire;   // its display string
    double tempsdepart = 0;     // clock reading at the start of a timed interval
    long bouclesparseconde = 0; // calibration loop passes per second
    std::vector<QByteArray> tabmesures = std::vector<QByteArray>(tailleTabmesures);
    qint16 compteurmesures = 0;   // values stored by the current download
    QByteArray chainemesure;      // characters of the value being received
    QString typefichier;          // "mr" or "br": decoder run by the open chooser
    QString cheminfichier;        // path composed by a chooser
    QString cheminlecture;        // file to decode
    QString cheminenregistrement; // file to write

    // Options of the menu "Options", remembered between runs.
    bool decodagerobuste = false;        // fast decoders on cleaned samples (noisy light)
    bool telechargementparblocs = false; // fast Morse downloads 32 values a request
};

// What the window knows of its station's settings: a copy the station sends it each time
// one changes (the estimate of an emission, the prepared texts, the recording viewer's
// rules and the signal window's threshold read it), since the window never reads the
// state of a station that runs on a thread of its own.
struct CopieEtat {
    QString typecodage;
    qint16 numport = 0;
    double tensionseuil = 0;
    qint16 taillepolice = 0;
    double facteurvitesse = 0;
    double dureeparmesure = 0;
    qint16 nbmesures = 0;
    QString enregmorseautorise;
    QString enregbinautorise;
    bool decodagerobuste = false;
    bool telechargementparblocs = false;

    bool operator==(const CopieEtat&) const = default;
};

inline CopieEtat copieetat(const EtatPartage& e) {
    return {e.typecodage,
            e.numport,
            e.tensionseuil,
            e.taillepolice,
            e.facteurvitesse,
            e.dureeparmesure,
            e.nbmesures,
            e.enregmorseautorise,
            e.enregbinautorise,
            e.decodagerobuste,
            e.telechargementparblocs};
}
