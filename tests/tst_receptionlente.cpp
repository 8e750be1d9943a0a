#include "app/feuillelumivox1.h"
#include "codes/predefinis.h"
#include "emit/btonenvoiebinaire.h"
#include "emit/btonenvoiemorse.h"
#include "feuillesbanc.h"
#include "link/station.h"
#include "tools/bancvirtuel.h"
#include "tools/essailiaison.h"

#include <QPlainTextEdit>
#include <QTest>
#include <cmath>
#include <map>
#include <set>

using namespace Qt::StringLiterals;

// The two slow receivers of station 2, lit by a scripted light source on station 1 of
// the simulated bench: their thresholds, the code they build, the text they show, and
// the hand-over between them when the coding changes while they wait.

namespace {

// The bench with a clock reading worth 0.1 ms instead of 1 µs: start-up's 0.2 s
// laser-off burst, a loop that never yields, then takes 2 000 passes instead of 200 000.
// The receivers time the light on samples 30 or 50 ms apart.
struct BancEssai : BancVirtuel {
    BancEssai() {
        emetteur.plateforme.setPasLecture(1e-4);
        recepteur.plateforme.setPasLecture(1e-4);
    }
};

// Stretches of light: a positive number is that many seconds of light, a negative one
// that many seconds of darkness.
using Lumiere = QList<double>;

const QString aucun =
    u"aucun caractère reçu : la lumière n'a formé aucun caractère entre les marques de début "
    "et de fin (une lampe ou la lumière de la salle sur la photodiode, le faisceau coupé, ou "
    "les deux postes n'ont pas la même vitesse) "_s;

const QString interruption =
    u"réception interrompue automatiquement (plus de lumière depuis 7 unités : l'émission "
    "s'est arrêtée, le faisceau a été coupé, ou les deux postes n'ont pas la même vitesse) "_s;

// Keys the laser of station 1 along `lumiere`, each change written once at its exact
// instant (a source without an emitter's habits), and leaves it dark.
void eclaire(Station& s, const Lumiere& lumiere) {
    Plateforme& p = s.plateforme;
    // No sampling request among the keying bytes.
    s.Minuterie->setEnabled(false);
    double instant = p.horloge();
    bool allume = false;
    for (const double d : lumiere) {
        if ((d > 0) != allume) {
            allume = d > 0;
            allume ? s.liaison.allumelaser() : s.liaison.eteintlaser();
        }
        instant += std::abs(d);
        while (p.horloge() < instant)
            p.cede(instant);
    }
    if (allume)
        s.liaison.eteintlaser();
}

double duree(const Lumiere& lumiere) {
    double total = 0;
    for (const double d : lumiere)
        total += std::abs(d);
    return total;
}

// The light that a slow Morse receiver at speed f reads as `code`: a dot 0.3 f, a dash
// 1 f, 0.3 f of darkness between symbols, (1.2 k + 0.6) f for a run of k blanks (one
// blank per full 1.2 f), between a start mark of 3 s and an end mark of 3.5 s (more than
// 1.5 f at the speeds used here). Before the first symbol, the emitter's 2 s of darkness
// for the first blank, 1.3 f for each further one.
Lumiere lumieremorse(const QString& code, double f) {
    Lumiere l{3.0};
    int blancs = 0;
    const auto nuit = [&] {
        if (l.size() == 1 && blancs > 0)
            l << -(2.0 + 1.3 * (blancs - 1) * f);
        else
            l << -(blancs > 0 ? 1.2 * blancs + 0.6 : 0.3) * f;
    };
    for (const QChar c : code) {
        if (c == u' ') {
            ++blancs;
            continue;
        }
        nuit();
        l << (c == u'.' ? 0.3 : 1.0) * f;
        blancs = 0;
    }
    nuit();
    return l << 3.5;
}

// The light that a slow binary receiver at speed f reads as `creneaux` (blanks, and
// frames of nine "1" or "0"): 0.55 f a slot (one slot per full 0.5 f), (k + 0.5) f of
// darkness between two frames for a run of k blanks (one per full f). The blanks at the two
// ends as the emitter darkens them, 0.568 f each: after a start mark of 5.68 s and its
// 1.136 s of darkness, and, with `marquefin`, before the stop interval and the bit of
// darkness (2 × 0.568 f) of an end mark of 6.818 s, longer in proportion when f > 1 (nine
// slots and half a second more must fit in it).
Lumiere lumierebinaire(const QString& creneaux, double f, bool marquefin = true) {
    constexpr double bit = 0.568;
    Lumiere l{5.68};
    int blancs = 0;
    for (qsizetype i = 0; i < creneaux.size();) {
        if (creneaux.at(i) == u' ') {
            ++blancs;
            ++i;
            continue;
        }
        l << (l.size() == 1 ? -(1.136 + blancs * bit * f) : -(blancs + 0.5) * f);
        blancs = 0;
        for (const QChar c : creneaux.mid(i, 9))
            l << (c == u'1' ? 0.55 : -0.55) * f;
        i += 9;
    }
    if (marquefin)
        l << -(l.size() == 1 ? 1.136 + (blancs + 1) * bit * f : (blancs + 2) * bit * f)
          << 6.818 * std::max(f, 1.0);
    return l;
}

// What station 2 did with the light.
struct Ecoute {
    int debuts = 0;
    // For each reception shown: the code string (for Morse, Texte1 at its last change;
    // for binary, codebinaire), and Texte2.
    QStringList codes, textes2;
};

struct Scenario {
    bool morse = true;
    double f = 1;
    std::function<void(Station&)> envoi;
    QString texte1;                                // on station 1, for an emitter
    std::function<void(BancVirtuel&)> preparation; // events scheduled before the exchange
};

Ecoute ecoute(const Scenario& scenario) {
    Ecoute e;
    QString code;
    BancEssai banc;
    FeuillesBanc feuilles(banc);
    Station& r = *banc.recepteur.station;
    QObject::connect(feuille(r)->Texte1, &QPlainTextEdit::textChanged, [&] {
        if (!feuille(r)->Texte1->toPlainText().isEmpty())
            code = feuille(r)->Texte1->toPlainText();
    });
    r.observateurs.debutReception = [&] {
        ++e.debuts;
        code.clear();
    };
    r.observateurs.finReception = [&] {
        e.codes << (r.etat.typecodage == u"b"_s ? r.etat.codebinaire : code);
        e.textes2 << feuille(r)->Texte2->toPlainText();
    };
    if (scenario.preparation)
        scenario.preparation(banc);
    BancVirtuel::Echange echange;
    echange.morse = scenario.morse;
    echange.preparation = [&scenario](Station& s) {
        s.etat.facteurvitesse = scenario.f;
        feuille(s)->Texte1->setPlainText(scenario.texte1);
    };
    echange.envoi = scenario.envoi;
    banc.echange(echange);
    return e;
}

Ecoute ecoute(bool morse, double f, const Lumiere& lumiere) {
    return ecoute({morse, f, [lumiere](Station& s) { eclaire(s, lumiere); }, {}, {}});
}

} // namespace

class TestReceptionLente : public QObject {
    Q_OBJECT
private slots:
    // A message starts after light of 1.5 s (Morse) or 3.5 s (binary), whatever f.
    void marqueDeDebut_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<double>("f");
        QTest::addColumn<double>("marque");
        QTest::addColumn<int>("debuts");
        QTest::newRow("morse 1,4 s") << true << 1.0 << 1.4 << 0;
        QTest::newRow("morse 1,6 s") << true << 1.0 << 1.6 << 1;
        QTest::newRow("morse 1,6 s, f = 2") << true << 2.0 << 1.6 << 1;
        QTest::newRow("binaire 3,4 s") << false << 1.0 << 3.4 << 0;
        QTest::newRow("binaire 3,6 s") << false << 1.0 << 3.6 << 1;
        QTest::newRow("binaire 3,6 s, f = 2") << false << 2.0 << 3.6 << 1;
    }
    void marqueDeDebut() {
        QFETCH(bool, morse);
        QFETCH(double, f);
        QFETCH(double, marque);
        QFETCH(int, debuts);
        QCOMPARE(ecoute(morse, f, {marque, -2.0}).debuts, debuts);
    }

    // Light is timed on the tick's samples (every 50 ms), so the lengths below keep
    // clear of the bounds by more than a tick.
    void morse_data() {
        QTest::addColumn<double>("f");
        QTest::addColumn<Lumiere>("lumiere");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("texte2");
        const auto impulsion = [](double d) { return Lumiere{1.6, -0.5, d, -1.8, 1.6}; };
        QTest::newRow("point 0,15 s") << 1.0 << impulsion(.15) << u". "_s << u". (e)  = e"_s;
        QTest::newRow("point 0,45 s") << 1.0 << impulsion(.45) << u". "_s << u". (e)  = e"_s;
        // A dot and a dash are told apart half-way between their lengths, 0.3 and 1 s.
        QTest::newRow("point 0,55 s") << 1.0 << impulsion(.55) << u". "_s << u". (e)  = e"_s;
        QTest::newRow("trait 0,75 s") << 1.0 << impulsion(.75) << u"- "_s << u"- (t)  = t"_s;
        QTest::newRow("trait 1,4 s") << 1.0 << impulsion(1.4) << u"- "_s << u"- (t)  = t"_s;
        // Light that forms no character between the marks is said; the shortest that forms
        // one (above) is not.
        QTest::newRow("parasite 0,05 s") << 1.0 << impulsion(.05) << u" "_s << u" = "_s + aucun;
        QTest::newRow("marque de fin seule")
            << 1.0 << Lumiere{1.6, -0.5, 3.5} << QString() << u" = "_s + aucun;
        QTest::newRow("point 0,9 s, f = 2")
            << 2.0 << Lumiere{1.6, -0.5, .9, -3.6, 3.5} << u". "_s << u". (e)  = e"_s;
        QTest::newRow("point 1,2 s, f = 2")
            << 2.0 << Lumiere{1.6, -0.5, 1.2, -3.6, 3.5} << u". "_s << u". (e)  = e"_s;
        QTest::newRow("trait 1,4 s, f = 2")
            << 2.0 << Lumiere{1.6, -0.5, 1.4, -3.6, 3.5} << u"- "_s << u"- (t)  = t"_s;
        QTest::newRow("trait 2,8 s, f = 2")
            << 2.0 << Lumiere{1.6, -0.5, 2.8, -3.6, 3.5} << u"- "_s << u"- (t)  = t"_s;
        const auto nuit = [](double d) { return Lumiere{1.6, -0.5, .3, -d, .3, -1.8, 1.6}; };
        QTest::newRow("nuit 1,1 s") << 1.0 << nuit(1.1) << u".. "_s << u".. (i)  = i"_s;
        QTest::newRow("nuit 1,3 s") << 1.0 << nuit(1.3) << u". . "_s << u". (e) . (e)  = ee"_s;
        QTest::newRow("nuit 2,5 s") << 1.0 << nuit(2.5) << u".  . "_s << u". (e) . (e)  = e e"_s;
        // Six silence units end nothing; the seventh (8.4 s) ends the message. Before the end
        // mark, the darkness after the letter (1.6 s) and five blanks of 1.3 s.
        QTest::newRow("nuit 8,1 s")
            << 1.0 << Lumiere{1.6, -0.5, .3, -8.1, 1.6} << u".      "_s << u". (e)  = e     "_s;
        // The darkness that ended the reception is no blank of the text.
        QTest::newRow("nuit 8,6 s, interrompue")
            << 1.0 << Lumiere{1.6, -0.5, .3, -8.6} << u".       "_s
            << u". (e)  = e "_s + interruption;
        // A glitch is no symbol: the silence counted before it still counts.
        QTest::newRow("parasite dans le silence")
            << 1.0 << Lumiere{1.6, -0.5, .3, -4.0, .05, -5.0} << u".       "_s
            << u". (e)  = e "_s + interruption;
        QTest::newRow("ab") << 1.0 << lumieremorse(u" .- -... "_s, 1) << u" .- -... "_s
                            << u".- (a) -... (b)  = ab"_s;
        QTest::newRow("ab, f = 2") << 2.0 << lumieremorse(u" .- -... "_s, 2) << u".- -... "_s
                                   << u".- (a) -... (b)  = ab"_s;
        // Each routine has its own forms of the predefined codes: here e1 and e2 alone
        // or after two blanks, and an interrupted e1.
        QTest::newRow("e1") << 1.0 << lumieremorse(u". .---- "_s, 1) << u". .---- "_s
                            << u". (e) .---- (1)  = "_s + phrasecode(1);
        QTest::newRow("deux blancs et e1") << 1.0 << lumieremorse(u"   . .---- "_s, 1)
                                           << u"   . .---- "_s << u". (e) .---- (1)  =   e1"_s;
        QTest::newRow("deux blancs et e2")
            << 1.0 << lumieremorse(u"   . ..--- "_s, 1) << u"   . ..--- "_s
            << u". (e) ..--- (2)  = "_s + phrasecode(2);
        // e1 without its closing blank, the end mark and the darkness before it.
        Lumiere e1interrompu = lumieremorse(u". .----"_s, 1);
        e1interrompu.resize(e1interrompu.size() - 2);
        e1interrompu << -8.6;
        QTest::newRow("e1 interrompu") << 1.0 << e1interrompu << u". .----       "_s
                                       << u". (e) .---- (1)  = e1 "_s + interruption;
    }
    void morse() {
        QFETCH(double, f);
        QFETCH(Lumiere, lumiere);
        QFETCH(QString, code);
        QFETCH(QString, texte2);
        const Ecoute e = ecoute(true, f, lumiere);
        QCOMPARE(e.debuts, 1);
        QCOMPARE(e.codes, QStringList{code});
        QCOMPARE(e.textes2, QStringList{texte2});
    }

    // Slots are timed on the tick's samples (every 30 ms).
    void binaire_data() {
        QTest::addColumn<double>("f");
        QTest::addColumn<Lumiere>("lumiere");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("texte2");
        // The end mark: a blank for the darkness before it, nine lit slots and more light.
        const QString fin = u" 111111111"_s;
        for (const double f : {1.0, 2.0, 0.5})
            QTest::addRow("e, f = %g", f)
                << f << lumierebinaire(u"101100101"_s, f) << u"101100101"_s + fin << u"e"_s;
        QTest::newRow("é") << 1.0 << lumierebinaire(u"111101001"_s, 1) << u"111101001"_s + fin
                           << u"é"_s;
        // One blank per gap unit between the frames; one per bit of darkness at the two ends.
        const QString blancs = u"  101100101   101100101  "_s;
        QTest::newRow("unités de silence")
            << 1.0 << lumierebinaire(blancs, 1) << blancs + fin << u"  e   e  "_s;
        // The emitter's own bits (0.568 s), some changes of the light moved by a stall of
        // 0.1 s: a run whose whole length lies within 0.35 bit of a whole number of bits is
        // that many bits, whatever half seconds it counted. The start mark, the darkness
        // after it (one gap unit), the frame, the stop and the darkness before the end mark.
        const auto emis = [](const Lumiere& trame) {
            return Lumiere{5.68, -1.136} + trame + Lumiere{-1.136, 6.818};
        };
        QTest::newRow("bit de départ raccourci de 0,1 s")
            << 1.0 << emis({0.468, -0.668, 1.136, -1.136, 0.568, -0.568, 0.568})
            << u"101100101"_s + fin << u"e"_s;
        QTest::newRow("bit à 0 raccourci de 0,1 s")
            << 1.0 << emis({0.668, -0.468, 1.136, -1.136, 0.568, -0.568, 0.568})
            << u"101100101"_s + fin << u"e"_s;
        QTest::newRow("sept bits allumés allongés de 0,1 s")
            << 1.0 << emis({4.076, -1.036}) << u"111111100"_s + fin << u"ü"_s;
        // A character that ends with five zeros reaches its ninth slot 0.34 s before its
        // last bit ends: the gap after it is timed from that end, and a stop stretched by a
        // stall of 0.1 s makes no blank.
        QTest::newRow("arrêt allongé de 0,1 s après des zéros")
            << 1.0
            << emis(
                   {0.568, -0.568, 1.136, -2.84 - 0.568 - 0.1, 0.568, -0.568, 1.136, -2.272, 0.568})
            << u"101100000101100001"_s + fin << u"`a"_s;
        QTest::newRow("huit bits allumés, þ")
            << 1.0 << emis({4.544, -0.568}) << u"111111110"_s + fin << u"þ"_s;
        QTest::newRow("neuf bits allumés, ÿ")
            << 1.0 << emis({5.112}) << u"111111111"_s + fin << u"ÿ"_s;
        QTest::newRow("neuf bits allumés, ÿ, f = 0,5")
            << 0.5 << Lumiere{5.68, -1.136, 2.556, -0.568, 6.818} << u"111111111"_s + fin << u"ÿ"_s;
        // Light of 1.2 s is two slots; darkness of 5 s, seven (up to the ninth) and a gap.
        QTest::newRow("créneaux de 0,5 s")
            << 1.0 << Lumiere{5.68, -0.5, 1.2, -5.0, 6.818} << u"110000000"_s + fin << u"€"_s;
        // Darkness alone between the marks: after the 1.136 s and before the last bit of
        // darkness, nine bits, nine blanks.
        QTest::newRow("nuit de 6,8 s")
            << 1.0 << Lumiere{5.68, -6.8, 6.818} << QString(9, u' ') + fin
            << QString(9, u' ') + u' ' + aucun;
        QTest::newRow("nuit de 7,2 s, interrompue")
            << 1.0 << Lumiere{5.68, -7.2} << u"       "_s << u" "_s + interruption;
        // The forms of this routine: two blanks and e1 (not a Morse form), four blanks and
        // e3 no, five yes. The code is tested before the interruption text is added.
        const QString e1 = u"101100101100110001"_s, e3 = u"101100101100110011"_s;
        QTest::newRow("deux blancs et e1")
            << 1.0 << lumierebinaire(u"  "_s + e1, 1) << u"  "_s + e1 + fin << phrasecode(1);
        QTest::newRow("quatre blancs et e3")
            << 1.0 << lumierebinaire(u"    "_s + e3, 1) << u"    "_s + e3 + fin << u"    e3"_s;
        QTest::newRow("cinq blancs et e3")
            << 1.0 << lumierebinaire(u"     "_s + e3, 1) << u"     "_s + e3 + fin << phrasecode(3);
        QTest::newRow("e1 interrompu")
            << 1.0 << (lumierebinaire(u" "_s + e1, 1, false) << -7.6) << u" "_s + e1 + u"       "_s
            << phrasecode(1) + u' ' + interruption;
    }
    void binaire() {
        QFETCH(double, f);
        QFETCH(Lumiere, lumiere);
        QFETCH(QString, code);
        QFETCH(QString, texte2);
        const Ecoute e = ecoute(false, f, lumiere);
        QCOMPARE(e.debuts, 1);
        QCOMPARE(e.codes, QStringList{code});
        QCOMPARE(e.textes2, QStringList{texte2});
    }

    // A glitch of one reading, light in the darkness or darkness in the light, changes
    // nothing; one of two readings is light, or darkness. Morse on ticks of 50 ms, binary on
    // ticks of 30 ms: a glitch as long as a tick is read once.
    void parasitesDUnTic_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<double>("f");
        QTest::addColumn<Lumiere>("lumiere");
        QTest::addColumn<QString>("texte2");
        // A dash of 1 s cut by darkness: one dash, or two dots.
        QTest::newRow("morse, creux d'un tic dans un trait")
            << true << 1.0 << Lumiere{1.6, -0.5, .45, -.05, .5, -1.8, 1.6} << u"- (t)  = t"_s;
        // At x 1,3 a dot lasts 0.23 s: less a stall of 0.1 s, two ticks still. At x 2 (0.15 s)
        // a dot may be one reading: each reading counts, a dash cut by one is two dots.
        QTest::newRow("morse x 1,3, creux d'un tic dans un trait")
            << true << 1 / 1.3 << Lumiere{1.6, -0.5, .35, -.05, .35, -1.8 / 1.3, 1.6}
            << u"- (t)  = t"_s;
        QTest::newRow("morse x 2, creux d'un tic dans un trait")
            << true << 0.5 << Lumiere{1.6, -0.5, .225, -.05, .225, -0.9, 1.6} << u".. (i)  = i"_s;
        QTest::newRow("morse, creux de deux tics dans un trait")
            << true << 1.0 << Lumiere{1.6, -0.5, .45, -.1, .45, -1.8, 1.6} << u".. (i)  = i"_s;
        // Two dots 2.05 s apart, two letters; a light in the darkness between them.
        QTest::newRow("morse, éclair d'un tic entre deux lettres")
            << true << 1.0 << Lumiere{1.6, -0.5, .3, -1.0, .05, -1.0, .3, -1.8, 1.6}
            << u". (e) . (e)  = ee"_s;
        QTest::newRow("morse, éclair de deux tics entre deux lettres")
            << true << 1.0 << Lumiere{1.6, -0.5, .3, -1.0, .1, -1.0, .3, -1.8, 1.6}
            << u"... (s)  = s"_s;
        // The start mark: 3 s of light, cut after 1.5 s (a message would start there, its
        // last 1.45 s of light a dash).
        QTest::newRow("morse, creux d'un tic dans la marque de début")
            << true << 1.0 << Lumiere{1.5, -.05, 1.45, -0.5, .3, -1.8, 1.6} << u". (e)  = e"_s;
        // ü, seven lit bits, cut half-way; A (01000001), lit half-way through its five dark
        // bits.
        const auto emis = [](const Lumiere& trame) {
            return Lumiere{5.68, -1.136} + trame + Lumiere{-1.136, 6.818};
        };
        QTest::newRow("binaire, creux d'un tic dans sept bits allumés")
            << false << 1.0 << emis({2.0, -.03, 2.046, -0.568}) << u"ü"_s;
        QTest::newRow("binaire, éclair d'un tic dans cinq bits sombres")
            << false << 1.0 << emis({0.568, -0.568, 0.568, -1.4, .03, -1.41, 0.568}) << u"A"_s;
    }
    void parasitesDUnTic() {
        QFETCH(bool, morse);
        QFETCH(double, f);
        QFETCH(Lumiere, lumiere);
        QFETCH(QString, texte2);
        const Ecoute e = ecoute(morse, f, lumiere);
        QCOMPARE(e.debuts, 1);
        QCOMPARE(e.textes2, QStringList{texte2});
    }

    // Binary at x 4 on ticks of 50 ms: a bit (0.142 s) less a stall lasts less than two
    // ticks, and each reading counts. The first reading of the last bit of Á (11000001),
    // lit, comes with the ninth slot counted in the darkness of the five zeros before it:
    // were it kept waiting for the next reading, the frame would close on a ninth zero.
    void lumiereAuNeuviemeCreneau() {
        EssaiLiaison essai;
        essai.codage = u"b"_s;
        essai.vitesse = articlevitesse(u"4"_s);
        essai.intervalle = 50;
        essai.texte = u"Ä}2Á&"_s;
        essai.lumiere.graine = 1060;
        QCOMPARE(essaieliaison(essai).messagerecu, essai.texte);
    }

    // The darkness the emitters leave after their start mark and before their end mark is no
    // character: at every speed a text arrives without a blank it did not have, and with
    // those the user typed at either end or inside.
    void blancsAuxBouts_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<double>("f");
        QTest::addColumn<QString>("texte1");
        QTest::addColumn<QString>("texte2");
        for (const double f : {1.0, 0.5, 0.25, 10.0 / 9}) {
            QTest::addRow("morse e, f = %g", f) << true << f << u"e"_s << u". (e)  = e"_s;
            QTest::addRow("binaire e, f = %g", f) << false << f << u"e"_s << u"e"_s;
        }
        for (const double f : {1.0, 0.5}) {
            QTest::addRow("morse, blancs envoyés, f = %g", f)
                << true << f << u" e t "_s << u". (e) - (t)  =  e t "_s;
            QTest::addRow("binaire, blancs envoyés, f = %g", f)
                << false << f << u" e t "_s << u" e t "_s;
        }
        QTest::newRow("morse, deux blancs au début")
            << true << 1.0 << u"  e"_s << u". (e)  =   e"_s;
        QTest::newRow("binaire, deux blancs à la fin") << false << 1.0 << u"e  "_s << u"e  "_s;
        QTest::newRow("binaire, Merci") << false << 1.0 << u"Merci"_s << u"Merci"_s;
    }
    void blancsAuxBouts() {
        QFETCH(bool, morse);
        QFETCH(double, f);
        QFETCH(QString, texte1);
        QFETCH(QString, texte2);
        const Ecoute e =
            ecoute({morse, f, morse ? Btonenvoiemorse_Click : Btonenvoiebinaire_Click, texte1, {}});
        QCOMPARE(e.textes2, QStringList{texte2});
    }

    // Station 2 waits in Morse; the menu chooses binary before a binary message comes,
    // then Morse again before a Morse message: each is read by the routine of its coding.
    void changementDeCodageEnAttente() {
        const Lumiere binaire = lumierebinaire(u"101100101"_s, 1);
        const double finbinaire = BancVirtuel::Echange{}.debutEnvoi + duree(binaire);
        const Lumiere lumiere = binaire + Lumiere{-3.0} + lumieremorse(u" .- "_s, 1);
        const auto menus = [finbinaire](BancVirtuel& banc) {
            Station& r = *banc.recepteur.station;
            banc.recepteur.plateforme.programme(1.8,
                                                [&r] { feuille(r)->menu_typebinaire_Click(); });
            banc.recepteur.plateforme.programme(finbinaire + 1.5,
                                                [&r] { feuille(r)->menu_typemorse_Click(); });
        };
        const Ecoute e =
            ecoute({true, 1, [lumiere](Station& s) { eclaire(s, lumiere); }, {}, menus});
        QCOMPARE(e.debuts, 2);
        QCOMPARE(e.codes, QStringList({u"101100101 111111111"_s, u" .- "_s}));
        QCOMPARE(e.textes2, QStringList({u"e"_s, u".- (a)  = a"_s}));
    }

    // Back and forth between the codings many times: each routine runs at the same depth
    // of the stack every time, the previous ones are not left suspended beneath it.
    void changementsSansImbrication() {
        BancEssai banc;
        FeuillesBanc feuilles(banc);
        Station& r = *banc.recepteur.station;
        std::map<QString, std::set<const void*>> profondeurs;
        for (int i = 0; i < 100; ++i) {
            const double t = 2.0 + 0.02 * i;
            banc.recepteur.plateforme.programme(t, [&r, i] {
                i % 2 ? feuille(r)->menu_typemorse_Click() : feuille(r)->menu_typebinaire_Click();
            });
            banc.recepteur.plateforme.programme(t + 0.01, [&] {
                profondeurs[r.etat.typecodage].insert(__builtin_frame_address(0));
            });
        }
        BancVirtuel::Echange echange;
        echange.attenteApres = 2.5;
        banc.echange(echange);
        QCOMPARE(profondeurs.size(), std::size_t(2));
        QCOMPARE(profondeurs[u"b"_s].size(), std::size_t(1));
        QCOMPARE(profondeurs[u"m"_s].size(), std::size_t(1));
    }
};

QTEST_MAIN(TestReceptionLente)
#include "tst_receptionlente.moc"
