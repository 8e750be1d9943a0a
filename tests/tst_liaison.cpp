#include "link/liaison.h"
#include "link/transportmemoire.h"

#include <QTest>

namespace {

// A link over a memory port whose clock the test sets.
struct LiaisonEssai {
    EtatPartage etat;
    double maintenant = 0;
    TransportMemoire* port = nullptr;
    Liaison liaison{etat, [this](int) {
                        auto t = std::make_unique<TransportMemoire>([this] { return maintenant; });
                        port = t.get();
                        return OuverturePort{std::move(t), {}};
                    }};
    LiaisonEssai() { liaison.ouvreport(nullptr); }
};

} // namespace

class TestLiaison : public QObject {
    Q_OBJECT
private slots:
    void operationsEcriventLeursOctets_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QByteArray>("octets");
        QTest::newRow("allumelaser") << 0 << QByteArray("\x00\x0d", 2);
        QTest::newRow("eteintlaser") << 1 << QByteArray("\x20\x0d", 2);
        QTest::newRow("allumelaserrapide") << 2 << QByteArray("\x00", 1);
        QTest::newRow("eteintlaserrapide") << 3 << QByteArray("\x20", 1);
        QTest::newRow("mesuretension") << 4 << QByteArray("XEA 0\r");
    }
    void operationsEcriventLeursOctets() {
        QFETCH(int, operation);
        QFETCH(QByteArray, octets);
        LiaisonEssai e;
        e.port->effaceEcritures();
        switch (operation) {
        case 0:
            e.liaison.allumelaser();
            break;
        case 1:
            e.liaison.eteintlaser();
            break;
        case 2:
            e.liaison.allumelaserrapide();
            break;
        case 3:
            e.liaison.eteintlaserrapide();
            break;
        case 4:
            e.liaison.mesuretension();
            break;
        }
        QCOMPARE(e.port->toutEcrit(), octets);
    }

    void ouvreportEteintLeLaserUneFois() {
        LiaisonEssai e;
        QVERIFY(e.liaison.estOuvert());
        QCOMPARE(e.port->toutEcrit(), QByteArray(" \r"));
    }

    void ouvreportRendLErreurDeLaFabrique() {
        EtatPartage etat;
        etat.numport = 7;
        int demande = 0;
        Liaison liaison(etat, [&](int n) {
            demande = n;
            return OuverturePort{nullptr, QStringLiteral("Le port COM 7 est introuvable.")};
        });
        QString erreur;
        QVERIFY(!liaison.ouvreport(&erreur));
        QCOMPARE(demande, 7);
        QCOMPARE(erreur, QStringLiteral("Le port COM 7 est introuvable."));
        QVERIFY(!liaison.estOuvert());
        liaison.allumelaser(); // nothing to write to, and no crash
        QCOMPARE(liaison.litentree(), QByteArray());
    }

    void envoiecommandeEnvoieLOctetZero() {
        LiaisonEssai e;
        e.port->effaceEcritures();
        e.liaison.envoiecommande(QByteArray("a\0b", 3));
        QCOMPARE(e.port->toutEcrit().size(), 3);
        QCOMPARE(e.port->toutEcrit().at(1), '\0');
    }

    void litentreeUnCaractereALaFois() {
        LiaisonEssai e;
        e.port->recoit("abc");
        e.liaison.fixelongueurlecture(1);
        QCOMPARE(e.liaison.litentree(), QByteArray("a"));
        QCOMPARE(e.liaison.litentree(), QByteArray("b"));
        QCOMPARE(e.etat.reponsecom, QByteArray("b"));
        QCOMPARE(e.liaison.litentree(), QByteArray("c"));
        QCOMPARE(e.liaison.litentree(), QByteArray());
        QCOMPARE(e.etat.reponsecom, QByteArray());
        e.port->recoit("12\r34\r");
        e.liaison.fixelongueurlecture(0);
        QCOMPARE(e.liaison.litentree(), QByteArray("12\r34\r"));
    }

    void mesuretensionLitLaReponsePrecedente() {
        LiaisonEssai e;
        // Nothing has arrived yet: darkness.
        e.etat.tensionmesuree = 3;
        e.liaison.mesuretension();
        QCOMPARE(e.etat.tensionmesuree, 0.0);
        // The reply to the first request arrives between two ticks.
        e.port->recoit("123\r");
        e.liaison.mesuretension();
        QCOMPARE(e.etat.tensionmesuree, 123 * 5.0 / 255);
        QCOMPARE(e.etat.reponsecom, QByteArray("123\r"));
        // Two replies piled up: the first counts.
        e.port->recoit("10\r200\r");
        e.liaison.mesuretension();
        QCOMPARE(e.etat.tensionmesuree, 10 * 5.0 / 255);
        e.port->recoit(" 45\r");
        e.liaison.mesuretension();
        QVERIFY(qAbs(e.etat.tensionmesuree - 0.88235) < 1e-5);
        e.port->recoit("hors service\r");
        e.liaison.mesuretension();
        QCOMPARE(e.etat.tensionmesuree, 0.0);
    }

    // Closing the port turns the laser off first, whatever was going on; nothing is
    // written after.
    void fermeportEteintLeLaserPuisArreteLesEcritures() {
        LiaisonEssai e;
        e.liaison.allumelaserrapide();
        e.port->effaceEcritures();
        e.liaison.fermeport();
        QCOMPARE(e.port->toutEcrit(), QByteArray(" \r"));
        QCOMPARE(e.liaison.niveauLaser(), Liaison::NiveauLaser::eteint);
        QVERIFY(!e.liaison.estOuvert());
        e.port->effaceEcritures();
        e.liaison.allumelaser();
        e.liaison.mesuretension();
        QCOMPARE(e.port->toutEcrit(), QByteArray());
        QCOMPARE(e.liaison.octetsEnAttente(), 0);
    }

    // A request written without terminator is closed before the blank, which would
    // otherwise be read as part of it.
    void fermeportCloutUneCommandeOuverte() {
        LiaisonEssai e;
        e.liaison.envoiecommande("XRESUL 1,0,1");
        e.port->effaceEcritures();
        e.liaison.fermeport();
        QCOMPARE(e.port->toutEcrit(), QByteArray("\r \r"));
        LiaisonEssai f;
        f.liaison.envoiecommande("XEA 0\r");
        f.liaison.eteintlaserrapide();
        f.port->effaceEcritures();
        f.liaison.fermeport();
        QCOMPARE(f.port->toutEcrit(), QByteArray(" \r"));
    }

    void octetsEnAttenteSuitLaCadenceDeLaLigne() {
        LiaisonEssai e; // the two bytes of the laser-off command were written at 0
        QCOMPARE(e.liaison.octetsEnAttente(), 2);
        e.maintenant = 1.5 / 960;
        QCOMPARE(e.liaison.octetsEnAttente(), 1);
        e.maintenant = 2.0 / 960;
        QCOMPARE(e.liaison.octetsEnAttente(), 0);
        e.liaison.envoiecommande(QByteArray(960, 'x'));
        e.maintenant += 0.5;
        QCOMPARE(e.liaison.octetsEnAttente(), 480);
    }
};

QTEST_APPLESS_MAIN(TestLiaison)
#include "tst_liaison.moc"
