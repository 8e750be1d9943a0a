#include "receive/progressiontelechargement.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The progress of a download in figures and in words: the time left from the rate
// measured, its wording, and when the line suggests the download by blocks.

namespace {

ProgressionTelechargement progression(double reste, bool parvaleur, bool fini = false) {
    ProgressionTelechargement p;
    p.recues = 1234;
    p.demandees = 6368;
    p.reste = reste;
    p.parvaleur = parvaleur;
    p.fini = fini;
    return p;
}

} // namespace

class TestProgressionTelechargement : public QObject {
    Q_OBJECT
private slots:
    void resteEstime_data() {
        QTest::addColumn<int>("recues");
        QTest::addColumn<int>("demandees");
        QTest::addColumn<double>("ecoule");
        QTest::addColumn<bool>("parvaleur");
        QTest::addColumn<double>("attendu");
        // Before a rate is measured: the usual rate of the way the values are asked for.
        QTest::newRow("debut, une par une") << 0 << 6368 << 0.0 << true << 6368 / debitParValeur;
        QTest::newRow("debut, par blocs") << 0 << 6400 << 0.0 << false << 6400 / debitParBlocs;
        QTest::newRow("pas encore une seconde")
            << 40 << 6368 << dureeMesureDebit - 0.001 << true << 6328 / debitParValeur;
        QTest::newRow("rien recu en 5 s") << 0 << 6368 << 5.0 << true << 6368 / debitParValeur;
        // From the first second on: the rate measured since the download began.
        QTest::newRow("une seconde") << 50 << 6368 << dureeMesureDebit << true << 6318 / 50.0;
        QTest::newRow("interface lente") << 100 << 6368 << 10.0 << true << 6268 / 10.0;
        QTest::newRow("interface rapide") << 100 << 6368 << 1.0 << true << 6268 / 100.0;
        QTest::newRow("par blocs mesure") << 3200 << 6400 << 11.0 << false << 3200 / (3200 / 11.0);
        QTest::newRow("tout recu") << 6368 << 6368 << 150.0 << true << 0.0;
    }
    void resteEstime() {
        QFETCH(int, recues);
        QFETCH(int, demandees);
        QFETCH(double, ecoule);
        QFETCH(bool, parvaleur);
        QFETCH(double, attendu);
        QCOMPARE(resteestime(recues, demandees, ecoule, parvaleur), attendu);
    }

    void dureeRestante_data() {
        QTest::addColumn<double>("secondes");
        QTest::addColumn<QString>("texte");
        QTest::newRow("rien") << 0.0 << u"0 s"_s;
        QTest::newRow("un peu") << 0.2 << u"1 s"_s;
        QTest::newRow("59 s") << 59.0 << u"59 s"_s;
        QTest::newRow("presque une minute") << 59.5 << u"1 min"_s;
        QTest::newRow("une minute") << 60.0 << u"1 min"_s;
        QTest::newRow("juste au-dessus") << 60.01 << u"1 min 1 s"_s;
        QTest::newRow("1 min 52 s") << 112.0 << u"1 min 52 s"_s;
        QTest::newRow("2 min 5 s") << 124.3 << u"2 min 5 s"_s;
        QTest::newRow("negatif") << -3.0 << u"0 s"_s;
    }
    void dureeRestante() {
        QFETCH(double, secondes);
        QFETCH(QString, texte);
        QCOMPARE(dureerestante(secondes), texte);
    }

    // The blocks are suggested only beyond a minute, only to a download one value at a
    // time, and only while it runs.
    void conseilDesBlocs_data() {
        QTest::addColumn<double>("reste");
        QTest::addColumn<bool>("parvaleur");
        QTest::addColumn<bool>("fini");
        QTest::addColumn<bool>("conseil");
        QTest::newRow("une minute juste") << resteConseilBlocs << true << false << false;
        QTest::newRow("juste au-dessus") << resteConseilBlocs + 0.001 << true << false << true;
        QTest::newRow("longtemps") << 145.0 << true << false << true;
        QTest::newRow("deja par blocs") << 145.0 << false << false << false;
        QTest::newRow("fini") << 145.0 << true << true << false;
    }
    void conseilDesBlocs() {
        QFETCH(double, reste);
        QFETCH(bool, parvaleur);
        QFETCH(bool, fini);
        QFETCH(bool, conseil);
        const ProgressionTelechargement p = progression(reste, parvaleur, fini);
        QCOMPARE(conseilleblocs(p), conseil);
        QCOMPARE(ligneprogression(p, u" CONSEIL"_s).endsWith(u" CONSEIL"_s), conseil);
    }

    void lignes() {
        QCOMPARE(ligneprogression(progression(112, false), u" CONSEIL"_s),
                 u"Téléchargement : 1234 / 6368 mesures, encore 1 min 52 s"_s);
        QCOMPARE(ligneprogression(progression(45, true), u" CONSEIL"_s),
                 u"Téléchargement : 1234 / 6368 mesures, encore 45 s"_s);
        QCOMPARE(ligneprogression(progression(112, true), conseilarticleblocs(u"Par blocs"_s)),
                 u"Téléchargement : 1234 / 6368 mesures, encore 1 min 52 s ; plus court : cocher "
                 "« Par blocs » dans le menu « Options »"_s);
        QCOMPARE(ligneprogression(progression(112, true), conseiloptionblocs(u"--blocs"_s)),
                 u"Téléchargement : 1234 / 6368 mesures, encore 1 min 52 s ; plus court : "
                 "l'option --blocs"_s);
        QCOMPARE(ligneprogression(progression(0, true, true), u" CONSEIL"_s),
                 u"Téléchargement : 1234 / 6368 mesures"_s);
    }
};

QTEST_GUILESS_MAIN(TestProgressionTelechargement)
#include "tst_progressiontelechargement.moc"
