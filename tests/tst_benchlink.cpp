#include "codes/predefinis.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// lumicom-tool bench-link, run as a script would: one message over the virtual bench.
class TstBenchLink : public QObject {
    Q_OBJECT

private slots:
    void messages_data();
    void messages();
    void erreurs_data();
    void erreurs();
    void codagesRapides();
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
    QTest::newRow("mesures") << QStringList{"--coding", "br", "--samples", "6000"};
    QTest::newRow("enregistrement en lent") << QStringList{"--coding", "m", "--save", "x.rrr"};
}

void TstBenchLink::erreurs() {
    QFETCH(QStringList, arguments);
    const Resultat resultat = execute(arguments);
    QCOMPARE(resultat.statut, 2);
    QVERIFY(resultat.sortie.isEmpty());
    QVERIFY(resultat.erreurs.contains("lumicom-tool : "));
}

// The fast codings end with the sentence of e1 (a Morse 'sos' with the blanks of the
// darkness after it), and --save writes the recording station 2 holds.
void TstBenchLink::codagesRapides() {
    const QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("e1.rrr"));
    for (const char* codage : {"br", "mr"}) {
        const Resultat r = execute({"--coding", codage, "--text", "e1", "--save", chemin});
        QCOMPARE(r.statut, 0);
        QVERIFY(QString::fromUtf8(r.sortie).endsWith(u'\n' + phrasecode(1) + u'\n'));
        QFile fichier(chemin);
        QVERIFY(fichier.open(QIODevice::ReadOnly));
        const QList<QByteArray> lignes = fichier.readAll().split('\n');
        QCOMPARE(lignes.size(), 6436 + 1); // the last line end is followed by nothing
        QCOMPARE(lignes.at(0), "EVARISTE REGRESSI 2.0\r");
        QCOMPARE(lignes.at(34), "\x7f\r");
    }
    const Resultat sos = execute({"--coding", "mr", "--text", "sos"});
    QCOMPARE(sos.statut, 0);
    const QString derniere = QString::fromUtf8(sos.sortie).section(u'\n', -2, -2);
    QVERIFY2(derniere.startsWith(QStringLiteral("sos")) && derniere.trimmed() == u"sos",
             qPrintable(derniere));
}

QTEST_GUILESS_MAIN(TstBenchLink)
#include "tst_benchlink.moc"
