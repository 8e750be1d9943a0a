#pragma once

#include "sim/reglages.h"

#include <QString>
#include <QStringList>

// The command line of lumicom-sim, read into the settings of the bench. Kept apart from
// the pseudo-terminals so that every option and every refusal can be checked in a test.

struct OptionsSimulateur {
    ReglagesBanc banc;
    QString dossier; // where the COMn links go; empty: dossierParDefaut()
    QString journal; // log file; empty: journal.txt in the ports directory; "-": stdout
    // Past this many bytes the journal file starts afresh, the previous part kept beside it
    // as FICHIER.1 (0: no limit).
    qint64 journalmax = 10 * 1000 * 1000;
};

struct LectureOptions {
    enum class Issue { Lancer, Aide, Version, Erreur };
    Issue issue = Issue::Erreur;
    OptionsSimulateur options;
    QString message; // the help text for Aide, "lumicom-sim 0.1.0" for Version, a French
                     // error for Erreur
};

// `arguments` as the program receives them, its own name first.
LectureOptions lisOptions(const QStringList& arguments);

// $XDG_RUNTIME_DIR/lumicom-sim when the variable is set, else /tmp/lumicom-sim-<uid>.
QString dossierParDefaut();

// The full help of lumicom-sim, in French, with the default of every setting.
QString texteAideSimulateur();
