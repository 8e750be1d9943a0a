#include "recording/decodefichierbinrap.h"

#include "app/feuillelumivox1.h"
#include "app/legendes.h"
#include "app/station.h"
#include "receive/receptionrapide.h"
#include "recording/decodagefichier.h"
#include "recording/finsdecodagefichier.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

bool decode_fichierbinrap(Station& s, QString* erreur) {
    EtatPartage& e = s.etat;
    Feuillelumivox1& f = *s.feuille;
    MesuresFichier mesures;
    if (!commencedecodagefichier(s, mesures, erreur))
        return false;
    e.codebinaire.clear();
    e.affichagebinaire.clear();

    const MessageBinaireRapide d = decodefichierbinaire(mesures, reglesdecodage(e));
    e.codebinaire = d.mesure.codebinaire;
    e.affichagebinaire = d.mesure.affichagebinaire;
    f.Texte1->setPlainText(e.affichagebinaire);
    e.messagerecu = d.messagerecu;

    affichefindecodagefichier(s, mesures, d.mesure.coupe);
    f.Etiquette1->setText(etiquette1binaire());
    f.Btonenvoiebinaire->setEnabled(true);
    f.Btonefface->setEnabled(true);
    f.Texte1->setReadOnly(false);
    reprendapresdecodagefichier(s);
    return true;
}
