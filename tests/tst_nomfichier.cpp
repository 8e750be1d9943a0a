#include "choosers/lecteurs.h"
#include "choosers/nomfichier.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The rules of the file choosers for names, patterns and paths.

namespace {

// The characters a name is made of, besides "*" and ".", which have their own places.
const QString permis = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789'-_#~?@"_s;

QString code(char32_t c) {
    return u"U+%1"_s.arg(QString::number(uint(c), 16).toUpper().rightJustified(4, u'0'));
}

} // namespace

class TestNomFichier : public QObject {
    Q_OBJECT
private slots:
    void nomsEtMotifs_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<bool>("valide");
        for (const char* nom : {"essai.rrr", "ESSAI", "essai", "essai.", "*.rrr", "*", "a.*", "?",
                                "a*.rrr", "a#~@'-_.r?r", "AB12.*", "a.rrr*", "Mesure-2_juin.RRR"})
            QTest::addRow("accepté %s", nom) << QString::fromUtf8(nom) << true;
        for (const char* nom : {"",           ".rrr",         "a*b",       "a.b.c",
                                "a.r*x",      "mesure 1.rrr", "été.rrr",   "**",
                                "*a",         "a.rrr ",       "/a",        "a.**",
                                "$",          "a$b",          "a$",        "a$/../../x.rrr",
                                "../x.rrr",   "..",           "a..",       "a..b",
                                "a/b.rrr",    "a\\b.rrr",     "C:\\x.rrr", "ı.rrr",
                                "ſ.rrr",      "ﬀ.rrr",        "essaı",     "ﬁchier",
                                "\u212A.rrr", "ǅ.rrr",        "Ａ.rrr",    "٣.rrr",
                                "a\tb",       "a\nb"})
            QTest::addRow("refusé %s", nom) << QString::fromUtf8(nom) << false;
    }
    void nomsEtMotifs() {
        QFETCH(QString, texte);
        QFETCH(bool, valide);
        QCOMPARE(nomvalide(texte), valide);
        // Ok's line is empty for a name and only for a name.
        QCOMPARE(raisonnomrefuse(texte).isEmpty(), valide && !contientjoker(texte));
    }

    // Every allowed character makes a name alone, begins one, sits inside one and in its
    // extension.
    void caracteresPermis_data() {
        QTest::addColumn<QChar>("c");
        for (const QChar c : permis)
            QTest::addRow("%s", qPrintable(QString(c))) << c;
    }
    void caracteresPermis() {
        QFETCH(QChar, c);
        for (const QString& nom : {QString(c), c + u".rrr"_s, u"x"_s + c + u"x.rrr"_s, u"x."_s + c,
                                   u"x"_s + c + u"*.r"_s})
            QVERIFY2(nomvalide(nom), qPrintable(nom));
        QCOMPARE(examinenom(u"x"_s + c).sorte, c == u'?' ? SorteNom::motif : SorteNom::nom);
    }

    // Every other character of the first 256, and the letters of other alphabets that look
    // like allowed ones or upper-case into them, are refused wherever they stand, and the
    // line under Ok names the first of them.
    void caracteresRefuses_data() {
        QTest::addColumn<uint>("c");
        for (char32_t c = 0; c < 0x100; ++c) {
            if (!permis.contains(QChar(c)) && c != U'*' && c != U'.')
                QTest::addRow("%s", qPrintable(code(c))) << uint(c);
        }
        for (const char32_t c :
             {U'ı',      U'ſ',      U'ﬀ',      U'ﬁ',      U'ß',      U'ẞ',      U'İ',
              U'\u212A', U'\u212B', U'ǅ',      U'Ａ',     U'ｚ',     U'０',     U'٣',
              U'²',      U'\u00A0', U'\u200B', U'\u2028', U'\u2215', U'\uFF0F', U'😀'})
            QTest::addRow("%s", qPrintable(code(c))) << uint(c);
    }
    void caracteresRefuses() {
        QFETCH(uint, c);
        const char32_t point = c;
        const QString s = QString::fromUcs4(&point, 1);
        for (const QString& nom : {s, s + u".rrr"_s, u"a"_s + s, u"a"_s + s + u"b.rrr"_s,
                                   u"a."_s + s, u"a.r"_s + s + u"r"_s, u"a*"_s + s, u"*."_s + s}) {
            QVERIFY2(!nomvalide(nom), qPrintable(code(c)));
            QVERIFY(!raisonnomrefuse(nom).isEmpty());
        }
        const ExamenNom examen = examinenom(u"ab"_s + s + u"cd.rrr"_s);
        QCOMPARE(examen.sorte, SorteNom::caractere);
        QCOMPARE(examen.position, 2);
    }

    // The line under Ok, for each way a text falls short of a name.
    void raisonsDuRefus_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("raison");
        const QString permisdits =
            u" Un nom ne prend que des lettres sans accent, des chiffres et ' - _ # ~ ? @."_s;
        QTest::newRow("nom") << u"essai.rrr"_s << QString();
        QTest::newRow("vide") << QString()
                              << u"Tapez un nom de fichier, ou choisissez-le dans la liste."_s;
        QTest::newRow("motif") << u"*.txt"_s
                               << u"« *.txt » est un motif (avec * ou ?) : il choisit les fichiers "
                                  "de la liste. Ok attend un nom sans * ni ?."_s;
        QTest::newRow("point initial") << u".rrr"_s << u"Un nom ne commence pas par un point."_s;
        QTest::newRow("second point")
            << u"a.b.c"_s << u"Un nom n'a qu'un point, celui de l'extension (essai.rrr)."_s;
        QTest::newRow("points qui remontent")
            << u"a..b"_s << u"Un nom n'a qu'un point, celui de l'extension (essai.rrr)."_s;
        QTest::newRow("étoile") << u"a*b"_s
                                << u"« * » ne se met qu'à la fin du nom ou de l'extension."_s;
        QTest::newRow("dollar") << u"a$/../../x.rrr"_s
                                << u"Caractère refusé : « $ »."_s + permisdits;
        QTest::newRow("séparateur")
            << u"a/b.rrr"_s
            << u"« / » n'est pas permis dans un nom : le dossier se choisit dans la liste de "
               "droite."_s;
        QTest::newRow("séparateur Windows")
            << u"a\\b.rrr"_s
            << u"« \\ » n'est pas permis dans un nom : le dossier se choisit dans la liste de "
               "droite."_s;
        QTest::newRow("blanc") << u"mesure 1.rrr"_s
                               << u"Caractère refusé : le blanc."_s + permisdits;
        QTest::newRow("accent") << u"été.rrr"_s << u"Caractère refusé : « é »."_s + permisdits;
        QTest::newRow("i sans point")
            << u"essaı.rrr"_s << u"Caractère refusé : « ı »."_s + permisdits;
        QTest::newRow("tabulation")
            << u"a\tb"_s << u"Caractère refusé : le caractère invisible U+0009."_s + permisdits;
        // Characters that show as a blank or as nothing are named by their code.
        QTest::newRow("espace insécable")
            << u"a\u00A0b"_s << u"Caractère refusé : le caractère invisible U+00A0."_s + permisdits;
        QTest::newRow("espace sans chasse")
            << u"a\u200Bb"_s << u"Caractère refusé : le caractère invisible U+200B."_s + permisdits;
        QTest::newRow("séparateur de ligne")
            << u"a\u2028b"_s << u"Caractère refusé : le caractère invisible U+2028."_s + permisdits;
        QTest::newRow("séparateur de paragraphe")
            << u"a\u2029b"_s << u"Caractère refusé : le caractère invisible U+2029."_s + permisdits;
        QTest::newRow("fin de ligne")
            << u"a\nb"_s << u"Caractère refusé : le caractère invisible U+000A."_s + permisdits;
        QTest::newRow("hors du plan de base")
            << u"a😀"_s << u"Caractère refusé : « 😀 »."_s + permisdits;
    }
    void raisonsDuRefus() {
        QFETCH(QString, texte);
        QFETCH(QString, raison);
        QCOMPARE(raisonnomrefuse(texte), raison);
    }

    void jokers() {
        QVERIFY(contientjoker(u"*.rrr"_s));
        QVERIFY(contientjoker(u"a?c"_s));
        QVERIFY(!contientjoker(u"essai.rrr"_s));
    }

    // The name a recording is saved under.
    void extensionAjoutee_data() {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("enregistre");
        QTest::addColumn<bool>("rrr");
        QTest::newRow("sans extension") << u"essai"_s << u"essai.rrr"_s << true;
        QTest::newRow("une lettre") << u"a"_s << u"a.rrr"_s << true;
        QTest::newRow("point final") << u"essai."_s << u"essai.rrr"_s << true;
        QTest::newRow(".rrr") << u"essai.rrr"_s << u"essai.rrr"_s << true;
        QTest::newRow(".RRR") << u"ESSAI.RRR"_s << u"ESSAI.RRR"_s << true;
        QTest::newRow(".Rrr") << u"essai.Rrr"_s << u"essai.Rrr"_s << true;
        QTest::newRow("autre extension") << u"essai.txt"_s << u"essai.txt"_s << false;
        QTest::newRow("extension courte") << u"essai.rr"_s << u"essai.rr"_s << false;
        QTest::newRow("extension longue") << u"essai.rrrr"_s << u"essai.rrrr"_s << false;
        QTest::newRow("rrr sans point") << u"essairrr"_s << u"essairrr.rrr"_s << true;
        QTest::newRow("rien") << QString() << QString() << false;
    }
    void extensionAjoutee() {
        QFETCH(QString, nom);
        QFETCH(QString, enregistre);
        QFETCH(bool, rrr);
        QCOMPARE(nomavecextension(nom), enregistre);
        QCOMPARE(extensionenregistrement(enregistre), rrr);
    }

    // The lists' order: without case first, upper case first among names that differ only
    // by case.
    void ordreDesNoms_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::newRow("majuscule avant minuscule suivante") << u"A.rrr"_s << u"b.rrr"_s;
        QTest::newRow("minuscule avant majuscule suivante") << u"a.rrr"_s << u"B.rrr"_s;
        QTest::newRow("même nom, majuscule d'abord") << u"A.rrr"_s << u"a.rrr"_s;
        QTest::newRow("même nom, majuscule plus loin d'abord") << u"aB.rrr"_s << u"ab.rrr"_s;
        QTest::newRow("la casse ne compte qu'à égalité") << u"ab.rrr"_s << u"AC.rrr"_s;
        QTest::newRow("extension en majuscules d'abord") << u"a.RRR"_s << u"a.rrr"_s;
        QTest::newRow("préfixe d'abord") << u"essai.rrr"_s << u"essai2.rrr"_s;
        QTest::newRow("chiffres avant lettres") << u"9.rrr"_s << u"a.rrr"_s;
        QTest::newRow("Z après a") << u"abc.rrr"_s << u"Zut.rrr"_s;
    }
    void ordreDesNoms() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QVERIFY(nomavant(a, b));
        QVERIFY(!nomavant(b, a));
        QVERIFY(!nomavant(a, a));
    }

    void cheminsComplets() {
        QCOMPARE(chemincomplet(u"C:\\"_s, u"a.rrr"_s, u'\\'), u"C:\\a.rrr"_s);
        QCOMPARE(chemincomplet(u"C:\\mesures"_s, u"a.rrr"_s, u'\\'), u"C:\\mesures\\a.rrr"_s);
        QCOMPARE(chemincomplet(u"/"_s, u"a.rrr"_s), u"/a.rrr"_s);
        QCOMPARE(chemincomplet(u"/home/eleve"_s, u"a.rrr"_s), u"/home/eleve/a.rrr"_s);
    }

    // Widths of 10 per character: a caption narrower than the width is shown whole, a wider
    // one loses whole directory names from its start, the last one cut only when alone;
    // and the caption is always narrower than the width. '/home/eleve/mesures/juin' is
    // 240 wide; '/...' 40, '/eleve/mesures/juin' 190.
    void cheminsRaccourcis_data() {
        QTest::addColumn<QString>("chemin");
        QTest::addColumn<QChar>("separateur");
        QTest::addColumn<int>("largeur");
        QTest::addColumn<QString>("legende");
        const QString juin = u"/home/eleve/mesures/juin"_s;
        QTest::newRow("court, entier")
            << u"C:\\mesures"_s << QChar(u'\\') << 200 << u"C:\\mesures"_s;
        QTest::newRow("entier, un pixel de plus que lui") << juin << QChar(u'/') << 241 << juin;
        QTest::newRow("juste sa largeur : raccourci")
            << juin << QChar(u'/') << 240 << u"/.../eleve/mesures/juin"_s;
        QTest::newRow("un pixel de moins que lui")
            << juin << QChar(u'/') << 239 << u"/.../eleve/mesures/juin"_s;
        QTest::newRow("le reste un pixel plus étroit que la place")
            << juin << QChar(u'/') << 231 << u"/.../eleve/mesures/juin"_s;
        QTest::newRow("le reste juste large comme la place")
            << juin << QChar(u'/') << 230 << u"/.../mesures/juin"_s;
        QTest::newRow("un nom en moins")
            << u"C:\\eleves\\mesures\\juin"_s << QChar(u'\\') << 200 << u"C:\\...\\mesures\\juin"_s;
        QTest::newRow("plusieurs noms en moins")
            << u"/home/eleve/classe/mesures/juin"_s << QChar(u'/') << 180 << u"/.../mesures/juin"_s;
        QTest::newRow("au moins un nom en moins")
            << u"/home/eleve"_s << QChar(u'/') << 110 << u"/.../eleve"_s;
        QTest::newRow("dernier nom coupé")
            << u"/home/enregistrements-de-juin"_s << QChar(u'/') << 150 << u"/.../enregi..."_s;
        QTest::newRow("plus étroit que la tête") << juin << QChar(u'/') << 35 << u"/.."_s;
        QTest::newRow("aucune place") << juin << QChar(u'/') << 5 << QString();
    }
    void cheminsRaccourcis() {
        QFETCH(QString, chemin);
        QFETCH(QChar, separateur);
        QFETCH(int, largeur);
        QFETCH(QString, legende);
        const auto mesure = [](const QString& t) { return int(t.size()) * 10; };
        const QString obtenue = raccourcitchemin(chemin, largeur, mesure, separateur);
        QCOMPARE(obtenue, legende);
        QVERIFY(mesure(obtenue) < largeur);
    }

    // Widths that do not add up (a pair of letters narrower together than apart, as kerning
    // makes them): the caption is still narrower than the width.
    void cheminsRaccourcisCrenage() {
        const auto mesure = [](const QString& t) {
            return int(t.size()) * 10 + (t.size() >= 10 ? 25 : 0);
        };
        const QString chemin = u"/home/eleve/mesures/juin"_s;
        for (int largeur = 0; largeur <= mesure(chemin) + 1; ++largeur) {
            const QString obtenue = raccourcitchemin(chemin, largeur, mesure);
            QVERIFY2(mesure(obtenue) < largeur || (obtenue.isEmpty() && largeur == 0),
                     qPrintable(u"%1 : %2"_s.arg(largeur).arg(obtenue)));
        }
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
