#include "app/feuillelumivox1.h"
#include "receive/form_load.h"
#include "receive/mesureseuil.h"
#include "receive/veilleseuil.h"
#include "stationessai.h"

#include <QAction>
#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

// A threshold measured while the photodiode was lit leaves the station deaf: while it
// waits, readings that stay more than 0.5 V below the darkness measured for 5 s make it
// say so and offer to measure again; the menu "Options" measures again at any time.

namespace {

constexpr double tic = 0.05;

// The instant, counted from the first reading, at which the rule speaks for readings of
// `volts` every 50 ms against the threshold of a darkness read as 153 (3 V); -1 if never
// within `duree` seconds.
double premierAvis(double volts, double duree) {
    VeilleSeuil veille;
    const double seuil = 153 * 5.0 / 255 + 0.5;
    for (int k = 0; k * tic <= duree + 1e-9; ++k)
        if (veille.lecture(k * tic, volts, seuil))
            return k * tic;
    return -1;
}

// Start-up without the receiver test, the threshold measured on the reading `audemarrage`;
// from 4 s on the interface reads `ensuite`; the station quits at `quitte` s. Returns the
// exit code.
int demarre(StationEssai& e, int audemarrage, int ensuite, double quitte) {
    int lu = audemarrage;
    e.lecture = [&lu] { return QByteArray::number(lu); };
    e.plateforme.programme(4, [&lu, ensuite] { lu = ensuite; });
    e.plateforme.programme(quitte, [&] { e.feuille->Btonquitter_Click(); });
    int code = -1;
    try {
        Form_Load(e.station);
    } catch (const FinProgramme& fin) {
        code = fin.code;
    }
    e.lecture = [] { return QByteArray("0"); };
    return code;
}

// The boxes shown under `titre`.
int boites(const StationEssai& e, const QString& titre) {
    return int(e.dialogues.titres().count(titre));
}

} // namespace

class TestVeilleSeuil : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    // More than 0.5 V below the darkness measured, for 5 s: the last reading that is not
    // enough, the first that is.
    void regle_data() {
        QTest::addColumn<double>("volts");
        QTest::addColumn<double>("duree");
        QTest::addColumn<double>("avis");           // -1: none
        const double plusdunvolt = 127 * 5.0 / 255; // 0.51 V below 3 V
        const double presque = 128 * 5.0 / 255;     // 0.49 V below
        QTest::newRow("0,51 V sous l'obscurité, 5 s") << plusdunvolt << 5.0 << 5.0;
        QTest::newRow("0,51 V sous l'obscurité, 4,95 s") << plusdunvolt << 4.95 << -1.0;
        QTest::newRow("0,49 V sous l'obscurité, 60 s") << presque << 60.0 << -1.0;
        QTest::newRow("dans le noir complet") << 0.0 << 30.0 << 5.0;
    }
    void regle() {
        QFETCH(double, volts);
        QFETCH(double, duree);
        QFETCH(double, avis);
        const double obtenu = premierAvis(volts, duree);
        QVERIFY2(qAbs(obtenu - avis) < 1e-9, qPrintable(QString::number(obtenu)));
    }

    // Said once a span; a reading that is not below starts a new one.
    void uneFoisParPeriode() {
        VeilleSeuil veille;
        const double seuil = 3.5;
        int avis = 0;
        double t = 0;
        for (; t < 20; t += tic)
            avis += veille.lecture(t, 0.06, seuil);
        QCOMPARE(avis, 1);
        QVERIFY(!veille.lecture(t, 2.6, seuil));
        for (const double debut = t += tic; t < debut + 5 - tic / 2; t += tic)
            QVERIFY(!veille.lecture(t, 0.06, seuil));
        QVERIFY(veille.lecture(t, 0.06, seuil));
    }

    // The threshold measured with the photodiode lit (153: 3 V), then darkness: the station
    // says it and offers to measure again; yes measures at once, on the darkness. Readings
    // just 0.49 V below the darkness measured say nothing.
    void offreDeMesurer_data() {
        QTest::addColumn<int>("ensuite");
        QTest::addColumn<bool>("oui");
        QTest::addColumn<int>("offres");
        QTest::addColumn<double>("seuil");
        QTest::newRow("noir, oui") << 3 << true << 1 << 3 * 5.0 / 255 + 0.5;
        QTest::newRow("noir, non") << 3 << false << 1 << 3.5;
        QTest::newRow("0,49 V sous l'obscurité") << 128 << true << 0 << 3.5;
    }
    void offreDeMesurer() {
        QFETCH(int, ensuite);
        QFETCH(bool, oui);
        QFETCH(int, offres);
        QFETCH(double, seuil);
        StationEssai e;
        e.dialogues.jusquAuBranchement(true, u"1"_s).annuler().ok();
        double offre = -1;
        if (offres > 0) {
            const auto note = [&] { offre = e.plateforme.maintenant(); };
            oui ? e.dialogues.ok(note).ok() : e.dialogues.annuler(note);
        }
        QCOMPARE(demarre(e, 153, ensuite, 30), 0);
        QVERIFY(e.dialogues.scriptEpuise());
        QCOMPARE(boites(e, titreseuilmesureeclaire), offres);
        QCOMPARE(e.station.etat.tensionseuil, seuil);
        if (offres == 0)
            return;
        // Five seconds of darkness after the change at 4 s, the tick one reading late.
        QVERIFY2(offre >= 9 && offre < 9.2, qPrintable(QString::number(offre)));
        const auto& avis =
            e.dialogues.boites()[e.dialogues.titres().indexOf(titreseuilmesureeclaire)];
        QCOMPARE(avis.boutons, Dialogues::Boutons::OuiNon);
        QVERIFY2(
            avis.invite.contains(u"la tension lue, 00,06 V, est à plus de 0,5 V sous la "
                                 "tension mesurée alors comme celle de l'obscurité, 03,00 V"_s),
            qPrintable(avis.invite));
        QCOMPARE(boites(e, u" Résultat de mesure de la tension seuil "_s), oui ? 1 : 0);
    }

    // The item of the menu "Options" measures again at any time, the photodiode in the dark
    // as at start-up; Cancel keeps the threshold.
    void articleDuMenu_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Annuler") << false;
    }
    void articleDuMenu() {
        QFETCH(bool, ok);
        StationEssai e;
        e.dialogues.jusquAuBranchement(true, u"1"_s).annuler().ok();
        ok ? e.dialogues.ok().ok() : e.dialogues.annuler();
        e.plateforme.programme(5, [&] { e.feuille->menu_mesureseuil->trigger(); });
        QCOMPARE(demarre(e, 20, 10, 9), 0);
        QVERIFY(e.dialogues.scriptEpuise());
        const QStringList titres = e.dialogues.titres();
        QCOMPARE(titres.count(titremesureseuil), 2);
        QCOMPARE(e.dialogues.boites().back().titre,
                 ok ? u" Résultat de mesure de la tension seuil "_s : titremesureseuil);
        if (ok)
            QVERIFY(e.dialogues.boites().back().invite.startsWith(
                u"La tension Useuil = tension mesurée 00,20 V + 0,5 V = 00,70 V"_s));
        QCOMPARE(e.station.etat.tensionseuil, (ok ? 10 : 20) * 5.0 / 255 + 0.5);
    }

    // Not during an emission or a reception, nor while the port is lost: a box says why.
    void refuseeEnCours_data() {
        QTest::addColumn<QString>("activite");
        QTest::addColumn<QString>("raison");
        QTest::newRow("émission") << u"une émission"_s << u"une émission est en cours"_s;
        QTest::newRow("port perdu") << QString() << u"la liaison avec l'interface est perdue"_s;
    }
    void refuseeEnCours() {
        QFETCH(QString, activite);
        QFETCH(QString, raison);
        StationEssai e;
        Station& s = e.station;
        QVERIFY(s.liaison.ouvreport(nullptr));
        s.etat.tensionseuil = 3.5;
        e.dialogues.ok();
        {
            const Activite a(s, activite);
            if (activite.isEmpty())
                e.transport->perds(u"périphérique indisponible"_s);
            mesureanouveauseuil(s);
        }
        QVERIFY(e.dialogues.scriptEpuise());
        QCOMPARE(e.dialogues.boites().size(), std::size_t(1));
        QVERIFY2(e.dialogues.boites().back().invite.contains(raison),
                 qPrintable(e.dialogues.boites().back().invite));
        QCOMPARE(s.etat.tensionseuil, 3.5);
    }
};

QTEST_MAIN(TestVeilleSeuil)
#include "tst_veilleseuil.moc"
