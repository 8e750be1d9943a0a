#include "app/feuillelumivox1.h"
#include "receive/reglages.h"
#include "recording/debit.h"
#include "recording/resultatreception.h"
#include "stationessai.h"
#include "tools/essailiaison.h"

#include <QLabel>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

// The rate of a message measured on its light: what its code string carried, the time
// from the first change of its light to the last, the words, and the rate of a message of
// known light on the virtual bench, received and sent, in the four codings.

class TestDebit : public QObject {
    Q_OBJECT

private slots:
    // The characters, bits and dots a code string carries, between its first element and
    // its last.
    void comptes_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("morse");
        QTest::addColumn<bool>("lent");
        QTest::addColumn<int>("caracteres");
        QTest::addColumn<int>("bits");
        QTest::addColumn<double>("unites");
        // sos, slow: three dots and two gaps (5 dots of 0.3 s), a letter gap of 1.6 s (16/3),
        // three dashes of 1 s and two gaps, 16/3, three dots and two gaps: 9.8 s.
        QTest::newRow("sos lent") << u" ... --- ... "_s << true << true << 3 << 0
                                  << 5 + 16.0 / 3 + 3 * 10.0 / 3 + 2 + 16.0 / 3 + 5;
        QTest::newRow("sos rapide")
            << u"... --- ... "_s << true << false << 3 << 0 << 5.0 + 5 + 11 + 5 + 5;
        // A blank of the message between two words: one character more, 4 dots more.
        QTest::newRow("deux mots")
            << u".-  -... "_s << true << false << 3 << 0 << 5.0 + 1 + 4 + 4 + 9;
        QTest::newRow("un point") << u"  .  "_s << true << true << 1 << 0 << 1.0;
        QTest::newRow("un trait lent") << u"- "_s << true << true << 1 << 0 << 10.0 / 3;
        QTest::newRow("élément inconnu") << u"?. "_s << true << false << 1 << 0 << 3.0;
        QTest::newRow("Morse sans élément") << u"   "_s << true << true << 0 << 0 << 0.0;
        QTest::newRow("Morse vide") << QString() << true << false << 0 << 0 << 0.0;
        QTest::newRow("a") << u" 101100001 "_s << false << true << 1 << 9 << 0.0;
        QTest::newRow("a b") << u"101100001 101100010"_s << false << false << 3 << 18 << 0.0;
        QTest::newRow("trame illisible") << u"101100001?"_s << false << false << 2 << 18 << 0.0;
        QTest::newRow("trame coupée") << u"1011"_s << false << false << 0 << 4 << 0.0;
        QTest::newRow("binaire sans trame") << u"  "_s << false << true << 0 << 0 << 0.0;
    }
    void comptes() {
        QFETCH(QString, code);
        QFETCH(bool, morse);
        QFETCH(bool, lent);
        QFETCH(int, caracteres);
        QFETCH(int, bits);
        QFETCH(double, unites);
        const DebitMessage d = morse ? debitmorse(code, 2.5, lent) : debitbinaire(code, 2.5);
        QCOMPARE(d.morse, morse);
        QCOMPARE(d.caracteres, caracteres);
        QCOMPARE(d.bits, bits);
        QVERIFY2(std::abs(d.unites - unites) < 1e-9, qPrintable(QString::number(d.unites)));
        QCOMPARE(debitmesure(d), caracteres > 0);
    }

    // The rate in words, at the edges of what is measured.
    void texte_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<int>("caracteres");
        QTest::addColumn<int>("bits");
        QTest::addColumn<double>("unites");
        QTest::addColumn<double>("duree");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("binaire")
            << false << 7 << 63 << 0.0 << 4.4
            << u"Débit : 14,3 bit/s — 7 caractères en 4,4 s (1,6 caractère/s)"_s;
        // A dot of 0.3 s: 4 words a minute of 50 dots.
        QTest::newRow("Morse lent")
            << true << 3 << 0 << 9.8 / 0.3 << 9.8
            << u"Débit : 4,0 mots/min (convention PARIS) — 3 caractères en 9,8 s (0,3 caractère/s)"_s;
        // A dot of 0.05 s: 24 words a minute.
        QTest::newRow("Morse rapide")
            << true << 1 << 0 << 2.0 << 0.1
            << u"Débit : 24,0 mots/min (convention PARIS) — 1 caractère en 0,1 s (10,0 caractère/s)"_s;
        QTest::newRow("deux caractères")
            << false << 2 << 18 << 0.0 << 1.0
            << u"Débit : 18,0 bit/s — 2 caractères en 1,0 s (2,0 caractère/s)"_s;
        QTest::newRow("durée infime")
            << false << 1 << 9 << 0.0 << 0.001
            << u"Débit : 9000,0 bit/s — 1 caractère en 0,0 s (1000,0 caractère/s)"_s;
        QTest::newRow("durée nulle") << false << 1 << 9 << 0.0 << 0.0 << QString();
        QTest::newRow("aucun caractère") << true << 0 << 0 << 3.0 << 1.0 << QString();
    }
    void texte() {
        QFETCH(bool, morse);
        QFETCH(int, caracteres);
        QFETCH(int, bits);
        QFETCH(double, unites);
        QFETCH(double, duree);
        QFETCH(QString, attendu);
        const DebitMessage d{.morse = morse,
                             .caracteres = caracteres,
                             .bits = bits,
                             .unites = unites,
                             .duree = duree};
        QCOMPARE(textedebit(d), attendu);
    }

    // What the headless tool writes: the same, and what it was computed from.
    void texteDetaille() {
        const DebitMessage binaire{.morse = false, .caracteres = 7, .bits = 63, .duree = 4.4};
        QCOMPARE(textedebitdetaille(binaire),
                 textedebit(binaire) + u" ; lumière du message : 4,400 s, 63 bits"_s);
        const DebitMessage morse{.caracteres = 3, .unites = 98.0 / 3, .duree = 9.8};
        QCOMPARE(textedebitdetaille(morse),
                 textedebit(morse) + u" ; lumière du message : 9,800 s, 32,7 points"_s);
        QVERIFY(textedebitdetaille(DebitMessage{.caracteres = 3}).isEmpty());
    }

    // The record of a fast reception: its light from the first sample of its first lit run
    // to the end of its last, at the sample period.
    void debitDUnEnregistrement() {
        ResultatReception r;
        r.morse = false;
        r.code = u"101100001"_s;
        r.premierchangement = 100;
        r.dernierchangement = 100 + 9 * 54;
        const DebitMessage d = debitreception(r, 0.0013);
        QCOMPARE(d.caracteres, 1);
        QVERIFY(std::abs(d.duree - 9 * 54 * 0.0013) < 1e-12);
        r.dernierchangement = r.premierchangement;
        QVERIFY(!debitmesure(debitreception(r)));
        r.premierchangement = r.dernierchangement = -1;
        QVERIFY(!debitmesure(debitreception(r)));
    }

    // A message of known light on the virtual bench, in each coding at x 1 and x 2: the
    // receiver's rate is measured within one sample (fast) or one tick (slow) of the time
    // the changes of the emitter's laser give, the emitter's within a byte on the line.
    void debitSurLeBanc_data() {
        QTest::addColumn<QString>("codage");
        QTest::addColumn<QString>("vitesse");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<double>("tolerance"); // of the receiver
        for (const QString& k : {u"1"_s, u"2"_s}) {
            QTest::addRow("morse lent x %s", qPrintable(k)) << u"m"_s << k << u"sos 73"_s << 0.05;
            QTest::addRow("binaire lent x %s", qPrintable(k)) << u"b"_s << k << u"Ok !"_s << 0.03;
            QTest::addRow("morse rapide x %s", qPrintable(k))
                << u"mr"_s << k << u"salut 73"_s << 0.0013;
            QTest::addRow("binaire rapide x %s", qPrintable(k))
                << u"br"_s << k << u"Salut !"_s << 0.0013;
        }
    }
    void debitSurLeBanc() {
        QFETCH(QString, codage);
        QFETCH(QString, vitesse);
        QFETCH(QString, texte);
        QFETCH(double, tolerance);
        EssaiLiaison essai;
        essai.codage = codage;
        essai.vitesse = articlevitesse(vitesse);
        essai.texte = texte;
        essai.blocs = true;
        const ResultatLiaison r = essaieliaison(essai);
        QCOMPARE(r.receptions, 1);
        const double lumiere = dureelumieremessage(r.transitions, codage);
        QVERIFY(lumiere > 1);
        QVERIFY2(std::abs(r.debitrecu.duree - lumiere) <= tolerance,
                 qPrintable(u"reçu %1 s, lumière %2 s"_s.arg(r.debitrecu.duree).arg(lumiere)));
        QVERIFY2(std::abs(r.debitemis.duree - lumiere) <= 0.0011,
                 qPrintable(u"envoyé %1 s, lumière %2 s"_s.arg(r.debitemis.duree).arg(lumiere)));
        QVERIFY(!r.debitrecu.emis);
        QVERIFY(r.debitemis.emis);
        QCOMPARE(r.debitrecu.caracteres, int(texte.size()));
        QCOMPARE(r.debitemis.caracteres, int(texte.size()));
        const bool morse = codage.startsWith(u'm');
        QCOMPARE(r.debitrecu.morse, morse);
        if (!morse)
            QCOMPARE(r.debitrecu.bits, 9 * int(texte.size() - texte.count(u' ')));
        QCOMPARE(r.debitrecu.unites, r.debitemis.unites);
    }

    // The foot of the window says what the last message carried, and whether it came or
    // went; nothing while no message was measured.
    void piedDeLaFenetre() {
        StationEssai essai;
        Feuillelumivox1& f = *essai.feuille;
        f.debitmessage({});
        QVERIFY(!f.lignedebit || f.lignedebit->isHidden());
        DebitMessage recu{.morse = false, .caracteres = 7, .bits = 63, .duree = 4.4};
        f.debitmessage(recu);
        QVERIFY(f.lignedebit);
        QCOMPARE(f.lignedebit->text(),
                 u"Message reçu — Débit : 14,3 bit/s — 7 caractères en 4,4 s (1,6 caractère/s)"_s);
        QVERIFY(!f.lignedebit->isHidden());
        recu.emis = true;
        f.debitmessage(recu);
        QVERIFY(f.lignedebit->text().startsWith(u"Message envoyé — Débit : 14,3 bit/s"_s));
        f.debitmessage({});
        QVERIFY(f.lignedebit->isHidden());
    }

    // decode-recording says the rate of the recorded message on standard error.
    void decodeRecordingDitLeDebit() {
        QProcess outil;
        outil.start(
            QStringLiteral(LUMICOM_TOOL),
            {u"decode-recording"_s, u"binary"_s,
             QStringLiteral(LUMICOM_SOURCE_DIR "/tests/enregistrements/binaire-salut.rrr")});
        QVERIFY(outil.waitForFinished(30000));
        QCOMPARE(outil.exitCode(), 0);
        const QString erreurs = QString::fromUtf8(outil.readAllStandardError());
        QVERIFY2(erreurs.contains(u"lumicom-tool : Débit : "_s) &&
                     erreurs.contains(u" bit/s — 7 caractères en "_s),
                 qPrintable(erreurs));
    }
};

QTEST_MAIN(TestDebit)
#include "tst_debit.moc"
