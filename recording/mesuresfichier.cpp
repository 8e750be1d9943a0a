#include "recording/mesuresfichier.h"

#include "receive/sourceechantillons.h"
#include "recording/lecteurenregistrement.h"
#include "recording/raisonfichier.h"

MesuresFichier litmesures(LecteurEnregistrement& lecteur) {
    MesuresFichier mesures;
    double valeur = 0;
    while (lecteur.suivante(valeur)) {
        if (static_cast<int>(mesures.valeurs.size()) == maxmesuresfichier) {
            mesures.tronque = true;
            break;
        }
        mesures.valeurs.push_back(arrondiechantillon(valeur));
    }
    return mesures;
}

bool litmesuresfichier(const QString& chemin, MesuresFichier& mesures, QString* erreur) {
    LecteurEnregistrement lecteur;
    if (!lecteur.ouvre(chemin, erreur))
        return false;
    mesures = litmesures(lecteur);
    return true;
}

static_assert(maxmesuresfichier == 100000, "the notice gives the limit in words");

QString avisfichiertronque(const QString& chemin) {
    return QStringLiteral("Décodage limité : le fichier « %1 » compte plus de %2 mesures ; "
                          "seules les %2 premières ont été décodées.")
        .arg(cheminaffiche(chemin), QStringLiteral("100 000"));
}
