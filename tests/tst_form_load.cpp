#include "app/feuillelumivox1.h"
#include "receive/form_load.h"
#include "stationessai.h"

#include <QAction>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Runs start-up to its end: the station quits at `quitte` seconds (virtual time), or
// earlier when start-up itself ends the program. Returns the exit code.
int demarre(StationEssai& e, double quitte = 6) {
    e.plateforme.programme(quitte, [&] { e.feuille->Btonquitter_Click(); });
    try {
        Form_Load(e.station);
    } catch (const FinProgramme& fin) {
        return fin.code;
    }
    return -1;
}

QByteArray lecture(int valeur) {
    return QByteArray::number(valeur);
}

// The dialogue up to the checklist, answered OK with the port typed.
void jusquAuBranchement(DialoguesScriptes& d, bool morse, const QString& port) {
    d.jusquAuBranchement(morse, port);
}

// Index of the n-th box of start-up, counting the priority warning where there is one.
size_t boite(size_t n) {
    return n + (avertissementprioritewindows ? 1 : 0);
}

} // namespace

class TestFormLoad : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    void sansTestUneSeuleMesure() {
        StationEssai e;
        e.lecture = [] { return lecture(20); };
        jusquAuBranchement(e.dialogues, true, QStringLiteral("1"));
        e.dialogues.annuler().ok();
        e.feuille->Texte1->setPlainText(QStringLiteral("reste d'avant"));
        QCOMPARE(demarre(e), 0);

        QVERIFY(e.dialogues.scriptEpuise());
        QStringList titres{QStringLiteral(" Choix du type de code MORSE ou BINAIRE ?")};
        if (avertissementprioritewindows)
            titres << QStringLiteral("Attention à la priorité Windows accordée");
        QCOMPARE(e.dialogues.titres(),
                 titres +
                     (QStringList{QStringLiteral("N° de port COM ? 1,2,3 ... 8 ? "),
                                  QStringLiteral("Branchement du matériel nécessaire effectué ?"),
                                  QStringLiteral(" Test du montage récepteur ?"),
                                  QStringLiteral("ATTENTION : MESURE DE TENSION SEUIL")}));
        const auto& avis = e.dialogues.boites().back();
        QVERIFY(avis.invite.startsWith(
            QStringLiteral("La tension seuil va être mesurée sur ce poste (si récepteur)\n\n"
                           "SI CE POSTE EST RECEPTEUR :VERIFIER")));

        const EtatPartage& etat = e.station.etat;
        QCOMPARE(etat.typecodage, QStringLiteral("m"));
        QCOMPARE(etat.numport, qint16(1));
        QCOMPARE(etat.tensionseuil, 20 * 5.0 / 255 + 0.5);
        QCOMPARE(etat.taillepolice, qint16(16));
        QCOMPARE(etat.facteurvitesse, 1.0);
        QCOMPARE(etat.nbmesures, qint16(6400));
        QCOMPARE(etat.enregmorseautorise, QStringLiteral("oui"));
        QCOMPARE(etat.enregbinautorise, QStringLiteral("oui"));
        QCOMPARE(etat.dureeparmesure, 0.0013);

        Feuillelumivox1& f = *e.feuille;
        QVERIFY(f.Texte1->toPlainText().isEmpty());
        QVERIFY(f.Texte2->isReadOnly());
        QVERIFY(f.isVisible());
        QCOMPARE(f.Texte1->font().pointSize(), 16);
        QCOMPARE(f.windowTitle(),
                 QStringLiteral("Communication entre deux ordinateurs en code Morse (lent)"));
        QCOMPARE(f.Etiquette1->text(),
                 QStringLiteral(" Entrer un message (sur 26 minuscules sans ponctuation ou 9 "
                                "chiffres) ou code") +
                     QString(25, u' '));
        QVERIFY(f.Btonenvoiemorse->isEnabled() && !f.Btonenvoiebinaire->isEnabled());
        QVERIFY(f.Btonenvoi_morserapide->isHidden() && f.Btonenvoi_binrap->isHidden());
        QVERIFY(f.menu_typemorse->isChecked() && !f.menu_typebinaire->isChecked());
        QVERIFY(f.menu_50ms->isChecked() && !f.menu_30ms->isChecked());
        QCOMPARE(e.station.Minuterie->interval(), 50);
        QVERIFY(e.station.Minuterie->enabled());
    }

    void fermerLaPremiereBoiteChoisitLeBinaire() {
        StationEssai e;
        jusquAuBranchement(e.dialogues, false, QStringLiteral("2"));
        e.dialogues.annuler().ok();
        QCOMPARE(demarre(e), 0);
        Feuillelumivox1& f = *e.feuille;
        QCOMPARE(e.station.etat.typecodage, QStringLiteral("b"));
        QCOMPARE(f.windowTitle(), QStringLiteral("Communication entre deux ordinateurs en code "
                                                 "binaire 8 bits ASCII (lent)"));
        QCOMPARE(f.Etiquette1->text(),
                 QStringLiteral(" Entrer un message (tout caractère clavier) ou code") +
                     QString(25, u' '));
        QVERIFY(!f.Btonenvoiemorse->isEnabled() && f.Btonenvoiebinaire->isEnabled());
        QVERIFY(!f.menu_typemorse->isChecked() && f.menu_typebinaire->isChecked());
        QVERIFY(f.menu_30ms->isChecked() && !f.menu_50ms->isChecked());
        QCOMPARE(e.station.Minuterie->interval(), 30);
    }

    void avecTestLaSecondeMesureCompte() {
        StationEssai e;
        int lu = 20;
        e.lecture = [&] { return lecture(lu); };
        double debutMesure = 0, finMesure = 0;
        jusquAuBranchement(e.dialogues, true, QStringLiteral("3"));
        e.dialogues.ok()
            .ok([&] { debutMesure = e.plateforme.maintenant(); })
            .ok([&] {
                finMesure = e.plateforme.maintenant();
                lu = 150; // the user lights the photodiode
            })
            .ok([&] { lu = 30; }) // and turns the laser off again
            .ok();
        QCOMPARE(demarre(e), 0);
        QVERIFY(e.dialogues.scriptEpuise());
        QVERIFY(finMesure - debutMesure > 1.0);

        const auto& boites = e.dialogues.boites();
        QCOMPARE(boites.size(), boite(8));
        QCOMPARE(boites[boite(2)].invite.left(53),
                 QStringLiteral("* chaque Orphy GTS est relié au port COM  3 de chaque"));
        QCOMPARE(boites[boite(5)].titre,
                 QStringLiteral(" Résultat de mesure de la tension seuil "));
        QVERIFY(boites[boite(5)].invite.startsWith(
            QStringLiteral("La tension Useuil = tension mesurée 00,39 V + 0,5 V = 00,89 V \n\n")));
        QCOMPARE(boites[boite(6)].titre, QStringLiteral(" Résultat du test : CORRECT "));
        QCOMPARE(boites[boite(6)].boutons, Dialogues::Boutons::Ok);
        QVERIFY(boites[boite(6)].invite.startsWith(
            QStringLiteral("La tension mesurée = 02,94 V  soit une hausse de 02,05 V  > 1V "
                           "CORRECT ! \n\n")));
        QVERIFY(boites[boite(7)].invite.startsWith(
            QStringLiteral("La tension seuil va être mesurée à nouveau sur ce poste")));
        QVERIFY(boites[boite(7)].invite.contains(QStringLiteral("RECEPTEUR : VERIFIER")));
        QCOMPARE(e.station.etat.tensionseuil, 30 * 5.0 / 255 + 0.5);
    }

    void uneHausseDeUnVoltPileEchoue() {
        // 0 V in the dark gives a 0.5 V threshold; 76.5 units are 1.5 V: a rise of exactly
        // 1 V, which is not enough.
        StationEssai e;
        QByteArray lu = "0";
        e.lecture = [&] { return lu; };
        jusquAuBranchement(e.dialogues, true, QStringLiteral("1"));
        e.dialogues.ok().ok().ok([&] { lu = "76.5"; }).annuler();
        QCOMPARE(demarre(e), 0);
        QVERIFY(e.dialogues.scriptEpuise());
        const auto& verdict = e.dialogues.boites().back();
        QCOMPARE(verdict.titre, QStringLiteral(" Résultat du test : INCORRECT "));
        QCOMPARE(verdict.boutons, Dialogues::Boutons::OkAnnuler);
        QVERIFY(verdict.invite.startsWith(
            QStringLiteral("La tension mesurée = 01,50 V  soit une hausse de 01,00 V  < 1V TROP "
                           "FAIBLE")));
        QVERIFY(!e.feuille->isVisible());
    }

    // An interface that does not answer is said at once, before any threshold, and the port
    // box is offered again: the lesson never starts on readings that did not come.
    void interfaceMuetteRedemandeLePort() {
        StationEssai e;
        QByteArray lu;
        e.lecture = [&] { return lu; };
        jusquAuBranchement(e.dialogues, true, QStringLiteral("1"));
        e.dialogues.ok().saisit(QStringLiteral("2"), [&] { lu = "20"; }).annuler().ok();
        QCOMPARE(demarre(e), 0);
        QVERIFY(e.dialogues.scriptEpuise());
        const auto& boites = e.dialogues.boites();
        QCOMPARE(boites[boite(3)].titre, QStringLiteral("L'interface ne répond pas"));
        QVERIFY2(
            boites[boite(3)].invite.startsWith(QStringLiteral("L'interface du port COM 1 ne répond "
                                                              "pas")),
            qPrintable(boites[boite(3)].invite));
        QVERIFY(boites[boite(3)].invite.contains(QStringLiteral("allumée")));
        QCOMPARE(boites[boite(4)].titre, QStringLiteral("N° de port COM ? 1,2,3 ... 8 ? "));
        // The checklist is not asked twice; the threshold is on a reading that came.
        QCOMPARE(boites[boite(5)].titre, QStringLiteral(" Test du montage récepteur ?"));
        QCOMPARE(e.portdemande, 2);
        QCOMPARE(e.station.etat.tensionseuil, 20 * 5.0 / 255 + 0.5);
        QVERIFY(e.feuille->isVisible());
    }

    // Cancel on that box ends the program, with the port closed.
    void interfaceMuetteAnnulerArrete() {
        StationEssai e;
        e.lecture = [] { return QByteArray("abc"); };
        jusquAuBranchement(e.dialogues, true, QStringLiteral("1"));
        e.dialogues.annuler();
        QCOMPARE(demarre(e), 1);
        QVERIFY(e.dialogues.boites().back().invite.startsWith(
            QStringLiteral("L'interface du port COM 1 répond, mais")));
        QVERIFY(!e.station.liaison.estOuvert());
        QVERIFY(!e.station.Minuterie->enabled());
    }

    // The interface falls silent between the opening and the threshold: the measurement
    // waits for a reading that comes, OK measuring again.
    void seuilSurUneMesureVenue() {
        StationEssai e;
        QByteArray lu = "10";
        e.lecture = [&] { return lu; };
        jusquAuBranchement(e.dialogues, true, QStringLiteral("1"));
        e.dialogues.annuler().ok([&] { lu.clear(); }).ok([&] { lu = "30"; });
        QCOMPARE(demarre(e), 0);
        QVERIFY(e.dialogues.scriptEpuise());
        QCOMPARE(e.dialogues.boites().back().titre, QStringLiteral("L'interface ne répond pas"));
        QVERIFY(
            e.dialogues.boites().back().invite.contains(QStringLiteral("n'a pas pu être mesurée")));
        QCOMPARE(e.station.etat.tensionseuil, 30 * 5.0 / 255 + 0.5);
    }

    // The port goes away during a measurement of the light at start-up (the threshold, or
    // the dark measurement of the receiver test): it is opened again every second, as while
    // waiting for a message, and the step goes on once it is back, on a reading of the port
    // back; no box asks the user to measure again.
    void portPerduPendantUneMesure_data() {
        QTest::addColumn<bool>("testfait");
        QTest::newRow("mesure du seuil") << false;
        QTest::newRow("test du récepteur") << true;
    }
    void portPerduPendantUneMesure() {
        QFETCH(bool, testfait);
        StationEssai e;
        int lu = 20;
        e.lecture = [&] { return lecture(lu); };
        double retour = -1;
        const auto perd = [&] {
            const double t = e.plateforme.maintenant();
            e.plateforme.programme(t + 0.4, [&] {
                e.transport->perds(QStringLiteral("périphérique indisponible"));
                e.erreurouverture = QStringLiteral("Le port COM 1 est introuvable.");
            });
            e.plateforme.programme(t + 3, [&] {
                e.erreurouverture.clear();
                lu = 25;
                retour = e.plateforme.maintenant();
            });
        };
        jusquAuBranchement(e.dialogues, true, QStringLiteral("1"));
        if (testfait)
            e.dialogues.ok().ok(perd).ok([&] { lu = 150; }).ok([&] { lu = 25; }).ok();
        else
            e.dialogues.annuler().ok(perd);
        QCOMPARE(demarre(e, 12), 0);
        QVERIFY(e.dialogues.scriptEpuise());
        QVERIFY(retour > 0);
        for (const auto& b : e.dialogues.boites())
            QVERIFY2(!b.invite.contains(QStringLiteral("n'a pas pu être mesurée")),
                     qPrintable(b.invite));
        if (testfait)
            QVERIFY(e.dialogues.boites()[boite(5)].invite.startsWith(
                QStringLiteral("La tension Useuil = tension mesurée 00,49 V")));
        QCOMPARE(e.station.etat.tensionseuil, 25 * 5.0 / 255 + 0.5);
        QVERIFY(e.station.Minuterie->enabled());
        QVERIFY(e.feuille->isVisible());
    }

    void numeroDePort_data() {
        QTest::addColumn<QString>("reponse");
        QTest::addColumn<int>("port");
        QTest::newRow("2.5 to even") << "2.5" << 2;
        QTest::newRow("3.5 to even") << "3.5" << 4;
        QTest::newRow("blank then 4") << " 4" << 4;
        QTest::newRow("2.6") << "2.6" << 3;
        QTest::newRow("no leading number") << "COM3" << 0;
    }
    void numeroDePort() {
        QFETCH(QString, reponse);
        QFETCH(int, port);
        StationEssai e;
        jusquAuBranchement(e.dialogues, true, reponse);
        e.dialogues.annuler().ok();
        QCOMPARE(demarre(e), 0);
        QCOMPARE(e.portdemande, port);
    }

    void sortiesDuDemarrage_data() {
        QTest::addColumn<int>("boitesRepondues"); // answers before the one that ends
        QTest::addColumn<QString>("derniereBoite");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("portDemande");
        QTest::newRow("empty port answer") << 2 << "N° de port COM ? 1,2,3 ... 8 ? " << 0 << false;
        QTest::newRow("cancel checklist")
            << 3 << "Branchement du matériel nécessaire effectué ?" << 0 << false;
    }
    void sortiesDuDemarrage() {
        QFETCH(int, boitesRepondues);
        QFETCH(QString, derniereBoite);
        QFETCH(int, code);
        QFETCH(bool, portDemande);
        StationEssai e;
        e.dialogues.ok();
        if (avertissementprioritewindows)
            e.dialogues.ok();
        if (boitesRepondues == 2)
            e.dialogues.saisit(QString()); // OK on an empty field
        else
            e.dialogues.saisit(QStringLiteral("1")).annuler();
        QCOMPARE(demarre(e), code);
        QCOMPARE(e.dialogues.boites().back().titre, derniereBoite);
        QCOMPARE(e.portdemande >= 0, portDemande);
        QVERIFY(!e.station.liaison.estOuvert());
        QVERIFY(!e.station.Minuterie->enabled());
    }

    // A port that cannot be opened, or a number no port can have: the reason, then OK types
    // another number, Cancel ends the program.
    void portImpossibleAOuvrir_data() {
        QTest::addColumn<QString>("numero");
        QTest::addColumn<QString>("debutinvite");
        QTest::newRow("introuvable") << "9"
                                     << "Le port COM 9 (/dev/ttyS8) est introuvable.";
        QTest::newRow("hors des seize bits") << "40000"
                                             << "Le numéro de port COM « 40000 »";
        QTest::newRow("juste au-dessus") << "32768"
                                         << "Le numéro de port COM « 32768 »";
    }
    void portImpossibleAOuvrir() {
        QFETCH(QString, numero);
        QFETCH(QString, debutinvite);
        // A number out of range is refused before the checklist; a port that does not open,
        // after it.
        const bool avantBranchement = numero != u"9";
        for (const bool autre : {false, true}) {
            StationEssai e;
            e.erreurouverture = QStringLiteral("Le port COM 9 (/dev/ttyS8) est introuvable.");
            DialoguesScriptes& d = e.dialogues;
            d.ok();
            if (avertissementprioritewindows)
                d.ok();
            d.saisit(numero);
            if (!avantBranchement)
                d.ok();
            if (!autre) {
                d.annuler();
            } else {
                d.ok().saisit(QStringLiteral("3"), [&] { e.erreurouverture.clear(); });
                if (avantBranchement)
                    d.ok();
                d.annuler().ok();
            }
            QCOMPARE(demarre(e), autre ? 0 : 1);
            QVERIFY(d.scriptEpuise());
            const auto& refus = d.boites()[boite(avantBranchement ? 2 : 3)];
            QCOMPARE(refus.titre, QStringLiteral("Ouverture du port COM impossible"));
            QCOMPARE(refus.boutons, Dialogues::Boutons::OkAnnuler);
            QVERIFY2(refus.invite.startsWith(debutinvite), qPrintable(refus.invite));
            QCOMPARE(e.station.Minuterie->enabled(), autre);
            if (autre)
                QCOMPARE(e.portdemande, 3);
        }
    }

    // The last number a port can have is tried.
    void numeroSeizeBitsLePlusGrand() {
        StationEssai e;
        jusquAuBranchement(e.dialogues, true, QStringLiteral("32767"));
        e.dialogues.annuler().ok();
        QCOMPARE(demarre(e), 0);
        QCOMPARE(e.portdemande, 32767);
    }

    void rafaleDExtinctionSansFileDAttente() {
        StationEssai e;
        e.plateforme.setPasLecture(2e-6);
        jusquAuBranchement(e.dialogues, true, QStringLiteral("1"));
        e.dialogues.annuler().ok();
        e.plateforme.programme(0.5, [&] { e.lecture = [] { return QByteArray("80"); }; });
        QCOMPARE(demarre(e), 0);

        const auto& ecritures = e.transport->ecritures();
        QCOMPARE(ecritures.front().octets, QByteArray(" \r"));
        // The burst: single blanks, no tick request among them, for at least 0.2 s.
        std::vector<double> rafale;
        for (const auto& ec : ecritures)
            if (ec.octets == " ")
                rafale.push_back(ec.instant);
        // As many as the line carries in 0.2 s, less a tick request still on its way.
        const double parLigne = 0.2 / TransportMemoire::dureeOctet;
        QVERIFY(rafale.size() >= parLigne - 8 && rafale.size() <= parLigne + 1);
        for (size_t i = 1; i < rafale.size(); ++i)
            QVERIFY(rafale[i] - rafale[i - 1] >= TransportMemoire::dureeOctet - 1e-9);
        for (const auto& ec : ecritures)
            if (ec.instant > rafale.front() && ec.instant < rafale.back())
                QCOMPARE(ec.octets, QByteArray(" "));
        QVERIFY(rafale.back() - rafale.front() >= 0.19);
        // Ticks sample again once the window is up; the end of the program turns the
        // laser off.
        QCOMPARE(ecritures.at(ecritures.size() - 2).octets, QByteArray("XEA 0\r"));
        QCOMPARE(ecritures.back().octets, QByteArray(" \r"));
        QCOMPARE(e.station.etat.tensionmesuree, 80 * 5.0 / 255);
    }
};

QTEST_MAIN(TestFormLoad)
#include "tst_form_load.moc"
