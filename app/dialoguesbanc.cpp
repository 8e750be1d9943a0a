// The boxes of start-up on a simulated bench, with the window of the bench's light at hand.
#include "app/dialoguesqt.h"
#include "app/fenetrelumierebanc.h"
#include "link/tubebanc.h"

#include <QMessageBox>
#include <QPushButton>

Dialogues::Reponse DialoguesQt::boiteBanc(const QString& invite, Boutons boutons,
                                          const QString& titre) {
    const QString dossier = dossierbanc();
    if (dossier.isEmpty() || boutons == Boutons::OuiNon)
        return boiteMessage(invite, boutons, titre);
    QMessageBox boite;
    preparemessage(boite, invite, boutons, titre);
    QPushButton* lumiere =
        boite.addButton(QStringLiteral("Lumière du banc..."), QMessageBox::ActionRole);
    // The box stays open when it is clicked: the box's own handling of the click is taken
    // off the button. The window opens over the box (which takes every click until it is
    // answered), to be closed before the box is.
    QObject::disconnect(lumiere, &QAbstractButton::clicked, nullptr, nullptr);
    QObject::connect(lumiere, &QAbstractButton::clicked, &boite, [&boite, dossier] {
        auto* fenetre = new FenetreLumiereBanc(dossier, &boite);
        fenetre->setWindowFlag(Qt::Window);
        fenetre->setWindowModality(Qt::ApplicationModal);
        fenetre->setAttribute(Qt::WA_DeleteOnClose);
        fenetre->show();
    });
    return reponse(boite, boutons);
}
