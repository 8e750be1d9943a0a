// lumicom-sim as lumicom meets it: a separate program whose ports are opened as serial
// ports at 9600 bauds. The waits are bounded loosely for a loaded machine and end as soon
// as the awaited thing happens.

#include "link/tubebanc.h"
#include "simulateurreel.h"

#include <QFile>

#include <QFileInfo>
#include <QTest>

using namespace simulateurreel;

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

    // The photodiode lit by hand through the simulator's pipe, then under the laser again;
    // the room's light changed by the program's own way of giving commands; the light as it
    // stands written beside the pipe.
    void lumiereALaMain() {
        Simulateur simulateur;
        QVERIFY(simulateur.pret());
        const auto com1 = ouvre(simulateur.port(1));
        QVERIFY(com1);
        QFile tube(simulateur.dossierPorts() + QStringLiteral("/lumiere"));
        QVERIFY(tube.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        tube.write("eclaire 1\n");
        QVERIFY(simulateur.attendsDansLeJournal(" COM1 lumière photodiode éclairée à la main\n"));
        QCOMPARE(requete(*com1, "XEA 0\r"), QByteArray("153\r"));
        tube.write("normale 1\nallume 9\n");
        QVERIFY(simulateur.attendsDansLeJournal("photodiode de nouveau sous le laser\n"));
        QVERIFY(simulateur.attendsDansLeJournal("commande refusée « allume 9 »"));
        QCOMPARE(requete(*com1, "XEA 0\r"), QByteArray("3\r"));

        const QString dossier = simulateur.dossierPorts();
        QVERIFY(commandebanc(dossier, QStringLiteral("salle 1 1.5")));
        QVERIFY(simulateur.attendsDansLeJournal(" COM1 lumière salle 1.5 V sur la photodiode"));
        // 1.5 V in the dark reads 76.5, rounded up.
        QCOMPARE(requete(*com1, "XEA 0\r"), QByteArray("77\r"));
        QVERIFY(QTest::qWaitFor(
            [&] {
                const QList<LumierePhotodiode> l = litlumierebanc(dossier);
                return l.size() == 2 && l[0].poste == 1 && l[0].salle == 1.5 &&
                       l[0].photodiode == u"normale" && l[1].salle == 0.05;
            },
            attenteMs));
        tube.write("sombre 2\n");
        QVERIFY(QTest::qWaitFor(
            [&] {
                const QList<LumierePhotodiode> l = litlumierebanc(dossier);
                return l.size() == 2 && l[1].photodiode == u"sombre";
            },
            attenteMs));
    }

    // A journal past its limit starts afresh, the part before kept beside it.
    void journalBorne() {
        Simulateur simulateur({QStringLiteral("--journal-max"), QStringLiteral("0.002")});
        QVERIFY(simulateur.pret());
        const auto com1 = ouvre(simulateur.port(1));
        QVERIFY(com1);
        for (int k = 0; k < 60; ++k)
            QCOMPARE(requete(*com1, "XEA 0\r"), QByteArray("3\r"));
        QVERIFY(QTest::qWaitFor([&] { return simulateur.journalPrecedent().size() >= 2000; },
                                attenteMs));
        QVERIFY(simulateur.journal().size() < 3000);
        QVERIFY(simulateur.journalPrecedent().endsWith('\n'));
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

    // A port cut with a return comes back under the same name, a new pseudo-terminal
    // behind it, and answers as before.
    void retourDUnPortCoupe() {
        Simulateur simulateur({QStringLiteral("--coupure"), QStringLiteral("2:0:1.5")});
        QVERIFY(simulateur.pret());
        {
            const auto com2 = ouvre(simulateur.port(2));
            QVERIFY(com2);
            com2->write("XPEA1 0,1,6,0\rXEAP\rXRESUL 1,0,1\r");
            QVERIFY(simulateur.attendsDansLeJournal(" COM2 port retiré (connexion coupée)\n"));
        }
        QVERIFY(simulateur.attendsDansLeJournal(" COM2 panne connexion rétablie\n"));
        QVERIFY(simulateur.attendsDansLeJournal("(connexion rétablie)\n"));
        QVERIFY(QFileInfo(simulateur.port(2)).isSymLink());
        const auto revenu = ouvre(simulateur.port(2));
        QVERIFY(revenu);
        QCOMPARE(requete(*revenu, "XEA 0\r"), QByteArray("3\r"));
    }

    // Plugged back under another device, as an adapter that comes back under another
    // number: another pseudo-terminal behind the same name.
    void rebrancheAilleurs() {
        Simulateur simulateur;
        QVERIFY(simulateur.pret());
        const QString avant = QFileInfo(simulateur.port(2)).symLinkTarget();
        QFile tube(simulateur.dossierPorts() + QStringLiteral("/lumiere"));
        QVERIFY(tube.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        tube.write("rebranche 2 0.5\n");
        QVERIFY(simulateur.attendsDansLeJournal(" COM2 port retiré (connexion coupée)\n"));
        QVERIFY(simulateur.attendsDansLeJournal("(connexion rétablie)\n"));
        const QString apres = QFileInfo(simulateur.port(2)).symLinkTarget();
        QVERIFY(!apres.isEmpty());
        QVERIFY2(apres != avant, qPrintable(apres));
        const auto revenu = ouvre(simulateur.port(2));
        QVERIFY(revenu);
        QCOMPARE(requete(*revenu, "XEA 0\r"), QByteArray("3\r"));
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
