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

bool lumierealafin(const SourceEchantillons& source, int fin, int seuil) {
    for (int i = std::max(1, fin - echantillonsdemiseconde + 1); i <= fin; ++i)
        if (source.lis(i) > seuil)
            return true;
    return false;
}

Obscurite obscuritedudebut(const SourceEchantillons& source) {
    std::vector<double> debut;
    for (int i = 1; i <= std::min(echantillonsobscurite, source.derniere()); ++i)
        debut.push_back(source.lis(i));
    // A recording that would begin close to the preamble holds light among its first
    // samples: only the lower half of their range is darkness then.
    if (!debut.empty()) {
        const auto [min, max] = std::minmax_element(debut.begin(), debut.end());
        const double milieu = (*min + *max) / 2;
        if (*max - *min > ecartlumiere)
            std::erase_if(debut, [milieu](double v) { return v > milieu; });
    }
    Obscurite o;
    o.niveau = mediane(debut);
    std::vector<double> ecarts;
    for (double v : debut)
        ecarts.push_back(std::abs(v - o.niveau));
    o.bruit = 1.4826 * mediane(ecarts);
    if (source.origine == Origine::Telechargement)
        o.niveau = std::max(o.niveau, 255 * (source.tensionseuil - 0.5) / 5);
    return o;
}

SourceEchantillons nettoie(const SourceEchantillons& source) {
    SourceEchantillons propre = source;
    // The samples the decoders read: a download's table beyond `nbmesures` holds no light.
    const std::size_t fin =
        static_cast<std::size_t>(source.origine == Origine::Telechargement
                                     ? std::min(source.nbmesures, source.derniere())
                                     : source.derniere()) +
        1;
    if (fin < 3 || fin > source.valeurs.size())
        return propre;
    const auto debut = source.valeurs.begin() + 1; // index 0 is no sample of the light
    const auto bout = source.valeurs.begin() + static_cast<std::ptrdiff_t>(fin);
    // The two levels: the means of the samples below and above a threshold that moves to
    // their middle until it stays put.
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
    // Below a tenth of a volt of difference there is no light to read.
    if (haut - bas < 5)
        return propre;
    const double allumage = bas + 0.6 * (haut - bas);
    const double extinction = bas + 0.4 * (haut - bas);
    const int sombre = static_cast<int>(std::lround(bas));
    const int eclaire = static_cast<int>(std::lround(haut));
    bool allume = false;
    for (std::size_t i = 1; i < fin; ++i) {
        const int x = source.valeurs[i];
        if (!allume && x > allumage)
            allume = true;
        else if (allume && x < extinction)
            allume = false;
        propre.valeurs[i] = allume ? eclaire : sombre;
    }
    return propre;
}
