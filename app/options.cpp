#include "app/options.h"

#include "app/feuillelumivox1.h"
#include "link/station.h"

#include <QSettings>

namespace {

const QString robuste = QStringLiteral("options/decodageRobuste");
const QString blocs = QStringLiteral("options/telechargementMorseParBlocs");
const QString rapides = QStringLiteral("options/codagesRapides");
const QString grandepolice = QStringLiteral("options/grandePolice");

QSettings reglages() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("lumicom"),
                     QStringLiteral("lumicom"));
}

} // namespace

void retientoptions(Feuillelumivox1& feuille) {
    Station& station = feuille.station();
    {
        const QSettings lus = reglages();
        station.etat.decodagerobuste = lus.value(robuste, false).toBool();
        station.etat.telechargementparblocs = lus.value(blocs, false).toBool();
        feuille.fixecodagesrapides(lus.value(rapides, false).toBool());
        feuille.fixegrandepolice(lus.value(grandepolice, false).toBool());
    }
    feuille.afficheoptions();
    // Only the user's own choice of the fast codings is kept: --codages-rapides opens them
    // for its run alone.
    QObject::connect(&feuille, &Feuillelumivox1::codagesrapideschoisis, &feuille, [](bool ouverts) {
        QSettings ecrits = reglages();
        ecrits.setValue(rapides, ouverts);
    });
    QObject::connect(&feuille, &Feuillelumivox1::grandepolicechoisie, &feuille, [](bool grande) {
        QSettings ecrits = reglages();
        ecrits.setValue(grandepolice, grande);
    });
    QObject::connect(&feuille, &Feuillelumivox1::optionschangees, &feuille, [&station] {
        QSettings ecrits = reglages();
        ecrits.setValue(robuste, station.etat.decodagerobuste);
        ecrits.setValue(blocs, station.etat.telechargementparblocs);
    });
}
