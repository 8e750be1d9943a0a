#include "app/dialoguesqt.h"
#include "app/feuillelumivox1.h"
#include "app/guetteaffichage.h"
#include "app/lignedecommande.h"
#include "app/options.h"
#include "app/selecteurs.h"
#include "link/dialoguesrelais.h"
#include "link/ecranrelais.h"
#include "link/extinctionurgence.h"
#include "link/filposte.h"
#include "link/messagesqt.h"
#include "link/plateformeqt.h"
#include "link/signauxarret.h"
#include "link/sondeinterface.h"
#include "link/station.h"
#include "link/transportserie.h"
#include "receive/form_load.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// A station of a bench on one screen: its number after every title, its windows in its own
// half of the screen (odd stations on the left, even ones on the right), the port box
// offering its number.
void placeposte(int poste, Feuillelumivox1& feuille_, DialoguesQt& dialogues) {
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Poste %1 — COM%1").arg(poste));
    const QScreen* ecran = QGuiApplication::primaryScreen();
    if (!ecran)
        return;
    const QRect tout = ecran->availableGeometry();
    QRect zone = tout;
    zone.setWidth(tout.width() / 2);
    if (poste % 2 == 0)
        zone.moveLeft(tout.left() + tout.width() / 2);
    dialogues.fixezone(zone);
    // Moved once shown and framed by the window manager, so that the frame, title
    // included, goes to the corner of the zone; without a window manager, after a second.
    // A window manager slowed by a busy machine may frame the window only after that
    // second and then place it where it likes: the window is watched for 5 s, and moved
    // again until its frame stands at the corner.
    Feuillelumivox1* feuille = &feuille_;
    auto* guetteur = new GuetteAffichage([feuille, zone] {
        auto* attente = new QTimer(feuille);
        auto essais = std::make_shared<int>(0);
        QObject::connect(attente, &QTimer::timeout, feuille, [feuille, zone, attente, essais] {
            const bool encadree = feuille->frameGeometry() != feuille->geometry();
            const bool enplace = feuille->frameGeometry().topLeft() == zone.topLeft();
            ++*essais;
            if ((encadree || *essais == 20) && !enplace)
                feuille->move(zone.topLeft());
            if ((encadree && enplace) || *essais >= 100)
                attente->deleteLater();
        });
        attente->start(50);
    });
    guetteur->setParent(feuille);
    feuille->installEventFilter(guetteur);
}

} // namespace

int main(int argc, char* argv[]) {
    // The help and the version are printed before anything needs a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::fputs(aideprogramme().toLocal8Bit().constData(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs(ligneversion().toLocal8Bit().constData(), stdout);
            return 0;
        }
    }
    filtremessagesqt();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumicom"));

    const LigneDeCommande ligne = litlignedecommande(QApplication::arguments().mid(1));
    if (ligne.arret) {
        std::fputs(ligne.message.toLocal8Bit().constData(), ligne.code == 0 ? stdout : stderr);
        return ligne.code;
    }

    // Standard buttons in French ("Annuler"), whatever the system's language.
    QTranslator traduction;
    if (traduction.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traduction);

    // Start-up's boxes come before the window: the program ends by its own routes, never
    // because the last box on screen was closed.
    QApplication::setQuitOnLastWindowClosed(false);

    // The station lives on a thread of its own, made there with its clock, its timer and
    // later its port; this thread draws the windows and takes the user's input only.
    DialoguesQt dialogues;
    FileAppels appelsfenetre;
    FilPoste fil;
    std::unique_ptr<PlateformeQt> plateforme;
    std::unique_ptr<DialoguesRelais> dialoguesposte;
    std::unique_ptr<Station> station;
    fil.executeetattends([&] {
        plateforme = std::make_unique<PlateformeQt>();
        dialoguesposte =
            std::make_unique<DialoguesRelais>(dialogues, appelsfenetre, fil.appels(), *plateforme);
        station = std::make_unique<Station>(*plateforme, *dialoguesposte,
                                            [](int numport) { return ouvreportserie(numport); });
        station->fixecontexte(&fil.appels());
        if (ligne.poste > 0)
            station->portpropose = ligne.poste;
        // The port box offers the port where an interface answers.
        station->sondeinterface = [](Plateforme& p, int premier) {
            return sondeinterface(
                p, [](int numport) { return ouvreportserie(numport); }, portsasonder(premier));
        };
    });
    Feuillelumivox1 feuille(*station, &dialogues);
    EcranRelais relais(feuille, appelsfenetre);
    fil.executeetattends([&] { station->attache(relais); });
    guettesignauxdarret([&station] { station->demandearret(0); });
    inscritextinctionurgence(station->liaison);
    Selecteurs selecteurs(feuille);
    retientoptions(feuille);
    if (ligne.codagesRapides)
        feuille.autorisecodagesrapides();
    if (ligne.poste > 0)
        placeposte(ligne.poste, feuille, dialogues);
    // Only the station's thread, which keys and samples the light, asks for real-time
    // scheduling; the window's never has it.
    fil.lance([&station] {
        station->demandepriorite();
        Form_Load(*station);
    });
    application.exec();
    // The event loop ended without Quit (the session closing): the station ends the
    // program, the laser off first.
    station->demandearret(0);
    for (;;)
        QThread::sleep(1);
}
