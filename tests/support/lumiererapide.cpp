#include "lumiererapide.h"

#include "codes/binaire.h"
#include "codes/morse.h"

#include <algorithm>
#include <cmath>
#include <numbers>
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

std::vector<Plage> glisse(const std::vector<Plage>& lumiere, double sigma, unsigned graine) {
    std::mt19937 hasard(graine);
    std::normal_distribution<double> glissement(0, sigma > 0 ? sigma : 1);
    std::vector<Plage> l = lumiere;
    double cle = 0;   // the change at the end of a stretch, as keyed
    double vu = 0;    // the same, as seen
    double avant = 0; // the change before it, as seen
    for (std::size_t k = 0; k + 1 < l.size(); ++k) {
        cle += lumiere[k].duree;
        vu = std::max(avant, cle + (sigma > 0 ? glissement(hasard) : 0));
        l[k].duree = vu - avant;
        avant = vu;
    }
    // The last stretch ends where it did.
    if (!l.empty())
        l.back().duree = cle + lumiere.back().duree - avant;
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
        if (e.scintillement > 0)
            v += e.scintillement * std::sin(2 * std::numbers::pi * 100 * t);
        valeurs.push_back(std::clamp(int(std::lround(v)), 0, 255));
    }
    return valeurs;
}
