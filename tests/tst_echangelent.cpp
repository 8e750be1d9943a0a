#include "app/feuillelumivox1.h"
#include "codes/predefinis.h"
#include "emit/btonenvoiebinaire.h"
#include "emit/btonenvoiemorse.h"
#include "feuillesbanc.h"
#include "link/station.h"
#include "tools/bancvirtuel.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

// Station 1 sends with the program's own send handler; station 2, in its idle loop,
// receives and shows the text. Both on the simulated bench, in virtual time.

namespace {

BancVirtuel::Resultat envoie(bool morse, const QString& texte) {
    BancVirtuel banc;
    FeuillesBanc feuilles(banc);
    BancVirtuel::Echange echange;
    echange.morse = morse;
    echange.preparation = [texte](Station& s) { feuille(s)->Texte1->setPlainText(texte); };
    echange.envoi = morse ? Btonenvoiemorse_Click : Btonenvoiebinaire_Click;
    return banc.echange(echange);
}

} // namespace

class TestEchangeLent : public QObject {
    Q_OBJECT
private slots:
    void morse_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("recu");
        QTest::newRow("sos") << "sos"
                             << "sos";
        QTest::newRow("a b") << "a b"
                             << "a b";
        QTest::newRow("e1") << texteemissioncode(1) << phrasecode(1);
    }
    void morse() {
        QFETCH(QString, texte);
        QFETCH(QString, recu);
        const BancVirtuel::Resultat r = envoie(true, texte);
        QCOMPARE(r.messagerecu, recu);
    }

    void binaire() {
        const QString texte = QStringLiteral("Quel est l'auteur de la relativité ? ");
        const BancVirtuel::Resultat r = envoie(false, texte);
        // The darkness after the start mark and before the end mark is no blank; the
        // closing blank sent arrives.
        QCOMPARE(r.messagerecu, texte);
        QCOMPARE(r.texte2, r.messagerecu);
    }

    // The send buttons run the send handlers, and the text goes as typed: a no-break
    // space is a character of the binary coding, not a blank.
    void boutonEnvoiBinaire() {
        BancVirtuel banc;
        FeuillesBanc feuilles(banc);
        BancVirtuel::Echange echange;
        echange.morse = false;
        echange.preparation = [](Station& s) {
            feuille(s)->Texte1->setPlainText(QStringLiteral("x\u00a0y"));
        };
        echange.envoi = [](Station& s) { feuille(s)->Btonenvoiebinaire->click(); };
        const BancVirtuel::Resultat r = banc.echange(echange);
        QCOMPARE(r.messagerecu, QStringLiteral("x\u00a0y"));
    }
};

QTEST_MAIN(TestEchangeLent)
#include "tst_echangelent.moc"
