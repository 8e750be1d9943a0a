#include "receive/decodagebinairerapide.h"

#include "codes/predefinis.h"
#include "codes/windows1252.h"
#include "receive/decodagegrille.h"

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

// Appends a frame's character to the display and to the characters found.
void completetrame(DecodageBinaireRapide& r, const QString& bits, int debut, int fin) {
    const QChar c = caractereWindows1252(codedesbits(bits));
    r.affichagebinaire += QStringLiteral(" (") + c + QStringLiteral(") ");
    r.caracteres.push_back({debut, fin, c});
}

// The designed reading of the frames, from the first sample after the preamble to the end:
// each run placed by the run table against the shortest and longest runs of the preamble.
// Returns the bits of a frame the samples ended in.
int litcommeconcu(DecodageBinaireRapide& r, Lecture& l) {
    int& i = l.i;
    int& x = l.x;
    const int S = l.S;
    const int fin = l.fin;
    int nbits = 0; // bits of the frame in progress, start bit included
    QString bits;  // its data bits
    int debuttrame = 0;
    while (i < fin) {
        // Word gaps, between frames only.
        RunMesure ecart{i, 0, false, QString(), true};
        int runB = 0;
        while (x <= S && nbits == 0 && i < fin) {
            ++runB;
            l.avance();
            if (4 * r.bmin - 5 <= runB && runB <= 4 * r.bmax + 5) {
                r.codebinaire += u' ';
                r.affichagebinaire += QStringLiteral(" ( ) ");
                ecart.code += u' ';
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
                l.avance();
            }
            eclaire.longueur = runH;
            // The lines are tried one after the other: after a match the run counts 0,
            // which a later line matches only when its lower bound is 0 or less.
            for (std::size_t ligne = 0; ligne < lignesconception; ++ligne) {
                const LongueurRun& t = tableruns[ligne];
                if (nbits < 9 && duren(t, runH, r.hmin, r.hmax)) {
                    const QString uns(t.n, u'1');
                    r.codebinaire += uns;
                    r.affichagebinaire += uns;
                    eclaire.code += uns;
                    // The start bit is not a data bit.
                    bits += QString(nbits > 0 ? t.n : t.n - 1, u'1');
                    nbits += t.n;
                    runH = 0;
                }
            }
            if (eclaire.longueur > 0)
                r.runs.push_back(eclaire);
            RunMesure sombre{i, 0, false, QString()};
            while (x <= S && 1 <= nbits && nbits < 9 && i < fin) {
                ++runB;
                l.avance();
                // The darkness that completes the frame is cut at the missing bits; the
                // rest of it is a word gap.
                if (r.b0 > 0 && runB / r.b0 + nbits == 9)
                    break;
            }
            sombre.longueur = i - sombre.debut;
            for (std::size_t ligne = 0; ligne < lignesconception; ++ligne) {
                const LongueurRun& t = tableruns[ligne];
                if (1 <= nbits && nbits < 9 && duren(t, runB, r.bmin, r.bmax)) {
                    const QString zeros(t.n, u'0');
                    r.codebinaire += zeros;
                    r.affichagebinaire += zeros;
                    sombre.code += zeros;
                    bits += zeros;
                    nbits += t.n;
                    runB = 0;
                }
            }
            if (sombre.longueur > 0)
                r.runs.push_back(sombre);
        } while (1 <= nbits && nbits < 9 && i < fin);
        // A complete frame, even one carried past 9 bits by its last run.
        if (nbits >= 9) {
            completetrame(r, bits, debuttrame, i);
            bits.clear();
            nbits = 0;
        }
    }
    return nbits;
}

// A run of the mended reading is placed on the grid when it ends within this much of a
// whole number of bits from the first flash (half a bit: the nearest).
constexpr double tolerancegrille = 0.5;
// Shorter than this share of a bit, a run that nothing else places is a glitch.
constexpr double eclairparasite = 0.3;

// The bit grid of a message, from the six edges of the preamble's three flashes.
Grille grillebits(const Eclairs& e, const LongueurBit& l) {
    Grille g(l.bit, l.ecartallume);
    for (int k = 0; k < 3; ++k) {
        g.note(2 * k, e.debut[k], true);
        g.note(2 * k + 1, e.fin[k], false);
    }
    return g;
}

// The mended reading of the frames, from the dark after the preamble's third flash to the
// end. A run is placed by the grid: it lasts the whole number of bits between the places
// of its two edges; when the grid cannot place it (too many bits for the frame), by its
// length: the run table (against the shortest and longest runs of the preamble, the ninth
// line, nine lit bits, included), or within 2.25 + n / 4 samples of n bits. A frame starts
// where the blanks before it leave room (two bits of stop, two more for each blank); its
// darkness is cut where the grid ends it, nine bits after its start. A run of 0.3 bit or
// more that nothing places costs its frame; a shorter one is a glitch and adds nothing.
// Returns the bits of a frame the samples ended in.
int litsurlagrille(DecodageBinaireRapide& r, Lecture& l, const LongueurBit& mesure, Grille g) {
    int& i = l.i;
    int& x = l.x;
    const int S = l.S;
    const int fin = l.fin;
    int nbits = 0;           // bits of the frame in progress, start bit included
    QString bits;            // its data bits
    int debuttrame = 0;      // its first sample
    qsizetype debutcode = 0; // where its bits start in codebinaire
    int nfin = 5;            // where the last frame ended (at first, the preamble), in bits
    int ndebut = 0;          // where the frame in progress started, in bits
    int nbord = 0;           // where the run being read started, in bits
    int blancs = 0;          // blanks of the darkness after the last frame

    // The run's bits by its length alone: the run table, then 2.25 + n / 4 samples.
    const auto parlalongueur = [&](int run, bool allume) {
        const std::size_t lignes = allume ? std::size(tableruns) : lignesconception;
        for (std::size_t k = 0; k < lignes; ++k) {
            const LongueurRun& t = tableruns[k];
            if ((allume ? duren(t, run, r.hmin, r.hmax) : duren(t, run, r.bmin, r.bmax)) ||
                mesure.duren(t.n, run, allume))
                return t.n;
        }
        return 0;
    };
    // The run's bits by the grid, when the edge that ends it at sample i lies within the
    // grid's tolerance and 1 to `auplus` bits after the run's start; 0 otherwise.
    const auto parlagrille = [&](bool allume, int auplus) {
        const double place = g.place(i, !allume);
        const long n = std::lround(place);
        return n - nbord >= 1 && n - nbord <= auplus &&
                       std::abs(place - double(n)) <= tolerancegrille
                   ? int(n - nbord)
                   : 0;
    };
    const auto ajoute = [&](RunMesure& run, int n, QChar c) {
        const QString b(n, c);
        r.codebinaire += b;
        r.affichagebinaire += b;
        run.code += b;
        // The start bit is not a data bit.
        bits += nbits == 0 ? QString(n - 1, c) : b;
        nbits += n;
        nbord += n;
    };
    // A run the mended rules cannot place costs its frame, not the message: the frame is
    // shown as unknown, and the reading goes on where the grid ends it, past the light of
    // its last bit.
    const auto abandonne = [&](RunMesure& run) {
        run.code = elementinconnu;
        r.codebinaire.truncate(debutcode);
        r.codebinaire += elementinconnu;
        r.affichagebinaire +=
            elementinconnu + QStringLiteral(" (") + caractereinconnu + QStringLiteral(") ");
        bits.clear();
        nbits = 0;
        nfin = ndebut + 9;
        blancs = 0;
        const int finnominale = int(std::ceil(g.echantillon(nfin, false)));
        if (i < finnominale)
            l.va(std::min(finnominale, fin));
        while (x >= S && i < fin)
            l.avance();
        r.caracteres.push_back({debuttrame, i, caractereinconnu});
    };
    const auto termine = [&] {
        completetrame(r, bits, debuttrame, i);
        bits.clear();
        nbits = 0;
        nfin = ndebut + 9;
        blancs = 0;
    };

    while (i < fin) {
        // Darkness between frames: a blank each time it passes 3, 5, 7 ... bits after the
        // last frame, half-way between the places a frame may start at.
        RunMesure ecart{i, 0, false, QString(), true};
        while (x <= S && i < fin) {
            l.avance();
            if (i >= g.echantillon(nfin + 2 * blancs + 3, true)) {
                r.codebinaire += u' ';
                r.affichagebinaire += QStringLiteral(" ( ) ");
                ecart.code += u' ';
                ++blancs;
            }
        }
        ecart.longueur = i - ecart.debut;
        if (ecart.longueur > 0)
            r.runs.push_back(ecart);
        if (i >= fin)
            break;

        // A light: a frame, unless it is a glitch.
        RunMesure eclaire{i, 0, true, QString()};
        const int montee = i;
        while (x >= S && i < fin)
            l.avance();
        eclaire.longueur = i - montee;
        const int parlongueur = parlalongueur(eclaire.longueur, true);
        if (parlongueur == 0 && eclaire.longueur < eclairparasite * g.pas()) {
            r.runs.push_back(eclaire);
            continue;
        }
        ndebut = nfin + 2 + 2 * blancs;
        if (std::abs(g.place(montee, true) - ndebut) <= tolerancegrille)
            g.note(ndebut, montee, true);
        else
            g.recale(ndebut, montee, true);
        debuttrame = montee;
        debutcode = r.codebinaire.size();
        nbord = ndebut;
        bool allume = true;
        RunMesure run = eclaire;
        int n = parlongueur;
        // One run after the other, lit and dark in turn, until the frame has its 9 bits.
        for (;;) {
            const int manque = 9 - nbits;
            if (i >= fin) {
                // Cut by the end of the recording: its length alone.
                if (n > 0)
                    ajoute(run, n, allume ? u'1' : u'0');
                if (run.longueur > 0)
                    r.runs.push_back(run);
                break;
            }
            // The grid first: the length of a run measures the slips of both its edges,
            // the grid those of its end alone.
            if (const int pargrille = parlagrille(allume, allume ? manque : manque - 1)) {
                run.arrondi = pargrille != n;
                n = pargrille;
            }
            if (n > 0) {
                ajoute(run, n, allume ? u'1' : u'0');
                if (std::abs(g.place(i, !allume) - nbord) <= tolerancegrille)
                    g.note(nbord, i, !allume);
            } else if (run.longueur >= eclairparasite * g.pas()) {
                abandonne(run);
                r.runs.push_back(run);
                break;
            }
            r.runs.push_back(run);
            if (nbits >= 9) {
                termine();
                break;
            }
            // The next run: darkness after light, light after darkness.
            allume = !allume;
            run = RunMesure{i, 0, allume, QString()};
            if (allume) {
                while (x >= S && i < fin)
                    l.avance();
            } else {
                // The darkness that completes the frame ends where the grid ends the frame;
                // the rest of it is the gap after it.
                const double findetrame = g.echantillon(ndebut + 9, true);
                while (x <= S && i < fin && i < findetrame)
                    l.avance();
                if (x <= S && i < fin) {
                    run.longueur = i - run.debut;
                    ajoute(run, 9 - nbits, u'0');
                    r.runs.push_back(run);
                    termine();
                    break;
                }
            }
            run.longueur = i - run.debut;
            n = parlalongueur(run.longueur, allume);
        }
    }
    return nbits;
}
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
    int i = fichier ? 1 : 0;
    if (corrige && derniere >= 1) {
        // As fast Morse: a recording that starts in the light of the start mark is read from
        // the darkness after it, and the first threshold lies above the darkness at the
        // start and its noise (a file has no calibrated threshold, and its sample of index 1
        // is no darkness when the recording starts lit).
        const int obscur = debutobscur(source);
        if (fichier && obscur > 1)
            S = 0;
        S = std::max(S, seuilsurobscurite(source, obscur));
        i = std::max(i, obscur - 1);
    }
    r.seuilinitial = S;
    const int premier = i; // the preamble is looked for after this sample
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
    Eclairs e;
    if (corrige && nruns == 4) {
        e = eclairs(source, premier, fin, S);
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
    Lecture lecture{source, i, x, S, fin};
    const int nbits = mesure.valide() ? litsurlagrille(r, lecture, mesure, grillebits(e, mesure))
                                      : litcommeconcu(r, lecture);
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
        } else if (c == elementinconnu) {
            texte += caractereinconnu;
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
