#include "app/couleurs.h"
#include "app/feuillelumivox1.h"
#include "codes/morse.h"
#include "codes/predefinis.h"
#include "emit/btonenvoiebinaire.h"
#include "emit/btonenvoiemorse.h"
#include "feuillesbanc.h"
#include "link/station.h"
#include "sim/reglages.h"
#include "tools/bancvirtuel.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cmath>

using namespace Qt::StringLiterals;

// The light of the two slow emitters, as station 1's interface turns SB0 on and off on
// the simulated bench, and the form of station 1 during and after an emission.

namespace {

// Keying bytes reach the interface one byte time after they are written; what is
// compared is the time between two changes, and each change against the schedule.
constexpr double tolerance = 0.002;
constexpr double bit = 0.568; // one bit of the binary coding at normal speed

// The bench with a clock reading worth 10 µs instead of 1: start-up's 0.2 s laser-off
// burst, a loop that never yields, then takes 20 000 passes instead of 200 000. What is
// measured here is in milliseconds.
struct BancEssai : BancVirtuel {
    BancEssai() {
        emetteur.plateforme.setPasLecture(1e-5);
        recepteur.plateforme.setPasLecture(1e-5);
    }
};

// Station 1 sends `texte` with the send button of its coding, at the speed factor f.
BancVirtuel::Resultat emet(BancVirtuel& banc, bool morse, double f, const QString& texte) {
    BancVirtuel::Echange echange;
    echange.morse = morse;
    echange.preparation = [f, texte](Station& s) {
        s.etat.facteurvitesse = f;
        feuille(s)->Texte1->setPlainText(texte);
    };
    echange.envoi = morse ? Btonenvoiemorse_Click : Btonenvoiebinaire_Click;
    return banc.echange(echange);
}

QList<double> fois(QList<double> durees, double f) {
    for (double& d : durees)
        d *= f;
    return durees;
}

// The light of a Morse code string at normal speed: marks of 3 s, 2 s of darkness after
// the start mark, dot 0.3 s, dash 1 s, 0.3 s of darkness after every character and 1 s
// more for a blank.
QList<double> motifmorse(const QString& code) {
    QList<double> d{3, 2};
    for (const QChar c : code) {
        if (c == u' ')
            d.last() += 1;
        else
            d << (c == u'.' ? 0.3 : 1.0) << 0;
        d.last() += 0.3;
    }
    return d << 3;
}

// What the form of station 1 shows and allows, at one instant.
struct Releve {
    QString texte1, texte2, etiquette1, etiquette2;
    bool verrouille = false, envoipossible = false, effacepossible = false, minuterie = false;
    QColor fondreception;
};

Releve releve(const Station& s, bool morse) {
    const Feuillelumivox1& f = *feuille(s);
    return {f.Texte1->toPlainText(),
            f.Texte2->toPlainText(),
            f.Etiquette1->text(),
            f.Etiquette2->text(),
            f.Texte1->isReadOnly(),
            (morse ? f.Btonenvoiemorse : f.Btonenvoiebinaire)->isEnabled(),
            f.Btonefface->isEnabled(),
            s.Minuterie->enabled(),
            f.Texte2->palette().color(QPalette::Base)};
}

} // namespace

class TestEmissionLente : public QObject {
    Q_OBJECT
private slots:
    // Durations between the changes of SB0, light first, from the start mark to the end
    // of the end mark; then the laser stays dark for the final second.
    void motifLumineux_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<double>("f");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QList<double>>("durees");
        // Morse: start mark 3 s and 2 s dark, dot 0.3 f, dash 1 f, 0.3 f after every
        // symbol, 1 f more for a blank, end mark 3 s.
        QTest::newRow("morse e") << true << 1.0 << u"e"_s << QList<double>{3, 2, .3, 1.6, 3};
        QTest::newRow("morse ee") << true << 1.0 << u"ee"_s
                                  << QList<double>{3, 2, .3, 1.6, .3, 1.6, 3};
        QTest::newRow("morse e e")
            << true << 1.0 << u"e e"_s << QList<double>{3, 2, .3, 2.9, .3, 1.6, 3};
        QTest::newRow("morse E, hors table") << true << 1.0 << u"E"_s << QList<double>{3, 3.3, 3};
        QTest::newRow("morse phrase e3, envoie e3")
            << true << 1.0 << texteemissioncode(3)
            << QList<double>{3, 2, .3, 1.6, .3, .3, .3, .3, .3, .3, 1, .3, 1, 1.6, 3};
        // One character changed: the whole sentence goes out, without falling behind.
        QString modifiee = texteemissioncode(3);
        modifiee.replace(u"chimie"_s, u"chimio"_s);
        QTest::newRow("morse phrase e3 modifiée, en entier")
            << true << 1.0 << modifiee << motifmorse(traduitmorse(modifiee).codemorse);
        QTest::newRow("morse et, f = 2")
            << true << 2.0 << u"et"_s << QList<double>{3, 2, .6, 3.2, 2, 3.2, 3};
        // Binary: start mark 5.68 s and 1.136 s dark, a frame of nine bits (start bit and
        // the code of the character, light for "1"), a stop bit, one more bit of darkness
        // after the last character, end mark 6.818 s.
        const QList<double> a = fois({1, 1, 2, 4, 1, 2}, bit); // 1 0 11 0000 1, 0 0
        QTest::newRow("binaire a")
            << false << 1.0 << u"a"_s << (QList<double>{5.68, 1.136} + a + QList<double>{6.818});
        QTest::newRow("binaire a, f = 2")
            << false << 2.0 << u"a"_s
            << (QList<double>{5.68, 1.136} + fois(a, 2) + QList<double>{6.818});
        QTest::newRow("binaire é")
            << false << 1.0 << u"é"_s
            << (QList<double>{5.68, 1.136} + fois({4, 1, 1, 2, 1, 2}, bit) + QList<double>{6.818});
        QTest::newRow("binaire un blanc")
            << false << 1.0 << u" "_s << QList<double>{5.68, 1.136 + 2 * bit, 6.818};
        // e 101100101 and 3 100110011, each with its stop bit.
        QTest::newRow("binaire phrase e3, envoie e3")
            << false << 1.0 << texteemissioncode(3)
            << (QList<double>{5.68, 1.136} + fois({1, 1, 2, 2, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2}, bit) +
                QList<double>{6.818});
    }
    void motifLumineux() {
        QFETCH(bool, morse);
        QFETCH(double, f);
        QFETCH(QString, texte);
        QFETCH(QList<double>, durees);
        BancEssai banc;
        FeuillesBanc feuilles(banc);
        const BancVirtuel::Resultat r = emet(banc, morse, f, texte);
        const auto& t = r.transitions;

        QCOMPARE(t.size(), std::size_t(durees.size() + 1));
        QVERIFY(std::abs(t.front().instant -
                         (BancVirtuel::Echange{}.debutEnvoi + dureeOctetLigne)) < tolerance);
        // Each change against the one before it, and against the schedule laid from the
        // first: the keying does not fall behind over the message.
        double prevu = t.front().instant;
        for (std::size_t i = 0; i < t.size(); ++i) {
            QCOMPARE(t[i].allume, i % 2 == 0);
            if (i == 0)
                continue;
            const double duree = t[i].instant - t[i - 1].instant;
            prevu += durees[qsizetype(i - 1)];
            QVERIFY2(std::abs(duree - durees[qsizetype(i - 1)]) < tolerance,
                     qPrintable(u"intervalle %1 : %2 s au lieu de %3 s"_s.arg(i).arg(duree).arg(
                         durees[qsizetype(i - 1)])));
            QVERIFY2(std::abs(t[i].instant - prevu) < tolerance,
                     qPrintable(u"changement %1 à %2 s au lieu de %3 s"_s.arg(i)
                                    .arg(t[i].instant, 0, 'f', 4)
                                    .arg(prevu, 0, 'f', 4)));
        }
        QVERIFY(std::abs(r.finEnvoi - t.back().instant - 1.0) < 0.005);
    }

    // During the emission the reception area shows what is sent, on green; afterwards
    // the form is back to receiving, with the text to send kept.
    void formePendantEtApres_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<QString>("affiche");
        QTest::addColumn<QString>("etiquette2");
        QTest::addColumn<QString>("etiquette1");
        QTest::newRow("morse") << true << u".- (a) -... (b) "_s
                               << u" ENVOI DU CODE MORSE EN COURS"_s
                               << u" Entrer un message (26 minuscules sans ponctuation ou 9 "
                                  "chiffres) ou code         "_s;
        QTest::newRow("binaire")
            << false << u"01100001 (a) 01100010 (b)  = 101100001101100010"_s
            << u" ENVOI DU CODE BINAIRE EN COURS"_s
            << u" Entrer un message (tout caractère clavier) ou code         "_s;
    }
    void formePendantEtApres() {
        QFETCH(bool, morse);
        QFETCH(QString, affiche);
        QFETCH(QString, etiquette2);
        QFETCH(QString, etiquette1);
        BancEssai banc;
        FeuillesBanc feuilles(banc);
        const Station& s = *banc.emetteur.station;
        Releve pendant;
        // 8.5 s: past the start mark of either coding, before the end of 'ab'.
        banc.emetteur.plateforme.programme(8.5, [&] { pendant = releve(s, morse); });
        emet(banc, morse, 1, u"ab"_s);
        const Releve apres = releve(s, morse);

        QCOMPARE(pendant.texte2, affiche);
        QCOMPARE(pendant.etiquette1, u" ENVOI DU MESSAGE EN COURS  PATIENTEZ SVP"_s);
        QCOMPARE(pendant.etiquette2, etiquette2);
        QVERIFY(pendant.verrouille && !pendant.envoipossible && !pendant.effacepossible);
        QVERIFY(!pendant.minuterie);
        QCOMPARE(pendant.fondreception, vertclair);

        QCOMPARE(apres.texte1, u"ab"_s);
        QCOMPARE(apres.texte2, QString());
        QCOMPARE(apres.etiquette1, etiquette1);
        QCOMPARE(apres.etiquette2, u"Réception de message"_s);
        QVERIFY(!apres.verrouille && apres.envoipossible && apres.effacepossible);
        QVERIFY(apres.minuterie);
        QCOMPARE(apres.fondreception, jauneclair);
    }
};

QTEST_MAIN(TestEmissionLente)
#include "tst_emissionlente.moc"
