#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

// The launcher of the simulated bench (scripts/lumicom-banc, /usr/bin/lumicom-banc once
// installed), run with the real simulator and a stand-in for lumicom that writes down how
// it was started. Its temporary folder is a folder of the test (TMPDIR), so that what the
// launcher leaves behind shows there.
class TstLanceurBanc : public QObject {
    Q_OBJECT

private slots:
    void init() {
        base_ = std::make_unique<QTemporaryDir>();
        QVERIFY(base_->isValid());
        temporaire_ = base_->filePath(QStringLiteral("tmp"));
        QVERIFY(QDir().mkpath(temporaire_));
    }
    void cleanup() {
        // A test that failed half-way leaves no process behind.
        if (lanceur_.state() != QProcess::NotRunning) {
            lanceur_.kill();
            lanceur_.waitForFinished(10000);
        }
    }

    // Both windows closed at once: the simulator is stopped and nothing is left in the
    // temporary folder, not even a runtime directory for Qt.
    void deuxFenetresPuisRienNeReste() {
        ecritfaux(QStringLiteral("exit 0\n"));
        lance({QStringLiteral("--codages-rapides")});
        QVERIFY(lanceur_.waitForFinished(60000));
        QCOMPARE(lanceur_.exitStatus(), QProcess::NormalExit);
        QCOMPARE(lanceur_.exitCode(), 0);

        for (const QString& poste : {QStringLiteral("1"), QStringLiteral("2")}) {
            const QStringList appel = lis(QStringLiteral("appel-") + poste);
            QCOMPARE(appel.value(0), QStringLiteral("--poste %1 --codages-rapides").arg(poste));
            // The simulator's ports were there when the window started.
            QVERIFY(appel.value(1).startsWith(QStringLiteral("ports=") + temporaire_));
            QCOMPARE(appel.value(2), QStringLiteral("COM1 COM2"));
            QVERIFY(appel.value(3).startsWith(QStringLiteral("execution=") + temporaire_));
        }
        QVERIFY(QDir(temporaire_).isEmpty());
        QVERIFY(processusDuBanc().isEmpty());
        QVERIFY(lanceur_.readAllStandardOutput().contains("Banc simulé prêt"));
    }

    // Stopped while its windows are open (the session ends, Ctrl+C): the windows are
    // stopped, then the simulator, and the folder goes.
    void arreteEnCoursDeRoute() {
        ecritfaux(QStringLiteral("while :; do sleep 0.1; done\n"));
        lance({});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(base_->filePath(QStringLiteral("appel-2"))), 30000);
        QVERIFY(!processusDuBanc().isEmpty());
        lanceur_.terminate();
        QVERIFY(lanceur_.waitForFinished(60000));
        QCOMPARE(lanceur_.exitCode(), 143);
        QVERIFY(QDir(temporaire_).isEmpty());
        QVERIFY(processusDuBanc().isEmpty());
    }

    // A window that does not close when asked (frozen, or held by a box): after 3 s it is
    // ended for good, and the simulator and the folder go all the same.
    void fenetreQuiNeFermePas() {
        ecritfaux(QStringLiteral("trap '' TERM\nwhile :; do sleep 0.1; done\n"));
        lance({});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(base_->filePath(QStringLiteral("appel-2"))), 30000);
        QElapsedTimer duree;
        duree.start();
        lanceur_.terminate();
        QVERIFY(lanceur_.waitForFinished(30000));
        QVERIFY2(duree.elapsed() >= 2900, qPrintable(QString::number(duree.elapsed())));
        QCOMPARE(lanceur_.exitCode(), 143);
        QVERIFY(QDir(temporaire_).isEmpty());
        QVERIFY(processusDuBanc().isEmpty());
    }

    // A second Ctrl+C while the launcher stops the bench hurries the end on; nothing is left.
    void secondCtrlC() {
        ecritfaux(QStringLiteral("trap '' TERM\nwhile :; do sleep 0.1; done\n"));
        lance({});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(base_->filePath(QStringLiteral("appel-2"))), 30000);
        ::kill(pid_t(lanceur_.processId()), SIGINT);
        QTest::qWait(500);
        QCOMPARE(lanceur_.state(), QProcess::Running); // still giving the windows their time
        ::kill(pid_t(lanceur_.processId()), SIGINT);
        QVERIFY(lanceur_.waitForFinished(30000));
        QCOMPARE(lanceur_.exitStatus(), QProcess::NormalExit);
        QCOMPARE(lanceur_.exitCode(), 130);
        QVERIFY(QDir(temporaire_).isEmpty());
        QVERIFY(processusDuBanc().isEmpty());
    }

    // The launcher's own options and its refusals.
    void options_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("statut");
        QTest::addColumn<QString>("sortie");
        QTest::addColumn<QString>("erreurs");
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << 0
                                << QStringLiteral("Utilisation : lumicom-banc") << QString();
        QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << 0
                                   << QStringLiteral("lumicom-banc 0.") << QString();
        QTest::newRow("--poste refusé")
            << QStringList{QStringLiteral("--poste"), QStringLiteral("3")} << 2 << QString()
            << QStringLiteral("donne lui-même leur poste");
        QTest::newRow("--journal sans fichier")
            << QStringList{QStringLiteral("--journal")} << 2 << QString()
            << QStringLiteral("valeur manquante après « --journal »");
        QTest::newRow("simulateur absent")
            << QStringList{QStringLiteral("--simulateur"),
                           QStringLiteral("/nulle/part/lumicom-sim")}
            << 1 << QString() << QStringLiteral("lumicom-sim est introuvable");
    }

    void options() {
        QFETCH(QStringList, arguments);
        QFETCH(int, statut);
        QFETCH(QString, sortie);
        QFETCH(QString, erreurs);
        QProcess processus;
        processus.setProcessEnvironment(environnement());
        processus.start(QStringLiteral("sh"),
                        QStringList{script(), QStringLiteral("--lumicom"),
                                    QStringLiteral(LUMICOM_PROGRAMME),
                                    QStringLiteral("--simulateur"), QStringLiteral(LUMICOM_SIM)} +
                            arguments);
        QVERIFY(processus.waitForFinished(30000));
        QCOMPARE(processus.exitCode(), statut);
        QVERIFY(QString::fromUtf8(processus.readAllStandardOutput()).contains(sortie));
        QVERIFY(QString::fromUtf8(processus.readAllStandardError()).contains(erreurs));
        QVERIFY(QDir(temporaire_).isEmpty());
    }

private:
    static QString script() { return QStringLiteral(LUMICOM_SOURCE_DIR "/scripts/lumicom-banc"); }

    QProcessEnvironment environnement() const {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("TMPDIR"), temporaire_);
        e.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        return e;
    }

    // The stand-in for lumicom: it writes its arguments, the ports it was given and what
    // they hold, and its runtime directory into appel-N, then runs `suite`.
    void ecritfaux(const QString& suite) {
        QFile faux(base_->filePath(QStringLiteral("faux-lumicom")));
        QVERIFY(faux.open(QIODevice::WriteOnly));
        faux.write(
            QStringLiteral("#!/bin/sh\n"
                           "{\n"
                           "    echo \"$*\"\n"
                           "    echo \"ports=$LUMICOM_PORTS\"\n"
                           "    echo $(ls \"$LUMICOM_PORTS\" | grep COM)\n"
                           "    echo \"execution=${XDG_RUNTIME_DIR:-}\"\n"
                           "} > \"$(dirname \"$0\")/appel-$2.tmp\"\n"
                           "mv \"$(dirname \"$0\")/appel-$2.tmp\" \"$(dirname \"$0\")/appel-$2\"\n")
                .toUtf8() +
            suite.toUtf8());
        faux.close();
        QVERIFY(faux.setPermissions(faux.permissions() | QFileDevice::ExeOwner));
    }

    void lance(const QStringList& arguments) {
        lanceur_.setProcessEnvironment(environnement());
        lanceur_.start(QStringLiteral("sh"),
                       QStringList{script(), QStringLiteral("--lumicom"),
                                   base_->filePath(QStringLiteral("faux-lumicom")),
                                   QStringLiteral("--simulateur"), QStringLiteral(LUMICOM_SIM)} +
                           arguments);
        QVERIFY(lanceur_.waitForStarted());
    }

    QStringList lis(const QString& nom) const {
        QFile fichier(base_->filePath(nom));
        if (!fichier.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(fichier.readAll()).split(u'\n');
    }

    // The processes whose command line names the test's folder, the launcher left out: the
    // simulator (its --dir) and the stand-ins for the windows.
    QStringList processusDuBanc() const {
        QStringList trouves;
        const QByteArray cle = base_->path().toUtf8();
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            bool nombre = false;
            const qint64 numero = pid.toLongLong(&nombre);
            if (!nombre || numero == lanceur_.processId())
                continue;
            QFile ligne(QStringLiteral("/proc/%1/cmdline").arg(pid));
            if (!ligne.open(QIODevice::ReadOnly))
                continue;
            QByteArray commande = ligne.readAll();
            commande.replace('\0', ' ');
            if (commande.contains(cle))
                trouves << QString::fromLocal8Bit(commande);
        }
        return trouves;
    }

    std::unique_ptr<QTemporaryDir> base_;
    QString temporaire_;
    QProcess lanceur_;
};

QTEST_MAIN(TstLanceurBanc)
#include "tst_lanceurbanc.moc"
