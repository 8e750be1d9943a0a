// What crosses between a station's own thread and its window's: the calls handed from one
// to the other (FileAppels, FilPoste), the screen that carries a routine's calls to the
// window and keeps what the routine reads back (EcranRelais), the boxes the window shows
// while the station waits and yields (DialoguesRelais), the window's requests and the
// settings the station sends back (Station::demande, Ecran::etatposte).

#include "link/dialoguesrelais.h"
#include "link/ecranmemoire.h"
#include "link/ecranrelais.h"
#include "link/fileappels.h"
#include "link/filposte.h"
#include "link/plateformeqt.h"
#include "link/station.h"
#include "link/transportmemoire.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>
#include <mutex>

using namespace Qt::StringLiterals;
using enum Ecran::Controle;

namespace {

// The boxes of a window: each held open `duree` seconds in a nested event loop (as a
// QMessageBox runs one), then answered.
class DialoguesLents final : public Dialogues {
public:
    explicit DialoguesLents(double duree) : duree_(duree) {}
    Reponse boiteMessage(const QString& invite, Boutons, const QString&) override {
        attends();
        invites << invite;
        return Reponse::Ok;
    }
    QString boiteSaisie(const QString& invite, const QString&, const QString& defaut) override {
        attends();
        invites << invite;
        return defaut + u" tapé"_s;
    }
    QStringList invites;
    QThread* fil = nullptr; // the thread the boxes were shown on

private:
    void attends() {
        fil = QThread::currentThread();
        QEventLoop boucle;
        QTimer::singleShot(int(duree_ * 1000), &boucle, &QEventLoop::quit);
        boucle.exec();
    }
    double duree_;
};

FabriqueTransport portEnMemoire() {
    return [](int) {
        OuverturePort ouverture;
        ouverture.transport = std::make_unique<TransportMemoire>([] { return 0.0; });
        return ouverture;
    };
}

} // namespace

class TestFilPoste : public QObject {
    Q_OBJECT
private slots:
    // Calls handed from another thread run on the object's thread, in the order given.
    void appelsDansLOrdre() {
        FileAppels appels;
        FilPoste fil;
        std::vector<int> ordre;
        std::atomic<int> surAutreFil{0};
        fil.executeetattends([&] {
            for (int i = 0; i < 100; ++i)
                appels.ajoute([&, i] {
                    if (QThread::currentThread() != QCoreApplication::instance()->thread())
                        ++surAutreFil;
                    ordre.push_back(i);
                });
        });
        QTRY_COMPARE(int(ordre.size()), 100);
        for (int i = 0; i < 100; ++i)
            QCOMPARE(ordre[size_t(i)], i);
        QCOMPARE(surAutreFil.load(), 0);
        QVERIFY(appels.vide());
    }

    // A call that yields (an emission) lets the calls that came after it run in its yields,
    // as clicks ran in a routine's yields: Quit is not held back by the emission.
    void unAppelQuiCedeLaisseCourirLesSuivants() {
        FileAppels appels;
        QStringList journal;
        appels.ajoute([&] {
            journal << u"début"_s;
            appels.ajoute([&] { journal << u"suivant"_s; });
            QTRY_VERIFY(journal.contains(u"suivant"_s));
            journal << u"fin"_s;
        });
        QTRY_COMPARE(journal.size(), 3);
        QCOMPARE(journal, (QStringList{u"début"_s, u"suivant"_s, u"fin"_s}));
    }

    void executeEtAttendsSurLeFil() {
        FilPoste fil;
        QThread* ou = nullptr;
        int resultat = 0;
        fil.executeetattends([&] {
            ou = QThread::currentThread();
            resultat = 42;
        });
        QCOMPARE(ou, &fil.fil());
        QCOMPARE(resultat, 42);
        // From the thread itself, the work runs at once.
        bool dedans = false;
        fil.executeetattends([&] { fil.executeetattends([&] { dedans = true; }); });
        QVERIFY(dedans);
    }

    // The window is told, in order; what a routine reads back comes from the relay's own
    // copy at once, before the window has shown it; a text handed over with a click stays
    // on the station's side.
    void ecranRelais() {
        FileAppels appelsfenetre;
        EcranMemoire fenetre;
        FilPoste fil;
        std::unique_ptr<EcranRelais> relais;
        QStringList montres;
        fenetre.surTexte = [&](Ecran::Controle, const QString& t) { montres << t; };
        QString lu;
        bool actif = true;
        fil.executeetattends([&] {
            relais = std::make_unique<EcranRelais>(fenetre, appelsfenetre);
            for (const QString& t : {u"un"_s, u"deux"_s, u"trois"_s})
                relais->fixetexte(Etiquette2, t);
            relais->fixeactif(Btonenvoiemorse, false);
            relais->saisie(Texte1, u"tapé"_s);
            lu = relais->texte(Etiquette2) + u'|' + relais->texte(Texte1);
            actif = relais->actif(Btonenvoiemorse);
        });
        QCOMPARE(lu, u"trois|tapé"_s);
        QVERIFY(!actif);
        QTRY_COMPARE(montres, (QStringList{u"un"_s, u"deux"_s, u"trois"_s}));
        QVERIFY(!fenetre.actif(Btonenvoiemorse));
        QVERIFY(fenetre.texte(Texte1).isEmpty());
    }

    // A box asked by the station is shown on the window's thread; the station waits for the
    // answer yielding, so its tick goes on meanwhile.
    void boiteAttendueEnCedant() {
        FileAppels appelsfenetre;
        DialoguesLents fenetre(0.3);
        FilPoste fil;
        std::unique_ptr<PlateformeQt> plateforme;
        std::unique_ptr<DialoguesRelais> relais;
        std::unique_ptr<Minuteur> minuteur;
        std::atomic<int> tics{0};
        fil.executeetattends([&] {
            plateforme = std::make_unique<PlateformeQt>();
            relais = std::make_unique<DialoguesRelais>(fenetre, appelsfenetre, fil.appels(),
                                                       *plateforme);
            minuteur = plateforme->creeMinuteur();
            minuteur->setInterval(30);
            minuteur->setMinuterie_Timer([&] { ++tics; });
        });
        std::atomic<bool> fini{false};
        Dialogues::Reponse reponse = Dialogues::Reponse::Annuler;
        QString saisi;
        int ticspendant = 0;
        fil.lance([&] {
            minuteur->setEnabled(true);
            const int avant = tics;
            reponse = relais->boiteMessage(u"Mesure de la tension seuil"_s, Dialogues::Boutons::Ok,
                                           u"titre"_s);
            saisi = relais->boiteSaisie(u"N° de port COM ?"_s, u"titre"_s, u"1"_s);
            ticspendant = tics - avant;
            minuteur->setEnabled(false);
            fini = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(fini.load(), 10000);
        QCOMPARE(reponse, Dialogues::Reponse::Ok);
        QCOMPARE(saisi, u"1 tapé"_s);
        QCOMPARE(fenetre.invites,
                 (QStringList{u"Mesure de la tension seuil"_s, u"N° de port COM ?"_s}));
        QCOMPARE(fenetre.fil, QCoreApplication::instance()->thread());
        // 0.6 s of boxes at 30 ms a tick: the tick did not wait for them.
        QVERIFY2(ticspendant >= 5, qPrintable(QString::number(ticspendant)));
        fil.executeetattends([&] { minuteur.reset(); });
    }

    // What the window asks runs on the station's thread; the settings it changed come back to
    // the window's screen. From the station's own thread, or with no thread of its own, the
    // request runs at once.
    void demandeEtEtatPoste() {
        FileAppels appelsfenetre;
        EcranMemoire fenetre;
        FilPoste fil;
        std::unique_ptr<PlateformeQt> plateforme;
        std::unique_ptr<DialoguesLents> dialogues = std::make_unique<DialoguesLents>(0);
        std::unique_ptr<Station> station;
        std::unique_ptr<EcranRelais> relais;
        fil.executeetattends([&] {
            plateforme = std::make_unique<PlateformeQt>();
            station = std::make_unique<Station>(*plateforme, *dialogues, portEnMemoire());
            station->fixecontexte(&fil.appels());
            relais = std::make_unique<EcranRelais>(fenetre, appelsfenetre);
            station->attache(*relais);
        });
        QVERIFY(station->filpropre());
        std::atomic<QThread*> ou{nullptr};
        station->demande([&] {
            ou = QThread::currentThread();
            station->etat.tensionseuil = 0.55;
            station->etat.typecodage = u"br"_s;
        });
        QTRY_COMPARE(fenetre.etatposte_.typecodage, u"br"_s);
        QCOMPARE(fenetre.etatposte_.tensionseuil, 0.55);
        QCOMPARE(ou.load(), &fil.fil());
        // The same settings are not sent again.
        int envois = 0;
        fil.executeetattends([&] {
            station->publieetat();
            station->demande([&] { ++envois; });
        });
        QCOMPARE(envois, 1);
        fil.executeetattends([&] {
            station->detache();
            station.reset();
        });
    }
};

QTEST_MAIN(TestFilPoste)
#include "tst_filposte.moc"
