#pragma once

#include "link/clavierlaser.h"
#include "link/dialogues.h"
#include "link/ecran.h"
#include "link/ecranmemoire.h"
#include "link/etatpartage.h"
#include "link/liaison.h"
#include "link/plateforme.h"
#include "link/sondeinterface.h"
#include "link/tempsreel.h"

#include <atomic>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class FileAppels;
struct BilanTelechargement;

// One station: the shared state, the link to its interface, its sampling timer, its keying,
// and the screen its routines show things on (the main form, a terminal, memory). A test
// may run two stations side by side on one platform. In the program it lives on a thread of
// its own (`FilPoste`): the window reaches it only through `demande`, and learns its
// settings through `Ecran::etatposte`.

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
    // On the station's own thread.
    [[noreturn]] void arrete(int code);
    // Quit, the close box and the stop signals, from the window's thread: `arrete` at the
    // station's next yield; should the station not get there within 0.1 s (a long
    // computation), the laser-off command goes straight to the port and the program ends.
    void demandearret(int code);

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
    // Where the routines show things: the screen attached, memory until one is (and again
    // once it is gone: detaching gives memory back).
    Ecran* ecran = &ecranmemoire_;
    void attache(Ecran& e) {
        ecran = &e;
        etatdejapublie_ = false;
    }
    void detache() { ecran = &ecranmemoire_; }
    Observateurs observateurs;
    // The number the start-up box of the port offers.
    int portpropose = 1;
    // Start-up's search for the interface before the port box, that port tried first, on
    // the station's own platform (the program's: the ports of the machine asked one reading
    // each); none in the tests and the headless tool, where the box offers `portpropose` as
    // it is.
    std::function<ResultatSonde(Plateforme& plateforme, int premier)> sondeinterface;
    // Whether the tick says when the interface stops answering (start-up checks it itself).
    bool surveillanceinterface = false;
    // What weighs each reading of the tick (at its clock reading) while the station waits
    // for messages; none until the idle loop sets one (receive/veilleseuil.h).
    std::function<void(double instant)> veille;
    // What the station is doing that must not be disturbed ("une émission", "une
    // réception"); empty while it waits for a message. Set for its span by `Activite`.
    QString activite;
    // The real-time scheduling the station's thread was granted, or why not.
    PrioriteTempsReel priorite;
    // Asks it for the calling thread (the one that keys and samples), and shows the note
    // when none is granted.
    void demandepriorite();

    // What the window asks of its station (a send button, a menu, a chooser's Ok): run on
    // the station's own thread, at its next yield, when it has one; at once otherwise (the
    // tests and the headless tool run a station and its screen on one thread). The screen
    // then learns the settings as they are (`publieetat`).
    void demande(std::function<void()> requete);
    // A change of settings asked by the window (coding, recording length, speed, interval,
    // options): as `demande`, but during a reception it waits for the reception's end, so
    // that a reception keeps the settings taken at its start from its recording command to
    // its decoding and its save.
    void demandereglage(std::function<void()> requete);
    // The calls that run on the station's own thread; null while the station runs on the
    // thread of its screen.
    void fixecontexte(FileAppels* contexte) { contexte_ = contexte; }
    // Whether the station runs on a thread of its own.
    bool filpropre() const { return contexte_ != nullptr; }
    // Sends the screen the station's settings when they have changed since last sent.
    void publieetat();

private:
    friend class Activite;
    // A reception has ended: the settings asked meanwhile now apply.
    void appliquereglagesdifferes();

    FileAppels* contexte_ = nullptr;
    std::vector<std::function<void()>> reglagesdifferes_;
    CopieEtat etatpublie_;
    bool etatdejapublie_ = false;
    // Set by whichever stops the program first: the station itself, or the window's
    // last resort when the station did not answer in time.
    std::atomic<bool> arretcommence_{false};
    EcranMemoire ecranmemoire_;
    // Says it when the interface stops answering the tick, and when it answers again.
    void surveilleinterface(double maintenant);
    QString avisinterface_;
    bool prioriteretiree_ = false;
    bool perteannoncee_ = false;
};

// Marks what a station is doing for as long as the object lives (an emission, a
// reception), and gives back what it was doing before.
class Activite {
public:
    Activite(Station& s, const QString& quoi) : s_(s), avant_(std::exchange(s.activite, quoi)) {}
    ~Activite() {
        s_.activite = avant_;
        s_.appliquereglagesdifferes();
    }
    Activite(const Activite&) = delete;
    Activite& operator=(const Activite&) = delete;

private:
    Station& s_;
    QString avant_;
};
