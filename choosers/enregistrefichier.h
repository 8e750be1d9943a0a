#pragma once

#include "choosers/formefichier.h"

#include <memory>

class Station;
struct ResultatReception;

// The save chooser: its Ok writes the samples of the last fast reception as a recording at
// the chosen path, then the form closes. A name without extension is saved with ".rrr"
// ('essai' as 'essai.rrr'), so that the open chooser lists it; the line under Ok says so.
// A file of that name is replaced only once the user has said Oui to "Remplacer le
// fichier « … » ?"; Non leaves the form open with the name. The samples are
// those of the reception that asked for the form, kept when it did: a reception that
// starts meanwhile empties `tabmesures` and fills it bit by bit, and would otherwise have
// a half-downloaded recording written. When the file cannot be written, a message box
// says why and names it, nothing is written, and the form stays open so that the
// recording can still be saved elsewhere.
class Enregistrefichier : public FormeFichier {
    Q_OBJECT
public:
    static const Dessin dessin;

    // Saves the samples of `resultat` (the reception that asked for the form).
    Enregistrefichier(Station& station, Dialogues& dialogues,
                      std::shared_ptr<const ResultatReception> resultat,
                      std::vector<Lecteur> lecteurs, const QString& dossier, QWidget* parent);
    // With the station's boxes, when the station runs on the form's thread.
    Enregistrefichier(Station& station, std::shared_ptr<const ResultatReception> resultat,
                      std::vector<Lecteur> lecteurs, const QString& dossier, QWidget* parent);

    void Commande1_Click() override;
    QString nomchoisi() const override;

    // The samples of a later reception are the ones to write from now on.
    void reprendmesures(std::shared_ptr<const ResultatReception> resultat);

protected:
    QString remarquenom(const QString& nom) const override;

private:
    // Whether the file at `chemin` may be written: it does not exist, or the user said Oui
    // to its replacement.
    bool remplacementaccepte(const QString& chemin);

    Station& station_;
    std::shared_ptr<const ResultatReception> resultat_;
};
