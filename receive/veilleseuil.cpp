#include "receive/veilleseuil.h"

#include "codes/formats.h"
#include "link/station.h"
#include "receive/mesureseuil.h"

#include <memory>

bool VeilleSeuil::lecture(double instant, double volts, double tensionseuil) {
    const double obscurite = tensionseuil - 0.5;
    if (!(obscurite - volts > ecart)) {
        oublie();
        return false;
    }
    if (depuis_ < 0)
        depuis_ = instant;
    if (dit_ || instant - depuis_ < duree)
        return false;
    dit_ = true;
    return true;
}

QString avisseuilmesureeclaire(double volts, double obscurite) {
    return QStringLiteral("Depuis %1 s, la photodiode reçoit bien moins de lumière que lorsque la "
                          "tension seuil a été mesurée : la tension lue, %2 V, est à plus de "
                          "0,5 V sous la tension mesurée alors comme celle de l'obscurité, %3 V. "
                          "La tension seuil a sans doute été mesurée pendant que la photodiode "
                          "était éclairée (le laser de l'autre poste allumé, une lampe) : ce poste "
                          "ne verra pas la lumière d'un message.\n\n"
                          "Mesurer à nouveau la tension seuil maintenant ? Éteindre d'abord le "
                          "laser de l'autre poste et ne laisser aucune lumière sur la photodiode, "
                          "puis cliquer Oui. (L'article « Mesurer à nouveau la tension seuil » du "
                          "menu Options le fait aussi à tout moment.)")
        .arg(int(VeilleSeuil::duree))
        .arg(formattension(volts), formattension(obscurite));
}

namespace {

// The watch of one station: the rule, and the offer made once the tick has returned (a box
// inside the tick would hold it, and the measurement needs its readings).
struct Veille {
    VeilleSeuil regle;
    std::unique_ptr<Minuteur> offre;
    double volts = 0;
};

void offremesure(Station& s, Veille& v) {
    v.offre->setEnabled(false);
    // Busy, or the port gone: the readings will tell again once the station waits.
    if (!s.activite.isEmpty() || s.liaisonperdue()) {
        v.regle.oublie();
        return;
    }
    if (s.dialogues.boiteMessage(avisseuilmesureeclaire(v.volts, s.etat.tensionseuil - 0.5),
                                 Dialogues::Boutons::OuiNon,
                                 titreseuilmesureeclaire) == Dialogues::Reponse::Ok)
        mesureseuilmaintenant(s);
}

} // namespace

void veillesurleseuil(Station& s) {
    if (s.veille)
        return;
    auto v = std::make_shared<Veille>();
    v->offre = s.plateforme.creeMinuteur();
    v->offre->setInterval(1);
    // The timer belongs to the watch: it never runs once the watch has gone.
    Veille* brut = v.get();
    v->offre->setMinuterie_Timer([&s, brut] { offremesure(s, *brut); });
    s.veille = [&s, v](double instant) {
        if (v->regle.lecture(instant, s.etat.tensionmesuree, s.etat.tensionseuil)) {
            v->volts = s.etat.tensionmesuree;
            v->offre->setEnabled(true);
        }
    };
}
