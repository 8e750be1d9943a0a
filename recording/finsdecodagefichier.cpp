#include "recording/finsdecodagefichier.h"

#include "link/ecran.h"
#include "link/station.h"
#include "recording/affichageresultat.h"
#include "recording/debit.h"
#include "recording/messagerapide.h"
#include "recording/mesuresfichier.h"
#include "recording/resultatreception.h"

using enum Ecran::Controle;

bool commencedecodagefichier(Station& s, MesuresFichier& mesures, bool& tic, QString* erreur) {
    if (!s.activite.isEmpty()) {
        if (erreur)
            *erreur = QStringLiteral("Le fichier ne peut pas être décodé maintenant : %1 est en "
                                     "cours sur ce poste. Recommencez quand elle sera finie.")
                          .arg(s.activite);
        return false;
    }
    s.etat.cheminlecture = s.etat.cheminfichier;
    if (!litmesuresfichier(s.etat.cheminlecture, mesures, erreur))
        return false;
    tic = s.Minuterie->enabled();
    Ecran& f = *s.ecran;
    f.fixetexte(Texte1, QString());
    f.fixetexte(Texte2, QString());
    f.appliquetaillepolice(s.etat.taillepolice);
    s.Minuterie->setEnabled(false);
    s.plateforme.cede();
    return true;
}

void affichefindecodagefichier(Station& s, const MesuresFichier& mesures,
                               ResultatReception& resultat) {
    if (resultat.coupe != Coupure::non)
        resultat.avis << avismessagecoupe(resultat.nbmesures, resultat.coupe);
    if (mesures.tronque)
        resultat.avis << avisfichiertronque(s.etat.cheminlecture);
    affichemessagerecu(s, resultat.avis);
    const auto enregistrement = std::make_shared<const ResultatReception>(resultat);
    s.ecran->resultatreception(enregistrement);
    s.ecran->debitmessage(debitreception(*enregistrement));
    Ecran& f = *s.ecran;
    f.fixefond(Etiquette1, Ecran::Fond::vertclair);
    f.fixefond(Texte1, Ecran::Fond::vertclair);
}

void reprendapresdecodagefichier(Station& s, bool tic) {
    s.etat.compteursilence = 0;
    s.Minuterie->setEnabled(tic);
}
