#include "choosers/polices.h"

#include <QStringList>

namespace {

double agrandissement = 1.0;

QFont police(const QStringList& familles, double points) {
    QFont f;
    f.setFamilies(familles);
    f.setPointSizeF(points);
    f.setBold(true);
    return f;
}

} // namespace

QFont policeformulaire(double points) {
    return police({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                   QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")},
                  points);
}

QFont policetexte(double points) {
    return police({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                   QStringLiteral("DejaVu Serif")},
                  points);
}

double agrandissementchoisisseurs() {
    return agrandissement;
}

void fixeagrandissementchoisisseurs(double facteur) {
    agrandissement = facteur;
}
