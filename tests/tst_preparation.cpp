#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// scripts/preparation.sh, which ./run and ./test share, run with stand-ins for cmake, sudo,
// apt-get, dpkg-query and id that write down how they were called.

namespace {

struct Preparation {
    QTemporaryDir dossier;
    QString bin = dossier.filePath(u"bin"_s);

    Preparation() {
        QDir().mkpath(bin);
        // Each stand-in writes its name, the DEBIAN_FRONTEND it sees and its arguments.
        for (const QString& nom : {u"cmake"_s, u"apt-get"_s})
            ecrit(nom, u"echo \"%1 DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-} $*\" >> \"%2\"\n"_s.arg(
                           nom, journal()));
        ecrit(u"dpkg-query"_s, u"exit 1\n"_s); // nothing installed
        // sudo resets the environment, as Debian's does (env_reset).
        ecrit(u"sudo"_s, u"exec env -i PATH=\"$PATH\" \"$@\"\n"_s);
    }
    QString journal() const { return dossier.filePath(u"appels"_s); }
    void ecrit(const QString& nom, const QString& corps) {
        QFile f(bin + u'/' + nom);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\n" + corps).toUtf8());
        f.close();
        QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
    }
    // Runs `commandes` in bash once the script is sourced; what it printed.
    QString lance(const QString& commandes) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"PATH"_s, bin + u':' + env.value(u"PATH"_s));
        env.remove(u"DEBIAN_FRONTEND"_s);
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(u"bash"_s,
                {u"-c"_s, u"set -euo pipefail; racine=%1; source %1/scripts/preparation.sh; "_s.arg(
                              QStringLiteral(LUMICOM_SOURCE_DIR)) +
                              commandes});
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            return u"ÉCHEC "_s + QString::fromUtf8(p.readAll());
        return QString::fromUtf8(p.readAll());
    }
    QStringList appels() const {
        QFile f(journal());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
};

} // namespace

class TestPreparation : public QObject {
    Q_OBJECT
private slots:
    // A new build folder is configured with Ninja; one configured by hand with another
    // generator is built with its own, and the user is told how to have Ninja.
    void generateurDuDossier_data() {
        QTest::addColumn<QString>("generateur"); // of the folder's cache; empty: no cache
        QTest::addColumn<bool>("ninja");         // -G Ninja given
        QTest::addColumn<bool>("dit");           // the message about the generator
        QTest::newRow("dossier neuf") << QString() << true << false;
        QTest::newRow("configuré avec Ninja") << u"Ninja"_s << false << false;
        QTest::newRow("configuré avec Unix Makefiles") << u"Unix Makefiles"_s << false << true;
    }
    void generateurDuDossier() {
        QFETCH(QString, generateur);
        QFETCH(bool, ninja);
        QFETCH(bool, dit);
        Preparation p;
        const QString build = p.dossier.filePath(u"build"_s);
        QVERIFY(QDir().mkpath(build));
        if (!generateur.isEmpty()) {
            QFile cache(build + u"/CMakeCache.txt"_s);
            QVERIFY(cache.open(QIODevice::WriteOnly));
            cache.write(("CMAKE_GENERATOR:INTERNAL=" + generateur + "\n").toUtf8());
        }
        const QString sortie =
            p.lance(u"construit %1 -DCMAKE_BUILD_TYPE=RelWithDebInfo"_s.arg(build));
        QVERIFY2(!sortie.startsWith(u"ÉCHEC"_s), qPrintable(sortie));
        const QStringList appels = p.appels();
        QCOMPARE(appels.size(), 2); // configure, then build
        QCOMPARE(appels.first().contains(u"-G Ninja"_s), ninja);
        QVERIFY(appels.first().contains(u"-DCMAKE_BUILD_TYPE=RelWithDebInfo"_s));
        QVERIFY(appels.last().startsWith(u"cmake DEBIAN_FRONTEND= --build %1"_s.arg(build)));
        QCOMPARE(sortie.contains(u"« Unix Makefiles »"_s), dit);
    }

    // The packages are installed without a question, through sudo (which drops the caller's
    // environment) as for root.
    void aptSansQuestion_data() {
        QTest::addColumn<QString>("uid");
        QTest::newRow("par sudo") << u"1000"_s;
        QTest::newRow("root") << u"0"_s;
    }
    void aptSansQuestion() {
        QFETCH(QString, uid);
        Preparation p;
        p.ecrit(u"id"_s, u"echo %1\n"_s.arg(uid));
        const QString sortie = p.lance(u"prepare_paquets"_s);
        QVERIFY2(!sortie.startsWith(u"ÉCHEC"_s), qPrintable(sortie));
        const QStringList apt = p.appels().filter(QRegularExpression(u"^apt-get .* install "_s));
        QCOMPARE(apt.size(), 1);
        QVERIFY2(apt.first().startsWith(u"apt-get DEBIAN_FRONTEND=noninteractive "_s),
                 qPrintable(apt.first()));
    }
};

QTEST_GUILESS_MAIN(TestPreparation)
#include "tst_preparation.moc"
