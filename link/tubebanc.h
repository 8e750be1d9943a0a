#pragma once

#include <QList>
#include <QString>

// The light of a simulated bench, from one of its stations: lumicom-sim takes commands one
// a line through the pipe "lumiere" of its ports' folder (LUMICOM_PORTS), and writes the
// light of each photodiode as it stands in the file "etat-lumiere" beside it (sim/README.md).
// The program does not depend on the simulator: it only writes those lines and reads that
// file.

// The folder of the simulated bench whose ports the program opens: LUMICOM_PORTS, when it
// holds the simulator's pipe; empty otherwise (real ports).
QString dossierbanc();
// Whether COM `numport` is a port of that bench.
bool portdubanc(int numport);

// The light on one photodiode of the bench, in volts.
struct LumierePhotodiode {
    int poste = 0;            // the number of its port, 1 for COM1
    double salle = 0.05;      // the room's light
    double laser = 2.95;      // what the laser facing it adds
    double bruit = 0;         // the noise's standard deviation
    double scintillement = 0; // the amplitude of the lamps' 100 Hz ripple
    // "normale" (under the laser), "eclairee" or "sombre" (lit or dark by hand).
    QString photodiode = QStringLiteral("normale");
};

// The light of each photodiode as the simulator last wrote it in `dossier`, in the order
// of the ports; empty when the file cannot be read.
QList<LumierePhotodiode> litlumierebanc(const QString& dossier);

// Gives the simulator of `dossier` one command ("salle 2 1.5"); false with the French
// reason in `erreur` when it cannot take it (the simulator has stopped).
bool commandebanc(const QString& dossier, const QString& commande, QString* erreur = nullptr);
