#include "link/plateformeqt.h"

#include <QTest>
#include <QTimer>

// The real-time platform: a handful of short waits, with bounds loose enough for a
// loaded machine. Timing figures belong to the benchmarks.
class TestPlateformeQt : public QObject {
    Q_OBJECT
private slots:
    void horlogeMonotoneEtFine() {
        PlateformeQt p;
        double precedent = p.horloge();
        double plusPetitPas = 1;
        for (int i = 0; i < 100000 && plusPetitPas >= 1e-3; ++i) {
            const double t = p.horloge();
            QVERIFY(t >= precedent);
            if (t > precedent)
                plusPetitPas = std::min(plusPetitPas, t - precedent);
            precedent = t;
        }
        QVERIFY(plusPetitPas < 1e-3);
    }

    void uneAttenteLaisseTournerLesTics() {
        PlateformeQt p;
        auto m = p.creeMinuteur();
        int tics = 0;
        m->setMinuterie_Timer([&] { ++tics; });
        m->setInterval(20);
        m->setEnabled(true);
        QVERIFY(m->enabled());
        // A wait of 0.3 s holds some 15 ticks; a busy machine may hold the process back
        // long enough to merge some, so the waits go on until five have come (30 s at most:
        // ticks that never run during a wait).
        const double debut = p.horloge();
        while (p.horloge() - debut < 0.3)
            p.cede(debut + 0.3);
        QVERIFY(p.horloge() - debut >= 0.3);
        while (tics < 5 && p.horloge() - debut < 30) {
            const double suivante = p.horloge() + 0.1;
            while (p.horloge() < suivante)
                p.cede(suivante);
        }
        QVERIFY2(tics >= 5, qPrintable(QString::number(tics)));
        m->setEnabled(false);
        QVERIFY(!m->enabled());
    }

    void uneAttenteImbriqueeNeBloquePasLaPremiere() {
        // An event handler that waits on its own, inside the outer wait: both end.
        PlateformeQt p;
        double finInterne = 0;
        QTimer::singleShot(20, [&] {
            const double debut = p.horloge();
            while (p.horloge() - debut < 0.1)
                p.cede(debut + 0.1);
            finInterne = p.horloge();
        });
        const double debut = p.horloge();
        while (p.horloge() - debut < 0.2)
            p.cede(debut + 0.2);
        QVERIFY(finInterne > 0);
        QVERIFY(p.horloge() - debut < 5);
    }
};

QTEST_MAIN(TestPlateformeQt)
#include "tst_tempsreel_plateformeqt.moc"
