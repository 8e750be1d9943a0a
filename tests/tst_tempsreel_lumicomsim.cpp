// lumicom-sim as lumicom meets it: a separate program whose ports are opened as serial
// ports at 9600 bauds. The waits are bounded loosely for a loaded machine and end as soon
// as the awaited thing happens.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

constexpr int attenteMs = 5000;

// One run of the simulator, its ports in a folder of its own making inside a temporary
// folder, and its journal beside that folder.
class Simulateur {
public:
    explicit Simulateur(const QStringList& options = {}) {
        processus_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        processus_.start(QStringLiteral(LUMICOM_SIM),
                         QStringList{QStringLiteral("--dir"), dossierPorts(),
                                     QStringLiteral("--journal"),
                                     temporaire_.filePath(QStringLiteral("journal.txt"))} +
                             options);
        pret_ = processus_.waitForStarted(attenteMs) &&
                QTest::qWaitFor(
                    [this] { return QFileInfo::exists(port(1)) && QFileInfo::exists(port(2)); },
                    attenteMs);
    }
    ~Simulateur() {
        processus_.terminate();
        processus_.waitForFinished(attenteMs);
    }

    bool pret() const { return pret_; }
    QProcess& processus() { return processus_; }
    QString dossierPorts() const { return temporaire_.filePath(QStringLiteral("ports")); }
    QString port(int numero) const { return dossierPorts() + QStringLiteral("/COM%1").arg(numero); }
    QByteArray journal() const {
        QFile f(temporaire_.filePath(QStringLiteral("journal.txt")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool attendsDansLeJournal(const QByteArray& texte) const {
        return QTest::qWaitFor([&] { return journal().contains(texte); }, attenteMs);
    }

private:
    QTemporaryDir temporaire_;
    QProcess processus_;
    bool pret_ = false;
};

std::unique_ptr<QSerialPort> ouvre(const QString& chemin) {
    auto port = std::make_unique<QSerialPort>(chemin);
    if (!port->open(QIODevice::ReadWrite) || !port->setBaudRate(QSerialPort::Baud9600) ||
        !port->setDataBits(QSerialPort::Data8) || !port->setParity(QSerialPort::NoParity) ||
        !port->setStopBits(QSerialPort::OneStop) ||
        !port->setFlowControl(QSerialPort::NoFlowControl))
        return nullptr;
    return port;
}

// Writes a command and returns the answer up to its CR, or what came before the wait ended.
QByteArray requete(QSerialPort& port, const QByteArray& commande) {
    port.write(commande);
    QByteArray reponse;
    (void)QTest::qWaitFor(
        [&] {
            reponse += port.readAll();
            return reponse.endsWith('\r');
        },
        attenteMs);
    return reponse;
}

} // namespace

class TestLumicomSim : public QObject {
    Q_OBJECT

private slots:
    void lectureDansLObscurite() {
        Simulateur simulateur;
        QVERIFY(simulateur.pret());
        const auto com1 = ouvre(simulateur.port(1));
        QVERIFY(com1);
        // 0.05 V in darkness: round(0.05 x 255 / 5).
        QCOMPARE(requete(*com1, "XEA 0\r"), QByteArray("3\r"));
    }

    void laserDuPosteEnFace() {
        Simulateur simulateur;
        QVERIFY(simulateur.pret());
        const auto com1 = ouvre(simulateur.port(1));
        const auto com2 = ouvre(simulateur.port(2));
        QVERIFY(com1 && com2);
        com2->write(QByteArray(1, '\0')); // station 2 lights its laser
        QVERIFY(simulateur.attendsDansLeJournal(" COM2 SB0 1\n"));
        // 3 V under the laser: round(3 x 255 / 5).
        QCOMPARE(requete(*com1, "XEA 0\r"), QByteArray("153\r"));
    }

    void coupureDeConnexion() {
        Simulateur simulateur({QStringLiteral("--coupure"), QStringLiteral("2:0")});
        QVERIFY(simulateur.pret());
        const auto com1 = ouvre(simulateur.port(1));
        const auto com2 = ouvre(simulateur.port(2));
        QVERIFY(com1 && com2);
        QSerialPort::SerialPortError erreur = QSerialPort::NoError;
        connect(com2.get(), &QSerialPort::errorOccurred, com2.get(),
                [&](QSerialPort::SerialPortError e) {
                    if (e == QSerialPort::ReadError || e == QSerialPort::ResourceError) {
                        erreur = e;
                        com2->close(); // else the error repeats without end
                    }
                });
        com2->write("XPEA1 0,1,6,0\rXEAP\rXRESUL 1,0,1\r");
        QVERIFY(QTest::qWaitFor([&] { return erreur != QSerialPort::NoError; }, attenteMs));
        QVERIFY(
            QTest::qWaitFor([&] { return !QFileInfo(simulateur.port(2)).isSymLink(); }, attenteMs));
        QVERIFY(simulateur.attendsDansLeJournal(" COM2 port retiré (connexion coupée)\n"));
        // The other station goes on.
        QCOMPARE(requete(*com1, "XEA 0\r"), QByteArray("3\r"));
    }

    void arretParSIGTERM() {
        Simulateur simulateur;
        QVERIFY(simulateur.pret());
        simulateur.processus().terminate();
        QVERIFY(simulateur.processus().waitForFinished(attenteMs));
        QCOMPARE(simulateur.processus().exitStatus(), QProcess::NormalExit);
        QCOMPARE(simulateur.processus().exitCode(), 0);
        // The links are gone, and the folder with them: the simulator made it and the
        // journal is elsewhere.
        QVERIFY(!QFileInfo(simulateur.port(1)).isSymLink());
        QVERIFY(!QFileInfo::exists(simulateur.dossierPorts()));
        QVERIFY(simulateur.journal().contains(" COM2 port retiré (arrêt du simulateur)\n"));
    }
};

QTEST_GUILESS_MAIN(TestLumicomSim)
#include "tst_tempsreel_lumicomsim.moc"
