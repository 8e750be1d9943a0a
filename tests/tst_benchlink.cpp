#include "codes/predefinis.h"

#include <QProcess>
#include <QTest>

// lumicom-tool bench-link, run as a script would: one message over the virtual bench.
class TstBenchLink : public QObject {
    Q_OBJECT

private slots:
    void messages_data();
    void messages();
    void erreurs_data();
    void erreurs();
};

namespace {

struct Resultat {
    int statut = -1;
    QByteArray sortie;
    QByteArray erreurs;
};

Resultat execute(const QStringList& arguments) {
    QProcess processus;
    processus.start(QStringLiteral(LUMICOM_TOOL), QStringList{"bench-link"} + arguments);
    Resultat resultat;
    if (!processus.waitForFinished(60000) || processus.exitStatus() != QProcess::NormalExit)
        return resultat;
    resultat.statut = processus.exitCode();
    resultat.sortie = processus.readAllStandardOutput();
    resultat.erreurs = processus.readAllStandardError();
    return resultat;
}

} // namespace

void TstBenchLink::messages_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("sortie");
    QTest::newRow("morse sos") << QStringList{"--coding", "m", "--speed", "1", "--text", "sos"}
                               << " ... --- ... \n... (s) --- (o) ... (s)  = sos\nsos\n";
    // At x 2 the 2 s of darkness after the start mark make three silence units of 0.6 s.
    QTest::newRow("morse x 2") << QStringList{"--speed", "2", "--text", "sos"}
                               << "   ... --- ... \n... (s) --- (o) ... (s)  =   sos\n  sos\n";
    QTest::newRow("binaire e1") << QStringList{"--coding", "b", "--text", "e1"}
                                << " 101100101100110001 111111111\n" + phrasecode(1) + u'\n' +
                                       phrasecode(1) + u'\n';
    QTest::newRow("binaire saut de ligne")
        << QStringList{"--coding", "b", "--text", "a\nb"}
        << QStringLiteral(" 101100001100001010101100010 111111111\n a␊b\n a␊b\n");
}

void TstBenchLink::messages() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, sortie);
    const Resultat resultat = execute(arguments);
    QCOMPARE(resultat.statut, 0);
    QCOMPARE(QString::fromUtf8(resultat.sortie), sortie);
}

void TstBenchLink::erreurs_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("option inconnue") << QStringList{"--vitesse", "1"};
    QTest::newRow("valeur manquante") << QStringList{"--text"};
    QTest::newRow("argument seul") << QStringList{"sos"};
    QTest::newRow("codage inconnu") << QStringList{"--coding", "x"};
    QTest::newRow("vitesse hors menu") << QStringList{"--speed", "1.5"};
    QTest::newRow("intervalle") << QStringList{"--interval", "40"};
    QTest::newRow("bruit négatif") << QStringList{"--noise", "-0.1"};
    QTest::newRow("scintillement") << QStringList{"--flicker", "fort"};
    QTest::newRow("graine") << QStringList{"--seed", "-1"};
    QTest::newRow("caractère sans code") << QStringList{"--text", QStringLiteral("中")};
}

void TstBenchLink::erreurs() {
    QFETCH(QStringList, arguments);
    const Resultat resultat = execute(arguments);
    QCOMPARE(resultat.statut, 2);
    QVERIFY(resultat.sortie.isEmpty());
    QVERIFY(resultat.erreurs.contains("lumicom-tool : "));
}

QTEST_GUILESS_MAIN(TstBenchLink)
#include "tst_benchlink.moc"
