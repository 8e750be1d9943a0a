#pragma once

#include "app/anneaumesures.h"

#include <QWidget>
#include <memory>

struct ResultatReception;

class QComboBox;
class QLabel;
class Station;
class VueTraceWidget;

// The light on the photodiode as it happens: the readings of EA0 that the sampling tick
// takes anyway (nothing more is asked of the interface), in volts over the last 5, 10 or
// 30 seconds, the threshold `tensionseuil` across, the stretches of light and darkness
// shaded, the gaps left while the tick is off (an emission, a download) shown as such,
// and the last reading large. After a fast reception, the recording downloaded is laid
// out under it with what the decoder made of it.
class FenetreSignal : public QWidget {
    Q_OBJECT
public:
    explicit FenetreSignal(Station& station, QWidget* parent = nullptr);

    // The readings drawn come from here: the tick's, through the main form.
    void ajoute(double instant, double volts);
    const AnneauMesures& mesures() const { return mesures_; }
    double duree() const { return duree_; }
    void fixeduree(double secondes);
    // Lays out the recording of the last fast reception.
    // The trace of a reception's record, under the live light.
    void afficheenregistrement(std::shared_ptr<const ResultatReception> resultat);
    VueTraceWidget* enregistrement() const { return enregistrement_; }

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void dessine(QWidget* zone);
    // The light/dark threshold of the station.
    double seuil() const;

    Station& station_;
    AnneauMesures mesures_;
    double duree_ = 10;
    QWidget* trace_;
    QLabel* valeur_;
    QLabel* etat_;
    QComboBox* choixduree_;
    QLabel* titreenregistrement_;
    VueTraceWidget* enregistrement_;
};
