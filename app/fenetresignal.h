#pragma once

#include "app/anneaumesures.h"

#include <QImage>
#include <QWidget>
#include <memory>
#include <optional>

struct ResultatReception;

class QCheckBox;
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
//
// Two cursors measure the light as on an oscilloscope: a click on the trace lays one on
// the reading nearest to it (A, then B, then the nearer moves), the arrow keys move the
// last one laid by one reading, Escape takes them away; they stay on their readings as the
// trace moves on. "Figer" holds the picture still while the readings go on coming;
// "Exporter en PNG..." writes it, cursors included.
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

    // The picture held still (true) at the instant of the last reading, or moving again.
    void fige(bool fige);
    // Lays a cursor on the reading nearest to the abscissa `x` of the trace, as a click.
    void clique(int x);
    // Moves the last cursor laid by `pas` readings, as the arrow keys do.
    void deplacecurseur(int pas);
    void effacecurseurs();
    // What the two cursors measure, in words; empty until both are laid (or when a reading
    // they stood on has left the ring).
    QString mesurecurseurs() const;
    // The picture of the trace as the window shows it, cursors included, at its size.
    QImage image();

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void dessine(QPainter& p, const QRect& zone);
    // The clock reading at the right edge: now, or the instant the picture was held still.
    double maintenantaffiche();
    // The index in the ring of the reading taken at `instant`, if it is still there.
    std::optional<std::size_t> indicede(double instant) const;
    void metajourcurseurs();
    void exporte();
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
    QCheckBox* fige_;
    QLabel* curseurs_;
    double instantfige_ = -1; // negative: the picture moves on
    // The readings the cursors stand on, by their instants; negative while one is not laid.
    double curseura_ = -1;
    double curseurb_ = -1;
    bool curseurbactif_ = false;
};
