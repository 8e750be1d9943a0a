#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Runs the built lumicom-tool as a script would and checks its output byte for byte.
class TstLumicomTool : public QObject {
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void erreurs_data();
    void erreurs();
    void aide();
    void aideDesSousCommandes();
    void portAbsentNommeLesPorts();
};

namespace {

struct Resultat {
    int statut = -1;
    QByteArray sortie;
    QByteArray erreurs;
};

Resultat
execute(const QStringList& arguments,
        const QProcessEnvironment& environnement = QProcessEnvironment::systemEnvironment()) {
    QProcess processus;
    processus.setProcessEnvironment(environnement);
    processus.start(QStringLiteral(LUMICOM_TOOL), arguments);
    Resultat resultat;
    if (!processus.waitForFinished(30000) || processus.exitStatus() != QProcess::NormalExit) {
        return resultat;
    }
    resultat.statut = processus.exitCode();
    resultat.sortie = processus.readAllStandardOutput();
    resultat.erreurs = processus.readAllStandardError();
    return resultat;
}

} // namespace

void TstLumicomTool::encode_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("sortie");
    QTest::newRow("morse a b") << QStringList{"encode", "morse", "a b"}
                               << QByteArray(".-  -... \n.- (a) -... (b) \n");
    QTest::newRow("morse Ab") << QStringList{"encode", "morse", "Ab"}
                              << QByteArray(" -... \n-... (b) \n");
    QTest::newRow("morse vide") << QStringList{"encode", "morse", ""} << QByteArray("\n\n");
    QTest::newRow("binaire a b") << QStringList{"encode", "binary", "a b"}
                                 << QByteArray("101100001 101100010\n"
                                               "01100001 (a)   ( ) 01100010 (b) \n");
    QTest::newRow("binaire é, sortie UTF-8") << QStringList{"encode", "binary", QStringLiteral("é")}
                                             << QByteArray("111101001\n11101001 (\xC3\xA9) \n");
}

void TstLumicomTool::encode() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, sortie);
    const Resultat resultat = execute(arguments);
    QCOMPARE(resultat.statut, 0);
    QCOMPARE(resultat.sortie, sortie);
    QVERIFY(resultat.erreurs.isEmpty());
}

void TstLumicomTool::erreurs_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("sans sous-commande") << QStringList{};
    QTest::newRow("sous-commande inconnue") << QStringList{"encoder", "morse", "a"};
    QTest::newRow("texte manquant") << QStringList{"encode", "morse"};
    QTest::newRow("argument de trop") << QStringList{"encode", "morse", "a", "b"};
    QTest::newRow("codage inconnu") << QStringList{"encode", "hexa", "a"};
    QTest::newRow("caractère sans code") << QStringList{"encode", "binary", QStringLiteral("a中")};
    QTest::newRow("caractère sans code, morse")
        << QStringList{"encode", "morse", QStringLiteral("中")};
}

void TstLumicomTool::erreurs() {
    QFETCH(QStringList, arguments);
    const Resultat resultat = execute(arguments);
    QCOMPARE(resultat.statut, 2);
    QVERIFY(resultat.sortie.isEmpty());
    QVERIFY(resultat.erreurs.startsWith("lumicom-tool : "));
}

void TstLumicomTool::aide() {
    const Resultat resultat = execute({QStringLiteral("--help")});
    QCOMPARE(resultat.statut, 0);
    const QString texte = QString::fromUtf8(resultat.sortie);
    QVERIFY(texte.startsWith(u"Utilisation : lumicom-tool"));
    QVERIFY(texte.contains(u"\n  encode morse|binary TEXTE\n"));
}

// Every subcommand gives its own help, in French, and does nothing else.
void TstLumicomTool::aideDesSousCommandes() {
    for (const char* nom : {"encode", "send", "receive", "bench-link", "decode-recording"}) {
        const Resultat resultat = execute({QString::fromLatin1(nom), QStringLiteral("--help")});
        QCOMPARE(resultat.statut, 0);
        QVERIFY2(QString::fromUtf8(resultat.sortie)
                     .startsWith(QStringLiteral("Utilisation : lumicom-tool %1 ").arg(nom)),
                 resultat.sortie.constData());
        QVERIFY(resultat.erreurs.isEmpty());
    }
}

// A port that does not exist: the message names the ports that do, those of the ports
// directory first. No Qt notice about the environment reaches the terminal.
void TstLumicomTool::portAbsentNommeLesPorts() {
    QTemporaryDir dossier;
    for (const char* nom : {"COM1", "COM2"}) {
        QFile f(dossier.filePath(QString::fromLatin1(nom)));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LUMICOM_PORTS"), dossier.path());
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    const Resultat r = execute({"send", "--port", "7", "--coding", "b", "--text", "x"}, env);
    QCOMPARE(r.statut, 2);
    const QString erreurs = QString::fromUtf8(r.erreurs);
    QVERIFY2(erreurs.contains(QStringLiteral("COM 1 et COM 2")), qPrintable(erreurs));
    QVERIFY2(!erreurs.contains(QStringLiteral("XDG_RUNTIME_DIR")), qPrintable(erreurs));
}

QTEST_GUILESS_MAIN(TstLumicomTool)
#include "tst_lumicomtool.moc"
