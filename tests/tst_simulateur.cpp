#include "link/valeurnumerique.h"
#include "sim/banc.h"
#include "sim/commandesbanc.h"
#include "sim/commandesphotodiode.h"

#include <QTest>
#include <algorithm>
#include <cmath>

// The model of the interface, the line and the light, driven with bytes and instants.

namespace {

constexpr double octet = dureeOctetLigne;
const QByteArray DEL(1, '\x7f');

struct Essai {
    explicit Essai(ReglagesBanc reglages = {})
        : banc(reglages, [this](const EvenementJournal& e) { journal << ligneJournal(e); }) {}

    // What station `s` (0 for COM1) gets back, by `jusqua`, for bytes written at `t`.
    QByteArray reponse(const QByteArray& octets, int s = 0, double t = 0, double jusqua = 5) {
        banc.ecrit(s, t, octets);
        return banc.lit(s, jusqua);
    }
    // Arms and starts a recording of `blocs` blocks on station `s`, at `t`.
    void enregistre(int blocs, int s = 0, double t = 0) {
        banc.ecrit(s, t, "XPEA1 0," + QByteArray::number(blocs) + ",6,0\rXEAP\r");
    }
    QStringList lignes(const QString& mot) const {
        QStringList trouvees;
        for (const QString& l : journal)
            if (l.section(QLatin1Char(' '), 2, 2) == mot)
                trouvees << l;
        return trouvees;
    }

    // A command by hand at `t`, its own notes added to the journal.
    bool commande(const QByteArray& ligne, double t) {
        return commandesbanc::execute(banc, t, ligne,
                                      [this](const QString& port, const QString& d) {
                                          journal << port + QStringLiteral(" lumière ") + d;
                                      });
    }

    Banc banc;
    QStringList journal;
};

ReglagesBanc sansReponseLente() {
    ReglagesBanc r;
    r.lumiere.tempsReponse = 0;
    return r;
}

} // namespace

class TestSimulateur : public QObject {
    Q_OBJECT
private slots:
    void reponsesAuxCommandes_data() {
        QTest::addColumn<QByteArray>("prepare"); // written at 0 s
        QTest::addColumn<QByteArray>("requete"); // written at 1 s
        QTest::addColumn<QByteArray>("attendu");
        const QByteArray rien;
        const QByteArray unBloc("XPEA1 0,1,6,0\rXEAP\r");
        const QByteArray deuxBlocs("XPEA1 0,2,6,0\rXEAP\r");
        // Dark: 0.05 V reads round(0.05 x 255 / 5) = 3; lit (3 V): 153.
        QTest::newRow("XEA 0") << rien << QByteArray("XEA 0\r") << QByteArray("3\r");
        QTest::newRow("deux requêtes")
            << rien << QByteArray("XEA 0\rXEA 0\r") << QByteArray("3\r3\r");
        QTest::newRow("autre entrée") << rien << QByteArray("XEA 1\r") << rien;
        QTest::newRow("inconnue") << rien << QByteArray("XZZ\r") << rien;
        QTest::newRow("octets de touche") << rien << QByteArray("\0\r \r\0 ", 6) << rien;
        QTest::newRow("XRESUL sans enregistrement") << rien << QByteArray("XRESUL 1,0,1") << rien;
        QTest::newRow("une valeur") << QByteArray("XPEA1 0, 200,6,0\rXEAP\r")
                                    << QByteArray("XRESUL 1,0,1") << QByteArray("3\x7f");
        // 200 blocks take 8.3 s: at 1 s the last sample has not been taken.
        QTest::newRow("une valeur, pas encore enregistrée")
            << QByteArray("XPEA1 0,200,6,0XEAP") << QByteArray("XRESUL 200,31,1")
            << QByteArray("0\x7f");
        QTest::newRow("32 valeurs")
            << unBloc << QByteArray("XRESUL  1,0,32") << QByteArray("3,").repeated(32) + "\r";
        QTest::newRow("bloc 0") << deuxBlocs << QByteArray("XRESUL 0,0,1") << rien;
        QTest::newRow("au-delà de l'enregistrement")
            << deuxBlocs << QByteArray("XRESUL 3,0,1") << rien;
        QTest::newRow("position 32") << deuxBlocs << QByteArray("XRESUL 1,32,1") << rien;
        QTest::newRow("401 blocs")
            << QByteArray("XPEA1 0,401,6,0\rXEAP\r") << QByteArray("XRESUL 1,0,1") << rien;
    }
    void reponsesAuxCommandes() {
        QFETCH(QByteArray, prepare);
        QFETCH(QByteArray, requete);
        QFETCH(QByteArray, attendu);
        Essai e;
        e.banc.ecrit(0, 0, prepare);
        QCOMPARE(e.reponse(requete, 0, 1, 3), attendu);
    }

    void lesOctetsDeToucheCommandentSB0() {
        Essai e;
        InterfaceOrphy& com1 = e.banc.interface(0);
        e.banc.ecrit(0, 1.0, QByteArray("\0\r", 2));
        e.banc.avanceJusqua(1.0 + 0.5 * octet);
        QVERIFY(!com1.sb0());
        e.banc.avanceJusqua(1.0 + octet);
        QVERIFY(com1.sb0());
        e.banc.ecrit(0, 2.0, " ");
        e.banc.ecrit(0, 3.0, QByteArray(1, '\0'));
        e.banc.ecrit(0, 4.0, "XEA 0\r"); // its blank is not a keying byte
        e.banc.avanceJusqua(5);
        const auto& t = com1.transitionsSB0();
        QCOMPARE(t.size(), std::size_t(3));
        QCOMPARE(t[0].instant, 1.0 + octet);
        QCOMPARE(t[1].instant, 2.0 + octet);
        QVERIFY(!t[1].allume);
        QVERIFY(t[2].allume);
        QCOMPARE(e.lignes(QStringLiteral("SB0")).size(), 3);
        QCOMPARE(e.lignes(QStringLiteral("touche")).size(), 3);
        // The laser of station 1 lights station 2: 3 V reads 153.
        QCOMPARE(e.reponse("XEA 0\r", 1, 5, 6), QByteArray("153\r"));
    }

    void uneCommandeSansTerminateurAttendLeSilenceOuLaSuivante() {
        Essai e;
        e.banc.ecrit(0, 0, "XPEA1 0,1,6,0XEAP");
        // "XPEA1..." ends when the X of "XEAP" arrives (14th byte); "XEAP" runs two byte
        // times after its last byte.
        e.banc.avanceJusqua(17 * octet + 2 * octet - 1e-9);
        QCOMPARE(e.banc.interface(0).debutEnregistrement(), -1.0);
        e.banc.avanceJusqua(1);
        QCOMPARE(e.banc.interface(0).debutEnregistrement(), 17 * octet + 2 * octet);
        QCOMPARE(e.lignes(QStringLiteral("commande")).size(), 2);
    }

    void uneRequeteRepeteePendantSaReponseNEstPasRepondue() {
        Essai e;
        e.enregistre(1);
        const QByteArray requete("XRESUL  1,0,32\r");
        e.banc.ecrit(0, 0.1, requete + requete);
        QCOMPARE(e.banc.lit(0, 1), QByteArray("3,").repeated(32) + "\r");
        QCOMPARE(e.lignes(QStringLiteral("omise")).size(), 1);
        // Once the answer is through, the same request is answered again.
        QCOMPARE(e.reponse(requete, 0, 2, 3).size(), 65);
    }

    void laLigneNePassePasPlusDe960OctetsParSeconde() {
        Essai e;
        e.banc.ecrit(0, 0, QByteArray(1000, 'Z'));
        QCOMPARE(e.banc.octetsEnChemin(0, 0.5), qint64(1000 - 480));
        QCOMPARE(e.banc.octetsEnChemin(0, 1000 * octet - 1e-6), qint64(1));
        QCOMPARE(e.banc.octetsEnChemin(0, 1000 * octet + 1e-9), qint64(0));
        // A keying byte written behind the queue acts only when its turn comes.
        e.banc.ecrit(0, 0.5, QByteArray(1, '\0'));
        e.banc.avanceJusqua(2);
        QVERIFY(std::abs(e.banc.interface(0).transitionsSB0().at(0).instant - 1001 * octet) < 1e-9);
        // Answers are paced the same way: 32 values of 3 digits take 129 byte times.
        ReglagesBanc allume;
        allume.pannes = {Pannes{.lumiere = Pannes::Lumiere::Allumee}};
        Essai f(allume);
        f.enregistre(1);
        f.banc.ecrit(0, 1, "XRESUL 1,0,32\r");
        f.banc.avanceJusqua(1.1);
        const double premier = f.banc.interface(0).prochaineSortie();
        QCOMPARE(premier, 1 + 14 * octet + 0.002); // the CR, then the time to answer
        QCOMPARE(f.banc.lit(0, premier + 127.5 * octet).size(), 128);
        QCOMPARE(f.banc.lit(0, premier + 128 * octet), QByteArray("\r"));
    }

    void lEnregistrementSuitLaLumiere() {
        Essai e(sansReponseLente());
        // Station 2's laser: on at 0.1 s for 40 ms (its bytes arrive one byte time
        // later), while station 1 records one block from t = 0.
        e.banc.ecrit(1, 0.1 - octet, QByteArray(1, '\0'));
        e.banc.ecrit(1, 0.14 - octet, " ");
        e.banc.ecrit(0, 0, "XPEA1 0,100,6,0\rXEAP\r");
        const double debut = 21 * octet; // when the CR after "XEAP" arrives
        e.banc.avanceJusqua(1);
        QCOMPARE(e.banc.interface(0).debutEnregistrement(), debut);
        const std::vector<int>& m = e.banc.interface(0).memoire();
        for (std::size_t k = 0; k < 200; ++k) {
            const double t = debut + k * 0.0013;
            const bool eclaire = t >= 0.1 - 1e-12 && t < 0.14 - 1e-12;
            QCOMPARE(m[k], eclaire ? 153 : 3);
        }
        // Samples not yet taken read 0.
        QCOMPARE(m.back(), 0);
        e.banc.avanceJusqua(20);
        QCOMPARE(m.back(), 3);
        QCOMPARE(e.lignes(QStringLiteral("enregistrement")).size(), 2);
    }

    void laPhotodiodeRepondAvecRetard() {
        Essai e;
        e.banc.ecrit(1, 1.0 - octet, QByteArray(1, '\0'));
        e.banc.avanceJusqua(2);
        const CheminLumineux& c = e.banc.chemin(0);
        QCOMPARE(c.eclairement(1.0 - 1e-9), 0.0);
        QVERIFY(std::abs(c.eclairement(1.0002) - (1 - std::exp(-1.0))) < 1e-9);
        QVERIFY(c.eclairement(1.002) > 0.9999);
        e.banc.ecrit(1, 1.5 - octet, " ");
        e.banc.avanceJusqua(2);
        QVERIFY(std::abs(c.eclairement(1.5002) - std::exp(-1.0)) < 1e-9);
    }

    void bruitEtScintillement() {
        ReglagesBanc r;
        r.lumiere.bruit = 0.1;
        r.lumiere.graine = 42;
        Banc a(r), b(r);
        double somme = 0, carres = 0;
        const int n = 20000;
        for (int k = 0; k < n; ++k) {
            const double t = k * 0.001;
            const double v = a.chemin(0).tension(t) - 0.05;
            QCOMPARE(v + 0.05, b.chemin(0).tension(t)); // the same seed, the same noise
            somme += v;
            carres += v * v;
        }
        QVERIFY(std::abs(somme / n) < 0.005);
        QVERIFY(std::abs(std::sqrt(carres / n) - 0.1) < 0.005);
        r.lumiere.graine = 43;
        QVERIFY(Banc(r).chemin(0).tension(0.001) != a.chemin(0).tension(0.001));

        ReglagesBanc s;
        s.lumiere.scintillement = 0.5;
        Banc c(s);
        QVERIFY(std::abs(c.chemin(0).tension(0.0025) - 0.55) < 1e-9); // a quarter of 10 ms
        QVERIFY(std::abs(c.chemin(0).tension(0.0075) + 0.45) < 1e-9);
        QCOMPARE(c.chemin(0).lecture(0.0075), 0); // limited to 0 to 255
    }

    // A busy emitter's slips: every change of station 2's laser reaches station 1's
    // photodiode late by 4 sigma on average, spread by sigma, in its order; stalls add
    // their duration to the share of changes they strike.
    void glissementsEtArrets_data() {
        QTest::addColumn<double>("glissement");
        QTest::addColumn<double>("arrets");
        QTest::newRow("2 ms") << 0.002 << 0.0;
        QTest::newRow("10 ms") << 0.010 << 0.0;
        QTest::newRow("arrêts seuls, un sur dix") << 0.0 << 0.1;
        QTest::newRow("5 ms, arrêts un sur cinq") << 0.005 << 0.2;
    }
    void glissementsEtArrets() {
        QFETCH(double, glissement);
        QFETCH(double, arrets);
        ReglagesBanc r;
        r.lumiere.glissement = glissement;
        r.lumiere.proportionArrets = arrets;
        r.lumiere.graine = 7;
        Essai e(r), f(r);
        r.lumiere.graine = 8;
        Essai g(r);
        const int n = 2000;
        for (Essai* essai : {&e, &f, &g}) {
            for (int k = 0; k < n; ++k)
                essai->banc.ecrit(1, 0.1 + 0.25 * k, k % 2 == 0 ? QByteArray(1, '\0') : " ");
            essai->banc.avanceJusqua(0.2 + 0.25 * n);
        }
        const auto& source = e.banc.interface(1).transitionsSB0();
        const auto& vues = e.banc.chemin(0).transitionsVues();
        QCOMPARE(int(source.size()), n);
        QCOMPARE(vues.size(), source.size());
        double somme = 0, carres = 0;
        int arretes = 0;
        for (std::size_t k = 0; k < vues.size(); ++k) {
            QCOMPARE(vues[k].allume, source[k].allume);
            QVERIFY(vues[k].instant >= source[k].instant);
            if (k > 0)
                QVERIFY(vues[k].instant >= vues[k - 1].instant);
            double retard = vues[k].instant - source[k].instant;
            if (retard > r.lumiere.dureeArret / 2 + 4 * glissement) {
                ++arretes;
                retard -= r.lumiere.dureeArret;
            }
            somme += retard;
            carres += retard * retard;
        }
        const double moyenne = somme / n;
        const double ecart = std::sqrt(carres / n - moyenne * moyenne);
        QVERIFY2(std::abs(moyenne - 4 * glissement) <= 0.1 * glissement + 1e-12,
                 qPrintable(QString::number(moyenne)));
        QVERIFY2(std::abs(ecart - glissement) <= 0.1 * glissement + 1e-9,
                 qPrintable(QString::number(ecart)));
        QVERIFY2(std::abs(arretes - arrets * n) <= 4 * std::sqrt(arrets * n + 1),
                 qPrintable(QString::number(arretes)));
        // The same seed moves the changes the same way, another seed otherwise; the light
        // follows the changes as they are seen.
        const auto& memes = f.banc.chemin(0).transitionsVues();
        const auto& autres = g.banc.chemin(0).transitionsVues();
        int differentes = 0;
        for (std::size_t k = 0; k < vues.size(); ++k) {
            QCOMPARE(memes[k].instant, vues[k].instant);
            differentes += autres[k].instant != vues[k].instant;
        }
        QVERIFY(differentes > (glissement > 0 ? n / 2 : int(n * arrets / 2)));
        const CheminLumineux& c = e.banc.chemin(0);
        int verifiees = 0;
        for (std::size_t k = 1; k + 1 < vues.size() && k < 100; ++k) {
            const double t = vues[k].instant;
            if (t - vues[k - 1].instant < 0.01 || vues[k + 1].instant - t < 0.01)
                continue;
            QCOMPARE(c.lecture(t - 0.005), vues[k].allume ? 3 : 153);
            QCOMPARE(c.lecture(t + 0.005), vues[k].allume ? 153 : 3);
            ++verifiees;
        }
        QVERIFY(verifiees >= 50);
        // The changes the source forgets (older than its memory of the light) are
        // forgotten here too; the others keep how they were moved.
        const double dernier = vues.back().instant;
        e.banc.ecrit(1, 1200, QByteArray(1, '\0'));
        e.banc.avanceJusqua(1300);
        const auto& restantes = c.transitionsVues();
        QCOMPARE(restantes.size(), e.banc.interface(1).transitionsSB0().size());
        QVERIFY(restantes.size() < std::size_t(n));
        QCOMPARE(restantes[restantes.size() - 2].instant, dernier);
    }

    // Glitches: so many inversions of the light on the photodiode, each as long as a sample
    // period, drawn from the seed between two instants after the laser first lights, far
    // enough apart: the light is the other one during each, the laser's again after it. The
    // same seed places them the same, another elsewhere; before the first light, none.
    void parasites() {
        ReglagesBanc r = sansReponseLente();
        r.lumiere.parasites = 5;
        r.lumiere.debutParasites = 1.0;
        r.lumiere.finParasites = 3.0;
        r.lumiere.graine = 7;
        Essai e(r), f(r), sansLumiere(r);
        r.lumiere.graine = 8;
        Essai g(r);
        for (Essai* essai : {&e, &f, &g}) {
            essai->banc.ecrit(1, 0.5, QByteArray(1, '\0'));
            essai->banc.ecrit(1, 2.0, " ");
            essai->banc.avanceJusqua(5);
        }
        sansLumiere.banc.avanceJusqua(5);
        QVERIFY(sansLumiere.banc.chemin(0).instantsParasites().empty());
        const CheminLumineux& c = e.banc.chemin(0);
        const double allumage = c.transitionsVues().front().instant;
        const std::vector<double> t = c.instantsParasites();
        QCOMPARE(int(t.size()), 5);
        for (std::size_t k = 0; k < t.size(); ++k) {
            QVERIFY(t[k] >= allumage + 1.0 && t[k] <= allumage + 3.0);
            if (k > 0)
                QVERIFY(t[k] - t[k - 1] >= r.lumiere.ecartParasites);
            const int avant = c.lecture(t[k] - 0.001);
            QCOMPARE(c.lecture(t[k] + r.lumiere.dureeParasite / 2), avant == 3 ? 153 : 3);
            QCOMPARE(c.lecture(t[k] + r.lumiere.dureeParasite + 0.001), avant);
        }
        QCOMPARE(f.banc.chemin(0).instantsParasites(), t);
        QVERIFY(g.banc.chemin(0).instantsParasites() != t);
        // The changes the laser makes are seen as they are: the glitches come on top.
        QCOMPARE(c.transitionsVues().size(), std::size_t(2));
        QCOMPARE(c.transitionsLumiere().size(), std::size_t(2 + 2 * 5));
    }

    // Without slips nor stalls the photodiode sees the source's changes themselves.
    void sansGlissement() {
        Essai e;
        e.banc.ecrit(1, 0.1, QByteArray(1, '\0'));
        e.banc.avanceJusqua(1);
        QCOMPARE(&e.banc.chemin(0).transitionsVues(), &e.banc.interface(1).transitionsSB0());
    }

    void boucleLocale() {
        ReglagesBanc r;
        r.boucleLocale = true;
        Essai e(r);
        e.banc.ecrit(0, 0, QByteArray(1, '\0'));
        QCOMPARE(e.reponse("XEA 0\r", 0, 0.1, 1), QByteArray("153\r"));
        QCOMPARE(e.reponse("XEA 0\r", 1, 1, 2), QByteArray("3\r"));
    }

    void pannes() {
        ReglagesBanc r;
        r.pannes.resize(2);
        r.pannes[0].muette = true;
        r.pannes[1].charabia = true;
        Essai e(r);
        QCOMPARE(e.reponse("XEA 0\r", 0), QByteArray());
        e.banc.ecrit(0, 1, QByteArray(1, '\0')); // a mute interface still keys its laser
        e.banc.avanceJusqua(2);
        QVERIFY(e.banc.interface(0).sb0());
        const QByteArray charabia = e.reponse("XEA 0\r", 1, 2, 3);
        QCOMPARE(charabia.size(), 4);
        QVERIFY(charabia.endsWith('\r'));
        QCOMPARE(valeurnumerique(charabia), 0.0);

        ReglagesBanc tard;
        tard.pannes = {Pannes{.retard = 0.5}};
        Essai t(tard);
        t.banc.ecrit(0, 0, "XEA 0\r");
        QCOMPARE(t.banc.lit(0, 0.5), QByteArray());
        QCOMPARE(t.banc.lit(0, 0.51), QByteArray("3\r"));

        ReglagesBanc coupe;
        coupe.pannes = {Pannes{.coupureApres = 2}};
        Essai c(coupe);
        c.enregistre(1);
        QCOMPARE(c.reponse("XRESUL 1,0,1", 0, 1, 2), QByteArray("3") + DEL);
        QCOMPARE(c.reponse("XRESUL 1,1,1", 0, 2, 3), QByteArray("3") + DEL);
        QVERIFY(!c.banc.interface(0).coupee());
        // The request that drops the connection is ended by the next one, which never runs.
        QCOMPARE(c.reponse("XRESUL 1,2,1XEA 0\r", 0, 3, 4), QByteArray());
        QVERIFY(c.banc.interface(0).coupee());
        QVERIFY(c.journal.last().contains(QStringLiteral(" panne ")));

        ReglagesBanc eteinte;
        eteinte.pannes = {Pannes{}, Pannes{.lumiere = Pannes::Lumiere::Eteinte}};
        Essai n(eteinte);
        n.banc.ecrit(0, 0, QByteArray(1, '\0'));
        QCOMPARE(n.reponse("XEA 0\r", 1, 1, 2), QByteArray("3\r"));
    }

    // Faults given by hand while the bench runs, from the instant of the command on. The
    // laser of COM1 is lit at 0, so COM2 reads 153 while its light is normal.
    void commandesALaMain_data() {
        QTest::addColumn<QByteArray>("ligne"); // at 1 s
        QTest::addColumn<bool>("acceptee");
        QTest::addColumn<int>("station");   // writes "XEA 0" CR at 2 s
        QTest::addColumn<double>("jusqua"); // and reads what has come by then
        QTest::addColumn<QByteArray>("attendu");
        QTest::addColumn<QString>("note"); // a line of the journal ends so
        const QByteArray lu("153\r"), noir("3\r"), rien;
        const QString refus = QStringLiteral("bloque N ou repare N)");
        QTest::newRow("muette") << QByteArray("muette 2") << true << 1 << 3.0 << rien
                                << QStringLiteral("COM2 panne muette : plus aucune réponse");
        QTest::newRow("muette, dernier port") << QByteArray("muette 2") << true << 0 << 3.0 << noir
                                              << QStringLiteral("muette : plus aucune réponse");
        QTest::newRow("muette, premier port")
            << QByteArray("muette 1") << true << 0 << 3.0 << rien
            << QStringLiteral("COM1 panne muette : plus aucune réponse");
        QTest::newRow("retard, pas encore")
            << QByteArray("retard 2 0,5") << true << 1 << 2.5 << rien
            << QStringLiteral("COM2 panne retard de 0.5 s sur chaque réponse");
        QTest::newRow("retard, arrivée") << QByteArray("retard 2 0.5") << true << 1 << 2.52 << lu
                                         << QStringLiteral("retard de 0.5 s sur chaque réponse");
        QTest::newRow("retard nul") << QByteArray("retard 2 0") << true << 1 << 2.02 << lu
                                    << QStringLiteral("retard de 0 s sur chaque réponse");
        QTest::newRow("eclaire") << QByteArray("eclaire 1") << true << 0 << 3.0 << lu
                                 << QStringLiteral("COM1 lumière photodiode éclairée à la main");
        QTest::newRow("sombre") << QByteArray("sombre 2") << true << 1 << 3.0 << noir
                                << QStringLiteral("COM2 lumière photodiode dans le noir à la main");
        QTest::newRow("normale") << QByteArray("normale 2") << true << 1 << 3.0 << lu
                                 << QStringLiteral(
                                        "COM2 lumière photodiode de nouveau sous le laser");
        QTest::newRow("bloque : XEA servie")
            << QByteArray("bloque 2") << true << 1 << 3.0 << lu
            << QStringLiteral("COM2 panne plus de réponse à XRESUL");
        QTest::newRow("coupe") << QByteArray("coupe 2") << true << 1 << 3.0 << rien
                               << QStringLiteral("COM2 panne connexion coupée");
        QTest::newRow("coupe, retour après la requête")
            << QByteArray("coupe 2 1,5") << true << 1 << 3.0 << rien
            << QStringLiteral("COM2 panne connexion rétablie");
        QTest::newRow("pause, la première moitié")
            << QByteArray("pause 2 0,5") << true << 1 << 2.4 << QByteArray("15")
            << QStringLiteral("COM2 panne la prochaine réponse s'arrête 0.5 s à mi-chemin");
        QTest::newRow("pause, la fin") << QByteArray("pause 2 0.5") << true << 1 << 2.52 << lu
                                       << QStringLiteral("COM2 panne réponse arrêtée 0.5 s après 2 "
                                                         "octets sur 4");
        QTest::newRow("rebranche")
            << QByteArray("rebranche 2 1,5") << true << 1 << 3.0 << rien
            << QStringLiteral("COM2 panne connexion coupée, retour dans 1.5 s sous un autre "
                              "périphérique");
        QTest::newRow("repare") << QByteArray("repare 2") << true << 1 << 3.0 << lu
                                << QStringLiteral("COM2 panne réparée : plus aucune panne");
        QTest::newRow("port 3 sur 2") << QByteArray("muette 3") << false << 1 << 3.0 << lu << refus;
        QTest::newRow("port 0") << QByteArray("muette 0") << false << 1 << 3.0 << lu << refus;
        QTest::newRow("retard sans durée")
            << QByteArray("retard 2") << false << 1 << 3.0 << lu << refus;
        QTest::newRow("retard négatif")
            << QByteArray("retard 2 -0.1") << false << 1 << 3.0 << lu << refus;
        QTest::newRow("pause sans durée")
            << QByteArray("pause 2") << false << 1 << 3.0 << lu << refus;
        QTest::newRow("rebranche sans durée")
            << QByteArray("rebranche 2") << false << 1 << 3.0 << lu << refus;
        QTest::newRow("flot en trop") << QByteArray("flot 2 1") << false << 1 << 3.0 << lu << refus;
        QTest::newRow("coupe, deux durées")
            << QByteArray("coupe 2 1 2") << false << 1 << 3.0 << lu << refus;
        QTest::newRow("coupe, durée illisible")
            << QByteArray("coupe 2 bientôt") << false << 1 << 3.0 << lu << refus;
        QTest::newRow("muette en trop")
            << QByteArray("muette 2 1") << false << 1 << 3.0 << lu << refus;
        QTest::newRow("sans port") << QByteArray("muette") << false << 1 << 3.0 << lu << refus;
        QTest::newRow("inconnue") << QByteArray("allume 2") << false << 1 << 3.0 << lu << refus;
    }
    void commandesALaMain() {
        QFETCH(QByteArray, ligne);
        QFETCH(bool, acceptee);
        QFETCH(int, station);
        QFETCH(double, jusqua);
        QFETCH(QByteArray, attendu);
        QFETCH(QString, note);
        Essai e(sansReponseLente());
        e.banc.ecrit(0, 0, QByteArray(1, '\0'));
        QCOMPARE(e.commande(ligne, 1), acceptee);
        QCOMPARE(e.reponse("XEA 0\r", station, 2, jusqua), attendu);
        QVERIFY2(std::any_of(e.journal.begin(), e.journal.end(),
                             [&](const QString& l) { return l.endsWith(note); }),
                 qPrintable(e.journal.join(u'\n')));
        const QString refusee = QStringLiteral("commande refusée « %1 »").arg(ligne);
        QCOMPARE(std::any_of(e.journal.begin(), e.journal.end(),
                             [&](const QString& l) { return l.contains(refusee); }),
                 !acceptee);
    }

    // The light on a photodiode changed by hand: the room's light, what the laser facing it
    // adds, from the instant of the command on. COM1's laser is lit at 0 (or kept dark);
    // COM2 reads at 2 s, without the photodiode's response time.
    void lumiereDeLaPhotodiodeALaMain_data() {
        QTest::addColumn<QByteArray>("ligne"); // at 1 s
        QTest::addColumn<bool>("acceptee");
        QTest::addColumn<bool>("laser");
        QTest::addColumn<QByteArray>("attendu"); // COM2's reading
        QTest::addColumn<int>("station");        // whose line of the state is checked
        QTest::addColumn<QString>("etat");
        const QString normal =
            QStringLiteral("COM2 salle 0.05 laser 2.95 bruit 0 scintillement 0 photodiode normale");
        // 1.5 + 2.95 = 4.45 V reads round(4.45 x 51) = 227; 1.5 V alone 76.5, rounded up.
        QTest::newRow("salle, laser allumé")
            << QByteArray("salle 2 1,5") << true << true << QByteArray("227\r") << 1
            << QStringLiteral(
                   "COM2 salle 1.5 laser 2.95 bruit 0 scintillement 0 photodiode normale");
        QTest::newRow("salle, laser éteint")
            << QByteArray("salle 2 1.5") << true << false << QByteArray("77\r") << 1
            << QStringLiteral(
                   "COM2 salle 1.5 laser 2.95 bruit 0 scintillement 0 photodiode normale");
        QTest::newRow("salle nulle")
            << QByteArray("salle 2 0") << true << false << QByteArray("0\r") << 1
            << QStringLiteral("COM2 salle 0 laser 2.95 bruit 0 "
                              "scintillement 0 photodiode normale");
        QTest::newRow("salle à 5 V")
            << QByteArray("salle 2 5") << true << false << QByteArray("255\r") << 1
            << QStringLiteral("COM2 salle 5 laser 2.95 bruit 0 "
                              "scintillement 0 photodiode normale");
        QTest::newRow("salle au-delà de 5 V")
            << QByteArray("salle 2 5.01") << false << true << QByteArray("153\r") << 1 << normal;
        QTest::newRow("salle négative")
            << QByteArray("salle 2 -0.1") << false << true << QByteArray("153\r") << 1 << normal;
        // The laser further away: 0.05 + 0.5 = 0.55 V reads 28.
        QTest::newRow("laser à distance")
            << QByteArray("laser 2 0,5") << true << true << QByteArray("28\r") << 1
            << QStringLiteral(
                   "COM2 salle 0.05 laser 0.5 bruit 0 scintillement 0 photodiode normale");
        QTest::newRow("laser nul")
            << QByteArray("laser 2 0") << true << true << QByteArray("3\r") << 1
            << QStringLiteral("COM2 salle 0.05 laser 0 bruit 0 scintillement 0 photodiode normale");
        QTest::newRow("bruit nul")
            << QByteArray("bruit 2 0") << true << true << QByteArray("153\r") << 1 << normal;
        QTest::newRow("éclairée à la main")
            << QByteArray("eclaire 2") << true << false << QByteArray("153\r") << 1
            << QStringLiteral(
                   "COM2 salle 0.05 laser 2.95 bruit 0 scintillement 0 photodiode eclairee");
        QTest::newRow("l'autre photodiode")
            << QByteArray("salle 1 2") << true << true << QByteArray("153\r") << 0
            << QStringLiteral("COM1 salle 2 laser 2.95 bruit 0 scintillement 0 photodiode normale");
        QTest::newRow("port 3 sur 2")
            << QByteArray("salle 3 1") << false << true << QByteArray("153\r") << 1 << normal;
        QTest::newRow("port 0") << QByteArray("bruit 0 0.1") << false << true << QByteArray("153\r")
                                << 1 << normal;
        QTest::newRow("sans tension")
            << QByteArray("salle 2") << false << true << QByteArray("153\r") << 1 << normal;
        QTest::newRow("tension illisible")
            << QByteArray("laser 2 fort") << false << true << QByteArray("153\r") << 1 << normal;
        QTest::newRow("deux tensions") << QByteArray("scintillement 2 0.1 0.2") << false << true
                                       << QByteArray("153\r") << 1 << normal;
    }
    void lumiereDeLaPhotodiodeALaMain() {
        QFETCH(QByteArray, ligne);
        QFETCH(bool, acceptee);
        QFETCH(bool, laser);
        QFETCH(QByteArray, attendu);
        QFETCH(int, station);
        QFETCH(QString, etat);
        Essai e(sansReponseLente());
        e.banc.ecrit(0, 0, laser ? QByteArray(1, '\0') : QByteArray(" "));
        QCOMPARE(e.reponse("XEA 0\r", 1, 0.5, 0.9), QByteArray(laser ? "153\r" : "3\r"));
        QCOMPARE(e.commande(ligne, 1), acceptee);
        QCOMPARE(e.reponse("XEA 0\r", 1, 2, 3), attendu);
        QCOMPARE(commandesphotodiode::ligneetat(e.banc, station), etat);
        const QString refusee = QStringLiteral("commande refusée « %1 »").arg(ligne);
        QCOMPARE(std::any_of(e.journal.begin(), e.journal.end(),
                             [&](const QString& l) { return l.contains(refusee); }),
                 !acceptee);
        if (acceptee)
            QVERIFY2(std::any_of(e.journal.begin(), e.journal.end(),
                                 [&](const QString& l) {
                                     return l.contains(QStringLiteral(" lumière ")) &&
                                            l.endsWith(QStringLiteral("sur la photodiode"));
                                 }) ||
                         ligne.startsWith("eclaire"),
                     qPrintable(e.journal.join(u'\n')));
    }

    // Noise and the lamps' ripple on one photodiode, from the command on, as asked.
    void bruitEtScintillementALaMain() {
        Essai e(sansReponseLente());
        QVERIFY(e.commande("bruit 2 0,2", 1));
        QCOMPARE(e.banc.chemin(0).tension(1.5), 0.05); // the other photodiode unchanged
        double somme = 0, carres = 0;
        const int n = 20000;
        for (int k = 0; k < n; ++k) {
            const double v = e.banc.chemin(1).tension(1 + k * 0.001) - 0.05;
            somme += v;
            carres += v * v;
        }
        QVERIFY(std::abs(somme / n) < 0.01);
        QVERIFY(std::abs(std::sqrt(carres / n) - 0.2) < 0.01);
        QVERIFY(e.commande("bruit 2 0", 30));
        QVERIFY(e.commande("scintillement 2 0.3", 30));
        // A quarter and three quarters of the 10 ms of the ripple.
        QVERIFY(std::abs(e.banc.chemin(1).tension(30.0025) - 0.35) < 1e-9);
        QVERIFY(std::abs(e.banc.chemin(1).tension(30.0075) + 0.25) < 1e-9);
        QVERIFY(e.journal.last().endsWith(
            QStringLiteral("COM2 lumière scintillement à 100 Hz 0.3 V sur la photodiode")));
    }

    // A connection that drops after its requests and comes back: the interface keeps its
    // laser and its other faults, and the cut does not fire again.
    void coupureAvecRetour() {
        ReglagesBanc r;
        r.pannes = {Pannes{.retard = 0.1, .coupureApres = 1, .retourCoupure = 2}};
        Essai e(r);
        e.enregistre(1);
        e.banc.ecrit(0, 0.5, QByteArray(1, '\0'));
        QCOMPARE(e.reponse("XRESUL 1,0,1", 0, 1, 1.5), QByteArray("3") + DEL);
        QCOMPARE(e.reponse("XRESUL 1,1,1", 0, 2, 2.5), QByteArray());
        QVERIFY(e.banc.interface(0).coupee());
        QCOMPARE(e.banc.interface(0).retourConnexion(), 4.0 + 14 * octet);
        // Still down just before its return: nothing written then is carried out.
        QCOMPARE(e.reponse("XEA 0\r", 0, 3.9, 3.95), QByteArray());
        e.banc.avanceJusqua(4.1);
        QVERIFY(!e.banc.interface(0).coupee());
        QVERIFY(e.banc.interface(0).sb0());
        QCOMPARE(e.reponse("XEA 0\r", 0, 5, 5.1), QByteArray());
        QCOMPARE(e.banc.lit(0, 5.2), QByteArray("3\r"));
        QCOMPARE(e.reponse("XRESUL 1,2,1", 0, 6, 7), QByteArray("3") + DEL);
        QCOMPARE(e.lignes(QStringLiteral("panne")).size(), 2);
        QVERIFY(e.lignes(QStringLiteral("panne")).first().endsWith(u"coupée, retour dans 2 s"));
        QVERIFY(e.lignes(QStringLiteral("panne")).last().endsWith(u"connexion rétablie"));
    }

    // Cut by hand for good, then mended: the port answers again, every fault is off and
    // the light follows the laser again.
    void coupeEtRepareALaMain() {
        Essai e(sansReponseLente());
        e.banc.ecrit(1, 0, QByteArray(1, '\0'));
        for (const char* ligne : {"muette 1", "charabia 1", "retard 1 3", "eclaire 1"})
            QVERIFY(e.commande(ligne, 0.5));
        e.banc.ecrit(0, 0.9, "XEA 0\r");
        QVERIFY(e.commande("coupe 1", 1));
        QVERIFY(e.banc.interface(0).coupee());
        e.banc.avanceJusqua(100);
        QVERIFY(e.banc.interface(0).coupee());
        QVERIFY(e.commande("sombre 1", 100));
        QVERIFY(e.commande("repare 1", 101));
        QVERIFY(!e.banc.interface(0).coupee());
        QCOMPARE(e.reponse("XEA 0\r", 0, 102, 102.1), QByteArray("153\r"));
        QVERIFY(e.commande("repare 1", 103)); // nothing to mend: still accepted
    }

    // A paused answer: the answers after it wait for its end, in order; the fault falls on
    // one answer only.
    void pauseALaMain() {
        Essai e;
        e.enregistre(1);
        QVERIFY(e.commande("pause 1 0,8", 1));
        const QByteArray moitie = QByteArray("3,").repeated(16);
        QCOMPARE(e.reponse("XRESUL 1,0,32", 0, 2, 2.5), moitie);
        QCOMPARE(e.reponse("XEA 0\r", 0, 2.6, 2.7), QByteArray());
        QCOMPARE(e.banc.lit(0, 3), moitie + "\r3\r");
        QCOMPARE(e.reponse("XEA 0\r", 0, 4, 4.1), QByteArray("3\r"));
    }

    // A stream of digits without end at the line's pace, whatever is asked, until mended.
    void flotALaMain() {
        Essai e;
        QVERIFY(e.commande("flot 1", 1));
        QCOMPARE(e.banc.lit(0, 1 + 10.5 * octet), QByteArray("0123456789"));
        QCOMPARE(e.banc.lit(0, 2).size(), qsizetype(std::floor((1 - 10.5 * octet) / octet)) + 1);
        QVERIFY(e.commande("repare 1", 2));
        e.banc.lit(0, 2.1);
        QCOMPARE(e.reponse("XEA 0\r", 0, 3, 3.1), QByteArray("3\r"));
        QCOMPARE(e.banc.lit(0, 5), QByteArray());
    }

    // An interface that hangs in the middle of a download: "XRESUL" unanswered from the
    // command on, the rest served, all of it back after the repair.
    void bloqueALaMain() {
        Essai e;
        e.enregistre(1);
        QCOMPARE(e.reponse("XRESUL 1,0,1", 0, 1, 1.5), QByteArray("3") + DEL);
        QVERIFY(e.commande("bloque 1", 2));
        QCOMPARE(e.reponse("XRESUL 1,1,1", 0, 3, 3.5), QByteArray());
        QCOMPARE(e.reponse("XEA 0\r", 0, 4, 4.5), QByteArray("3\r"));
        QVERIFY(e.commande("repare 1", 5));
        QCOMPARE(e.reponse("XRESUL 1,1,1", 0, 6, 6.5), QByteArray("3") + DEL);
    }

    // At the end of a recording the journal holds the whole memory, for a check of what a
    // program downloaded and kept.
    void memoireAuJournal() {
        Essai e(sansReponseLente());
        e.banc.ecrit(1, 0, QByteArray(1, '\0'));
        e.enregistre(1);
        e.banc.avanceJusqua(0.02); // 32 samples at 1.3 ms: not all taken yet
        QVERIFY(e.lignes(QStringLiteral("valeurs")).isEmpty());
        e.banc.avanceJusqua(1);
        const QStringList lignes = e.lignes(QStringLiteral("valeurs"));
        QCOMPARE(lignes.size(), 1);
        QCOMPARE(lignes.first().section(u' ', 3),
                 QStringLiteral("153,").repeated(31) + QStringLiteral("153"));
    }
};

QTEST_GUILESS_MAIN(TestSimulateur)
#include "tst_simulateur.moc"
