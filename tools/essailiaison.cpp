#include "tools/essailiaison.h"

#include "app/feuillelumivox1.h"
#include "app/station.h"
#include "emit/btonenvoiebinaire.h"
#include "emit/btonenvoiemorse.h"
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

ResultatLiaison essaieliaison(const EssaiLiaison& essai) {
    ReglagesBanc reglages;
    reglages.lumiere = essai.lumiere;
    BancVirtuel banc(reglages);

    // The receiving station's Morse code string lives only inside its reception routine,
    // which shows it in Texte1 at every symbol and empties Texte1 when the text is shown:
    // the last non-empty text of Texte1 during a reception is the whole code string.
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
        resultat.code = essai.morse ? code : recepteur.etat.codebinaire;
        resultat.texte2 = recepteur.feuille->Texte2->toPlainText();
        resultat.messagerecu = recepteur.etat.messagerecu;
    };
    const QMetaObject::Connection suivi =
        QObject::connect(texte1, &QPlainTextEdit::textChanged, texte1, [&] {
            if (enReception && !texte1->toPlainText().isEmpty())
                code = texte1->toPlainText();
        });

    const int intervalle = essai.intervalle != 0 ? essai.intervalle : (essai.morse ? 50 : 30);
    BancVirtuel::Echange echange;
    echange.morse = essai.morse;
    const Station* emetteur = banc.emetteur.station.get();
    echange.preparation = [&essai, intervalle, emetteur](Station& s) {
        Feuillelumivox1& f = *s.feuille;
        if (essai.vitesse)
            (f.*essai.vitesse->gestionnaire)();
        if (intervalle == 30)
            f.menu_30ms_Click();
        else
            f.menu_50ms_Click();
        if (&s == emetteur)
            f.Texte1->setPlainText(essai.texte);
    };
    echange.envoi = essai.morse ? Btonenvoiemorse_Click : Btonenvoiebinaire_Click;
    // Long enough after the emission for a reception that missed the end mark to end on
    // the silence limit: 7 units of darkness (1.2 f in Morse, f in binary), f at most 10/9.
    echange.attenteApres = 12.0;
    const BancVirtuel::Resultat r = banc.echange(echange);
    // The stations outlive the locals the connection and the observers write to.
    QObject::disconnect(suivi);
    recepteur.observateurs = {};

    resultat.enCours = enReception;
    if (resultat.receptions == 0) {
        resultat.code = essai.morse ? code : r.codebinaire;
        resultat.texte2 = r.texte2;
        resultat.messagerecu = r.messagerecu;
    }
    return resultat;
}
