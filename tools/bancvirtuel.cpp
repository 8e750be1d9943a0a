#include "tools/bancvirtuel.h"

#include "receive/form_load.h"
#include "sim/transportsimule.h"

#include <limits>

namespace {

// Unwinds a station's routines when the exchange has seen what it needs.
struct ArretBanc {};

std::unique_ptr<Station> creeStation(BancVirtuel::Poste& poste, Banc& banc) {
    PlateformeVirtuelle& plateforme = poste.plateforme;
    auto station =
        std::make_unique<Station>(plateforme, poste.dialogues, [&banc, &plateforme](int n) {
            OuverturePort ouverture;
            if (n < 1 || n > banc.nombreInterfaces())
                ouverture.erreur = QStringLiteral("COM%1 n'existe pas sur le banc simulé").arg(n);
            else
                ouverture.transport = std::make_unique<TransportSimule>(
                    banc, n - 1, [&plateforme] { return plateforme.maintenant(); });
            return ouverture;
        });
    station->attache(poste.ecran);
    return station;
}

} // namespace

BancVirtuel::BancVirtuel(const ReglagesBanc& reglages)
    : banc(reglages, [this](const EvenementJournal& e) { journal << ligneJournal(e); }) {
    emetteur.station = creeStation(emetteur, banc);
    recepteur.station = creeStation(recepteur, banc);
}

void BancVirtuel::demarre(Poste& poste, int numport, const Echange& echange, double arret,
                          std::function<void()> action) {
    // The coding, the port, the wiring checklist, no receiver test, the threshold
    // warning.
    poste.dialogues.jusquAuBranchement(echange.morse, QString::number(numport)).annuler().ok();
    Station& station = *poste.station;
    if (echange.preparation)
        poste.plateforme.programme(echange.debutPreparation,
                                   [&station, &echange] { echange.preparation(station); });
    poste.plateforme.programme(arret, [action = std::move(action)] {
        if (action)
            action();
        throw ArretBanc{};
    });
    try {
        Form_Load(station);
    } catch (const ArretBanc&) {
    }
}

void BancVirtuel::arreteBientot(Poste& poste) {
    poste.plateforme.programme(poste.plateforme.maintenant(), [] { throw ArretBanc{}; });
}

BancVirtuel::Resultat BancVirtuel::echange(const Echange& echange) {
    Resultat resultat;
    demarre(emetteur, 1, echange, echange.debutEnvoi, [&] {
        if (echange.envoi)
            echange.envoi(*emetteur.station);
        resultat.finEnvoi = emetteur.plateforme.maintenant();
    });
    // Let the last bytes of station 1 reach its interface before station 2 looks.
    banc.avanceJusqua(resultat.finEnvoi + 1.0);
    resultat.transitions = banc.interface(0).transitionsSB0();

    demarre(recepteur, 2, echange, resultat.finEnvoi + echange.attenteApres, {});
    const Station& s = *recepteur.station;
    resultat.texte1 = s.ecran->texte(Ecran::Controle::Texte1);
    resultat.texte2 = s.ecran->texte(Ecran::Controle::Texte2);
    resultat.messagerecu = s.etat.messagerecu;
    resultat.codebinaire = s.etat.codebinaire;
    resultat.affichagebinaire = s.etat.affichagebinaire;
    return resultat;
}
