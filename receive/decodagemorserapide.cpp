#include "receive/decodagemorserapide.h"

#include "codes/predefinis.h"
#include "receive/decodagegrille.h"

#include <algorithm>
#include <cmath>

namespace {

void noteextremes(DecodageMorseRapide& r, int x) {
    if (x >= r.vmax)
        r.vmax = x;
    if (x <= r.vmin)
        r.vmin = x;
}

// The lengths of the code in units: a dot 1, a dash 3; the emitter darkens 1 unit after
// each element, 3 after the preamble, and 4 more for each blank of the code string, so a
// letter gap is 5 units and a word gap 9.
constexpr int unitesdupreambule[] = {3, 1, 3, 1}; // the letter c
// A lit run of fewer samples, while the preamble is looked for, is a glitch of the
// darkness (noise above a first threshold that clipped readings let lie too low).
constexpr int parasitepreambule = 3;
// A pulse of the preamble is read as its element within a unit of its length, half the two
// units between a dot and a dash.
constexpr double toleranceelement = 1;
// A run shorter than this, whose edges fall at the same place of the grid, is a glitch: a
// dot whose two edges slip towards each other by three times their spread at speed x 2
// (4 ms each, a unit being 25 ms) still lasts longer.
constexpr double eclairparasite = 0.15;

// The unit of the mended rules, measured on the edges of the preamble's letter c: from
// the first pulse's rising edge to the fourth's are 10 units, from the first falling
// edge to the fourth's 8; the lit runs are `ecartallume` samples longer than their units
// (the dark runs as much shorter). Without a preamble whose pulses read as the letter c,
// no unit.
struct UniteMorse {
    double unite = 0;
    double ecartallume = 0;
    bool valide() const { return unite >= 2; }
    double allume(int run) const { return (run - ecartallume) / unite; }
    double sombre(int run) const { return (run + ecartallume) / unite; }
};

UniteMorse unitemorse(const std::vector<RunMesure>& preambule) {
    UniteMorse u;
    if (preambule.size() != std::size(unitesdupreambule))
        return u;
    const RunMesure& premier = preambule.front();
    const RunMesure& dernier = preambule.back();
    const double montees = dernier.debut - premier.debut;
    const double descentes =
        (dernier.debut + dernier.longueur) - (premier.debut + premier.longueur);
    const double unite = (montees + descentes) / 18;
    double exces = 0;
    for (std::size_t k = 0; k < preambule.size(); ++k)
        exces += preambule[k].longueur - unitesdupreambule[k] * unite;
    const double ecart = exces / double(preambule.size());
    // Each pulse read as its element: a dash, a dot, a dash, a dot.
    for (std::size_t k = 0; k < preambule.size(); ++k)
        if (std::abs(preambule[k].longueur - ecart - unitesdupreambule[k] * unite) >
            toleranceelement * unite)
            return u;
    u.unite = unite;
    u.ecartallume = ecart;
    return u;
}

// The blanks of a darkness of `unites` units: the count of the nearest length the emitter
// darkens, the limits half-way between (none below 4 units, between the 3 after the
// preamble and a letter gap's 5; then one more from 7, 11, 15 ... units).
int blancsdelobscurite(double unites) {
    return unites < 4 ? 0 : static_cast<int>(std::floor((unites + 1) / 4));
}

// Where the reading of the message stands: the sample being read and its value, the
// threshold of the message and the end of the samples.
struct Lecture {
    const SourceEchantillons& source;
    int i;
    int x;
    const int S;
    const int fin;
    void avance() {
        ++i;
        x = source.lis(i);
    }
    void va(int k) {
        i = k;
        x = source.lis(i);
    }
};

// Appends `blancs` blanks for the darkness `sombre`, sharing its samples.
void ajouteblancs(DecodageMorseRapide& r, RunMesure& sombre, int blancs) {
    for (int b = 0; b < blancs; ++b) {
        r.codemorse += u' ';
        r.etenduescode.emplace_back(sombre.debut + sombre.longueur * b / blancs,
                                    sombre.debut + sombre.longueur * (b + 1) / blancs);
        sombre.code += u' ';
    }
}

// Appends a lit run and what it added.
void ajouteelement(DecodageMorseRapide& r, const RunMesure& eclaire) {
    r.codemorse += eclaire.code;
    if (!eclaire.code.isEmpty())
        r.etenduescode.emplace_back(eclaire.debut, eclaire.debut + eclaire.longueur);
    r.runs.push_back(eclaire);
}

// The designed reading of the message: a dark run adds one blank each time it reaches
// 1.5 × pmax − 4 values; a lit run is a dot within pmin ± 2, a dash within pmax ± 4,
// otherwise nothing, and the end of the scan when `arretsurrun`.
void litcommeconcu(DecodageMorseRapide& r, Lecture& l, bool arretsurrun) {
    const int S = l.S;
    const int derniere = l.source.derniere();
    const double blanc = 1.5 * r.pmax - 4;
    while (l.i < l.fin) {
        RunMesure sombre{l.i, 0, false, QString()};
        int run = 0;
        int debutblanc = l.i;
        while (l.i < l.fin && l.x <= S) {
            ++run;
            l.avance();
            if (run >= blanc) {
                r.codemorse += u' ';
                r.etenduescode.emplace_back(debutblanc, l.i);
                debutblanc = l.i;
                sombre.code += u' ';
                run = 0;
            }
        }
        sombre.longueur = l.i - sombre.debut;
        if (sombre.longueur > 0)
            r.runs.push_back(sombre);
        RunMesure eclaire{l.i, 0, true, QString()};
        while (l.x >= S && l.i < derniere)
            l.avance();
        eclaire.longueur = l.i - eclaire.debut;
        if (r.pmin - 2 <= eclaire.longueur && eclaire.longueur <= r.pmin + 2)
            eclaire.code = QStringLiteral(".");
        else if (r.pmax - 4 <= eclaire.longueur && eclaire.longueur <= r.pmax + 4)
            eclaire.code = QStringLiteral("-");
        ajouteelement(r, eclaire);
        if (arretsurrun && eclaire.code.isEmpty()) {
            r.arretsurrun = true;
            break;
        }
    }
}

// The unit grid of a message, from the eight edges of the preamble's letter c.
Grille grilleunites(const std::vector<RunMesure>& preambule, const UniteMorse& u) {
    Grille g(u.unite, u.ecartallume);
    constexpr int montees[] = {0, 4, 6, 10};
    for (std::size_t k = 0; k < preambule.size(); ++k) {
        g.note(montees[k], preambule[k].debut, true);
        g.note(montees[k] + unitesdupreambule[k], preambule[k].debut + preambule[k].longueur,
               false);
    }
    return g;
}

// The mended reading of the message, on the unit grid. A light shorter than 0.15 unit whose
// two edges fall at the same place of the grid is a glitch, part of the darkness around it,
// and such a darkness part of the light. A lit run is a dot or a dash by the designed
// windows, otherwise by the places of its edges on the grid: 1 unit or less a dot, 3 a
// dash, 2 the nearer of them by its length, 4 a dash when it lasts 4.5 units at most; any
// other is an element no rule places. A dark run
// gives the blanks of its places on the grid (`blancsdelobscurite`), of its length at the
// end of the samples.
void litsurlagrille(DecodageMorseRapide& r, Lecture& l, const UniteMorse& mesure, Grille g) {
    const int S = l.S;
    const int derniere = l.source.derniere();
    const double blanc = 1.5 * r.pmax - 4;
    // The designed blanks of a darkness: one each time it reaches 1.5 × pmax − 4 values.
    const int pasblanc = std::max(1, static_cast<int>(std::ceil(blanc)));
    int nbord = 11; // where the run being read starts, in units: the fourth pulse's end
    // The run from sample i that stays lit (or dark), in samples.
    const auto longueurdepuis = [&](int k, bool allume) {
        const int debut = k;
        while (k < (allume ? derniere : l.fin) &&
               (allume ? l.source.lis(k) >= S : l.source.lis(k) <= S))
            ++k;
        return k - debut;
    };
    // A run of 0.3 unit at most whose two edges fall at the same place of the grid: a
    // glitch.
    const auto parasite = [&](int debut, int longueur, bool allume) {
        const double unites = allume ? mesure.allume(longueur) : mesure.sombre(longueur);
        return unites < eclairparasite && std::lround(g.place(debut, allume)) ==
                                              std::lround(g.place(debut + longueur, !allume));
    };
    while (l.i < l.fin) {
        RunMesure sombre{l.i, 0, false, QString()};
        for (;;) {
            while (l.i < l.fin && l.x <= S)
                l.avance();
            if (l.i >= l.fin)
                break;
            const int eclair = longueurdepuis(l.i, true);
            if (!parasite(l.i, eclair, true))
                break;
            l.va(l.i + eclair);
        }
        sombre.longueur = l.i - sombre.debut;
        int blancs = 0;
        if (l.i < l.fin) {
            const long n = std::lround(g.place(l.i, true));
            blancs = blancsdelobscurite(double(n - nbord));
            g.note(int(n), l.i, true);
            nbord = int(n);
        } else {
            blancs = blancsdelobscurite(mesure.sombre(sombre.longueur));
        }
        ajouteblancs(r, sombre, blancs);
        sombre.arrondi = blancs != sombre.longueur / pasblanc;
        if (sombre.longueur > 0)
            r.runs.push_back(sombre);
        if (l.i >= l.fin)
            break;

        RunMesure eclaire{l.i, 0, true, QString()};
        for (;;) {
            while (l.x >= S && l.i < derniere)
                l.avance();
            if (l.i >= l.fin)
                break;
            const int nuit = longueurdepuis(l.i, false);
            if (!parasite(l.i, nuit, false) || l.i + nuit >= l.fin)
                break;
            l.va(l.i + nuit);
        }
        eclaire.longueur = l.i - eclaire.debut;
        const double unites = mesure.allume(eclaire.longueur);
        const long n = std::lround(g.place(l.i, false)) - nbord;
        int element = 0; // its units on the grid: 1 a dot, 3 a dash, 0 none
        if (n <= 1 || (n == 2 && unites < 2))
            element = 1;
        else if (n == 3 || n == 2 || (n == 4 && unites <= 4.5))
            element = 3;
        if (r.pmin - 2 <= eclaire.longueur && eclaire.longueur <= r.pmin + 2)
            eclaire.code = QStringLiteral(".");
        else if (r.pmax - 4 <= eclaire.longueur && eclaire.longueur <= r.pmax + 4)
            eclaire.code = QStringLiteral("-");
        else
            eclaire.arrondi = element != 0;
        if (eclaire.code.isEmpty())
            eclaire.code = element == 1   ? QStringLiteral(".")
                           : element == 3 ? QStringLiteral("-")
                                          : QString(elementinconnu); // its letter is lost
        const int unitescode = eclaire.code == u"." ? 1 : eclaire.code == u"-" ? 3 : int(n);
        if (l.i < l.fin && std::abs(g.place(l.i, false) - (nbord + unitescode)) <= 0.5)
            g.note(nbord + unitescode, l.i, false);
        nbord += unitescode;
        ajouteelement(r, eclaire);
    }
}
} // namespace

DecodageMorseRapide decodemorserapide(const SourceEchantillons& source, Regles regles) {
    if (regles == Regles::Robustes)
        return decodemorserapide(nettoie(source), Regles::Corrigees);
    DecodageMorseRapide r;
    const bool corrige = regles == Regles::Corrigees;
    const bool fichier = source.origine == Origine::Fichier;
    const int derniere = source.derniere();
    const auto lis = [&source](int k) { return source.lis(k); };

    // A file gives its first threshold from its sample of index 1: without it, nothing.
    if (fichier && derniere < 1)
        return r;
    int S = fichier ? lis(1) + 7 : static_cast<int>(std::floor(255 * source.tensionseuil / 20));
    int i = fichier ? 1 : 0;
    if (corrige && derniere >= 1) {
        // A recording that starts in the light of the start mark: its preamble and its
        // darkness come after that light. A file's sample of index 1 is then no darkness.
        const int obscur = debutobscur(source);
        if (fichier && obscur > 1)
            S = 0;
        S = std::max(S, seuilsurobscurite(source, obscur));
        i = std::max(i, obscur - 1);
    }
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
            // The mended rules pass over a glitch of the darkness: a dot lasts some ten
            // samples at the fastest speed.
            if (!corrige || run >= parasitepreambule) {
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
        }
        noteextremes(r, x);
    }
    S = static_cast<int>(std::floor((r.vmin + r.vmax) / 2.0));
    r.seuil = S;
    r.debut = i;
    // The mended rules also read each run as the nearest whole number of units.
    const UniteMorse mesure = corrige ? unitemorse(r.preambule) : UniteMorse{};
    r.unite = mesure.unite;
    r.ecartallume = mesure.ecartallume;

    // The message. No sample exists past the last index: the lit runs stop there, whatever
    // the threshold (below 0 every value would prolong them), and so does the scan when
    // `nbmesures` would reach beyond it.
    const int fin = fichier ? derniere : std::min(source.nbmesures, derniere);
    Lecture lecture{source, i, x, S, fin};
    if (mesure.valide())
        litsurlagrille(r, lecture, mesure, grilleunites(r.preambule, mesure));
    else
        litcommeconcu(r, lecture, fichier && !corrige);
    if (npulse == 4) {
        const bool lettreouverte = !r.codemorse.isEmpty() && !r.codemorse.endsWith(u' ');
        r.coupe = lettreouverte || lumierealafin(source, fin, r.seuil);
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
