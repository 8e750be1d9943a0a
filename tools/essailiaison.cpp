#include "tools/essailiaison.h"

#include "emit/btonenvoibinrap.h"
#include "emit/btonenvoiebinaire.h"
#include "emit/btonenvoiemorse.h"
#include "emit/btonenvoimorserapide.h"
#include "emit/estimationemission.h"
#include "link/station.h"
#include "receive/telechargement.h"
#include "tools/bancvirtuel.h"

#include <QObject>
#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

bool choisitcodagerapide(Station& s, const QString& typecodage, int nbmesures) {
    if (typecodage != u"mr" && typecodage != u"br")
        return false;
    choisitcodagerapideposte(s, typecodage == u"mr", nbmesures == 12800);
    return true;
}

double dureelumieremessage(const std::vector<InterfaceOrphy::Transition>& transitions,
                           const QString& codage) {
    // Changes before the message: the start mark's two, and the opening's, the letter c
    // (four flashes) or three flashes; after it, the slow end mark's two.
    const std::size_t avant = codage == u"mr" ? 10 : codage == u"br" ? 8 : 2;
    const std::size_t apres = codage.size() == 2 ? 0 : 2;
    if (transitions.size() < avant + apres + 2)
        return 0;
    return transitions[transitions.size() - 1 - apres].instant - transitions[avant].instant;
}

std::pair<double, double> fenetreparasites(const EssaiLiaison& essai) {
    const double f = essai.vitesse ? essai.vitesse->facteurvitesse : 1.0;
    const EstimationEmission e = estimeemission(essai.texte, essai.codage, f, essai.nbmesures);
    // The fast emitters' start mark lasts 1 s.
    if (essai.codage.size() == 2)
        return {1.0, 1.0 + e.dureeattendue};
    return {0.0, e.duree};
}

ResultatLiaison essaieliaison(const EssaiLiaison& essai) {
    ReglagesBanc reglages;
    reglages.lumiere = essai.lumiere;
    if (essai.lumiere.parasites > 0 && essai.lumiere.finParasites <= essai.lumiere.debutParasites)
        std::tie(reglages.lumiere.debutParasites, reglages.lumiere.finParasites) =
            fenetreparasites(essai);
    BancVirtuel banc(reglages);

    // The receiving station's Morse code string lives only inside its reception routine,
    // which shows it in Texte1 at every symbol and empties Texte1 when the text is shown:
    // the last non-empty text of Texte1 during a reception is the whole code string.
    const bool morse = essai.codage.startsWith(u'm');
    const bool codagerapide = essai.codage.size() == 2;
    ResultatLiaison resultat;
    bool enReception = false;
    QString code;
    Station& recepteur = *banc.recepteur.station;
    recepteur.observateurs.debutReception = [&] {
        enReception = true;
        code.clear();
    };
    recepteur.observateurs.finReception = [&] {
        enReception = false;
        if (resultat.receptions++ > 0)
            return;
        resultat.code = morse ? code : recepteur.etat.codebinaire;
        resultat.texte2 = recepteur.ecran->texte(Ecran::Controle::Texte2);
        resultat.messagerecu = recepteur.etat.messagerecu;
        if (codagerapide) {
            resultat.tabmesures = recepteur.etat.tabmesures;
            resultat.nbmesures = recepteur.etat.nbmesures;
            resultat.tensionseuil = recepteur.etat.tensionseuil;
            // Nothing more to see: the emitter has no end mark to start a second one.
            banc.arreteBientot(banc.recepteur);
        }
    };
    bool debitvu = false;
    banc.recepteur.ecran.surDebit = [&](const DebitMessage& debit) {
        if (!std::exchange(debitvu, true))
            resultat.debitrecu = debit;
    };
    recepteur.observateurs.finTelechargement = [&](const BilanTelechargement& bilan) {
        resultat.telechargementInterrompu = bilan.interrompu;
    };
    banc.recepteur.ecran.surTexte = [&](Ecran::Controle controle, const QString& texte) {
        // The fast Morse reception ends by showing the letters it read after this prefix:
        // the code string is the text shown before.
        if (controle == Ecran::Controle::Texte1 && enReception && !texte.isEmpty() &&
            !texte.startsWith(u"code morse reçu : "))
            code = texte;
    };

    const int intervalle = essai.intervalle != 0 ? essai.intervalle : (morse ? 50 : 30);
    BancVirtuel::Echange echange;
    echange.morse = morse;
    const Station* emetteur = banc.emetteur.station.get();
    echange.preparation = [&essai, intervalle, emetteur, codagerapide](Station& s) {
        s.etat.decodagerobuste = essai.robuste;
        s.etat.telechargementparblocs = essai.blocs;
        choisitcodagerapide(s, essai.codage, essai.nbmesures);
        if (essai.vitesse)
            choisitvitesseposte(s, *essai.vitesse);
        // The fast codings disable the interval items and sample every 30 ms.
        if (!codagerapide)
            s.Minuterie->setInterval(intervalle);
        if (&s == emetteur)
            s.ecran->fixetexte(Ecran::Controle::Texte1, essai.texte);
    };
    if (essai.codage == u"mr")
        echange.envoi = Btonenvoi_morserapide_Click;
    else if (essai.codage == u"br")
        echange.envoi = Btonenvoi_binrap_Click;
    else
        echange.envoi = morse ? Btonenvoiemorse_Click : Btonenvoiebinaire_Click;
    // Long enough after the emission for a reception that missed the end mark to end on
    // the silence limit: 7 units of darkness (1.2 f in Morse, f in binary), f at most 10/9.
    // A fast reception downloads its samples after the emission: up to two minutes and a
    // half for the 6368 values of Morse asked for one by one, a little more if the
    // interface falls silent; the run stops as soon as it ends.
    echange.attenteApres = codagerapide ? 300.0 : 12.0;
    echange.debutEnvoi = essai.debutEnvoi;
    const BancVirtuel::Resultat r = banc.echange(echange);
    // The stations outlive the locals the observers write to.
    banc.recepteur.ecran.surTexte = nullptr;
    banc.recepteur.ecran.surDebit = nullptr;
    recepteur.observateurs = {};
    resultat.debitemis = banc.emetteur.ecran.debit_;
    resultat.transitions = r.transitions;

    resultat.enCours = enReception;
    if (resultat.receptions == 0) {
        resultat.code = morse ? code : r.codebinaire;
        resultat.texte2 = r.texte2;
        resultat.messagerecu = r.messagerecu;
    }
    return resultat;
}
