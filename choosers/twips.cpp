#include "choosers/twips.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QtMath>

int pixelsdetwips(int twips) {
    const QScreen* ecran = QGuiApplication::primaryScreen();
    const double ppp = ecran ? ecran->logicalDotsPerInchX() : 96.0;
    return qRound(twips * ppp / 1440.0);
}

void placeentwips(QWidget* controle, const QRect& twips) {
    controle->setGeometry(pixelsdetwips(twips.x()), pixelsdetwips(twips.y()),
                          pixelsdetwips(twips.width()), pixelsdetwips(twips.height()));
}
