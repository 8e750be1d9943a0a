#include "tools/dialoguesscriptes.h"

#include "receive/form_load.h"

#include <QtGlobal>

DialoguesScriptes& DialoguesScriptes::ok(std::function<void()> action) {
    script_.push_back({true, {}, std::move(action)});
    return *this;
}

DialoguesScriptes& DialoguesScriptes::annuler(std::function<void()> action) {
    script_.push_back({false, {}, std::move(action)});
    return *this;
}

DialoguesScriptes& DialoguesScriptes::saisit(const QString& texte, std::function<void()> action) {
    script_.push_back({true, texte, std::move(action)});
    return *this;
}

DialoguesScriptes& DialoguesScriptes::lumierebanc(std::function<void()> action) {
    script_.push_back({true, {}, std::move(action), true});
    return *this;
}

DialoguesScriptes::Reponse_ DialoguesScriptes::suivante() {
    if (script_.empty())
        qFatal("une boîte de dialogue de plus que le script n'en prévoit : « %s »",
               qUtf8Printable(boites_.back().titre));
    Reponse_ r = std::move(script_.front());
    script_.pop_front();
    if (r.lumierebanc && !boites_.back().lumierebanc)
        qFatal("la boîte « %s » n'offre pas « Lumière du banc... »",
               qUtf8Printable(boites_.back().titre));
    if (r.lumierebanc) {
        // The window opened from the box; the box still waits for its answer.
        if (r.action)
            r.action();
        return suivante();
    }
    if (r.action)
        r.action();
    return r;
}

Dialogues::Reponse DialoguesScriptes::boiteMessage(const QString& invite, Boutons boutons,
                                                   const QString& titre) {
    boites_.push_back({titre, invite, false, boutons, {}});
    return suivante().ok ? Reponse::Ok : Reponse::Annuler;
}

QString DialoguesScriptes::boiteSaisie(const QString& invite, const QString& titre,
                                       const QString& defaut) {
    boites_.push_back({titre, invite, true, Boutons::OkAnnuler, defaut});
    const Reponse_ r = suivante();
    return r.ok ? r.texte : QString();
}

Dialogues::Reponse DialoguesScriptes::boiteBanc(const QString& invite, Boutons boutons,
                                                const QString& titre) {
    boites_.push_back({titre, invite, false, boutons, {}, true});
    return suivante().ok ? Reponse::Ok : Reponse::Annuler;
}

QStringList DialoguesScriptes::titres() const {
    QStringList t;
    for (const auto& b : boites_)
        t << b.titre;
    return t;
}

DialoguesScriptes& DialoguesScriptes::jusquAuBranchement(bool morse, const QString& port) {
    morse ? ok() : annuler();
    if (avertissementprioritewindows)
        ok();
    return saisit(port).ok();
}
