#pragma once

#include "choosers/formefichier.h"

class Station;

// The open chooser: its Ok hands the chosen file to the decoder of a recording that
// `typefichier` names ("mr" fast Morse, "br" fast binary), which runs to its end while the
// form is still shown; then the form closes. A file that cannot be read is named in a
// message box, and nothing is decoded.
class Lecturefichier : public FormeFichier {
    Q_OBJECT
public:
    static const Dessin dessin;

    // `dialogues`: the boxes of the form's thread; the decoding itself runs on the
    // station's.
    Lecturefichier(Station& station, Dialogues& dialogues, std::vector<Lecteur> lecteurs,
                   const QString& dossier, QWidget* parent);
    // With the station's boxes, when the station runs on the form's thread.
    Lecturefichier(Station& station, std::vector<Lecteur> lecteurs, const QString& dossier,
                   QWidget* parent);

    void Commande1_Click() override;

private:
    Station& station_;
};
