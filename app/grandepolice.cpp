#include "app/grandepolice.h"

#include "choosers/polices.h"

#include <QApplication>
#include <QFont>
#include <optional>

namespace {

// The font the system gave the application, before the option first changed it.
std::optional<QFont> policesysteme;
bool appliquee = false;

} // namespace

void appliquegrandepolice(bool grande) {
    if (!policesysteme)
        policesysteme = QApplication::font();
    QFont police = *policesysteme;
    if (grande)
        police.setPointSizeF(pointsProjection);
    QApplication::setFont(police);
    // The choosers were drawn in a font of their own: they grow with the option.
    fixeagrandissementchoisisseurs(grande ? pointsProjection / pointsChoisisseurs : 1.0);
    appliquee = grande;
}

bool grandepoliceappliquee() {
    return appliquee;
}
