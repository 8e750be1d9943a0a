#include "receive/decodagebinairerapide.h"

#include "codes/predefinis.h"
#include "codes/windows1252.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// A run of n bits lasts from n × the shortest measured run − the tolerance to n × the
// longest + the tolerance, in samples; the tolerance grows with n.
struct LongueurRun {
    int n;
    int kn;
    int sn;
};
// The ninth line, a lit run of nine bits, belongs to the mended rules only.
constexpr LongueurRun tableruns[] = {{1, 1, 2}, {2, 2, 2}, {3, 3, 3}, {4, 4, 3}, {5, 5, 4},
                                     {6, 6, 4}, {7, 7, 5}, {8, 8, 5}, {9, 9, 5}};
constexpr std::size_t lignesconception = 8;

bool duren(const LongueurRun& l, int run, int plusbref, int pluslong) {
    return l.kn * plusbref - l.sn <= run && run <= l.kn * pluslong + l.sn;
}

// The bit length of the mended rules, when the preamble gave it.
struct LongueurBit {
    double bit = 0;         // samples
    double ecartallume = 0; // lit runs are this much longer than their bits, dark ones shorter
    bool valide() const { return bit >= 2; }

    // A run of n bits, within 2.25 + n / 4 samples, never more than 0.45 bit.
    bool duren(int n, int run, bool allume) const {
        if (!valide() || run < 1)
            return false;
        const double centre = n * bit + (allume ? ecartallume : -ecartallume);
        return std::abs(run - centre) <= std::min(2.25 + 0.25 * n, 0.45 * bit);
    }
};

// The three flashes of the preamble found again above the threshold of the message, from
// the sample after `premier`: each lit run, the gap after it. Without three whole flashes
// before `fin`, nothing.
struct Eclairs {
    int debut[3] = {0, 0, 0};
    int fin[3] = {0, 0, 0};
    bool trouves = false;
};
Eclairs eclairs(const SourceEchantillons& source, int premier, int fin, int S) {
    Eclairs e;
    int i = premier + 1;
    for (int k = 0; k < 3; ++k) {
        while (i <= fin && source.lis(i) <= S)
            ++i;
        e.debut[k] = i;
        while (i <= fin && source.lis(i) > S)
            ++i;
        e.fin[k] = i;
        if (i > fin)
            return e;
    }
    e.trouves = true;
    return e;
}

// From the first flash's edges to the third's: four bits, both ways.
LongueurBit longueurbit(const Eclairs& e) {
    LongueurBit l;
    if (!e.trouves)
        return l;
    const double montees = e.debut[2] - e.debut[0];
    const double descentes = e.fin[2] - e.fin[0];
    l.bit = (montees + descentes) / 8;
    l.ecartallume = ((e.fin[0] - e.debut[0]) + (e.fin[2] - e.debut[2])) / 2.0 - l.bit;
    return l;
}

// The 8-bit code of a frame's data bits, the first weighing 128; a missing bit counts 0
// and bits beyond the eighth are not part of the character.
int codedesbits(const QString& bits) {
    int code = 0;
    for (qsizetype p = 0; p < 8; ++p)
        if (p < bits.size() && bits.at(p) == u'1')
            code += 1 << (7 - p);
    return code;
}

// Reads samples as the preamble is measured: every value read counts for the extremes.
struct Lecteur {
    const SourceEchantillons& source;
    DecodageBinaireRapide& r;
    int lis(int i) {
        const int x = source.lis(i);
        if (x >= r.vmax)
            r.vmax = x;
        if (x <= r.vmin)
            r.vmin = x;
        return x;
    }
};

} // namespace

DecodageBinaireRapide decodebinairerapide(const SourceEchantillons& source, Regles regles) {
    if (regles == Regles::Robustes)
        return decodebinairerapide(nettoie(source), Regles::Corrigees);
    DecodageBinaireRapide r;
    const bool corrige = regles == Regles::Corrigees;
    const bool fichier = source.origine == Origine::Fichier;
    const int derniere = source.derniere();

    // A file gives its first threshold from its sample of index 1: without it, nothing.
    if (fichier && derniere < 1)
        return r;
    int S = fichier ? source.lis(1) + 7
                    : static_cast<int>(std::floor(255 * source.tensionseuil / 5)) + 7;
    r.seuilinitial = S;
    int i = fichier ? 1 : 0;
    // A download's preamble may read one value past `nbmesures`; a file's stops at its end,
    // and a run starts only while there is a next sample.
    const int finpreambule = fichier ? derniere : source.nbmesures + 1;
    const auto peutcommencer = [&] { return !fichier || i < derniere; };

    // Preamble: lit run, gap, lit run, then the third lit run after the second gap.
    Lecteur preambule{source, r};
    int x = 0;
    int nruns = 0;
    while (nruns < 4 && i < finpreambule) {
        ++i;
        x = preambule.lis(i);
        if (peutcommencer() && x >= S && nruns < 4) {
            const int debut = i;
            int run = 0;
            while (fichier ? x >= S : x > S) {
                ++run;
                ++i;
                x = preambule.lis(i);
                // A recording that ends in the light ends the flash there.
                if (i >= finpreambule)
                    break;
            }
            ++nruns;
            r.preambule.push_back({debut, run, true, QString()});
            if (run >= r.hmax)
                r.hmax = run;
            if (run <= r.hmin)
                r.hmin = run;
        }
        if (peutcommencer() && x <= S && 0 < nruns && nruns < 3) {
            const int debut = i;
            int run = 0;
            while (fichier ? x <= S : x < S) {
                ++run;
                ++i;
                x = preambule.lis(i);
                // A recording that ends in the dark ends the gap there.
                if (i >= finpreambule)
                    break;
            }
            r.preambule.push_back({debut, run, false, QString()});
            if (run >= r.bmax)
                r.bmax = run;
            if (run <= r.bmin)
                r.bmin = run;
            ++nruns;
        }
    }
    S = static_cast<int>(std::floor((r.vmin + r.vmax) / 2.0));
    r.seuil = S;
    r.b0 = static_cast<int>(std::floor((r.bmax + r.bmin) / 2.0));
    r.debut = i;
    // The mended rules measure the preamble again with the threshold of the message: the
    // first threshold can meet a sample of an edge exactly, and a preamble counted with it
    // can then take a gap of no length for a run, the second flash for the third, and start
    // the message in the middle of the preamble.
    const int fin = fichier ? derniere : source.nbmesures;
    LongueurBit mesure;
    if (corrige && nruns == 4) {
        const Eclairs e = eclairs(source, fichier ? 1 : 0, fin, S);
        mesure = longueurbit(e);
        if (mesure.valide()) {
            r.preambule.clear();
            r.hmin = 10000;
            r.hmax = 0;
            for (int k = 0; k < 3; ++k) {
                const int longueur = e.fin[k] - e.debut[k];
                r.preambule.push_back({e.debut[k], longueur, true, QString()});
                if (k < 2)
                    r.preambule.push_back({e.fin[k], e.debut[k + 1] - e.fin[k], false, QString()});
                r.hmin = std::min(r.hmin, longueur);
                r.hmax = std::max(r.hmax, longueur);
            }
            r.bmin = std::min(e.debut[1] - e.fin[0], e.debut[2] - e.fin[1]);
            r.bmax = std::max(e.debut[1] - e.fin[0], e.debut[2] - e.fin[1]);
            r.b0 = (r.bmin + r.bmax) / 2;
            i = e.fin[2];
            x = source.lis(i);
            r.debut = i;
        }
    }
    r.bit = mesure.bit;
    r.ecartallume = mesure.ecartallume;
    const std::size_t lignesallume = mesure.valide() ? std::size(tableruns) : lignesconception;
    const auto bitsallumes = [&](const LongueurRun& l, int run) {
        return duren(l, run, r.hmin, r.hmax) || mesure.duren(l.n, run, true);
    };
    const auto bitssombres = [&](const LongueurRun& l, int run) {
        return duren(l, run, r.bmin, r.bmax) || mesure.duren(l.n, run, false);
    };

    // The frames, to `nbmesures` or to the end of the file.
    const auto lis = [&source](int k) { return source.lis(k); };
    int nbits = 0; // bits of the frame in progress, start bit included
    QString bits;  // its data bits
    int debuttrame = 0;
    while (i < fin) {
        // Word gaps, between frames only.
        RunMesure ecart{i, 0, false, QString(), true};
        int runB = 0;
        while (x <= S && nbits == 0 && i < fin) {
            ++runB;
            ++i;
            x = lis(i);
            // A stop interval is two bits of darkness, each blank two more: the blanks come
            // half-way between, at 3, 5, 7 ... bits.
            const bool blanc =
                mesure.valide()
                    ? runB >= (2 * int(ecart.code.size()) + 3) * mesure.bit - mesure.ecartallume / 2
                    : 4 * r.bmin - 5 <= runB && runB <= 4 * r.bmax + 5;
            if (blanc) {
                r.codebinaire += u' ';
                r.affichagebinaire += QStringLiteral(" ( ) ");
                ecart.code += u' ';
                if (!mesure.valide())
                    runB = 0;
            }
        }
        ecart.longueur = i - ecart.debut;
        if (ecart.longueur > 0)
            r.runs.push_back(ecart);
        // A frame, one lit run and one dark run at a time, until it has its 9 bits.
        do {
            if (nbits == 0)
                debuttrame = i;
            RunMesure eclaire{i, 0, true, QString()};
            int runH = 0;
            runB = 0;
            while (x >= S && nbits < 9 && i < fin) {
                ++runH;
                ++i;
                x = lis(i);
            }
            eclaire.longueur = runH;
            // The lines are tried one after the other: after a match the run counts 0,
            // which a later line matches only when its lower bound is 0 or less.
            for (std::size_t ligne = 0; ligne < lignesallume; ++ligne) {
                const LongueurRun& l = tableruns[ligne];
                if (nbits < 9 && bitsallumes(l, runH)) {
                    const QString uns(l.n, u'1');
                    r.codebinaire += uns;
                    r.affichagebinaire += uns;
                    eclaire.code += uns;
                    // The start bit is not a data bit.
                    bits += QString(nbits > 0 ? l.n : l.n - 1, u'1');
                    nbits += l.n;
                    runH = 0;
                }
            }
            if (eclaire.longueur > 0)
                r.runs.push_back(eclaire);
            RunMesure sombre{i, 0, false, QString()};
            while (x <= S && 1 <= nbits && nbits < 9 && i < fin) {
                ++runB;
                ++i;
                x = lis(i);
                // The darkness that completes the frame is cut at the missing bits; the
                // rest of it is a word gap. Without a measured bit length nothing is cut.
                if (mesure.valide()) {
                    const double manque = (9 - nbits) * mesure.bit - mesure.ecartallume;
                    if (runB >= std::max(1L, std::lround(manque)))
                        break;
                } else if (r.b0 > 0 && runB / r.b0 + nbits == 9) {
                    break;
                }
            }
            sombre.longueur = i - sombre.debut;
            for (std::size_t ligne = 0; ligne < lignesconception; ++ligne) {
                const LongueurRun& l = tableruns[ligne];
                if (1 <= nbits && nbits < 9 && bitssombres(l, runB)) {
                    const QString zeros(l.n, u'0');
                    r.codebinaire += zeros;
                    r.affichagebinaire += zeros;
                    sombre.code += zeros;
                    bits += zeros;
                    nbits += l.n;
                    runB = 0;
                }
            }
            if (sombre.longueur > 0)
                r.runs.push_back(sombre);
        } while (1 <= nbits && nbits < 9 && i < fin);
        // A complete frame, even one carried past 9 bits by its last run.
        if (nbits >= 9) {
            const QChar c = caractereWindows1252(codedesbits(bits));
            r.affichagebinaire += QStringLiteral(" (") + c + QStringLiteral(") ");
            r.caracteres.push_back({debuttrame, i, c});
            bits.clear();
            nbits = 0;
        }
    }
    if (nruns == 4)
        r.coupe = nbits > 0 || lumierealafin(source, fin, S);
    return r;
}

DecodageBinaireRapide decodebinairerapide(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                          double tensionseuil, Regles regles) {
    return decodebinairerapide(depuistabmesures(tabmesures, nbmesures, tensionseuil), regles);
}

MessageBinaireRapide decodemessagebinairerapide(const SourceEchantillons& source, Regles regles) {
    MessageBinaireRapide m;
    m.mesure = decodebinairerapide(source, regles);
    m.messagerecu = developpecoderapide(textedecodebinaire(m.mesure.codebinaire));
    return m;
}

QString textedecodebinaire(const QString& code) {
    QString texte;
    const qsizetype L = code.size();
    // Positions count from 1; a position past the end is a missing character.
    const auto bit = [&code, L](qsizetype p) { return p <= L && code.at(p - 1) == u'1' ? 1 : 0; };
    qsizetype p = 0;
    while (p < L - 1) {
        ++p;
        const QChar c = code.at(p - 1);
        if (c == u' ') {
            texte += u' ';
        } else if (c == u'1') {
            int valeur = 0;
            for (int w = 7; w >= 0; --w) {
                ++p;
                valeur += bit(p) << w;
            }
            texte += caractereWindows1252(valeur);
        }
    }
    return texte;
}
