#include "app/dialoguesqt.h"
#include "app/form_load.h"
#include "app/plateformeqt.h"
#include "app/station.h"
#include "link/transportserie.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumicom"));

    // Standard buttons in French ("Annuler"), whatever the system's language.
    QTranslator traduction;
    if (traduction.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traduction);

    PlateformeQt plateforme;
    DialoguesQt dialogues;
    Station station(plateforme, dialogues, [](int numport) { return ouvreportserie(numport); });
    Form_Load(station);
    return 0;
}
