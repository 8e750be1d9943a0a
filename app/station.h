#pragma once

#include "app/dialogues.h"
#include "app/etatpartage.h"
#include "app/plateforme.h"
#include "emit/maintientlaser.h"
#include "link/liaison.h"
#include "link/tempsreel.h"

#include <functional>
#include <memory>

class Feuillelumivox1;
struct BilanTelechargement;

// One station: the shared state, the link to its interface, its sampling timer and its
// main form. A test may run two stations side by side on one platform.
class Station {
public:
    Station(Plateforme& plateforme, Dialogues& dialogues, FabriqueTransport fabrique);
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // The tick handler: one sample of EA0, and a watch on the interface's answers.
    void Minuterie_Timer();
    // The port has gone away (a cable pulled, an adapter unplugged): the tick stops and the
    // user is told, once, without stopping the program. The routine in progress sees
    // `liaisonperdue()` and ends; the idle loop then waits for the port to come back
    // (`attenteretourliaison`).
    void notelaperte();
    bool liaisonperdue() const { return liaison.perdu(); }
    // The port is open again: the notice goes.
    void noteleretour();
    // Ends the program at once, abandoning every routine in progress: the laser off and
    // the port closed first (the laser-off command on the line before the port closes).
    [[noreturn]] void arrete(int code);

    // Who wants to know when a reception starts and when its text is shown (the
    // headless tool, the tests); the window itself needs neither.
    struct Observateurs {
        std::function<void()> debutReception;
        std::function<void()> finReception; // messagerecu holds the text shown
        // A fast reception has downloaded its samples.
        std::function<void(const BilanTelechargement&)> finTelechargement;
        // The interface has stopped answering the tick (the French message that says so
        // and what to check), or answers again (an empty message).
        std::function<void(const QString&)> avisInterface;
        // The port has gone away (the French message), and come back.
        std::function<void(const QString&)> liaisonPerdue;
        std::function<void()> liaisonRetablie;
    };

    Plateforme& plateforme;
    Dialogues& dialogues;
    EtatPartage etat;
    Liaison liaison;
    ClavierLaser clavier;
    std::unique_ptr<Minuteur> Minuterie;
    std::unique_ptr<Feuillelumivox1> feuille;
    Observateurs observateurs;
    // The number the start-up box of the port offers.
    int portpropose = 1;
    // Whether the tick says when the interface stops answering (start-up checks it itself).
    bool surveillanceinterface = false;
    // The real-time scheduling the station's thread was granted, or why not.
    PrioriteTempsReel priorite;
    // Asks it for the calling thread (the one that keys and samples), and shows the note
    // when none is granted.
    void demandepriorite();

private:
    // Says it when the interface stops answering the tick, and when it answers again.
    void surveilleinterface(double maintenant);
    QString avisinterface_;
    bool prioriteretiree_ = false;
    bool perteannoncee_ = false;
};
