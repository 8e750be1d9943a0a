#include "receive/decodagemorserapide.h"

#include "codes/predefinis.h"

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

DecodageMorseRapide decodemorserapide(const SourceEchantillons& source, Regles regles) {
    if (regles == Regles::Robustes)
        return decodemorserapide(nettoie(source), Regles::Corrigees);
    DecodageMorseRapide r;
    const bool fichier = source.origine == Origine::Fichier;
    const int derniere = source.derniere();
    const auto lis = [&source](int k) { return source.lis(k); };

    // A file gives its first threshold from its sample of index 1: without it, nothing.
    if (fichier && derniere < 1)
        return r;
    int S = fichier ? lis(1) + 7 : static_cast<int>(std::floor(255 * source.tensionseuil / 20));
    if (regles == Regles::Corrigees && derniere >= 1) {
        const Obscurite obscurite = obscuritedudebut(source);
        const double marge = std::max(3.0, 5 * obscurite.bruit + 1);
        S = std::max(S, static_cast<int>(std::ceil(obscurite.niveau + marge)));
    }
    int i = fichier ? 1 : 0;
    r.seuilinitial = S;
    // A download's preamble may read one value past `nbmesures`; a file's stops at its end.
    const int finpreambule = fichier ? derniere : source.nbmesures + 1;
    // A file's lit runs include the values equal to the threshold.
    const auto allume = [&S, fichier](int x) { return fichier ? x >= S : x > S; };

    // Preamble: four lit runs above a threshold low enough for any light.
    int x = 0;
    int npulse = 0;
    while (npulse < 4 && i < finpreambule) {
        ++i;
        x = lis(i);
        noteextremes(r, x);
        if (allume(x)) {
            const int debut = i;
            int run = 0;
            while (allume(x)) {
                if (fichier)
                    noteextremes(r, x);
                ++run;
                // A recording that ends in the light ends the pulse there.
                if (fichier && i >= finpreambule)
                    break;
                ++i;
                x = lis(i);
                if (!fichier && i >= finpreambule)
                    break;
            }
            if (run > 0)
                ++npulse;
            r.preambule.push_back({debut, run, true, QString()});
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

    // The message. No sample exists past the last index: the lit runs stop there, whatever
    // the threshold (below 0 every value would prolong them), and so does the scan when
    // `nbmesures` would reach beyond it.
    const int fin = fichier ? derniere : std::min(source.nbmesures, derniere);
    const double blanc = 1.5 * r.pmax - 4;
    while (i < fin) {
        RunMesure sombre{i, 0, false, QString()};
        int run = 0;
        int debutblanc = i;
        while (i < fin && x <= S) {
            ++run;
            ++i;
            x = lis(i);
            if (run >= blanc) {
                r.codemorse += u' ';
                r.etenduescode.emplace_back(debutblanc, i);
                debutblanc = i;
                sombre.code += u' ';
                run = 0;
            }
        }
        sombre.longueur = i - sombre.debut;
        if (sombre.longueur > 0)
            r.runs.push_back(sombre);
        RunMesure eclaire{i, 0, true, QString()};
        run = 0;
        while (x >= S && i < derniere) {
            ++i;
            x = lis(i);
            ++run;
        }
        eclaire.longueur = run;
        if (r.pmin - 2 <= run && run <= r.pmin + 2)
            eclaire.code = QStringLiteral(".");
        else if (r.pmax - 4 <= run && run <= r.pmax + 4)
            eclaire.code = QStringLiteral("-");
        r.codemorse += eclaire.code;
        if (!eclaire.code.isEmpty())
            r.etenduescode.emplace_back(eclaire.debut, eclaire.debut + eclaire.longueur);
        r.runs.push_back(eclaire);
        if (fichier && eclaire.code.isEmpty()) {
            r.arretsurrun = true;
            break;
        }
    }
    if (npulse == 4) {
        const bool lettreouverte = !r.codemorse.isEmpty() && !r.codemorse.endsWith(u' ');
        r.coupe = lettreouverte || lumierealafin(source, fin, S);
    }
    return r;
}

DecodageMorseRapide decodemorserapide(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                      double tensionseuil, Regles regles) {
    return decodemorserapide(depuistabmesures(tabmesures, nbmesures, tensionseuil), regles);
}

MessageMorseRapide decodemessagemorserapide(const SourceEchantillons& source, Regles regles) {
    MessageMorseRapide m;
    m.mesure = decodemorserapide(source, regles);
    m.texte = decodecodemorse(m.mesure.codemorse);
    m.messagerecu = developpecoderapide(m.texte.messagerecu);
    return m;
}

MessageMorseRapide decodemessagemorserapide(const std::vector<QByteArray>& tabmesures,
                                            int nbmesures, double tensionseuil, Regles regles) {
    return decodemessagemorserapide(depuistabmesures(tabmesures, nbmesures, tensionseuil), regles);
}
