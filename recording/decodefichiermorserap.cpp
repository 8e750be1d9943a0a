#include "recording/decodefichiermorserap.h"

#include "app/feuillelumivox1.h"
#include "app/legendes.h"
#include "app/station.h"
#include "receive/receptionrapide.h"
#include "recording/decodagefichier.h"
#include "recording/finsdecodagefichier.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

bool decode_fichiermorserap(Station& s, QString* erreur) {
    EtatPartage& e = s.etat;
    Feuillelumivox1& f = *s.feuille;
    MesuresFichier mesures;
    if (!litfichierchoisi(s, mesures, erreur))
        return false;

    f.Texte1->clear();
    f.Texte2->clear();
    f.appliquetaillepolice();
    s.plateforme.cede();
    s.Minuterie->setEnabled(false);

    const DecodageFichierMorse d = decodefichiermorse(mesures, reglesdecodage(e));
    f.Texte1->setPlainText(d.message.mesure.codemorse);
    s.plateforme.cede();
    e.messagerecu = d.messagerecu;

    affichefindecodagefichier(s, mesures, d.message.mesure.coupe);
    f.Etiquette1->setText(etiquette1morserapide());
    f.Btonenvoiemorse->setEnabled(true);
    f.Btonefface->setEnabled(true);
    f.Texte1->setPlainText(QStringLiteral("code morse reçu : ") + d.message.texte.affichage);
    f.Texte1->setReadOnly(false);
    reprendapresdecodagefichier(s);
    return true;
}
