#include "recording/sourceechantillons.h"

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

namespace {

// Samples examined for the darkness before the preamble: the recording begins some 0.2 s
// before the preamble at every speed, some 150 samples.
constexpr int echantillonsobscurite = 64;
// A difference of readings that noise alone does not make among them (0.8 V).
constexpr double ecartlumiere = 40;

double mediane(std::vector<double> v) {
    if (v.empty())
        return 0;
    const auto milieu = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), milieu, v.end());
    return *milieu;
}

} // namespace

int ecartfinal(double pas, bool morse) {
    if (!(pas > 0))
        return 0;
    return static_cast<int>(std::ceil((morse ? ecartfinalmorse : ecartfinalbinaire) * pas));
}

Coupure coupurealafin(const SourceEchantillons& source, int fin, int seuil, int finmessage,
                      int ecart) {
    if (source.lis(fin) > seuil)
        return Coupure::oui;
    return ecart > 0 && fin - finmessage < ecart ? Coupure::peutetre : Coupure::non;
}

Obscurite obscuritedudebut(const SourceEchantillons& source, int debut) {
    debut = std::max(debut, 1);
    std::vector<double> echantillons;
    for (int i = debut; i <= std::min(debut + echantillonsobscurite - 1, source.derniere()); ++i)
        echantillons.push_back(source.lis(i));
    // A recording that would begin close to the preamble holds light among its first
    // samples: only the lower half of their range is darkness then.
    if (!echantillons.empty()) {
        const auto [min, max] = std::minmax_element(echantillons.begin(), echantillons.end());
        const double milieu = (*min + *max) / 2;
        if (*max - *min > ecartlumiere)
            std::erase_if(echantillons, [milieu](double v) { return v > milieu; });
    }
    Obscurite o;
    o.niveau = mediane(echantillons);
    std::vector<double> ecarts;
    for (double v : echantillons)
        ecarts.push_back(std::abs(v - o.niveau));
    o.bruit = 1.4826 * mediane(ecarts);
    if (source.origine == Origine::Telechargement)
        o.niveau = std::max(o.niveau, 255 * (source.tensionseuil - 0.5) / 5);
    return o;
}

int seuilsurobscurite(const SourceEchantillons& source, int debut) {
    const Obscurite obscurite = obscuritedudebut(source, debut);
    const double marge = std::max(3.0, 5 * obscurite.bruit + 1);
    return static_cast<int>(std::ceil(obscurite.niveau + marge));
}

int dernierelue(const SourceEchantillons& source) {
    if (source.origine == Origine::Fichier)
        return source.derniere();
    // A download's table beyond `nbmesures` holds no light.
    const int derniere = std::min(source.nbmesures, source.derniere());
    return source.recues >= 0 ? std::min(derniere, source.recues - 1) : derniere;
}

namespace {

// One past the last sample the decoders read.
std::size_t finlue(const SourceEchantillons& source) {
    return static_cast<std::size_t>(std::max(dernierelue(source), -1) + 1);
}

} // namespace

Niveaux niveauxdelumiere(const SourceEchantillons& source) {
    Niveaux n;
    const std::size_t fin = finlue(source);
    if (fin < 3 || fin > source.valeurs.size())
        return n;
    const auto debut = source.valeurs.begin() + 1; // index 0 is no sample of the light
    const auto bout = source.valeurs.begin() + static_cast<std::ptrdiff_t>(fin);
    double bas = *std::min_element(debut, bout);
    double haut = *std::max_element(debut, bout);
    for (int tour = 0; tour < 20; ++tour) {
        const double milieu = (bas + haut) / 2;
        double somme[2] = {0, 0};
        long nombre[2] = {0, 0};
        for (auto it = debut; it != bout; ++it) {
            const int cote = *it > milieu ? 1 : 0;
            somme[cote] += *it;
            ++nombre[cote];
        }
        if (nombre[0] == 0 || nombre[1] == 0)
            break;
        const double nbas = somme[0] / double(nombre[0]);
        const double nhaut = somme[1] / double(nombre[1]);
        if (nbas == bas && nhaut == haut)
            break;
        bas = nbas;
        haut = nhaut;
    }
    n.bas = bas;
    n.haut = haut;
    // Below a tenth of a volt of difference there is no light to read.
    n.distincts = haut - bas >= 5;
    return n;
}

int debutobscur(const SourceEchantillons& source) {
    const Niveaux niveaux = niveauxdelumiere(source);
    const int fin = static_cast<int>(finlue(source)) - 1;
    if (!niveaux.distincts || source.lis(1) <= (niveaux.bas + niveaux.haut) / 2)
        return 1;
    int i = 1;
    while (i <= fin && source.lis(i) >= niveaux.extinction())
        ++i;
    return i;
}

SourceEchantillons nettoie(const SourceEchantillons& source) {
    SourceEchantillons propre = source;
    const Niveaux niveaux = niveauxdelumiere(source);
    if (!niveaux.distincts)
        return propre;
    const double allumage = niveaux.allumage();
    const double extinction = niveaux.extinction();
    const int sombre = static_cast<int>(std::lround(niveaux.bas));
    const int eclaire = static_cast<int>(std::lround(niveaux.haut));
    bool allume = false;
    for (std::size_t i = 1; i < finlue(source); ++i) {
        const int x = source.valeurs[i];
        if (!allume && x > allumage)
            allume = true;
        else if (allume && x < extinction)
            allume = false;
        propre.valeurs[i] = allume ? eclaire : sombre;
    }
    return propre;
}
