#include "lumiererapide.h"

#include "codes/binaire.h"
#include "codes/morse.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

void ajoute(std::vector<Plage>& l, double duree, bool allume) {
    if (!l.empty() && l.back().allume == allume)
        l.back().duree += duree;
    else
        l.push_back({duree, allume});
}

} // namespace

std::vector<Plage> lumierebinairerapide(const QString& texte, double f) {
    const double bit = 0.07 * f;
    std::vector<Plage> l{{0.35, false}};
    for (int k = 0; k < 3; ++k) {
        ajoute(l, bit, true);
        ajoute(l, k < 2 ? bit : 2 * bit, false);
    }
    QString code, affichage;
    traduitbinaire(texte, code, affichage);
    int bits = 0;
    for (const QChar c : code) {
        if (c == u' ') {
            ajoute(l, 2 * bit, false);
            continue;
        }
        ajoute(l, bit, c == u'1');
        if (++bits == 9) {
            bits = 0;
            ajoute(l, 2 * bit, false);
        }
    }
    ajoute(l, 60, false);
    return l;
}

std::vector<Plage> lumieremorserapide(const QString& texte, double f) {
    const double point = 0.05 * f;
    std::vector<Plage> l{{0.35, false}};
    for (int k = 0; k < 4; ++k) {
        ajoute(l, k % 2 == 0 ? 3 * point : point, true);
        ajoute(l, k < 3 ? point : 3 * point, false);
    }
    for (const QChar c : traduitmorse(texte).codemorse) {
        if (c == u' ')
            ajoute(l, 3 * point, false);
        else
            ajoute(l, c == u'.' ? point : 3 * point, true);
        ajoute(l, point, false);
    }
    ajoute(l, 60, false);
    return l;
}

std::vector<int> echantillonne(const std::vector<Plage>& lumiere, const Echantillonnage& e) {
    std::mt19937 hasard(e.graine);
    std::normal_distribution<double> bruit(0, e.bruit > 0 ? e.bruit : 1);
    std::vector<int> valeurs;
    std::size_t plage = 0;
    double finplage = lumiere.empty() ? 0 : lumiere[0].duree;
    for (int k = 0; k < e.nombre; ++k) {
        const double t = e.debut + k * e.periode;
        while (plage < lumiere.size() && t >= finplage) {
            ++plage;
            if (plage < lumiere.size())
                finplage += lumiere[plage].duree;
        }
        const bool allume = plage < lumiere.size() && lumiere[plage].allume;
        double v = allume ? e.eclaire : e.sombre;
        if (e.bruit > 0)
            v += bruit(hasard);
        valeurs.push_back(std::clamp(int(std::lround(v)), 0, 255));
    }
    return valeurs;
}
