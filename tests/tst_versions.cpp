#include "app/lignedecommande.h"
#include "lumicomversion.h"
#include "sim/optionssimulateur.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

// Each program says its version, "NAME 0.1.0" from the project's version, and exits with
// status 0 without needing a display or a port; each help names the option.
class TstVersions : public QObject {
    Q_OBJECT

private slots:
    void programmes_data() {
        QTest::addColumn<QString>("programme");
        QTest::addColumn<QString>("nom");
        QTest::newRow("lumicom") << QStringLiteral(LUMICOM_PROGRAMME) << QStringLiteral("lumicom");
        QTest::newRow("lumicom-tool")
            << QStringLiteral(LUMICOM_TOOL) << QStringLiteral("lumicom-tool");
        QTest::newRow("lumicom-sim")
            << QStringLiteral(LUMICOM_SIM) << QStringLiteral("lumicom-sim");
    }

    void programmes() {
        QFETCH(QString, programme);
        QFETCH(QString, nom);
        QProcess processus;
        QProcessEnvironment environnement = QProcessEnvironment::systemEnvironment();
        environnement.remove(QStringLiteral("DISPLAY"));
        environnement.remove(QStringLiteral("QT_QPA_PLATFORM"));
        processus.setProcessEnvironment(environnement);
        processus.start(programme, {QStringLiteral("--version")});
        QVERIFY(processus.waitForFinished(30000));
        QCOMPARE(processus.exitStatus(), QProcess::NormalExit);
        QCOMPARE(processus.exitCode(), 0);
        const QByteArray sortie = processus.readAllStandardOutput();
        QCOMPARE(sortie, (nom + QStringLiteral(" " LUMICOM_VERSION "\n")).toUtf8());
        QVERIFY(QRegularExpression(QStringLiteral("^[a-z-]+ \\d+\\.\\d+\\.\\d+\\n$"))
                    .match(QString::fromUtf8(sortie))
                    .hasMatch());
        QCOMPARE(processus.readAllStandardError(), QByteArray());

        processus.start(programme, {QStringLiteral("--help")});
        QVERIFY(processus.waitForFinished(30000));
        QCOMPARE(processus.exitCode(), 0);
        QVERIFY(processus.readAllStandardOutput().contains("--version"));
    }

    // The version stops the program wherever it stands on the line; a wrong argument
    // before it is refused first.
    void ligneDuProgramme_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QString version = QStringLiteral("lumicom " LUMICOM_VERSION "\n");
        QTest::newRow("seule") << QStringList{QStringLiteral("--version")} << 0 << version;
        QTest::newRow("après --poste 2")
            << QStringList{QStringLiteral("--poste"), QStringLiteral("2"),
                           QStringLiteral("--version")}
            << 0 << version;
        QTest::newRow("avant une erreur")
            << QStringList{QStringLiteral("--version"), QStringLiteral("--rapide")} << 0 << version;
        QTest::newRow("après une erreur")
            << QStringList{QStringLiteral("--rapide"), QStringLiteral("--version")} << 2
            << QStringLiteral("lumicom : argument inconnu « --rapide ».\n"
                              "« lumicom --help » donne les options.\n");
    }

    void ligneDuProgramme() {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, message);
        const LigneDeCommande ligne = litlignedecommande(arguments);
        QVERIFY(ligne.arret);
        QCOMPARE(ligne.code, code);
        QCOMPARE(ligne.message, message);
    }

    void ligneDuSimulateur() {
        const LectureOptions version =
            lisOptions({QStringLiteral("lumicom-sim"), QStringLiteral("--version")});
        QCOMPARE(version.issue, LectureOptions::Issue::Version);
        QCOMPARE(version.message, QStringLiteral("lumicom-sim " LUMICOM_VERSION));
        QVERIFY(texteAideSimulateur().contains(QStringLiteral("--version")));
        // A value given to it is no option of the simulator's.
        QCOMPARE(lisOptions({QStringLiteral("lumicom-sim"), QStringLiteral("--version=2")}).issue,
                 LectureOptions::Issue::Erreur);
    }
};

QTEST_MAIN(TstVersions)
#include "tst_versions.moc"
