#pragma once

#include "link/ecranmemoire.h"
#include "link/plateformevirtuelle.h"
#include "link/station.h"
#include "sim/banc.h"
#include "tools/dialoguesscriptes.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// Two stations of the program on a simulated bench, in virtual time: station 1 (COM1)
// sends, station 2 (COM2) receives. Each runs the program's own start-up (the boxes
// answered with the coding, its port number and no receiver test) and then its idle
// loop, over its own port of the bench.
//
// Nothing that station 2 does reaches station 1: its laser stays dark while it
// receives, and station 1 reads nothing from it. So the exchange runs station 1 first,
// from start-up to the end of its send routine, then station 2 from start-up on the
// same time line: at each instant station 2's photodiode sees station 1's laser as it
// was at that instant.
class BancVirtuel {
public:
    struct Poste {
        PlateformeVirtuelle plateforme;
        DialoguesScriptes dialogues;
        // What the station shows; a test may attach a window of its own instead.
        EcranMemoire ecran;
        std::unique_ptr<Station> station;
    };

    struct Echange {
        bool morse = true; // the coding chosen at start-up, on both stations
        // Runs on each station at `debutPreparation`, its window up (menus, texts).
        std::function<void(Station&)> preparation;
        // Station 1's send handler, run like a click at `debutEnvoi`.
        std::function<void(Station&)> envoi;
        double debutPreparation = 1.5;
        double debutEnvoi = 2.0;
        // How long station 2 goes on after the end of the emission.
        double attenteApres = 3.0;
    };

    struct Resultat {
        std::vector<InterfaceOrphy::Transition> transitions; // SB0 of station 1
        double finEnvoi = 0;
        // Station 2 at the end: its two text boxes and the texts of its last reception.
        QString texte1, texte2;
        QString messagerecu, codebinaire, affichagebinaire;
    };

    explicit BancVirtuel(const ReglagesBanc& reglages = {});

    Resultat echange(const Echange& echange);

    // Ends the run of `poste` at its next yield, as if its time were up.
    void arreteBientot(Poste& poste);

    Banc banc;
    Poste emetteur;
    Poste recepteur;
    QStringList journal; // every event of the bench, one line each

private:
    void demarre(Poste& poste, int numport, const Echange& echange, double arret,
                 std::function<void()> action);
};
