#include "app/dialoguesqt.h"
#include "app/feuillelumivox1.h"
#include "app/selecteurs.h"
#include "choosers/enregistrefichier.h"
#include "choosers/lecturefichier.h"
#include "choosers/nomfichier.h"
#include "choosers/polices.h"
#include "codes/predefinis.h"
#include "recording/fichierenregistrement.h"
#include "sansdroits.h"
#include "stationessai.h"

#include "recording/resultatreception.h"
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif
#ifdef Q_OS_LINUX
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

// The open and save choosers, on the offscreen platform, over folders of their own.
// The program has a data folder of its own (XDG_DATA_HOME), and, run as root on Linux, a
// private view of the mounts, in which a test mounts the read-only and full disks it needs
// without any other program seeing them.

namespace {

// The mounts are this program's own (see main).
bool montagesprives = false;
// The French buttons of the boxes could be loaded.
bool boutonsfrancais = false;

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

QString natif(const QString& chemin) {
    return QDir::toNativeSeparators(chemin);
}

// A station as after start-up, its tick running.
void prepare(StationEssai& e) {
    e.station.etat.typecodage = u"b"_s;
    e.station.etat.taillepolice = 16;
    e.station.etat.nbmesures = 6400;
    e.station.Minuterie->setEnabled(true);
}

// The record a fast reception of the station's samples, as they are now, would leave.
std::shared_ptr<const ResultatReception> recu(const Station& s) {
    auto r = std::make_shared<ResultatReception>();
    r->tabmesures = s.etat.tabmesures;
    r->nbmesures = s.etat.nbmesures;
    return r;
}

// What a decoding of a file may change on the main form.
struct VueFeuille {
    QString texte1, texte2, etiquette1, etiquette2;
    bool texte1verrouille = false, texte2verrouille = false, minuterie = false;
    int intervalle = 0;
    bool operator==(const VueFeuille&) const = default;
};

VueFeuille vue(const StationEssai& e) {
    const Station& s = e.station;
    const Feuillelumivox1& f = *e.feuille;
    return {f.Texte1->toPlainText(), f.Texte2->toPlainText(), f.Etiquette1->text(),
            f.Etiquette2->text(),    f.Texte1->isReadOnly(),  f.Texte2->isReadOnly(),
            s.Minuterie->enabled(),  s.Minuterie->interval()};
}

// A disk mounted on a folder for one test, taken away after it (Linux, root only).
class Montage {
public:
    // A small empty disk of `taille` ("16k") on `cible`.
    static std::unique_ptr<Montage> disque(const QString& cible, const QByteArray& taille) {
        auto m = std::unique_ptr<Montage>(new Montage(cible));
#ifdef Q_OS_LINUX
        m->monte_ = ::mount("tmpfs", m->cible_.constData(), "tmpfs", 0,
                            QByteArray("size=" + taille).constData()) == 0;
#else
        Q_UNUSED(taille)
#endif
        return m;
    }
    // The folder `cible` over itself, read-only.
    static std::unique_ptr<Montage> lectureseule(const QString& cible) {
        auto m = std::unique_ptr<Montage>(new Montage(cible));
#ifdef Q_OS_LINUX
        const char* c = m->cible_.constData();
        m->monte_ = ::mount(c, c, nullptr, MS_BIND, nullptr) == 0;
        if (m->monte_ &&
            ::mount(nullptr, c, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
            ::umount(c);
            m->monte_ = false;
        }
#endif
        return m;
    }
    ~Montage() {
#ifdef Q_OS_LINUX
        if (monte_)
            ::umount(cible_.constData());
#endif
    }
    bool monte() const {
        return monte_;
    }

private:
    explicit Montage(const QString& cible) : cible_(QFile::encodeName(cible)) {}
    QByteArray cible_;
    bool monte_ = false;
};

} // namespace

class TestChoisisseurs : public QObject {
    Q_OBJECT

    QTemporaryDir dossier_;
    std::vector<Lecteur> lecteurs_;

    QString chemin(const QString& nom) const { return dossier_.filePath(nom); }

private slots:
    void initTestCase() {
        QVERIFY(dossier_.isValid());
        QDir d(dossier_.path());
        d.mkdir(u"juin"_s);
        d.mkdir(u"autre"_s);
        d.mkdir(u"juin/sous"_s);
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
        QCOMPARE(f.Etiquette3->text(), raisonnomrefuse(u"*.rrr"_s));
        QCOMPARE(f.lecteurinitial, u"essais"_s);
        QCOMPARE(f.cheminrepertoire(), chemin(u"juin"_s));
        // The pattern matches whatever the case of the extension.
        QCOMPARE(f.Fichier1->count(), 2);
        QCOMPARE(f.Fichier1->item(0)->text(), u"bonjour.RRR"_s);
        Enregistrefichier g(e.station, recu(e.station), lecteurs_, chemin(u"juin"_s), nullptr);
        QCOMPARE(g.windowTitle(), u"Enregistrer  fichier *.rrr"_s);
        QCOMPARE(
            g.Etiquette2->text(),
            u"Nom de fichier pour enregistrer du code reçu sous  format Regressi DOS * .rrr :"_s);
        // The line under Ok lies under it, inside the form.
        for (const FormeFichier* forme :
             {static_cast<FormeFichier*>(&f), static_cast<FormeFichier*>(&g)}) {
            QVERIFY(forme->Etiquette3->y() >= forme->Commande1->geometry().bottom());
            QVERIFY(forme->Etiquette3->geometry().bottom() < forme->height());
        }
    }

    // With the option of the large font, both choosers open larger by as much, their fonts
    // and their controls alike, and still hold all their controls.
    void agrandis_data() {
        QTest::addColumn<double>("facteur");
        QTest::newRow("dessin") << 1.0;
        QTest::newRow("projection") << 14 / pointsChoisisseurs;
    }
    void agrandis() {
        QFETCH(double, facteur);
        StationEssai e;
        const Lecturefichier normale(e.station, lecteurs_, chemin(u"juin"_s), nullptr);
        fixeagrandissementchoisisseurs(facteur);
        Lecturefichier f(e.station, lecteurs_, chemin(u"juin"_s), nullptr);
        Enregistrefichier g(e.station, recu(e.station), lecteurs_, chemin(u"juin"_s), nullptr);
        fixeagrandissementchoisisseurs(1.0);
        for (const FormeFichier* forme :
             {static_cast<FormeFichier*>(&f), static_cast<FormeFichier*>(&g)}) {
            QCOMPARE(forme->font().pointSizeF(), pointsChoisisseurs * facteur);
            QVERIFY(qAbs(forme->minimumWidth() - normale.minimumWidth() * facteur) <= 1);
            QVERIFY(qAbs(forme->Commande1->width() - normale.Commande1->width() * facteur) <= 1);
            for (const QWidget* c : forme->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (!c->isWindow())
                    QVERIFY2(forme->rect().contains(c->geometry()),
                             qPrintable(c->metaObject()->className()));
        }
    }

    void saisieDuNom() {
        StationEssai e;
        Lecturefichier f(e.station, lecteurs_, chemin(u"juin"_s), nullptr);
        f.show();
        f.Texte1->clear();
        QCOMPARE(f.Etiquette3->text(), raisonnomrefuse(QString()));
        QTest::keyClicks(f.Texte1, u"essai.rrr"_s);
        QVERIFY(f.Commande1->isEnabled());
        QCOMPARE(f.Etiquette3->text(), QString());
        QTest::keyClick(f.Texte1, Qt::Key_Space);
        QVERIFY(!f.Commande1->isEnabled());
        QCOMPARE(f.Etiquette3->text(), raisonnomrefuse(u"essai.rrr "_s));
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

    // The line under Ok says why it is grey, in both choosers; the save chooser also says
    // under what name a recording goes.
    void ligneSousOk_data() {
        QTest::addColumn<bool>("enregistre");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("ligne");
        for (const bool enregistre : {false, true}) {
            const char* forme = enregistre ? "enregistrer" : "ouvrir";
            for (const char* texte : {"", "*.rrr", "a$/../../x.rrr", "été.rrr", "a/b", ".rrr",
                                      "a.b.rrr", "a*b", "mesure 1.rrr"})
                QTest::addRow("%s, « %s »", forme, texte)
                    << enregistre << QString::fromUtf8(texte) << false
                    << raisonnomrefuse(QString::fromUtf8(texte));
            QTest::addRow("%s, essai.rrr", forme)
                << enregistre << u"essai.rrr"_s << true << QString();
        }
        QTest::newRow("ouvrir, essai") << false << u"essai"_s << true << QString();
        QTest::newRow("enregistrer, essai")
            << true << u"essai"_s << true << u"Enregistré sous « essai.rrr »."_s;
        QTest::newRow("enregistrer, essai.")
            << true << u"essai."_s << true << u"Enregistré sous « essai.rrr »."_s;
        QTest::newRow("enregistrer, essai.txt")
            << true << u"essai.txt"_s << true
            << u"Enregistré sous « essai.txt », sans l'extension .rrr : la fenêtre d'ouverture "
               "ne le montrera pas avec le motif *.rrr."_s;
    }
    void ligneSousOk() {
        QFETCH(bool, enregistre);
        QFETCH(QString, texte);
        QFETCH(bool, ok);
        QFETCH(QString, ligne);
        StationEssai e;
        std::unique_ptr<FormeFichier> f;
        if (enregistre)
            f = std::make_unique<Enregistrefichier>(e.station, recu(e.station), lecteurs_,
                                                    chemin(u"autre"_s), nullptr);
        else
            f = std::make_unique<Lecturefichier>(e.station, lecteurs_, chemin(u"autre"_s), nullptr);
        f->show();
        f->Texte1->selectAll();
        // Typed as keys when the test's keyboard has them, otherwise as from a paste.
        bool ascii = true;
        for (const QChar c : texte)
            ascii = ascii && c.unicode() < 0x80;
        if (ascii)
            QTest::keyClicks(f->Texte1, texte);
        else
            f->Texte1->insert(texte);
        if (texte.isEmpty())
            f->Texte1->clear();
        QCOMPARE(f->Texte1->text(), texte);
        QCOMPARE(f->Commande1->isEnabled(), ok);
        QCOMPARE(f->Etiquette3->text(), ligne);
        QCOMPARE(f->Etiquette3->isVisible(), true);
    }

    // 'a$/../../x.rrr' typed in the save chooser: Ok stays grey, Enter does nothing, and
    // nothing is written above the folder listed.
    void nomQuiSortDuDossier() {
        StationEssai e;
        prepare(e);
        QTemporaryDir ici;
        QDir(ici.path()).mkpath(u"a/b/c"_s);
        const QString bas = ici.filePath(u"a/b/c"_s);
        Enregistrefichier f(e.station, recu(e.station), {{u"ici"_s, ici.path()}}, bas, nullptr);
        f.show();
        f.Texte1->selectAll();
        QTest::keyClicks(f.Texte1, u"a$/../../x.rrr"_s);
        QVERIFY(!f.Commande1->isEnabled());
        QCOMPARE(f.Etiquette3->text(),
                 u"Caractère refusé : « $ ». Un nom ne prend que des lettres sans accent, des "
                 "chiffres et ' - _ # ~ ? @."_s);
        QTest::keyClick(f.Texte1, Qt::Key_Return);
        f.Commande1->click();
        QVERIFY(f.isVisible());
        QVERIFY(e.dialogues.boites().empty());
        QVERIFY(e.station.etat.cheminenregistrement.isEmpty());
        QVERIFY(!QFileInfo::exists(ici.filePath(u"a/x.rrr"_s)));
        QVERIFY(!QFileInfo::exists(ici.filePath(u"a/b/c/a$/../../x.rrr"_s)));
    }

    // The name typed stays in Texte1, and keeps its effect on Ok and on the file list,
    // when the directory, the drive or the size of the form changes.
    void nomGardeEnChangeantDeDossier_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("changement");
        for (const char* texte : {"essai.rrr", "*.txt", "mesure 1.rrr", "", "essai"}) {
            for (const char* changement :
                 {"sous-dossier", "dossier parent", "lecteur", "lecteur illisible", "taille"})
                QTest::addRow("« %s », %s", texte, changement)
                    << QString::fromUtf8(texte) << QString::fromUtf8(changement);
        }
    }
    void nomGardeEnChangeantDeDossier() {
        QFETCH(QString, texte);
        QFETCH(QString, changement);
        StationEssai e;
        Enregistrefichier f(e.station, recu(e.station), lecteurs_, chemin(u"juin"_s), nullptr);
        f.show();
        f.Texte1->setText(texte);
        const bool ok = f.Commande1->isEnabled();
        const QString motif = f.motiffichiers();
        const QString ligne = f.Etiquette3->text();
        QString attendu = chemin(u"juin"_s);
        const auto entre = [&f](const QString& dossier) {
            for (int k = 0; k < f.Repertoire1->count(); ++k) {
                if (f.Repertoire1->item(k)->data(Qt::UserRole).toString() == dossier)
                    f.Repertoire1->setCurrentRow(k);
            }
            QTest::keyClick(f.Repertoire1, Qt::Key_Return);
        };
        if (changement == u"sous-dossier") {
            attendu = chemin(u"juin/sous"_s);
            entre(attendu);
        } else if (changement == u"dossier parent") {
            attendu = dossier_.path();
            entre(attendu);
        } else if (changement == u"lecteur") {
            attendu = chemin(u"autre"_s);
            f.Lecteur1->setCurrentIndex(1);
        } else if (changement == u"lecteur illisible") {
            attendu = dossier_.path();
            e.dialogues.ok();
            f.Lecteur1->setCurrentIndex(2);
            QCOMPARE(e.dialogues.boites().size(), size_t(1));
        } else {
            f.resize(f.width() + 40, f.height() + 20);
        }
        QCOMPARE(f.cheminrepertoire(), attendu);
        QCOMPARE(f.Texte1->text(), texte);
        QCOMPARE(f.Commande1->isEnabled(), ok);
        QCOMPARE(f.motiffichiers(), motif);
        QCOMPARE(f.Etiquette3->text(), ligne);
        QCOMPARE(f.cheminchoisi(), natif(attendu + u'/' + nomavecextension(texte)));
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

    // The file list sorts names without their case, upper case first among names that
    // differ only by case; the directory list likewise.
    void ordreDeLaListe() {
        StationEssai e;
        QTemporaryDir ici;
        for (const char* nom : {"b.rrr", "A.rrr", "a.rrr", "B.RRR", "_x.rrr", "1.rrr", "Zeta.rrr",
                                "zeta.rrr", "alpha.rrr"})
            ecrit(ici.filePath(QString::fromLatin1(nom)), "x");
        for (const char* nom : {"b", "A", "a", "C"})
            QDir(ici.path()).mkdir(QString::fromLatin1(nom));
        Lecturefichier f(e.station, {{u"ici"_s, ici.path()}}, ici.path(), nullptr);
        QStringList fichiers;
        for (int k = 0; k < f.Fichier1->count(); ++k)
            fichiers << f.Fichier1->item(k)->text();
        QCOMPARE(fichiers,
                 QStringList({u"1.rrr"_s, u"_x.rrr"_s, u"A.rrr"_s, u"a.rrr"_s, u"alpha.rrr"_s,
                              u"B.RRR"_s, u"b.rrr"_s, u"Zeta.rrr"_s, u"zeta.rrr"_s}));
        QStringList dossiers;
        for (int k = f.Repertoire1->count() - 4; k < f.Repertoire1->count(); ++k)
            dossiers << f.Repertoire1->item(k)->text().trimmed();
        QCOMPARE(dossiers, QStringList({u"A"_s, u"a"_s, u"b"_s, u"C"_s}));
    }

    // label_rep in the form's own font: the whole folder when it is narrower than the
    // label, shortened when it is as wide or wider, and never wider than the label.
    void dossierRaccourciALaLargeur_data() {
        QTest::addColumn<int>("ecart"); // label width minus the folder's width
        QTest::addColumn<bool>("entier");
        QTest::newRow("un pixel de plus") << 1 << true;
        QTest::newRow("juste sa largeur") << 0 << false;
        QTest::newRow("un pixel de moins") << -1 << false;
        QTest::newRow("moitié") << -1000 << false;
    }
    void dossierRaccourciALaLargeur() {
        QFETCH(int, ecart);
        QFETCH(bool, entier);
        StationEssai e;
        const QString profond = chemin(u"juin/sous"_s);
        Lecturefichier f(e.station, lecteurs_, profond, nullptr);
        f.show();
        const QFontMetrics metriques(f.font());
        const QString dossier = natif(profond);
        const int largeur = ecart == -1000 ? metriques.horizontalAdvance(dossier) / 2
                                           : metriques.horizontalAdvance(dossier) + ecart;
        f.label_rep->resize(largeur, f.label_rep->height());
        f.afficherepertoire();
        const QString legende = f.label_rep->text();
        QCOMPARE(legende == dossier, entier);
        if (!entier) {
            QVERIFY2(legende.startsWith(natif(u"/..."_s)), qPrintable(legende));
            QVERIFY2(legende.endsWith(natif(u"/juin/sous"_s)) || ecart == -1000,
                     qPrintable(legende));
        }
        QVERIFY(metriques.horizontalAdvance(legende) < largeur);
    }

    void redimensionnementGardeLeNom() {
        StationEssai e;
        Enregistrefichier f(e.station, recu(e.station), lecteurs_, chemin(u"juin"_s), nullptr);
        f.show();
        f.Texte1->setText(u"essai.rrr"_s);
        f.resize(f.width() + 40, f.height() + 20);
        QCOMPARE(f.Texte1->text(), u"essai.rrr"_s);
        QVERIFY(f.Commande1->isEnabled());
        QCOMPARE(f.motiffichier, u"*.rrr"_s);
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
        QCOMPARE(e.station.etat.cheminlecture, natif(chemin(u"juin/salut.rrr"_s)));
        QCOMPARE(e.station.etat.messagerecu.trimmed(), u"Salut !"_s);
        QCOMPARE(e.feuille->Texte2->toPlainText().trimmed(), u"Salut !"_s);
        QVERIFY(e.station.Minuterie->enabled());
        QCOMPARE(fermee.size(), 1);
        QVERIFY(f.isHidden());
    }

    // Every reference recording opens through the chooser and is decoded, whatever its
    // layout (the control copy's among them).
    void enregistrementsDeReference_data() {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("morse-bonjour") << u"morse-bonjour.rrr"_s << u"bonjour"_s;
        QTest::newRow("morse-e2") << u"morse-e2.rrr"_s << phrasecode(2);
        QTest::newRow("binaire-salut") << u"binaire-salut.rrr"_s << u"Salut !"_s;
        QTest::newRow("binaire-e3") << u"binaire-e3.rrr"_s << phrasecode(3);
        QTest::newRow("morse-73-controle") << u"morse-73-controle.rrr"_s << u"73 de lumi"_s;
    }
    void enregistrementsDeReference() {
        QFETCH(QString, nom);
        QFETCH(QString, attendu);
        StationEssai e;
        prepare(e);
        e.station.etat.typefichier = nom.startsWith(u"morse") ? u"mr"_s : u"br"_s;
        const QString dossier = QFileInfo(reference(nom)).absolutePath();
        Lecturefichier f(e.station, {{u"sources"_s, dossier}}, dossier, nullptr);
        f.show();
        f.Texte1->setText(nom);
        f.Commande1->click();
        QVERIFY(e.dialogues.boites().empty());
        QCOMPARE(e.station.etat.messagerecu.trimmed(), attendu.trimmed());
        QVERIFY(f.isHidden());
    }

    void fichierIllisible() {
        StationEssai e;
        prepare(e);
        e.station.etat.typefichier = u"mr"_s;
        e.feuille->Texte2->setPlainText(u"avant"_s);
        e.dialogues.ok();
        Lecturefichier f(e.station, lecteurs_, chemin(u"juin"_s), nullptr);
        f.show();
        f.Texte1->setText(u"absent.rrr"_s);
        f.Commande1->click();
        QCOMPARE(e.dialogues.boites().size(), size_t(1));
        QCOMPARE(e.dialogues.boites()[0].invite,
                 u"Impossible d'ouvrir le fichier « %1 » : le fichier n'existe pas"_s.arg(
                     natif(chemin(u"juin/absent.rrr"_s))));
        QCOMPARE(e.feuille->Texte2->toPlainText(), u"avant"_s);
    }

    // A file that is not a recording: a message names it and says why; the main form, the
    // message typed, the text received and the tick stay as they were.
    void pasUnEnregistrement_data() {
        QTest::addColumn<QByteArray>("octets");
        QTest::addColumn<QString>("raison");
        QTest::addColumn<QString>("typefichier");
        QTest::addColumn<bool>("minuterie");
        const QByteArray entete = enteteenregistrement();
        QByteArray sansvaleur = entete;
        for (int k = 0; k <= 6400; ++k)
            sansvaleur += ligneenregistrement(k, {}) + "\r\n";
        QByteArray binaire = contenu(reference(u"binaire-salut.rrr"_s));
        binaire[entete.size() + 100] = '\0';
        const QString tropcourt =
            u"%1, quand un enregistrement a 35 lignes d'en-tête puis une ligne par "
            "mesure"_s;
        struct Cas {
            const char* nom;
            QByteArray octets;
            QString raison;
        };
        const Cas cas[] = {
            {"nom d'hôte", "poste-12\n", tropcourt.arg(u"il n'a qu'une ligne"_s)},
            {"vide", {}, u"il est vide"_s},
            {"en-tête seul", entete, tropcourt.arg(u"il n'a que 35 lignes"_s)},
            {"en-tête moins une ligne", entete.left(entete.size() - 3),
             tropcourt.arg(u"il n'a que 34 lignes"_s)},
            {"mesures sans valeur", sansvaleur,
             u"aucune de ses lignes après les 35 lignes d'en-tête n'est une mesure (un indice, un "
             "blanc, une valeur)"_s},
            {"texte de plus de 35 lignes", QByteArray("une ligne de texte\n").repeated(60),
             u"aucune de ses lignes après les 35 lignes d'en-tête n'est une mesure (un indice, un "
             "blanc, une valeur)"_s},
            {"binaire", binaire,
             u"ce n'est pas un fichier texte (une image, un programme, une archive...)"_s},
            {"image", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16).repeated(40),
             u"ce n'est pas un fichier texte (une image, un programme, une archive...)"_s},
        };
        for (const Cas& c : cas) {
            for (const char* type : {"mr", "br"}) {
                for (const bool minuterie : {true, false})
                    QTest::addRow("%s, %s, minuterie %s", c.nom, type,
                                  minuterie ? "en marche" : "arrêtée")
                        << c.octets << c.raison << QString::fromLatin1(type) << minuterie;
            }
        }
    }
    void pasUnEnregistrement() {
        QFETCH(QByteArray, octets);
        QFETCH(QString, raison);
        QFETCH(QString, typefichier);
        QFETCH(bool, minuterie);
        StationEssai e;
        prepare(e);
        e.station.etat.typefichier = typefichier;
        QTemporaryDir ici;
        const QString fichier = ici.filePath(u"hostname"_s);
        ecrit(fichier, octets);
        Feuillelumivox1& feuille = *e.feuille;
        feuille.Texte1->setPlainText(u"message tapé, pas encore envoyé"_s);
        feuille.Texte2->setPlainText(u"texte reçu avant"_s);
        feuille.Texte2->setReadOnly(true);
        e.station.Minuterie->setEnabled(minuterie);
        const VueFeuille avant = vue(e);
        e.dialogues.ok();
        Lecturefichier f(e.station, {{u"ici"_s, ici.path()}}, ici.path(), nullptr);
        f.show();
        f.Texte1->setText(u"hostname"_s);
        f.Commande1->click();
        QCOMPARE(e.dialogues.boites().size(), size_t(1));
        QCOMPARE(
            e.dialogues.boites()[0].invite,
            u"Le fichier « %1 » n'est pas un enregistrement : %2."_s.arg(natif(fichier), raison));
        QCOMPARE(e.dialogues.boites()[0].titre, u"Ouverture d'un enregistrement"_s);
        QVERIFY(vue(e) == avant);
        QCOMPARE(e.station.Minuterie->enabled(), minuterie);
        QCOMPARE(feuille.Texte1->toPlainText(), u"message tapé, pas encore envoyé"_s);
    }

    void enregistrement() {
        StationEssai e;
        prepare(e);
        e.station.etat.tabmesures[0] = " 37";
        e.station.etat.nbmesures = 6400;
        QTemporaryDir ici;
        Enregistrefichier f(e.station, recu(e.station), {{u"ici"_s, ici.path()}}, ici.path(),
                            nullptr);
        e.station.etat.nbmesures = 12800; // the menu changed since
        f.show();
        const std::vector<QByteArray> recues = e.station.etat.tabmesures;
        // A reception starts meanwhile and empties the table: the one asked for is saved.
        e.station.etat.tabmesures.assign(12802, QByteArray());
        f.Texte1->setText(u"essai.rrr"_s);
        f.Commande1->click();
        const QString ecrit = ici.filePath(u"essai.rrr"_s);
        QCOMPARE(e.station.etat.cheminenregistrement, natif(ecrit));
        QCOMPARE(contenu(ecrit), contenuenregistrement(recues, 6400));
        QVERIFY(f.isHidden());
        QVERIFY(e.dialogues.boites().empty());
    }

    // The name a recording is saved under, and the open chooser lists it.
    void extensionDuNomEnregistre_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("fichier");
        QTest::addColumn<bool>("liste");
        QTest::newRow("sans extension") << u"essai"_s << u"essai.rrr"_s << true;
        QTest::newRow("point final") << u"essai."_s << u"essai.rrr"_s << true;
        QTest::newRow(".rrr") << u"essai.rrr"_s << u"essai.rrr"_s << true;
        QTest::newRow(".RRR") << u"ESSAI.RRR"_s << u"ESSAI.RRR"_s << true;
        QTest::newRow("autre extension") << u"essai.txt"_s << u"essai.txt"_s << false;
    }
    void extensionDuNomEnregistre() {
        QFETCH(QString, texte);
        QFETCH(QString, fichier);
        QFETCH(bool, liste);
        StationEssai e;
        prepare(e);
        QTemporaryDir ici;
        Enregistrefichier f(e.station, recu(e.station), {{u"ici"_s, ici.path()}}, ici.path(),
                            nullptr);
        f.show();
        f.Texte1->setText(texte);
        f.Commande1->click();
        QVERIFY(e.dialogues.boites().empty());
        QCOMPARE(QDir(ici.path()).entryList(QDir::Files), QStringList{fichier});
        QCOMPARE(e.station.etat.cheminenregistrement, natif(ici.filePath(fichier)));
        Lecturefichier lecture(e.station, {{u"ici"_s, ici.path()}}, ici.path(), nullptr);
        QCOMPARE(lecture.Fichier1->count(), liste ? 1 : 0);
    }

    // A file of that name already there: "Remplacer le fichier « … » ?". Oui writes over it
    // and closes; Non changes nothing and leaves the form open with the name.
    void remplacement_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<bool>("oui");
        for (const bool oui : {true, false}) {
            QTest::addRow("essai.rrr, %s", oui ? "oui" : "non") << u"essai.rrr"_s << oui;
            QTest::addRow("essai complété, %s", oui ? "oui" : "non") << u"essai"_s << oui;
        }
    }
    void remplacement() {
        QFETCH(QString, texte);
        QFETCH(bool, oui);
        StationEssai e;
        prepare(e);
        e.station.etat.tabmesures[0] = " 37";
        e.station.etat.nbmesures = 6400;
        QTemporaryDir ici;
        const QString existant = ici.filePath(u"essai.rrr"_s);
        ecrit(existant, "ancien contenu\r\n");
        e.station.etat.cheminenregistrement = u"avant"_s;
        Enregistrefichier f(e.station, recu(e.station), {{u"ici"_s, ici.path()}}, ici.path(),
                            nullptr);
        f.show();
        f.Texte1->setText(texte);
        if (oui)
            e.dialogues.ok();
        else
            e.dialogues.annuler();
        f.Commande1->click();
        QCOMPARE(e.dialogues.boites().size(), size_t(1));
        const DialoguesScriptes::Boite& boite = e.dialogues.boites()[0];
        QCOMPARE(boite.invite, u"Remplacer le fichier « essai.rrr » ?\n\nIl existe déjà dans le "
                               "dossier « %1 » ; son contenu sera perdu."_s.arg(natif(ici.path())));
        QCOMPARE(boite.boutons, Dialogues::Boutons::OuiNon);
        QCOMPARE(boite.titre, u"Enregistrement d'un fichier"_s);
        if (oui) {
            QCOMPARE(contenu(existant), contenuenregistrement(e.station.etat.tabmesures, 6400));
            QCOMPARE(e.station.etat.cheminenregistrement, natif(existant));
            QVERIFY(f.isHidden());
        } else {
            QCOMPARE(contenu(existant), QByteArray("ancien contenu\r\n"));
            QCOMPARE(e.station.etat.cheminenregistrement, u"avant"_s);
            QVERIFY(f.isVisible());
            QVERIFY(f.isEnabled());
            QCOMPARE(f.Texte1->text(), texte);
            QVERIFY(f.Commande1->isEnabled());
        }
        QCOMPARE(QDir(ici.path()).entryList(QDir::Files), QStringList{u"essai.rrr"_s});
    }

    // No question for a new name, nor for the name of a folder (which cannot be replaced).
    void pasDeQuestionSansFichier() {
        StationEssai e;
        prepare(e);
        QTemporaryDir ici;
        QDir(ici.path()).mkdir(u"dossier.rrr"_s);
        Enregistrefichier f(e.station, recu(e.station), {{u"ici"_s, ici.path()}}, ici.path(),
                            nullptr);
        f.show();
        f.Texte1->setText(u"nouveau.rrr"_s);
        f.Commande1->click();
        QVERIFY(e.dialogues.boites().empty());
        QVERIFY(QFileInfo::exists(ici.filePath(u"nouveau.rrr"_s)));
    }

    // A recording that cannot be written: the message names the file and says why in
    // plain words, nothing is written or damaged, and the chooser stays open.
    void enregistrementImpossible_data() {
        QTest::addColumn<QString>("cas");
        QTest::addColumn<QString>("raison"); // %1: the folder
        QTest::newRow("nom d'un dossier") << u"dossier"_s << u"c'est le nom d'un dossier"_s;
        QTest::newRow("dossier protégé")
            << u"protege"_s
            << u"le dossier « %1 » est protégé en écriture : vous n'avez pas le droit d'y "
               "écrire"_s;
        QTest::newRow("disque en lecture seule")
            << u"lectureseule"_s
            << u"le dossier « %1 » est protégé en écriture : son disque ne peut être que lu"_s;
        QTest::newRow("disque plein") << u"plein"_s << u"le disque est plein"_s;
        QTest::newRow("dossier disparu") << u"disparu"_s << u"le dossier « %1 » n'existe pas"_s;
        QTest::newRow("limite de taille des fichiers") << u"limite"_s << QString();
    }
    void enregistrementImpossible() {
        QFETCH(QString, cas);
        QFETCH(QString, raison);
        StationEssai e;
        prepare(e);
        QTemporaryDir racine;
        const QString ici = racine.filePath(u"ici"_s);
        QVERIFY(QDir(racine.path()).mkdir(u"ici"_s));
        QDir(ici).mkdir(u"dossier.rrr"_s);
        const QString ancien = ici + u"/ancien.rrr"_s;
        ecrit(ancien, "ancien contenu\r\n");
        std::unique_ptr<Montage> montage;
        if (cas == u"lectureseule" || cas == u"plein") {
            if (!montagesprives)
                QSKIP("il faut être root sous Linux pour monter un disque à soi");
            if (cas == u"plein") {
                montage = Montage::disque(ici, "16k");
                QVERIFY(montage->monte());
                ecrit(ancien, "ancien contenu\r\n");
            } else {
                montage = Montage::lectureseule(ici);
                QVERIFY(montage->monte());
            }
        }
        Enregistrefichier f(e.station, recu(e.station), {{u"ici"_s, ici}}, ici, nullptr);
        f.show();
        const bool nomdossier = cas == u"dossier";
        f.Texte1->setText(nomdossier ? u"dossier.rrr"_s : u"nouveau.rrr"_s);
        e.dialogues.ok();
        if (cas == u"protege") {
            QVERIFY(QFile::setPermissions(ici, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            const bool fait = sansdroitsadministrateur([&] { f.Commande1->click(); });
            QFile::setPermissions(ici, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
            QVERIFY(fait);
        } else if (cas == u"disparu") {
            QVERIFY(QDir(ici).removeRecursively());
            f.Commande1->click();
        } else if (cas == u"limite") {
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
        const QString nom = natif(ici + (nomdossier ? u"/dossier.rrr"_s : u"/nouveau.rrr"_s));
        const QString message = e.dialogues.boites()[0].invite;
        const QString debut = u"Impossible d'enregistrer le fichier « %1 » : "_s.arg(nom);
        if (raison.isEmpty())
            QVERIFY2(message.startsWith(debut), qPrintable(message));
        else
            QCOMPARE(message, debut + raison.replace(u"%1"_s, natif(ici)) +
                                  u"\n\nChoisissez un autre nom ou un autre dossier."_s);
        QVERIFY(!message.contains(u"erreur du système"_s) || cas == u"limite");
        if (cas != u"disparu") {
            QCOMPARE(contenu(ancien), QByteArray("ancien contenu\r\n"));
            QCOMPARE(QDir(ici).entryList(QDir::Files), QStringList{u"ancien.rrr"_s});
        }
        QVERIFY(f.isVisible());
        QVERIFY(e.station.etat.cheminenregistrement.isEmpty() ||
                e.station.etat.cheminenregistrement == nom);
    }

    // Folders of the system, that take no file from anybody, root included.
    void dossierDuSysteme_data() {
        QTest::addColumn<QString>("dossier");
        QTest::newRow("/proc") << u"/proc"_s;
        QTest::newRow("/sys") << u"/sys"_s;
    }
    void dossierDuSysteme() {
        QFETCH(QString, dossier);
#ifndef Q_OS_LINUX
        QSKIP("dossiers du système propres à Linux");
#endif
        if (!QFileInfo(dossier).isDir())
            QSKIP("ce dossier n'existe pas ici");
        StationEssai e;
        prepare(e);
        Enregistrefichier f(e.station, recu(e.station), {{u"/"_s, u"/"_s}}, dossier, nullptr);
        f.show();
        QCOMPARE(f.cheminrepertoire(), dossier);
        f.Texte1->setText(u"essai.rrr"_s);
        e.dialogues.ok();
        f.Commande1->click();
        QCOMPARE(e.dialogues.boites().size(), size_t(1));
        QCOMPARE(e.dialogues.boites()[0].invite,
                 u"Impossible d'enregistrer le fichier « %1/essai.rrr » : le dossier « %1 » "
                 "n'accepte pas de fichiers : il montre l'état du système\n\nChoisissez un autre "
                 "nom ou un autre dossier."_s.arg(dossier));
        QVERIFY(f.isVisible());
        QVERIFY(!QFileInfo::exists(dossier + u"/essai.rrr"_s));
    }

    // The main form asks for the choosers; they open with the callers' captions, and a
    // closed one gives way to a new one on the directory it was on.
    void ouvertureParLaFeuille() {
        StationEssai e;
        prepare(e);
        Selecteurs selecteurs(*e.feuille);
        selecteurs.fixedossier(chemin(u"juin"_s));
        e.feuille->menu_decodage_fichierbinrap_Click();
        Lecturefichier* lecture = selecteurs.lecturefichier();
        QVERIFY(lecture);
        QCOMPARE(lecture->windowTitle(), u"Ouverture fichier binaire *.rrr"_s);
        QCOMPARE(e.station.etat.typefichier, u"br"_s);
        e.feuille->menu_decodage_fichiermorserap_Click();
        QCOMPARE(selecteurs.lecturefichier(), lecture);
        QCOMPARE(lecture->windowTitle(), u"Ouverture fichier morse *.rrr"_s);
        QCOMPARE(e.station.etat.typefichier, u"mr"_s);

        emit e.feuille->enregistrementdemande(u"Enregistrement d'un fichier morse rapide"_s);
        Enregistrefichier* enregistre = selecteurs.enregistrefichier();
        QVERIFY(enregistre && enregistre->isVisible());
        QCOMPARE(enregistre->windowTitle(), u"Enregistrement d'un fichier morse rapide"_s);
        QCOMPARE(enregistre->cheminrepertoire(), chemin(u"juin"_s));
        // The user goes into the sub-folder, then closes the chooser: the next opens there.
        for (int k = 0; k < enregistre->Repertoire1->count(); ++k) {
            if (enregistre->Repertoire1->item(k)->text().trimmed() == u"sous")
                enregistre->Repertoire1->setCurrentRow(k);
        }
        QTest::keyClick(enregistre->Repertoire1, Qt::Key_Return);
        QCOMPARE(enregistre->cheminrepertoire(), chemin(u"juin/sous"_s));
        QPointer<Enregistrefichier> ancien(enregistre);
        enregistre->Commande2->click();
        QVERIFY(!selecteurs.enregistrefichier());
        QVERIFY(QTest::qWaitFor([&] { return ancien.isNull(); }));
        QCOMPARE(selecteurs.dossier(), chemin(u"juin/sous"_s));
        emit e.feuille->enregistrementdemande(u"Enregistrement d'un fichier binaire rapide"_s);
        QVERIFY(selecteurs.enregistrefichier());
        QCOMPARE(selecteurs.enregistrefichier()->cheminrepertoire(), chemin(u"juin/sous"_s));
        QCOMPARE(selecteurs.enregistrefichier()->Texte1->text(), u"*.rrr"_s);
    }

    // The real boxes: the question before a replacement has Oui and Non, Non by default
    // and on Escape. With LUMICOM_CAPTURES naming a folder, the save chooser refusing
    // 'a$/../../x.rrr' and that box are saved there as pictures.
    void boiteRemplacerEtCaptures() {
        StationEssai e;
        prepare(e);
        QTemporaryDir ici;
        ecrit(ici.filePath(u"essai.rrr"_s), "ancien\r\n");
        const QString captures = qEnvironmentVariable("LUMICOM_CAPTURES");
        Enregistrefichier f(e.station, recu(e.station), {{u"ici"_s, ici.path()}}, ici.path(),
                            nullptr);
        f.setWindowTitle(u"Enregistrement d'un fichier binaire rapide"_s);
        f.show();
        f.Texte1->selectAll();
        QTest::keyClicks(f.Texte1, u"a$/../../x.rrr"_s);
        QVERIFY(!f.Commande1->isEnabled());
        QVERIFY(f.Etiquette3->text().contains(u"« $ »"_s));
        if (!captures.isEmpty())
            QVERIFY(f.grab().save(captures + u"/choisisseur-nom-refuse.png"_s));

        f.Texte1->setText(u"essai.rrr"_s);
        e.dialogues.annuler();
        f.Commande1->click();
        QCOMPARE(e.dialogues.boites().size(), size_t(1));
        const DialoguesScriptes::Boite boite = e.dialogues.boites()[0];

        // The same box, shown for real.
        for (const bool oui : {true, false}) {
            DialoguesQt reelles;
            QStringList boutons;
            bool nonpardefaut = false;
            QTimer::singleShot(0, this, [&] {
                auto* b = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!b)
                    return;
                for (QAbstractButton* bouton : b->buttons())
                    boutons << bouton->text();
                nonpardefaut = b->defaultButton() == b->button(QMessageBox::No) &&
                               b->escapeButton() == b->button(QMessageBox::No);
                if (oui && !captures.isEmpty())
                    b->grab().save(captures + u"/choisisseur-remplacer.png"_s);
                if (oui)
                    b->button(QMessageBox::Yes)->click();
                else
                    QTest::keyClick(b, Qt::Key_Escape);
            });
            const Dialogues::Reponse reponse =
                reelles.boiteMessage(boite.invite, boite.boutons, boite.titre);
            QCOMPARE(reponse, oui ? Dialogues::Reponse::Ok : Dialogues::Reponse::Annuler);
            QCOMPARE(boutons.size(), 2);
            QVERIFY(nonpardefaut);
            if (boutonsfrancais) {
                boutons.replaceInStrings(u"&"_s, QString());
                boutons.sort();
                QCOMPARE(boutons, QStringList({u"Non"_s, u"Oui"_s}));
            }
        }
    }
};

int main(int argc, char* argv[]) {
    // A data folder of this program's own (the control copy goes there), so that tests run
    // side by side never share a file.
    QTemporaryDir donnees;
    qputenv("XDG_DATA_HOME", QFile::encodeName(donnees.path()));
#ifdef Q_OS_LINUX
    // A private view of the mounts, taken while the program has a single thread.
    montagesprives = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
                     ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
#endif
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    QTranslator traduction;
    boutonsfrancais = traduction.load(QLocale(QLocale::French), u"qtbase"_s, u"_"_s,
                                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
                      QApplication::installTranslator(&traduction);
    TestChoisisseurs essais;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&essais, argc, argv);
}

#include "tst_choisisseurs.moc"
