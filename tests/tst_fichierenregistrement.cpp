#include "recording/copiecontrole.h"
#include "recording/fichierenregistrement.h"
#include "recording/lectureenregistrement.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

// The header a Regressi file must begin with, typed here line by line from the format
// (0xFB is "û" in code page 1252, 0x7F ends the header).
const QByteArray enteteattendue = QByteArrayLiteral("EVARISTE REGRESSI 2.0\r\n"
                                                    "\r\n"
                                                    " n R\r\n"
                                                    "\r\n"
                                                    "\r\n"
                                                    "\xFB"
                                                    "2 EXPR VARIABLE\r\n"
                                                    "\r\n"
                                                    "\r\n"
                                                    "\xFB"
                                                    "2 INCERT VARIABLE\r\n"
                                                    "\r\n"
                                                    "\r\n"
                                                    "\xFB"
                                                    "2 UNITE VARIABLE \r\n"
                                                    "\r\n"
                                                    "\r\n"
                                                    "\xFB"
                                                    "17 CFG\r\n"
                                                    "n\r\nR\r\nn\r\n"
                                                    "\r\n\r\n"
                                                    "FALSE\r\nFALSE\r\nFALSE\r\n"
                                                    "0\r\n1\r\n"
                                                    "TRUE\r\nTRUE\r\n"
                                                    "FALSE\r\n"
                                                    "RAD\r\n"
                                                    "2\r\n"
                                                    "FALSE\r\nFALSE\r\n"
                                                    "\xFB"
                                                    "1 INTERFACE \r\n"
                                                    "Clavier  \r\n"
                                                    "\x7F\r\n");

QByteArray contenufichier(const QString& chemin) {
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void ecritfichier(const QString& chemin, const QByteArray& octets) {
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(octets), octets.size());
}

// The values the reader gives for a whole file.
QList<double> valeurslues(const QString& chemin) {
    LectureEnregistrement enregistrement;
    QString erreur;
    if (!enregistrement.ouvre(chemin, &erreur)) {
        qWarning("%s", qPrintable(erreur));
        return {qQNaN()}; // equal to no expected list
    }
    QList<double> valeurs;
    double v = -1;
    while (enregistrement.suivante(v))
        valeurs.append(v);
    return valeurs;
}

// 35 header lines of any content, LF-ended, to put in front of test samples.
QByteArray enteteLF() {
    QByteArray entete;
    for (int n = 1; n <= lignesenteteenregistrement; ++n)
        entete += n % 3 == 0 ? QByteArray("\n") : "  1  99 entete " + QByteArray::number(n) + '\n';
    return entete;
}

std::vector<QByteArray> tableessai() {
    std::vector<QByteArray> tab(12802);
    for (std::size_t k = 0; k < tab.size(); ++k)
        tab[k] = ' ' + QByteArray::number(static_cast<int>(k * 7 % 256));
    return tab;
}

#ifdef Q_OS_UNIX
// Runs `action` while files may not grow beyond `octets` bytes: writes then stop part of
// the way through, as on a full disk. False when the limit cannot be set.
bool souslimitedetaille(rlim_t octets, const std::function<void()>& action) {
    rlimit ancienne{};
    if (getrlimit(RLIMIT_FSIZE, &ancienne) != 0)
        return false;
    rlimit limite = ancienne;
    limite.rlim_cur = octets;
    const auto ancienSignal = std::signal(SIGXFSZ, SIG_IGN);
    const bool posee = setrlimit(RLIMIT_FSIZE, &limite) == 0;
    if (posee) {
        action();
        setrlimit(RLIMIT_FSIZE, &ancienne);
    }
    std::signal(SIGXFSZ, ancienSignal);
    return posee;
}
#endif

} // namespace

class TestFichierEnregistrement : public QObject {
    Q_OBJECT

    QTemporaryDir donnees_;
    QTemporaryDir dossier_;

    QString chemin(const QString& nom) const { return dossier_.filePath(nom); }

private slots:
    void initTestCase() {
        // The control copy must never land in the real home folder.
        QVERIFY(donnees_.isValid() && dossier_.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(donnees_.path()));
    }

    // --- Writer ---------------------------------------------------------------------

    void enteteOctetParOctet() { QCOMPARE(enteteenregistrement(), enteteattendue); }

    void enregistrementDe6400Mesures() {
        const QString f = chemin("6400.rrr");
        QString erreur = "non vidé";
        QVERIFY(ecritenregistrement(f, tableessai(), 6400, &erreur));
        QVERIFY(erreur.isEmpty());
        const QByteArray octets = contenufichier(f);

        QVERIFY(octets.startsWith("EVARISTE REGRESSI 2.0\r\n"));
        QVERIFY(octets.startsWith(enteteattendue));
        QVERIFY(octets.endsWith("\r\n"));
        // Every line feed is part of a CR LF.
        QCOMPARE(octets.count('\n'), octets.count("\r\n"));
        QList<QByteArray> lignes = octets.split('\n');
        QCOMPARE(lignes.takeLast(), QByteArray());
        QCOMPARE(lignes.size(), 6436);
        for (int n = 1; n <= 35; ++n) {
            const bool marqueur = n == 6 || n == 9 || n == 12 || n == 15 || n == 33;
            QCOMPARE(lignes[n - 1].startsWith('\xFB'), marqueur);
        }
        QCOMPARE(lignes[34], QByteArray("\x7F\r"));
        QVERIFY(lignes[35].startsWith("  0"));
        QCOMPARE(lignes[35], QByteArray("  0  0 \r"));
        QCOMPARE(lignes[36], QByteArray("  1  7 \r"));
        QCOMPARE(lignes.last(), QByteArray("  6400  0 \r")); // 6400 × 7 = 175 × 256
    }

    void lignesDeMesure_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<QByteArray>("valeur");
        QTest::addColumn<QByteArray>("attendu");
        QTest::newRow("0 37") << 0 << QByteArray(" 37") << QByteArray("  0  37 ");
        QTest::newRow("12 7") << 12 << QByteArray(" 7") << QByteArray("  12  7 ");
        QTest::newRow("6400 vide") << 6400 << QByteArray() << QByteArray("  6400  ");
        QTest::newRow("12801 255") << 12801 << QByteArray(" 255") << QByteArray("  12801  255 ");
    }
    void lignesDeMesure() {
        QFETCH(int, k);
        QFETCH(QByteArray, valeur);
        QFETCH(QByteArray, attendu);
        QCOMPARE(ligneenregistrement(k, valeur), attendu);
    }

    void indicesAuDelaDeLaTableSontVides() {
        const std::vector<QByteArray> tab = {" 1", " 2", QByteArray()};
        const QByteArray contenu = contenuenregistrement(tab, 4);
        QCOMPARE(contenu.mid(enteteattendue.size()),
                 QByteArray("  0  1 \r\n  1  2 \r\n  2  \r\n  3  \r\n  4  \r\n"));
        QCOMPARE(contenuenregistrement(tableessai(), 12800).count("\r\n"), 35 + 12801);
    }

    void cheminVideNEcritRien() {
        QString erreur = "non vidé";
        QVERIFY(!ecritenregistrement(QString(), tableessai(), 6400, &erreur));
        QVERIFY(erreur.isEmpty());
    }

    void dossierInexistant() {
        const QString f = chemin("absent/essai.rrr");
        QString erreur;
        QVERIFY(!ecritenregistrement(f, tableessai(), 6400, &erreur));
        QVERIFY2(erreur.startsWith(QStringLiteral("Impossible d'enregistrer le fichier « %1 » : ")
                                       .arg(QDir::toNativeSeparators(f))),
                 qPrintable(erreur));
        QVERIFY2(erreur.contains(QStringLiteral("n'existe pas")), qPrintable(erreur));
        QVERIFY(!QFileInfo::exists(chemin("absent")));
    }

    void dossierEnLectureSeule() {
#ifdef Q_OS_UNIX
        if (::geteuid() == 0)
            QSKIP("root écrit partout, même dans un dossier en lecture seule");
        QDir(dossier_.path()).mkdir("protege");
        const QString dossier = chemin("protege");
        ecritfichier(dossier + "/essai.rrr", "ancien contenu\r\n");
        QVERIFY(QFile::setPermissions(dossier, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QString erreur;
        const bool ecrit = ecritenregistrement(dossier + "/neuf.rrr", tableessai(), 6400, &erreur);
        const bool remplace =
            ecritenregistrement(dossier + "/essai.rrr", tableessai(), 6400, nullptr);
        QFile::setPermissions(dossier, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        QVERIFY(!ecrit && !remplace);
        QVERIFY2(erreur.contains(QStringLiteral("l'écriture est refusée")), qPrintable(erreur));
        QCOMPARE(QDir(dossier).entryList(QDir::Files), QStringList{"essai.rrr"});
        QCOMPARE(contenufichier(dossier + "/essai.rrr"), QByteArray("ancien contenu\r\n"));
#else
        QSKIP("droits des dossiers propres à Unix");
#endif
    }

    void echecEnCoursDEcritureGardeLAncienFichier() {
#ifdef Q_OS_UNIX
        QDir(dossier_.path()).mkdir("limite");
        const QString f = chemin("limite/essai.rrr");
        ecritfichier(f, "ancien contenu\r\n");
        QString erreur;
        bool ecrit = true;
        if (!souslimitedetaille(
                4096, [&] { ecrit = ecritenregistrement(f, tableessai(), 6400, &erreur); }))
            QSKIP("limite de taille de fichier impossible à poser");
        QVERIFY(!ecrit);
        QVERIFY2(erreur.startsWith(
                     QStringLiteral("Impossible d'enregistrer le fichier « %1 » : ").arg(f)),
                 qPrintable(erreur));
        QCOMPARE(contenufichier(f), QByteArray("ancien contenu\r\n"));
        QCOMPARE(QDir(chemin("limite")).entryList(QDir::Files), QStringList{"essai.rrr"});
#else
        QSKIP("limite de taille de fichier propre à Unix");
#endif
    }

    void remplaceUnFichierExistant() {
        const QString f = chemin("remplace.rrr");
        ecritfichier(f, QByteArray(500000, 'x'));
        QVERIFY(ecritenregistrement(f, {" 5"}, 0, nullptr));
        QCOMPARE(contenufichier(f), enteteattendue + "  0  5 \r\n");
    }

    // --- Reader ---------------------------------------------------------------------

    void valeurDUneLigne_data() {
        QTest::addColumn<QByteArray>("ligne");
        QTest::addColumn<double>("attendu");
        QTest::newRow("enregistrement") << QByteArray("  0  37 ") << 37.0;
        QTest::newRow("entrée vide") << QByteArray("  6400  ") << 0.0;
        QTest::newRow("copie de contrôle") << QByteArray("  0 37 ") << 37.0;
        QTest::newRow("hors plage") << QByteArray("  5  300 ") << 300.0;
        QTest::newRow("négative") << QByteArray("  5  -5 ") << -5.0;
        QTest::newRow("sans blanc de tête") << QByteArray("5 12") << 12.0;
        QTest::newRow("décimale") << QByteArray(" 1 2.5") << 2.5;
        QTest::newRow("pas de blanc après l'indice") << QByteArray("  12") << 0.0;
        QTest::newRow("rien après le blanc") << QByteArray("  3 ") << 0.0;
        QTest::newRow("vide") << QByteArray() << 0.0;
        QTest::newRow("blancs seuls") << QByteArray("     ") << 0.0;
        QTest::newRow("texte") << QByteArray("  7  abc") << 0.0;
        QTest::newRow("NUL arrête le nombre") << QByteArray("  1  4\0 9", 9) << 4.0;
        QTest::newRow("NUL dans l'indice") << QByteArray("\0\0 7", 4) << 7.0;
    }
    void valeurDUneLigne() {
        QFETCH(QByteArray, ligne);
        QFETCH(double, attendu);
        QCOMPARE(LectureEnregistrement::valeurligne(ligne), attendu);
    }

    void allerRetour() {
        std::vector<QByteArray> tab = tableessai();
        tab[3].clear();
        tab[6400].clear();
        const QString f = chemin("aller-retour.rrr");
        QVERIFY(ecritenregistrement(f, tab, 6400, nullptr));
        const QList<double> valeurs = valeurslues(f);
        QCOMPARE(valeurs.size(), 6401);
        for (int k = 0; k <= 6400; ++k)
            QCOMPARE(valeurs[k], k == 3 || k == 6400 ? 0.0 : double(k * 7 % 256));
    }

    void finsDeLigne_data() {
        QTest::addColumn<QByteArray>("contenu");
        QTest::addColumn<QList<double>>("attendu");
        const QByteArray crlf = QByteArray(enteteattendue);
        QTest::newRow("LF seul") << enteteLF() + "  0  37 \n  1  12 \n" << QList<double>{37, 12};
        QTest::newRow("sans fin de dernière ligne")
            << crlf + "  0  37 \r\n  1  12" << QList<double>{37, 12};
        QTest::newRow("indice seul en dernière ligne")
            << crlf + "  0  37 \r\n  1" << QList<double>{37, 0};
        QTest::newRow("CR seul") << crlf + "  0  37 \r  1  12 \r" << QList<double>{37, 12};
        QTest::newRow("ligne vide comptée") << crlf + "\r\n  1  12 \r\n" << QList<double>{0, 12};
        QTest::newRow("plus court que l'en-tête") << QByteArray(30, '\n') << QList<double>{};
        QTest::newRow("quelques octets") << QByteArray("EVA") << QList<double>{};
        QTest::newRow("vide") << QByteArray() << QList<double>{};
        QTest::newRow("en-tête seul") << crlf << QList<double>{};
        QTest::newRow("octets NUL")
            << QByteArray(35, '\n') + QByteArray("  0 1\0 2\r\n\0\0\0 9\r\n", 17)
            << QList<double>{1, 9};
    }
    void finsDeLigne() {
        QFETCH(QByteArray, contenu);
        QFETCH(QList<double>, attendu);
        const QString f = chemin("fins.rrr");
        ecritfichier(f, contenu);
        QCOMPARE(valeurslues(f), attendu);
    }

    void lignesDePlusieursMegaoctets() {
        // One such line in the header, one among the samples, one at the very end without
        // line end: each counts as one line.
        const QByteArray longue(5 * 1024 * 1024, '8');
        QByteArray contenu = enteteattendue;
        contenu.insert(0, longue);
        contenu += "  0  42" + longue + "\r\n  1  43 \r\n  2  44 " + longue;
        const QString f = chemin("longue.rrr");
        ecritfichier(f, contenu);
        const QList<double> valeurs = valeurslues(f);
        QCOMPARE(valeurs.size(), 3);
        // The first value is read from the kept beginning of its line only.
        // The values are read from the kept beginning of their lines only: 251 digits
        // "42888..." for the first, 250 digits "44888..." (blanks ignored) for the last.
        QVERIFY2(valeurs[0] >= 4.2e250 && valeurs[0] < 4.3e250,
                 qPrintable(QString::number(valeurs[0])));
        QCOMPARE(valeurs[1], 43.0);
        QVERIFY2(valeurs[2] >= 4.4e249 && valeurs[2] < 4.5e249,
                 qPrintable(QString::number(valeurs[2])));
    }

    void millionsDeLignesEtOctetsAuHasard() {
        QByteArray contenu = enteteattendue;
        // Under the sanitizers, which make each line some thirty times slower, a tenth.
#ifdef LUMICOM_SANITIZE
        const int nombre = 200000;
#else
        const int nombre = 2000000;
#endif
        contenu.reserve(contenu.size() + nombre * 12);
        for (int k = 0; k < nombre; ++k)
            contenu += "  " + QByteArray::number(k) + "  " + QByteArray::number(k % 2) + " \r\n";
        const QString f = chemin("millions.rrr");
        ecritfichier(f, contenu);
        LectureEnregistrement enregistrement;
        QVERIFY(enregistrement.ouvre(f, nullptr));
        int lues = 0;
        double somme = 0;
        for (double v = 0; enregistrement.suivante(v); ++lues)
            somme += v;
        QCOMPARE(lues, nombre);
        QCOMPARE(somme, nombre / 2.0);
        double v = 0;
        QVERIFY(!enregistrement.suivante(v));

        // Random bytes: read to the end, one value per line end after the header.
        QByteArray hasard(1 << 20, '\0');
        QRandomGenerator generateur(1234);
        for (char& c : hasard)
            c = static_cast<char>(generateur.bounded(256));
        ecritfichier(f, hasard.replace('\r', 'x'));
        const qsizetype finslignes = hasard.count('\n') + (hasard.endsWith('\n') ? 0 : 1);
        QCOMPARE(valeurslues(f).size(), qMax<qsizetype>(0, finslignes - 35));
    }

    void ouvertureImpossible() {
        LectureEnregistrement enregistrement;
        QString erreur;
        const QString absent = chemin("absent.rrr");
        QVERIFY(!enregistrement.ouvre(absent, &erreur));
        QCOMPARE(erreur, QStringLiteral("Impossible d'ouvrir le fichier « %1 » : le fichier "
                                        "n'existe pas")
                             .arg(QDir::toNativeSeparators(absent)));
        QVERIFY(!enregistrement.ouvre(dossier_.path(), &erreur));
        QVERIFY2(erreur.startsWith(QStringLiteral("Impossible d'ouvrir le fichier")),
                 qPrintable(erreur));
        double v = 0;
        QVERIFY(!enregistrement.estouvert());
        QVERIFY(!enregistrement.suivante(v));
    }

    // --- Control copy ---------------------------------------------------------------

    void ligneDeControle() {
        QCOMPARE(lignecopiecontrole(0, "37"), QByteArray("  0 37 "));
        QCOMPARE(lignecopiecontrole(6367, ""), QByteArray("  6367  "));
    }

    void copieRelueParLeLecteur() {
        const QString attendu =
            donnees_.path() + "/" + QCoreApplication::applicationName() + "/controle.rrr";
        QCOMPARE(chemincopiecontrole(), attendu);
        {
            CopieControle copie;
            QVERIFY(copie.ouvre());
            QVERIFY(copie.active());
            QCOMPARE(copie.chemin(), attendu);
            copie.ajoute(0, "37");
            copie.ajoute(1, "12");
            copie.ajoute(2, "");
            copie.ajoute(3, "255");
            // Left open: the destructor closes it.
        }
        QCOMPARE(contenufichier(attendu),
                 enteteattendue + "  0 37 \r\n  1 12 \r\n  2  \r\n  3 255 \r\n");
        QCOMPARE(valeurslues(attendu), (QList<double>{37, 12, 0, 255}));

        // The next reception starts the copy afresh.
        CopieControle copie;
        QVERIFY(copie.ouvre());
        copie.ajoute(0, "9");
        copie.ferme();
        QVERIFY(!copie.active());
        QVERIFY(copie.raison().isEmpty());
        QCOMPARE(contenufichier(attendu), enteteattendue + "  0 9 \r\n");
    }

    void copieImpossibleResteInactive() {
        CopieControle copie;
        const QString f = chemin("absent/controle.rrr");
        QVERIFY(!copie.ouvre(f));
        QVERIFY(!copie.active());
        QVERIFY2(copie.raison().startsWith(
                     QStringLiteral("Impossible d'écrire la copie de contrôle « %1 » : ").arg(f)),
                 qPrintable(copie.raison()));
        copie.ajoute(0, "37");
        copie.ferme();
        QVERIFY(!QFileInfo::exists(f));

        // A data folder that cannot be created (a file stands in its way).
        const QByteArray xdg = qgetenv("XDG_DATA_HOME");
        ecritfichier(chemin("pas-un-dossier"), "x");
        qputenv("XDG_DATA_HOME", QFile::encodeName(chemin("pas-un-dossier")));
        const bool ouverte = copie.ouvre();
        qputenv("XDG_DATA_HOME", xdg);
        QVERIFY(!ouverte);
        QVERIFY(!copie.active());
        QVERIFY(!copie.raison().isEmpty());
        copie.ajoute(1, "12");
        copie.ferme();
        QCOMPARE(contenufichier(chemin("pas-un-dossier")), QByteArray("x"));
    }

    void copieArreteeEnCoursDeTelechargement() {
#ifdef Q_OS_UNIX
        const QString f = chemin("controle-limite.rrr");
        CopieControle copie;
        bool ouverte = false;
        bool activeEnCours = true;
        const bool posee = souslimitedetaille(4096, [&] {
            ouverte = copie.ouvre(f);
            for (int k = 0; k < 6368; ++k)
                copie.ajoute(k, "123");
            activeEnCours = copie.active();
            copie.ferme();
        });
        if (!posee)
            QSKIP("limite de taille de fichier impossible à poser");
        QVERIFY(ouverte);
        // The buffer filled long before the last value: the copy stopped there.
        QVERIFY(!activeEnCours);
        QVERIFY2(copie.raison().startsWith(
                     QStringLiteral("Impossible d'écrire la copie de contrôle « %1 » : ").arg(f)),
                 qPrintable(copie.raison()));
        const QByteArray ecrit = contenufichier(f);
        QVERIFY(ecrit.size() <= 4096);
        QVERIFY(ecrit.startsWith(enteteattendue + "  0 123 \r\n"));
#else
        QSKIP("limite de taille de fichier propre à Unix");
#endif
    }
};

QTEST_GUILESS_MAIN(TestFichierEnregistrement)
#include "tst_fichierenregistrement.moc"
