// A box open on a station's window does not stop the light: the station runs on a thread of
// its own, as in the program, its window on this one. A message box is held open on the
// window (a nested event loop, as "A propos" or a file dialog runs) for 4 s or 20 s of the
// message's time, on the emitting or on the receiving station, in each coding: the light
// the emitter keys and the text the receiver shows are those of the same exchange without
// a box. On the virtual bench, in virtual time.

#include "app/feuillelumivox1.h"
#include "link/ecranrelais.h"
#include "link/fileappels.h"
#include "link/filposte.h"
#include "tools/bancvirtuel.h"
#include "tools/essailiaison.h"

#include "emit/btonenvoibinrap.h"
#include "emit/btonenvoiebinaire.h"
#include "emit/btonenvoiemorse.h"
#include "emit/btonenvoimorserapide.h"

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

enum class Cote { emetteur, recepteur };

// Waits, on the station's thread, for the window's thread to do something: 10 s at most.
void attends(const std::atomic<bool>& drapeau, const char* sinon) {
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!drapeau.load()) {
        if (std::chrono::steady_clock::now() > limite)
            qFatal("%s", sinon);
        std::this_thread::yield();
    }
}

struct Exchange {
    std::vector<InterfaceOrphy::Transition> transitions;
    QString messagerecu;
    QString texte2;
    double boiteouverte = -1; // the bench's time when the box opened, and closed
    double boitefermee = -1;
    double fin = 0; // the bench's time when the station's run ended
};

QString texteessai(const QString& codage) {
    return codage.startsWith(u'm') ? u"sos 73"_s : u"Bonjour !"_s;
}

// One exchange of `codage` ("m", "b", "mr", "br") on the virtual bench, the station on the
// side `cote` on a thread of its own with its window here; a box held open on that window
// from `debutboite` for `dureeboite` seconds of the bench's time (none when 0).
Exchange echange(const QString& codage, Cote cote, double debutboite, double dureeboite) {
    BancVirtuel banc;
    BancVirtuel::Poste& poste = cote == Cote::emetteur ? banc.emetteur : banc.recepteur;
    Station& station = *poste.station;
    const bool rapide = codage.size() == 2;

    FileAppels appelsfenetre;
    FilPoste fil;
    station.fixecontexte(&fil.appels());
    DialoguesScriptes dialoguesfenetre;
    Feuillelumivox1 fenetre(station, &dialoguesfenetre);
    EcranRelais relais(fenetre, appelsfenetre);
    station.attache(relais);

    // The bench's time as the station's thread last published it, for the window's box.
    std::atomic<double> horloge{0};
    std::atomic<bool> ouverte{false};
    std::atomic<bool> fini{false};
    Exchange resultat;
    PlateformeVirtuelle& p = poste.plateforme;
    std::function<void()> publie = [&] {
        horloge.store(p.maintenant());
        p.programme(p.maintenant() + 0.005, publie);
    };
    p.programme(0, publie);
    if (dureeboite > 0)
        p.programme(debutboite, [&] {
            appelsfenetre.ajoute([&] {
                QMessageBox boite(QMessageBox::Information, u"A propos ..."_s, u"lumicom"_s);
                QTimer guet;
                guet.setInterval(1);
                QObject::connect(&guet, &QTimer::timeout, [&] {
                    if (!ouverte.load()) {
                        resultat.boiteouverte = horloge.load();
                        ouverte.store(true);
                    }
                    // Held to its end, or to the end of the station's run (a fast emission
                    // is over in 11 s).
                    if (horloge.load() >= debutboite + dureeboite || fini.load()) {
                        resultat.boitefermee = horloge.load();
                        boite.done(0);
                    }
                });
                guet.start();
                boite.exec();
            });
            // The station goes on once the box is on screen, in its nested loop.
            attends(ouverte, "la boîte ne s'ouvre pas");
        });

    BancVirtuel::Echange e;
    e.morse = codage.startsWith(u'm');
    // Runs `geste` on the window's thread, as the user's hand, and waits for it: a window
    // that does not come back within 10 s (it runs the routine itself) fails the test.
    const auto alamain = [&appelsfenetre](const std::function<void()>& geste) {
        std::atomic<bool> fait{false};
        appelsfenetre.ajoute([&] {
            geste();
            fait.store(true);
        });
        attends(fait, "la fenêtre ne rend pas la main");
    };
    const bool fenetreemettrice = cote == Cote::emetteur;
    e.preparation = [&, emetteur = banc.emetteur.station.get()](Station& s) {
        s.etat.telechargementparblocs = true;
        choisitcodagerapide(s, codage, 6400);
        if (&s != emetteur)
            return;
        if (fenetreemettrice)
            alamain([&] { fenetre.Texte1->setPlainText(texteessai(codage)); });
        else
            s.ecran->saisie(Ecran::Controle::Texte1, texteessai(codage));
    };
    if (fenetreemettrice) {
        // The send button clicked on the window: the request it hands the station runs at
        // the station's next yield.
        QPushButton* bouton = codage == u"mr"   ? fenetre.Btonenvoi_morserapide
                              : codage == u"br" ? fenetre.Btonenvoi_binrap
                              : e.morse         ? fenetre.Btonenvoiemorse
                                                : fenetre.Btonenvoiebinaire;
        e.envoi = [&, bouton](Station&) {
            alamain([bouton] { bouton->click(); });
            fil.appels().executetout();
        };
    } else if (codage == u"mr") {
        e.envoi = Btonenvoi_morserapide_Click;
    } else if (codage == u"br") {
        e.envoi = Btonenvoi_binrap_Click;
    } else {
        e.envoi = e.morse ? Btonenvoiemorse_Click : Btonenvoiebinaire_Click;
    }
    e.attenteApres = rapide ? 60 : 12;
    banc.recepteur.station->observateurs.finReception = [&banc] {
        banc.arreteBientot(banc.recepteur);
    };

    BancVirtuel::Resultat r;
    fil.lance([&] {
        r = banc.echange(e);
        fini.store(true);
    });
    // The window's thread runs its events meanwhile: what the station shows, and the box.
    if (!QTest::qWaitFor([&] { return fini.load(); }, 30000))
        qFatal("l'échange n'a pas fini");
    QCoreApplication::processEvents();
    resultat.fin = horloge.load();
    resultat.transitions = r.transitions;
    resultat.messagerecu = r.messagerecu;
    resultat.texte2 = fenetre.Texte2->toPlainText();
    station.detache();
    return resultat;
}

bool memelumiere(const std::vector<InterfaceOrphy::Transition>& a,
                 const std::vector<InterfaceOrphy::Transition>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].allume != b[i].allume || std::abs(a[i].instant - b[i].instant) > 1e-9)
            return false;
    return true;
}

} // namespace

class TestBoitesFenetre : public QObject {
    Q_OBJECT
private slots:
    void boiteOuverte_data() {
        QTest::addColumn<QString>("codage");
        QTest::addColumn<int>("cote");
        QTest::addColumn<double>("debut");
        QTest::addColumn<double>("duree");
        // The emitter's box opens during its start mark (lit 3 s in the slow codings, 1 s in
        // the fast ones, from 2 s); the receiver's in the middle of the message.
        for (const QString& codage : {u"m"_s, u"b"_s, u"mr"_s, u"br"_s})
            for (const double duree : {4.0, 20.0}) {
                QTest::addRow("%s émetteur %g s", qPrintable(codage), duree)
                    << codage << int(Cote::emetteur) << 2.5 << duree;
                QTest::addRow("%s récepteur %g s", qPrintable(codage), duree)
                    << codage << int(Cote::recepteur) << 7.0 << duree;
            }
    }
    void boiteOuverte() {
        QFETCH(QString, codage);
        QFETCH(int, cote);
        QFETCH(double, debut);
        QFETCH(double, duree);
        const Exchange sans = echange(codage, Cote(cote), debut, 0);
        const Exchange avec = echange(codage, Cote(cote), debut, duree);
        // The box was open that long on the message's time...
        QVERIFY(avec.boiteouverte <= debut + 0.01);
        QVERIFY(avec.boitefermee >= std::min(debut + duree, avec.fin) - 0.01);
        // ...and changed nothing: every change of the light at its instant, the text the same.
        QCOMPARE(avec.messagerecu.trimmed(), texteessai(codage));
        QCOMPARE(avec.messagerecu, sans.messagerecu);
        QCOMPARE(avec.texte2, sans.texte2);
        QVERIFY(memelumiere(avec.transitions, sans.transitions));
        // The start mark kept its length: 3 s in slow Morse, 5.68 s in slow binary, 1 s in
        // the fast codings.
        QVERIFY(avec.transitions.size() >= 2);
        QVERIFY(avec.transitions[0].allume && !avec.transitions[1].allume);
        const int marque = codage == u"m" ? 3000 : codage == u"b" ? 5680 : 1000;
        QCOMPARE(qRound((avec.transitions[1].instant - avec.transitions[0].instant) * 1000),
                 marque);
    }
};

QTEST_MAIN(TestBoitesFenetre)
#include "tst_boitesfenetre.moc"
