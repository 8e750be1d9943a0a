#include "codes/decodagebinaire.h"
#include "codes/decodagemorse.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The code strings of the slow receivers turned into text and display strings.

class TestDecodage : public QObject {
    Q_OBJECT
private slots:
    void morse_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("affichage");
        QTest::newRow("deux lettres") << u" .- -... "_s << u"ab"_s << u".- (a) -... (b) "_s;
        QTest::newRow("chiffre") << u"----- "_s << u"0"_s << u"----- (0) "_s;
        // A run of k blanks between letters gives k - 1 blanks of text.
        QTest::newRow("deux blancs entre lettres")
            << u" .-  -... "_s << u"a b"_s << u".- (a) -... (b) "_s;
        QTest::newRow("trois blancs entre lettres")
            << u" .-   -... "_s << u"a  b"_s << u".- (a) -... (b) "_s;
        QTest::newRow("blancs de tête") << u"   . .---- "_s << u"  e1"_s << u". (e) .---- (1) "_s;
        QTest::newRow("code hors table")
            << u" .- ...... -... "_s << u"ab"_s << u".- (a) -... (b) "_s;
        // The last character is never read: a final symbol without its blank is lost.
        QTest::newRow("dernier symbole sans blanc")
            << u" .- -..."_s << u"ad"_s << u".- (a) -.. (d) "_s;
        // Of k blanks at the very end, k - 3 reach the text.
        QTest::newRow("trois blancs à la fin") << u".-   "_s << u"a"_s << u".- (a) "_s;
        QTest::newRow("quatre blancs à la fin") << u".-    "_s << u"a "_s << u".- (a) "_s;
        QTest::newRow("sept blancs à la fin") << u".-       "_s << u"a    "_s << u".- (a) "_s;
        QTest::newRow("vide") << QString() << QString() << QString();
        QTest::newRow("un blanc") << u" "_s << QString() << QString();
    }
    void morse() {
        QFETCH(QString, code);
        QFETCH(QString, texte);
        QFETCH(QString, affichage);
        const DecodageMorse d = decodecodemorse(code);
        QCOMPARE(d.messagerecu, texte);
        QCOMPARE(d.affichage, affichage);
    }

    void binaire_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("affichage");
        const QString fin = u"111111111"_s; // the end mark, never read as a frame
        QTest::newRow("blanc et e")
            << u" 101100101 "_s + fin << u" e"_s << u" ( )  01100101 (e) "_s;
        QTest::newRow("é") << u" 111101001 "_s + fin << u" é"_s << u" ( )  11101001 (é) "_s;
        QTest::newRow("0 au lieu d'un départ")
            << u"0101100101 "_s + fin << u"e"_s << u" 01100101 (e) "_s;
        QTest::newRow("blancs avant la fin") << u"   "_s + fin << u"  "_s << u" ( )  ( ) "_s;
        // A frame cut short reads its bits on into the ten last slots.
        QTest::newRow("trame qui déborde sur la fin")
            << u"101100"_s + fin << u"g"_s << u" 01100111 (g) "_s;
        QTest::newRow("marque de fin seule") << fin << QString() << QString();
    }
    void binaire() {
        QFETCH(QString, code);
        QFETCH(QString, texte);
        QFETCH(QString, affichage);
        const DecodageBinaire d = decodecodebinaire(code);
        QCOMPARE(d.messagerecu, texte);
        QCOMPARE(d.affichagebinaire, affichage);
    }
};

QTEST_MAIN(TestDecodage)
#include "tst_decodage.moc"
