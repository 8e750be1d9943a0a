#include "app/visionneuse.h"

#include "recording/decodagebinairerapide.h"
#include "recording/decodagemorserapide.h"
#include "recording/raisonfichier.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// Below this many samples a run is noise, not a flash of either coding (a bit at x 4 lasts
// 13 samples, a dot 10).
constexpr int echantillonsminimum = 4;

// Three flashes of one length: the longest less than twice the shortest.
bool troiseclairsdunbit(const DecodageBinaireRapide& d) {
    std::vector<int> eclairs;
    for (const RunMesure& run : d.preambule)
        if (run.allume)
            eclairs.push_back(run.longueur);
    if (eclairs.size() != 3)
        return false;
    const auto [court, long_] = std::minmax_element(eclairs.begin(), eclairs.end());
    return *court >= echantillonsminimum && *long_ < 2 * *court;
}

// Dash dot dash dot: the two dashes at least twice as long as the longer dot.
bool lettrec(const DecodageMorseRapide& d) {
    if (d.preambule.size() != 4)
        return false;
    const int points = std::max(d.preambule[1].longueur, d.preambule[3].longueur);
    const int traits = std::min(d.preambule[0].longueur, d.preambule[2].longueur);
    return std::min(d.preambule[1].longueur, d.preambule[3].longueur) >= echantillonsminimum &&
           traits >= 2 * points;
}

} // namespace

std::optional<bool> codagedelenregistrement(const MesuresFichier& mesures, Regles regles) {
    const SourceEchantillons source = depuisfichier(mesures.valeurs);
    // Binary first: the opening of a binary message, read as Morse, can look like a c when
    // its first character has a long run of ones (é: the start bit and three ones).
    if (troiseclairsdunbit(decodebinairerapide(source, regles)))
        return false;
    if (lettrec(decodemorserapide(source, regles)))
        return true;
    return std::nullopt;
}

void placesurecran(QWidget* fenetre, const QWidget* pres) {
    const QScreen* ecran = pres ? pres->screen() : fenetre->screen();
    if (!ecran)
        return;
    const QRect zone = ecran->availableGeometry();
    // The frame is the window manager's and is known only once shown: until then, room is
    // kept for a title bar and borders.
    QMargins cadre(8, 40, 8, 8);
    if (fenetre->isVisible()) {
        const QRect f = fenetre->frameGeometry();
        const QRect g = fenetre->geometry();
        cadre = QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                         f.bottom() - g.bottom());
    }
    const QSize place = zone.size().shrunkBy(cadre);
    fenetre->resize(fenetre->size().boundedTo(place));
    const QSize tout = fenetre->size().grownBy(cadre);
    QPoint coin = (pres ? pres->frameGeometry().center() : zone.center()) -
                  QPoint(tout.width() / 2, tout.height() / 2);
    coin.setX(
        std::clamp(coin.x(), zone.left(), std::max(zone.left(), zone.right() + 1 - tout.width())));
    coin.setY(
        std::clamp(coin.y(), zone.top(), std::max(zone.top(), zone.bottom() + 1 - tout.height())));
    fenetre->move(coin);
}

VueTraceWidget::VueTraceWidget(QWidget* parent) : QWidget(parent) {
    setMinimumSize(600, 300);
    setMouseTracking(false);
    setCursor(Qt::OpenHandCursor);
    // The arrow keys move a cursor: the picture takes the focus when clicked.
    setFocusPolicy(Qt::StrongFocus);
}

void VueTraceWidget::fixetrace(TraceEnregistrement trace) {
    trace_ = std::move(trace);
    const double periode = vue_.periode;
    const bool entemps = vue_.entemps;
    // The cursors stood on the samples of another trace: they go.
    vue_ = VueTrace::toute(trace_, periode);
    vue_.entemps = entemps;
    update();
    emit vuechangee();
}

void VueTraceWidget::fixevue(const VueTrace& vue) {
    vue_ = vue;
    borne();
    update();
    emit vuechangee();
}

void VueTraceWidget::toutvoir() {
    VueTrace v = VueTrace::toute(trace_, vue_.periode);
    v.entemps = vue_.entemps;
    v.curseura = vue_.curseura;
    v.curseurb = vue_.curseurb;
    fixevue(v);
}

void VueTraceWidget::clique(int x) {
    const int n = int(trace_.valeurs.size());
    if (n == 0)
        return;
    const double sous = echantillonsous(zoneechantillons(rect()), vue_, x);
    // Kept on the samples before rounding: a picture squeezed to nothing gives no number.
    const int indice =
        std::isfinite(sous) ? int(std::lround(std::clamp(sous, 0.0, double(n - 1)))) : 0;
    VueTrace v = vue_;
    if (v.curseura < 0) {
        curseurbactif_ = false;
    } else if (v.curseurb < 0) {
        curseurbactif_ = true;
    } else {
        // Both laid: the nearer moves.
        curseurbactif_ = std::abs(indice - v.curseurb) < std::abs(indice - v.curseura);
    }
    (curseurbactif_ ? v.curseurb : v.curseura) = indice;
    fixevue(v);
}

void VueTraceWidget::deplacecurseur(int pas) {
    VueTrace v = vue_;
    int& curseur = curseurbactif_ ? v.curseurb : v.curseura;
    if (curseur < 0)
        return;
    curseur = ::deplacecurseur(curseur, pas, int(trace_.valeurs.size()));
    // The cursor moved out of sight brings the view along.
    const double largeur = v.dernier - v.premier;
    if (curseur < v.premier) {
        v.premier = curseur;
        v.dernier = curseur + largeur;
    } else if (curseur > v.dernier) {
        v.dernier = curseur;
        v.premier = curseur - largeur;
    }
    fixevue(v);
}

void VueTraceWidget::effacecurseurs() {
    VueTrace v = vue_;
    v.curseura = v.curseurb = -1;
    curseurbactif_ = false;
    fixevue(v);
}

QString VueTraceWidget::mesurecurseurs() const {
    if (vue_.curseura < 0 || vue_.curseurb < 0)
        return {};
    return textecurseurs(::mesurecurseurs(pointcurseur(trace_, vue_.curseura, vue_.periode),
                                          pointcurseur(trace_, vue_.curseurb, vue_.periode)));
}

void VueTraceWidget::zoome(double facteur, int x) {
    const double centre = echantillonsous(rect(), vue_, x);
    VueTrace v = vue_;
    v.premier = centre - (centre - vue_.premier) / facteur;
    v.dernier = centre + (vue_.dernier - centre) / facteur;
    fixevue(v);
}

// Never closer than 20 samples across, never beyond the recording.
void VueTraceWidget::borne() {
    const double n = std::max<double>(20, double(trace_.valeurs.size()) - 1);
    double largeur = std::clamp(vue_.dernier - vue_.premier, 20.0, n);
    vue_.premier = std::clamp(vue_.premier, 0.0, n - largeur);
    vue_.dernier = vue_.premier + largeur;
}

void VueTraceWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    dessinetrace(p, rect(), trace_, vue_);
}

void VueTraceWidget::wheelEvent(QWheelEvent* evenement) {
    const double crans = evenement->angleDelta().y() / 120.0;
    if (crans != 0)
        zoome(std::pow(1.25, crans), int(evenement->position().x()));
    evenement->accept();
}

void VueTraceWidget::mousePressEvent(QMouseEvent* evenement) {
    if (evenement->button() == Qt::LeftButton) {
        xsaisi_ = int(evenement->position().x());
        glisse_ = false;
        vuesaisie_ = vue_;
        setCursor(Qt::ClosedHandCursor);
    }
}

void VueTraceWidget::mouseReleaseEvent(QMouseEvent* evenement) {
    if (evenement->button() != Qt::LeftButton)
        return;
    setCursor(Qt::OpenHandCursor);
    if (xsaisi_ >= 0 && !glisse_)
        clique(int(evenement->position().x()));
    xsaisi_ = -1;
}

void VueTraceWidget::keyPressEvent(QKeyEvent* evenement) {
    switch (evenement->key()) {
    case Qt::Key_Left:
        deplacecurseur(-1);
        break;
    case Qt::Key_Right:
        deplacecurseur(1);
        break;
    case Qt::Key_Escape:
        effacecurseurs();
        break;
    default:
        QWidget::keyPressEvent(evenement);
        return;
    }
    evenement->accept();
}

void VueTraceWidget::mouseMoveEvent(QMouseEvent* evenement) {
    if (xsaisi_ < 0 || !(evenement->buttons() & Qt::LeftButton))
        return;
    // A hand that shakes a little while clicking lays a cursor; beyond, it drags.
    if (!glisse_ &&
        std::abs(evenement->position().x() - xsaisi_) < QApplication::startDragDistance())
        return;
    glisse_ = true;
    const double parpixel = (vuesaisie_.dernier - vuesaisie_.premier) / std::max(1, width());
    VueTrace v = vuesaisie_;
    const double decalage = (xsaisi_ - evenement->position().x()) * parpixel;
    v.premier += decalage;
    v.dernier += decalage;
    fixevue(v);
}

void VueTraceWidget::mouseDoubleClickEvent(QMouseEvent*) {
    toutvoir();
}

Visionneuse::Visionneuse(Regles regles, QWidget* parent) : QWidget(parent), regles_(regles) {
    setWindowTitle(QStringLiteral("Enregistrement *.rrr"));
    auto* ouvrir = new QPushButton(QStringLiteral("Ouvrir..."), this);
    codage_ = new QComboBox(this);
    codage_->addItems({QStringLiteral("morse rapide"), QStringLiteral("binaire rapide")});
    axe_ = new QComboBox(this);
    axe_->addItems({QStringLiteral("axe : mesures"), QStringLiteral("axe : temps")});
    periode_ = new QDoubleSpinBox(this);
    periode_->setRange(0.1, 100);
    periode_->setDecimals(2);
    periode_->setValue(1.3);
    periode_->setSuffix(QStringLiteral(" ms par mesure"));
    auto* tout = new QPushButton(QStringLiteral("Tout voir"), this);
    auto* exporter = new QPushButton(QStringLiteral("Exporter en PNG..."), this);
    resume_ = new QLabel(this);
    resume_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    curseurs_ = new QLabel(this);
    curseurs_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    vue_ = new VueTraceWidget(this);

    auto* outils = new QHBoxLayout;
    for (QWidget* w :
         std::initializer_list<QWidget*>{ouvrir, codage_, axe_, periode_, tout, exporter})
        outils->addWidget(w);
    outils->addStretch();
    auto* disposition = new QVBoxLayout(this);
    disposition->addLayout(outils);
    disposition->addWidget(vue_, 1);
    disposition->addWidget(resume_);
    disposition->addWidget(curseurs_);
    auto* aide = new QLabel(QStringLiteral("Molette : zoom autour du pointeur ; glisser : se "
                                           "déplacer ; double clic : tout l'enregistrement ; "
                                           "clic : curseur A, puis B ; flèches : déplacer le "
                                           "curseur d'une mesure ; Échap : effacer les curseurs."),
                            this);
    aide->setWordWrap(true);
    aide->setStyleSheet(QStringLiteral("color: gray"));
    disposition->addWidget(aide);
    resize(1200, 560);

    connect(ouvrir, &QPushButton::clicked, this, &Visionneuse::choisitfichier);
    connect(codage_, &QComboBox::currentIndexChanged, this, [this](int i) { fixecodage(i == 0); });
    const auto vue = [this] {
        VueTrace v = vue_->vue();
        v.entemps = axe_->currentIndex() == 1;
        v.periode = periode_->value() / 1000;
        vue_->fixevue(v);
    };
    connect(axe_, &QComboBox::currentIndexChanged, this, vue);
    connect(periode_, &QDoubleSpinBox::valueChanged, this, vue);
    connect(tout, &QPushButton::clicked, vue_, &VueTraceWidget::toutvoir);
    connect(exporter, &QPushButton::clicked, this, &Visionneuse::exporte);
    connect(vue_, &VueTraceWidget::vuechangee, this, [this] {
        const QString mesure = vue_->mesurecurseurs();
        curseurs_->setText(mesure.isEmpty() ? QStringLiteral("Curseurs : cliquer sur la courbe "
                                                             "pour poser A, puis B.")
                                            : QStringLiteral("Curseurs : ") + mesure);
    });
}

bool Visionneuse::ouvre(const QString& chemin, QString* erreur) {
    MesuresFichier mesures;
    if (!litmesuresfichier(chemin, mesures, erreur))
        return false;
    chemin_ = chemin;
    mesures_ = std::move(mesures);
    setWindowTitle(QStringLiteral("Enregistrement %1").arg(QFileInfo(chemin).fileName()));
    if (const std::optional<bool> morse = codagedelenregistrement(mesures_, regles_))
        fixecodage(*morse);
    else
        metajour();
    return true;
}

bool Visionneuse::codagemorse() const {
    return codage_->currentIndex() == 0;
}

void Visionneuse::fixecodage(bool morse) {
    {
        const QSignalBlocker silence(codage_);
        codage_->setCurrentIndex(morse ? 0 : 1);
    }
    metajour();
}

void Visionneuse::metajour() {
    const bool morse = codagemorse();
    vue_->fixetrace(traceenregistrement(mesures_, morse, regles_));
    const TraceEnregistrement& t = vue_->trace();
    QString resume =
        QStringLiteral("%1 mesures ; seuil initial %2, seuil %3 ; texte décodé : « %4 »")
            .arg(t.valeurs.size())
            .arg(t.seuilinitial)
            .arg(t.seuil)
            .arg(t.messagerecu.trimmed());
    if (t.coupe == Coupure::oui)
        resume += QStringLiteral(" — le message a duré plus longtemps que l'enregistrement");
    else if (t.coupe == Coupure::peutetre)
        resume +=
            QStringLiteral(" — le message a peut-être duré plus longtemps que l'enregistrement");
    resume_->setText(resume);
}

void Visionneuse::choisitfichier() {
    const QString dossier =
        chemin_.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                          : QFileInfo(chemin_).absolutePath();
    const QString chemin = QFileDialog::getOpenFileName(
        this, QStringLiteral("Afficher un enregistrement *.rrr"), dossier,
        QStringLiteral("Enregistrements (*.rrr *.RRR);;Tous les fichiers (*)"));
    if (chemin.isEmpty())
        return;
    QString erreur;
    if (!ouvre(chemin, &erreur))
        QMessageBox::warning(this, QStringLiteral("Afficher un enregistrement"), erreur);
}

void Visionneuse::exporte() {
    const QString propose = chemin_.isEmpty()
                                ? QStringLiteral("enregistrement.png")
                                : QFileInfo(chemin_).completeBaseName() + QStringLiteral(".png");
    const QString chemin = QFileDialog::getSaveFileName(
        this, QStringLiteral("Exporter en PNG"), QFileInfo(chemin_).absoluteDir().filePath(propose),
        QStringLiteral("Images PNG (*.png)"));
    if (chemin.isEmpty())
        return;
    QImageWriter ecrivain(chemin, "png");
    if (!ecrivain.write(imagetrace(vue_->trace(), vue_->size(), vue_->vue())))
        QMessageBox::warning(this, QStringLiteral("Exporter en PNG"),
                             QStringLiteral("Impossible d'écrire l'image « %1 » : %2")
                                 .arg(cheminaffiche(chemin), ecrivain.errorString()));
}
