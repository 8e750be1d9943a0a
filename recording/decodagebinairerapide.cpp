#include "recording/decodagebinairerapide.h"

#include "codes/predefinis.h"
#include "codes/windows1252.h"
#include "recording/balayage.h"
#include "recording/decodagegrille.h"
#include "recording/parasites.h"

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

// Appends a frame's character to the display and to the characters found.
void completetrame(DecodageBinaireRapide& r, const QString& bits, int debut, int fin) {
    const QChar c = caractereWindows1252(codedesbits(bits));
    r.affichagebinaire += QStringLiteral(" (") + c + QStringLiteral(") ");
    r.caracteres.push_back({debut, fin, c});
}

// A frame in progress: its bits, start bit included, its data bits and its first sample.
struct Trame {
    int nbits = 0;
    QString bits;
    int debut = 0;
    qsizetype debutcode = 0; // where its bits start in codebinaire
};

// The designed word gaps, between frames only: a blank each time the darkness lasts from
// 4 × bmin − 5 to 4 × bmax + 5 samples.
void litecartconcu(DecodageBinaireRapide& r, Lecture& l, const Trame& t) {
    RunMesure ecart{l.i, 0, false, QString(), true};
    int runB = 0;
    while (l.x <= l.S && t.nbits == 0 && l.i < l.fin) {
        ++runB;
        l.avance();
        if (4 * r.bmin - 5 <= runB && runB <= 4 * r.bmax + 5) {
            r.codebinaire += u' ';
            r.affichagebinaire += QStringLiteral(" ( ) ");
            ecart.code += u' ';
            runB = 0;
        }
    }
    ecart.longueur = l.i - ecart.debut;
    if (ecart.longueur > 0)
        r.runs.push_back(ecart);
}

// The bits of a run of `longueur` samples by the designed run table, against the shortest
// and longest runs of its kind in the preamble. The lines are tried one after the other:
// after a match the run counts 0, which a later line matches only when its lower bound is
// 0 or less.
void classeconcu(DecodageBinaireRapide& r, Trame& t, RunMesure& run, int longueur) {
    const QChar c = run.allume ? u'1' : u'0';
    for (std::size_t ligne = 0; ligne < lignesconception; ++ligne) {
        const LongueurRun& l = tableruns[ligne];
        const bool dedans = run.allume ? duren(l, longueur, r.hmin, r.hmax)
                                       : 1 <= t.nbits && duren(l, longueur, r.bmin, r.bmax);
        if (t.nbits < 9 && dedans) {
            const QString b(l.n, c);
            r.codebinaire += b;
            r.affichagebinaire += b;
            run.code += b;
            // The start bit is not a data bit.
            t.bits += QString(run.allume && t.nbits == 0 ? l.n - 1 : l.n, c);
            t.nbits += l.n;
            longueur = 0;
        }
    }
    if (run.longueur > 0)
        r.runs.push_back(run);
}

// One lit run and one dark run of a frame, as designed. The darkness that completes the
// frame is cut at the missing bits; the rest of it is a word gap.
void litrunsconcus(DecodageBinaireRapide& r, Lecture& l, Trame& t) {
    if (t.nbits == 0) {
        t.debut = l.i;
        t.debutcode = r.codebinaire.size();
    }
    RunMesure eclaire{l.i, 0, true, QString()};
    while (l.x >= l.S && t.nbits < 9 && l.i < l.fin)
        l.avance();
    eclaire.longueur = l.i - eclaire.debut;
    classeconcu(r, t, eclaire, eclaire.longueur);
    RunMesure sombre{l.i, 0, false, QString()};
    int runB = 0;
    while (l.x <= l.S && 1 <= t.nbits && t.nbits < 9 && l.i < l.fin) {
        ++runB;
        l.avance();
        if (r.b0 > 0 && runB / r.b0 + t.nbits == 9)
            break;
    }
    sombre.longueur = l.i - sombre.debut;
    classeconcu(r, t, sombre, runB);
}

// The designed reading of the frames, from the first sample after the preamble to the end:
// each run placed by the run table against the shortest and longest runs of the preamble.
// Returns the frame the samples ended in, when they did.
Trame litcommeconcu(DecodageBinaireRapide& r, Lecture& l) {
    Trame t;
    while (l.i < l.fin) {
        litecartconcu(r, l, t);
        do
            litrunsconcus(r, l, t);
        while (1 <= t.nbits && t.nbits < 9 && l.i < l.fin);
        // A complete frame, even one carried past 9 bits by its last run.
        if (t.nbits >= 9) {
            completetrame(r, t.bits, t.debut, l.i);
            t = Trame{};
        }
    }
    return t;
}

// The end of the designed reading, when the mended rules use it (a preamble without three
// whole flashes): the darkness the samples end in gives no blank, and a frame they cut is
// unknown, as with the grid.
void finitcommecorrige(DecodageBinaireRapide& r, const Trame& ouverte, int fin) {
    if (ouverte.nbits > 0) {
        r.codebinaire.truncate(ouverte.debutcode);
        r.codebinaire += elementinconnu;
        r.affichagebinaire +=
            elementinconnu + QStringLiteral(" (") + caractereinconnu + QStringLiteral(") ");
        r.caracteres.push_back({ouverte.debut, fin, caractereinconnu});
        return;
    }
    while (r.codebinaire.endsWith(u' ')) {
        r.codebinaire.chop(1);
        r.affichagebinaire.chop(QStringLiteral(" ( ) ").size());
    }
}

// A run of the mended reading is placed on the grid when it ends within this much of a
// whole number of bits from the first flash (half a bit: the nearest).
constexpr double tolerancegrille = 0.5;
// Shorter than this share of a bit, a run that nothing else places is a glitch.
constexpr double eclairparasitebinaire = 0.3;

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
class LectureGrilleBinaire {
public:
    LectureGrilleBinaire(DecodageBinaireRapide& r, Lecture& l, const LongueurBit& mesure, Grille g)
        : r_(r), l_(l), mesure_(mesure), g_(g) {}
    // Reads to the end; true when the samples ended in a frame, which is then cut.
    bool lit();

private:
    void litecart();
    void coupetrame(RunMesure& run);
    void littrame(RunMesure run, int n);
    bool finitlatrame(RunMesure& run);
    void commencetrame(int montee);
    int parlalongueur(int run, bool allume) const;
    int parlagrille(bool allume, int auplus) const;
    void ajoute(RunMesure& run, int n, QChar c);
    void abandonne(RunMesure& run);
    void termine();

    DecodageBinaireRapide& r_;
    Lecture& l_;
    const LongueurBit& mesure_;
    Grille g_;
    int nbits_ = 0;           // bits of the frame in progress, start bit included
    QString bits_;            // its data bits
    int debuttrame_ = 0;      // its first sample
    qsizetype debutcode_ = 0; // where its bits start in codebinaire
    int nfin_ = 5;            // where the last frame ended (at first, the preamble), in bits
    int ndebut_ = 0;          // where the frame in progress started, in bits
    int nbord_ = 0;           // where the run being read started, in bits
    int blancs_ = 0;          // blanks of the darkness after the last frame
    int blancsecrits_ = 0;    // those of them already in codebinaire
    bool coupee_ = false;     // the samples ended in a frame
};

bool LectureGrilleBinaire::lit() {
    while (l_.i < l_.fin) {
        litecart();
        if (l_.i >= l_.fin)
            break;
        // A light: a frame, unless it is a glitch. A light the samples end in is the start
        // of a frame they cut.
        RunMesure eclaire{l_.i, 0, true, QString()};
        while (l_.x >= l_.S && l_.i < l_.fin)
            l_.avance();
        eclaire.longueur = l_.i - eclaire.debut;
        const int parlongueur = parlalongueur(eclaire.longueur, true);
        if (parlongueur == 0 && eclaire.longueur < eclairparasitebinaire * g_.pas() &&
            l_.i < l_.fin) {
            r_.runs.push_back(eclaire);
            continue;
        }
        commencetrame(eclaire.debut);
        littrame(eclaire, parlongueur);
    }
    return coupee_ || nbits_ > 0;
}

// Darkness between frames: a blank each time it passes 3, 5, 7 ... bits after the last
// frame, half-way between the places a frame may start at. The blanks of a darkness are
// written once the light after it has come: the darkness the samples end in is no blank,
// the message may be over there.
void LectureGrilleBinaire::litecart() {
    RunMesure ecart{l_.i, 0, false, QString(), true};
    while (l_.x <= l_.S && l_.i < l_.fin) {
        l_.avance();
        if (l_.i >= g_.echantillon(nfin_ + 2 * blancs_ + 3, true))
            ++blancs_;
    }
    if (l_.i < l_.fin) {
        for (; blancsecrits_ < blancs_; ++blancsecrits_) {
            r_.codebinaire += u' ';
            r_.affichagebinaire += QStringLiteral(" ( ) ");
            ecart.code += u' ';
        }
    }
    ecart.longueur = l_.i - ecart.debut;
    if (ecart.longueur > 0)
        r_.runs.push_back(ecart);
}

// A frame starts where the blanks before it leave room for it; its rising edge moves the
// grid there when it comes late or early.
void LectureGrilleBinaire::commencetrame(int montee) {
    ndebut_ = nfin_ + 2 + 2 * blancs_;
    if (std::abs(g_.place(montee, true) - ndebut_) <= tolerancegrille)
        g_.note(ndebut_, montee, true);
    else
        g_.recale(ndebut_, montee, true);
    debuttrame_ = montee;
    debutcode_ = r_.codebinaire.size();
    nbord_ = ndebut_;
}

// The runs of a frame from its first light (`run`, `n` bits by its length), lit and dark
// in turn, until it has its 9 bits.
void LectureGrilleBinaire::littrame(RunMesure run, int n) {
    bool allume = true;
    for (;;) {
        const int manque = 9 - nbits_;
        if (l_.i >= l_.fin) {
            coupetrame(run);
            return;
        }
        // The grid first: the length of a run measures the slips of both its edges, the
        // grid those of its end alone.
        if (const int pargrille = parlagrille(allume, allume ? manque : manque - 1)) {
            run.arrondi = pargrille != n;
            n = pargrille;
        }
        if (n > 0) {
            ajoute(run, n, allume ? u'1' : u'0');
            if (std::abs(g_.place(l_.i, !allume) - nbord_) <= tolerancegrille)
                g_.note(nbord_, l_.i, !allume);
        } else if (run.longueur >= eclairparasitebinaire * g_.pas()) {
            abandonne(run);
            r_.runs.push_back(run);
            return;
        }
        r_.runs.push_back(run);
        if (nbits_ >= 9) {
            termine();
            return;
        }
        // The next run: darkness after light, light after darkness.
        allume = !allume;
        run = RunMesure{l_.i, 0, allume, QString()};
        if (allume) {
            while (l_.x >= l_.S && l_.i < l_.fin)
                l_.avance();
        } else if (finitlatrame(run)) {
            return;
        }
        run.longueur = l_.i - run.debut;
        n = parlalongueur(run.longueur, allume);
    }
}

// The darkness that completes the frame ends where the grid ends the frame; the rest of it
// is the gap after it. True when it completed the frame.
bool LectureGrilleBinaire::finitlatrame(RunMesure& run) {
    const double findetrame = g_.echantillon(ndebut_ + 9, true);
    while (l_.x <= l_.S && l_.i < l_.fin && l_.i < findetrame)
        l_.avance();
    if (!(l_.x <= l_.S && l_.i < l_.fin))
        return false;
    run.longueur = l_.i - run.debut;
    ajoute(run, 9 - nbits_, u'0');
    r_.runs.push_back(run);
    termine();
    return true;
}

// The run's bits by its length alone: the run table, then 2.25 + n / 4 samples.
int LectureGrilleBinaire::parlalongueur(int run, bool allume) const {
    const std::size_t lignes = allume ? std::size(tableruns) : lignesconception;
    for (std::size_t k = 0; k < lignes; ++k) {
        const LongueurRun& t = tableruns[k];
        if ((allume ? duren(t, run, r_.hmin, r_.hmax) : duren(t, run, r_.bmin, r_.bmax)) ||
            mesure_.duren(t.n, run, allume))
            return t.n;
    }
    return 0;
}

// The run's bits by the grid, when the edge that ends it at the current sample lies within
// the grid's tolerance and 1 to `auplus` bits after the run's start; 0 otherwise.
int LectureGrilleBinaire::parlagrille(bool allume, int auplus) const {
    const double place = g_.place(l_.i, !allume);
    const long n = std::lround(place);
    return n - nbord_ >= 1 && n - nbord_ <= auplus && std::abs(place - double(n)) <= tolerancegrille
               ? int(n - nbord_)
               : 0;
}

void LectureGrilleBinaire::ajoute(RunMesure& run, int n, QChar c) {
    const QString b(n, c);
    r_.codebinaire += b;
    r_.affichagebinaire += b;
    run.code += b;
    // The start bit is not a data bit.
    bits_ += nbits_ == 0 ? QString(n - 1, c) : b;
    nbits_ += n;
    nbord_ += n;
}

// A run the mended rules cannot place costs its frame, not the message: the frame is shown
// as unknown, and the reading goes on where the grid ends it, past the light of its last
// bit.
void LectureGrilleBinaire::abandonne(RunMesure& run) {
    run.code = elementinconnu;
    r_.codebinaire.truncate(debutcode_);
    r_.codebinaire += elementinconnu;
    r_.affichagebinaire +=
        elementinconnu + QStringLiteral(" (") + caractereinconnu + QStringLiteral(") ");
    bits_.clear();
    nbits_ = 0;
    nfin_ = ndebut_ + 9;
    blancs_ = 0;
    blancsecrits_ = 0;
    const int finnominale = int(std::ceil(g_.echantillon(nfin_, false)));
    if (l_.i < finnominale)
        l_.va(std::min(finnominale, l_.fin));
    while (l_.x >= l_.S && l_.i < l_.fin)
        l_.avance();
    r_.caracteres.push_back({debuttrame_, l_.i, caractereinconnu});
}

// The samples ended before the frame's ninth bit, or in the light of its last one: its
// character is not known. Whatever its first bits would make, a letter or a NUL, it is
// shown as unknown.
void LectureGrilleBinaire::coupetrame(RunMesure& run) {
    run.code = elementinconnu;
    if (run.longueur > 0)
        r_.runs.push_back(run);
    r_.codebinaire.truncate(debutcode_);
    r_.codebinaire += elementinconnu;
    r_.affichagebinaire +=
        elementinconnu + QStringLiteral(" (") + caractereinconnu + QStringLiteral(") ");
    r_.caracteres.push_back({debuttrame_, l_.i, caractereinconnu});
    bits_.clear();
    nbits_ = 0;
    coupee_ = true;
}

void LectureGrilleBinaire::termine() {
    completetrame(r_, bits_, debuttrame_, l_.i);
    bits_.clear();
    nbits_ = 0;
    nfin_ = ndebut_ + 9;
    blancs_ = 0;
    blancsecrits_ = 0;
}

// The designed preamble: the first flash, the first gap, the second flash, the third
// flash after the second gap (which the count passes); every value read counts for the
// extremes. Returns the runs counted, 4 when the preamble was found.
int mesurepreambule(DecodageBinaireRapide& r, LecturePreambule& p, int S) {
    int nruns = 0;
    while (nruns < 4 && p.reste()) {
        p.avance();
        if (p.reste() && p.x >= S && nruns < 4) {
            const int debut = p.i;
            const int run = p.run(true, S, true);
            ++nruns;
            r.preambule.push_back({debut, run, true, QString()});
            r.hmax = std::max(r.hmax, run);
            r.hmin = std::min(r.hmin, run);
        }
        if (p.reste() && p.x <= S && 0 < nruns && nruns < 3) {
            const int debut = p.i;
            const int run = p.run(false, S, true);
            r.preambule.push_back({debut, run, false, QString()});
            r.bmax = std::max(r.bmax, run);
            r.bmin = std::min(r.bmin, run);
            ++nruns;
        }
    }
    r.vmin = p.vmin;
    r.vmax = p.vmax;
    return nruns;
}

// The mended rules measure the preamble's three flashes again with the threshold of the
// message: the first threshold can meet a sample of an edge exactly, and a preamble counted
// with it can then take a gap of no length for a run, the second flash for the third, and
// start the message in the middle of the preamble. The bit length comes from their edges;
// the message starts after the third flash.
LongueurBit remesurepreambule(DecodageBinaireRapide& r, const Eclairs& e) {
    const LongueurBit mesure = longueurbit(e);
    if (!mesure.valide())
        return mesure;
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
    r.debut = e.fin[2];
    r.bit = mesure.bit;
    r.ecartallume = mesure.ecartallume;
    return mesure;
}
// Whether the message went on past the end of the recording, as the reading ended: in a
// frame (`ouverte`), or (`preambule` runs of an unfinished preamble counted) in the light of
// its preamble.
void jugecoupure(DecodageBinaireRapide& r, const SourceEchantillons& source,
                 const BornesEchantillons& b, bool ouverte, int preambule) {
    if (preambule > 0) {
        if (source.lis(b.fin) > r.seuil)
            r.coupe = Coupure::oui;
        return;
    }
    const int finmessage = r.caracteres.empty() ? r.debut : r.caracteres.back().fin;
    r.ecartfinal = ecartfinal(r.bit > 0 ? r.bit : r.b0, false);
    r.obscuritefinale = b.fin - finmessage;
    r.coupe =
        ouverte ? Coupure::oui : coupurealafin(source, b.fin, r.seuil, finmessage, r.ecartfinal);
}

// The preamble the mended rules measured reads as the emitter's: three flashes one bit
// apart, each flash and gap within 0.3 bit of one bit, lit runs `ecartallume` longer, and
// that excess within 0.3 bit too. What the search for glitches asks of a preamble, before it
// trusts the bit it gives.
bool preambulebinairecoherent(const DecodageBinaireRapide& r) {
    constexpr double tolerance = 0.3;
    if (r.bit <= 0 || r.preambule.size() != 5 || std::abs(r.ecartallume) > tolerance * r.bit)
        return false;
    for (const RunMesure& p : r.preambule) {
        const double bit = r.bit + (p.allume ? r.ecartallume : -r.ecartallume);
        if (std::abs(p.longueur - bit) > tolerance * r.bit)
            return false;
    }
    return true;
}

// The samples read by the designed or the mended rules, as they are.
DecodageBinaireRapide decodebinairebrut(const SourceEchantillons& source, Regles regles) {
    DecodageBinaireRapide r;
    const DepartPreambule depart =
        departpreambule(source, regles, int(std::floor(255 * source.tensionseuil / 5)) + 7);
    if (!depart.trouve)
        return r;
    r.seuilinitial = depart.seuil;
    const BornesEchantillons b = bornes(source, regles);
    LecturePreambule p(source, depart.apres, b);
    const int nruns = mesurepreambule(r, p, depart.seuil);
    const int S = int(std::floor((r.vmin + r.vmax) / 2.0));
    r.seuil = S;
    r.b0 = int(std::floor((r.bmax + r.bmin) / 2.0));
    r.debut = p.i;
    if (nruns < 4) {
        jugecoupure(r, source, b, false, nruns);
        return r;
    }
    LongueurBit mesure;
    Eclairs e;
    if (regles == Regles::Corrigees) {
        e = eclairs(source, depart.apres, b.fin, S);
        mesure = remesurepreambule(r, e);
    }
    Lecture lecture{source, r.debut, source.lis(r.debut), S, b.fin};
    bool ouverte = false;
    if (mesure.valide()) {
        ouverte = LectureGrilleBinaire(r, lecture, mesure, grillebits(e, mesure)).lit();
    } else {
        const Trame t = litcommeconcu(r, lecture);
        ouverte = t.nbits > 0;
        if (regles == Regles::Corrigees)
            finitcommecorrige(r, t, b.fin);
    }
    jugecoupure(r, source, b, ouverte, 0);
    return r;
}

} // namespace

DecodageBinaireRapide decodebinairerapide(const SourceEchantillons& source, Regles regles) {
    if (regles == Regles::Robustes)
        return decodebinairerapide(nettoie(source), Regles::Corrigees);
    if (regles == Regles::Conception)
        return decodebinairebrut(source, regles);
    return decodesansparasites<DecodageBinaireRapide>(
        source, [](const SourceEchantillons& s) { return decodebinairebrut(s, Regles::Corrigees); },
        [](const DecodageBinaireRapide& r) {
            return PasPreambule{r.seuil, r.bit, preambulebinairecoherent(r)};
        });
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
    // The mended decoders leave no blank after the message: a frame they could not read,
    // or that the samples cut, may be the last character of the string.
    if (p == L - 1 && code.at(L - 1) == elementinconnu)
        texte += caractereinconnu;
    return texte;
}
