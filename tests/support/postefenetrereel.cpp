#include "postefenetrereel.h"

#include <QApplication>

PosteFenetreReel::PosteFenetreReel(const PosteReel::Reglages& reglages)
    : fil_(std::make_unique<FilPoste>()) {
    // The station, its clock and its timer belong to its own thread.
    fil_->executeetattends([this, &reglages] {
        poste_ = std::make_unique<PosteReel>(reglages);
        poste_->station().fixecontexte(&fil_->appels());
    });
    fenetre_ = std::make_unique<Feuillelumivox1>(poste_->station(), &dialoguesfenetre_);
    relais_ = std::make_unique<EcranRelais>(*fenetre_, appelsfenetre_);
}

PosteFenetreReel::~PosteFenetreReel() = default;

int PosteFenetreReel::execute(std::function<void(Station&)> auRepos) {
    fil_->lance([this, auRepos = std::move(auRepos)] {
        poste_->demarre([this, auRepos] {
            Station& s = poste_->station();
            s.attache(*relais_);
            s.ecran->montre();
            s.publieetat();
            if (auRepos)
                auRepos(s);
        });
    });
    return QApplication::exec();
}
