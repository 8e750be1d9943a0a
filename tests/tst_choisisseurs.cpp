#include "app/feuillelumivox1.h"
#include "choosers/enregistrefichier.h"
#include "choosers/lecturefichier.h"
#include "choosers/selecteurs.h"
#include "recording/fichierenregistrement.h"
#include "sansdroits.h"
#include "stationessai.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace Qt::StringLiterals;

// The open and save choosers, on the offscreen platform, over folders of their own.

namespace {

void ecrit(const QString& chemin, const QByteArray& octets) {
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(octets);
}

QByteArray contenu(const QString& chemin) {
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString reference(const QString& nom) {
    return QStringLiteral(LUMICOM_SOURCE_DIR "/tests/enregistrements/") + nom;
}

// A station as after start-up, its tick running.
void prepare(StationEssai& e) {
    e.station.etat.typecodage = u"b"_s;
    e.station.etat.taillepolice = 16;
    e.station.etat.nbmesures = 6400;
    e.station.Minuterie->setEnabled(true);
}

} // namespace

class TestChoisisseurs : public QObject {
    Q_OBJECT

    QTemporaryDir dossier_;
    std::vector<Lecteur> lecteurs_;

    QString chemin(const QString& nom) const { return dossier_.filePath(nom); }

private slots:
    void initTestCase() {
        QDir d(dossier_.path());
        d.mkdir(u"juin"_s);
        d.mkdir(u"autre"_s);
        ecrit(chemin(u"juin/salut.rrr"_s), contenu(reference(u"binaire-salut.rrr"_s)));
        ecrit(chemin(u"juin/bonjour.RRR"_s), contenu(reference(u"morse-bonjour.rrr"_s)));
        ecrit(chemin(u"juin/notes.txt"_s), "texte");
        lecteurs_ = {{u"essais"_s, dossier_.path()},
                     {u"autre"_s, chemin(u"autre"_s)},
                     {u"absent"_s, chemin(u"absent"_s)}};
    }

    void ouvertureEtTextes() {
        StationEssai e;
        Lecturefichier f(e.station, lecteurs_, chemin(u"juin"_s), nullptr);
        f.show();
        QCOMPARE(f.windowTitle(), u"Ouvrir fichier *.rrr"_s);
        QVERIFY(f.Etiquette2->text().startsWith(u"Nom de fichier Regressi DOS * .rrr à ouvrir"_s));
        QCOMPARE(f.Etiquette1->text(), u"Répertoire:"_s);
        QCOMPARE(f.Texte1->text(), u"*.rrr"_s);
        QVERIFY(!f.Commande1->isEnabled());
        QCOMPARE(f.lecteurinitial, u"essais"_s);
        QCOMPARE(f.cheminrepertoire(), chemin(u"juin"_s));
        // The pattern matches whatever the case of the extension.
        QCOMPARE(f.Fichier1->count(), 2);
        QCOMPARE(f.Fichier1->item(0)->text(), u"bonjour.RRR"_s);
        Enregistrefichier g(e.station, lecteurs_, chemin(u"juin"_s), nullptr);
        QCOMPARE(g.windowTitle(), u"Enregistrer  fichier *.rrr"_s);
        QCOMPARE(
            g.Etiquette2->text(),
            u"Nom de fichier pour enregistrer du code reçu sous  format Regressi DOS * .rrr :"_s);
    }

    void saisieDuNom() {
        StationEssai e;
        Lecturefichier f(e.station, lecteurs_, chemin(u"juin"_s), nullptr);
        f.show();
        f.Texte1->clear();
        QTest::keyClicks(f.Texte1, u"essai.rrr"_s);
        QVERIFY(f.Commande1->isEnabled());
        QTest::keyClick(f.Texte1, Qt::Key_Space);
        QVERIFY(!f.Commande1->isEnabled());
        f.Texte1->clear();
        QVERIFY(!f.Commande1->isEnabled());
        // A pattern filters the list and is no name for Ok.
        QTest::keyClicks(f.Texte1, u"*.txt"_s);
        QVERIFY(!f.Commande1->isEnabled());
        QCOMPARE(f.motiffichiers(), u"*.txt"_s);
        QCOMPARE(f.Fichier1->count(), 1);
        QCOMPARE(f.Fichier1->item(0)->text(), u"notes.txt"_s);
        // A click on a file puts its name in Texte1.
        f.Fichier1->setCurrentRow(0);
        QCOMPARE(f.Texte1->text(), u"notes.txt"_s);
        QVERIFY(f.Commande1->isEnabled());
        QCOMPARE(f.motiffichiers(), u"*.rrr"_s);
    }

    void redimensionnementRemetLeMotif() {
        StationEssai e;
        Enregistrefichier f(e.station, lecteurs_, chemin(u"juin"_s), nullptr);
        f.show();
        f.Texte1->setText(u"essai.rrr"_s);
        f.resize(f.width() + 40, f.height() + 20);
        QCOMPARE(f.Texte1->text(), u"*.rrr"_s);
        QVERIFY(!f.Commande1->isEnabled());
    }

    // A drive that cannot be read: the message, then back to the drive of the loading,
    // even after another drive was chosen in between.
    void lecteurIndisponible() {
        StationEssai e;
        Lecturefichier f(e.station, lecteurs_, chemin(u"juin"_s), nullptr);
        f.show();
        f.Lecteur1->setCurrentIndex(1);
        QCOMPARE(f.cheminrepertoire(), chemin(u"autre"_s));
        QCOMPARE(f.Fichier1->count(), 0);
        e.dialogues.ok();
        f.Lecteur1->setCurrentIndex(2);
        QCOMPARE(e.dialogues.boites().size(), size_t(1));
        QCOMPARE(e.dialogues.boites()[0].invite, u"disque indisponible ! "_s);
        QCOMPARE(e.dialogues.boites()[0].boutons, Dialogues::Boutons::Ok);
        QCOMPARE(f.Lecteur1->currentText(), u"essais"_s);
        QCOMPARE(f.cheminrepertoire(), dossier_.path());
    }

    void clavierDesListes() {
        StationEssai e;
        Lecturefichier f(e.station, lecteurs_, dossier_.path(), nullptr);
        f.show();
        f.activateWindow();
        QVERIFY(f.Commande1->isDefault());
        f.Repertoire1->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return !f.Commande1->isDefault(); }));
        // Enter in the directory list enters the highlighted directory.
        const QList<QListWidgetItem*> juin = f.Repertoire1->findItems(u"juin"_s, Qt::MatchEndsWith);
        QCOMPARE(juin.size(), 1);
        f.Repertoire1->setCurrentItem(juin.front());
        QTest::keyClick(f.Repertoire1, Qt::Key_Return);
        QCOMPARE(f.cheminrepertoire(), chemin(u"juin"_s));
        QCOMPARE(f.Fichier1->count(), 2);
        // Character keys in the drive list are discarded.
        f.Lecteur1->setFocus();
        QTest::keyClick(f.Lecteur1, Qt::Key_A);
        QCOMPARE(f.Lecteur1->currentIndex(), 0);
        f.Texte1->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return f.Commande1->isDefault(); }));
    }

    // A double click on a file runs Ok at once: the recording is decoded on the main form,
    // the tick is on again, the form closes.
    void doubleClicDecode() {
        StationEssai e;
        prepare(e);
        e.station.etat.typefichier = u"br"_s;
        Lecturefichier f(e.station, lecteurs_, chemin(u"juin"_s), nullptr);
        f.show();
        QSignalSpy fermee(&f, &FormeFichier::fermee);
        const QList<QListWidgetItem*> salut =
            f.Fichier1->findItems(u"salut.rrr"_s, Qt::MatchExactly);
        QCOMPARE(salut.size(), 1);
        f.Fichier1->setCurrentItem(salut.front());
        emit f.Fichier1->itemDoubleClicked(salut.front());
        QCOMPARE(e.station.etat.cheminlecture,
                 QDir::toNativeSeparators(chemin(u"juin/salut.rrr"_s)));
        QCOMPARE(e.station.etat.messagerecu.trimmed(), u"Salut !"_s);
        QCOMPARE(e.station.feuille->Texte2->toPlainText().trimmed(), u"Salut !"_s);
        QVERIFY(e.station.Minuterie->enabled());
        QCOMPARE(fermee.size(), 1);
        QVERIFY(f.isHidden());
    }

    void fichierIllisible() {
        StationEssai e;
        prepare(e);
        e.station.etat.typefichier = u"mr"_s;
        e.station.feuille->Texte2->setPlainText(u"avant"_s);
        e.dialogues.ok();
        Lecturefichier f(e.station, lecteurs_, chemin(u"juin"_s), nullptr);
        f.show();
        f.Texte1->setText(u"absent.rrr"_s);
        f.Commande1->click();
        QCOMPARE(e.dialogues.boites().size(), size_t(1));
        QCOMPARE(e.dialogues.boites()[0].invite,
                 u"Impossible d'ouvrir le fichier « %1 » : le fichier n'existe pas"_s.arg(
                     QDir::toNativeSeparators(chemin(u"juin/absent.rrr"_s))));
        QCOMPARE(e.station.feuille->Texte2->toPlainText(), u"avant"_s);
    }

    void enregistrement() {
        StationEssai e;
        prepare(e);
        e.station.etat.tabmesures[0] = " 37";
        e.station.etat.nbmesures = 12800;
        e.station.etat.nbmesuresdutelechargement = 6400; // the menu changed since
        Enregistrefichier f(e.station, lecteurs_, chemin(u"autre"_s), nullptr);
        f.show();
        const std::vector<QByteArray> recues = e.station.etat.tabmesures;
        // A reception starts meanwhile and empties the table: the one asked for is saved.
        e.station.etat.tabmesures.assign(12802, QByteArray());
        f.Texte1->setText(u"essai.rrr"_s);
        f.Commande1->click();
        const QString ecrit = chemin(u"autre/essai.rrr"_s);
        QCOMPARE(e.station.etat.cheminenregistrement, QDir::toNativeSeparators(ecrit));
        QCOMPARE(contenu(ecrit), contenuenregistrement(recues, 6400));
        QVERIFY(f.isHidden());
        QVERIFY(e.dialogues.boites().empty());
    }

    // A recording that cannot be written: the message names the file, nothing is written
    // or damaged, and the chooser stays open for another try.
    void enregistrementImpossible_data() {
        QTest::addColumn<QString>("cas");
        QTest::newRow("nom d'un dossier") << u"dossier"_s;
        QTest::newRow("dossier protégé") << u"protege"_s;
        QTest::newRow("disque plein") << u"plein"_s;
    }
    void enregistrementImpossible() {
        QFETCH(QString, cas);
        StationEssai e;
        prepare(e);
        QTemporaryDir ici;
        QDir(ici.path()).mkdir(u"dossier.rrr"_s);
        const QString ancien = ici.filePath(u"ancien.rrr"_s);
        ecrit(ancien, "ancien contenu\r\n");
        Enregistrefichier f(e.station, {{u"ici"_s, ici.path()}}, ici.path(), nullptr);
        f.show();
        f.Texte1->setText(cas == u"dossier" ? u"dossier.rrr"_s : u"ancien.rrr"_s);
        e.dialogues.ok();
        if (cas == u"protege") {
            QVERIFY(
                QFile::setPermissions(ici.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            const bool fait = sansdroitsadministrateur([&] { f.Commande1->click(); });
            QFile::setPermissions(ici.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
            QVERIFY(fait);
        } else if (cas == u"plein") {
#ifdef Q_OS_UNIX
            rlimit ancienne{};
            QVERIFY(getrlimit(RLIMIT_FSIZE, &ancienne) == 0);
            rlimit limite = ancienne;
            limite.rlim_cur = 4096;
            const auto signal = std::signal(SIGXFSZ, SIG_IGN);
            QVERIFY(setrlimit(RLIMIT_FSIZE, &limite) == 0);
            f.Commande1->click();
            setrlimit(RLIMIT_FSIZE, &ancienne);
            std::signal(SIGXFSZ, signal);
#else
            QSKIP("limite de taille de fichier propre à Unix");
#endif
        } else {
            f.Commande1->click();
        }
        QCOMPARE(e.dialogues.boites().size(), size_t(1));
        const QString nom = QDir::toNativeSeparators(
            ici.filePath(cas == u"dossier" ? u"dossier.rrr"_s : u"ancien.rrr"_s));
        QVERIFY2(e.dialogues.boites()[0].invite.startsWith(
                     u"Impossible d'enregistrer le fichier « %1 »"_s.arg(nom)),
                 qPrintable(e.dialogues.boites()[0].invite));
        QCOMPARE(contenu(ancien), QByteArray("ancien contenu\r\n"));
        QCOMPARE(QDir(ici.path()).entryList(QDir::Files), QStringList{u"ancien.rrr"_s});
        QVERIFY(f.isVisible());
    }

    // The main form asks for the choosers; they open with the callers' captions, and a
    // closed one gives way to a new one on the directory it was on.
    void ouvertureParLaFeuille() {
        StationEssai e;
        prepare(e);
        Selecteurs selecteurs(e.station);
        selecteurs.fixedossier(chemin(u"juin"_s));
        e.station.feuille->menu_decodage_fichierbinrap_Click();
        Lecturefichier* lecture = selecteurs.lecturefichier();
        QVERIFY(lecture);
        QCOMPARE(lecture->windowTitle(), u"Ouverture fichier binaire *.rrr"_s);
        QCOMPARE(e.station.etat.typefichier, u"br"_s);
        e.station.feuille->menu_decodage_fichiermorserap_Click();
        QCOMPARE(selecteurs.lecturefichier(), lecture);
        QCOMPARE(lecture->windowTitle(), u"Ouverture fichier morse *.rrr"_s);
        QCOMPARE(e.station.etat.typefichier, u"mr"_s);

        emit e.station.feuille->enregistrementdemande(
            u"Enregistrement d'un fichier morse rapide"_s);
        Enregistrefichier* enregistre = selecteurs.enregistrefichier();
        QVERIFY(enregistre && enregistre->isVisible());
        QCOMPARE(enregistre->windowTitle(), u"Enregistrement d'un fichier morse rapide"_s);
        enregistre->Lecteur1->setCurrentIndex(0);
        QPointer<Enregistrefichier> ancien(enregistre);
        enregistre->Commande2->click();
        QVERIFY(!selecteurs.enregistrefichier());
        QVERIFY(QTest::qWaitFor([&] { return ancien.isNull(); }));
        QCOMPARE(selecteurs.dossier(), enregistre == nullptr ? QString() : selecteurs.dossier());
        emit e.station.feuille->enregistrementdemande(
            u"Enregistrement d'un fichier binaire rapide"_s);
        QVERIFY(selecteurs.enregistrefichier());
        QCOMPARE(selecteurs.enregistrefichier()->cheminrepertoire(), selecteurs.dossier());
        QCOMPARE(selecteurs.enregistrefichier()->Texte1->text(), u"*.rrr"_s);
    }
};

QTEST_MAIN(TestChoisisseurs)
#include "tst_choisisseurs.moc"
