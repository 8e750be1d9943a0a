#include "app/feuillelumivox1.h"
#include "codes/predefinis.h"
#include "emit/btonenvoibinrap.h"
#include "emit/btonenvoiebinaire.h"
#include "emit/btonenvoiemorse.h"
#include "emit/btonenvoimorserapide.h"
#include "emit/estimationemission.h"
#include "feuillesbanc.h"
#include "lumiererapide.h"
#include "receive/reglages.h"
#include "recording/decodagebinairerapide.h"
#include "recording/decodagemorserapide.h"
#include "stationessai.h"
#include "tools/bancvirtuel.h"
#include "tools/essailiaison.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <cmath>

using namespace Qt::StringLiterals;

// The estimate a sender sees before sending, against the light the send routines make on
// the virtual bench, and the warnings of the status bar.

namespace {

// The light station 1 sends for `texte`: from its first light to its last darkness.
double dureeemise(const QString& codage, const QString& texte, const ArticleVitesse* vitesse) {
    BancVirtuel banc;
    FeuillesBanc feuilles(banc);
    Station* emetteur = banc.emetteur.station.get();
    BancVirtuel::Echange echange;
    echange.morse = codage.startsWith(u'm');
    echange.preparation = [&](Station& s) {
        choisitcodagerapide(s, codage, 6400);
        if (vitesse)
            choisitvitesseposte(s, *vitesse);
        if (&s == emetteur)
            feuille(s)->Texte1->setPlainText(texte);
    };
    echange.envoi = codage == u"m"    ? Btonenvoiemorse_Click
                    : codage == u"b"  ? Btonenvoiebinaire_Click
                    : codage == u"mr" ? Btonenvoi_morserapide_Click
                                      : Btonenvoi_binrap_Click;
    echange.attenteApres = 0.5;
    const BancVirtuel::Resultat r = banc.echange(echange);
    if (r.transitions.size() < 2)
        return -1;
    return r.transitions.back().instant - r.transitions.front().instant;
}

// What the fast decoder says of a recording of `nbmesures` samples of that light, the
// first taken as the start mark ends.
Coupure coupuredecodee(const QString& codage, const QString& texte, double f, int nbmesures) {
    const bool morse = codage == u"mr";
    Echantillonnage e;
    e.debut = 0;
    e.nombre = nbmesures + 1;
    SourceEchantillons source;
    source.valeurs =
        echantillonne(morse ? lumieremorserapide(texte, f) : lumierebinairerapide(texte, f), e);
    source.nbmesures = nbmesures;
    source.tensionseuil = e.sombre * 5.0 / 255 + 0.5;
    return morse ? decodemorserapide(source, Regles::Corrigees).coupe
                 : decodebinairerapide(source, Regles::Corrigees).coupe;
}

} // namespace

class TestEstimation : public QObject {
    Q_OBJECT
private slots:
    void dureesDesEmetteurs_data() {
        QTest::addColumn<QString>("codage");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<int>("article");
        QTest::newRow("morse lent") << u"m"_s << u"sos 73"_s << 4;
        QTest::newRow("morse lent x 2") << u"m"_s << u"e"_s << 8;
        QTest::newRow("binaire lent") << u"b"_s << u"Oui !"_s << 4;
        QTest::newRow("binaire lent x 0,9") << u"b"_s << u"a b"_s << 0;
        QTest::newRow("morse rapide") << u"mr"_s << u"sos 73"_s << 4;
        QTest::newRow("morse rapide x 4") << u"mr"_s << u"bonjour"_s << 10;
        QTest::newRow("binaire rapide") << u"br"_s << u"Salut !"_s << 4;
        QTest::newRow("binaire rapide, code") << u"br"_s << texteemissioncode(2) << 6;
    }
    void dureesDesEmetteurs() {
        QFETCH(QString, codage);
        QFETCH(QString, texte);
        QFETCH(int, article);
        const ArticleVitesse& vitesse = articlesvitesse[size_t(article)];
        const double emise = dureeemise(codage, texte, &vitesse);
        const EstimationEmission e = estimeemission(texte, codage, 1 / vitesse.valeur, 6400);
        QVERIFY2(std::abs(e.duree - emise) < 0.01,
                 qPrintable(QStringLiteral("estimée %1 s, émise %2 s").arg(e.duree).arg(emise)));
    }

    void caracteresNonTransmis() {
        EstimationEmission e = estimeemission(u"é@# sos é"_s, u"m"_s, 1, 6400);
        QCOMPARE(e.nontransmis, (QStringList{u"é"_s, u"@"_s, u"#"_s}));
        QVERIFY(ligneestimation(e, u"m"_s).contains(u"non transmis en morse : é @ #"_s));
        QVERIFY(estimeemission(u"Élève à l'œuvre €"_s, u"b"_s, 1, 6400).nontransmis.isEmpty());
        e = estimeemission(u"a中b"_s, u"br"_s, 1, 6400);
        QCOMPARE(e.nontransmis, QStringList{u"中"_s});
        QVERIFY(estimeemission(u"sos"_s, u"mr"_s, 1, 6400).nontransmis.isEmpty());
    }

    // The recording holds 8.3 s (6400 samples) or 16.6 s (12800): a message whose light,
    // and the darkness after it that proves its end, do not fit in it is too long.
    void messageRapideTropLong() {
        const QString question = u"Quel est l'auteur de la relativité ? "_s;
        EstimationEmission e = estimeemission(question, u"br"_s, 1, 6400);
        QVERIFY(e.troplong);
        QCOMPARE(e.dureeenregistrement, 6400 * 0.0013);
        QVERIFY(ligneestimation(e, u"br"_s)
                    .contains(u"message plus long que l'enregistrement du récepteur"_s));
        QVERIFY(!estimeemission(question, u"br"_s, 0.5, 12800).troplong);
        QVERIFY(!estimeemission(u"Salut !"_s, u"br"_s, 1, 6400).troplong);
        QVERIFY(!estimeemission(question, u"b"_s, 1, 6400).troplong);
    }

    // The recording ends a few samples before or after the end of the message's light, or of
    // the darkness after it that proves its end: the estimate warns exactly when the
    // decoder would say the message cut or perhaps cut.
    void finDuMessageEtEnregistrement_data() {
        QTest::addColumn<QString>("codage");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<int>("article");
        QTest::addColumn<bool>("surlumiere"); // the edge: the light's end, or the proof's
        QTest::addColumn<int>("decalage");    // samples after that edge the recording ends
        QTest::addColumn<bool>("troplong");
        const struct {
            const char* nom;
            QString codage;
            QString texte;
            int article;
        } messages[] = {{"binaire x 1,3", u"br"_s, u"Salut"_s, 7},
                        {"binaire x 0,95", u"br"_s, u"ok"_s, 2},
                        {"morse x 1,1", u"mr"_s, u"sos"_s, 5}};
        for (const auto& m : messages) {
            const auto ligne = [&](const char* cas, bool surlumiere, int decalage, bool trop) {
                QTest::addRow("%s, %s", m.nom, cas)
                    << m.codage << m.texte << m.article << surlumiere << decalage << trop;
            };
            ligne("lumière juste au-delà", true, -2, true);
            ligne("lumière juste en deçà", true, 2, true);
            ligne("obscurité finale juste trop courte", false, -2, true);
            ligne("obscurité finale juste assez longue", false, 2, false);
        }
    }
    void finDuMessageEtEnregistrement() {
        QFETCH(QString, codage);
        QFETCH(QString, texte);
        QFETCH(int, article);
        QFETCH(bool, surlumiere);
        QFETCH(int, decalage);
        QFETCH(bool, troplong);
        const double f = articlesvitesse[size_t(article)].facteurvitesse;
        const EstimationEmission reference = estimeemission(texte, codage, f, 6400);
        const double bord = surlumiere ? reference.dureemessage : reference.dureeattendue;
        const int nbmesures = int(std::lround(bord / periodeechantillon)) + decalage;
        const EstimationEmission e = estimeemission(texte, codage, f, nbmesures);
        QCOMPARE(e.troplong, troplong);
        QCOMPARE(ligneestimation(e, codage).contains(u"message plus long"_s), troplong);
        QCOMPARE(coupuredecodee(codage, texte, f, nbmesures) != Coupure::non, troplong);
    }

    // A character outside the basic plane (two UTF-16 units) is one character: listed once
    // among those not sent, and lasting as long as one of the basic plane.
    void caractereHorsDuPlanDeBase_data() {
        QTest::addColumn<QString>("codage");
        QTest::newRow("morse") << u"m"_s;
        QTest::newRow("morse rapide") << u"mr"_s;
        QTest::newRow("binaire") << u"b"_s;
        QTest::newRow("binaire rapide") << u"br"_s;
    }
    void caractereHorsDuPlanDeBase() {
        QFETCH(QString, codage);
        const EstimationEmission e = estimeemission(u"sos 😀"_s, codage, 1, 6400);
        QCOMPARE(e.nontransmis, QStringList{u"😀"_s});
        // As long as a character of the basic plane that is not sent either.
        const EstimationEmission un = estimeemission(u"sos 中"_s, codage, 1, 6400);
        QCOMPARE(e.duree, un.duree);
    }

    void durees() {
        QCOMPARE(dureelisible(8.34), u"8,3 s"_s);
        QCOMPARE(dureelisible(19.4), u"19 s"_s);
        QCOMPARE(dureelisible(245), u"4 min 05 s"_s);
        QCOMPARE(dureelisible(2.5 * 3600 + 8 * 60), u"2 h 38 min"_s);
    }

    // The status bar follows the typing and the menus, and leaves alone the text a routine
    // holds.
    void barreDEtat() {
        StationEssai e;
        e.station.etat.typecodage = u"m"_s;
        e.station.etat.facteurvitesse = 1;
        e.station.etat.nbmesures = 6400;
        Feuillelumivox1& f = *e.feuille;
        f.Texte1->setPlainText(u"sos"_s);
        const QString morse = f.estimation->text();
        QVERIFY(morse.startsWith(u"Durée d'émission : "_s));
        QCOMPARE(morse, ligneestimation(estimeemission(u"sos"_s, u"m"_s, 1, 6400), u"m"_s));
        f.menu_vit_emission2_Click();
        QVERIFY(f.estimation->text() != morse);
        f.Texte1->setPlainText(u"sos é"_s);
        QVERIFY(f.estimation->text().contains(u"non transmis en morse : é"_s));
        // A reception shows its code in Texte1, read-only, and hands Texte1 back with the
        // code received in it: nobody will send that, the line says nothing of it.
        f.fixelectureseule(Ecran::Controle::Texte1, true);
        f.fixetexte(Ecran::Controle::Texte1, u"... --- ..."_s);
        QVERIFY(f.estimation->text().contains(u"é"_s));
        f.fixelectureseule(Ecran::Controle::Texte1, false);
        QCOMPARE(f.estimation->text(), QString());
        // The user's own change makes it a text to send again: a letter typed...
        QTest::keyClick(f.Texte1, Qt::Key_E);
        QVERIFY(f.estimation->text().startsWith(u"Durée d'émission : "_s));
        // ...or a prepared text chosen in the menu.
        f.fixetexte(Ecran::Controle::Texte1, u"code morse reçu : ... --- ..."_s);
        QCOMPARE(f.estimation->text(), QString());
        f.menu_e1_Click();
        QVERIFY(f.estimation->text().startsWith(u"Durée d'émission : "_s));
        f.Texte1->clear();
        QCOMPARE(f.estimation->text(), QString());
    }

};

QTEST_MAIN(TestEstimation)
#include "tst_estimation.moc"
