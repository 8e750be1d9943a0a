#include "app/fenetresignal.h"

#include "app/feuillelumivox1.h"
#include "app/visionneuse.h"
#include "link/station.h"
#include "recording/curseurs.h"
#include "recording/raisonfichier.h"
#include "recording/resultatreception.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// Two readings further apart than this have a gap between them: the tick was off.
constexpr double ecartmaximum = 0.25;

const QColor couleurlumiere{255, 240, 170};
const QColor couleurobscurite{222, 226, 234};
const QColor couleurseuil{200, 0, 0};
const QColor couleurcurseurA{0, 130, 60};
const QColor couleurcurseurB{150, 40, 170};

// The trace within the picture: room on the left for the volts, below for the seconds.
QRect cadretrace(const QRect& zone) {
    return zone.adjusted(46, 8, -8, -22);
}

QString volts(double v, int decimales = 2) {
    return QLocale(QLocale::French).toString(v, 'f', decimales) + QStringLiteral(" V");
}

} // namespace

FenetreSignal::FenetreSignal(Station& station, QWidget* parent)
    : QWidget(parent), station_(station) {
    setWindowTitle(QStringLiteral("Signal lumineux"));
    valeur_ = new QLabel(this);
    QFont grande = valeur_->font();
    grande.setPointSize(28);
    grande.setBold(true);
    valeur_->setFont(grande);
    etat_ = new QLabel(this);
    choixduree_ = new QComboBox(this);
    choixduree_->addItems({QStringLiteral("5 s"), QStringLiteral("10 s"), QStringLiteral("30 s")});
    choixduree_->setCurrentIndex(1);
    trace_ = new QWidget(this);
    trace_->setMinimumSize(640, 260);
    trace_->installEventFilter(this);
    // The arrow keys move a cursor: the trace takes the focus when clicked.
    trace_->setFocusPolicy(Qt::StrongFocus);
    fige_ = new QCheckBox(QStringLiteral("Figer"), this);
    fige_->setToolTip(QStringLiteral("Arrête le défilement pour mesurer avec les curseurs ; les "
                                     "mesures continuent d'arriver."));
    auto* exporter = new QPushButton(QStringLiteral("Exporter en PNG..."), this);
    curseurs_ = new QLabel(this);
    curseurs_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    curseurs_->setWordWrap(true);
    titreenregistrement_ =
        new QLabel(QStringLiteral("Dernier enregistrement téléchargé (réception rapide)"), this);
    enregistrement_ = new VueTraceWidget(this);
    enregistrement_->setMinimumHeight(220);
    titreenregistrement_->hide();
    enregistrement_->hide();

    auto* haut = new QHBoxLayout;
    haut->addWidget(valeur_);
    haut->addWidget(etat_, 1);
    haut->addWidget(new QLabel(QStringLiteral("Durée affichée :"), this));
    haut->addWidget(choixduree_);
    haut->addWidget(fige_);
    haut->addWidget(exporter);
    auto* disposition = new QVBoxLayout(this);
    disposition->addLayout(haut);
    disposition->addWidget(trace_, 1);
    disposition->addWidget(curseurs_);
    disposition->addWidget(titreenregistrement_);
    disposition->addWidget(enregistrement_, 1);
    resize(900, 420);

    connect(choixduree_, &QComboBox::currentIndexChanged, this, [this](int i) {
        fixeduree(i == 0 ? 5 : i == 1 ? 10 : 30);
    });
    connect(fige_, &QCheckBox::toggled, this, &FenetreSignal::fige);
    connect(exporter, &QPushButton::clicked, this, &FenetreSignal::exporte);
    metajourcurseurs();
    // The form passes on what the tick reads and what each reception leaves; the window
    // asks the interface nothing and decodes nothing.
    if (auto* feuille = qobject_cast<Feuillelumivox1*>(parent)) {
        connect(feuille, &Feuillelumivox1::mesurerecue, this, &FenetreSignal::ajoute);
        connect(feuille, &Feuillelumivox1::receptionrapide, this,
                &FenetreSignal::afficheenregistrement);
        if (feuille->dernierresultat())
            afficheenregistrement(feuille->dernierresultat());
    }
}

double FenetreSignal::seuil() const {
    // The form knows its station's threshold; the station may run on another thread.
    if (const auto* feuille = qobject_cast<const Feuillelumivox1*>(parentWidget()))
        return feuille->etatposte().tensionseuil;
    return station_.etat.tensionseuil;
}

void FenetreSignal::fixeduree(double secondes) {
    duree_ = secondes;
    const QSignalBlocker silence(choixduree_);
    choixduree_->setCurrentIndex(secondes <= 5 ? 0 : secondes <= 10 ? 1 : 2);
    trace_->update();
}

void FenetreSignal::ajoute(double instant, double v) {
    const bool auxcurseurs = curseura_ >= 0 || curseurb_ >= 0;
    mesures_.ajoute(instant, v);
    // A reading a cursor stood on may just have left the ring.
    if (auxcurseurs && mesures_.taille() == mesures_.capacite())
        metajourcurseurs();
    if (!isVisible())
        return;
    const double seuil = this->seuil();
    valeur_->setText(volts(v));
    etat_->setText(QStringLiteral("%1   (seuil %2)")
                       .arg(v > seuil ? QStringLiteral("lumière") : QStringLiteral("obscurité"),
                            volts(seuil)));
    trace_->update();
}

void FenetreSignal::afficheenregistrement(std::shared_ptr<const ResultatReception> resultat) {
    if (!resultat)
        return;
    const bool morse = resultat->morse;
    enregistrement_->fixetrace(resultat->trace);
    titreenregistrement_->setText(
        (resultat->chemin.isEmpty()
             ? QStringLiteral("Dernier enregistrement téléchargé (%1) : « %2 »")
             : QStringLiteral("Dernier enregistrement décodé (%1, %3) : « %2 »"))
            .arg(morse ? QStringLiteral("morse rapide") : QStringLiteral("binaire rapide"),
                 resultat->messagerecu.trimmed(), resultat->chemin));
    titreenregistrement_->show();
    enregistrement_->show();
}

bool FenetreSignal::eventFilter(QObject* objet, QEvent* evenement) {
    if (objet == trace_ && evenement->type() == QEvent::Paint) {
        QPainter p(trace_);
        dessine(p, trace_->rect());
        return true;
    }
    if (objet == trace_ && evenement->type() == QEvent::MouseButtonRelease) {
        const auto* souris = static_cast<QMouseEvent*>(evenement);
        if (souris->button() == Qt::LeftButton)
            clique(int(souris->position().x()));
        return true;
    }
    if (objet == trace_ && evenement->type() == QEvent::KeyPress) {
        const int touche = static_cast<QKeyEvent*>(evenement)->key();
        if (touche == Qt::Key_Left || touche == Qt::Key_Right) {
            deplacecurseur(touche == Qt::Key_Left ? -1 : 1);
            return true;
        }
        if (touche == Qt::Key_Escape) {
            effacecurseurs();
            return true;
        }
    }
    return QWidget::eventFilter(objet, evenement);
}

double FenetreSignal::maintenantaffiche() {
    return instantfige_ >= 0 ? instantfige_ : station_.plateforme.horloge();
}

void FenetreSignal::fige(bool fige) {
    instantfige_ = !fige                   ? -1
                   : mesures_.taille() > 0 ? mesures_.derniere().instant
                                           : station_.plateforme.horloge();
    {
        const QSignalBlocker silence(fige_);
        fige_->setChecked(fige);
    }
    trace_->update();
}

std::optional<std::size_t> FenetreSignal::indicede(double instant) const {
    if (instant < 0)
        return std::nullopt;
    std::size_t bas = 0;
    std::size_t haut = mesures_.taille();
    while (bas < haut) {
        const std::size_t milieu = (bas + haut) / 2;
        if (mesures_[milieu].instant < instant)
            bas = milieu + 1;
        else
            haut = milieu;
    }
    if (bas < mesures_.taille() && mesures_[bas].instant == instant)
        return bas;
    return std::nullopt;
}

void FenetreSignal::clique(int x) {
    if (mesures_.taille() == 0)
        return;
    const QRect cadre = cadretrace(trace_->rect());
    const double debut = maintenantaffiche() - duree_;
    const double t = debut + double(x - cadre.left()) * duree_ / std::max(1, cadre.width());
    // The reading nearest to that instant.
    std::size_t bas = 0;
    std::size_t haut = mesures_.taille();
    while (bas < haut) {
        const std::size_t milieu = (bas + haut) / 2;
        if (mesures_[milieu].instant < t)
            bas = milieu + 1;
        else
            haut = milieu;
    }
    std::size_t k = std::min(bas, mesures_.taille() - 1);
    if (k > 0 && t - mesures_[k - 1].instant < mesures_[k].instant - t)
        --k;
    const double instant = mesures_[k].instant;
    if (curseura_ < 0 || !indicede(curseura_))
        curseurbactif_ = false;
    else if (curseurb_ < 0 || !indicede(curseurb_))
        curseurbactif_ = true;
    else
        curseurbactif_ = std::abs(instant - curseurb_) < std::abs(instant - curseura_);
    (curseurbactif_ ? curseurb_ : curseura_) = instant;
    metajourcurseurs();
}

void FenetreSignal::deplacecurseur(int pas) {
    double& curseur = curseurbactif_ ? curseurb_ : curseura_;
    const std::optional<std::size_t> k = indicede(curseur);
    if (!k)
        return;
    curseur = mesures_[std::size_t(::deplacecurseur(int(*k), pas, int(mesures_.taille())))].instant;
    metajourcurseurs();
}

void FenetreSignal::effacecurseurs() {
    curseura_ = curseurb_ = -1;
    curseurbactif_ = false;
    metajourcurseurs();
}

QString FenetreSignal::mesurecurseurs() const {
    const std::optional<std::size_t> a = indicede(curseura_);
    const std::optional<std::size_t> b = indicede(curseurb_);
    if (!a || !b)
        return {};
    const auto point = [this](std::size_t k) {
        return PointCurseur{int(k), mesures_[k].instant, mesures_[k].volts};
    };
    return textecurseurs(::mesurecurseurs(point(*a), point(*b)));
}

void FenetreSignal::metajourcurseurs() {
    const QString mesure = mesurecurseurs();
    curseurs_->setText(mesure.isEmpty()
                           ? QStringLiteral("Curseurs : cliquer sur la courbe pour poser A, puis "
                                            "B ; flèches : déplacer d'une mesure ; Échap : "
                                            "effacer.")
                           : QStringLiteral("Curseurs : ") + mesure);
    trace_->update();
}

QImage FenetreSignal::image() {
    QImage image(trace_->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    dessine(p, image.rect());
    return image;
}

void FenetreSignal::exporte() {
    const QString chemin = QFileDialog::getSaveFileName(
        this, QStringLiteral("Exporter en PNG"),
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(QStringLiteral("signal-lumineux.png")),
        QStringLiteral("Images PNG (*.png)"));
    if (chemin.isEmpty())
        return;
    QImageWriter ecrivain(chemin, "png");
    if (!ecrivain.write(image()))
        QMessageBox::warning(this, QStringLiteral("Exporter en PNG"),
                             QStringLiteral("Impossible d'écrire l'image « %1 » : %2")
                                 .arg(cheminaffiche(chemin), ecrivain.errorString()));
}

void FenetreSignal::dessine(QPainter& p, const QRect& zone) {
    const QRect cadre = cadretrace(zone);
    p.fillRect(zone, Qt::white);
    const double maintenant = maintenantaffiche();
    const double debut = maintenant - duree_;
    const auto x = [&](double t) { return cadre.left() + (t - debut) * cadre.width() / duree_; };
    const auto y = [&](double v) {
        return cadre.bottom() - std::clamp(v, 0.0, 5.0) * cadre.height() / 5;
    };
    const double seuil = this->seuil();

    // The first reading shown, found by halves: the ring is in order of time.
    std::size_t bas = 0;
    std::size_t haut = mesures_.taille();
    while (bas < haut) {
        const std::size_t milieu = (bas + haut) / 2;
        if (mesures_[milieu].instant < debut - ecartmaximum)
            bas = milieu + 1;
        else
            haut = milieu;
    }
    // Light and darkness behind the readings, one rectangle per stretch of either; a gap
    // (the tick off) stays hatched.
    p.fillRect(cadre, QColor(248, 248, 248));
    const auto bande = [&](double de, double a, bool lumiere) {
        const int g = std::max(cadre.left(), int(std::floor(x(de))));
        const int d = std::min(cadre.right(), int(std::ceil(x(a))));
        if (d > g)
            p.fillRect(QRect(g, cadre.top(), d - g, cadre.height()),
                       lumiere ? couleurlumiere : couleurobscurite);
    };
    QPolygonF ligne;
    const auto traceligne = [&] {
        if (ligne.size() > 1) {
            // Two thin lines a pixel apart: a wide pen is stroked as a shape, ten times
            // slower, and the window is drawn again at every tick.
            p.setPen(QPen(QColor(20, 20, 110), 0));
            p.drawPolyline(ligne);
            p.drawPolyline(ligne.translated(0, 1));
        }
        ligne.clear();
    };
    p.save();
    p.setClipRect(cadre);
    double debutbande = 0;
    bool etatbande = false;
    bool enbande = false;
    for (std::size_t k = bas; k < mesures_.taille(); ++k) {
        const auto& m = mesures_[k];
        const bool lumiere = m.volts > seuil;
        const bool suivie =
            k + 1 < mesures_.taille() && mesures_[k + 1].instant - m.instant <= ecartmaximum;
        const double fin =
            suivie ? mesures_[k + 1].instant : std::min(maintenant, m.instant + ecartmaximum / 2);
        if (!enbande || lumiere != etatbande) {
            if (enbande)
                bande(debutbande, m.instant, etatbande);
            debutbande = m.instant;
            etatbande = lumiere;
            enbande = true;
        }
        ligne << QPointF(x(m.instant), y(m.volts));
        if (!suivie) {
            bande(debutbande, fin, etatbande);
            enbande = false;
            traceligne();
        }
    }
    traceligne();
    p.setPen(QPen(couleurseuil, 1.5, Qt::DashLine));
    p.drawLine(QPointF(cadre.left(), y(seuil)), QPointF(cadre.right(), y(seuil)));
    p.drawText(QPointF(cadre.left() + 4, y(seuil) - 4), QStringLiteral("seuil ") + volts(seuil));
    // The cursors on their readings, their letter on top.
    const auto curseur = [&](double instant, const QColor& couleur, const QString& lettre) {
        if (!indicede(instant))
            return;
        const double xx = x(instant);
        p.setPen(QPen(couleur, 1.5));
        p.drawLine(QPointF(xx, cadre.top()), QPointF(xx, cadre.bottom()));
        p.drawText(QRectF(xx - 10, cadre.top() + 1, 20, 14), Qt::AlignCenter, lettre);
    };
    curseur(curseura_, couleurcurseurA, QStringLiteral("A"));
    curseur(curseurb_, couleurcurseurB, QStringLiteral("B"));
    const QString mesure = mesurecurseurs();
    if (!mesure.isEmpty()) {
        const QRectF place = QFontMetricsF(p.font()).boundingRect(mesure).adjusted(-4, -2, 4, 2);
        const QRectF boite(QPointF(cadre.left() + 4, cadre.top() + 16), place.size());
        p.fillRect(boite, QColor(255, 255, 255, 225));
        p.setPen(QColor(40, 40, 40));
        p.drawRect(boite);
        p.drawText(boite, Qt::AlignCenter, mesure);
    }
    p.restore();

    // The frame, the volts and the seconds.
    p.setPen(QColor(60, 60, 60));
    p.drawRect(cadre);
    for (int v = 0; v <= 5; ++v) {
        p.drawLine(QPointF(cadre.left() - 4, y(v)), QPointF(cadre.left(), y(v)));
        p.drawText(QRectF(0, y(v) - 8, 40, 16), Qt::AlignRight | Qt::AlignVCenter, volts(v, 0));
    }
    const int pas = duree_ <= 5 ? 1 : duree_ <= 10 ? 2 : 5;
    for (int s = 0; s <= int(duree_); s += pas) {
        const double xx = x(maintenant - s);
        p.drawLine(QPointF(xx, cadre.bottom()), QPointF(xx, cadre.bottom() + 4));
        if (s == 0)
            p.drawText(QRectF(xx - 90, cadre.bottom() + 4, 94, 16), Qt::AlignRight,
                       QStringLiteral("maintenant"));
        else
            p.drawText(QRectF(xx - 30, cadre.bottom() + 4, 60, 16), Qt::AlignCenter,
                       QStringLiteral("−%1 s").arg(s));
    }
}
