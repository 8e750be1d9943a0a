#include "choosers/lecturefichier.h"

#include "link/dialogues.h"
#include "link/station.h"
#include "recording/decodefichierbinrap.h"
#include "recording/decodefichiermorserap.h"

const FormeFichier::Dessin Lecturefichier::dessin = {
    QStringLiteral("Ouvrir fichier *.rrr"),
    QStringLiteral("Nom de fichier Regressi DOS * .rrr à ouvrir contenant du code enregistré"
                   "                         (ouvrable aussi dans Regressi Windows jusqu'à la "
                   "version 2007)"),
    {7455, 6840},
    {480, 240, 6855, 975},
    {4560, 1440, 1575, 375},
    {480, 1560, 2775, 495},
    {3600, 1920, 3255, 495},
    {480, 2280, 2775, 2760},
    {3600, 2640, 3375, 1890},
    {3600, 4680, 3135, 315},
    {480, 5280, 2295, 735},
    {3600, 5280, 2415, 735},
    {480, 6075, 6495, 615},
};

Lecturefichier::Lecturefichier(Station& station, Dialogues& dialogues,
                               std::vector<Lecteur> lecteurs, const QString& dossier,
                               QWidget* parent)
    : FormeFichier(dessin, dialogues, std::move(lecteurs), dossier, parent), station_(station) {}

Lecturefichier::Lecturefichier(Station& station, std::vector<Lecteur> lecteurs,
                               const QString& dossier, QWidget* parent)
    : Lecturefichier(station, station.dialogues, std::move(lecteurs), dossier, parent) {}

void Lecturefichier::Commande1_Click() {
    executeok([this] {
        // The station decodes, on its own thread; an error comes back in a box that the
        // station asks the form to show.
        station_.demande([&s = station_, chemin = cheminchoisi()] {
            EtatPartage& e = s.etat;
            e.cheminfichier = chemin;
            e.cheminlecture = e.cheminfichier;
            if (e.cheminlecture.isEmpty())
                return;
            QString erreur;
            bool lu = true;
            if (e.typefichier == u"br")
                lu = decode_fichierbinrap(s, &erreur);
            if (e.typefichier == u"mr")
                lu = decode_fichiermorserap(s, &erreur);
            if (!lu)
                s.dialogues.boiteMessage(erreur, Dialogues::Boutons::Ok,
                                         QStringLiteral("Ouverture d'un enregistrement"));
        });
    });
    ferme();
}
