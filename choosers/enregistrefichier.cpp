#include "choosers/enregistrefichier.h"

#include "app/dialogues.h"
#include "app/station.h"
#include "recording/fichierenregistrement.h"

const FormeFichier::Dessin Enregistrefichier::dessin = {
    QStringLiteral("Enregistrer  fichier *.rrr"),
    QStringLiteral("Nom de fichier pour enregistrer du code reçu sous  format Regressi DOS * "
                   ".rrr :"),
    {7455, 6645},
    {480, 240, 6255, 735},
    {4320, 1440, 1815, 495},
    {480, 1680, 2775, 495},
    {3600, 2040, 3495, 495},
    {480, 2400, 2775, 2760},
    {3600, 2760, 3495, 1890},
    {3600, 4920, 2655, 315},
    {480, 5520, 2295, 735},
    {3600, 5520, 2415, 735},
};

Enregistrefichier::Enregistrefichier(Station& station, std::vector<Lecteur> lecteurs,
                                     const QString& dossier, QWidget* parent)
    : FormeFichier(dessin, station.dialogues, std::move(lecteurs), dossier, parent),
      station_(station) {
    reprendmesures();
}

void Enregistrefichier::reprendmesures() {
    tabmesures_ = station_.etat.tabmesures;
    nbmesures_ = station_.etat.nbmesuresenregistrees();
}

void Enregistrefichier::Commande1_Click() {
    bool ecrit = true;
    executeok([this, &ecrit] {
        EtatPartage& e = station_.etat;
        e.cheminfichier = cheminchoisi();
        e.cheminenregistrement = e.cheminfichier;
        if (e.cheminenregistrement.isEmpty())
            return;
        QString erreur;
        ecrit = ecritenregistrement(e.cheminenregistrement, tabmesures_, nbmesures_, &erreur);
        if (!ecrit)
            dialogues().boiteMessage(erreur + QStringLiteral("\n\nChoisissez un autre nom ou un "
                                                             "autre dossier."),
                                     Dialogues::Boutons::Ok,
                                     QStringLiteral("Enregistrement d'un fichier"));
    });
    // A recording that could not be written stays on offer.
    if (ecrit)
        ferme();
}
