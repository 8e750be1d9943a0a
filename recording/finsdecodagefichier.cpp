#include "recording/finsdecodagefichier.h"

#include "app/couleurs.h"
#include "app/feuillelumivox1.h"
#include "app/station.h"
#include "receive/messagerapide.h"
#include "receive/receptionrapide.h"
#include "recording/mesuresfichier.h"

#include <QLabel>
#include <QPlainTextEdit>

bool commencedecodagefichier(Station& s, MesuresFichier& mesures, QString* erreur) {
    s.etat.cheminlecture = s.etat.cheminfichier;
    if (!litmesuresfichier(s.etat.cheminlecture, mesures, erreur))
        return false;
    Feuillelumivox1& f = *s.feuille;
    f.Texte1->clear();
    f.Texte2->clear();
    f.appliquetaillepolice();
    s.Minuterie->setEnabled(false);
    s.plateforme.cede();
    return true;
}

void affichefindecodagefichier(Station& s, const MesuresFichier& mesures, bool coupe) {
    QStringList avis;
    if (coupe)
        avis << avismessagecoupe(int(mesures.valeurs.size()) - 1);
    if (mesures.tronque)
        avis << avisfichiertronque(s.etat.cheminlecture);
    affichemessagerecu(s, avis);
    Feuillelumivox1& f = *s.feuille;
    f.fixefond(f.Etiquette1, vertclair);
    f.fixefond(f.Texte1, vertclair);
}

void reprendapresdecodagefichier(Station& s) {
    s.etat.compteursilence = 0;
    s.Minuterie->setEnabled(true);
}
