#include "bench/exactitude.h"

#include "codes/predefinis.h"

#include <algorithm>
#include <cmath>

namespace {

QString sansBlancsFinaux(QString texte) {
    while (texte.endsWith(u' '))
        texte.chop(1);
    return texte;
}

} // namespace

std::pair<int, int> blancsEnTete(bool morse, double f, double intervalle) {
    const double obscurite = morse ? 2.0 : 1.136;
    const double unite = morse ? 1.2 * f : f;
    int min = int(std::floor((obscurite - intervalle) / unite));
    int max = int(std::floor((obscurite + intervalle) / unite));
    if (morse) {
        min = std::max(min - 1, 0);
        max = std::max(max - 1, 0);
    }
    return {std::max(min, 0), max};
}

bool recuExactement(const QString& envoye, const QString& recu, bool morse, double f,
                    double intervalle) {
    const auto [min, max] = blancsEnTete(morse, f, intervalle);
    const FormesReception formes =
        morse ? FormesReception::MorseLent : FormesReception::BinaireLent;
    for (int n = min; n <= max; ++n)
        if (recu == developpecodepredefini(QString(n, u' ') + envoye, formes))
            return true;
    return false;
}

bool recuExactementRapide(const QString& envoye, const QString& recu) {
    return sansBlancsFinaux(recu) == sansBlancsFinaux(developpecoderapide(envoye));
}
