#pragma once

#include "link/dialogues.h"

#include <QRect>

class QMessageBox;
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
    // The title, the text and the buttons of a message box, the same with or without the
    // bench's light at hand.
    static void preparemessage(QMessageBox& boite, const QString& invite, Boutons boutons,
                               const QString& titre);
    // Shows `boite` in the station's part of the screen and waits for its answer.
    Reponse reponse(QMessageBox& boite, Boutons boutons) const;
    void place(QWidget& boite) const;

    QRect zone_;
};
