#include "link/valeurnumerique.h"

#include <QTest>

class TestValeurNumerique : public QObject {
    Q_OBJECT
private slots:
    void valeur_data() {
        QTest::addColumn<QByteArray>("texte");
        QTest::addColumn<double>("attendu");
        QTest::newRow("reply with CR") << QByteArray("123\r") << 123.0;
        QTest::newRow("leading blank") << QByteArray(" 45") << 45.0;
        QTest::newRow("empty") << QByteArray() << 0.0;
        QTest::newRow("two queued replies") << QByteArray("10\r200\r") << 10.0;
        QTest::newRow("line feed ignored") << QByteArray("1\n2") << 12.0;
        QTest::newRow("blanks and tabs inside") << QByteArray(" 1 \t2 3x") << 123.0;
        QTest::newRow("no number") << QByteArray("COM3") << 0.0;
        QTest::newRow("letter stops") << QByteArray("2a5") << 2.0;
        QTest::newRow("decimal point") << QByteArray("2.5") << 2.5;
        QTest::newRow("point first") << QByteArray(".25") << 0.25;
        QTest::newRow("second point stops") << QByteArray("1.2.3") << 1.2;
        QTest::newRow("negative") << QByteArray("-3") << -3.0;
        QTest::newRow("sign then blank") << QByteArray("- 7") << -7.0;
        QTest::newRow("plus") << QByteArray("+8") << 8.0;
        QTest::newRow("sign alone") << QByteArray("-") << 0.0;
        QTest::newRow("comma stops") << QByteArray("12,7,255,") << 12.0;
        QTest::newRow("DEL stops") << QByteArray("37\x7f") << 37.0;
        QTest::newRow("CR first") << QByteArray("\r45") << 0.0;
    }
    void valeur() {
        QFETCH(QByteArray, texte);
        QFETCH(double, attendu);
        QCOMPARE(valeurnumerique(texte), attendu);
        QCOMPARE(valeurnumerique(QString::fromLatin1(texte)), attendu);
    }

    void texteUnicodeNeCompteQueSesChiffres() {
        QCOMPARE(valeurnumerique(QStringLiteral("3é5")), 3.0);
        QCOMPARE(valeurnumerique(QStringLiteral("€")), 0.0);
    }
};

QTEST_APPLESS_MAIN(TestValeurNumerique)
#include "tst_valeurnumerique.moc"
