#include "recording/decodagemorserapide.h"

#include "codes/predefinis.h"
#include "recording/balayage.h"
#include "recording/decodagegrille.h"
#include "recording/parasites.h"

#include <algorithm>
#include <cmath>

namespace {

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
constexpr double eclairparasitemorse = 0.15;

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
// other is an element no rule places. A dark run gives the blanks of its places on the
// grid (`blancsdelobscurite`), of its length at the end of the samples.
class LectureGrilleMorse {
public:
    LectureGrilleMorse(DecodageMorseRapide& r, Lecture& l, const UniteMorse& mesure, Grille g)
        : r_(r), l_(l), mesure_(mesure), g_(g), derniere_(l.source.derniere()),
          pasblanc_(std::max(1, static_cast<int>(std::ceil(1.5 * r.pmax - 4)))) {}
    void lit() {
        while (l_.i < l_.fin) {
            if (!litsombre())
                break;
            litallume();
        }
    }

private:
    bool litsombre();
    void litallume();
    int unitesdelelement() const;
    QString classe(RunMesure& eclaire, int unites) const;
    int longueurdepuis(int k, bool allume) const;
    bool parasite(int debut, int longueur, bool allume) const;

    DecodageMorseRapide& r_;
    Lecture& l_;
    const UniteMorse& mesure_;
    Grille g_;
    const int derniere_;
    // The designed blanks of a darkness: one each time it reaches 1.5 × pmax − 4 values.
    const int pasblanc_;
    int nbord_ = 11; // where the run being read starts, in units: the fourth pulse's end
};

// The run from sample k that stays lit (or dark), in samples.
int LectureGrilleMorse::longueurdepuis(int k, bool allume) const {
    const int debut = k;
    while (k < (allume ? derniere_ : l_.fin) &&
           (allume ? l_.source.lis(k) >= l_.S : l_.source.lis(k) <= l_.S))
        ++k;
    return k - debut;
}

// A run of 0.15 unit at most whose two edges fall at the same place of the grid: a glitch.
bool LectureGrilleMorse::parasite(int debut, int longueur, bool allume) const {
    const double unites = allume ? mesure_.allume(longueur) : mesure_.sombre(longueur);
    return unites < eclairparasitemorse &&
           std::lround(g_.place(debut, allume)) == std::lround(g_.place(debut + longueur, !allume));
}

// A darkness and its blanks, the glitches of light in it passed. False at the end of the
// samples.
bool LectureGrilleMorse::litsombre() {
    RunMesure sombre{l_.i, 0, false, QString()};
    for (;;) {
        while (l_.i < l_.fin && l_.x <= l_.S)
            l_.avance();
        if (l_.i >= l_.fin)
            break;
        const int eclair = longueurdepuis(l_.i, true);
        if (!parasite(l_.i, eclair, true))
            break;
        l_.va(l_.i + eclair);
    }
    sombre.longueur = l_.i - sombre.debut;
    if (l_.i < l_.fin) {
        const long n = std::lround(g_.place(l_.i, true));
        const int blancs = blancsdelobscurite(double(n - nbord_));
        g_.note(int(n), l_.i, true);
        nbord_ = int(n);
        ajouteblancs(r_, sombre, blancs);
        sombre.arrondi = blancs != sombre.longueur / pasblanc_;
    } else if (!r_.codemorse.isEmpty() && !r_.codemorse.endsWith(u' ') &&
               blancsdelobscurite(mesure_.sombre(sombre.longueur)) > 0) {
        // The darkness the samples end in: no blank of the message, which may be over
        // there; long enough for a blank, it closes the last letter.
        r_.codemorse += u' ';
        r_.etenduescode.emplace_back(sombre.debut, l_.i);
    }
    if (sombre.longueur > 0)
        r_.runs.push_back(sombre);
    return l_.i < l_.fin;
}

// A light, the glitches of darkness in it passed, as a dot, a dash or an unknown element.
void LectureGrilleMorse::litallume() {
    RunMesure eclaire{l_.i, 0, true, QString()};
    for (;;) {
        while (l_.x >= l_.S && l_.i < derniere_)
            l_.avance();
        if (l_.i >= l_.fin)
            break;
        const int nuit = longueurdepuis(l_.i, false);
        if (!parasite(l_.i, nuit, false) || l_.i + nuit >= l_.fin)
            break;
        l_.va(l_.i + nuit);
    }
    eclaire.longueur = l_.i - eclaire.debut;
    if (l_.i >= l_.fin && l_.source.lis(l_.fin) >= l_.S) {
        // Still lit at the last sample: the element, and its letter, are cut.
        eclaire.code = elementinconnu;
        ajouteelement(r_, eclaire);
        return;
    }
    const int n = unitesdelelement();
    eclaire.code = classe(eclaire, n);
    const int unitescode = eclaire.code == u"." ? 1 : eclaire.code == u"-" ? 3 : n;
    if (l_.i < l_.fin && std::abs(g_.place(l_.i, false) - (nbord_ + unitescode)) <= 0.5)
        g_.note(nbord_ + unitescode, l_.i, false);
    nbord_ += unitescode;
    ajouteelement(r_, eclaire);
}

// The units of a lit run that ends at the current sample, by the places of its edges.
int LectureGrilleMorse::unitesdelelement() const {
    return int(std::lround(g_.place(l_.i, false)) - nbord_);
}

// A lit run of `n` units on the grid: a dot or a dash by the designed windows, otherwise by
// the grid (then read by rounding), otherwise an unknown element whose letter is lost.
QString LectureGrilleMorse::classe(RunMesure& eclaire, int n) const {
    const double unites = mesure_.allume(eclaire.longueur);
    int element = 0; // its units on the grid: 1 a dot, 3 a dash, 0 none
    if (n <= 1 || (n == 2 && unites < 2))
        element = 1;
    else if (n == 3 || n == 2 || (n == 4 && unites <= 4.5))
        element = 3;
    if (r_.pmin - 2 <= eclaire.longueur && eclaire.longueur <= r_.pmin + 2)
        return QStringLiteral(".");
    if (r_.pmax - 4 <= eclaire.longueur && eclaire.longueur <= r_.pmax + 4)
        return QStringLiteral("-");
    eclaire.arrondi = element != 0;
    return element == 1   ? QStringLiteral(".")
           : element == 3 ? QStringLiteral("-")
                          : QString(elementinconnu);
}

// The designed preamble: four lit runs above the first threshold, the dark values between
// them passed one by one. The first pulse sets only pmax; each later one sets pmax when it
// is at least as long, otherwise pmin when it is at most as long. A file's values all count
// for the extremes; a download's but those inside a run after its first. The mended rules
// pass over a glitch of the darkness (a dot lasts some ten samples at the fastest speed).
// Returns the pulses counted, 4 when the preamble was found.
int mesurepreambule(DecodageMorseRapide& r, LecturePreambule& p, int S, bool corrige) {
    const bool fichier = p.source.origine == Origine::Fichier;
    int npulse = 0;
    while (npulse < 4 && p.reste()) {
        p.avance();
        if (p.reste() && p.dansrun(true, S)) {
            const int debut = p.i;
            const int run = p.run(true, S, fichier);
            if (!corrige || run >= parasitepreambule) {
                if (run > 0)
                    ++npulse;
                r.preambule.push_back({debut, run, true, QString()});
                if (run >= r.pmax)
                    r.pmax = run;
                else if (run <= r.pmin)
                    r.pmin = run;
            }
        }
        p.note(p.x);
    }
    r.vmin = p.vmin;
    r.vmax = p.vmax;
    return npulse;
}
// The end of the message as the mended rules read it: the darkness the samples end in
// gives no blank but the one that closes the last letter (the designed reading, used when
// the preamble is no letter c, gives one every 1.5 × pmax − 4 samples); a letter the
// samples ended before such a darkness is cut, shown as unknown, never as the letter its
// first elements would make.
void fermelettre(DecodageMorseRapide& r, int fin) {
    while (r.codemorse.endsWith(QStringLiteral("  "))) {
        r.codemorse.chop(1);
        r.etenduescode.pop_back();
    }
    if (r.codemorse.isEmpty() || r.codemorse.endsWith(u' '))
        return;
    r.lettrecoupee = true;
    if (!r.codemorse.endsWith(elementinconnu)) {
        r.codemorse += elementinconnu;
        r.etenduescode.emplace_back(fin, fin);
    }
    r.codemorse += u' ';
    r.etenduescode.emplace_back(fin, fin);
}

// Whether the message went on past the end of the recording, as the scan ended (`npulse`
// pulses of the preamble counted).
void jugecoupure(DecodageMorseRapide& r, const SourceEchantillons& source,
                 const BornesEchantillons& b, int npulse) {
    const bool allumee = source.lis(b.fin) > r.seuil;
    if (npulse < 4 || r.arretsurrun) {
        if (npulse > 0 && allumee)
            r.coupe = Coupure::oui;
        return;
    }
    // The end of the last element, or of the preamble.
    int finmessage = r.debut;
    for (std::size_t k = r.etenduescode.size(); k-- > 0;)
        if (r.codemorse.at(qsizetype(k)) != u' ') {
            finmessage = r.etenduescode[k].second;
            break;
        }
    r.ecartfinal = ecartfinal(r.unite > 0 ? r.unite : r.pmin < 10000 ? r.pmin : 0, true);
    r.obscuritefinale = b.fin - finmessage;
    const bool lettreouverte =
        r.lettrecoupee || (!r.codemorse.isEmpty() && !r.codemorse.endsWith(u' '));
    r.coupe = lettreouverte ? Coupure::oui
                            : coupurealafin(source, b.fin, r.seuil, finmessage, r.ecartfinal);
}

// The samples read by the designed or the mended rules, as they are.
DecodageMorseRapide decodemorsebrut(const SourceEchantillons& source, Regles regles) {
    DecodageMorseRapide r;
    const bool corrige = regles == Regles::Corrigees;
    const DepartPreambule depart =
        departpreambule(source, regles, int(std::floor(255 * source.tensionseuil / 20)));
    if (!depart.trouve)
        return r;
    r.seuilinitial = depart.seuil;
    const BornesEchantillons b = bornes(source, regles);
    LecturePreambule p(source, depart.apres, b);
    const int npulse = mesurepreambule(r, p, depart.seuil, corrige);
    const int S = int(std::floor((r.vmin + r.vmax) / 2.0));
    r.seuil = S;
    r.debut = p.i;
    // The mended rules also read each run as the nearest whole number of units.
    const UniteMorse mesure = corrige ? unitemorse(r.preambule) : UniteMorse{};
    r.unite = mesure.unite;
    r.ecartallume = mesure.ecartallume;

    // The message. No sample exists past the last index: the lit runs stop there, whatever
    // the threshold (below 0 every value would prolong them).
    Lecture lecture{source, p.i, p.x, S, b.fin};
    if (mesure.valide())
        LectureGrilleMorse(r, lecture, mesure, grilleunites(r.preambule, mesure)).lit();
    else
        litcommeconcu(r, lecture, source.origine == Origine::Fichier && !corrige);
    if (corrige && npulse == 4)
        fermelettre(r, b.fin);
    jugecoupure(r, source, b, npulse);
    return r;
}

} // namespace

DecodageMorseRapide decodemorserapide(const SourceEchantillons& source, Regles regles) {
    if (regles == Regles::Robustes)
        return decodemorserapide(nettoie(source), Regles::Corrigees);
    if (regles == Regles::Conception)
        return decodemorsebrut(source, regles);
    return decodesansparasites<DecodageMorseRapide>(
        source, [](const SourceEchantillons& s) { return decodemorsebrut(s, Regles::Corrigees); },
        [](const DecodageMorseRapide& r) {
            return PasPreambule{r.seuil, r.unite, r.unite > 0};
        });
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
