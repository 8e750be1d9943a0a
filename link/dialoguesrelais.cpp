#include "link/dialoguesrelais.h"

#include "link/fileappels.h"
#include "link/plateforme.h"

#include <memory>
#include <mutex>
#include <optional>

namespace {

// The answer of a box, written on the window's thread and read on the station's.
template <typename T> class Reponseattendue {
public:
    void donne(T valeur) {
        const std::lock_guard garde(verrou_);
        valeur_ = std::move(valeur);
    }
    std::optional<T> lue() {
        const std::lock_guard garde(verrou_);
        return valeur_;
    }

private:
    std::mutex verrou_;
    std::optional<T> valeur_;
};

} // namespace

template <typename T, typename Question> T DialoguesRelais::attendsreponse(Question question) {
    auto reponse = std::make_shared<Reponseattendue<T>>();
    appelsfenetre_.ajoute([&fenetre = fenetre_, &appelsposte = appelsposte_, reponse,
                           question = std::move(question)] {
        reponse->donne(question(fenetre));
        // The station's yield comes back at once rather than at its next tick.
        appelsposte.ajoute([] {});
    });
    for (;;) {
        if (const std::optional<T> valeur = reponse->lue())
            return *valeur;
        plateforme_.cede();
    }
}

Dialogues::Reponse DialoguesRelais::boiteMessage(const QString& invite, Boutons boutons,
                                                 const QString& titre) {
    return attendsreponse<Reponse>(
        [invite, boutons, titre](Dialogues& d) { return d.boiteMessage(invite, boutons, titre); });
}

Dialogues::Reponse DialoguesRelais::boiteBanc(const QString& invite, Boutons boutons,
                                              const QString& titre) {
    return attendsreponse<Reponse>([invite, boutons, titre](Dialogues& d) {
        return d.boiteBanc(invite, boutons, titre);
    });
}

QString DialoguesRelais::boiteSaisie(const QString& invite, const QString& titre,
                                     const QString& defaut) {
    return attendsreponse<QString>(
        [invite, titre, defaut](Dialogues& d) { return d.boiteSaisie(invite, titre, defaut); });
}
