#pragma once

#include "link/dialogues.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

// Message and input boxes answered from a script, in order. Every box shown is kept,
// so a test reads titles, prompts and buttons back. A box that finds the script empty
// stops the process with its title (it would otherwise wait for a user).
class DialoguesScriptes : public Dialogues {
public:
    struct Boite {
        QString titre;
        QString invite;
        bool saisie = false;
        Boutons boutons = Boutons::Ok;
        QString defaut;
        bool lumierebanc = false; // it offered the window of the bench's light
    };

    // The next box is answered with OK / Cancel, or (an input box) with this text. The
    // action, if any, runs just before the answer is given (e.g. the user lights the
    // photodiode before pressing OK).
    DialoguesScriptes& ok(std::function<void()> action = {});
    DialoguesScriptes& annuler(std::function<void()> action = {});
    DialoguesScriptes& saisit(const QString& texte, std::function<void()> action = {});
    // The next box's button "Lumière du banc..." is clicked first: the action runs (the user
    // lights the photodiode in that window), then the next answer of the script is given to
    // the same box. A box that offers no such button stops the process.
    DialoguesScriptes& lumierebanc(std::function<void()> action = {});

    Reponse boiteMessage(const QString& invite, Boutons boutons, const QString& titre) override;
    QString boiteSaisie(const QString& invite, const QString& titre,
                        const QString& defaut) override;
    Reponse boiteBanc(const QString& invite, Boutons boutons, const QString& titre) override;

    // The start-up boxes answered as a user would up to the wiring checklist: the coding
    // (OK for Morse), the priority warning where there is one, the port number typed, OK
    // to the checklist.
    DialoguesScriptes& jusquAuBranchement(bool morse, const QString& port);

    const std::vector<Boite>& boites() const { return boites_; }
    QStringList titres() const;
    bool scriptEpuise() const { return script_.empty(); }

private:
    struct Reponse_ {
        bool ok = true;
        QString texte;
        std::function<void()> action;
        bool lumierebanc = false; // a click on "Lumière du banc...", not an answer
    };
    Reponse_ suivante();

    std::deque<Reponse_> script_;
    std::vector<Boite> boites_;
};
