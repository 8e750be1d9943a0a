#include "receive/attentereceptionbinairerapide.h"

#include "link/ecran.h"
#include "link/legendes.h"
#include "link/station.h"
#include "receive/lumiere.h"
#include "receive/receptionrapide.h"
#include "receive/telechargement.h"
#include "recording/decodagebinairerapide.h"
#include "recording/resultatreception.h"

using enum Ecran::Controle;

namespace {

const QString binairerapide = QStringLiteral("br");

void debutreceptionbinairerapide(Station& s) {
    commencereceptionrapide(s);
    Ecran& f = *s.ecran;
    EtatPartage& e = s.etat;
    const bool court = e.nbmesures == 6400;
    f.appliquetaillepolice(s.etat.taillepolice);
    f.fixefond(Etiquette1, Ecran::Fond::jauneclair);
    f.fixefond(Texte1, Ecran::Fond::jauneclair);
    f.fixelectureseule(Texte1, true);
    f.fixetexte(Texte2, QString());
    f.fixetexte(
        Etiquette1,
        court ? QStringLiteral("RECEPTION DE CODE BINAIRE RAPIDE EN COURS     PATIENTEZ 15 s SVP")
              : QStringLiteral("RECEPTION DE CODE BINAIRE RAPIDE EN COURS     PATIENTEZ 30 s SVP"));
    f.fixeactif(Btonenvoi_binrap, false);
    f.fixeactif(Btonefface, false);
    e.codebinaire.clear();
    e.affichagebinaire.clear();
}

// The interface records nbmesures samples of the light, then they come down 32 at a
// time.
BilanTelechargement enregistreettelechargebinaire(Station& s) {
    EtatPartage& e = s.etat;
    Plateforme& p = s.plateforme;
    const int blocs = e.nbmesures / 32;
    s.liaison.envoiecommande("XPEA1 0, " + QByteArray::number(blocs) + ",6,0\r");
    s.liaison.fixelongueurlecture(1);
    e.chainemesure.clear();
    s.liaison.envoiecommande(QByteArrayLiteral("XEAP\r"));
    attendsenregistrement(s, p.horloge(), e.nbmesures * 0.0015 + 2.0);
    const BilanTelechargement bilan = telechargebinairerapide(s);
    if (s.observateurs.finTelechargement)
        s.observateurs.finTelechargement(bilan);
    return bilan;
}

void finmessagebinairerapide(Station& s, const BilanTelechargement& bilan,
                             ResultatReception& resultat) {
    Ecran& f = *s.ecran;
    EtatPartage& e = s.etat;
    affichereceptionrapide(s, bilan, resultat);
    f.fixefond(Etiquette1, Ecran::Fond::vertclair);
    f.fixefond(Texte1, Ecran::Fond::vertclair);
    f.fixetexte(Etiquette1, etiquette1binaire());
    f.fixeactif(Btonenvoi_binrap, true);
    f.fixeactif(Btonefface, true);
    f.fixetexte(Texte1, e.affichagebinaire);
    f.fixelectureseule(Texte1, false);
    if (s.observateurs.finReception)
        s.observateurs.finReception();
}

void retourattentebinairerapide(Station& s) {
    s.etat.compteursilence = 0;
    s.Minuterie->setEnabled(true);
    s.plateforme.cede();
    s.liaison.fixelongueurlecture(0);
}

} // namespace

void attentereceptionbinairerapide(Station& s) {
    EtatPartage& e = s.etat;

    s.ecran->appliquetaillepolice(s.etat.taillepolice);
    s.Minuterie->setEnabled(true);
    e.compteursilence = 0;

    double t1 = 0;
    // Each reading counts: the recording is armed as soon as the start pulse has ended, not
    // a tick later, and a pulse the tick cut in two still holds a half of 0.5 s.
    SuiviLumiere lumiere(s);
    lumiere.fixeelementminimal(0);
    while (e.typecodage == binairerapide && !s.liaisonperdue()) {
        if (marquededebut(lumiere, binairerapide, 0.5, t1)) {
            const Activite activite(s, QStringLiteral("une réception"));
            // The recording's length and the rules of this reception, whatever the menus
            // do meanwhile.
            const int nbmesures = e.nbmesures;
            const Regles regles = reglesdecodage(e);
            debutreceptionbinairerapide(s);
            const BilanTelechargement bilan = enregistreettelechargebinaire(s);
            const SourceEchantillons source = echantillonsrecus(e, nbmesures, bilan);
            const MessageBinaireRapide lecture = decodemessagebinairerapide(source, regles);
            ResultatReception resultat =
                resultatreception(e.tabmesures, nbmesures, source, lecture, regles);
            e.codebinaire = lecture.mesure.codebinaire;
            e.affichagebinaire = lecture.mesure.affichagebinaire;
            e.compteursilence = 0;
            e.messagerecu = lecture.messagerecu;
            finmessagebinairerapide(s, bilan, resultat);
            if (e.enregbinautorise == u"oui")
                proposeenregistrement(s,
                                      QStringLiteral("Enregistrement d'un fichier binaire rapide"));
        }
        retourattentebinairerapide(s);
    }
}
