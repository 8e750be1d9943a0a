#include "receive/mesureseuil.h"

#include "codes/formats.h"
#include "link/station.h"
#include "receive/boucledereception.h"

namespace {

using Boutons = Dialogues::Boutons;
using Reponse = Dialogues::Reponse;

const QString titreseuilimpossible = QStringLiteral("Mesure de la tension seuil");

// Lets more than one second pass, the events (and so the tick) running meanwhile.
void attendplusduneseconde(Station& s) {
    const double debut = s.plateforme.horloge();
    do {
        s.plateforme.cede(debut + 1.0);
    } while (s.plateforme.horloge() - debut <= 1.0 && !s.liaisonperdue());
}

// Whether the threshold can be measured now; if not, a box says why.
bool seuilmesurable(Station& s) {
    QString raison;
    if (!s.activite.isEmpty())
        raison = QStringLiteral("La tension seuil ne peut pas être mesurée maintenant : %1 est en "
                                "cours sur ce poste. Recommencez quand elle sera finie.")
                     .arg(s.activite);
    else if (s.liaisonperdue())
        raison = QStringLiteral("La tension seuil ne peut pas être mesurée maintenant : la "
                                "liaison avec l'interface est perdue. Recommencez quand elle "
                                "sera rétablie.");
    if (raison.isEmpty())
        return true;
    s.dialogues.boiteMessage(raison, Boutons::Ok, titreseuilimpossible);
    return false;
}

} // namespace

bool attendunemesure(Station& s, const QString& annuler) {
    for (;;) {
        if (s.liaisonperdue())
            attenteretourliaison(s);
        const double debut = s.plateforme.horloge();
        attendplusduneseconde(s);
        if (s.liaisonperdue())
            continue;
        if (s.liaison.echantillonneur().derniereLecture() >= debut)
            return true;
        if (s.dialogues.boiteMessage(
                s.liaison.avisinterface(s.plateforme.horloge()) + QStringLiteral("\n\n") +
                    QStringLiteral("La tension n'a pas pu être mesurée. Cliquer OK pour la "
                                   "mesurer à nouveau, ") +
                    annuler,
                Boutons::OkAnnuler, QStringLiteral("L'interface ne répond pas")) != Reponse::Ok)
            return false;
    }
}

QString invitemesureseuil(bool anouveau) {
    const QString LF = QStringLiteral("\n");
    return anouveau
               ? QStringLiteral("La tension seuil va être mesurée à nouveau sur ce poste (si "
                                "récepteur)") +
                     LF + LF +
                     QStringLiteral("SI CE POSTE EST RECEPTEUR : VERIFIER QUE LA PHOTODIODE (OU LE "
                                    "PHOTOTRANSISTOR) N'EST PAS ECLAIREE PAR LE LASER DE L'AUTRE "
                                    "POSTE EMETTEUR AVANT DE CONTINUER")
               : QStringLiteral("La tension seuil va être mesurée sur ce poste (si récepteur)") +
                     LF + LF +
                     QStringLiteral("SI CE POSTE EST RECEPTEUR :VERIFIER QUE LA PHOTODIODE (OU LE "
                                    "PHOTOTRANSISTOR) N'EST PAS ECLAIREE PAR LE LASER DE L'AUTRE "
                                    "POSTE EMETTEUR AVANT DE CONTINUER");
}

void mesureanouveauseuil(Station& s) {
    if (!seuilmesurable(s))
        return;
    if (s.dialogues.boiteMessage(invitemesureseuil(true), Boutons::OkAnnuler, titremesureseuil) !=
        Reponse::Ok)
        return;
    mesureseuilmaintenant(s);
}

void mesureseuilmaintenant(Station& s) {
    if (!seuilmesurable(s))
        return;
    const Activite activite(s, QStringLiteral("une mesure de la tension seuil"));
    EtatPartage& e = s.etat;
    // The tick runs while the station waits; a measurement asked for from elsewhere has it
    // run for its span.
    const bool tic = s.Minuterie->enabled();
    s.Minuterie->setEnabled(true);
    const bool mesuree =
        attendunemesure(s, QStringLiteral("Annuler pour garder la tension seuil de ") +
                               formattension(e.tensionseuil) + QStringLiteral(" V."));
    s.Minuterie->setEnabled(tic);
    if (!mesuree)
        return;
    e.tensionseuil = e.tensionmesuree + 0.5;
    s.dialogues.boiteMessage(
        QStringLiteral("La tension Useuil = tension mesurée ") + formattension(e.tensionmesuree) +
            QStringLiteral(" V + 0,5 V = ") + formattension(e.tensionseuil) + QStringLiteral(" V "),
        Boutons::Ok, QStringLiteral(" Résultat de mesure de la tension seuil "));
}
