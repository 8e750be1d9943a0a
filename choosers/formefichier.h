#pragma once

#include "choosers/lecteurs.h"

#include <QDialog>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

class Dialogues;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// What the two file chooser forms share: their controls, their layout but for a few
// positions, and their behaviour but for what Ok does. A user picks a recording file by
// drive (`Lecteur1`), directory (`Répertoire1`) and name (`Texte1`, or a click in
// `Fichier1`, which lists the files of the directory matching the pattern). Ok is usable
// only for a valid name without wildcard; a pattern typed in `Texte1` filters the list.
// The line under Ok (`Etiquette3`) says why Ok is grey, or what Ok will do with the name.
// What is typed in `Texte1` stays there when the directory, the drive or the size of the
// form changes. The form is modeless: the main form's routines go on behind it.
class FormeFichier : public QDialog {
    Q_OBJECT
public:
    // The form as drawn: captions and the places of its controls, in twips (left, top,
    // width, height).
    struct Dessin {
        QString legende; // design caption; the callers replace it
        QString invite;  // prompt of Etiquette2
        QSize client;
        QRect etiquette2, etiquette1, texte1, label_rep, fichier1, repertoire1, lecteur1, commande1,
            commande2, etiquette3;
    };

    // Opens on the directory `dossier`, the drive that holds it selected in the list.
    FormeFichier(const Dessin& dessin, Dialogues& dialogues, std::vector<Lecteur> lecteurs,
                 const QString& dossier, QWidget* parent);

    // Controls, by the names the handlers use (`Repertoire1` is the directory list
    // Répertoire1).
    QLabel* Etiquette2;
    QLabel* Etiquette1;
    QLineEdit* Texte1;
    QLabel* label_rep;
    QListWidget* Fichier1;
    QListWidget* Repertoire1;
    QComboBox* Lecteur1;
    QPushButton* Commande1;
    QPushButton* Commande2;
    QLabel* Etiquette3; // under Ok: why it is grey, or what it does with the name

    QString motiffichier;   // the file-name pattern in force
    QString lecteurinitial; // the entry of Lecteur1 selected when the form was loaded

    // The current directory of Répertoire1, and the directory and pattern of Fichier1.
    QString cheminrepertoire() const { return repertoire_; }
    QString cheminfichiers() const { return repertoirefichiers_; }
    QString motiffichiers() const { return motif_; }
    // The name Ok takes from Texte1 (the save chooser completes its extension).
    virtual QString nomchoisi() const;
    // The path Ok would take: the directory of Fichier1 and the name Ok takes, with the
    // system's separator.
    QString cheminchoisi() const;

    // Shows the current directory in label_rep, shortened to its width. Texte1 keeps what
    // it holds.
    void afficherepertoire();
    // The drive chosen cannot be read: says so, and goes back to the drive of the loading.
    void disqueindisponible();

    // Handlers.
    void Form_Load();
    void Form_Resize();
    void Lecteur1_Change();
    void Repertoire1_Change();
    void Texte1_Change();
    void Fichier1_Click();
    void Fichier1_DblClick();
    virtual void Commande1_Click() = 0;
    void Commande2_Click();

    // The Ok action is running (a decoder may yield meanwhile): the form does not close.
    bool occupe() const { return occupe_; }

signals:
    // The form has been closed (hidden); it is unloaded next. `repertoire` is the directory
    // it was on, for the next opening.
    void fermee(const QString& repertoire);

protected:
    // What Ok will do with a valid name, for the line under Ok; empty when it needs no
    // word.
    virtual QString remarquenom(const QString& nom) const;
    // Hides the form and has it unloaded.
    void ferme();
    // Runs the Ok action with the form disabled, so that nothing of it runs meanwhile.
    void executeok(const std::function<void()>& action);
    Dialogues& dialogues() { return dialogues_; }

    void resizeEvent(QResizeEvent* evenement) override;
    void closeEvent(QCloseEvent* evenement) override;
    void reject() override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    // Moves Répertoire1 to `chemin`; false when that directory cannot be read.
    bool fixerepertoire(const QString& chemin);
    void remplitrepertoire1();
    void remplitfichier1();
    // The line under Ok, for the text of Texte1.
    void afficheraisonok();
    // The directory highlighted in Répertoire1 becomes the current one.
    void entrerepertoiremarque();
    int largeur(const QString& texte) const;

    Dialogues& dialogues_;
    std::vector<Lecteur> lecteurs_;
    QString repertoire_;
    QString repertoirefichiers_;
    QString motif_;
    int retourslecteur_ = 0; // nested returns to the drive of the loading
    bool occupe_ = false;
    bool ferme_ = false;
};
