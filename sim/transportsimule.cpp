#include "sim/transportsimule.h"

TransportSimule::TransportSimule(Banc& banc, int station, std::function<double()> horloge)
    : banc_(banc), station_(station), horloge_(std::move(horloge)) {}

void TransportSimule::ecris(const QByteArray& octets) {
    if (!estOuvert())
        return;
    ecrit_ += octets;
    banc_.ecrit(station_, horloge_(), octets);
}

QByteArray TransportSimule::lis(qint64 maximum) {
    if (!estOuvert())
        return {};
    return banc_.lit(station_, horloge_(), maximum);
}

qint64 TransportSimule::octetsEnAttente() const {
    return estOuvert() ? banc_.octetsEnChemin(station_, horloge_()) : 0;
}

bool TransportSimule::perdu() const {
    return banc_.interface(station_).coupee();
}

QString TransportSimule::erreurPerte() const {
    return perdu() ? QStringLiteral("la liaison avec l'interface simulée %1 est coupée")
                         .arg(Banc::nomPort(station_))
                   : QString();
}
