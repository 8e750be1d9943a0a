#include "link/plateformevirtuelle.h"

#include <QTest>
#include <vector>

class TestPlateformeVirtuelle : public QObject {
    Q_OBJECT
private slots:
    void lesTicsTombentALeurIntervalle() {
        PlateformeVirtuelle p;
        auto m = p.creeMinuteur();
        std::vector<double> tics;
        m->setMinuterie_Timer([&] { tics.push_back(p.maintenant()); });
        m->setInterval(30);
        QVERIFY(!m->enabled());
        p.avanceJusqua(0.1);
        QVERIFY(tics.empty());
        m->setEnabled(true);
        p.avanceJusqua(0.2);
        QCOMPARE(tics.size(), size_t(3));
        QVERIFY(qAbs(tics[0] - 0.13) < 1e-9 && qAbs(tics[2] - 0.19) < 1e-9);
        // Enabling again does not move the schedule; a new interval starts a new period.
        m->setEnabled(true);
        p.avanceJusqua(0.22);
        QCOMPARE(tics.size(), size_t(4));
        m->setInterval(50);
        p.avanceJusqua(0.3);
        QCOMPARE(tics.size(), size_t(5));
        QVERIFY(qAbs(tics.back() - 0.27) < 1e-9);
        m->setEnabled(false);
        p.avanceJusqua(1);
        QCOMPARE(tics.size(), size_t(5));
    }

    void chaqueCessionAvanceDUnPas() {
        PlateformeVirtuelle p;
        p.setPasLecture(0);
        p.setPasCession(0.002);
        const double t0 = p.horloge();
        int passes = 0;
        while (p.horloge() - t0 < 1.0) {
            p.cede(t0 + 1.0);
            ++passes;
        }
        QCOMPARE(passes, 500);
        QCOMPARE(p.nombreCessions(), 500L);
    }

    void laLectureDeLHorlogeAvanceSansCeder() {
        PlateformeVirtuelle p;
        p.setPasLecture(1e-4);
        auto m = p.creeMinuteur();
        int tics = 0;
        m->setMinuterie_Timer([&] { ++tics; });
        m->setInterval(30);
        m->setEnabled(true);
        const double t0 = p.horloge();
        while (p.horloge() - t0 < 0.2) {
        }
        // No tick runs in a loop that never yields; the late tick comes once, not seven times.
        QCOMPARE(tics, 0);
        p.cede();
        QCOMPARE(tics, 1);
    }

    void lesEvenementsProgrammesPassentDansLOrdre() {
        PlateformeVirtuelle p;
        QStringList journal;
        p.programme(0.5, [&] { journal << QStringLiteral("b@%1").arg(p.maintenant()); });
        p.programme(0.2, [&] { journal << QStringLiteral("a@%1").arg(p.maintenant()); });
        p.programme(0.5, [&] { journal << QStringLiteral("c"); });
        p.avanceJusqua(0.4);
        QCOMPARE(journal, QStringList{QStringLiteral("a@0.2")});
        p.avanceJusqua(1);
        QCOMPARE(journal, (QStringList{QStringLiteral("a@0.2"), QStringLiteral("b@0.5"),
                                       QStringLiteral("c")}));
    }

    void unEvenementPeutCederLuiMeme() {
        // A click handler that runs its own waiting loop, as the emission routines do:
        // ticks go on inside it, and the outer wait resumes after it.
        PlateformeVirtuelle p;
        p.setPasLecture(0);
        auto m = p.creeMinuteur();
        int tics = 0;
        m->setMinuterie_Timer([&] { ++tics; });
        m->setInterval(10);
        m->setEnabled(true);
        double finInterne = 0;
        p.programme(0.1, [&] {
            const double debut = p.horloge();
            while (p.horloge() - debut < 0.5)
                p.cede();
            finInterne = p.maintenant();
        });
        const double t0 = p.horloge();
        while (p.horloge() - t0 < 0.3)
            p.cede();
        QVERIFY(qAbs(finInterne - 0.6) < 1e-6);
        QVERIFY(p.maintenant() >= 0.6);
        QVERIFY(tics >= 59 && tics <= 61);
    }

    void finDuProgrammeDepuisUneBoucleImbriquee() {
        PlateformeVirtuelle p;
        p.programme(0.05, [&] { p.termineProgramme(3); });
        bool apres = false;
        try {
            for (;;)
                p.cede();
            apres = true;
        } catch (const FinProgramme& fin) {
            QCOMPARE(fin.code, 3);
        }
        QVERIFY(!apres);
        QVERIFY(qAbs(p.maintenant() - 0.05) < 1e-9);
    }
};

QTEST_APPLESS_MAIN(TestPlateformeVirtuelle)
#include "tst_plateformevirtuelle.moc"
