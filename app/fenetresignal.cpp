#include "app/fenetresignal.h"

#include "app/feuillelumivox1.h"
#include "app/visionneuse.h"
#include "link/station.h"
#include "recording/resultatreception.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPolygonF>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// Two readings further apart than this have a gap between them: the tick was off.
constexpr double ecartmaximum = 0.25;

const QColor couleurlumiere{255, 240, 170};
const QColor couleurobscurite{222, 226, 234};
const QColor couleurseuil{200, 0, 0};

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
    auto* disposition = new QVBoxLayout(this);
    disposition->addLayout(haut);
    disposition->addWidget(trace_, 1);
    disposition->addWidget(titreenregistrement_);
    disposition->addWidget(enregistrement_, 1);
    resize(900, 420);

    connect(choixduree_, &QComboBox::currentIndexChanged, this, [this](int i) {
        fixeduree(i == 0 ? 5 : i == 1 ? 10 : 30);
    });
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
    mesures_.ajoute(instant, v);
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
        dessine(trace_);
        return true;
    }
    return QWidget::eventFilter(objet, evenement);
}

void FenetreSignal::dessine(QWidget* zone) {
    QPainter p(zone);
    const QRect cadre = zone->rect().adjusted(46, 8, -8, -22);
    p.fillRect(zone->rect(), Qt::white);
    const double maintenant = station_.plateforme.horloge();
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
