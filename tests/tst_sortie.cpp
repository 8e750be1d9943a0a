#include "tools/souscommande.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The line of the headless tool's standard error that is written again in place as a
// download goes on.

class TestSortie : public QObject {
    Q_OBJECT
private slots:
    void ligneEnPlace() {
        qsizetype longueur = -1;
        // The first text begins the line as it is.
        QCOMPARE(texteEnPlace(u"abcdef"_s, longueur, false), u"abcdef"_s);
        QCOMPARE(longueur, 6);
        // A text as long, or longer: back to the start, nothing to cover.
        QCOMPARE(texteEnPlace(u"ghijkl"_s, longueur, false), u"\rghijkl"_s);
        QCOMPARE(texteEnPlace(u"mnopqrs"_s, longueur, false), u"\rmnopqrs"_s);
        // A shorter one covers the end of the old line with blanks.
        QCOMPARE(texteEnPlace(u"tu"_s, longueur, false), u"\rtu     "_s);
        QCOMPARE(longueur, 2);
        // The last one ends the line.
        QCOMPARE(texteEnPlace(u"v"_s, longueur, true), u"\rv \n"_s);
        QCOMPARE(longueur, -1);
        // A line ended is ended once; the next text begins a new one.
        QCOMPARE(texteFinEnPlace(longueur), QString());
        QCOMPARE(texteEnPlace(u"w"_s, longueur, false), u"w"_s);
        QCOMPARE(texteFinEnPlace(longueur), u"\n"_s);
        QCOMPARE(longueur, -1);
    }

    // A single text that is also the last: one line, ended.
    void seulEtDernier() {
        qsizetype longueur = -1;
        QCOMPARE(texteEnPlace(u"fini"_s, longueur, true), u"fini\n"_s);
        QCOMPARE(longueur, -1);
    }
};

QTEST_GUILESS_MAIN(TestSortie)
#include "tst_sortie.moc"
