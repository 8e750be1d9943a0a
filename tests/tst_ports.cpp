// The COM port number to device mapping, over fake ports and /dev directories.

#include "link/ports.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Creates the empty file `dossier`/`nom`; a name starting with '@' makes instead a
// symbolic link to a target that does not exist.
bool creeentree(const QString& dossier, const QString& nom) {
    if (!QDir().mkpath(dossier))
        return false;
    if (nom.startsWith(QLatin1Char('@')))
        return QFile::link(dossier + QStringLiteral("/cible-disparue"),
                           dossier + QLatin1Char('/') + nom.mid(1));
    QFile fichier(dossier + QLatin1Char('/') + nom);
    return fichier.open(QIODevice::WriteOnly);
}

const QStringList devcomplet = {
    QStringLiteral("ttyUSB1"), QStringLiteral("ttyUSB0"), QStringLiteral("ttyACM0"),
    QStringLiteral("ttyS0"), QStringLiteral("ttyS1"), QStringLiteral("ttyS10"),
    QStringLiteral("ttyS2"),
    // Not serial ports of the list: other names, or a suffix that is not a number.
    QStringLiteral("tty0"), QStringLiteral("ttyS"), QStringLiteral("ttyUSB0.bak"),
    QStringLiteral("ttySx1"), QStringLiteral("ttyAMA0")};

} // namespace

class TestPorts : public QObject {
    Q_OBJECT

private slots:
    void listeDesPeripheriques_data();
    void listeDesPeripheriques();
    void numeroVersPeripherique_data();
    void numeroVersPeripherique();
    void variableLumicomPorts();
    void sansVariableLumicomPorts();
    void nomDurable_data();
    void nomDurable();
};

void TestPorts::listeDesPeripheriques_data() {
    QTest::addColumn<QStringList>("dev");
    QTest::addColumn<QStringList>("attendu");

    QTest::newRow("vide") << QStringList{} << QStringList{};
    QTest::newRow("ordre numérique, USB puis ACM puis S")
        << devcomplet
        << QStringList{"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyS0", "ttyS1", "ttyS2", "ttyS10"};
    QTest::newRow("ports intégrés seuls")
        << QStringList{"ttyS1", "ttyS0"} << QStringList{"ttyS0", "ttyS1"};
    QTest::newRow("ACM avant S") << QStringList{"ttyS0", "ttyACM1", "ttyACM0"}
                                 << QStringList{"ttyACM0", "ttyACM1", "ttyS0"};
}

void TestPorts::listeDesPeripheriques() {
    QFETCH(QStringList, dev);
    QFETCH(QStringList, attendu);

    QTemporaryDir racine;
    QVERIFY(racine.isValid());
    const QString dossierdev = racine.filePath(QStringLiteral("dev"));
    QVERIFY(QDir().mkpath(dossierdev));
    for (const QString& nom : dev)
        QVERIFY(creeentree(dossierdev, nom));

    QStringList chemins;
    for (const QString& nom : attendu)
        chemins << dossierdev + QLatin1Char('/') + nom;
    QCOMPARE(peripheriquesserie(dossierdev), chemins);
}

void TestPorts::numeroVersPeripherique_data() {
    QTest::addColumn<bool>("avecdossierports");
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<QStringList>("dev");
    QTest::addColumn<int>("numport");
    // "ports/NAME" or "dev/NAME", or empty for no device.
    QTest::addColumn<QString>("attendu");

    const QStringList avecCom2 = {"COM0", "COM2", "COM-1"};
    const QStringList sansCom2 = {"COM1", "COM3x"};

    QTest::newRow("COM2 publié") << true << avecCom2 << devcomplet << 2 << "ports/COM2";
    QTest::newRow("COM2 lien brisé")
        << true << QStringList{"@COM2"} << devcomplet << 2 << "ports/COM2";
    QTest::newRow("COM1 non publié") << true << avecCom2 << devcomplet << 1 << "dev/ttyUSB0";
    QTest::newRow("COM2 absent du dossier") << true << sansCom2 << devcomplet << 2 << "dev/ttyUSB1";
    QTest::newRow("sans dossier des ports")
        << false << QStringList{} << devcomplet << 2 << "dev/ttyUSB1";
    QTest::newRow("COM3 = ttyACM0") << false << QStringList{} << devcomplet << 3 << "dev/ttyACM0";
    QTest::newRow("COM4 = ttyS0") << false << QStringList{} << devcomplet << 4 << "dev/ttyS0";
    QTest::newRow("COM6 = ttyS2") << false << QStringList{} << devcomplet << 6 << "dev/ttyS2";
    QTest::newRow("COM7 = ttyS10") << false << QStringList{} << devcomplet << 7 << "dev/ttyS10";
    QTest::newRow("au-delà de la liste") << true << avecCom2 << devcomplet << 8 << "";
    QTest::newRow("zéro, même publié") << true << avecCom2 << devcomplet << 0 << "";
    QTest::newRow("négatif, même publié") << true << avecCom2 << devcomplet << -1 << "";
    QTest::newRow("très grand") << false << QStringList{} << devcomplet << 32767 << "";
    QTest::newRow("sans adaptateur, COM1 = ttyS0")
        << false << QStringList{} << QStringList{"ttyS0", "ttyS1"} << 1 << "dev/ttyS0";
    QTest::newRow("un adaptateur, COM1")
        << false << QStringList{} << QStringList{"ttyS0", "ttyUSB0"} << 1 << "dev/ttyUSB0";
    QTest::newRow("un adaptateur, COM2 = ttyS0")
        << false << QStringList{} << QStringList{"ttyS0", "ttyUSB0"} << 2 << "dev/ttyS0";
    QTest::newRow("aucun port") << true << QStringList{} << QStringList{} << 1 << "";
}

void TestPorts::numeroVersPeripherique() {
    QFETCH(bool, avecdossierports);
    QFETCH(QStringList, ports);
    QFETCH(QStringList, dev);
    QFETCH(int, numport);
    QFETCH(QString, attendu);

    QTemporaryDir racine;
    QVERIFY(racine.isValid());
    const QString dossierports = racine.filePath(QStringLiteral("ports"));
    const QString dossierdev = racine.filePath(QStringLiteral("dev"));
    QVERIFY(QDir().mkpath(dossierports));
    QVERIFY(QDir().mkpath(dossierdev));
    for (const QString& nom : ports)
        QVERIFY(creeentree(dossierports, nom));
    for (const QString& nom : dev)
        QVERIFY(creeentree(dossierdev, nom));

    const QString obtenu =
        peripheriquecom(numport, avecdossierports ? dossierports : QString(), dossierdev);
    QCOMPARE(obtenu, attendu.isEmpty() ? QString() : racine.filePath(attendu));
}

void TestPorts::variableLumicomPorts() {
    QTemporaryDir racine;
    QVERIFY(racine.isValid());
    QVERIFY(creeentree(racine.path(), QStringLiteral("COM9")));

    qputenv("LUMICOM_PORTS", QFile::encodeName(racine.path()));
    QCOMPARE(peripheriquecom(9), racine.filePath(QStringLiteral("COM9")));
    QCOMPARE(peripheriquecom(0), QString());

    // A relative directory still gives an absolute path: the serial port would take a
    // relative name as one under /dev.
    const QString courant = QDir::currentPath();
    QVERIFY(QDir::setCurrent(racine.path()));
    qputenv("LUMICOM_PORTS", ".");
    const QString obtenu = peripheriquecom(9);
    QVERIFY(QDir::setCurrent(courant));
    qunsetenv("LUMICOM_PORTS");
    QCOMPARE(QFileInfo(obtenu).isAbsolute(), true);
    QCOMPARE(QFileInfo(obtenu).canonicalFilePath(),
             QFileInfo(racine.filePath(QStringLiteral("COM9"))).canonicalFilePath());
}

void TestPorts::sansVariableLumicomPorts() {
    qunsetenv("LUMICOM_PORTS");
    const QStringList liste = peripheriquesserie();
    QCOMPARE(peripheriquecom(1), liste.value(0));
    QCOMPARE(peripheriquecom(liste.size()), liste.value(liste.size() - 1));
    QCOMPARE(peripheriquecom(liste.size() + 1), QString());
    QCOMPARE(peripheriquecom(0), QString());
    QCOMPARE(peripheriquecom(-3), QString());
}

// The name under which a device is found again: the entry of by-id that leads to it (an
// adapter), else the device's own name.
void TestPorts::nomDurable_data() {
    QTest::addColumn<QString>("peripherique"); // under dev/
    QTest::addColumn<QString>("parid");        // "NOM>CIBLE": by-id/NOM -> ../CIBLE
    QTest::addColumn<QString>("attendu");      // relative to the test's folder
    QTest::newRow("adaptateur nommé par le système")
        << u"ttyUSB0"_s << u"usb-FTDI_A5-if00-port0>ttyUSB0"_s << u"by-id/usb-FTDI_A5-if00-port0"_s;
    QTest::newRow("un autre adaptateur nommé")
        << u"ttyUSB0"_s << u"usb-FTDI_B7-if00>ttyUSB1"_s << u"dev/ttyUSB0"_s;
    QTest::newRow("port intégré, sans nom") << u"ttyS0"_s << QString() << u"dev/ttyS0"_s;
    QTest::newRow("nom qui ne mène nulle part")
        << u"ttyUSB0"_s << u"usb-debranche>ttyUSB9"_s << u"dev/ttyUSB0"_s;
}

void TestPorts::nomDurable() {
    QFETCH(QString, peripherique);
    QFETCH(QString, parid);
    QFETCH(QString, attendu);
    QTemporaryDir racine;
    QVERIFY(racine.isValid());
    const QString dev = racine.filePath(QStringLiteral("dev"));
    const QString dossierparid = racine.filePath(QStringLiteral("by-id"));
    for (const QString& nom : {u"ttyUSB0"_s, u"ttyUSB1"_s, u"ttyS0"_s})
        QVERIFY(creeentree(dev, nom));
    QVERIFY(QDir().mkpath(dossierparid));
    if (!parid.isEmpty()) {
        const QStringList lien = parid.split(u'>');
        QVERIFY(QFile::link(u"../dev/"_s + lien[1], dossierparid + u'/' + lien[0]));
    }
    QCOMPARE(peripheriquedurable(dev + u'/' + peripherique, dossierparid),
             racine.filePath(attendu));
    // No folder of stable names at all: the device's own name.
    QCOMPARE(peripheriquedurable(dev + u'/' + peripherique, racine.filePath(u"absent"_s)),
             dev + u'/' + peripherique);
}

QTEST_GUILESS_MAIN(TestPorts)
#include "tst_ports.moc"
