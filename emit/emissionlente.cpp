#include "emit/emissionlente.h"

#include "app/couleurs.h"
#include "app/feuillelumivox1.h"
#include "app/station.h"
#include "emit/maintientlaser.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

void prepareemission(Station& s, QPushButton* boutonenvoi) {
    Feuillelumivox1& f = *s.feuille;
    s.Minuterie->setEnabled(false);
    f.Etiquette1->setText(QStringLiteral(" ENVOI DU MESSAGE EN COURS  PATIENTEZ SVP"));
    f.Texte1->setReadOnly(true);
    boutonenvoi->setEnabled(false);
    f.Btonefface->setEnabled(false);
    f.fixefond(f.Etiquette2, vertclair);
    f.fixefond(f.Texte2, vertclair);
    f.appliquetaillepolice();
}

QString texteTexte1(Station& s) {
    QString texte = s.feuille->Texte1->document()->toRawText();
    texte.replace(QChar::ParagraphSeparator, u'\n');
    texte.replace(QChar::LineSeparator, u'\n');
    return texte;
}

void termineemission(Station& s) {
    Plateforme& p = s.plateforme;
    s.liaison.eteintlaser();
    p.cede();
    s.feuille->Etiquette1->setText(QStringLiteral(" ENVOI DU MESSAGE TERMINE "));
    // The final pause has its own clock reading, off the schedule of the message.
    const double t = p.horloge();
    double reveil = t;
    do {
        p.cede(reveil);
        reveil = entretientlaser(s, false, t + 1);
    } while (p.horloge() < t + 1 && !s.liaisonperdue());
}

void retourreception(Station& s, QPushButton* boutonenvoi, const QString& legende) {
    Feuillelumivox1& f = *s.feuille;
    f.Etiquette1->setText(legende);
    f.Texte1->setReadOnly(false);
    boutonenvoi->setEnabled(true);
    f.Btonefface->setEnabled(true);
    f.fixefond(f.Etiquette2, jauneclair);
    f.fixefond(f.Texte2, jauneclair);
    f.Etiquette2->setText(QStringLiteral("Réception de message"));
    f.Texte2->clear();
    s.Minuterie->setEnabled(true);
    s.plateforme.cede();
}
