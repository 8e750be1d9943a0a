#include "link/transportmemoire.h"

#include <algorithm>
#include <cmath>

TransportMemoire::TransportMemoire(std::function<double()> horloge)
    : horloge_(std::move(horloge)) {}

void TransportMemoire::ecris(const QByteArray& octets) {
    if (!ouvert_)
        return;
    const double maintenant = horloge_();
    ecritures_.push_back({maintenant, octets});
    finEmission_ = std::max(finEmission_, maintenant) + dureeOctet * octets.size();
    if (repondeur_)
        repondeur_(octets);
}

QByteArray TransportMemoire::lis(qint64 maximum) {
    const qint64 n = maximum <= 0 ? entree_.size() : std::min<qint64>(maximum, entree_.size());
    QByteArray lu = entree_.left(n);
    entree_.remove(0, n);
    return lu;
}

qint64 TransportMemoire::octetsEnAttente() const {
    const double reste = finEmission_ - horloge_();
    // A small tolerance keeps rounding from leaving a phantom byte in the queue.
    return reste <= 1e-9 ? 0 : static_cast<qint64>(std::ceil(reste / dureeOctet - 1e-6));
}

QByteArray TransportMemoire::toutEcrit() const {
    QByteArray tout;
    for (const auto& e : ecritures_)
        tout.append(e.octets);
    return tout;
}
