#include "receive/decodagemorserapide.h"

#include "receive/echantillon.h"

#include <algorithm>
#include <cmath>

namespace {

void noteextremes(DecodageMorseRapide& r, int x) {
    if (x >= r.vmax)
        r.vmax = x;
    if (x <= r.vmin)
        r.vmin = x;
}

} // namespace

DecodageMorseRapide decodemorserapide(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                      double tensionseuil) {
    DecodageMorseRapide r;
    const auto lis = [&tabmesures](int k) { return echantillon(tabmesures, k); };

    // Preamble: four lit runs above a threshold low enough for any light.
    int S = static_cast<int>(std::floor(255 * tensionseuil / 20));
    int i = 0;
    int x = 0;
    int npulse = 0;
    while (i <= nbmesures && npulse < 4) {
        ++i;
        x = lis(i);
        noteextremes(r, x);
        if (x > S) {
            int run = 0;
            while (x > S) {
                ++run;
                ++i;
                x = lis(i);
                // A recording that ends in the light ends the pulse there.
                if (i > nbmesures)
                    break;
            }
            if (run > 0)
                ++npulse;
            // A pulse that sets pmax is not also compared with pmin: the first one (a
            // dash) sets only pmax.
            if (run >= r.pmax)
                r.pmax = run;
            else if (run <= r.pmin)
                r.pmin = run;
        }
        noteextremes(r, x);
    }
    S = static_cast<int>(std::floor((r.vmin + r.vmax) / 2.0));
    r.seuil = S;
    r.debut = i;

    // The message. No sample exists past the table's last index: the lit runs stop there,
    // whatever the threshold (below 0 every value would prolong them), and so does the
    // scan when `nbmesures` would reach beyond it.
    const int derniere = static_cast<int>(tabmesures.size()) - 1;
    const int fin = std::min(nbmesures, derniere);
    const double blanc = 1.5 * r.pmax - 4;
    while (i < fin) {
        int run = 0;
        while (i < fin && x <= S) {
            ++run;
            ++i;
            x = lis(i);
            if (run >= blanc) {
                r.codemorse += u' ';
                run = 0;
            }
        }
        run = 0;
        while (x >= S && i < derniere) {
            ++i;
            x = lis(i);
            ++run;
        }
        if (r.pmin - 2 <= run && run <= r.pmin + 2)
            r.codemorse += u'.';
        else if (r.pmax - 4 <= run && run <= r.pmax + 4)
            r.codemorse += u'-';
    }
    return r;
}

MessageMorseRapide decodemessagemorserapide(const std::vector<QByteArray>& tabmesures,
                                            int nbmesures, double tensionseuil) {
    MessageMorseRapide m;
    m.mesure = decodemorserapide(tabmesures, nbmesures, tensionseuil);
    m.texte = decodecodemorse(m.mesure.codemorse);
    return m;
}
