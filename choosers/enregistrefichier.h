#pragma once

#include "choosers/formefichier.h"

class Station;

// The save chooser: its Ok writes the samples of the last fast reception (`tabmesures`)
// as a recording at the chosen path, replacing a file of that name, then the form closes.
// When the file cannot be written, a message box says why and names it, nothing is
// written, and the form stays open so that the recording can still be saved elsewhere.
class Enregistrefichier : public FormeFichier {
    Q_OBJECT
public:
    static const Dessin dessin;

    Enregistrefichier(Station& station, std::vector<Lecteur> lecteurs, const QString& dossier,
                      QWidget* parent);

    void Commande1_Click() override;

private:
    Station& station_;
};
