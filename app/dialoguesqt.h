#pragma once

#include "link/dialogues.h"

#include <QRect>

class QWidget;

// Real message and input boxes, with the French standard buttons.
class DialoguesQt : public Dialogues {
public:
    // The boxes open in the middle of `zone` (a part of the screen given to the station)
    // rather than in the middle of the screen.
    void fixezone(const QRect& zone) { zone_ = zone; }

    Reponse boiteMessage(const QString& invite, Boutons boutons, const QString& titre) override;
    QString boiteSaisie(const QString& invite, const QString& titre,
                        const QString& defaut) override;
    // With "Lumière du banc...", which opens the window of the bench's light over the box
    // (dialoguesbanc.cpp).
    Reponse boiteBanc(const QString& invite, Boutons boutons, const QString& titre) override;

private:
    void place(QWidget& boite) const;

    QRect zone_;
};
