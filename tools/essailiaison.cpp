#include "tools/essailiaison.h"

#include "app/feuillelumivox1.h"
#include "app/station.h"
#include "emit/btonenvoibinrap.h"
#include "emit/btonenvoiebinaire.h"
#include "emit/btonenvoiemorse.h"
#include "emit/btonenvoimorserapide.h"
#include "receive/telechargement.h"
#include "tools/bancvirtuel.h"

#include <QObject>
#include <QPlainTextEdit>
#include <algorithm>
#include <cmath>

const std::array<ArticleVitesse, 11> articlesVitesse = {{
    {"0.9", 0.9, &Feuillelumivox1::menu_vit_emission09_Click},
    {"0.925", 0.925, &Feuillelumivox1::menu_vit_emission0925_Click},
    {"0.95", 0.95, &Feuillelumivox1::menu_vit_emission095_Click},
    {"0.975", 0.975, &Feuillelumivox1::menu_vit_emission0975_Click},
    {"1", 1, &Feuillelumivox1::menu_vit_emission1_Click},
    {"1.1", 1.1, &Feuillelumivox1::menu_vit_emission11_Click},
    {"1.2", 1.2, &Feuillelumivox1::menu_vit_emission12_Click},
    {"1.3", 1.3, &Feuillelumivox1::menu_vit_emission13_Click},
    {"2", 2, &Feuillelumivox1::menu_vit_emission2_Click},
    {"3", 3, &Feuillelumivox1::menu_vit_emission3_Click},
    {"4", 4, &Feuillelumivox1::menu_vit_emission4_Click},
}};

const ArticleVitesse* articleVitesse(const QString& k) {
    QString texte = k.trimmed();
    texte.replace(u',', u'.');
    bool nombre = false;
    const double valeur = texte.toDouble(&nombre);
    if (!nombre)
        return nullptr;
    const auto article = std::find_if(
        articlesVitesse.begin(), articlesVitesse.end(),
        [valeur](const ArticleVitesse& a) { return std::abs(a.valeur - valeur) < 1e-9; });
    return article == articlesVitesse.end() ? nullptr : &*article;
}

ArticleCodage articleCodageRapide(const QString& typecodage, int nbmesures) {
    const bool long_ = nbmesures == 12800;
    if (typecodage == u"mr")
        return long_ ? &Feuillelumivox1::menu_morserap_34s_Click
                     : &Feuillelumivox1::menu_morserap_17s_Click;
    if (typecodage == u"br")
        return long_ ? &Feuillelumivox1::menu_binairerapide_33s_Click
                     : &Feuillelumivox1::menu_binairerap_17s_Click;
    return nullptr;
}

ResultatLiaison essaieliaison(const EssaiLiaison& essai) {
    ReglagesBanc reglages;
    reglages.lumiere = essai.lumiere;
    BancVirtuel banc(reglages);

    // The receiving station's Morse code string lives only inside its reception routine,
    // which shows it in Texte1 at every symbol and empties Texte1 when the text is shown:
    // the last non-empty text of Texte1 during a reception is the whole code string.
    const bool morse = essai.codage.startsWith(u'm');
    const ArticleCodage codagerapide = articleCodageRapide(essai.codage, essai.nbmesures);
    ResultatLiaison resultat;
    bool enReception = false;
    QString code;
    Station& recepteur = *banc.recepteur.station;
    QPlainTextEdit* texte1 = recepteur.feuille->Texte1;
    recepteur.observateurs.debutReception = [&] {
        enReception = true;
        code.clear();
    };
    recepteur.observateurs.finReception = [&] {
        enReception = false;
        if (resultat.receptions++ > 0)
            return;
        resultat.code = morse ? code : recepteur.etat.codebinaire;
        resultat.texte2 = recepteur.feuille->Texte2->toPlainText();
        resultat.messagerecu = recepteur.etat.messagerecu;
        if (codagerapide) {
            resultat.tabmesures = recepteur.etat.tabmesures;
            resultat.nbmesures = recepteur.etat.nbmesures;
            resultat.tensionseuil = recepteur.etat.tensionseuil;
            // Nothing more to see: the emitter has no end mark to start a second one.
            banc.arreteBientot(banc.recepteur);
        }
    };
    recepteur.observateurs.finTelechargement = [&](const BilanTelechargement& bilan) {
        resultat.telechargementInterrompu = bilan.interrompu;
    };
    const QMetaObject::Connection suivi =
        QObject::connect(texte1, &QPlainTextEdit::textChanged, texte1, [&] {
            // The fast Morse reception ends by showing the letters it read after this
            // prefix: the code string is the text shown before.
            const QString texte = texte1->toPlainText();
            if (enReception && !texte.isEmpty() && !texte.startsWith(u"code morse reçu : "))
                code = texte;
        });

    const int intervalle = essai.intervalle != 0 ? essai.intervalle : (morse ? 50 : 30);
    BancVirtuel::Echange echange;
    echange.morse = morse;
    const Station* emetteur = banc.emetteur.station.get();
    echange.preparation = [&essai, intervalle, emetteur, codagerapide](Station& s) {
        Feuillelumivox1& f = *s.feuille;
        s.etat.decodagerobuste = essai.robuste;
        s.etat.telechargementparblocs = essai.blocs;
        if (codagerapide)
            (f.*codagerapide)();
        if (essai.vitesse)
            (f.*essai.vitesse->gestionnaire)();
        // The fast codings disable the interval items and sample every 30 ms.
        if (!codagerapide) {
            if (intervalle == 30)
                f.menu_30ms_Click();
            else
                f.menu_50ms_Click();
        }
        if (&s == emetteur)
            f.Texte1->setPlainText(essai.texte);
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
    // The stations outlive the locals the connection and the observers write to.
    QObject::disconnect(suivi);
    recepteur.observateurs = {};

    resultat.enCours = enReception;
    if (resultat.receptions == 0) {
        resultat.code = morse ? code : r.codebinaire;
        resultat.texte2 = r.texte2;
        resultat.messagerecu = r.messagerecu;
    }
    return resultat;
}
