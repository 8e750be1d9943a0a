#include "app/dialoguesqt.h"
#include "app/feuillelumivox1.h"
#include "app/form_load.h"
#include "app/lignedecommande.h"
#include "app/messagesqt.h"
#include "app/options.h"
#include "app/plateformeqt.h"
#include "app/signauxarret.h"
#include "app/station.h"
#include "choosers/selecteurs.h"
#include "link/transportserie.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    // The help is printed before anything needs a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::fputs(aideprogramme().toLocal8Bit().constData(), stdout);
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
    guettesignauxdarret([&station] { station.arrete(0); });
    Selecteurs selecteurs(station);
    retientoptions(station);
    if (ligne.codagesRapides)
        station.feuille->autorisecodagesrapides();
    Form_Load(station);
    return 0;
}
