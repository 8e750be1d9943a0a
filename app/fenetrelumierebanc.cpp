#include "app/fenetrelumierebanc.h"

#include "app/feuillelumivox1.h"
#include "link/ports.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace {

QString texteetat(const QString& photodiode) {
    if (photodiode == u"eclairee")
        return QStringLiteral("Photodiode éclairée à la main, quoi que fasse le laser");
    if (photodiode == u"sombre")
        return QStringLiteral("Photodiode dans le noir, quoi que fasse le laser");
    return QStringLiteral("Photodiode sous le laser de l'autre poste");
}

} // namespace

const QList<FenetreLumiereBanc::Reglage>& FenetreLumiereBanc::reglages() {
    static const QList<Reglage> liste = {
        {"salle", QStringLiteral("Lumière de la salle"), 0, 2, 0.05},
        {"bruit", QStringLiteral("Bruit (écart type)"), 0, 0.2, 0.01},
        {"scintillement", QStringLiteral("Scintillement des lampes (100 Hz)"), 0, 0.3, 0.01},
        {"laser", QStringLiteral("Laser sur la photodiode (distance)"), 0.5, 5, 0.05},
    };
    return liste;
}

FenetreLumiereBanc::FenetreLumiereBanc(const QString& dossier, QWidget* parent)
    : QWidget(parent), dossier_(dossier) {
    setWindowTitle(QStringLiteral("Lumière du banc"));
    erreur_ = new QLabel(this);
    erreur_->setWordWrap(true);
    erreur_->setStyleSheet(QStringLiteral("color: #a00000;"));
    erreur_->hide();
    QList<LumierePhotodiode> lumieres = litlumierebanc(dossier_);
    // A simulator that has not written its light yet: its ports, at their usual light.
    if (lumieres.isEmpty())
        for (const int n : portsdudossier(dossier_))
            lumieres << LumierePhotodiode{.poste = n};
    construit(lumieres);
    relecture_ = new QTimer(this);
    relecture_->setInterval(1000);
    connect(relecture_, &QTimer::timeout, this, &FenetreLumiereBanc::relit);
    relecture_->start();
}

void FenetreLumiereBanc::construit(const QList<LumierePhotodiode>& lumieres) {
    auto* disposition = new QVBoxLayout(this);
    auto* explication = new QLabel(
        QStringLiteral("Tensions sur l'entrée EA0 de chaque poste, appliquées tout de suite par "
                       "le simulateur. La lumière de la salle est ce que lit la photodiode dans "
                       "le noir ; celle du laser s'y ajoute, plus faible quand il est plus loin."),
        this);
    explication->setWordWrap(true);
    disposition->addWidget(explication);
    for (const LumierePhotodiode& l : lumieres) {
        Photodiode p;
        p.poste = l.poste;
        auto* groupe =
            new QGroupBox(QStringLiteral("Photodiode du poste %1 (COM%1)").arg(l.poste), this);
        auto* grille = new QGridLayout(groupe);
        for (int i = 0; i < reglages().size(); ++i) {
            const Reglage& r = reglages()[i];
            auto* champ = new QDoubleSpinBox(groupe);
            champ->setRange(r.minimum, r.maximum);
            champ->setSingleStep(r.pas);
            champ->setDecimals(2);
            champ->setSuffix(QStringLiteral(" V"));
            // A value typed is given once, when it is whole.
            champ->setKeyboardTracking(false);
            auto* glissiere = new QSlider(Qt::Horizontal, groupe);
            glissiere->setRange(0, int(std::lround((r.maximum - r.minimum) / r.pas)));
            glissiere->setMinimumWidth(200);
            grille->addWidget(new QLabel(r.legende, groupe), i, 0);
            grille->addWidget(glissiere, i, 1);
            grille->addWidget(champ, i, 2);
            connect(glissiere, &QSlider::valueChanged, champ,
                    [champ, r](int v) { champ->setValue(r.minimum + v * r.pas); });
            connect(champ, &QDoubleSpinBox::valueChanged, this,
                    [this, glissiere, r, poste = l.poste](double v) {
                        const QSignalBlocker silence(glissiere);
                        glissiere->setValue(int(std::lround((v - r.minimum) / r.pas)));
                        commande(QStringLiteral("%1 %2 %3")
                                     .arg(QString::fromLatin1(r.commande))
                                     .arg(poste)
                                     .arg(v, 0, 'f', 3));
                    });
            p.champs << champ;
            p.glissieres << glissiere;
        }
        auto* boutons = new QHBoxLayout;
        const QList<std::pair<QString, const char*>> choix = {
            {QStringLiteral("Éclairer la photodiode"), "eclaire"},
            {QStringLiteral("Sous le laser"), "normale"},
            {QStringLiteral("Dans le noir"), "sombre"}};
        for (int c = 0; c < choix.size(); ++c) {
            auto* bouton = new QPushButton(choix[c].first, groupe);
            connect(bouton, &QPushButton::clicked, this,
                    [this, poste = l.poste, c] { photodiode(poste, c); });
            boutons->addWidget(bouton);
        }
        boutons->addStretch();
        grille->addLayout(boutons, int(reglages().size()), 0, 1, 3);
        p.etat = new QLabel(groupe);
        grille->addWidget(p.etat, int(reglages().size()) + 1, 0, 1, 3);
        disposition->addWidget(groupe);
        photodiodes_ << p;
        montre(p, l);
    }
    auto* fermer = new QPushButton(QStringLiteral("Fermer"), this);
    connect(fermer, &QPushButton::clicked, this, &QWidget::close);
    disposition->addWidget(erreur_);
    disposition->addWidget(fermer, 0, Qt::AlignRight);
}

void FenetreLumiereBanc::montre(const Photodiode& p, const LumierePhotodiode& l) {
    const double valeurs[] = {l.salle, l.bruit, l.scintillement, l.laser};
    for (int i = 0; i < p.champs.size(); ++i) {
        QDoubleSpinBox* champ = p.champs[i];
        // What the user is changing right now is left alone.
        if (champ->hasFocus() || p.glissieres[i]->isSliderDown())
            continue;
        const QSignalBlocker silence(champ);
        champ->setValue(valeurs[i]);
        const Reglage& r = reglages()[i];
        const QSignalBlocker silenceglissiere(p.glissieres[i]);
        p.glissieres[i]->setValue(int(std::lround((champ->value() - r.minimum) / r.pas)));
    }
    p.etat->setText(texteetat(l.photodiode));
}

QDoubleSpinBox* FenetreLumiereBanc::champ(int poste, int reglage) const {
    for (const Photodiode& p : photodiodes_)
        if (p.poste == poste && reglage >= 0 && reglage < p.champs.size())
            return p.champs[reglage];
    return nullptr;
}

void FenetreLumiereBanc::photodiode(int poste, int choix) {
    static const char* const commandes[] = {"eclaire", "normale", "sombre"};
    if (choix < 0 || choix > 2)
        return;
    commande(QStringLiteral("%1 %2").arg(QString::fromLatin1(commandes[choix])).arg(poste));
    // The state the simulator writes back is shown at once rather than at the next second.
    QTimer::singleShot(200, this, &FenetreLumiereBanc::relit);
}

void FenetreLumiereBanc::commande(const QString& ligne) {
    QString raison;
    if (commandebanc(dossier_, ligne, &raison)) {
        erreur_->hide();
        erreur_->clear();
        return;
    }
    erreur_->setText(QStringLiteral("« %1 » n'a pas été appliqué : %2.").arg(ligne, raison));
    erreur_->show();
}

QString FenetreLumiereBanc::erreur() const {
    return erreur_->text();
}

void FenetreLumiereBanc::relit() {
    const QList<LumierePhotodiode> lumieres = litlumierebanc(dossier_);
    for (const LumierePhotodiode& l : lumieres)
        for (const Photodiode& p : photodiodes_)
            if (p.poste == l.poste)
                montre(p, l);
}

// The menu "Options" of a station of a simulated bench: the window of the bench's light,
// one for the form, brought forward when already open.
void Feuillelumivox1::menu_lumierebanc_Click() {
    const QString dossier = dossierbanc();
    if (dossier.isEmpty())
        return;
    if (!fenetrelumierebanc_) {
        fenetrelumierebanc_ = new FenetreLumiereBanc(dossier, this);
        fenetrelumierebanc_->setWindowFlag(Qt::Window);
    }
    fenetrelumierebanc_->show();
    fenetrelumierebanc_->raise();
    fenetrelumierebanc_->activateWindow();
}
