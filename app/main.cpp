#include "app/dialoguesqt.h"
#include "app/feuillelumivox1.h"
#include "app/guetteaffichage.h"
#include "app/lignedecommande.h"
#include "app/options.h"
#include "app/selecteurs.h"
#include "link/extinctionurgence.h"
#include "link/messagesqt.h"
#include "link/plateformeqt.h"
#include "link/signauxarret.h"
#include "link/station.h"
#include "link/transportserie.h"
#include "receive/form_load.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
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
    Station& station = feuille_.station();
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Poste %1 — COM%1").arg(poste));
    station.portpropose = poste;
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

    PlateformeQt plateforme;
    DialoguesQt dialogues;
    Station station(plateforme, dialogues, [](int numport) { return ouvreportserie(numport); });
    Feuillelumivox1 feuille(station);
    guettesignauxdarret([&station] { station.arrete(0); });
    inscritextinctionurgence(station.liaison);
    station.demandepriorite();
    Selecteurs selecteurs(feuille);
    retientoptions(feuille);
    if (ligne.codagesRapides)
        feuille.autorisecodagesrapides();
    if (ligne.poste > 0)
        placeposte(ligne.poste, feuille, dialogues);
    // The port box offers the port where an interface answers.
    station.sondeinterface = [](Plateforme& p, int premier) {
        return sondeinterface(
            p, [](int numport) { return ouvreportserie(numport); }, portsasonder(premier));
    };
    Form_Load(station);
    return 0;
}
