#include "codes/predefinis.h"

#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(FormesReception)
Q_DECLARE_METATYPE(TextePrepare)

class TstCodesPredefinis : public QObject {
    Q_OBJECT

private slots:
    void textesDesCodes();
    void messageaemettre_data();
    void messageaemettre();
    void developpecodepredefini_data();
    void developpecodepredefini();
    void formesAcceptees_data();
    void formesAcceptees();
    void texteprepare_data();
    void texteprepare();
};

void TstCodesPredefinis::textesDesCodes() {
    QCOMPARE(texteemissioncode(1),
             QStringLiteral("code e1 : les sciences physiques constituent de belles sciences "
                            "utilisant les mathématiques, le français, le dessin technique et "
                            "l'informatique "));
    QCOMPARE(phrasecode(3), QStringLiteral(" c'est grâce à la chimie qu'on s'habille, qu'on se "
                                           "soigne, qu'on crée de nouvelles matières par exemple"));
    // The menu text is "code eN :" and the sentence; only the e1 text ends with a blank.
    for (int n = 1; n <= 4; ++n) {
        const QString fin = n == 1 ? QStringLiteral(" ") : QString();
        QCOMPARE(texteemissioncode(n), QStringLiteral("code e%1 :").arg(n) + phrasecode(n) + fin);
        QVERIFY(phrasecode(n).startsWith(u' ') && !phrasecode(n).startsWith(u"  "));
    }
    QVERIFY(texteemissioncode(5).isEmpty() && phrasecode(0).isEmpty());
}

void TstCodesPredefinis::messageaemettre_data() {
    QTest::addColumn<QString>("texte1");
    QTest::addColumn<QString>("message");
    for (int n = 1; n <= 4; ++n) {
        QTest::addRow("texte de e%d", n) << texteemissioncode(n) << QStringLiteral("e%1").arg(n);
    }
    QString modifie = texteemissioncode(2);
    modifie[12] = u'C';
    QTest::newRow("un caractère changé") << modifie << modifie;
    const QString sansBlancFinal = texteemissioncode(1).chopped(1);
    QTest::newRow("e1 sans son blanc final") << sansBlancFinal << sansBlancFinal;
    QTest::newRow("code tapé") << "e1"
                               << "e1";
}

void TstCodesPredefinis::messageaemettre() {
    QFETCH(QString, texte1);
    QFETCH(QString, message);
    QCOMPARE(::messageaemettre(texte1), message);
}

void TstCodesPredefinis::developpecodepredefini_data() {
    QTest::addColumn<QString>("messagerecu");
    QTest::addColumn<FormesReception>("liste");
    QTest::addColumn<int>("code"); // 0: left unchanged
    const auto binaire = FormesReception::BinaireLent;
    const auto morse = FormesReception::MorseLent;
    const auto rapide = FormesReception::Rapide;
    for (const auto& [nom, liste] : {std::pair{"binaire lent", binaire},
                                     std::pair{"morse lent", morse}, std::pair{"rapide", rapide}}) {
        QTest::addRow("e1, %s", nom) << "e1" << liste << 1;
        QTest::addRow("e 4 entre blancs, %s", nom) << " e 4 " << liste << 4;
        QTest::addRow("E1 majuscule, %s", nom) << "E1" << liste << 0;
        QTest::addRow("e12, %s", nom) << "e12" << liste << 0;
        QTest::addRow("e1 et deux blancs, %s", nom) << "e1  " << liste << 0;
        QTest::addRow("phrase déjà développée, %s", nom) << phrasecode(1) << liste << 0;
    }
    QTest::newRow("deux blancs et e1, morse lent") << "  e1" << morse << 0;
    QTest::newRow("deux blancs et e2, morse lent") << "  e2" << morse << 2;
    QTest::newRow("deux blancs et e1, binaire lent") << "  e1" << binaire << 1;
    QTest::newRow("deux blancs et e2, rapide") << "  e2" << rapide << 0;
    QTest::newRow("quatre blancs et e3, binaire lent") << "    e3" << binaire << 0;
    QTest::newRow("cinq blancs et e3, binaire lent") << "     e3" << binaire << 3;
    QTest::newRow("cinq blancs et e4, binaire lent") << "     e4" << binaire << 0;
    QTest::newRow("quatre blancs et e3, morse lent") << "    e3" << morse << 3;
}

void TstCodesPredefinis::developpecodepredefini() {
    QFETCH(QString, messagerecu);
    QFETCH(FormesReception, liste);
    QFETCH(int, code);
    const QString attendu = code == 0 ? messagerecu : phrasecode(code);
    QCOMPARE(::developpecodepredefini(messagerecu, liste), attendu);
}

void TstCodesPredefinis::formesAcceptees_data() {
    QTest::addColumn<FormesReception>("liste");
    QTest::addColumn<QList<int>>("nombres"); // of forms of e1, e2, e3, e4
    QTest::newRow("binaire lent") << FormesReception::BinaireLent << QList<int>{11, 11, 11, 11};
    QTest::newRow("morse lent") << FormesReception::MorseLent << QList<int>{10, 11, 11, 11};
    QTest::newRow("rapide") << FormesReception::Rapide << QList<int>{8, 8, 8, 8};
}

void TstCodesPredefinis::formesAcceptees() {
    QFETCH(FormesReception, liste);
    QFETCH(QList<int>, nombres);
    for (int n = 1; n <= 4; ++n) {
        const QStringList formes = formesacceptees(n, liste);
        QCOMPARE(formes.size(), nombres.at(n - 1));
        QCOMPARE(QSet<QString>(formes.begin(), formes.end()).size(), formes.size());
        for (const QString& forme : formes) {
            // Blanks around the code, or between its letter and its digit, and nothing else.
            QCOMPARE(QString(forme).remove(u' '), QStringLiteral("e%1").arg(n));
            QCOMPARE(::developpecodepredefini(forme, liste), phrasecode(n));
        }
    }
}

void TstCodesPredefinis::texteprepare_data() {
    QTest::addColumn<TextePrepare>("texte");
    QTest::addColumn<QString>("typecodage");
    QTest::addColumn<QString>("attendu"); // null: the menu does nothing
    const auto longue = TextePrepare::MessageLong;
    const auto auteur = TextePrepare::QuiEstLAuteur;
    const auto reponse = TextePrepare::ReponseZorvanek;
    QTest::newRow("message long, b")
        << longue << u"b"_s
        << u"Quel est l'auteur de la relativité restreinte en 1906 et de la relativité "
           u"générale en 1916 ?  "_s;
    QTest::newRow("message long, m")
        << longue << u"m"_s
        << u"quel est l'auteur de la relativite restreinte en 1906 et de la relativite "
           u"generale en 1916"_s;
    QTest::newRow("auteur, b") << auteur << u"b"_s << u"Quel est l'auteur de la relativité ? "_s;
    QTest::newRow("auteur, m") << auteur << u"m"_s << u"quel est l auteur de la relativite "_s;
    QTest::newRow("réponse, b") << reponse << u"b"_s << u"c'est Zorvanek Tibrus, bien sûr ! "_s;
    QTest::newRow("réponse, m") << reponse << u"m"_s << u"c est zorvanek tibrus  bien sur"_s;
    for (const TextePrepare texte : {longue, auteur, reponse}) {
        for (const char* typecodage : {"mr", "br", "M"}) {
            QTest::addRow("%d, %s", int(texte), typecodage) << texte << typecodage << QString();
        }
    }
}

void TstCodesPredefinis::texteprepare() {
    QFETCH(TextePrepare, texte);
    QFETCH(QString, typecodage);
    QFETCH(QString, attendu);
    const std::optional<QString> obtenu = ::texteprepare(texte, typecodage);
    QCOMPARE(obtenu.has_value(), !attendu.isNull());
    QCOMPARE(obtenu.value_or(QString()), attendu);
}

QTEST_GUILESS_MAIN(TstCodesPredefinis)
#include "tst_codes_predefinis.moc"
