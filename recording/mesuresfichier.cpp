#include "recording/mesuresfichier.h"

#include "recording/fichierenregistrement.h"
#include "recording/lectureenregistrement.h"
#include "recording/raisonfichier.h"
#include "recording/sourceechantillons.h"

MesuresFichier litmesures(LectureEnregistrement& enregistrement, EtendueLecture lecture) {
    MesuresFichier mesures;
    double valeur = 0;
    while (!(lecture == EtendueLecture::arretbinaire && enregistrement.binaire()) &&
           enregistrement.suivante(valeur)) {
        if (static_cast<int>(mesures.valeurs.size()) == maxmesuresfichier) {
            mesures.tronque = true;
            break;
        }
        mesures.valeurs.push_back(arrondiechantillon(valeur));
    }
    mesures.lignesentete = enregistrement.lignesentete();
    mesures.avecvaleur = enregistrement.lignesavecvaleur() > 0;
    mesures.binaire = enregistrement.binaire();
    return mesures;
}

NatureFichier naturefichier(const MesuresFichier& mesures) {
    if (mesures.binaire)
        return NatureFichier::binaire;
    if (mesures.valeurs.empty())
        return NatureFichier::tropcourt;
    if (!mesures.avecvaleur)
        return NatureFichier::sansvaleur;
    return NatureFichier::enregistrement;
}

bool litmesuresfichier(const QString& chemin, MesuresFichier& mesures, QString* erreur) {
    LectureEnregistrement enregistrement;
    if (!enregistrement.ouvre(chemin, erreur))
        return false;
    MesuresFichier lues = litmesures(enregistrement, EtendueLecture::arretbinaire);
    if (naturefichier(lues) != NatureFichier::enregistrement) {
        if (erreur)
            *erreur = avispasunenregistrement(chemin, lues);
        return false;
    }
    mesures = std::move(lues);
    return true;
}

static_assert(lignesenteteenregistrement == 35, "the notices give the header's length in words");

QString avispasunenregistrement(const QString& chemin, const MesuresFichier& mesures) {
    QString raison;
    switch (naturefichier(mesures)) {
    case NatureFichier::enregistrement:
        return {};
    case NatureFichier::binaire:
        raison = QStringLiteral("ce n'est pas un fichier texte (une image, un programme, une "
                                "archive...)");
        break;
    case NatureFichier::tropcourt:
        raison =
            mesures.lignesentete == 0
                ? QStringLiteral("il est vide")
                : QStringLiteral("%1, quand un enregistrement a 35 lignes d'en-tête puis "
                                 "une ligne par mesure")
                      .arg(mesures.lignesentete == 1
                               ? QStringLiteral("il n'a qu'une ligne")
                               : QStringLiteral("il n'a que %1 lignes").arg(mesures.lignesentete));
        break;
    case NatureFichier::sansvaleur:
        raison = QStringLiteral("aucune de ses lignes après les 35 lignes d'en-tête n'est une "
                                "mesure (un indice, un blanc, une valeur)");
        break;
    }
    return QStringLiteral("Le fichier « %1 » n'est pas un enregistrement : %2.")
        .arg(cheminaffiche(chemin), raison);
}

static_assert(maxmesuresfichier == 100000, "the notice gives the limit in words");

QString avisfichiertronque(const QString& chemin) {
    return QStringLiteral("Décodage limité : le fichier « %1 » compte plus de %2 mesures ; "
                          "seules les %2 premières ont été décodées.")
        .arg(cheminaffiche(chemin), QStringLiteral("100 000"));
}
