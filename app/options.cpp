#include "app/options.h"

#include "app/feuillelumivox1.h"
#include "app/station.h"

#include <QSettings>

namespace {

const QString robuste = QStringLiteral("options/decodageRobuste");
const QString blocs = QStringLiteral("options/telechargementMorseParBlocs");
const QString rapides = QStringLiteral("options/codagesRapides");

QSettings reglages() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("lumicom"),
                     QStringLiteral("lumicom"));
}

} // namespace

void retientoptions(Station& station) {
    {
        const QSettings lus = reglages();
        station.etat.decodagerobuste = lus.value(robuste, false).toBool();
        station.etat.telechargementparblocs = lus.value(blocs, false).toBool();
        station.feuille->fixecodagesrapides(lus.value(rapides, false).toBool());
    }
    station.feuille->afficheoptions();
    // Only the user's own choice of the fast codings is kept: --codages-rapides opens them
    // for its run alone.
    QObject::connect(station.feuille.get(), &Feuillelumivox1::codagesrapideschoisis,
                     station.feuille.get(), [](bool ouverts) {
                         QSettings ecrits = reglages();
                         ecrits.setValue(rapides, ouverts);
                     });
    QObject::connect(station.feuille.get(), &Feuillelumivox1::optionschangees,
                     station.feuille.get(), [&station] {
                         QSettings ecrits = reglages();
                         ecrits.setValue(robuste, station.etat.decodagerobuste);
                         ecrits.setValue(blocs, station.etat.telechargementparblocs);
                     });
}
