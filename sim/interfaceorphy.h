#pragma once

#include "sim/journal.h"
#include "sim/ligneserie.h"
#include "sim/reglages.h"

#include <QByteArray>
#include <QString>
#include <deque>
#include <functional>
#include <limits>
#include <random>
#include <vector>

// The data-acquisition interface as the program uses it, fed by the bytes the program
// writes and answering with bytes that each carry the instant they reach the program.
// Time is data here: the caller says when bytes are written and moves the interface
// from one event to the next; the same model runs in virtual time in tests and in real
// time in lumicom-sim. The rules it assumes are written in sim/README.md.
class InterfaceOrphy {
public:
    // Reading of input EA0 at an instant, 0 to 255.
    using LectureEA0 = std::function<int(double instant)>;

    struct Transition {
        double instant;
        bool allume;
    };

    static constexpr int blocsMaximum = 400; // 12800 samples of memory
    static constexpr int valeursParBloc = 32;

    InterfaceOrphy(QString port, ReglagesInterface reglages, Pannes pannes, LectureEA0 lecture,
                   Journal journal, std::uint64_t graine = 1);

    // Bytes the program writes at `instant`: they go down the line to the interface.
    void ecrit(double instant, const QByteArray& octets);

    // When the next event happens inside the interface (a byte reaches it, or a
    // command written without terminator falls due); infinity when nothing waits.
    double prochainEvenement() const;
    // Handles that next event. The caller handles events of every interface of a
    // bench in time order, so that the light each one reads is already settled.
    void traiteEvenement();
    // Takes the samples of a running recording whose instant has come.
    void enregistreJusqua(double instant);

    // Answer bytes that have reached the program by `instant` (all of them when
    // `maximum` is 0, else at most that many); they are taken off the line.
    QByteArray sortie(double instant, qint64 maximum = 0);
    // When the next answer byte reaches the program; infinity when none is on the way.
    double prochaineSortie() const;
    // Bytes written by the program that have not reached the interface by `instant`.
    qint64 octetsEnChemin(double instant) const;

    bool sb0() const { return sb0_; }
    const std::vector<Transition>& transitionsSB0() const { return transitions_; }
    // Forgets the changes of SB0 older than `instant` (the last one before stays).
    void oublieAvant(double instant);

    // The connection has dropped (fault): nothing goes through until it comes back.
    bool coupee() const { return coupee_; }
    // When a dropped connection comes back; infinity when it stays down.
    double retourConnexion() const { return retour_; }

    // Faults given while the bench runs (lumicom-sim's pipe), from `instant` on; each is
    // noted in the journal. The light of the photodiode is the light path's.
    const Pannes& pannes() const { return pannes_; }
    void rendMuette(double instant);
    void rendCharabia(double instant);
    void retarde(double instant, double secondes);
    // Stops answering "XRESUL" from now on; the line and the other commands stay.
    void bloque(double instant);
    // The next answer stops half-way for `secondes`, then ends; the answers after it come
    // after its end, in order.
    void metEnPause(double instant, double secondes);
    // Sends digits one after the other at the line's pace, without end, until mended.
    void lanceFlot(double instant);
    // The connection drops now, back `retour` seconds later (never when negative);
    // `ailleurs`: it comes back under another device (an adapter plugged back under another
    // number).
    void coupe(double instant, double retour, bool ailleurs = false);
    // Whether the connection, once back, is under another device than before the cut.
    bool retourAilleurs() const { return ailleurs_; }
    // Every fault off; a dropped connection is back at once.
    void repare(double instant);
    const QString& port() const { return port_; }

    // The recording memory: one value per sample, 0 where nothing has been recorded.
    const std::vector<int>& memoire() const { return memoire_; }
    double debutEnregistrement() const { return debut_; }

private:
    struct Octet {
        double instant;
        char valeur;
    };

    void recoitOctet(double instant, char octet);
    void touche(double instant, bool allume);
    void execute(double instant);
    void executeXEA(double instant, const QByteArray& arguments);
    void executeXPEA1(double instant, const QByteArray& arguments);
    void executeXEAP(double instant);
    void executeXRESUL(double instant, const QByteArray& texte, const QByteArray& arguments);
    bool repetitionEnCours(double instant, const QByteArray& texte);
    void repond(double instant, const QByteArray& texte, QByteArray reponse);
    void note(double instant, const QString& mot, const QString& detail = {});
    void retablit(double instant);
    // The digits of the endless stream whose instant has come, put on the line.
    void alimenteFlot(double instant);

    QString port_;
    ReglagesInterface reglages_;
    Pannes pannes_;
    LectureEA0 lecture_;
    Journal journal_;
    std::mt19937_64 hasard_;

    LigneSerie ligneEntree_;
    LigneSerie ligneSortie_;
    std::deque<Octet> entree_;
    std::deque<Octet> sortie_;

    QByteArray commande_; // command text being received
    bool commandeOuverte_ = false;
    double derniereArrivee_ = 0;

    bool sb0_ = false;
    std::vector<Transition> transitions_;

    QByteArray derniereRequete_;
    double finDerniereReponse_ = -1e300;

    int blocs_ = 0;     // blocks of the armed recording; 0 when none was ever armed
    double debut_ = -1; // instant of the first sample; negative while armed, not started
    std::vector<int> memoire_;
    std::size_t enregistres_ = 0;

    int requetesXRESUL_ = 0;
    bool bloquee_ = false;
    bool coupee_ = false;
    double retour_ = std::numeric_limits<double>::infinity();
    bool ailleurs_ = false;
    double debutFlot_ = 0;
    long chiffresFlot_ = 0;
};
