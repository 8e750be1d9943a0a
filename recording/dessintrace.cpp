#include "recording/dessintrace.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

// Bands of the picture, from the top: the characters, the runs' names, the samples, the
// axis.
constexpr int hauteurcaracteres = 34;
constexpr int hauteurplages = 18;
constexpr int hauteuraxe = 22;

const QColor couleurtrace{20, 20, 110};
const QColor couleurseuil{200, 0, 0};
const QColor couleurseuilinitial{120, 120, 120};
const QColor couleurpreambule{190, 215, 255};
const QColor couleurallume{255, 246, 190};
const QColor couleurrien{230, 90, 60};
const QColor couleurcurseura{0, 130, 60};
const QColor couleurcurseurb{150, 40, 170};

QString nombre(double v, int decimales) {
    return QLocale(QLocale::French).toString(v, 'f', decimales);
}

// A step of the axis close to a tenth of the span: 1, 2 or 5 times a power of ten.
double pas(double etendue) {
    const double brut = etendue / 10;
    const double puissance = std::pow(10.0, std::floor(std::log10(brut)));
    for (const double m : {1.0, 2.0, 5.0})
        if (m * puissance >= brut)
            return m * puissance;
    return 10 * puissance;
}

} // namespace

VueTrace VueTrace::toute(const TraceEnregistrement& t, double periode) {
    VueTrace v;
    v.premier = 0;
    v.dernier = std::max<double>(1, double(t.valeurs.size()) - 1);
    v.periode = periode;
    return v;
}

double abscisse(const QRect& zone, const VueTrace& v, double echantillon) {
    return zone.left() + (echantillon - v.premier) * zone.width() / (v.dernier - v.premier);
}

QRect zoneechantillons(const QRect& cadre) {
    const int haut = cadre.top() + hauteurcaracteres + hauteurplages + 3;
    return QRect(cadre.left() + 44, haut, cadre.width() - 52,
                 cadre.height() - hauteurcaracteres - hauteurplages - hauteuraxe - 8);
}

PointCurseur pointcurseur(const TraceEnregistrement& t, int indice, double periode) {
    PointCurseur c;
    c.indice = indice;
    c.instant = indice * periode;
    if (indice >= 0 && indice < int(t.valeurs.size()))
        c.volts = t.valeurs[size_t(indice)] * 5.0 / 255;
    return c;
}

double echantillonsous(const QRect& zone, const VueTrace& v, int x) {
    return v.premier + double(x - zone.left()) * (v.dernier - v.premier) / zone.width();
}

void dessinetrace(QPainter& p, const QRect& cadre, const TraceEnregistrement& t,
                  const VueTrace& v) {
    p.save();
    p.fillRect(cadre, Qt::white);
    const QRect bandecaracteres(cadre.left(), cadre.top(), cadre.width(), hauteurcaracteres);
    const QRect bandeplages(cadre.left(), bandecaracteres.bottom() + 1, cadre.width(),
                            hauteurplages);
    const QRect trace = zoneechantillons(cadre);
    if (trace.width() < 10 || trace.height() < 10 || v.dernier <= v.premier) {
        p.restore();
        return;
    }
    const QRect colonne(trace.left(), cadre.top(), trace.width(), cadre.height());
    const auto x = [&](double e) { return abscisse(trace, v, e); };
    int haut = 255;
    for (int valeur : t.valeurs)
        haut = std::max(haut, valeur);
    const auto y = [&](double valeur) {
        return trace.bottom() - valeur * trace.height() / double(haut);
    };
    const auto visible = [&](int debut, int fin) { return fin >= v.premier && debut <= v.dernier; };

    p.setClipRect(colonne);
    // The preamble's runs, and the lit runs of the message, shaded behind the samples.
    for (const auto& r : t.preambule)
        if (visible(r.debut, r.fin))
            p.fillRect(QRectF(QPointF(x(r.debut), trace.top()), QPointF(x(r.fin), trace.bottom())),
                       couleurpreambule);
    for (const auto& r : t.plages)
        if (r.allume && visible(r.debut, r.fin))
            p.fillRect(QRectF(QPointF(x(r.debut), trace.top()), QPointF(x(r.fin), trace.bottom())),
                       couleurallume);

    // The samples: for each column of pixels, the smallest and largest of its samples.
    p.setPen(QPen(couleurtrace, 1));
    const int n = int(t.valeurs.size());
    QPainterPath chemin;
    bool commence = false;
    for (int px = trace.left(); px <= trace.right(); ++px) {
        const int debut = std::max(0, int(std::floor(echantillonsous(trace, v, px))));
        const int fin = std::min(n - 1, int(std::floor(echantillonsous(trace, v, px + 1))));
        if (debut > n - 1 || fin < 0 || fin < debut)
            continue;
        const auto [mini, maxi] =
            std::minmax_element(t.valeurs.begin() + debut, t.valeurs.begin() + fin + 1);
        if (!commence) {
            chemin.moveTo(px, y(t.valeurs[size_t(debut)]));
            commence = true;
        }
        chemin.lineTo(px, y(*mini));
        chemin.lineTo(px, y(*maxi));
    }
    p.drawPath(chemin);

    // The thresholds.
    p.setPen(QPen(couleurseuilinitial, 1, Qt::DashLine));
    p.drawLine(QPointF(trace.left(), y(t.seuilinitial)), QPointF(trace.right(), y(t.seuilinitial)));
    p.setPen(QPen(couleurseuil, 1.5, Qt::DashLine));
    p.drawLine(QPointF(trace.left(), y(t.seuil)), QPointF(trace.right(), y(t.seuil)));

    // Each run of the message named above the samples where there is room, a mark of its
    // colour otherwise.
    QFont petite = p.font();
    petite.setPointSizeF(7.5);
    p.setFont(petite);
    const QFontMetrics mp(petite);
    for (const auto& r : t.plages) {
        if (!visible(r.debut, r.fin))
            continue;
        const QRectF place(QPointF(x(r.debut), bandeplages.top()),
                           QPointF(x(r.fin), bandeplages.bottom()));
        const bool neutre = r.texte == u"intervalle" || r.texte == u"arrêt";
        const QColor couleur = r.texte == u"rien" ? couleurrien
                               : neutre           ? QColor(150, 150, 150)
                               : r.allume         ? QColor(40, 120, 40)
                                                  : QColor(40, 80, 170);
        p.setPen(couleur);
        if (mp.horizontalAdvance(r.texte) + 4 < place.width())
            p.drawText(place, Qt::AlignCenter, r.texte);
        else if (!neutre)
            p.fillRect(
                QRectF(place.left(), place.bottom() - 3, std::max(1.0, place.width() - 1), 3),
                couleur);
    }

    // The characters, large, centred over their samples, a bracket below each.
    QFont grande = p.font();
    grande.setPointSizeF(15);
    grande.setBold(true);
    p.setFont(grande);
    for (const auto& c : t.caracteres) {
        if (!visible(c.debut, c.fin))
            continue;
        const double g = x(c.debut);
        const double d = x(c.fin);
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.drawLine(QPointF(g, bandecaracteres.bottom() - 2),
                   QPointF(d, bandecaracteres.bottom() - 2));
        p.drawLine(QPointF(g, bandecaracteres.bottom() - 6),
                   QPointF(g, bandecaracteres.bottom() - 2));
        p.drawLine(QPointF(d, bandecaracteres.bottom() - 6),
                   QPointF(d, bandecaracteres.bottom() - 2));
        p.setPen(Qt::black);
        const QString texte = c.texte == u" " ? QStringLiteral("␣") : c.texte;
        p.drawText(QRectF(g - 20, bandecaracteres.top(), d - g + 40, bandecaracteres.height() - 6),
                   Qt::AlignHCenter | Qt::AlignBottom, texte);
    }
    // The cursors, a line on their sample across the samples, their letter on top.
    const auto curseur = [&](int indice, const QColor& couleur, const QString& lettre) {
        if (indice < 0 || indice >= n || !visible(indice, indice))
            return;
        // Crisp, on a whole pixel: the line shows the sample it stands on.
        const double xx = std::floor(x(indice)) + 0.5;
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(couleur, 1));
        p.drawLine(QPointF(xx, trace.top()), QPointF(xx, trace.bottom()));
        p.restore();
        QFont f = petite;
        f.setBold(true);
        f.setPointSizeF(9);
        p.setFont(f);
        p.setPen(couleur);
        p.drawText(QRectF(xx - 10, trace.top() + 1, 20, 14), Qt::AlignCenter, lettre);
    };
    curseur(v.curseura, couleurcurseura, QStringLiteral("A"));
    curseur(v.curseurb, couleurcurseurb, QStringLiteral("B"));
    p.setClipping(false);

    // With both cursors laid, what they measure, in the top left corner of the samples.
    if (v.curseura >= 0 && v.curseurb >= 0 && v.curseura < n && v.curseurb < n) {
        const QString mesure = textecurseurs(mesurecurseurs(
            pointcurseur(t, v.curseura, v.periode), pointcurseur(t, v.curseurb, v.periode)));
        QFont f = petite;
        f.setPointSizeF(9);
        p.setFont(f);
        const QRectF place = QFontMetricsF(f).boundingRect(mesure).adjusted(-4, -2, 4, 2);
        const QRectF boite(QPointF(trace.left() + 4, trace.top() + 16), place.size());
        p.fillRect(boite, QColor(255, 255, 255, 225));
        p.setPen(QColor(40, 40, 40));
        p.drawRect(boite);
        p.drawText(boite, Qt::AlignCenter, mesure);
    }

    // The frame, the vertical scale in volts and the horizontal axis.
    p.setFont(petite);
    p.setPen(QColor(60, 60, 60));
    p.drawRect(trace);
    for (double volts = 0; volts <= haut * 5.0 / 255 + 1e-9; volts += 1) {
        const double yy = y(volts * 255 / 5);
        p.drawLine(QPointF(trace.left() - 4, yy), QPointF(trace.left(), yy));
        p.drawText(QRectF(cadre.left(), yy - 8, 38, 16), Qt::AlignRight | Qt::AlignVCenter,
                   nombre(volts, 0) + QStringLiteral(" V"));
    }
    const double unite = v.entemps ? v.periode : 1.0;
    const double etape = pas((v.dernier - v.premier) * unite);
    for (double g = std::ceil(v.premier * unite / etape) * etape; g <= v.dernier * unite;
         g += etape) {
        const double xx = x(g / unite);
        p.drawLine(QPointF(xx, trace.bottom()), QPointF(xx, trace.bottom() + 4));
        const int decimales = v.entemps && etape < 1 ? int(std::ceil(-std::log10(etape))) : 0;
        p.drawText(QRectF(xx - 40, trace.bottom() + 4, 80, 14), Qt::AlignCenter,
                   nombre(g, decimales));
    }
    p.drawText(QRectF(trace.left(), trace.bottom() + 4, trace.width(), hauteuraxe - 4),
               Qt::AlignRight | Qt::AlignBottom,
               v.entemps ? QStringLiteral("temps (s)") : QStringLiteral("mesure n°"));
    // Legend of the two thresholds, in the top right corner of the samples.
    const QString legende =
        QStringLiteral("seuil initial %1    seuil %2").arg(t.seuilinitial).arg(t.seuil);
    p.setPen(couleurseuil);
    p.drawText(trace.adjusted(0, 2, -4, 0), Qt::AlignRight | Qt::AlignTop, legende);
    p.restore();
}

QImage imagetrace(const TraceEnregistrement& t, QSize taille, const VueTrace& v) {
    QImage image(taille, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    dessinetrace(p, image.rect(), t, v);
    return image;
}
