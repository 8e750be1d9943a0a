#pragma once

#include <QString>

// The message and input boxes of the program. The program shows real boxes; tests
// give scripted answers.
class Dialogues {
public:
    // OuiNon: a question; Oui answers Ok, Non (the default) and closing answer Annuler.
    enum class Boutons { Ok, OkAnnuler, OuiNon };
    enum class Reponse { Ok, Annuler };

    virtual ~Dialogues() = default;

    // Closing the box counts as Cancel.
    virtual Reponse boiteMessage(const QString& invite, Boutons boutons, const QString& titre) = 0;
    // Returns the text typed, or an empty text on Cancel.
    virtual QString boiteSaisie(const QString& invite, const QString& titre,
                                const QString& defaut) = 0;
    // A box of start-up on a simulated bench: the same, with one more button, "Lumière du
    // banc...", that opens the window of the bench's light and leaves the box open (the
    // receiver test needs the photodiode lit by hand). By default, the box alone.
    virtual Reponse boiteBanc(const QString& invite, Boutons boutons, const QString& titre) {
        return boiteMessage(invite, boutons, titre);
    }
};
