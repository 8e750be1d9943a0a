#include "codes/binaire.h"
#include "codes/windows1252.h"

#include <QTest>

using namespace Qt::StringLiterals;

// One row of traduitbinaire_data(): texts are UTF-8; the last is what an emitter shows.
static void cas(const char* nom, const char* message, const char* codebinaire,
                const char* affichagebinaire, const char* texteemission) {
    QTest::newRow(nom) << QString::fromUtf8(message) << QString::fromUtf8(codebinaire)
                       << QString::fromUtf8(affichagebinaire) << QString::fromUtf8(texteemission);
}

class TstCodesBinaire : public QObject {
    Q_OBJECT

private slots:
    void codehuitbits_data();
    void codehuitbits();
    void huitbitsDeTousLesCodesAllerEtRetour();
    void traduitbinaire_data();
    void traduitbinaire();
    void traduitbinaireVideLesChainesDAbord();
    void caracterehuitbits_data();
    void caracterehuitbits();
};

void TstCodesBinaire::codehuitbits_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("chiffres");
    QTest::newRow("0") << 0 << "00000000";
    QTest::newRow("1") << 1 << "00000001";
    QTest::newRow("'1' (49)") << 49 << "00110001";
    QTest::newRow("'a' (97)") << 97 << "01100001";
    QTest::newRow("'é' (233)") << 233 << "11101001";
    QTest::newRow("255") << 255 << "11111111";
}

void TstCodesBinaire::codehuitbits() {
    QFETCH(int, code);
    QFETCH(QString, chiffres);
    QCOMPARE(::codehuitbits(code), chiffres);
}

void TstCodesBinaire::huitbitsDeTousLesCodesAllerEtRetour() {
    for (int code = 0; code <= 255; ++code) {
        const QString chiffres = ::codehuitbits(code);
        QCOMPARE(chiffres, QString::number(code, 2).rightJustified(8, u'0'));
        const std::optional<QChar> caractere = ::caracterehuitbits(chiffres);
        QVERIFY(caractere.has_value());
        QCOMPARE(codeWindows1252(*caractere), code);
    }
}

void TstCodesBinaire::traduitbinaire_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("codebinaire");
    QTest::addColumn<QString>("affichagebinaire");
    QTest::addColumn<QString>("texteemission");
    cas("ab", "ab", "101100001101100010", "01100001 (a) 01100010 (b) ",
        "01100001 (a) 01100010 (b)  = 101100001101100010");
    cas("a b", "a b", "101100001 101100010", "01100001 (a)   ( ) 01100010 (b) ",
        "01100001 (a)   ( ) 01100010 (b)  = 101100001 101100010");
    cas("é", "é", "111101001", "11101001 (é) ", "11101001 (é)  = 111101001");
    cas("blancs seuls", "  ", "  ", "  ( )   ( ) ", "  ( )   ( )  =   ");
    cas("vide", "", "", "", " = ");
    cas("sans code, envoyé comme '?'", "中", "100111111", "00111111 (?) ",
        "00111111 (?)  = 100111111");
}

void TstCodesBinaire::traduitbinaire() {
    QFETCH(QString, message);
    QFETCH(QString, codebinaire);
    QFETCH(QString, affichagebinaire);
    QFETCH(QString, texteemission);
    QString code;
    QString affichage;
    ::traduitbinaire(message, code, affichage);
    QCOMPARE(code, codebinaire);
    QCOMPARE(affichage, affichagebinaire);
    QCOMPARE(texteemissionbinaire(code, affichage), texteemission);
}

void TstCodesBinaire::traduitbinaireVideLesChainesDAbord() {
    QString code = QStringLiteral("1011");
    QString affichage = QStringLiteral("ancien ");
    ::traduitbinaire(QStringLiteral("a"), code, affichage);
    QCOMPARE(code, QStringLiteral("101100001"));
    QCOMPARE(affichage, QStringLiteral("01100001 (a) "));
}

void TstCodesBinaire::caracterehuitbits_data() {
    QTest::addColumn<QString>("chiffres");
    QTest::addColumn<QString>("caractere"); // empty: refused
    QTest::newRow("a") << u"01100001"_s << u"a"_s;
    QTest::newRow("é") << u"11101001"_s << u"é"_s;
    QTest::newRow("euro") << u"10000000"_s << u"€"_s;
    QTest::newRow("vide") << u""_s << u""_s;
    QTest::newRow("sept chiffres") << u"0110000"_s << u""_s;
    QTest::newRow("trame de neuf chiffres") << u"101100001"_s << u""_s;
    QTest::newRow("lettre") << u"0110000a"_s << u""_s;
    QTest::newRow("blanc") << u"0110 001"_s << u""_s;
    QTest::newRow("chiffre 2") << u"01100002"_s << u""_s;
}

void TstCodesBinaire::caracterehuitbits() {
    QFETCH(QString, chiffres);
    QFETCH(QString, caractere);
    const std::optional<QChar> obtenu = ::caracterehuitbits(chiffres);
    QCOMPARE(obtenu ? QString(*obtenu) : QString(), caractere);
}

QTEST_GUILESS_MAIN(TstCodesBinaire)
#include "tst_codes_binaire.moc"
