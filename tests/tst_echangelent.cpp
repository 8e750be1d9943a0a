#include "app/feuillelumivox1.h"
#include "app/station.h"
#include "codes/predefinis.h"
#include "emit/btonenvoiebinaire.h"
#include "emit/btonenvoiemorse.h"
#include "tools/bancvirtuel.h"

#include <QPlainTextEdit>
#include <QTest>

// Station 1 sends with the program's own send handler; station 2, in its idle loop,
// receives and shows the text. Both on the simulated bench, in virtual time.

namespace {

BancVirtuel::Resultat envoie(bool morse, const QString& texte) {
    BancVirtuel banc;
    BancVirtuel::Echange echange;
    echange.morse = morse;
    echange.preparation = [texte](Station& s) { s.feuille->Texte1->setPlainText(texte); };
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
        // The darkness after the start mark gives one leading blank. A closing blank only
        // lengthens the darkness before the end mark, which is never read as text.
        QCOMPARE(r.messagerecu, u' ' + texte.trimmed());
        QCOMPARE(r.texte2, r.messagerecu);
    }
};

QTEST_MAIN(TestEchangeLent)
#include "tst_echangelent.moc"
