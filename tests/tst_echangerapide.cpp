#include "app/feuillelumivox1.h"
#include "codes/predefinis.h"
#include "emit/btonenvoibinrap.h"
#include "emit/btonenvoimorserapide.h"
#include "feuillesbanc.h"
#include "link/legendes.h"
#include "link/station.h"
#include "recording/copiecontrole.h"
#include "recording/lectureenregistrement.h"
#include "recording/resultatreception.h"
#include "sim/transportsimule.h"
#include "tools/bancvirtuel.h"
#include "tools/essailiaison.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The fast codings end to end: station 1 sends with its fast send handler, station 2
// records the light in its interface, downloads the samples, decodes them and shows the
// text. Both on the simulated bench, in virtual time.

namespace {

const QString question = u"Quel est l'auteur de la relativité ? "_s;

QByteArray contenu(const QString& chemin) {
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One fast exchange, with what station 2 asked of the save chooser.
struct EchangeRapide {
    explicit EchangeRapide(const ReglagesBanc& reglages = {}) : banc(reglages) {}

    BancVirtuel banc;

    FeuillesBanc feuilles{banc};
    QStringList legendes;
    int receptions = 0;
    BancVirtuel::Resultat resultat;

    // `codage` "mr" or "br"; `vitesse` a speed item or null; `recepteur` runs on station 2
    // once it has chosen the coding.
    void envoie(const QString& codage, int nbmesures, const QString& texte,
                const ArticleVitesse* vitesse = nullptr,
                std::function<void(Station&)> recepteur = {}) {
        Station& s2 = *banc.recepteur.station;
        QObject::connect(feuille(s2), &Feuillelumivox1::enregistrementdemande, feuille(s2),
                         [this](const QString& l) { legendes << l; });
        s2.observateurs.finReception = [this] {
            ++receptions;
            banc.arreteBientot(banc.recepteur);
        };
        const Station* emetteur = banc.emetteur.station.get();
        BancVirtuel::Echange echange;
        echange.morse = codage == u"mr";
        echange.preparation = [=](Station& s) {
            choisitcodagerapide(s, codage, nbmesures);
            if (vitesse)
                choisitvitesseposte(s, *vitesse);
            if (&s == emetteur)
                feuille(s)->Texte1->setPlainText(texte);
            else if (recepteur)
                recepteur(s);
        };
        echange.envoi = codage == u"mr" ? Btonenvoi_morserapide_Click : Btonenvoi_binrap_Click;
        echange.attenteApres = 300;
        resultat = banc.echange(echange);
        s2.observateurs = {};
        // The last request station 2 wrote reaches its interface.
        banc.banc.avanceJusqua(banc.recepteur.plateforme.maintenant() + 1);
    }

    Station& recepteur() { return *banc.recepteur.station; }

    // The bytes station 2 wrote to its port.
    QByteArray ecrit() {
        return dynamic_cast<TransportSimule&>(*recepteur().liaison.transport()).toutEcrit();
    }

    // The commands station 2's interface carried out or ignored, in order.
    QStringList commandes() const {
        QStringList c;
        for (const QString& ligne : banc.journal)
            if (ligne.contains(u" COM2 commande "_s) || ligne.contains(u" COM2 ignore "_s))
                c << ligne.section(u' ', 2);
        return c;
    }
};

} // namespace

class TestEchangeRapide : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The control copy goes to the user's data folder: here, a folder of the test.
        QVERIFY(donnees_.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(donnees_.path()));
    }

    void morse_data() {
        QTest::addColumn<int>("nbmesures");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("recu");
        for (const int n : {6400, 12800}) {
            QTest::addRow("sos %d", n) << n << u"sos"_s << u"sos"_s;
            QTest::addRow("e1 %d", n) << n << texteemissioncode(1) << phrasecode(1);
        }
    }
    // The text comes out as sent, without a blank for the darkness after it, a predefined
    // code as its sentence; the form shows the letters read; the save chooser is asked for.
    void morse() {
        QFETCH(int, nbmesures);
        QFETCH(QString, texte);
        QFETCH(QString, recu);
        EchangeRapide e;
        e.envoie(u"mr"_s, nbmesures, texte);
        QCOMPARE(e.receptions, 1);
        const EtatPartage& etat = e.recepteur().etat;
        QCOMPARE(etat.messagerecu, recu);
        QCOMPARE(e.resultat.texte2, etat.messagerecu);
        QVERIFY(e.resultat.texte1.startsWith(u"code morse reçu : "_s));
        QCOMPARE(feuille(e.recepteur())->estimation->text(), QString());
        QCOMPARE(e.legendes, QStringList{u"Enregistrement d'un fichier morse rapide"_s});
        // 6368 values of a 6400-sample recording (block 0 is never asked for), the whole
        // of a 12800-sample one; the rest of the table reads as darkness.
        const int valeurs = nbmesures == 12800 ? 12800 : 6368;
        QCOMPARE(etat.compteurmesures, valeurs);
        QVERIFY(etat.tabmesures.at(size_t(valeurs)).isEmpty());
        QVERIFY(e.recepteur().Minuterie->enabled());
        QVERIFY(feuille(e.recepteur())->Btonenvoi_morserapide->isEnabled());
        QVERIFY(!feuille(e.recepteur())->Texte1->isReadOnly());
    }

    // The receiving window shows its download at its foot as it goes, the suggestion of
    // the blocks beside it (fast Morse one value at a time needs more than a minute), and
    // hides it once the download is over. With LUMICOM_CAPTURES set, it is grabbed half-way.
    void progressionALaFenetre() {
        EchangeRapide e;
        Feuillelumivox1& f = e.feuilles.recepteur;
        int plushaut = 0, visibles = 0;
        QString ligne;
        const QString captures = qEnvironmentVariable("LUMICOM_CAPTURES");
        connect(f.barretelechargement, &QProgressBar::valueChanged, &f, [&](int valeur) {
            plushaut = std::max(plushaut, valeur);
            visibles += f.barretelechargement->isVisible() && f.lignetelechargement->isVisible();
            if (valeur >= 2000 && ligne.isEmpty()) {
                ligne = f.lignetelechargement->text();
                if (!captures.isEmpty())
                    f.grab().save(captures + u"/telechargement-progression.png"_s);
            }
        });
        e.envoie(u"mr"_s, 6400, u"sos"_s);
        QCOMPARE(e.receptions, 1);
        QVERIFY(plushaut > 6000);
        QVERIFY(visibles > 10);
        QVERIFY2(ligne.startsWith(u"Téléchargement : "_s) &&
                     ligne.contains(u" / 6368 mesures, encore "_s),
                 qPrintable(ligne));
        QVERIFY2(ligne.contains(f.menu_telechargementblocs->text()), qPrintable(ligne));
        QVERIFY(!f.barretelechargement->isVisible());
        QVERIFY(!f.lignetelechargement->isVisible());
        // The captions of the reception are those it always had.
        QCOMPARE(f.Etiquette1->text(), etiquette1morserapide());
    }

    // A 12800-sample fast Morse recording is recorded and asked for whole: 400 blocks.
    void morseCommandesLongues() {
        EchangeRapide e;
        e.envoie(u"mr"_s, 12800, u"e"_s);
        QVERIFY(e.ecrit().contains("XPEA1 0,400,6,0XEAPXRESUL 1,0,1XRESUL 1,1,1"));
        QVERIFY(e.ecrit().endsWith("XRESUL 400,31,1XRESUL 400,32,1"));
    }

    // With the option, fast Morse asks for its samples 32 at a time as fast binary does,
    // and writes the same control copy, value by value.
    void morseParBlocs() {
        EchangeRapide parvaleur;
        parvaleur.envoie(u"mr"_s, 6400, u"sos"_s);
        const QByteArray copieparvaleur = contenu(chemincopiecontrole());
        EchangeRapide parbloc;
        parbloc.envoie(u"mr"_s, 6400, u"sos"_s, nullptr,
                       [](Station& s) { s.etat.telechargementparblocs = true; });
        QCOMPARE(parbloc.recepteur().etat.messagerecu, u"sos"_s);
        QCOMPARE(parbloc.recepteur().etat.compteurmesures, 6400);
        QVERIFY(parbloc.ecrit().contains("XPEA1 0,200,6,0XEAPXRESUL  1,0,32XRESUL  2,0,32"));
        QVERIFY(!parbloc.ecrit().contains("XRESUL 1,0,1"));
        const QByteArray copieparbloc = contenu(chemincopiecontrole());
        // The same lines, and the 32 of the block that Morse never asks for one by one.
        QCOMPARE(copieparbloc.count("\r\n"), copieparvaleur.count("\r\n") + 32);
        QVERIFY(copieparbloc.startsWith(copieparvaleur));
    }

    // The commands of the fast Morse reception, byte for byte, one request per value.
    void morseCommandes() {
        EchangeRapide e;
        e.envoie(u"mr"_s, 6400, u"e"_s);
        QVERIFY(e.ecrit().contains("XPEA1 0,200,6,0XEAPXRESUL 1,0,1XRESUL 1,1,1"));
        const QStringList c = e.commandes();
        const qsizetype debut = c.indexOf(u"commande XPEA1 0,200,6,0"_s);
        QVERIFY(debut >= 0);
        QCOMPARE(c.at(debut + 1), u"commande XEAP"_s);
        QCOMPARE(c.at(debut + 2), u"commande XRESUL 1,0,1"_s);
        QCOMPARE(c.at(debut + 33), u"commande XRESUL 1,31,1"_s);
        QVERIFY(c.at(debut + 34).startsWith(u"ignore XRESUL 1,32,1"_s));
        QCOMPARE(c.at(debut + 35), u"commande XRESUL 2,0,1"_s);
        QCOMPARE(c.filter(u"XRESUL"_s).size(), 199 * 33);
        QCOMPARE(c.last().section(u' ', 0, 2), u"ignore XRESUL 199,32,1"_s);
    }

    // The control copy: the header, then one line per value as it came, readable as a
    // recording.
    void copieControle() {
        EchangeRapide e;
        e.envoie(u"mr"_s, 6400, u"e"_s);
        const QString chemin =
            QDir(donnees_.path())
                .filePath(u"%1/controle.rrr"_s.arg(QCoreApplication::applicationName()));
        LectureEnregistrement enregistrement;
        QString erreur;
        QVERIFY2(enregistrement.ouvre(chemin, &erreur), qPrintable(erreur));
        const EtatPartage& etat = e.recepteur().etat;
        int n = 0;
        double v = 0;
        while (enregistrement.suivante(v)) {
            QCOMPARE(v, double(etat.tabmesures.at(n).trimmed().toInt()));
            ++n;
        }
        QCOMPARE(n, 6368);
    }

    void binaire_data() {
        QTest::addColumn<int>("nbmesures");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("recu");
        for (const int n : {6400, 12800}) {
            QTest::addRow("Bonjour %d", n) << n << u"Bonjour !"_s << u"Bonjour !"_s;
            QTest::addRow("e1 %d", n) << n << texteemissioncode(1) << phrasecode(1);
        }
    }
    void binaire() {
        QFETCH(int, nbmesures);
        QFETCH(QString, texte);
        QFETCH(QString, recu);
        EchangeRapide e;
        e.envoie(u"br"_s, nbmesures, texte);
        QCOMPARE(e.receptions, 1);
        const EtatPartage& etat = e.recepteur().etat;
        // The darkness after the message gives no blank, in the text or the code shown.
        QCOMPARE(etat.messagerecu, recu);
        QVERIFY(!etat.affichagebinaire.endsWith(u" ( ) "_s));
        QCOMPARE(e.resultat.texte1, etat.affichagebinaire);
        // The green box holds the code received: the estimate line says nothing of it.
        QCOMPARE(feuille(e.recepteur())->estimation->text(), QString());
        QCOMPARE(e.legendes, QStringList{u"Enregistrement d'un fichier binaire rapide"_s});
        QCOMPARE(etat.compteurmesures, nbmesures);
    }

    // The question lasts 24 s at normal speed: longer than either recording (8.3 s and
    // 16.6 s at 1.3 ms a sample), which keep its beginning. Twice as fast it fits in
    // 12800 samples, four times as fast in 6400.
    void binaireQuestion() {
        EchangeRapide lent;
        lent.envoie(u"br"_s, 12800, question);
        QVERIFY2(lent.recepteur().etat.messagerecu.startsWith(u"Quel est l'auteur de la "_s),
                 qPrintable(lent.recepteur().etat.messagerecu));
        for (const auto& [n, k] : {std::pair{12800, "2"}, std::pair{6400, "4"}}) {
            EchangeRapide e;
            e.envoie(u"br"_s, n, question, articlevitesse(QString::fromLatin1(k)));
            // The blank the question ends with is not told from the darkness after it.
            QCOMPARE(e.recepteur().etat.messagerecu, question.trimmed());
        }
    }

    // The commands of the fast binary reception, byte for byte.
    void binaireCommandes() {
        for (const int n : {6400, 12800}) {
            EchangeRapide e;
            e.envoie(u"br"_s, n, u"a"_s);
            const QByteArray blocs = QByteArray::number(n / 32);
            QVERIFY(e.ecrit().contains("XPEA1 0, " + blocs +
                                       ",6,0\rXEAP\rXRESUL  1,0,32XRESUL  2,0,32"));
            const QStringList c = e.commandes();
            const qsizetype debut =
                c.indexOf(u"commande XPEA1 0,%1,6,0"_s.arg(QString::fromLatin1(blocs)));
            QVERIFY(debut >= 0);
            QCOMPARE(c.at(debut + 1), u"commande XEAP"_s);
            QCOMPARE(c.at(debut + 2), u"commande XRESUL  1,0,32"_s);
            QCOMPARE(c.filter(u"XRESUL"_s).size(), n / 32);
            QCOMPARE(c.last(), u"commande XRESUL  %1,0,32"_s.arg(QString::fromLatin1(blocs)));
        }
    }

    // An earlier, longer download leaves nothing behind: what this one does not fill
    // reads as darkness. Without saving allowed, no chooser is asked for.
    void anciennesMesuresEffacees() {
        EchangeRapide e;
        e.envoie(u"mr"_s, 12800, u"sos"_s, nullptr, [](Station& s) {
            std::fill(s.etat.tabmesures.begin(), s.etat.tabmesures.end(), " 200"_ba);
            feuille(s)->menu_autorise_enregistremorse_Click();
        });
        const EtatPartage& etat = e.recepteur().etat;
        QCOMPARE(etat.enregmorseautorise, u"non"_s);
        QCOMPARE(etat.messagerecu, u"sos"_s);
        QVERIFY(etat.tabmesures.at(12799).size() > 1);
        for (int k : {12800, 12801})
            QVERIFY(etat.tabmesures.at(k).isEmpty());
        QVERIFY(e.legendes.isEmpty());
    }

    // The interface stops answering in the middle of a download: the reception ends with
    // what came, says so, and goes back to waiting.
    void interfaceMuette() {
        ReglagesBanc reglages;
        reglages.pannes.resize(2);
        reglages.pannes[1].blocageApres = 100;
        EchangeRapide e(reglages);
        e.envoie(u"br"_s, 6400, u"Bon"_s);
        QCOMPARE(e.receptions, 1);
        const Station& s = e.recepteur();
        QCOMPARE(s.etat.compteurmesures, 100 * 32);
        QVERIFY(s.etat.tabmesures.at(100 * 32 - 1).size() > 1);
        QVERIFY(s.etat.tabmesures.at(100 * 32).isEmpty());
        QVERIFY2(s.etat.messagerecu.startsWith(u"Bon"_s), qPrintable(s.etat.messagerecu));
        const QString texte2 = feuille(s)->Texte2->toPlainText();
        QVERIFY(texte2.startsWith(s.etat.messagerecu + u'\n'));
        QVERIFY(texte2.contains(u"3200 valeurs reçues sur 6400"_s));
        QCOMPARE(feuille(s)->Etiquette2->text(), u" FIN DE RECEPTION DU MESSAGE"_s);
        QVERIFY(s.Minuterie->enabled());
    }

    // A setting chosen in the menus while a reception records or downloads belongs to the
    // next reception: this one keeps the recording length, the coding, the speed and the
    // rules it began with, from its recording command to its decoding, and the window is
    // not reset under it; the choice applies as soon as it ends. Chosen while the station
    // waits for a message, it applies at once.
    void reglagesPendantReception_data() {
        QTest::addColumn<int>("article");
        QTest::addColumn<double>("instant");
        QTest::addColumn<bool>("differe");
        const QStringList noms = {u"durée 30 s"_s, u"x 2"_s, u"décodage robuste"_s,
                                  u"morse lent"_s};
        for (int a = 0; a < noms.size(); ++a) {
            // The start mark lights 2 s to 3 s; the reception begins as it ends, records
            // 8.3 + 2 s, then downloads.
            QTest::addRow("%s pendant l'enregistrement", qPrintable(noms[a])) << a << 6.0 << true;
            QTest::addRow("%s pendant le téléchargement", qPrintable(noms[a])) << a << 14.0 << true;
            // Chosen before the message, slow Morse would take the station out of fast binary.
            if (a < 3)
                QTest::addRow("%s avant la marque", qPrintable(noms[a])) << a << 1.8 << false;
        }
    }
    void reglagesPendantReception() {
        QFETCH(int, article);
        QFETCH(double, instant);
        QFETCH(bool, differe);
        EchangeRapide e;
        int nbmesuresapres = 0;
        QString typecodageapres;
        bool boutonactif = true;
        QString texte1;
        const auto choisit = [article](Feuillelumivox1& f) {
            QAction* a[] = {f.menu_binairerapide_33s, f.menu_vit_emission2, f.menu_decodagerobuste,
                            f.menu_typemorse};
            a[article]->trigger();
        };
        e.envoie(u"br"_s, 6400, u"Salut !"_s, nullptr, [&](Station& s) {
            e.banc.recepteur.plateforme.programme(instant, [&, &s = s] {
                choisit(*feuille(s));
                nbmesuresapres = s.etat.nbmesures;
                typecodageapres = s.etat.typecodage;
                boutonactif = feuille(s)->Btonenvoi_binrap->isEnabled();
                texte1 = feuille(s)->Texte1->toPlainText();
            });
        });
        const Station& s = e.recepteur();
        QCOMPARE(e.receptions, 1);
        QCOMPARE(s.etat.messagerecu, u"Salut !"_s);
        if (differe) {
            QCOMPARE(nbmesuresapres, 6400);
            QCOMPARE(typecodageapres, u"br"_s);
            QVERIFY(!boutonactif);
            QVERIFY(!texte1.startsWith(u" Message à effacer"_s));
            QCOMPARE(feuille(s)->dernierresultat()->regles, Regles::Corrigees);
        } else {
            QCOMPARE(nbmesuresapres, article == 0 ? 12800 : 6400);
        }
        // Applied once the reception is over, in any case; the text received stays on screen.
        QVERIFY2(feuille(s)->Texte2->toPlainText().startsWith(u"Salut !"_s),
                 qPrintable(feuille(s)->Texte2->toPlainText()));
        switch (article) {
        case 0:
            QCOMPARE(s.etat.nbmesures, 12800);
            break;
        case 1:
            QCOMPARE(s.etat.facteurvitesse, 0.5);
            break;
        case 2:
            QVERIFY(s.etat.decodagerobuste);
            break;
        default:
            QCOMPARE(s.etat.typecodage, u"m"_s);
        }
    }

    // The interface stops answering in the middle of the message's frames: the frame the
    // download cut is unknown, never a character of the darkness that did not come; the
    // notice says the download stopped, not that the message outlasted the recording.
    void trameCoupeeParLeTelechargement() {
        ReglagesBanc reglages;
        reglages.pannes.resize(2);
        reglages.pannes[1].blocageApres = 40;
        EchangeRapide e(reglages);
        e.envoie(u"br"_s, 6400, u"Bonjour"_s);
        QCOMPARE(e.receptions, 1);
        const Station& s = e.recepteur();
        QCOMPARE(s.etat.compteurmesures, 40 * 32);
        QCOMPARE(s.etat.messagerecu, u"B"_s + QChar(0xFFFD));
        const QString texte2 = feuille(s)->Texte2->toPlainText();
        QVERIFY(texte2.contains(u"1280 valeurs reçues sur 6400"_s));
        QVERIFY(!texte2.contains(u"plus longtemps que l'enregistrement"_s));
    }

private:
    QTemporaryDir donnees_;
};

QTEST_MAIN(TestEchangeRapide)
#include "tst_echangerapide.moc"
