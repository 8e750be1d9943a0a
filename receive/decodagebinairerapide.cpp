#include "receive/decodagebinairerapide.h"

#include "codes/windows1252.h"
#include "receive/echantillon.h"

#include <cmath>

namespace {

// A run of n bits lasts from n × the shortest measured run − the tolerance to n × the
// longest + the tolerance, in samples; the tolerance grows with n.
struct LongueurRun {
    int n;
    int kn;
    int sn;
};
constexpr LongueurRun tableruns[] = {{1, 1, 2}, {2, 2, 2}, {3, 3, 3}, {4, 4, 3},
                                     {5, 5, 4}, {6, 6, 4}, {7, 7, 5}, {8, 8, 5}};

bool duren(const LongueurRun& l, int run, int plusbref, int pluslong) {
    return l.kn * plusbref - l.sn <= run && run <= l.kn * pluslong + l.sn;
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
    const std::vector<QByteArray>& tabmesures;
    DecodageBinaireRapide& r;
    int lis(int i) {
        const int x = echantillon(tabmesures, i);
        if (x >= r.vmax)
            r.vmax = x;
        if (x <= r.vmin)
            r.vmin = x;
        return x;
    }
};

} // namespace

DecodageBinaireRapide decodebinairerapide(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                          double tensionseuil) {
    DecodageBinaireRapide r;

    // Preamble: lit run, gap, lit run, then the third lit run after the second gap.
    int S = static_cast<int>(std::floor(255 * tensionseuil / 5)) + 7;
    Lecteur preambule{tabmesures, r};
    int i = 0;
    int x = 0;
    int nruns = 0;
    while (nruns < 4 && i <= nbmesures) {
        ++i;
        x = preambule.lis(i);
        if (x >= S && nruns < 4) {
            int run = 0;
            while (x > S) {
                ++run;
                ++i;
                x = preambule.lis(i);
                // A recording that ends in the light ends the flash there.
                if (i > nbmesures)
                    break;
            }
            ++nruns;
            if (run >= r.hmax)
                r.hmax = run;
            if (run <= r.hmin)
                r.hmin = run;
        }
        if (x <= S && 0 < nruns && nruns < 3) {
            int run = 0;
            while (x < S) {
                ++run;
                ++i;
                x = preambule.lis(i);
                // A recording that ends in the dark ends the gap there.
                if (i > nbmesures)
                    break;
            }
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

    // The frames.
    const auto lis = [&tabmesures](int k) { return echantillon(tabmesures, k); };
    int nbits = 0; // bits of the frame in progress, start bit included
    QString bits;  // its data bits
    while (i < nbmesures) {
        // Word gaps, between frames only.
        int runB = 0;
        while (x <= S && nbits == 0 && i < nbmesures) {
            ++runB;
            ++i;
            x = lis(i);
            if (4 * r.bmin - 5 <= runB && runB <= 4 * r.bmax + 5) {
                r.codebinaire += u' ';
                r.affichagebinaire += QStringLiteral(" ( ) ");
                runB = 0;
            }
        }
        // A frame, one lit run and one dark run at a time, until it has its 9 bits.
        do {
            int runH = 0;
            runB = 0;
            while (x >= S && nbits < 9 && i < nbmesures) {
                ++runH;
                ++i;
                x = lis(i);
            }
            // The lines are tried one after the other: after a match the run counts 0,
            // which a later line matches only when its lower bound is 0 or less.
            for (const LongueurRun& l : tableruns) {
                if (nbits < 9 && duren(l, runH, r.hmin, r.hmax)) {
                    const QString uns(l.n, u'1');
                    r.codebinaire += uns;
                    r.affichagebinaire += uns;
                    // The start bit is not a data bit.
                    bits += QString(nbits > 0 ? l.n : l.n - 1, u'1');
                    nbits += l.n;
                    runH = 0;
                }
            }
            while (x <= S && 1 <= nbits && nbits < 9 && i < nbmesures) {
                ++runB;
                ++i;
                x = lis(i);
                // The darkness that completes the frame is cut at the missing bits; the
                // rest of it is a word gap. Without a measured bit length nothing is cut.
                if (r.b0 > 0 && runB / r.b0 + nbits == 9)
                    break;
            }
            for (const LongueurRun& l : tableruns) {
                if (1 <= nbits && nbits < 9 && duren(l, runB, r.bmin, r.bmax)) {
                    const QString zeros(l.n, u'0');
                    r.codebinaire += zeros;
                    r.affichagebinaire += zeros;
                    bits += zeros;
                    nbits += l.n;
                    runB = 0;
                }
            }
        } while (1 <= nbits && nbits < 9 && i < nbmesures);
        // A complete frame, even one carried past 9 bits by its last run.
        if (nbits >= 9) {
            r.affichagebinaire += QStringLiteral(" (") + caractereWindows1252(codedesbits(bits)) +
                                  QStringLiteral(") ");
            bits.clear();
            nbits = 0;
        }
    }
    return r;
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
