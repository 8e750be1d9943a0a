#pragma once

#include "link/etatpartage.h"
#include "link/plateforme.h"

#include <QString>

class Station;

// The light as the slow receivers see it in the last sample of EA0. Both comparisons
// are strict: a sample equal to the threshold is neither lit nor dark.
inline bool lumiereallumee(const EtatPartage& e) {
    return e.tensionmesuree > e.tensionseuil;
}
inline bool lumiereeteinte(const EtatPartage& e) {
    return e.tensionmesuree < e.tensionseuil;
}

// A yield inside a wait that also watches the clock: it comes back in time for
// `echeance` while that is ahead, and otherwise sleeps until the next event (the next
// sample), as a wait on the light alone does.
inline void cedeavant(Plateforme& p, double echeance) {
    if (echeance > p.horloge())
        p.cede(echeance);
    else
        p.cede();
}

// The light as the slow receivers follow it, tick after tick, a glitch of one reading set
// aside: a reading on the other side of the threshold (a flash in the darkness, a dip in the
// light: a phone's light crossing the beam, two keying commands delivered together) changes
// the light only when the next reading agrees with it, and the change is then dated from the
// first of the two. Alone between two readings of the light in force, it is ignored. A
// reading equal to the threshold is neither light nor darkness, a third state.
// This holds while the shortest element of the coding, shortened by the stall of a busy
// emitter (`arretemetteur`), still lasts two ticks, so that each element is read twice at
// least: at higher speeds, or with longer ticks, every reading counts, a glitch being no
// shorter than an element can come (slow Morse from x 2, a dot of 150 ms; slow binary at
// x 3 on ticks of 50 ms, at x 4 on ticks of 30 ms).
inline constexpr double arretemetteur = 0.1;

class SuiviLumiere {
public:
    explicit SuiviLumiere(Station& s);

    // The shortest element of light or darkness the emitter keys, in seconds; none by
    // default (a start mark of 0.5 s at least).
    void fixeelementminimal(double secondes) { elementminimal_ = secondes; }

    // Lets the events run, back in time for `echeance` when it is ahead (as `cedeavant`),
    // then takes in the tick's reading if a new one has come.
    void cede(double echeance = 0);

    bool allumee() const { return etat_ == Etat::allumee; }
    bool eteinte() const { return etat_ == Etat::eteinte; }
    // When the light in force began: the clock when its first reading was taken in.
    double depuis() const { return depuis_; }
    // Up to when the light in force is known to have lasted: now, or, while a reading that
    // differs waits for the next one, when that reading came.
    double connuejusqua() const;
    // Lets the events run until a reading that differs, waiting for the next one, has
    // changed the light or been set aside (at once when none waits).
    void tranche();

    Station& station() const { return s_; }

private:
    enum class Etat { allumee, eteinte, seuil };
    Etat etatde(double tension) const;
    void prend();

    Station& s_;
    double elementminimal_ = 1e9;
    Etat etat_;
    double depuis_;
    // A reading that differs from the light in force, waiting for the next one.
    bool attente_ = false;
    Etat candidat_ = Etat::seuil;
    double debutcandidat_ = 0;
    double derniere_; // when the request of the last reading taken in was written
};

// One pass of the wait for a start mark, while the coding stays `typecodage`: lets the
// events run, then, if the light is on, follows it while it lasts, a glitch of one reading
// set aside (`SuiviLumiere`). True when it lasted at least `duree` seconds: a message starts,
// and `lumiere` is in the darkness after the mark. Otherwise the silence count goes back to
// 0. `t1` is the routine's own reading, kept from one pass to the next: a pass that finds
// the light off compares an older reading with a newer start, and starts nothing.
bool marquededebut(SuiviLumiere& lumiere, const QString& typecodage, double duree, double& t1);

// What a slow reception adds to the text when it ends after 7 units of darkness: the light
// stopped coming in the middle of a message. The interface itself still answers (a silent
// interface is said apart), so the text says what can stop the light.
inline const QString texteinterruption = QStringLiteral(
    "réception interrompue automatiquement (plus de lumière depuis 7 unités : l'émission "
    "s'est arrêtée, le faisceau a été coupé, ou les deux postes n'ont pas la même vitesse) ");

// What a slow reception adds when the light between its start and end marks formed no
// character, blanks aside: a lamp or the room's light on the photodiode taken for the
// marks, the beam cut during the message.
inline const QString texteaucuncaractere = QStringLiteral(
    "aucun caractère reçu : la lumière n'a formé aucun caractère entre les marques de début "
    "et de fin (une lampe ou la lumière de la salle sur la photodiode, le faisceau coupé, ou "
    "les deux postes n'ont pas la même vitesse) ");

// What a slow reception adds to the text when the port goes away in the middle of it.
inline const QString texteliaisonperdue =
    QStringLiteral("réception abandonnée : la liaison avec l'interface a été perdue ");
