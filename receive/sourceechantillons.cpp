#include "receive/sourceechantillons.h"

#include "link/valeurnumerique.h"

#include <algorithm>
#include <cmath>

int arrondiechantillon(double valeur) {
    if (std::isnan(valeur))
        return 0;
    return static_cast<int>(std::clamp(std::nearbyint(valeur), -32768.0, 32767.0));
}

SourceEchantillons depuistabmesures(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                    double tensionseuil) {
    SourceEchantillons s;
    s.origine = Origine::Telechargement;
    s.nbmesures = nbmesures;
    s.tensionseuil = tensionseuil;
    s.valeurs.reserve(tabmesures.size());
    for (const QByteArray& texte : tabmesures)
        s.valeurs.push_back(arrondiechantillon(valeurnumerique(texte)));
    return s;
}

SourceEchantillons depuisfichier(std::vector<int> valeurs) {
    SourceEchantillons s;
    s.origine = Origine::Fichier;
    s.valeurs = std::move(valeurs);
    return s;
}
