#include "emit/maintientlaser.h"
#include "stationessai.h"

#include <QTest>

// The keying of a timed interval: when the level is written again, and when it is not.

namespace {

// A station whose port is open, its laser lit, nothing on the line, at 1 s.
void allumee(StationEssai& e) {
    QVERIFY(e.station.liaison.ouvreport(nullptr));
    e.plateforme.avanceJusqua(1.0);
    e.station.liaison.allumelaser();
    e.plateforme.avanceJusqua(1.1);
    QCOMPARE(e.station.liaison.octetsEnAttente(), 0);
    e.transport->effaceEcritures();
}

} // namespace

class TestMaintientLaser : public QObject {
    Q_OBJECT
private slots:
    // A refresh that falls due within the last 4 ms of the interval would write just
    // before a likely change of level: the next time to write is the interval's end.
    void rafraichissementDansLaGarde() {
        StationEssai e;
        allumee(e);
        const double fin = 1.3;
        e.station.clavier.prochainRafraichissement = fin - garde / 2;
        const double prochain = entretientlaser(e.station, true, fin);
        QCOMPARE(prochain, fin);
        QVERIFY(e.transport->ecritures().empty());
        // Due before the guard, it is the next time to write.
        e.station.clavier.prochainRafraichissement = fin - 2 * garde;
        QCOMPARE(entretientlaser(e.station, true, fin), fin - 2 * garde);
    }

    // Bytes still waiting on the port: the same level is not written again, which would
    // queue behind them and hold back a later change; once they are gone, it is.
    void pasDeRafraichissementSurUnePortOccupe() {
        StationEssai e;
        allumee(e);
        e.station.clavier.prochainRafraichissement = 0;
        e.station.liaison.envoiecommande("XEA 0\r");
        e.transport->effaceEcritures();
        QVERIFY(e.station.liaison.octetsEnAttente() > 0);
        const double prochain = entretientlaser(e.station, true, 2.0);
        QVERIFY(e.transport->ecritures().empty());
        // The next time to write is when the line is free.
        QVERIFY(prochain > e.plateforme.maintenant());
        e.plateforme.avanceJusqua(prochain);
        QCOMPARE(e.station.liaison.octetsEnAttente(), 0);
        entretientlaser(e.station, true, 2.0);
        QCOMPARE(e.transport->ecritures().size(), size_t(1));
        QCOMPARE(e.transport->ecritures().front().octets, QByteArray("\x00\r", 2));
        // A change of level is written at once, whatever waits.
        e.station.liaison.envoiecommande("XEA 0\r");
        entretientlaser(e.station, false, 2.0);
        QCOMPARE(e.transport->ecritures().back().octets, QByteArray(" \r"));
    }
};

QTEST_MAIN(TestMaintientLaser)
#include "tst_maintientlaser.moc"
