#include "app/barremenus.h"
#include "app/feuillelumivox1.h"
#include "app/lignedecommande.h"
#include "app/options.h"
#include "codes/predefinis.h"
#include "stationessai.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

int coches(const QList<QAction*>& articles) {
    int n = 0;
    for (QAction* a : articles)
        n += a->isChecked();
    return n;
}

// A station as start-up leaves it, in slow Morse, its port open.
void commeApresDemarrage(StationEssai& e) {
    e.station.etat.typecodage = QStringLiteral("m");
    e.station.etat.facteurvitesse = 1;
    e.station.etat.dureeparmesure = 0.0013;
    e.station.etat.taillepolice = 16;
    e.station.etat.enregmorseautorise = QStringLiteral("oui");
    e.station.etat.enregbinautorise = QStringLiteral("oui");
    e.station.feuille->menu_typemorse_Click();
    QString erreur;
    QVERIFY(e.station.liaison.ouvreport(&erreur));
}

} // namespace

class TestFeuille : public QObject {
    Q_OBJECT
private slots:
    void unSeulArticleCocheParGroupe() {
        StationEssai e;
        commeApresDemarrage(e);
        Feuillelumivox1& f = *e.station.feuille;
        const QList<QAction*> vitesses = f.menu_vitesseemission->actions();
        const QList<QAction*> polices = f.menu_police_texterecep->actions();
        const QList<QAction*> intervalles = f.menu_reglage_minuterie->actions();
        const QList<QAction*> codages = {f.menu_typemorse,      f.menu_typebinaire,
                                         f.menu_morserap_17s,   f.menu_morserap_34s,
                                         f.menu_binairerap_17s, f.menu_binairerapide_33s};
        QList<QAction*> tous = vitesses + polices + intervalles + codages;
        QCOMPARE(vitesses.size(), 11);
        QCOMPARE(coches(vitesses), 1);
        QCOMPARE(coches(polices), 1);
        QCOMPARE(coches(intervalles), 1);

        QRandomGenerator alea(20261208);
        bool rapide = false;
        for (int i = 0; i < 400; ++i) {
            QAction* a = tous[alea.bounded(tous.size())];
            if (!a->isEnabled())
                continue;
            a->trigger();
            if (codages.contains(a))
                rapide = codages.indexOf(a) >= 2;
            QCOMPARE(coches(vitesses), 1);
            QCOMPARE(coches(polices), 1);
            QCOMPARE(coches(intervalles), rapide ? 0 : 1);
            QCOMPARE(coches(codages), 1);
            if (!rapide)
                QCOMPARE(e.station.Minuterie->interval(), f.menu_30ms->isChecked() ? 30 : 50);
        }
    }

    void vitesses_data() {
        QTest::addColumn<int>("article");
        QTest::addColumn<double>("facteur");
        QTest::addColumn<double>("dureeparmesure"); // 0: unchanged
        const double k[] = {0.9, 0.925, 0.95, 0.975, 1, 1.1, 1.2, 1.3, 2, 3, 4};
        const double d[] = {0, 0, 0, 0, 0.0013, 0, 0, 0, 0.0008, 0.0005, 0.0005};
        for (int i = 0; i < 11; ++i)
            QTest::addRow("x %g", k[i]) << i << 1 / k[i] << d[i];
    }
    void vitesses() {
        QFETCH(int, article);
        QFETCH(double, facteur);
        QFETCH(double, dureeparmesure);
        StationEssai e;
        commeApresDemarrage(e);
        e.station.etat.dureeparmesure = 0.123;
        QAction* a = e.station.feuille->menu_vitesseemission->actions().at(article);
        a->trigger();
        QVERIFY(qAbs(e.station.etat.facteurvitesse - facteur) < 1e-12);
        QCOMPARE(e.station.etat.dureeparmesure, dureeparmesure > 0 ? dureeparmesure : 0.123);
        QVERIFY(a->isChecked());
    }

    void x2PuisX11GardeLaDureeDeX2() {
        StationEssai e;
        commeApresDemarrage(e);
        e.station.feuille->menu_vit_emission2->trigger();
        e.station.feuille->menu_vit_emission11->trigger();
        QCOMPARE(e.station.etat.dureeparmesure, 0.0008);
        QCOMPARE(e.station.etat.facteurvitesse, 1 / 1.1);
    }

    void policesEtIntervalles() {
        StationEssai e;
        commeApresDemarrage(e);
        Feuillelumivox1& f = *e.station.feuille;
        f.menu_police30->trigger();
        QCOMPARE(e.station.etat.taillepolice, qint16(30));
        f.menu_police12->trigger();
        QCOMPARE(e.station.etat.taillepolice, qint16(12));
        QVERIFY(f.menu_police12->isChecked() && !f.menu_police30->isChecked());
        f.menu_30ms->trigger();
        QCOMPARE(e.station.Minuterie->interval(), 30);
        f.menu_30ms->trigger(); // choosing it again keeps it checked
        QVERIFY(f.menu_30ms->isChecked() && !f.menu_50ms->isChecked());
        QCOMPARE(e.station.etat.typecodage, QStringLiteral("m"));
    }

    void effacerNeTouchequeTexte1() {
        StationEssai e;
        Feuillelumivox1& f = *e.station.feuille;
        f.Texte1->setPlainText(QStringLiteral("sos"));
        f.Texte2->setPlainText(QStringLiteral("reçu"));
        f.Btonefface->click();
        QVERIFY(f.Texte1->toPlainText().isEmpty());
        QCOMPARE(f.Texte2->toPlainText(), QStringLiteral("reçu"));
    }

    void autorisationDEnregistrementAlterne() {
        StationEssai e;
        commeApresDemarrage(e);
        Feuillelumivox1& f = *e.station.feuille;
        const long cessions = e.plateforme.nombreCessions();
        for (const char* attendu : {"non", "oui", "non"}) {
            f.menu_autorise_enregistremorse->trigger();
            QCOMPARE(e.station.etat.enregmorseautorise, QString::fromLatin1(attendu));
            QCOMPARE(f.menu_autorise_enregistremorse->isChecked(), qstrcmp(attendu, "oui") == 0);
        }
        QCOMPARE(e.plateforme.nombreCessions(), cessions + 3);
        f.menu_autorise_enregistrebin_Click();
        QCOMPARE(e.station.etat.enregbinautorise, QStringLiteral("non"));
        QVERIFY(!f.menu_autorise_enregistrebin->isChecked());
        QCOMPARE(e.station.etat.enregmorseautorise, QStringLiteral("non"));
    }

    void passageAuBinaireLent() {
        StationEssai e;
        commeApresDemarrage(e);
        Feuillelumivox1& f = *e.station.feuille;
        f.menu_morserap_34s->trigger(); // from a fast coding: interval items come back
        f.Texte1->setPlainText(QStringLiteral("abc"));
        f.menu_typebinaire->trigger();
        QCOMPARE(e.station.etat.typecodage, QStringLiteral("b"));
        QVERIFY(f.Btonenvoi_morserapide->isHidden() && !f.Btonenvoi_morserapide->isEnabled());
        QVERIFY(f.Btonenvoi_binrap->isHidden() && !f.Btonenvoi_binrap->isEnabled());
        QVERIFY(!f.Btonenvoiebinaire->isHidden() && f.Btonenvoiebinaire->isEnabled());
        QVERIFY(!f.Btonenvoiemorse->isHidden() && !f.Btonenvoiemorse->isEnabled());
        QCOMPARE(f.windowTitle(), QStringLiteral("Communication entre deux ordinateurs en code "
                                                 "binaire 8 bits ASCII (lent)"));
        QCOMPARE(f.Texte2->toPlainText(),
                 QStringLiteral("Attention ! changement de codage en binaire (lent)    modifier de "
                                "même le programme sur le deuxième ordinateur (menu Réglage "
                                "Minuterie à 30 ms conseillé)"));
        QVERIFY(f.menu_30ms->isEnabled() && f.menu_50ms->isEnabled());
        QVERIFY(f.menu_30ms->isChecked() && !f.menu_50ms->isChecked());
        QVERIFY(!f.menu_morserap_34s->isChecked());
        QCOMPARE(e.station.Minuterie->interval(), 30);
        QVERIFY(f.Texte1->toPlainText().isEmpty());
    }

    void passageAuBinaireRapide() {
        StationEssai e;
        commeApresDemarrage(e);
        Feuillelumivox1& f = *e.station.feuille;
        QVERIFY(!f.menu_typemorserapide->menuAction()->isEnabled());
        QVERIFY(!f.menu_typebinairerapide->menuAction()->isEnabled());
        f.menu_binairerapide_33s->trigger();
        QCOMPARE(e.station.etat.typecodage, QStringLiteral("br"));
        QCOMPARE(e.station.etat.nbmesures, qint16(12800));
        QVERIFY(!f.Btonenvoi_binrap->isHidden() && f.Btonenvoi_binrap->isEnabled());
        QVERIFY(f.Btonenvoiebinaire->isHidden() && !f.Btonenvoiebinaire->isEnabled());
        QVERIFY(!f.Btonenvoiemorse->isHidden() && !f.Btonenvoiemorse->isEnabled());
        QVERIFY(f.Btonenvoi_morserapide->isHidden());
        QCOMPARE(f.Etiquette1->text(),
                 QStringLiteral(" Entrer un message (tout caractère clavier)") + QString(34, u' '));
        QCOMPARE(
            f.Texte1->toPlainText(),
            QStringLiteral(" Message à effacer : en binaire rapide; message d'environ 2 lignes "
                           "de caractères au maximum conseillé pour éviter une durée de "
                           "transmission dépassant 30 s"));
        QVERIFY(!f.menu_30ms->isEnabled() && !f.menu_50ms->isEnabled());
        QVERIFY(!f.menu_typemorse->isChecked() && !f.menu_typebinaire->isChecked());
        QCOMPARE(e.station.Minuterie->interval(), 30);
        f.menu_morserap_17s->trigger();
        QCOMPARE(e.station.etat.typecodage, QStringLiteral("mr"));
        QCOMPARE(e.station.etat.nbmesures, qint16(6400));
        QVERIFY(!f.menu_binairerapide_33s->isChecked() && f.menu_morserap_17s->isChecked());
    }

    // The fast codings are out of reach unless the program is started with
    // --codages-rapides; the help is French and a wrong argument stops the program.
    void optionCodagesRapides() {
        QVERIFY(!litlignedecommande({}).codagesRapides);
        const LigneDeCommande rapides = litlignedecommande({QStringLiteral("--codages-rapides")});
        QVERIFY(rapides.codagesRapides && !rapides.arret);
        const LigneDeCommande aide = litlignedecommande({QStringLiteral("--help")});
        QVERIFY(aide.arret);
        QCOMPARE(aide.code, 0);
        QVERIFY(aide.message.contains(QStringLiteral("--codages-rapides")));
        const LigneDeCommande erreur = litlignedecommande({QStringLiteral("--rapide")});
        QVERIFY(erreur.arret);
        QCOMPARE(erreur.code, 2);
        QVERIFY(erreur.message.contains(QStringLiteral("« --rapide »")));

        StationEssai e;
        commeApresDemarrage(e);
        Feuillelumivox1& f = *e.station.feuille;
        f.autorisecodagesrapides();
        QVERIFY(f.menu_typemorserapide->menuAction()->isEnabled());
        QVERIFY(f.menu_typebinairerapide->menuAction()->isEnabled());
        QVERIFY(f.menu_morserap_17s->isEnabled() && f.menu_decodage_fichierbinrap->isEnabled());
    }

    // --poste N: a station of a bench; a plain start has none.
    void optionPoste() {
        QCOMPARE(litlignedecommande({}).poste, 0);
        QCOMPARE(litlignedecommande({QStringLiteral("--poste"), QStringLiteral("2")}).poste, 2);
        const LigneDeCommande deux =
            litlignedecommande({QStringLiteral("--poste=1"), QStringLiteral("--codages-rapides")});
        QCOMPARE(deux.poste, 1);
        QVERIFY(deux.codagesRapides && !deux.arret);
        for (const QStringList& faux : {QStringList{QStringLiteral("--poste")},
                                        QStringList{QStringLiteral("--poste"), QStringLiteral("0")},
                                        QStringList{QStringLiteral("--poste=deux")}}) {
            const LigneDeCommande l = litlignedecommande(faux);
            QVERIFY(l.arret);
            QCOMPARE(l.code, 2);
            QVERIFY(l.message.contains(QStringLiteral("--poste")));
        }
        QVERIFY(aideprogramme().contains(QStringLiteral("--poste N")));
    }

    void textesPrepares() {
        StationEssai e;
        commeApresDemarrage(e);
        Feuillelumivox1& f = *e.station.feuille;
        f.menu_e3->trigger();
        QCOMPARE(f.Texte1->toPlainText(), texteemissioncode(3));
        f.menu_quiestlauteur->trigger();
        QCOMPARE(f.Texte1->toPlainText(), QStringLiteral("quel est l auteur de la relativite "));
        e.station.etat.typecodage = QStringLiteral("b");
        f.menu_reponsezorvanek->trigger();
        QCOMPARE(f.Texte1->toPlainText(), QStringLiteral("c'est Zorvanek Tibrus, bien sûr ! "));
        e.station.etat.typecodage = QStringLiteral("mr");
        f.menu_messagelong->trigger();
        QCOMPARE(f.Texte1->toPlainText(), QStringLiteral("c'est Zorvanek Tibrus, bien sûr ! "));
    }

    void boitesDInformation() {
        StationEssai e;
        e.dialogues.ok().ok();
        e.station.feuille->menu_apropos->trigger();
        e.station.feuille->menu_OrphyGTSII->trigger();
        QCOMPARE(e.dialogues.titres(), (QStringList{QStringLiteral("A propos ..."),
                                                    QStringLiteral("Conseils pratiques")}));
        QCOMPARE(e.dialogues.boites()[0].invite.count(u'\n'), 2);
        QCOMPARE(e.dialogues.boites()[1].invite.split(u'\n').size(), 5);
        QCOMPARE(e.dialogues.boites()[1].boutons, Dialogues::Boutons::Ok);
    }

    void decodageDUnEnregistrement() {
        StationEssai e;
        QSignalSpy demande(e.station.feuille.get(), &Feuillelumivox1::ouverturefichierdemandee);
        e.station.feuille->menu_decodage_fichierbinrap->trigger();
        QCOMPARE(e.station.etat.typefichier, QStringLiteral("br"));
        e.station.feuille->menu_decodage_fichiermorserap->trigger();
        QCOMPARE(e.station.etat.typefichier, QStringLiteral("mr"));
        QCOMPARE(demande.size(), 2);
        QCOMPARE(demande[1][0].toString(), QStringLiteral("Ouverture fichier morse *.rrr"));
    }

    void tousLesMenusSontEnVue() {
        // The menus wrap onto rows within the form's width: none hides behind an
        // extension button, and they keep their order.
        StationEssai e;
        Feuillelumivox1& f = *e.station.feuille;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QStringList titres;
        QList<QAction*> enVue;
        for (QMenuBar* rangee : f.barremenus->rangees()) {
            for (QAction* a : rangee->actions()) {
                enVue << a;
                titres << a->text();
                QVERIFY(rangee->rect().contains(rangee->actionGeometry(a)));
            }
        }
        QCOMPARE(enVue, f.barremenus->articles());
        QCOMPARE(titres.size(), 9);
        QCOMPARE(titres.first(), QStringLiteral("&Codes de messages prédéfinis"));
        QCOMPARE(titres.at(6), QStringLiteral("(Pour Orphy GTS)"));
        QCOMPARE(titres.at(7), QStringLiteral("&Affichage"));
        QCOMPARE(titres.last(), QStringLiteral("&Options"));
        QVERIFY(f.barremenus->rangees().size() >= 2);
        QCOMPARE(f.centralWidget()->width(), f.pixels(11880));
    }

    void portPerduPendantLAttente() {
        StationEssai e;
        commeApresDemarrage(e);
        e.dialogues.ok();
        e.station.Minuterie->setEnabled(true);
        e.plateforme.programme(1.0,
                               [&] { e.transport->perds(QStringLiteral("Câble débranché.")); });
        int code = -1;
        try {
            for (;;)
                e.plateforme.cede();
        } catch (const FinProgramme& fin) {
            code = fin.code;
        }
        QCOMPARE(code, 3);
        QVERIFY(e.plateforme.maintenant() < 1.1);
        QCOMPARE(e.dialogues.boites().back().titre,
                 QStringLiteral("Liaison avec l'interface perdue"));
        QVERIFY(e.dialogues.boites().back().invite.startsWith(QStringLiteral("Câble débranché.")));
    }

    // The menu "Options" at the right end of the bar, both items off by default; each
    // click turns its option over, and the options of one run are those of the next.
    void menuOptions() {
        QTemporaryDir configuration;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configuration.path()));
        {
            StationEssai e;
            commeApresDemarrage(e);
            Feuillelumivox1& f = *e.station.feuille;
            QCOMPARE(f.barremenus->articles().last(), f.menu_options->menuAction());
            QCOMPARE(f.menu_options->title(), QStringLiteral("&Options"));
            QCOMPARE(f.menu_decodagerobuste->text(),
                     QStringLiteral("Décodage robuste (lumière bruitée)"));
            QCOMPARE(f.menu_telechargementblocs->text(),
                     QStringLiteral("Téléchargement morse rapide par blocs (plus rapide)"));
            retientoptions(e.station);
            QVERIFY(!f.menu_decodagerobuste->isChecked());
            QVERIFY(!e.station.etat.decodagerobuste);
            QSignalSpy changees(&f, &Feuillelumivox1::optionschangees);
            f.menu_decodagerobuste->trigger();
            QVERIFY(f.menu_decodagerobuste->isChecked());
            QVERIFY(e.station.etat.decodagerobuste);
            f.menu_telechargementblocs->trigger();
            f.menu_telechargementblocs->trigger();
            QVERIFY(!e.station.etat.telechargementparblocs);
            QVERIFY(!f.menu_telechargementblocs->isChecked());
            QCOMPARE(changees.size(), 3);
        }
        StationEssai suivante;
        retientoptions(suivante.station);
        QVERIFY(suivante.station.etat.decodagerobuste);
        QVERIFY(suivante.station.feuille->menu_decodagerobuste->isChecked());
        QVERIFY(!suivante.station.etat.telechargementparblocs);
        qunsetenv("XDG_CONFIG_HOME");
    }

    void quitterAuMilieuDUneRoutine() {
        // A routine waits (as a reception does); Quit, clicked meanwhile, closes the port
        // and ends the program: the routine does not go on.
        StationEssai e;
        commeApresDemarrage(e);
        e.station.Minuterie->setEnabled(true);
        // The handler is called as the button's click would call it; the end of the
        // program must not unwind through the toolkit's own frames in a test.
        e.plateforme.programme(2.0, [&] { e.station.feuille->Btonquitter_Click(); });
        bool routineFinie = false;
        try {
            const double debut = e.plateforme.horloge();
            while (e.plateforme.horloge() - debut < 10)
                e.plateforme.cede();
            routineFinie = true;
        } catch (const FinProgramme& fin) {
            QCOMPARE(fin.code, 0);
        }
        QVERIFY(!routineFinie);
        QVERIFY(!e.station.liaison.estOuvert());
        QVERIFY(e.plateforme.maintenant() < 2.01);
    }
};

QTEST_MAIN(TestFeuille)
#include "tst_feuille.moc"
