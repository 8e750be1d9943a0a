#include "app/dialoguesqt.h"
#include "app/fenetrelumierebanc.h"
#include "app/feuillelumivox1.h"
#include "link/tubebanc.h"
#include "receive/demarragebanc.h"
#include "receive/form_load.h"
#include "stationessai.h"

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The light of a simulated bench at hand: the folder of the bench found from LUMICOM_PORTS,
// its commands given through the simulator's pipe (here read by the test in its place), its
// state read back, the window "Lumière du banc", the item of the menu "Options", and the
// receiver test of start-up on the bench.

namespace {

// A bench's folder as lumicom-sim makes it: COM1, COM2, the pipe "lumiere" (read here by
// the test) and, when given, the file of the light.
struct DossierBanc {
    explicit DossierBanc(bool tube = true) {
        for (const char* nom : {"COM1", "COM2"}) {
            QFile f(dossier.filePath(QString::fromLatin1(nom)));
            f.open(QIODevice::WriteOnly);
        }
        const QByteArray chemin = QFile::encodeName(dossier.filePath(u"lumiere"_s));
        if (tube) {
            ::mkfifo(chemin.constData(), 0600);
            lecture = ::open(chemin.constData(), O_RDONLY | O_NONBLOCK);
        } else {
            QFile f(dossier.filePath(u"lumiere"_s));
            f.open(QIODevice::WriteOnly);
        }
        qputenv("LUMICOM_PORTS", QFile::encodeName(dossier.path()));
    }
    ~DossierBanc() {
        ferme();
        qunsetenv("LUMICOM_PORTS");
    }
    void ferme() {
        if (lecture >= 0)
            ::close(lecture);
        lecture = -1;
    }
    // The commands given since the last call.
    QStringList commandes() {
        QByteArray recu;
        char tampon[512];
        for (ssize_t n; lecture >= 0 && (n = ::read(lecture, tampon, sizeof tampon)) > 0;)
            recu.append(tampon, n);
        QStringList lignes = QString::fromUtf8(recu).split(u'\n');
        lignes.removeAll(QString());
        return lignes;
    }
    void etat(const QByteArray& texte) {
        QFile f(dossier.filePath(u"etat-lumiere"_s));
        f.open(QIODevice::WriteOnly);
        f.write(texte);
    }

    QTemporaryDir dossier;
    int lecture = -1;
};

const QByteArray etatordinaire =
    "COM1 salle 0.05 laser 2.95 bruit 0 scintillement 0 photodiode normale\n"
    "COM2 salle 1.5 laser 1 bruit 0.1 scintillement 0.2 photodiode eclairee\n";

} // namespace

class TestLumiereBanc : public QObject {
    Q_OBJECT

private slots:
    // The bench is LUMICOM_PORTS when it holds the simulator's pipe, and no file of that
    // name; its ports are those it publishes.
    void leBanc() {
        {
            DossierBanc banc;
            QCOMPARE(dossierbanc(), banc.dossier.path());
            QVERIFY(portdubanc(1));
            QVERIFY(portdubanc(2));
            QVERIFY(!portdubanc(3));
            QVERIFY(!portdubanc(0));
        }
        QVERIFY(dossierbanc().isEmpty());
        QVERIFY(!portdubanc(1));
        DossierBanc fichier(false);
        QVERIFY(dossierbanc().isEmpty());
        QVERIFY(!portdubanc(1));
    }

    // A command reaches the simulator's pipe, one line; a simulator that has stopped (nobody
    // reads the pipe) refuses it at once, and says so.
    void commandes() {
        DossierBanc banc;
        QString erreur;
        QVERIFY(commandebanc(banc.dossier.path(), u"salle 2 1.500"_s, &erreur));
        QCOMPARE(banc.commandes(), QStringList{u"salle 2 1.500"_s});
        banc.ferme();
        QVERIFY(!commandebanc(banc.dossier.path(), u"salle 2 1"_s, &erreur));
        QVERIFY2(erreur.contains(u"ne répond plus"_s), qPrintable(erreur));
    }

    // The light as the simulator wrote it: a line per photodiode, anything else left out.
    void etatDuBanc() {
        DossierBanc banc;
        QVERIFY(litlumierebanc(banc.dossier.path()).isEmpty());
        banc.etat(etatordinaire + "mot inconnu\nCOMx salle 1\n");
        const QList<LumierePhotodiode> l = litlumierebanc(banc.dossier.path());
        QCOMPARE(l.size(), 2);
        QCOMPARE(l[0].poste, 1);
        QCOMPARE(l[0].salle, 0.05);
        QCOMPARE(l[0].photodiode, u"normale"_s);
        QCOMPARE(l[1].poste, 2);
        QCOMPARE(l[1].salle, 1.5);
        QCOMPARE(l[1].laser, 1.0);
        QCOMPARE(l[1].bruit, 0.1);
        QCOMPARE(l[1].scintillement, 0.2);
        QCOMPARE(l[1].photodiode, u"eclairee"_s);
    }

    // The window shows each photodiode's light as the simulator says it stands, gives each
    // change at once, within the ranges of a lesson, and follows what changes elsewhere.
    void laFenetre() {
        DossierBanc banc;
        banc.etat(etatordinaire);
        FenetreLumiereBanc fenetre(banc.dossier.path());
        QVERIFY(fenetre.champ(1, 0) && fenetre.champ(2, 3));
        QVERIFY(!fenetre.champ(3, 0));
        QCOMPARE(fenetre.champ(2, 0)->value(), 1.5); // the room
        QCOMPARE(fenetre.champ(2, 1)->value(), 0.1); // the noise
        QCOMPARE(fenetre.champ(2, 2)->value(), 0.2); // the ripple
        QCOMPARE(fenetre.champ(2, 3)->value(), 1.0); // the laser
        QVERIFY(banc.commandes().isEmpty());         // showing it gave nothing
        fenetre.champ(2, 0)->setValue(0.5);
        QCOMPARE(banc.commandes(), QStringList{u"salle 2 0.500"_s});
        // The edges of each range: the room up to 2 V, the noise to 0.2 V, the ripple to
        // 0.3 V, the laser from 0.5 V to 5 V.
        fenetre.champ(1, 0)->setValue(2.5);
        fenetre.champ(1, 1)->setValue(0.3);
        fenetre.champ(1, 2)->setValue(0.3);
        fenetre.champ(1, 3)->setValue(0.1);
        QCOMPARE(banc.commandes(), (QStringList{u"salle 1 2.000"_s, u"bruit 1 0.200"_s,
                                                u"scintillement 1 0.300"_s, u"laser 1 0.500"_s}));
        fenetre.champ(1, 3)->setValue(6);
        QCOMPARE(banc.commandes(), QStringList{u"laser 1 5.000"_s});
        fenetre.photodiode(2, 0);
        fenetre.photodiode(2, 1);
        fenetre.photodiode(1, 2);
        QCOMPARE(banc.commandes(), (QStringList{u"eclaire 2"_s, u"normale 2"_s, u"sombre 1"_s}));
        // Changed from another station's window: shown at the next reading.
        banc.etat("COM2 salle 0.8 laser 1 bruit 0 scintillement 0 photodiode sombre\n");
        fenetre.relit();
        QCOMPARE(fenetre.champ(2, 0)->value(), 0.8);
        QCOMPARE(fenetre.champ(2, 1)->value(), 0.0);
        QVERIFY(banc.commandes().isEmpty());
        QVERIFY(fenetre.erreur().isEmpty());
        banc.ferme();
        fenetre.champ(2, 0)->setValue(1);
        QVERIFY2(fenetre.erreur().contains(u"ne répond plus"_s), qPrintable(fenetre.erreur()));
    }

    // "Lumière du banc..." in the menu "Options" on a station of a bench, and only there.
    void articleDuMenu() {
        {
            StationEssai essai;
            QVERIFY(!essai.feuille->menu_lumierebanc->isVisible());
        }
        DossierBanc banc;
        banc.etat(etatordinaire);
        StationEssai essai;
        QVERIFY(essai.feuille->menu_lumierebanc->isVisible());
        essai.feuille->menu_lumierebanc->trigger();
        auto* fenetre = essai.feuille->findChild<FenetreLumiereBanc*>();
        QVERIFY(fenetre && fenetre->isVisible());
        essai.feuille->menu_lumierebanc->trigger();
        QCOMPARE(essai.feuille->findChildren<FenetreLumiereBanc*>().size(), 1);
    }

    // The receiver test at start-up on a station of the bench: its boxes say how to light
    // the photodiode by hand and keep it dark, and offer the window; the user lights it
    // there, and the test passes. On real ports, the boxes are as drawn.
    void testDuRecepteurSurLeBanc_data() {
        QTest::addColumn<bool>("surlebanc");
        QTest::newRow("banc") << true;
        QTest::newRow("ports réels") << false;
    }
    void testDuRecepteurSurLeBanc() {
        QFETCH(bool, surlebanc);
        std::unique_ptr<DossierBanc> banc;
        if (surlebanc)
            banc = std::make_unique<DossierBanc>();
        StationEssai e;
        bool eclairee = false;
        e.lecture = [&] { return QByteArray(eclairee ? "153" : "3"); };
        e.dialogues.jusquAuBranchement(true, u"2"_s).ok(); // the test
        e.dialogues.ok();                                  // dark measurement
        if (surlebanc)
            e.dialogues.lumierebanc([&] { eclairee = true; });
        e.dialogues.ok([&] {
            if (!surlebanc)
                eclairee = true; // the other station's laser
        });
        if (surlebanc)
            e.dialogues.lumierebanc([&] { eclairee = false; });
        e.dialogues.ok([&] { eclairee = false; }).ok();
        e.plateforme.programme(12, [&] { e.feuille->Btonquitter_Click(); });
        try {
            Form_Load(e.station);
        } catch (const FinProgramme&) {
        }
        QVERIFY(e.dialogues.scriptEpuise());
        const auto& boites = e.dialogues.boites();
        const auto boite = [&](const QString& titre) {
            for (const auto& b : boites)
                if (b.titre == titre)
                    return b;
            return DialoguesScriptes::Boite{};
        };
        const QList<std::pair<QString, LumiereDemarrage>> attendues = {
            {u" Mesure de la tension seuil (photodiode non éclairée)"_s, LumiereDemarrage::noire},
            {u" Résultat de mesure de la tension seuil "_s, LumiereDemarrage::eclairee},
            {u" Résultat du test : CORRECT "_s, LumiereDemarrage::rendue},
            {u"ATTENTION : MESURE DE TENSION SEUIL"_s, LumiereDemarrage::noire}};
        for (const auto& [titre, lumiere] : attendues) {
            const auto b = boite(titre);
            QCOMPARE(b.titre, titre);
            QCOMPARE(b.lumierebanc, surlebanc);
            QCOMPARE(b.invite.endsWith(u"\n\n"_s + aidebanc(2, lumiere)), surlebanc);
        }
        QVERIFY(boite(u" Résultat de mesure de la tension seuil "_s)
                    .invite.contains(u"« Éclairer la photodiode » du poste 2"_s) == surlebanc);
        // The boxes of the port and of the wiring never offer it.
        for (const auto& b : boites)
            if (b.saisie || b.titre.startsWith(u"Branchement"_s))
                QVERIFY(!b.lumierebanc);
    }

    // The real box: "Lumière du banc..." opens the window over it and leaves it open; OK
    // then answers it.
    void laBoiteOuvreLaFenetre() {
        DossierBanc banc;
        banc.etat(etatordinaire);
        DialoguesQt dialogues;
        bool ouverte = false;
        bool boiterestee = false;
        QTimer::singleShot(0, [&] {
            auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(boite);
            QPushButton* lumiere = nullptr;
            for (auto* b : boite->findChildren<QPushButton*>())
                if (b->text() == u"Lumière du banc..."_s)
                    lumiere = b;
            QVERIFY(lumiere);
            lumiere->click();
            auto* fenetre = boite->findChild<FenetreLumiereBanc*>();
            ouverte = fenetre && fenetre->isVisible() && fenetre->isModal();
            boiterestee = boite->isVisible();
            if (fenetre)
                fenetre->close();
            boite->button(QMessageBox::Ok)->click();
        });
        QCOMPARE(dialogues.boiteBanc(u"Éclairer"_s, Dialogues::Boutons::OkAnnuler, u"Test"_s),
                 Dialogues::Reponse::Ok);
        QVERIFY(ouverte);
        QVERIFY(boiterestee);
    }
};

QTEST_MAIN(TestLumiereBanc)
#include "tst_lumierebanc.moc"
