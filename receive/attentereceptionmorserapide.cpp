#include "receive/attentereceptionmorserapide.h"

#include "link/ecran.h"
#include "link/legendes.h"
#include "link/station.h"
#include "receive/lumiere.h"
#include "receive/receptionrapide.h"
#include "receive/telechargement.h"
#include "recording/copiecontrole.h"
#include "recording/decodagemorserapide.h"
#include "recording/resultatreception.h"

using enum Ecran::Controle;

namespace {

const QString morserapide = QStringLiteral("mr");

void debutreceptionmorserapide(Station& s) {
    commencereceptionrapide(s);
    Ecran& f = *s.ecran;
    EtatPartage& e = s.etat;
    const bool court = e.nbmesures == 6400;
    f.fixefond(Etiquette1, Ecran::Fond::jauneclair);
    f.fixefond(Texte1, Ecran::Fond::jauneclair);
    f.fixelectureseule(Texte1, true);
    f.appliquetaillepolice(s.etat.taillepolice);
    f.fixetexte(Texte2, QString());
    f.fixetexte(
        Etiquette1,
        court ? QStringLiteral("RECEPTION DE CODE MORSE RAPIDE EN COURS     PATIENTEZ 15 s SVP")
              : QStringLiteral("RECEPTION DE CODE MORSE RAPIDE EN COURS     PATIENTEZ 30 s SVP"));
    f.fixeactif(Btonenvoiemorse, false);
    f.fixeactif(Btonenvoi_morserapide, false);
    f.fixeactif(Btonefface, false);
}

// The interface records the light, then the samples come down one by one (or 32 at a
// time, when the option asks for it), each copied to the control file as it arrives.
BilanTelechargement enregistreettelechargemorse(Station& s) {
    EtatPartage& e = s.etat;
    Plateforme& p = s.plateforme;
    CopieControle copie;
    copie.ouvre();
    s.liaison.fixelongueurlecture(1);
    e.chainemesure.clear();
    // A 12800-sample recording is asked for whole, and waited for as fast binary does.
    const bool long_ = e.nbmesures == 12800;
    s.liaison.envoiecommande(long_ ? QByteArrayLiteral("XPEA1 0,400,6,0")
                                   : QByteArrayLiteral("XPEA1 0,200,6,0"));
    s.liaison.envoiecommande(QByteArrayLiteral("XEAP"));
    attendsenregistrement(s, p.horloge(), long_ ? e.nbmesures * 0.0015 + 2.0 : 10);
    const auto versCopie = [&copie](int index, const QByteArray& chaine) {
        copie.ajoute(index, chaine);
    };
    const BilanTelechargement bilan = e.telechargementparblocs
                                          ? telechargebinairerapide(s, versCopie)
                                          : telechargemorserapide(s, versCopie);
    copie.ferme();
    if (s.observateurs.finTelechargement)
        s.observateurs.finTelechargement(bilan);
    return bilan;
}

void finmessagemorserapide(Station& s, const QString& affichage, const BilanTelechargement& bilan,
                           ResultatReception& resultat) {
    Ecran& f = *s.ecran;
    affichereceptionrapide(s, bilan, resultat);
    f.fixefond(Etiquette1, Ecran::Fond::vertclair);
    f.fixefond(Texte1, Ecran::Fond::vertclair);
    f.fixetexte(Etiquette1, etiquette1morserapide());
    f.fixeactif(Btonenvoiemorse, true);
    f.fixeactif(Btonenvoi_morserapide, true);
    f.fixeactif(Btonefface, true);
    f.fixetexte(Texte1, QStringLiteral("code morse reçu : ") + affichage);
    f.fixelectureseule(Texte1, false);
    f.montre();
    if (s.observateurs.finReception)
        s.observateurs.finReception();
}

void retourattentemorserapide(Station& s) {
    s.etat.compteursilence = 0;
    s.liaison.fixelongueurlecture(0);
    s.Minuterie->setEnabled(true);
}

} // namespace

void attentereceptionmorserapide(Station& s) {
    EtatPartage& e = s.etat;

    s.Minuterie->setEnabled(true);
    s.ecran->montre();
    e.compteursilence = 0;
    s.ecran->appliquetaillepolice(s.etat.taillepolice);

    double t1 = 0;
    // Each reading counts: the recording is armed as soon as the start pulse has ended, not
    // a tick later, and a pulse the tick cut in two still holds a half of 0.5 s.
    SuiviLumiere lumiere(s);
    lumiere.fixeelementminimal(0);
    while (e.typecodage == morserapide && !s.liaisonperdue()) {
        if (marquededebut(lumiere, morserapide, 0.5, t1)) {
            const Activite activite(s, QStringLiteral("une réception"));
            // The recording's length and the rules of this reception, whatever the menus
            // do meanwhile.
            const int nbmesures = e.nbmesures;
            const Regles regles = reglesdecodage(e);
            debutreceptionmorserapide(s);
            const BilanTelechargement bilan = enregistreettelechargemorse(s);
            e.compteursilence = 0;
            const SourceEchantillons source = echantillonsrecus(e, nbmesures, bilan);
            const MessageMorseRapide lecture = decodemessagemorserapide(source, regles);
            ResultatReception resultat =
                resultatreception(e.tabmesures, nbmesures, source, lecture, regles);
            s.ecran->fixetexte(Texte1, lecture.mesure.codemorse);
            e.messagerecu = lecture.messagerecu;
            finmessagemorserapide(s, lecture.texte.affichage, bilan, resultat);
            if (e.enregmorseautorise == u"oui")
                proposeenregistrement(s,
                                      QStringLiteral("Enregistrement d'un fichier morse rapide"));
        }
        retourattentemorserapide(s);
    }
}
