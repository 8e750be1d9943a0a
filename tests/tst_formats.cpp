#include "codes/formats.h"

#include <QTest>

class TestFormats : public QObject {
    Q_OBJECT
private slots:
    void tension_data() {
        QTest::addColumn<double>("volts");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("1.234") << 1.234 << "01,23";
        QTest::newRow("rounded up") << 0.196 << "00,20";
        QTest::newRow("two digits") << 12.5 << "12,50";
        QTest::newRow("three digits") << 123.456 << "123,46";
        QTest::newRow("zero") << 0.0 << "00,00";
        QTest::newRow("negative") << -0.5 << "-00,50";
        QTest::newRow("tiny negative shows zero") << -0.001 << "00,00";
    }
    void tension() {
        QFETCH(double, volts);
        QFETCH(QString, attendu);
        QCOMPARE(formattension(volts, u','), attendu);
        QCOMPARE(formattension(volts, u'.'), QString(attendu).replace(u',', u'.'));
    }

    void nombreAvecBlanc() {
        QCOMPARE(nombreavecblanc(3), QStringLiteral(" 3"));
        QCOMPARE(nombreavecblanc(200), QStringLiteral(" 200"));
        QCOMPARE(nombreavecblanc(0), QStringLiteral(" 0"));
        QCOMPARE(nombreavecblanc(-4), QStringLiteral("-4"));
    }
};

QTEST_APPLESS_MAIN(TestFormats)
#include "tst_formats.moc"
