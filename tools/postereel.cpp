#include "tools/postereel.h"

#include "app/extinctionurgence.h"
#include "app/feuillelumivox1.h"
#include "app/form_load.h"
#include "app/guetteaffichage.h"
#include "app/messagesqt.h"
#include "app/signauxarret.h"
#include "link/transportserie.h"
#include "tools/dialoguesscriptes.h"
#include "tools/essailiaison.h"
#include "tools/souscommande.h"

#include <QEvent>
#include <QLocale>
#include <QRegularExpression>
#include <array>
#include <cmath>

namespace {

// The titles of the boxes with which start-up reports a port it cannot open (a number out
// of range included) and an interface that does not answer: a station without a user to
// type another number says why and ends.
const QString titreOuverturePort = QStringLiteral("Ouverture du port COM impossible");
const QString titreInterfaceMuette = QStringLiteral("L'interface ne répond pas");

// Each line of a box's text on standard error, the blank lines left out.
void rapporte(const QString& texte) {
    const QStringList lignes = texte.split(QRegularExpression(QStringLiteral("[\r\n]")));
    for (const QString& ligne : lignes)
        if (!ligne.trimmed().isEmpty())
            ecritErreur(ligne);
}

// The start-up boxes answered as a user would for a station without a receiver test:
// the coding, the priority warning where there is one, the port, the wiring checklist, no test, the
// threshold warning. A box the script does not foresee cannot wait for a user.
class DialoguesPoste final : public Dialogues {
public:
    DialoguesPoste(PosteReel& poste, bool morse, int numport) : poste_(poste) {
        script_.jusquAuBranchement(morse, QString::number(numport)).annuler().ok();
    }

    Reponse boiteMessage(const QString& invite, Boutons boutons, const QString& titre) override {
        if (titre == titreOuverturePort) {
            rapporte(invite);
            poste_.termine(sortieUsage);
        }
        if (titre == titreInterfaceMuette) {
            rapporte(invite);
            poste_.termine(sortieInterfaceMuette);
        }
        if (script_.scriptEpuise()) {
            // The program ends by itself after such a box (the link lost, for one): say
            // what it says and press OK.
            rapporte(titre + u'\n' + invite);
            return Reponse::Ok;
        }
        return script_.boiteMessage(invite, boutons, titre);
    }

    QString boiteSaisie(const QString& invite, const QString& titre,
                        const QString& defaut) override {
        if (script_.scriptEpuise()) {
            rapporte(titre + u'\n' + invite);
            return {};
        }
        return script_.boiteSaisie(invite, titre, defaut);
    }

private:
    PosteReel& poste_;
    DialoguesScriptes script_;
};

} // namespace

PosteReel::PosteReel(const Reglages& reglages)
    : reglages_(reglages),
      dialogues_(std::make_unique<DialoguesPoste>(*this, reglages.morse(), reglages.numport)),
      station_(std::make_unique<Station>(plateforme_, *dialogues_,
                                         [](int numport) { return ouvreportserie(numport); })) {
    filtremessagesqt();
}

PosteReel::~PosteReel() = default;

void PosteReel::demarre(std::function<void()> auRepos) {
    guettesignauxdarret([this] {
        ecritErreur(QStringLiteral("arrêt demandé"));
        termine(sortieSucces);
    });
    inscritextinctionurgence(station_->liaison);
    Station& s = *station_;
    s.demandepriorite();
    ecritErreur(lignepriorite(s.priorite));
    // Nobody would see the interface fall silent: say it and end.
    s.observateurs.avisInterface = [this](const QString& avis) {
        if (avis.isEmpty())
            return;
        rapporte(avis);
        termine(sortieInterfaceMuette);
    };
    s.observateurs.liaisonPerdue = [this](const QString& message) {
        rapporte(QStringLiteral("liaison perdue : ") + message);
        if (!reglages_.attendretourliaison)
            termine(sortiePortPerdu);
    };
    s.observateurs.liaisonRetablie = [this] {
        ecritErreur(QStringLiteral("liaison rétablie : COM %1").arg(reglages_.numport));
    };
    GuetteAffichage guetteur([this, &s, auRepos = std::move(auRepos)] {
        s.etat.decodagerobuste = reglages_.robuste;
        s.etat.telechargementparblocs = reglages_.blocs;
        s.feuille->afficheoptions();
        if (const ArticleCodage codage = articleCodageRapide(reglages_.codage, reglages_.nbmesures))
            (s.feuille.get()->*codage)();
        if (reglages_.articlevitesse)
            (s.feuille.get()->*reglages_.articlevitesse)();
        if (auRepos)
            auRepos();
    });
    s.feuille->installEventFilter(&guetteur);
    Form_Load(s);
}

void PosteReel::termine(int code) {
    station_->arrete(code);
}

bool litoptions(const QStringList& arguments, const QStringList& noms,
                QMap<QString, QString>& valeurs, QString& erreur, const QStringList& drapeaux) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (!argument.startsWith(QStringLiteral("--"))) {
            erreur = QStringLiteral("argument inattendu « %1 »").arg(argument);
            return false;
        }
        QString nom = argument.mid(2);
        QString valeur;
        const qsizetype egal = nom.indexOf(u'=');
        if (egal < 0 && drapeaux.contains(nom)) {
            if (valeurs.contains(nom)) {
                erreur = QStringLiteral("l'option --%1 est donnée deux fois").arg(nom);
                return false;
            }
            valeurs.insert(nom, QString());
            continue;
        }
        if (egal >= 0) {
            valeur = nom.mid(egal + 1);
            nom.truncate(egal);
        } else if (i + 1 < arguments.size()) {
            valeur = arguments.at(++i);
        } else {
            erreur = QStringLiteral("l'option --%1 attend une valeur").arg(nom);
            return false;
        }
        if (!noms.contains(nom)) {
            erreur = QStringLiteral("option inconnue « --%1 »").arg(nom);
            return false;
        }
        if (valeurs.contains(nom)) {
            erreur = QStringLiteral("l'option --%1 est donnée deux fois").arg(nom);
            return false;
        }
        valeurs.insert(nom, valeur);
    }
    return true;
}

bool lisreglagesposte(const QMap<QString, QString>& valeurs, PosteReel::Reglages& reglages,
                      QString& erreur) {
    if (!valeurs.contains(QStringLiteral("port"))) {
        erreur = QStringLiteral("l'option --port N est obligatoire");
        return false;
    }
    bool nombre = false;
    reglages.numport = valeurs.value(QStringLiteral("port")).toInt(&nombre);
    if (!nombre) {
        erreur = QStringLiteral("numéro de port invalide « %1 »")
                     .arg(valeurs.value(QStringLiteral("port")));
        return false;
    }
    const QString codage = valeurs.value(QStringLiteral("coding"));
    if (codage != u"m" && codage != u"b" && codage != u"mr" && codage != u"br") {
        erreur = valeurs.contains(QStringLiteral("coding"))
                     ? QStringLiteral("codage inconnu « %1 » (m, b, mr ou br)").arg(codage)
                     : QStringLiteral("l'option --coding m|b|mr|br est obligatoire");
        return false;
    }
    reglages.codage = codage;
    reglages.robuste = valeurs.contains(QStringLiteral("robuste"));
    reglages.blocs = valeurs.contains(QStringLiteral("blocs"));
    if (valeurs.contains(QStringLiteral("samples"))) {
        const QString n = valeurs.value(QStringLiteral("samples"));
        if (n != u"6400" && n != u"12800") {
            erreur = QStringLiteral("nombre de mesures « %1 » impossible (6400 ou 12800)").arg(n);
            return false;
        }
        reglages.nbmesures = n.toInt();
    }
    if (valeurs.contains(QStringLiteral("speed"))) {
        const QString k = valeurs.value(QStringLiteral("speed"));
        reglages.articlevitesse = articlevitesse(k);
        if (!reglages.articlevitesse) {
            erreur = QStringLiteral("vitesse inconnue « %1 » (facteurs du menu : %2)")
                         .arg(k, facteursvitesse());
            return false;
        }
    }
    return true;
}

ArticleMenu articlevitesse(const QString& k) {
    const ArticleVitesse* article = articleVitesse(k);
    return article ? article->gestionnaire : nullptr;
}

QString facteursvitesse() {
    QStringList facteurs;
    for (const ArticleVitesse& a : articlesVitesse)
        facteurs << QString::fromLatin1(a.facteur);
    return facteurs.join(QStringLiteral(", "));
}

QString secondes(double s) {
    return QLocale(QLocale::French).toString(s, 'f', 2);
}
