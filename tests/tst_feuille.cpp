#include "app/aide.h"
#include "app/barremenus.h"
#include "app/feuillelumivox1.h"
#include "app/grandepolice.h"
#include "app/lignedecommande.h"
#include "app/options.h"
#include "app/zoneproportionnelle.h"
#include "choosers/polices.h"
#include "codes/predefinis.h"
#include "lumicomversion.h"
#include "receive/progressiontelechargement.h"
#include "stationessai.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

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
    e.feuille->menu_typemorse_Click();
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
        Feuillelumivox1& f = *e.feuille;
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
        QAction* a = e.feuille->menu_vitesseemission->actions().at(article);
        a->trigger();
        QVERIFY(qAbs(e.station.etat.facteurvitesse - facteur) < 1e-12);
        QCOMPARE(e.station.etat.dureeparmesure, dureeparmesure > 0 ? dureeparmesure : 0.123);
        QVERIFY(a->isChecked());
    }

    void x2PuisX11GardeLaDureeDeX2() {
        StationEssai e;
        commeApresDemarrage(e);
        e.feuille->menu_vit_emission2->trigger();
        e.feuille->menu_vit_emission11->trigger();
        QCOMPARE(e.station.etat.dureeparmesure, 0.0008);
        QCOMPARE(e.station.etat.facteurvitesse, 1 / 1.1);
    }

    void policesEtIntervalles() {
        StationEssai e;
        commeApresDemarrage(e);
        Feuillelumivox1& f = *e.feuille;
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

    // The text size chosen shows at once in both text boxes, whatever is going on.
    void policeAussitot_data() {
        QTest::addColumn<int>("taille");
        QTest::newRow("12") << 12;
        QTest::newRow("16") << 16;
        QTest::newRow("20") << 20;
        QTest::newRow("30") << 30;
    }
    void policeAussitot() {
        QFETCH(int, taille);
        StationEssai e;
        commeApresDemarrage(e);
        Feuillelumivox1& f = *e.feuille;
        // Another size first, so that the one chosen is a change.
        (taille == 30 ? f.menu_police12 : f.menu_police30)->trigger();
        QAction* article =
            f.menu_police_texterecep->actions().at(QList{12, 16, 20, 30}.indexOf(taille));
        article->trigger();
        QCOMPARE(f.Texte1->font().pointSize(), taille);
        QCOMPARE(f.Texte2->font().pointSize(), taille);
    }

    // While a fast reception downloads, the foot of the window shows a bar and the values
    // with the time left, in place of the estimate; beyond a minute one value at a time,
    // the item of the menu "Options" that goes faster, named as the menu names it.
    void progressionDuTelechargement() {
        StationEssai e;
        commeApresDemarrage(e);
        Feuillelumivox1& f = *e.feuille;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.Texte1->setPlainText(QStringLiteral("sos"));
        QVERIFY(!f.barretelechargement->isVisible());
        QVERIFY(!f.lignetelechargement->isVisible());
        ProgressionTelechargement p;
        p.recues = 1234;
        p.demandees = 6368;
        p.reste = 112;
        p.parvaleur = true;
        f.progressiontelechargement(p);
        QVERIFY(f.barretelechargement->isVisible());
        QVERIFY(!f.estimation->isVisible());
        QCOMPARE(f.barretelechargement->maximum(), 6368);
        QCOMPARE(f.barretelechargement->value(), 1234);
        QCOMPARE(f.lignetelechargement->text(),
                 QStringLiteral("Téléchargement : 1234 / 6368 mesures, encore 1 min 52 s ; plus "
                                "court : cocher « %1 » dans le menu « Options »")
                     .arg(f.menu_telechargementblocs->text()));
        QVERIFY(f.menu_options->actions().contains(f.menu_telechargementblocs));
        // The line is whole, on as many lines as it needs, inside the window.
        QApplication::processEvents();
        QVERIFY(f.lignetelechargement->heightForWidth(f.lignetelechargement->width()) <=
                f.lignetelechargement->height());
        const QRect ligne(f.lignetelechargement->mapTo(&f, QPoint(0, 0)),
                          f.lignetelechargement->size());
        QVERIFY(f.rect().contains(ligne));
        p.recues = 5000;
        p.reste = resteConseilBlocs;
        f.progressiontelechargement(p);
        QCOMPARE(f.barretelechargement->value(), 5000);
        QCOMPARE(f.lignetelechargement->text(),
                 QStringLiteral("Téléchargement : 5000 / 6368 mesures, encore 1 min"));
        p.fini = true;
        f.progressiontelechargement(p);
        QVERIFY(!f.barretelechargement->isVisible());
        QVERIFY(!f.lignetelechargement->isVisible());
        QVERIFY(f.estimation->isVisible());
    }

    // The window grows (maximised on a projector's screen) and its controls with it, in
    // proportion and inside the window; it starts at the size it was drawn with.
    void fenetreAgrandie_data() {
        QTest::addColumn<QSize>("taille");
        QTest::newRow("dessin") << QSize(0, 0);
        QTest::newRow("1920 x 1080") << QSize(1920, 1080);
        QTest::newRow("large et basse") << QSize(1600, 700);
        QTest::newRow("etroite et haute") << QSize(900, 1000);
    }
    void fenetreAgrandie() {
        QFETCH(QSize, taille);
        StationEssai e;
        commeApresDemarrage(e);
        Feuillelumivox1& f = *e.feuille;
        const QSize dessin(f.pixels(11880), f.pixels(7830));
        const QRect quitter(f.Btonquitter->geometry());
        const double points = f.Etiquette1->font().pointSizeF();
        f.appliquetaillepolice(20);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(f.centralWidget()->size(), dessin);
        QCOMPARE(f.Btonquitter->geometry(), quitter);
        QVERIFY(f.maximumSize().width() > 1920 && f.maximumSize().height() > 1080);
        if (!taille.isEmpty())
            f.resize(taille);
        QApplication::processEvents();
        const QSize zone = f.centralWidget()->size();
        if (!taille.isEmpty())
            QVERIFY(zone.width() > dessin.width() || zone.height() > dessin.height());
        const double sx = double(zone.width()) / dessin.width();
        const double sy = double(zone.height()) / dessin.height();
        QCOMPARE(f.zoneproportionnelle->echellelargeur(), sx);
        QVERIFY(qAbs(f.Btonquitter->width() - quitter.width() * sx) <= 1);
        QVERIFY(qAbs(f.Btonquitter->height() - quitter.height() * sy) <= 1);
        QVERIFY(qAbs(f.Btonquitter->x() - quitter.x() * sx) <= 1);
        QVERIFY(qAbs(f.Btonquitter->y() - quitter.y() * sy) <= 1);
        // Every control drawn inside the area stays inside it (Texte2 was drawn reaching
        // below it, and still does, by as much in proportion).
        for (QWidget* c :
             {static_cast<QWidget*>(f.Etiquette1), static_cast<QWidget*>(f.Texte1),
              static_cast<QWidget*>(f.Btonenvoiemorse), static_cast<QWidget*>(f.Btonenvoiebinaire),
              static_cast<QWidget*>(f.Btonefface), static_cast<QWidget*>(f.Btonquitter),
              static_cast<QWidget*>(f.Etiquette2)})
            QVERIFY2(QRect(QPoint(0, 0), zone).contains(c->geometry()),
                     qPrintable(c->metaObject()->className()));
        QVERIFY(f.rect().contains(QRect(f.centralWidget()->mapTo(&f, QPoint(0, 0)), zone)));
        // The captions grow with the smaller proportion; the text boxes keep the size of
        // the menu "police textes".
        QVERIFY(qAbs(f.Etiquette1->font().pointSizeF() - points * std::min(sx, sy)) < 0.01);
        QCOMPARE(f.Texte1->font().pointSize(), 20);
        QCOMPARE(f.Texte2->font().pointSize(), 20);
        // With LUMICOM_CAPTURES set, the window on a projector's screen, a message in each
        // text box.
        const QString captures = qEnvironmentVariable("LUMICOM_CAPTURES");
        if (!captures.isEmpty() && taille == QSize(1920, 1080)) {
            f.menu_police30->trigger();
            f.Texte1->setPlainText(QStringLiteral("sos"));
            f.Texte2->setPlainText(QStringLiteral("Quel est l'auteur de la relativité ?"));
            QApplication::processEvents();
            QVERIFY(f.grab().save(captures + QStringLiteral("/fenetre-agrandie.png")));
        }
    }

    // "Grande police (projection)" sets the application's font at once (menus, boxes),
    // opens the choosers larger, and is kept for the next start; unticked, the system's
    // font comes back.
    void grandePolice() {
        QTemporaryDir configuration;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configuration.path()));
        const QFont systeme = QApplication::font();
        QVERIFY(systeme.pointSizeF() < pointsProjection);
        {
            StationEssai e;
            commeApresDemarrage(e);
            Feuillelumivox1& f = *e.feuille;
            retientoptions(f);
            QCOMPARE(f.menu_grandepolice->text(), QStringLiteral("Grande police (projection)"));
            QVERIFY(f.menu_options->actions().contains(f.menu_grandepolice));
            QVERIFY(!f.menu_grandepolice->isChecked());
            const double etiquette = f.Etiquette1->font().pointSizeF();
            f.menu_grandepolice->trigger();
            QVERIFY(f.menu_grandepolice->isChecked());
            QCOMPARE(QApplication::font().pointSizeF(), pointsProjection);
            QApplication::processEvents(); // the windows take the new font
            QCOMPARE(f.barremenus->rangees().first()->font().pointSizeF(), pointsProjection);
            QCOMPARE(agrandissementchoisisseurs(), pointsProjection / pointsChoisisseurs);
            // The form's own controls keep theirs.
            QCOMPARE(f.Etiquette1->font().pointSizeF(), etiquette);
        }
        {
            StationEssai suivante;
            retientoptions(*suivante.feuille);
            QVERIFY(suivante.feuille->menu_grandepolice->isChecked());
            QCOMPARE(QApplication::font().pointSizeF(), pointsProjection);
            suivante.feuille->menu_grandepolice->trigger();
            QVERIFY(!suivante.feuille->menu_grandepolice->isChecked());
            QCOMPARE(QApplication::font(), systeme);
            QCOMPARE(agrandissementchoisisseurs(), 1.0);
        }
        StationEssai derniere;
        retientoptions(*derniere.feuille);
        QVERIFY(!derniere.feuille->menu_grandepolice->isChecked());
        QCOMPARE(QApplication::font(), systeme);
        qunsetenv("XDG_CONFIG_HOME");
    }

    void effacerNeTouchequeTexte1() {
        StationEssai e;
        Feuillelumivox1& f = *e.feuille;
        f.Texte1->setPlainText(QStringLiteral("sos"));
        f.Texte2->setPlainText(QStringLiteral("reçu"));
        f.Btonefface->click();
        QVERIFY(f.Texte1->toPlainText().isEmpty());
        QCOMPARE(f.Texte2->toPlainText(), QStringLiteral("reçu"));
    }

    void autorisationDEnregistrementAlterne() {
        StationEssai e;
        commeApresDemarrage(e);
        Feuillelumivox1& f = *e.feuille;
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
        Feuillelumivox1& f = *e.feuille;
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
        Feuillelumivox1& f = *e.feuille;
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
        Feuillelumivox1& f = *e.feuille;
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
        Feuillelumivox1& f = *e.feuille;
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
        e.feuille->menu_apropos->trigger();
        e.feuille->menu_OrphyGTSII->trigger();
        QCOMPARE(e.dialogues.titres(), (QStringList{QStringLiteral("A propos ..."),
                                                    QStringLiteral("Conseils pratiques")}));
        QCOMPARE(e.dialogues.boites()[0].invite.count(u'\n'), 2);
        QCOMPARE(e.dialogues.boites()[1].invite.split(u'\n').size(), 5);
        QCOMPARE(e.dialogues.boites()[1].boutons, Dialogues::Boutons::Ok);
    }

    void decodageDUnEnregistrement() {
        StationEssai e;
        QSignalSpy demande(e.feuille.get(), &Feuillelumivox1::ouverturefichierdemandee);
        e.feuille->menu_decodage_fichierbinrap->trigger();
        QCOMPARE(e.station.etat.typefichier, QStringLiteral("br"));
        e.feuille->menu_decodage_fichiermorserap->trigger();
        QCOMPARE(e.station.etat.typefichier, QStringLiteral("mr"));
        QCOMPARE(demande.size(), 2);
        QCOMPARE(demande[1][0].toString(), QStringLiteral("Ouverture fichier morse *.rrr"));
    }

    void tousLesMenusSontEnVue() {
        // The menus wrap onto rows within the form's width: none hides behind an
        // extension button, and they keep their order.
        StationEssai e;
        Feuillelumivox1& f = *e.feuille;
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
        QCOMPARE(titres.size(), 10);
        QCOMPARE(titres.first(), QStringLiteral("&Codes de messages prédéfinis"));
        QCOMPARE(titres.at(6), QStringLiteral("(Pour Orphy GTS)"));
        QCOMPARE(titres.at(7), QStringLiteral("A&ide"));
        QCOMPARE(titres.at(8), QStringLiteral("Affic&hage"));
        QCOMPARE(titres.last(), QStringLiteral("&Options"));
        QVERIFY(f.barremenus->rangees().size() >= 2);
        QCOMPARE(f.centralWidget()->width(), f.pixels(11880));
    }

    // A port lost while waiting: said in a box that does not stop the program, the tick
    // off; the program goes on until Quit.
    void portPerduPendantLAttente() {
        StationEssai e;
        commeApresDemarrage(e);
        e.station.Minuterie->setEnabled(true);
        QString message;
        e.station.observateurs.liaisonPerdue = [&](const QString& m) { message = m; };
        e.plateforme.programme(1.0,
                               [&] { e.transport->perds(QStringLiteral("Câble débranché.")); });
        e.plateforme.programme(1.5, [&] { e.feuille->Btonquitter_Click(); });
        int code = -1;
        try {
            for (;;)
                e.plateforme.cede();
        } catch (const FinProgramme& fin) {
            code = fin.code;
        }
        QCOMPARE(code, 0);
        QVERIFY(message.startsWith(QStringLiteral("Câble débranché.")));
        QVERIFY(!e.station.Minuterie->enabled());
        QMessageBox* avis = e.feuille->findChild<QMessageBox*>();
        QVERIFY(avis && avis->isVisible() && !avis->isModal());
        QCOMPARE(avis->windowTitle(), QStringLiteral("Liaison avec l'interface perdue"));
    }

    // The menu "Options" at the right end of the bar, both items off by default; each
    // click turns its option over, and the options of one run are those of the next.
    void menuOptions() {
        QTemporaryDir configuration;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configuration.path()));
        {
            StationEssai e;
            commeApresDemarrage(e);
            Feuillelumivox1& f = *e.feuille;
            QCOMPARE(f.barremenus->articles().last(), f.menu_options->menuAction());
            QCOMPARE(f.menu_options->title(), QStringLiteral("&Options"));
            QCOMPARE(f.menu_decodagerobuste->text(),
                     QStringLiteral("Décodage robuste (lumière bruitée)"));
            QCOMPARE(f.menu_telechargementblocs->text(),
                     QStringLiteral("Téléchargement morse rapide par blocs (plus rapide)"));
            retientoptions(*e.feuille);
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
        retientoptions(*suivante.feuille);
        QVERIFY(suivante.station.etat.decodagerobuste);
        QVERIFY(suivante.feuille->menu_decodagerobuste->isChecked());
        QVERIFY(!suivante.station.etat.telechargementparblocs);
        qunsetenv("XDG_CONFIG_HOME");
    }

    // "Codages rapides" opens the two submenus at once and is remembered; closed, the
    // submenus say in their tooltip how to open them; --codages-rapides ticks it for its
    // run only.
    void codagesRapidesParLeMenu() {
        QTemporaryDir configuration;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configuration.path()));
        {
            StationEssai e;
            commeApresDemarrage(e);
            Feuillelumivox1& f = *e.feuille;
            retientoptions(*e.feuille);
            QVERIFY(f.menu_typecode->toolTipsVisible());
            QCOMPARE(f.menu_codagesrapides->text(), QStringLiteral("Codages rapides"));
            QVERIFY(f.menu_options->actions().contains(f.menu_codagesrapides));
            QVERIFY(!f.menu_codagesrapides->isChecked());
            for (QMenu* sousmenu : {f.menu_typemorserapide, f.menu_typebinairerapide}) {
                QVERIFY(!sousmenu->menuAction()->isEnabled());
                QVERIFY(sousmenu->menuAction()->toolTip().contains(
                    QStringLiteral("cocher « Codages rapides » dans le menu « Options »")));
            }
            QSignalSpy choisis(&f, &Feuillelumivox1::codagesrapideschoisis);
            f.menu_codagesrapides->trigger();
            QVERIFY(f.menu_codagesrapides->isChecked());
            for (QMenu* sousmenu : {f.menu_typemorserapide, f.menu_typebinairerapide}) {
                QVERIFY(sousmenu->menuAction()->isEnabled());
                // An open submenu has no tooltip of its own: its text says enough.
                QCOMPARE(sousmenu->menuAction()->toolTip(), sousmenu->menuAction()->text());
            }
            // Its items can be chosen now.
            f.menu_binairerap_17s->trigger();
            QCOMPARE(e.station.etat.typecodage, QStringLiteral("br"));
            QCOMPARE(choisis.size(), 1);
            QCOMPARE(choisis[0][0].toBool(), true);
        }
        {
            StationEssai suivante;
            retientoptions(*suivante.feuille);
            Feuillelumivox1& f = *suivante.feuille;
            QVERIFY(f.menu_codagesrapides->isChecked());
            QVERIFY(f.codagesrapidesouverts());
            f.menu_codagesrapides->trigger();
            QVERIFY(!f.menu_typemorserapide->menuAction()->isEnabled());
        }
        {
            // Closed by the last run; opened by the command line for this one alone.
            StationEssai e;
            retientoptions(*e.feuille);
            QVERIFY(!e.feuille->codagesrapidesouverts());
            e.feuille->autorisecodagesrapides();
            QVERIFY(e.feuille->menu_codagesrapides->isChecked());
        }
        StationEssai derniere;
        retientoptions(*derniere.feuille);
        QVERIFY(!derniere.feuille->codagesrapidesouverts());
        qunsetenv("XDG_CONFIG_HOME");
    }

    // No two menus of the bar, nor a menu and a button, share their Alt letter: Alt+A stays
    // with "A propos", as the form was drawn.
    void lettresAltDistinctes() {
        StationEssai e;
        Feuillelumivox1& f = *e.feuille;
        QStringList legendes;
        for (QAction* a : f.barremenus->articles())
            legendes << a->text();
        for (QPushButton* b : {f.Btonenvoiemorse, f.Btonenvoi_morserapide, f.Btonenvoiebinaire,
                               f.Btonenvoi_binrap, f.Btonefface, f.Btonquitter})
            legendes << b->text();
        QMap<QChar, QString> lettres;
        for (const QString& legende : legendes) {
            const qsizetype et = legende.indexOf(u'&');
            if (et < 0 || et + 1 >= legende.size())
                continue;
            const QChar lettre = legende.at(et + 1).toLower();
            QVERIFY2(!lettres.contains(lettre),
                     qPrintable(legende + QStringLiteral(" et ") + lettres.value(lettre)));
            lettres.insert(lettre, legende);
        }
        QCOMPARE(lettres.value(u'a'), f.menu_apropos->text());
        QCOMPARE(lettres.value(u'h'), f.menu_affichage->title());
        QCOMPARE(lettres.value(u'i'), f.menu_aide->title());
    }

    // F1 and the menu "Aide" open the guide, at its start or at the messages; the About
    // box gives the version.
    void aide() {
        StationEssai e;
        Feuillelumivox1& f = *e.feuille;
        QCOMPARE(f.menu_guide->shortcut(), QKeySequence(Qt::Key_F1));
        f.show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QTest::keyClick(f.Texte1, Qt::Key_F1);
        FenetreAide* aide = f.findChild<FenetreAide*>();
        QVERIFY(aide);
        QVERIFY(aide->isVisible());
        QCOMPARE(aide->texte()->source().fragment(), QString());
        f.menu_messages->trigger();
        QCOMPARE(f.findChildren<FenetreAide*>().size(), 1);
        QCOMPARE(aide->texte()->source().fragment(), QStringLiteral("messages"));

        e.dialogues.ok();
        f.menu_apropos->trigger();
        QVERIFY(e.dialogues.boites().back().invite.startsWith(
            QStringLiteral("lumicom " LUMICOM_VERSION ", ")));
    }

    // The estimate's warnings go onto further lines, never past the window's edge, and
    // its tooltip holds the whole line; a short estimate takes one line again.
    void estimationJamaisCoupee() {
        StationEssai e;
        commeApresDemarrage(e);
        Feuillelumivox1& f = *e.feuille;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.Texte1->setPlainText(QStringLiteral("sos"));
        QApplication::processEvents();
        const int uneligne = f.estimation->height();
        QCOMPARE(f.estimation->toolTip(), QStringLiteral("Durée d'émission : 19 s"));

        QString refuses;
        for (char16_t c = u'À'; c <= u'ÿ'; ++c)
            refuses += QChar(c);
        f.Texte1->setPlainText(QStringLiteral("bonjour ") + refuses);
        QApplication::processEvents();
        QVERIFY(f.estimation->toolTip().startsWith(QStringLiteral("Durée d'émission : ")));
        QVERIFY(f.estimation->toolTip().contains(QStringLiteral("non transmis en morse : À Á")));
        QVERIFY(!f.estimation->toolTip().contains(u'<'));
        QVERIFY(f.estimation->height() > uneligne);
        QVERIFY(f.estimation->heightForWidth(f.estimation->width()) <= f.estimation->height());
        const QRect dansLaFenetre(f.estimation->mapTo(&f, QPoint(0, 0)), f.estimation->size());
        QVERIFY(f.rect().contains(dansLaFenetre));

        f.Texte1->setPlainText(QStringLiteral("sos"));
        QApplication::processEvents();
        QCOMPARE(f.estimation->height(), uneligne);
        f.Texte1->clear();
        QCOMPARE(f.estimation->toolTip(), QString());
    }

    // The bench starts detached through lumicom-banc, found beside the program or among
    // the commands, given this program and the fast codings when they are open; without
    // the launcher, a message says so.
    void bancSimule() {
        StationEssai e;
        Feuillelumivox1& f = *e.feuille;
        QVERIFY(f.menu_options->actions().contains(f.menu_bancsimule));
        QTemporaryDir commandes;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(commandes.path()));

        e.dialogues.ok();
        f.menu_bancsimule->trigger();
        QCOMPARE(e.dialogues.boites().back().titre, QStringLiteral("Banc simulé"));
        QVERIFY(e.dialogues.boites().back().invite.contains(
            QStringLiteral("lumicom-banc, est introuvable")));

        QFile lanceur(commandes.filePath(QStringLiteral("lumicom-banc")));
        QVERIFY(lanceur.open(QIODevice::WriteOnly));
        // PATH holds only its folder when it starts: /bin named in full.
        lanceur.write("#!/bin/sh\necho \"$@\" > \"$0.tmp\"\n/bin/mv \"$0.tmp\" \"$0.appel\"\n");
        lanceur.close();
        QVERIFY(lanceur.setPermissions(lanceur.permissions() | QFileDevice::ExeOwner));
        f.autorisecodagesrapides();
        const std::size_t boites = e.dialogues.boites().size();
        f.menu_bancsimule->trigger();
        qputenv("PATH", path);
        QFile appel(lanceur.fileName() + QStringLiteral(".appel"));
        QTRY_VERIFY_WITH_TIMEOUT(appel.exists(), 30000);
        QVERIFY(appel.open(QIODevice::ReadOnly));
        const QString arguments = QString::fromLocal8Bit(appel.readAll()).trimmed();
        QVERIFY(arguments.startsWith(QStringLiteral("--lumicom ") +
                                     QCoreApplication::applicationFilePath()));
        QVERIFY(arguments.endsWith(QStringLiteral(" --codages-rapides")));
        QCOMPARE(e.dialogues.boites().size(), boites);
    }

    void quitterAuMilieuDUneRoutine() {
        // A routine waits (as a reception does); Quit, clicked meanwhile, closes the port
        // and ends the program: the routine does not go on.
        StationEssai e;
        commeApresDemarrage(e);
        e.station.Minuterie->setEnabled(true);
        // The handler is called as the button's click would call it; the end of the
        // program must not unwind through the toolkit's own frames in a test.
        e.plateforme.programme(2.0, [&] { e.feuille->Btonquitter_Click(); });
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
