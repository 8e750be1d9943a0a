#include "choosers/twips.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QtMath>

int pixelsdetwips(int twips) {
    return pixelsdetwips(twips, 1.0);
}

int pixelsdetwips(int twips, double echelle) {
    const QScreen* ecran = QGuiApplication::primaryScreen();
    const double ppp = ecran ? ecran->logicalDotsPerInchX() : 96.0;
    return qRound(twips * echelle * ppp / 1440.0);
}

void placeentwips(QWidget* controle, const QRect& twips, double echelle) {
    controle->setGeometry(pixelsdetwips(twips.x(), echelle), pixelsdetwips(twips.y(), echelle),
                          pixelsdetwips(twips.width(), echelle),
                          pixelsdetwips(twips.height(), echelle));
}
