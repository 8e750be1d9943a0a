#include "recording/finsdecodagefichier.h"

#include "app/couleurs.h"
#include "app/feuillelumivox1.h"
#include "app/station.h"
#include "receive/messagerapide.h"
#include "recording/mesuresfichier.h"

#include <QLabel>
#include <QPlainTextEdit>

bool litfichierchoisi(Station& s, MesuresFichier& mesures, QString* erreur) {
    s.etat.cheminlecture = s.etat.cheminfichier;
    return litmesuresfichier(s.etat.cheminlecture, mesures, erreur);
}

void affichefindecodagefichier(Station& s, const MesuresFichier& mesures, bool coupe) {
    Feuillelumivox1& f = *s.feuille;
    f.Etiquette2->setText(QStringLiteral(" FIN DE RECEPTION DU MESSAGE"));
    QString texte2 = s.etat.messagerecu;
    if (coupe)
        texte2 += u'\n' + avismessagecoupe(int(mesures.valeurs.size()) - 1);
    if (mesures.tronque)
        texte2 += u'\n' + avisfichiertronque(s.etat.cheminlecture);
    f.Texte2->setPlainText(texte2);
    f.Texte2->setReadOnly(true);
    f.fixefond(f.Etiquette1, vertclair);
    f.fixefond(f.Texte1, vertclair);
}

void reprendapresdecodagefichier(Station& s) {
    s.etat.compteursilence = 0;
    s.Minuterie->setEnabled(true);
}
