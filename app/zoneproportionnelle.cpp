#include "app/zoneproportionnelle.h"

#include "choosers/twips.h"

#include <QtMath>
#include <algorithm>

ZoneProportionnelle::ZoneProportionnelle(int largeur, int hauteur, QWidget* parent)
    : QWidget(parent), dessin_(pixelsdetwips(largeur), pixelsdetwips(hauteur)) {
    setMinimumSize(dessin_);
    resize(dessin_);
}

void ZoneProportionnelle::place(QWidget* controle, const QRect& twips, bool police) {
    const QRect pixels(pixelsdetwips(twips.x()), pixelsdetwips(twips.y()),
                       pixelsdetwips(twips.width()), pixelsdetwips(twips.height()));
    const Place p{controle, pixels, police ? controle->font().pointSizeF() : 0};
    places_.append(p);
    replace(p);
}

double ZoneProportionnelle::echellelargeur() const {
    return double(width()) / dessin_.width();
}

double ZoneProportionnelle::echellehauteur() const {
    return double(height()) / dessin_.height();
}

void ZoneProportionnelle::replace(const Place& p) const {
    const double sx = echellelargeur(), sy = echellehauteur();
    // Edges rounded rather than sizes, so that controls drawn side by side stay so.
    const int gauche = qRound(p.dessin.left() * sx);
    const int haut = qRound(p.dessin.top() * sy);
    const int droite = qRound((p.dessin.left() + p.dessin.width()) * sx);
    const int bas = qRound((p.dessin.top() + p.dessin.height()) * sy);
    p.controle->setGeometry(gauche, haut, droite - gauche, bas - haut);
    if (p.points > 0) {
        QFont police = p.controle->font();
        police.setPointSizeF(p.points * std::min(sx, sy));
        p.controle->setFont(police);
    }
}

void ZoneProportionnelle::resizeEvent(QResizeEvent* evenement) {
    QWidget::resizeEvent(evenement);
    for (const Place& p : places_)
        replace(p);
}
