// lumicom-tool plot-recording morse|binary FICHIER IMAGE.png [--width L] [--height H]: the
// picture the recording viewer shows of FICHIER, the whole recording, written as a PNG
// without any window (for worksheets and for checks).

#include "souscommande.h"

#include "recording/dessintrace.h"
#include "recording/mesuresfichier.h"

#include <QImageWriter>

namespace {

int executePlotRecording(const QStringList& argumentsdonnes) {
    QStringList arguments = argumentsdonnes;
    const Regles regles =
        arguments.removeAll(QStringLiteral("--robuste")) > 0 ? Regles::Robustes : Regles::Corrigees;
    QSize taille(1600, 500);
    for (const QString& option : {QStringLiteral("--width"), QStringLiteral("--height")}) {
        const qsizetype i = arguments.indexOf(option);
        if (i < 0)
            continue;
        bool nombre = false;
        const int valeur = i + 1 < arguments.size() ? arguments.at(i + 1).toInt(&nombre) : 0;
        if (!nombre || valeur < 200 || valeur > 20000)
            return erreurUsage(
                sousCommandePlotRecording,
                QStringLiteral("%1 attend un nombre de pixels de 200 à 20000").arg(option));
        (option == u"--width" ? taille.rwidth() : taille.rheight()) = valeur;
        arguments.remove(i, 2);
    }
    if (arguments.size() != 3)
        return erreurUsage(sousCommandePlotRecording,
                           QStringLiteral("plot-recording attend un codage, un fichier et une "
                                          "image (%1 argument(s) donné(s))")
                               .arg(arguments.size()));
    const QString& codage = arguments.at(0);
    if (codage != u"morse" && codage != u"binary")
        return erreurUsage(sousCommandePlotRecording,
                           QStringLiteral("codage inconnu « %1 » (morse ou binary)").arg(codage));
    MesuresFichier mesures;
    QString erreur;
    if (!litmesuresfichier(arguments.at(1), mesures, &erreur)) {
        ecritErreur(erreur);
        return sortieUsage;
    }
    const TraceEnregistrement trace = traceenregistrement(mesures, codage == u"morse", regles);
    const QImage image = imagetrace(trace, taille, VueTrace::toute(trace));
    QImageWriter ecrivain(arguments.at(2), "png");
    if (!ecrivain.write(image)) {
        ecritErreur(QStringLiteral("impossible d'écrire l'image « %1 » : %2")
                        .arg(arguments.at(2), ecrivain.errorString()));
        return sortieUsage;
    }
    ecritLigne(surUneLigne(trace.messagerecu));
    return sortieSucces;
}

} // namespace

const SousCommande sousCommandePlotRecording = {
    "plot-recording",
    "[--robuste] morse|binary FICHIER IMAGE.png [--width L] [--height H]",
    "dessine l'enregistrement FICHIER comme la visionneuse le montre (les mesures, les\n"
    "      seuils, chaque plage et ce que le décodeur en a fait, les caractères au-dessus)\n"
    "      dans l'image PNG IMAGE.png, de L × H pixels (défaut 1600 × 500) ; écrit\n"
    "      messagerecu sur la sortie standard",
    executePlotRecording,
};
