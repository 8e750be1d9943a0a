#include "app/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtMath>

int pixelsdetwips(int twips) {
    const QScreen* ecran = QGuiApplication::primaryScreen();
    const double ppp = ecran ? ecran->logicalDotsPerInchX() : 96.0;
    return qRound(twips * ppp / 1440.0);
}
