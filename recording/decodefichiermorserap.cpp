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
    if (!commencedecodagefichier(s, mesures, erreur))
        return false;

    const MessageMorseRapide d = decodefichiermorse(mesures, reglesdecodage(e));
    f.Texte1->setPlainText(d.mesure.codemorse);
    s.plateforme.cede();
    e.messagerecu = d.messagerecu;

    affichefindecodagefichier(s, mesures, d.mesure.coupe);
    f.Etiquette1->setText(etiquette1morserapide());
    f.Btonenvoiemorse->setEnabled(true);
    f.Btonefface->setEnabled(true);
    f.Texte1->setPlainText(QStringLiteral("code morse reçu : ") + d.texte.affichage);
    f.Texte1->setReadOnly(false);
    reprendapresdecodagefichier(s);
    return true;
}
