#include "choosers/enregistrefichier.h"

#include "recording/resultatreception.h"

#include "choosers/nomfichier.h"
#include "link/dialogues.h"
#include "link/station.h"
#include "recording/fichierenregistrement.h"
#include "recording/raisonfichier.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace {

const QString titreenregistrement = QStringLiteral("Enregistrement d'un fichier");

} // namespace

const FormeFichier::Dessin Enregistrefichier::dessin = {
    QStringLiteral("Enregistrer  fichier *.rrr"),
    QStringLiteral("Nom de fichier pour enregistrer du code reçu sous  format Regressi DOS * "
                   ".rrr :"),
    {7455, 7080},
    {480, 240, 6255, 735},
    {4320, 1440, 1815, 495},
    {480, 1680, 2775, 495},
    {3600, 2040, 3495, 495},
    {480, 2400, 2775, 2760},
    {3600, 2760, 3495, 1890},
    {3600, 4920, 2655, 315},
    {480, 5520, 2295, 735},
    {3600, 5520, 2415, 735},
    {480, 6315, 6495, 615},
};

Enregistrefichier::Enregistrefichier(Station& station, Dialogues& dialogues,
                                     std::shared_ptr<const ResultatReception> resultat,
                                     std::vector<Lecteur> lecteurs, const QString& dossier,
                                     QWidget* parent)
    : FormeFichier(dessin, dialogues, std::move(lecteurs), dossier, parent), station_(station),
      resultat_(std::move(resultat)) {}

Enregistrefichier::Enregistrefichier(Station& station,
                                     std::shared_ptr<const ResultatReception> resultat,
                                     std::vector<Lecteur> lecteurs, const QString& dossier,
                                     QWidget* parent)
    : Enregistrefichier(station, station.dialogues, std::move(resultat), std::move(lecteurs),
                        dossier, parent) {}

void Enregistrefichier::reprendmesures(std::shared_ptr<const ResultatReception> resultat) {
    resultat_ = std::move(resultat);
}

QString Enregistrefichier::nomchoisi() const {
    return nomavecextension(Texte1->text());
}

QString Enregistrefichier::remarquenom(const QString& nom) const {
    const QString complet = nomavecextension(nom);
    if (!extensionenregistrement(complet))
        return QStringLiteral("Enregistré sous « %1 », sans l'extension .rrr : la fenêtre "
                              "d'ouverture ne le montrera pas avec le motif *.rrr.")
            .arg(complet);
    if (complet != nom)
        return QStringLiteral("Enregistré sous « %1 ».").arg(complet);
    return {};
}

bool Enregistrefichier::remplacementaccepte(const QString& chemin) {
    const QFileInfo existant(chemin);
    if (!existant.exists() || existant.isDir())
        return true;
    return dialogues().boiteMessage(
               QStringLiteral("Remplacer le fichier « %1 » ?\n\nIl existe déjà dans le dossier "
                              "« %2 » ; son contenu sera perdu.")
                   .arg(existant.fileName(), cheminaffiche(existant.absolutePath())),
               Dialogues::Boutons::OuiNon, titreenregistrement) == Dialogues::Reponse::Ok;
}

void Enregistrefichier::Commande1_Click() {
    bool fermer = true;
    executeok([this, &fermer] {
        const QString chemin = cheminchoisi();
        // Non to the replacement: nothing changes, the form stays with the name typed.
        if (!chemin.isEmpty() && !remplacementaccepte(chemin)) {
            fermer = false;
            return;
        }
        // The samples are the record's own copy: the form writes them on its thread while
        // the station goes on; the station keeps the paths it is told.
        station_.demande([&s = station_, chemin] {
            s.etat.cheminfichier = chemin;
            s.etat.cheminenregistrement = chemin;
        });
        if (chemin.isEmpty())
            return;
        QString erreur;
        // A recording that could not be written stays on offer.
        fermer = resultat_ &&
                 ecritenregistrement(chemin, resultat_->tabmesures, resultat_->nbmesures, &erreur);
        if (!fermer)
            dialogues().boiteMessage(erreur + QStringLiteral("\n\nChoisissez un autre nom ou un "
                                                             "autre dossier."),
                                     Dialogues::Boutons::Ok, titreenregistrement);
    });
    if (fermer)
        ferme();
}
