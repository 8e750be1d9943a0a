#include "app/options.h"

#include "app/feuillelumivox1.h"

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
    {
        const QSettings lus = reglages();
        feuille.fixeoptions(lus.value(robuste, false).toBool(), lus.value(blocs, false).toBool());
        feuille.fixecodagesrapides(lus.value(rapides, false).toBool());
        feuille.fixegrandepolice(lus.value(grandepolice, false).toBool());
    }
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
    QObject::connect(&feuille, &Feuillelumivox1::optionschangees, &feuille, [&feuille] {
        QSettings ecrits = reglages();
        ecrits.setValue(robuste, feuille.etatposte().decodagerobuste);
        ecrits.setValue(blocs, feuille.etatposte().telechargementparblocs);
    });
}
