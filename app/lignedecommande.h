#pragma once

#include <QString>
#include <QStringList>

// The program's command line. As designed, the fast codings and the recordings are out
// of reach: their two submenus are disabled. `--codages-rapides` opens them for one run,
// as the item "Codages rapides" of the menu "Options" does for good.
struct LigneDeCommande {
    bool codagesRapides = false;
    // The station's number on a bench of several windows on one screen (`--poste N`): its
    // windows carry "Poste N — COMN" after their titles, stand in their own part of the
    // screen, and the port box offers N. 0 for a plain start.
    int poste = 0;
    // Set when the program must stop at once: the help or the version was asked for (code
    // 0) or the line is wrong (code 2). `message` is what to print, in French.
    bool arret = false;
    int code = 0;
    QString message;
};

// Reads the arguments that follow the program's name (Qt's own options already taken
// out by the application object).
LigneDeCommande litlignedecommande(const QStringList& arguments);

QString aideprogramme();
// "lumicom 0.1.0" and a line feed: the program's name and the project's version.
QString ligneversion();
