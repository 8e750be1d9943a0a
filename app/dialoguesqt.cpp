#include "app/dialoguesqt.h"

#include <QInputDialog>
#include <QMessageBox>

namespace {

// A carriage return alone breaks the line in the program's prompts, as a line feed does.
QString lignes(const QString& invite) {
    QString texte = invite;
    texte.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    texte.replace(u'\r', u'\n');
    return texte;
}

} // namespace

void DialoguesQt::preparemessage(QMessageBox& boite, const QString& invite, Boutons boutons,
                                 const QString& titre) {
    boite.setWindowTitle(titre);
    boite.setText(lignes(invite));
    boite.setTextFormat(Qt::PlainText);
    if (boutons == Boutons::OuiNon) {
        // A question that may lose data: Enter and Escape both mean Non.
        boite.setIcon(QMessageBox::Question);
        boite.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        boite.setDefaultButton(QMessageBox::No);
        boite.setEscapeButton(QMessageBox::No);
        return;
    }
    if (boutons == Boutons::OkAnnuler) {
        boite.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        boite.setEscapeButton(QMessageBox::Cancel);
    } else {
        boite.setStandardButtons(QMessageBox::Ok);
    }
    boite.setDefaultButton(QMessageBox::Ok);
}

Dialogues::Reponse DialoguesQt::reponse(QMessageBox& boite, Boutons boutons) const {
    place(boite);
    const int choix = boite.exec();
    if (boutons == Boutons::Ok)
        return Reponse::Ok;
    return choix == QMessageBox::Ok || choix == QMessageBox::Yes ? Reponse::Ok : Reponse::Annuler;
}

Dialogues::Reponse DialoguesQt::boiteMessage(const QString& invite, Boutons boutons,
                                             const QString& titre) {
    QMessageBox boite;
    preparemessage(boite, invite, boutons, titre);
    return reponse(boite, boutons);
}

QString DialoguesQt::boiteSaisie(const QString& invite, const QString& titre,
                                 const QString& defaut) {
    QInputDialog boite;
    boite.setWindowTitle(titre);
    boite.setLabelText(lignes(invite));
    boite.setTextValue(defaut);
    boite.setInputMode(QInputDialog::TextInput);
    place(boite);
    if (boite.exec() != QDialog::Accepted)
        return {};
    return boite.textValue();
}

void DialoguesQt::place(QWidget& boite) const {
    if (!zone_.isValid())
        return;
    boite.adjustSize();
    boite.move(zone_.center() - boite.rect().center());
}
