#pragma once

#include "link/tubebanc.h"

#include <QList>
#include <QWidget>

class QDoubleSpinBox;
class QLabel;
class QSlider;
class QTimer;

// "Lumière du banc" : the light on each photodiode of a simulated bench, at hand, for a
// lesson on the room's light and noise and for the receiver test at start-up. For each
// photodiode: the room's light (0 to 2 V), the noise (0 to 0.2 V), the 100 Hz ripple of
// the lamps (0 to 0.3 V) and the laser's light at the photodiode (0.5 to 5 V: the laser
// further away or nearer), each given to the simulator at once; and the photodiode lit by
// hand ("Éclairer la photodiode"), under the laser again ("Sous le laser") or dark ("Dans
// le noir"). The window shows the light as the simulator says it stands, read again every
// second: what another station's window changes shows here too.
class FenetreLumiereBanc : public QWidget {
    Q_OBJECT
public:
    // The bench of the ports' folder `dossier` (`dossierbanc()`).
    explicit FenetreLumiereBanc(const QString& dossier, QWidget* parent = nullptr);

    // The settings of one photodiode.
    struct Reglage {
        const char* commande; // the simulator's command: "salle", "bruit"...
        QString legende;
        double minimum;
        double maximum;
        double pas;
    };
    static const QList<Reglage>& reglages();

    // The control of setting `reglage` (its index in `reglages()`) for photodiode `poste`;
    // null when there is none.
    QDoubleSpinBox* champ(int poste, int reglage) const;
    // Its buttons: 0 lit by hand, 1 under the laser, 2 dark.
    void photodiode(int poste, int choix);
    // The line that says what went wrong with the simulator (empty when nothing did).
    QString erreur() const;
    // Reads the light as the simulator last wrote it, and shows it.
    void relit();

private:
    struct Photodiode {
        int poste = 0;
        QList<QDoubleSpinBox*> champs;
        QList<QSlider*> glissieres;
        QLabel* etat = nullptr;
    };
    void construit(const QList<LumierePhotodiode>& lumieres);
    void commande(const QString& ligne);
    void montre(const Photodiode& p, const LumierePhotodiode& l);

    QString dossier_;
    QList<Photodiode> photodiodes_;
    QLabel* erreur_;
    QTimer* relecture_;
};
