#include "link/liaison.h"
#include "link/transportmemoire.h"

#include <QTest>
#include <cmath>
#include <functional>

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

// A line at 9600 baud on a clock the test holds, which drops at its closing whatever has
// not left yet, as a pseudo-terminal or a USB adapter may. Waiting for it to empty moves
// the clock on.
class LigneQuiPerd : public Transport {
public:
    explicit LigneQuiPerd(double& maintenant) : maintenant_(maintenant) {}

    void ecris(const QByteArray& octets) override {
        if (!ouvert_)
            return;
        for (const char c : octets) {
            fin_ = std::max(fin_, maintenant_) + TransportMemoire::dureeOctet;
            enchemin_.push_back({fin_, c});
        }
    }
    QByteArray lis(qint64) override { return {}; }
    qint64 octetsEnAttente() const override {
        return std::count_if(enchemin_.begin(), enchemin_.end(),
                             [this](const Octet& o) { return !parti(o); });
    }
    bool estOuvert() const override { return ouvert_; }
    void vide(double delai) override {
        maintenant_ = std::max(maintenant_, std::min(maintenant_ + delai, fin_));
    }
    void ferme() override {
        for (const Octet& o : enchemin_)
            if (parti(o))
                arrive_ += o.octet;
        enchemin_.clear();
        ouvert_ = false;
    }

    // What reached the other end of the line once it was closed.
    QByteArray arrive() const { return arrive_; }

private:
    struct Octet {
        double depart; // when its last bit leaves the line
        char octet;
    };
    bool parti(const Octet& o) const { return o.depart <= maintenant_ + 1e-9; }

    double& maintenant_;
    double fin_ = 0;
    std::vector<Octet> enchemin_;
    QByteArray arrive_;
    bool ouvert_ = true;
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
            e.liaison.mesuretension(0);
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

    // Each tick takes the reply to the previous tick's request once it has come whole; a
    // reply not yet come, cut in two, or that is no reading gives no sample: the previous
    // voltage stands.
    void mesuretensionNePrendQueDesReponsesEntieres_data() {
        QTest::addColumn<QByteArrayList>("arrivees"); // bytes arrived before each tick
        QTest::addColumn<QList<int>>("lectures");     // the reading after each tick, -1: none yet
        QTest::addColumn<int>("manques");
        const auto l = [](std::initializer_list<int> v) { return QList<int>(v); };
        QTest::newRow("rien n'est venu") << QByteArrayList{"", "", ""} << l({-1, -1, -1}) << 2;
        QTest::newRow("une reponse") << QByteArrayList{"", "123\r"} << l({-1, 123}) << 0;
        QTest::newRow("coupee en deux") << QByteArrayList{"", "15", "3\r"} << l({-1, -1, 153}) << 1;
        QTest::newRow("deux a la fois, la plus recente")
            << QByteArrayList{"", "10\r200\r"} << l({-1, 200}) << 0;
        QTest::newRow("blancs et saut de ligne")
            << QByteArrayList{"", " 4\n5\r"} << l({-1, 45}) << 0;
        QTest::newRow("la reponse manque ensuite")
            << QByteArrayList{"", "60\r", ""} << l({-1, 60, 60}) << 1;
        QTest::newRow("charabia") << QByteArrayList{"", "60\r", "abc\r"} << l({-1, 60, 60}) << 1;
        QTest::newRow("255 est une mesure") << QByteArrayList{"", "255\r"} << l({-1, 255}) << 0;
        QTest::newRow("256 n'en est pas une") << QByteArrayList{"", "256\r"} << l({-1, -1}) << 1;
        QTest::newRow("signe") << QByteArrayList{"", "-3\r"} << l({-1, -1}) << 1;
        QTest::newRow("CR seul") << QByteArrayList{"", "\r"} << l({-1, -1}) << 1;
    }
    void mesuretensionNePrendQueDesReponsesEntieres() {
        QFETCH(QByteArrayList, arrivees);
        QFETCH(QList<int>, lectures);
        QFETCH(int, manques);
        LiaisonEssai e;
        e.etat.tensionmesuree = -1;
        for (qsizetype i = 0; i < arrivees.size(); ++i) {
            e.port->recoit(arrivees[i]);
            e.maintenant += 0.03;
            e.liaison.mesuretension(e.maintenant);
            const double attendu = lectures[i] < 0 ? -1 : lectures[i] * 5.0 / 255;
            QCOMPARE(e.etat.tensionmesuree, attendu);
        }
        QCOMPARE(e.liaison.echantillonneur().ticsManques(), manques);
    }

    // The interface is silent once nothing has come for half a second, from the start of
    // the tick or from its last reading; replies that are no readings are told apart.
    void avisinterfaceApresUneDemiSeconde_data() {
        QTest::addColumn<QByteArray>("reponse"); // what each tick finds
        QTest::addColumn<double>("duree");       // seconds of ticks
        QTest::addColumn<QString>("debutavis");  // empty: no notice
        QTest::newRow("muette juste avant") << QByteArray() << 0.48 << QString();
        QTest::newRow("muette") << QByteArray() << 0.51
                                << QStringLiteral("L'interface du port COM 1 ne répond pas");
        QTest::newRow("repond") << QByteArray("3\r") << 2.0 << QString();
        QTest::newRow("charabia juste avant") << QByteArray("abc\r") << 0.48 << QString();
        QTest::newRow("charabia") << QByteArray("abc\r") << 0.51
                                  << QStringLiteral("L'interface du port COM 1 répond, mais");
    }
    void avisinterfaceApresUneDemiSeconde() {
        QFETCH(QByteArray, reponse);
        QFETCH(double, duree);
        QFETCH(QString, debutavis);
        LiaisonEssai e;
        e.etat.numport = 1;
        e.liaison.reprendmesures(0);
        for (e.maintenant = 0.03; e.maintenant <= duree + 1e-9; e.maintenant += 0.03) {
            e.port->recoit(reponse);
            e.liaison.mesuretension(e.maintenant);
        }
        e.maintenant = duree;
        const QString avis = e.liaison.avisinterface(e.maintenant);
        if (debutavis.isEmpty())
            QCOMPARE(avis, QString());
        else
            QVERIFY2(avis.startsWith(debutavis), qPrintable(avis));
    }

    // An interface that answered, then falls silent, does not answer: the notice names the
    // power, the cable and the port; replies that are no readings say so only while they
    // come.
    void avisinterfaceQuandElleSeTait_data() {
        QTest::addColumn<QByteArray>("dabord"); // what each tick finds the first second
        QTest::addColumn<QByteArray>("ensuite");
        QTest::addColumn<double>("duree"); // seconds of ticks after the first second
        QTest::addColumn<QString>("debutavis");
        const QString muette = QStringLiteral("L'interface du port COM 1 ne répond pas");
        const QString charabia = QStringLiteral("L'interface du port COM 1 répond, mais");
        QTest::newRow("répond puis se tait, juste avant")
            << QByteArray("3\r") << QByteArray() << 0.44 << QString();
        QTest::newRow("répond puis se tait") << QByteArray("3\r") << QByteArray() << 0.5 << muette;
        QTest::newRow("répond puis charabia")
            << QByteArray("3\r") << QByteArray("abc\r") << 0.5 << charabia;
        QTest::newRow("charabia puis silence, juste avant")
            << QByteArray("abc\r") << QByteArray() << 0.44 << charabia;
        QTest::newRow("charabia puis silence")
            << QByteArray("abc\r") << QByteArray() << 0.55 << muette;
    }
    void avisinterfaceQuandElleSeTait() {
        QFETCH(QByteArray, dabord);
        QFETCH(QByteArray, ensuite);
        QFETCH(double, duree);
        QFETCH(QString, debutavis);
        LiaisonEssai e;
        e.etat.numport = 1;
        e.liaison.reprendmesures(0);
        const int tics = 33 + int(std::lround(duree / 0.03));
        for (int k = 1; k <= tics; ++k) {
            e.maintenant = k * 0.03;
            e.port->recoit(k <= 33 ? dabord : ensuite);
            e.liaison.mesuretension(e.maintenant);
        }
        const QString avis = e.liaison.avisinterface(e.maintenant);
        if (debutavis.isEmpty())
            QCOMPARE(avis, QString());
        else
            QVERIFY2(avis.startsWith(debutavis), qPrintable(avis));
    }

    // Replies left on the line when the tick stopped are no samples once it starts again.
    void reprendmesuresOublieLesReponsesAnciennes() {
        LiaisonEssai e;
        e.etat.tensionmesuree = -1;
        e.liaison.mesuretension(0.03);
        e.port->recoit("1");
        e.liaison.mesuretension(0.06);
        e.port->recoit("50\r2");
        e.liaison.reprendmesures(5.0);
        e.port->recoit("9\r");
        e.liaison.mesuretension(5.03);
        QCOMPARE(e.etat.tensionmesuree, -1.0);
        e.port->recoit("7\r");
        e.liaison.mesuretension(5.06);
        QCOMPARE(e.etat.tensionmesuree, 7 * 5.0 / 255);
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
        e.liaison.mesuretension(0);
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

    // Closing the port waits for the laser-off command to leave the line before the port
    // closes: on a line that drops what is still on its way at the closing, the command
    // arrives whole, after whatever was written before it (up to 0.42 s of it).
    void fermeportVideLaLigneAvantDeFermer_data() {
        QTest::addColumn<QByteArray>("avant");
        QTest::addColumn<QByteArray>("ajoute");
        QTest::newRow("au repos") << QByteArray() << QByteArray();
        QTest::newRow("laser allumé") << QByteArray("\x00", 1) << QByteArray();
        QTest::newRow("requête ouverte") << QByteArray("XRESUL 1,0,1") << QByteArray("\r");
        QTest::newRow("0,42 s de ligne") << QByteArray(399, 'x') + '\r' << QByteArray();
    }
    void fermeportVideLaLigneAvantDeFermer() {
        QFETCH(QByteArray, avant);
        QFETCH(QByteArray, ajoute);
        EtatPartage etat;
        double maintenant = 0;
        LigneQuiPerd* ligne = nullptr;
        Liaison liaison(etat, [&](int) {
            auto t = std::make_unique<LigneQuiPerd>(maintenant);
            ligne = t.get();
            return OuverturePort{std::move(t), {}};
        });
        QVERIFY(liaison.ouvreport(nullptr));
        maintenant = 1; // the opening's laser-off has left
        liaison.envoiecommande(avant);
        liaison.fermeport();
        QVERIFY(!liaison.estOuvert());
        QCOMPARE(ligne->arrive(), QByteArray(" \r") + avant + ajoute + QByteArray(" \r"));
    }

    // Once lost, the port is opened again as the opening said (the same device), never by
    // the number looked up again; an opening that could not say looks the number up again.
    void rouvreportRouvreLeMemePeripherique() {
        EtatPartage etat;
        etat.numport = 1;
        int parnumero = 0;
        int parnom = 0;
        TransportMemoire* port = nullptr;
        const auto transport = [&] {
            auto t = std::make_unique<TransportMemoire>([] { return 0.0; });
            port = t.get();
            return t;
        };
        std::function<OuverturePort()> rouvre = [&] {
            ++parnom;
            return OuverturePort{
                transport(), {}, rouvre, QStringLiteral("/dev/serial/by-id/usb-A")};
        };
        bool sansnom = false;
        Liaison liaison(etat, [&](int) {
            ++parnumero;
            OuverturePort o{transport(), {}, {}, {}};
            if (!sansnom) {
                o.rouvre = rouvre;
                o.attendu = QStringLiteral("/dev/serial/by-id/usb-A");
            }
            return o;
        });
        QVERIFY(liaison.ouvreport(nullptr));
        QCOMPARE(liaison.peripheriqueattendu(), QStringLiteral("/dev/serial/by-id/usb-A"));
        for (int perte = 1; perte <= 2; ++perte) {
            port->perds(QStringLiteral("périphérique indisponible"));
            QVERIFY(liaison.rouvreport(nullptr));
            QCOMPARE(parnom, perte);
            QCOMPARE(parnumero, 1);
            // Opened again, the laser-off command goes first, as at the first opening.
            QCOMPARE(port->toutEcrit(), QByteArray(" \r"));
        }
        sansnom = true;
        QVERIFY(liaison.ouvreport(nullptr));
        QCOMPARE(liaison.peripheriqueattendu(), QString());
        port->perds(QStringLiteral("périphérique indisponible"));
        QVERIFY(liaison.rouvreport(nullptr));
        QCOMPARE(parnumero, 3);
        QCOMPARE(parnom, 2);
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
