#include "codes/predefinis.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
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
    void messageCoupe_data();
    void messageCoupe();
    void optionsNouvelles();
    void glissements();
    void parasites();
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
    // At x 2 the 2 s of darkness after the start mark make three silence units of 0.6 s in
    // the code string as it comes; they are no blanks of the text.
    QTest::newRow("morse x 2") << QStringList{"--speed", "2", "--text", "sos"}
                               << "   ... --- ... \n... (s) --- (o) ... (s)  = sos\nsos\n";
    QTest::newRow("binaire e1") << QStringList{"--coding", "b", "--text", "e1"}
                                << "101100101100110001 111111111\n" + phrasecode(1) + u'\n' +
                                       phrasecode(1) + u'\n';
    QTest::newRow("binaire saut de ligne")
        << QStringList{"--coding", "b", "--text", "a\nb"}
        << QStringLiteral("101100001100001010101100010 111111111\na␊b\na␊b\n");
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
    QTest::newRow("glissement négatif") << QStringList{"--glissement", "-1"};
    QTest::newRow("arrêts au-delà de 1") << QStringList{"--arrets", "1.5"};
    QTest::newRow("parasites négatifs") << QStringList{"--parasites", "-1"};
    QTest::newRow("parasites au-delà de 100") << QStringList{"--parasites", "101"};
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

// A message longer than the recording is said to be cut, or perhaps cut when the recording
// ends in the darkness between two of its words, on its own line under the text; one that
// ends inside the recording is not.
void TstBenchLink::messageCoupe_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("coupe");
    QTest::newRow("question en binaire")
        << QStringList{"--coding", "br", "--text", "Quel est l'auteur de la relativité ? "} << true;
    QTest::newRow("Salut !") << QStringList{"--coding", "br", "--text", "Salut !"} << false;
    QTest::newRow("question sur 12800 mesures")
        << QStringList{"--coding", "br", "--samples", "12800",
                       "--speed",  "2",  "--text",    "Quel est l'auteur de la relativité ? "}
        << false;
    QTest::newRow("morse long") << QStringList{"--coding", "mr", "--text",
                                               "sos de lumi sos de lumi sos de lumi"}
                                << true;
    QTest::newRow("morse court") << QStringList{"--coding", "mr", "--text", "sos 73"} << false;
}

void TstBenchLink::messageCoupe() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, coupe);
    const Resultat r = execute(arguments);
    QCOMPARE(r.statut, 0);
    const QStringList lignes = QString::fromUtf8(r.sortie).split(u'\n');
    const QStringList avis =
        lignes.filter(QRegularExpression(QStringLiteral("^Réception (peut-être )?incomplète :")));
    QCOMPARE(avis.size(), coupe ? 1 : 0);
    if (coupe) {
        QVERIFY(avis.front().contains(QStringLiteral("plus longtemps que l'enregistrement")));
        // Under the text, before messagerecu, the last line.
        QCOMPARE(lignes.indexOf(avis.front()), lignes.size() - 3);
    }
}

// The room light and the instant of sending move where the samples fall; the options of
// the menu Options apply to both stations.
void TstBenchLink::optionsNouvelles() {
    const Resultat salle =
        execute({"--coding", "mr", "--room-light", "1", "--offset", "2.0371", "--text", "sos"});
    QCOMPARE(salle.statut, 0);
    QCOMPARE(QString::fromUtf8(salle.sortie).section(u'\n', -2, -2).trimmed(),
             QStringLiteral("sos"));
    const Resultat robuste =
        execute({"--coding", "br", "--noise", "0.1", "--robuste", "--blocs", "--text", "Bruit !"});
    QCOMPARE(robuste.statut, 0);
    QCOMPARE(QString::fromUtf8(robuste.sortie).section(u'\n', -2, -2).trimmed(),
             QStringLiteral("Bruit !"));
    for (const QStringList& faux : {QStringList{"--room-light", "6"}, QStringList{"--offset", "0"},
                                    QStringList{"--robuste=oui"}})
        QCOMPARE(execute(faux).statut, 2);
}

// The slips of a busy emitter reach the light: a few milliseconds are read through, forty
// are not.
void TstBenchLink::glissements() {
    const auto recu = [](const QString& glissement) {
        const Resultat r = execute(
            {"--coding", "mr", "--glissement", glissement, "--text", "sos 73", "--seed", "3"});
        return QString::fromUtf8(r.sortie).section(u'\n', -2, -2).trimmed();
    };
    QCOMPARE(recu(QStringLiteral("4")), QStringLiteral("sos 73"));
    QVERIFY(recu(QStringLiteral("40")) != u"sos 73");
}

// Glitches of one sample reach the recording (a lone sample on the other side of the
// middle from both its neighbours, which the light of the emitter alone never gives), the
// program's decoders read through them, and the same seed gives the same recording again.
void TstBenchLink::parasites() {
    const QTemporaryDir dossier;
    const auto seuls = [&dossier](const QStringList& options, const QString& nom,
                                  QByteArray* contenu = nullptr) {
        const QString chemin = dossier.filePath(nom);
        const Resultat r = execute(
            QStringList{"--coding", "br", "--text", "Salut !", "--seed", "4", "--save", chemin} +
            options);
        if (r.statut != 0 || QString::fromUtf8(r.sortie).section(u'\n', -2, -2) != u"Salut !")
            return -1;
        QFile f(chemin);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray octets = f.readAll();
        if (contenu)
            *contenu = octets;
        std::vector<int> v;
        for (const QByteArray& l : octets.split('\n').mid(35))
            if (l.simplified().split(' ').size() == 2)
                v.push_back(l.simplified().split(' ').at(1).toInt());
        int n = 0;
        for (std::size_t k = 1; k + 1 < v.size(); ++k)
            n += (v[k] > 78) != (v[k - 1] > 78) && (v[k] > 78) != (v[k + 1] > 78);
        return n;
    };
    QByteArray a, b;
    QCOMPARE(seuls({}, QStringLiteral("sans.rrr")), 0);
    QVERIFY(seuls({"--parasites", "3"}, QStringLiteral("a.rrr"), &a) >= 1);
    QVERIFY(seuls({"--parasites", "3"}, QStringLiteral("b.rrr"), &b) >= 1);
    QCOMPARE(a, b);
}

QTEST_GUILESS_MAIN(TstBenchLink)
#include "tst_benchlink.moc"
