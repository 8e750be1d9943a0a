#pragma once

#include "app/feuillelumivox1.h"
#include "link/ecranrelais.h"
#include "link/fileappels.h"
#include "link/filposte.h"
#include "tools/dialoguesscriptes.h"
#include "tools/postereel.h"

#include <functional>
#include <memory>

// A station in real time as the program runs it: the headless station's start-up
// (PosteReel, boxes answered from its script) on a thread of its own, its main form on this
// thread, shown through an EcranRelais once the station waits for messages. For the
// real-time tests of a child process, which the end of the station ends.
class PosteFenetreReel {
public:
    explicit PosteFenetreReel(const PosteReel::Reglages& reglages);
    ~PosteFenetreReel();

    // Starts the station; `auRepos` runs on the station's thread once it waits for
    // messages, its form shown. Then runs this thread's event loop until the program ends.
    int execute(std::function<void(Station&)> auRepos);

    Station& station() { return poste_->station(); }
    Feuillelumivox1& fenetre() { return *fenetre_; }
    // What runs on the form's thread, in order.
    FileAppels& appelsfenetre() { return appelsfenetre_; }
    FilPoste& fil() { return *fil_; }

private:
    FileAppels appelsfenetre_;
    std::unique_ptr<FilPoste> fil_;
    std::unique_ptr<PosteReel> poste_;
    DialoguesScriptes dialoguesfenetre_;
    std::unique_ptr<Feuillelumivox1> fenetre_;
    std::unique_ptr<EcranRelais> relais_;
};
