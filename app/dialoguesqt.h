#pragma once

#include "app/dialogues.h"

// Real message and input boxes, with the French standard buttons.
class DialoguesQt : public Dialogues {
public:
    Reponse boiteMessage(const QString& invite, Boutons boutons, const QString& titre) override;
    QString boiteSaisie(const QString& invite, const QString& titre,
                        const QString& defaut) override;
};
