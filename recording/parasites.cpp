#include "recording/parasites.h"

#include <algorithm>
#include <cmath>

namespace {

// A run of samples on one side of the threshold.
struct PlageSeuil {
    int debut;
    int longueur;
    bool allume;
};

// The runs of samples 1 to `derniere` (index 0 is no sample of the light).
std::vector<PlageSeuil> plagesdesechantillons(const SourceEchantillons& source, int derniere,
                                              int seuil) {
    std::vector<PlageSeuil> plages;
    for (int i = 1; i <= derniere; ++i) {
        const bool allume = source.lis(i) > seuil;
        if (!plages.empty() && plages.back().allume == allume)
            ++plages.back().longueur;
        else
            plages.push_back({i, 1, allume});
    }
    return plages;
}

// One pass over the runs: each run of `longueur` samples or fewer takes the level of the runs
// around it, which join. Runs made longer by an earlier join are not glitches.
std::vector<PlageSeuil> joinscourtes(const std::vector<PlageSeuil>& plages, int longueur) {
    std::vector<PlageSeuil> jointes;
    int report = 0; // a glitch at the very start, joined to the run after it
    for (std::size_t k = 0; k < plages.size(); ++k) {
        PlageSeuil p = plages[k];
        const bool seule = plages.size() == 1;
        if (p.longueur <= longueur && !seule) {
            if (jointes.empty())
                report += p.longueur;
            else
                jointes.back().longueur += p.longueur;
            continue;
        }
        if (report > 0) {
            p.debut -= report;
            p.longueur += report;
            report = 0;
        }
        if (!jointes.empty() && jointes.back().allume == p.allume)
            jointes.back().longueur += p.longueur;
        else
            jointes.push_back(p);
    }
    // Every run was a glitch: nothing to join them to.
    if (jointes.empty())
        return plages;
    return jointes;
}

} // namespace

SansParasites sansparasites(const SourceEchantillons& source, int seuil, double plusbref) {
    SansParasites r{source, {}};
    const int derniere = dernierelue(source);
    std::vector<PlageSeuil> plages = plagesdesechantillons(source, derniere, seuil);
    // The shortest first: a glitch next to a longer one does not take it for its edge.
    const int maximum = static_cast<int>(std::ceil(plusbref)) - 1;
    for (int longueur = 1; longueur <= maximum && plages.size() > 1; ++longueur)
        plages = joinscourtes(plages, longueur);
    // Each sample whose level changed takes the value of the nearest sample of its run that
    // kept its own, the one before it first.
    std::vector<int>& v = r.source.valeurs;
    for (const PlageSeuil& p : plages) {
        const int fin = p.debut + p.longueur;
        int dernierbon = -1;
        int i = p.debut;
        while (i < fin) {
            if ((source.lis(i) > seuil) == p.allume) {
                dernierbon = i;
                ++i;
                continue;
            }
            // A glitch: from i to the next sample of the run's own level.
            int j = i;
            while (j < fin && (source.lis(j) > seuil) != p.allume)
                ++j;
            const int modele = dernierbon >= 0 ? dernierbon : j;
            if (modele < fin) {
                for (int k = i; k < j; ++k)
                    v[std::size_t(k)] = source.lis(modele);
            }
            r.parasites.push_back({i, j - i, !p.allume, QString()});
            i = j;
        }
    }
    return r;
}

EssaiParasites parasitesaumilieu(const SourceEchantillons& source, double plusbref) {
    EssaiParasites e{{source, {}}, false};
    const Niveaux niveaux = niveauxdelumiere(source);
    if (!niveaux.distincts)
        return e;
    e.nettoyage = sansparasites(
        source, static_cast<int>(std::floor((niveaux.bas + niveaux.haut) / 2)), plusbref);
    e.nettoye = true;
    return e;
}
