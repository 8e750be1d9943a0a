#pragma once

#include "choosers/formefichier.h"

#include <QByteArray>
#include <vector>

class Station;

// The save chooser: its Ok writes the samples of the last fast reception as a recording at
// the chosen path, replacing a file of that name, then the form closes. The samples are
// those of the reception that asked for the form, kept when it did: a reception that
// starts meanwhile empties `tabmesures` and fills it bit by bit, and would otherwise have
// a half-downloaded recording written. When the file cannot be written, a message box
// says why and names it, nothing is written, and the form stays open so that the
// recording can still be saved elsewhere.
class Enregistrefichier : public FormeFichier {
    Q_OBJECT
public:
    static const Dessin dessin;

    Enregistrefichier(Station& station, std::vector<Lecteur> lecteurs, const QString& dossier,
                      QWidget* parent);

    void Commande1_Click() override;

    // Keeps the samples of the station's last fast reception as the ones to write.
    void reprendmesures();

private:
    Station& station_;
    std::vector<QByteArray> tabmesures_;
    int nbmesures_ = 0;
};
