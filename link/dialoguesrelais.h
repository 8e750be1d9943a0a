#pragma once

#include "link/dialogues.h"

class FileAppels;
class Plateforme;

// The boxes of a station that runs on a thread of its own (start-up's questions, the
// advice of a routine): each is shown by the window, on the window's thread, and the
// station waits for the answer as a routine waits for its user, yielding meanwhile, so
// that its tick and the requests of the window (Quit) go on.
class DialoguesRelais final : public Dialogues {
public:
    // `fenetre` shows the boxes through `appelsfenetre` (the window's thread); the answer
    // wakes the station through `appelsposte` (its own thread), whose yields are those of
    // `plateforme`.
    DialoguesRelais(Dialogues& fenetre, FileAppels& appelsfenetre, FileAppels& appelsposte,
                    Plateforme& plateforme)
        : fenetre_(fenetre), appelsfenetre_(appelsfenetre), appelsposte_(appelsposte),
          plateforme_(plateforme) {}

    Reponse boiteMessage(const QString& invite, Boutons boutons, const QString& titre) override;
    QString boiteSaisie(const QString& invite, const QString& titre,
                        const QString& defaut) override;
    Reponse boiteBanc(const QString& invite, Boutons boutons, const QString& titre) override;

private:
    // Runs `question` on the window's thread and yields until its answer has come.
    template <typename T, typename Question> T attendsreponse(Question question);

    Dialogues& fenetre_;
    FileAppels& appelsfenetre_;
    FileAppels& appelsposte_;
    Plateforme& plateforme_;
};
