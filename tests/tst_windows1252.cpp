#include "codes/windows1252.h"

#include <QTest>

class TstWindows1252 : public QObject {
    Q_OBJECT

private slots:
    void caracteresConnus_data();
    void caracteresConnus();
    void octetsEtCaracteresSontEnBijection();
    void versWindows1252_data();
    void versWindows1252();
};

void TstWindows1252::caracteresConnus_data() {
    QTest::addColumn<int>("code"); // -1: the character has no code
    QTest::addColumn<QChar>("caractere");
    QTest::newRow("A") << 65 << QChar(u'A');
    QTest::newRow("euro") << 0x80 << QChar(u'€');
    QTest::newRow("0x81 non défini") << 0x81 << QChar(u'\u0081');
    QTest::newRow("points de suspension") << 0x85 << QChar(u'…');
    QTest::newRow("apostrophe ouvrante") << 0x91 << QChar(u'‘');
    QTest::newRow("apostrophe fermante") << 0x92 << QChar(u'’');
    QTest::newRow("tiret demi-cadratin") << 0x96 << QChar(u'–');
    QTest::newRow("oe") << 0x9C << QChar(u'œ');
    QTest::newRow("Y tréma") << 0x9F << QChar(u'Ÿ');
    QTest::newRow("é") << 233 << QChar(u'é');
    QTest::newRow("ÿ") << 255 << QChar(u'ÿ');
    QTest::newRow("U+0080 sans code") << -1 << QChar(u'\u0080');
    QTest::newRow("idéogramme sans code") << -1 << QChar(u'中');
}

void TstWindows1252::caracteresConnus() {
    QFETCH(int, code);
    QFETCH(QChar, caractere);
    QCOMPARE(codeWindows1252(caractere), code);
    if (code >= 0) {
        QCOMPARE(caractereWindows1252(code), caractere);
    }
}

void TstWindows1252::octetsEtCaracteresSontEnBijection() {
    QByteArray tousLesOctets;
    for (int code = 0; code <= 255; ++code) {
        tousLesOctets.append(char(code));
    }
    const QString texte = depuisWindows1252(tousLesOctets);
    QCOMPARE(texte.size(), 256);
    bool tousCodes = false;
    QCOMPARE(::versWindows1252(texte, &tousCodes), tousLesOctets);
    QVERIFY(tousCodes);
}

void TstWindows1252::versWindows1252_data() {
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<bool>("tousCodes");
    QTest::newRow("vide") << QString() << QByteArray() << true;
    QTest::newRow("accents") << QStringLiteral("été €") << QByteArray("\xE9t\xE9 \x80") << true;
    QTest::newRow("idéogramme") << QStringLiteral("a中é") << QByteArray("a?\xE9") << false;
    QTest::newRow("paire de substitution") << QStringLiteral("a😀b") << QByteArray("a?b") << false;
}

void TstWindows1252::versWindows1252() {
    QFETCH(QString, texte);
    QFETCH(QByteArray, octets);
    QFETCH(bool, tousCodes);
    bool obtenu = !tousCodes;
    QCOMPARE(::versWindows1252(texte, &obtenu), octets);
    QCOMPARE(obtenu, tousCodes);
}

QTEST_GUILESS_MAIN(TstWindows1252)
#include "tst_windows1252.moc"
