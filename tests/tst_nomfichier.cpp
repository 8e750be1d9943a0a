#include "choosers/lecteurs.h"
#include "choosers/nomfichier.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The rules of the file choosers for names, patterns and paths.

class TestNomFichier : public QObject {
    Q_OBJECT
private slots:
    void nomsEtMotifs_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<bool>("valide");
        for (const char* nom : {"essai.rrr", "ESSAI", "essai.", "*.rrr", "*", "a.*", "?", "a$b",
                                "a*.rrr", "a#~@'-_.r?r", "AB12.*"})
            QTest::addRow("accepté %s", nom) << QString::fromUtf8(nom) << true;
        for (const char* nom : {"", ".rrr", "a*b", "a.b.c", "a.r*x", "mesure 1.rrr", "été.rrr",
                                "**", "*a", "a.rrr ", "/a", "a.**", "$"})
            QTest::addRow("refusé %s", nom) << QString::fromUtf8(nom) << false;
    }
    void nomsEtMotifs() {
        QFETCH(QString, texte);
        QFETCH(bool, valide);
        QCOMPARE(nomvalide(texte), valide);
    }

    void jokers() {
        QVERIFY(contientjoker(u"*.rrr"_s));
        QVERIFY(contientjoker(u"a?c"_s));
        QVERIFY(!contientjoker(u"essai.rrr"_s));
    }

    void cheminsComplets() {
        QCOMPARE(chemincomplet(u"C:\\"_s, u"a.rrr"_s, u'\\'), u"C:\\a.rrr"_s);
        QCOMPARE(chemincomplet(u"C:\\mesures"_s, u"a.rrr"_s, u'\\'), u"C:\\mesures\\a.rrr"_s);
        QCOMPARE(chemincomplet(u"/"_s, u"a.rrr"_s), u"/a.rrr"_s);
        QCOMPARE(chemincomplet(u"/home/eleve"_s, u"a.rrr"_s), u"/home/eleve/a.rrr"_s);
    }

    // Widths of 10 per character: a caption narrower than the width is shown whole, a wider
    // one loses whole directory names from its start, the last one cut only when alone.
    void cheminsRaccourcis_data() {
        QTest::addColumn<QString>("chemin");
        QTest::addColumn<QChar>("separateur");
        QTest::addColumn<int>("largeur");
        QTest::addColumn<QString>("legende");
        QTest::newRow("court, entier")
            << u"C:\\mesures"_s << QChar(u'\\') << 200 << u"C:\\mesures"_s;
        QTest::newRow("un nom en moins")
            << u"C:\\eleves\\mesures\\juin"_s << QChar(u'\\') << 200 << u"C:\\...\\mesures\\juin"_s;
        QTest::newRow("plusieurs noms en moins")
            << u"/home/eleve/classe/mesures/juin"_s << QChar(u'/') << 180 << u"/.../mesures/juin"_s;
        QTest::newRow("au moins un nom en moins")
            << u"/home/eleve"_s << QChar(u'/') << 110 << u"/.../eleve"_s;
        QTest::newRow("dernier nom coupé")
            << u"/home/enregistrements-de-juin"_s << QChar(u'/') << 150 << u"/.../enregi..."_s;
    }
    void cheminsRaccourcis() {
        QFETCH(QString, chemin);
        QFETCH(QChar, separateur);
        QFETCH(int, largeur);
        QFETCH(QString, legende);
        const auto mesure = [](const QString& t) { return int(t.size()) * 10; };
        const QString obtenue = raccourcitchemin(chemin, largeur, mesure, separateur);
        QCOMPARE(obtenue, legende);
        QVERIFY(obtenue == chemin || mesure(obtenue) < largeur + 10 * 4);
    }

    void lecteurDUnDossier() {
        const std::vector<Lecteur> lecteurs = {
            {u"/"_s, u"/"_s}, {u"maison"_s, u"/home/eleve"_s}, {u"clé"_s, u"/media/eleve/CLE"_s}};
        QCOMPARE(lecteurde(lecteurs, u"/home/eleve/mesures"_s), 1);
        QCOMPARE(lecteurde(lecteurs, u"/home/eleve"_s), 1);
        QCOMPARE(lecteurde(lecteurs, u"/home/elevebis"_s), 0);
        QCOMPARE(lecteurde(lecteurs, u"/media/eleve/CLE/juin/"_s), 2);
        QCOMPARE(lecteurde(lecteurs, u"/tmp"_s), 0);
    }

    // The machine's drives: on Linux the root first, the home directory when it is not the
    // root, every one readable.
    void lecteursDeLaMachine() {
        const std::vector<Lecteur> lecteurs = lecteursdisponibles();
        QVERIFY(!lecteurs.empty());
#ifndef Q_OS_WIN
        QCOMPARE(lecteurs.front().racine, u"/"_s);
#endif
        for (const Lecteur& l : lecteurs)
            QVERIFY2(!l.libelle.isEmpty() && lecteurlisible(l), qPrintable(l.racine));
    }
};

QTEST_APPLESS_MAIN(TestNomFichier)
#include "tst_nomfichier.moc"
