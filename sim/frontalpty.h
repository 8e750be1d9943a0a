#pragma once

#include "sim/banc.h"
#include "sim/commandeslumiere.h"
#include "sim/journal.h"
#include "sim/reglages.h"

#include <QByteArray>
#include <QString>
#include <csignal>
#include <vector>

// The simulated bench in real time, over pseudo-terminals: one per interface, published
// as a link DOSSIER/COMn that lumicom opens like a serial port. The bench's clock is the
// monotonic clock of the system in seconds, so the instants of the journal compare with
// those of any other program. One thread waits in ppoll() for bytes from the programs or
// for the bench's next event, whichever comes first; the bench paces the answer bytes at
// 9600 bauds and each is written to its port when it falls due.
class FrontalPseudoTerminaux {
public:
    struct Port {
        QString nom;     // "COM1"
        QString esclave; // the side the program opens, "/dev/pts/5"
        QString lien;    // DOSSIER/COM1
        int maitre = -1; // -1 once the port is withdrawn
        int esclaveGarde = -1;
        QByteArray enAttente; // answer bytes due that the pseudo-terminal has not taken yet
        bool bloque = false;  // the last write was refused: retry on a timer
        qint64 jetes = 0;     // answer bytes dropped since the program stopped reading
        bool coupe = false;   // withdrawn by a dropped connection: published again on its return
    };

    FrontalPseudoTerminaux(const ReglagesBanc& reglages, Journal journal);
    // Withdraws the ports still published.
    ~FrontalPseudoTerminaux();
    FrontalPseudoTerminaux(const FrontalPseudoTerminaux&) = delete;
    FrontalPseudoTerminaux& operator=(const FrontalPseudoTerminaux&) = delete;

    // Opens a pseudo-terminal per interface and publishes it in `dossier`, replacing the
    // COMn links left there by an earlier run, with the pipe of the light by hand beside
    // them (`CommandesLumiere`). False with a French message on failure.
    bool publiePorts(const QString& dossier, QString& erreur);
    const std::vector<Port>& ports() const { return ports_; }

    // Serves the ports until `arret` becomes true. Signals are blocked outside the wait
    // and `masqueAttente` is the mask during it, so a stop request cannot slip in between
    // the test of `arret` and the wait.
    void tourne(const volatile std::sig_atomic_t& arret, const sigset_t& masqueAttente);

    // Closes every port and removes its link.
    void retirePorts(const QString& raison);

    // The bench's clock: CLOCK_MONOTONIC in seconds.
    static double horloge();

private:
    // A new pseudo-terminal for `port`, raw at 9600 bauds; false with a French message.
    static bool ouvrePseudoTerminal(Port& port, QString& erreur);
    // `ailleurs`: under another pseudo-terminal than the one before the cut.
    void republie(Port& port, double instant, bool ailleurs);
    void retire(Port& port, double instant, const QString& raison);
    void lisProgramme(Port& port, int station);
    void ajouteReponse(Port& port, const QByteArray& octets, double instant);
    void ecritEnAttente(Port& port, double instant);
    void note(double instant, const QString& port, const QString& mot, const QString& detail);

    Journal journal_;
    Banc banc_;
    std::vector<Port> ports_;
    CommandesLumiere commandes_;
};
