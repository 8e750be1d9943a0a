#include "link/plateformevirtuelle.h"
#include "link/sondeinterface.h"
#include "link/transportmemoire.h"
#include "receive/form_load.h"
#include "stationessai.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <map>

using namespace Qt::StringLiterals;

// The search for the interface at start-up: on ports held in memory, each asked one
// reading and given 0.3 s; and the port box that says what it found.

namespace {

// What stands behind a port of the test.
struct Port {
    enum class Genre { repond, muet, occupe } genre = Genre::muet;
    QByteArray reponse = "37\r"; // what it answers, once asked
    double delai = 0.002;        // after the request
};

// Ports in memory on a virtual clock: each opening makes a transport that answers as its
// port does; what is written to each port is kept.
struct Ports {
    PlateformeVirtuelle plateforme;
    std::map<int, Port> ports;
    std::map<int, QByteArray> ecrits;
    QList<int> ouvertures;

    OuverturePort ouvre(int numport) {
        ouvertures << numport;
        OuverturePort o;
        const Port port = ports[numport];
        if (port.genre == Port::Genre::occupe) {
            o.erreur = u"déjà utilisé"_s;
            return o;
        }
        auto t = std::make_unique<TransportMemoire>([this] { return plateforme.maintenant(); });
        TransportMemoire* transport = t.get();
        t->setRepondeur([this, transport, port, numport](const QByteArray& octets) {
            ecrits[numport] += octets;
            if (port.genre == Port::Genre::repond)
                plateforme.programme(plateforme.maintenant() + port.delai,
                                     [transport, port] { transport->recoit(port.reponse); });
        });
        o.transport = std::move(t);
        return o;
    }

    ResultatSonde sonde(const QList<int>& numeros) {
        QList<PortSonde> liste;
        for (const int n : numeros)
            liste << PortSonde{n, u"/dev/ttyS%1"_s.arg(n - 1)};
        return sondeinterface(
            plateforme, [this](int n) { return ouvre(n); }, liste);
    }
};

} // namespace

class TestSondeInterface : public QObject {
    Q_OBJECT

private slots:
    // An interface answers on the third port: the first two were each given 0.3 s, the
    // search stops there; nothing but one request was written to any of them.
    void interfaceSurLeTroisiemePort() {
        Ports p;
        p.ports[1] = {Port::Genre::muet};
        p.ports[2] = {Port::Genre::repond, "ab\r"}; // answers, but no reading
        p.ports[3] = {Port::Genre::repond};
        p.ports[4] = {Port::Genre::repond};
        const double debut = p.plateforme.maintenant();
        const ResultatSonde r = p.sonde({1, 2, 3, 4});
        QCOMPARE(r.trouve, 3);
        QCOMPARE(r.peripherique, u"/dev/ttyS2"_s);
        QCOMPARE(r.essayes.size(), 3);
        QVERIFY(r.fermes.isEmpty());
        QCOMPARE(p.ouvertures, (QList<int>{1, 2, 3}));
        const double duree = p.plateforme.maintenant() - debut;
        QVERIFY2(duree >= 0.6 && duree < 0.62, qPrintable(QString::number(duree)));
        for (const int n : {1, 2, 3})
            QCOMPARE(p.ecrits[n], QByteArray("XEA 0\r"));
        QVERIFY(!p.ecrits.contains(4));
        QCOMPARE(textesonde(r), u"Interface trouvée sur COM 3 (/dev/ttyS2)"_s);
    }

    // No interface answers: every port that opens is asked, those that do not are listed
    // apart and never written to.
    void aucuneInterface() {
        Ports p;
        p.ports[1] = {Port::Genre::muet};
        p.ports[2] = {Port::Genre::occupe};
        p.ports[3] = {Port::Genre::repond, "XEA 0\r"}; // an echo, not a reading
        const ResultatSonde r = p.sonde({1, 2, 3});
        QCOMPARE(r.trouve, 0);
        QCOMPARE(r.essayes.size(), 2);
        QCOMPARE(r.fermes.size(), 1);
        QVERIFY(!p.ecrits.contains(2));
        QCOMPARE(textesonde(r),
                 u"Aucune interface n'a répondu (ports essayés : COM 1 (/dev/ttyS0), COM 3 "
                 "(/dev/ttyS2)) ; COM 2 (/dev/ttyS1) : ne s'ouvre pas, ou déjà utilisé par un "
                 "autre programme."_s);
        // Thirty built-in ports that do not open, named by their numbers.
        ResultatSonde beaucoup;
        beaucoup.essayes << PortSonde{1, u"/dev/ttyUSB0"_s};
        for (const int n : {2, 3, 4, 5, 7, 8, 10})
            beaucoup.fermes << PortSonde{n, u"/dev/ttyS%1"_s.arg(n - 2)};
        QCOMPARE(textesonde(beaucoup),
                 u"Aucune interface n'a répondu (ports essayés : COM 1 (/dev/ttyUSB0)) ; COM 2 "
                 "à COM 5, COM 7, COM 8, COM 10 : ne s'ouvrent pas, ou déjà utilisés par un "
                 "autre programme."_s);
        QCOMPARE(textesonde(ResultatSonde{}),
                 u"Aucune interface n'a répondu : aucun port série n'a été trouvé sur cet "
                 "ordinateur."_s);
    }

    // A port held by another station is never touched, and the search goes on to the next.
    void portOccupeSaute() {
        Ports p;
        p.ports[1] = {Port::Genre::occupe};
        p.ports[2] = {Port::Genre::repond};
        const ResultatSonde r = p.sonde({1, 2});
        QCOMPARE(r.trouve, 2);
        QCOMPARE(r.fermes.size(), 1);
        QCOMPARE(r.fermes.front().numport, 1);
        QVERIFY(!p.ecrits.contains(1));
    }

    // A port that opens and says nothing is given 0.3 s: an answer just within is found,
    // one just after is not; an answer without its CR is not whole.
    void delaiDeReponse_data() {
        QTest::addColumn<double>("delai");
        QTest::addColumn<QByteArray>("reponse");
        QTest::addColumn<bool>("trouvee");
        QTest::newRow("à temps") << 0.299 << QByteArray("3\r") << true;
        QTest::newRow("trop tard") << 0.301 << QByteArray("3\r") << false;
        QTest::newRow("255") << 0.01 << QByteArray("255\r") << true;
        QTest::newRow("256") << 0.01 << QByteArray("256\r") << false;
        QTest::newRow("sans CR") << 0.01 << QByteArray("37") << false;
        QTest::newRow("muette") << 10.0 << QByteArray() << false;
    }
    void delaiDeReponse() {
        QFETCH(double, delai);
        QFETCH(QByteArray, reponse);
        QFETCH(bool, trouvee);
        Ports p;
        p.ports[1] = {Port::Genre::repond, reponse, delai};
        const double debut = p.plateforme.maintenant();
        const ResultatSonde r = p.sonde({1});
        QCOMPARE(r.trouve, trouvee ? 1 : 0);
        QVERIFY(p.plateforme.maintenant() - debut <= delaisonde + 0.002);
    }

    // The ports of the machine, those published in LUMICOM_PORTS first, the one asked for
    // moved to the front.
    void portsDuBanc() {
        QTemporaryDir dossier;
        for (const char* nom : {"COM1", "COM2", "lumiere"}) {
            QFile f(dossier.filePath(QString::fromLatin1(nom)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        qputenv("LUMICOM_PORTS", QFile::encodeName(dossier.path()));
        const QList<PortSonde> ports = portsasonder(2);
        qunsetenv("LUMICOM_PORTS");
        QVERIFY(ports.size() >= 2);
        QCOMPARE(ports[0].numport, 2);
        QCOMPARE(ports[0].peripherique, dossier.filePath(u"COM2"_s));
        QCOMPARE(ports[1].numport, 1);
        QCOMPARE(ports[1].peripherique, dossier.filePath(u"COM1"_s));
        for (qsizetype i = 2; i < ports.size(); ++i)
            QCOMPARE(ports[i].numport, int(i + 1));
        // A port asked for that does not exist changes nothing.
        qputenv("LUMICOM_PORTS", QFile::encodeName(dossier.path()));
        const QList<PortSonde> tels = portsasonder(99);
        qunsetenv("LUMICOM_PORTS");
        QCOMPARE(tels.front().numport, 1);
    }

    // The port box says what the search found and offers that port; with nothing found it
    // offers the port it would have, and says which ports were tried. Without a search (the
    // tests, the headless tool), the box is as it was.
    void laBoiteDuPort_data() {
        QTest::addColumn<int>("trouve");
        QTest::addColumn<int>("propose");
        QTest::addColumn<QString>("defaut");
        QTest::addColumn<QString>("debut");
        QTest::newRow("trouvée") << 3 << 1 << u"3"_s
                                 << u"Interface trouvée sur COM 3 (/dev/ttyUSB0)\r\rEntrer"_s;
        QTest::newRow("trouvée, poste 2")
            << 2 << 2 << u"2"_s << u"Interface trouvée sur COM 2 (/dev/ttyUSB0)\r\r"_s;
        QTest::newRow("aucune") << 0 << 2 << u"2"_s
                                << u"Aucune interface n'a répondu (ports essayés : COM 1"_s;
        QTest::newRow("sans recherche") << -1 << 1 << u"1"_s << u"Entrer le n° de port COM"_s;
    }
    void laBoiteDuPort() {
        QFETCH(int, trouve);
        QFETCH(int, propose);
        QFETCH(QString, defaut);
        QFETCH(QString, debut);
        StationEssai e;
        e.station.portpropose = propose;
        int premier = -1;
        if (trouve >= 0)
            e.station.sondeinterface = [&](Plateforme&, int p) {
                premier = p;
                ResultatSonde r;
                r.essayes << PortSonde{1, u"/dev/ttyS0"_s};
                if (trouve > 0) {
                    r.essayes << PortSonde{trouve, u"/dev/ttyUSB0"_s};
                    r.trouve = trouve;
                    r.peripherique = u"/dev/ttyUSB0"_s;
                }
                return r;
            };
        e.dialogues.ok(); // Morse
        if (avertissementprioritewindows)
            e.dialogues.ok();
        e.dialogues.saisit(QString()); // Cancel: the program ends
        try {
            Form_Load(e.station);
        } catch (const FinProgramme&) {
        }
        const auto& boite = e.dialogues.boites().back();
        QVERIFY(boite.saisie);
        QCOMPARE(boite.defaut, defaut);
        QVERIFY2(boite.invite.startsWith(debut), qPrintable(boite.invite));
        QCOMPARE(premier, trouve >= 0 ? propose : -1);
    }
};

QTEST_MAIN(TestSondeInterface)
#include "tst_sondeinterface.moc"
