#include "choosers/lecteurs.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

QString sansbarrefinale(QString chemin) {
    while (chemin.size() > 1 && chemin.endsWith(u'/'))
        chemin.chop(1);
    return chemin;
}

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity casse = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity casse = Qt::CaseSensitive;
#endif

} // namespace

std::vector<Lecteur> lecteursdisponibles() {
    std::vector<Lecteur> lecteurs;
#ifdef Q_OS_WIN
    for (const QFileInfo& lecteur : QDir::drives()) {
        const QString racine = lecteur.absoluteFilePath();
        lecteurs.push_back({racine.left(2).toLower(), racine});
    }
#else
    lecteurs.push_back({QStringLiteral("/  (racine)"), QStringLiteral("/")});
    const QString maison = sansbarrefinale(QDir::homePath());
    if (maison != u"/")
        lecteurs.push_back({QStringLiteral("%1  (dossier personnel)").arg(maison), maison});
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString racine = sansbarrefinale(volume.rootPath());
        const bool amovible = racine.startsWith(u"/media/") || racine.startsWith(u"/run/media/") ||
                              racine.startsWith(u"/mnt/");
        if (!amovible || !volume.isValid())
            continue;
        const QString nom = volume.name().isEmpty() ? QFileInfo(racine).fileName() : volume.name();
        lecteurs.push_back({QStringLiteral("%1  (%2)").arg(racine, nom), racine});
    }
#endif
    return lecteurs;
}

bool lecteurlisible(const Lecteur& lecteur) {
    const QFileInfo racine(lecteur.racine);
    return racine.isDir() && racine.isReadable() && racine.isExecutable();
}

int lecteurde(const std::vector<Lecteur>& lecteurs, const QString& dossier) {
    const QString d = sansbarrefinale(QDir::cleanPath(dossier));
    int meilleur = 0;
    qsizetype longueur = -1;
    for (int k = 0; k < static_cast<int>(lecteurs.size()); ++k) {
        const QString r = sansbarrefinale(QDir::cleanPath(lecteurs[size_t(k)].racine));
        const bool contient =
            d.compare(r, casse) == 0 || d.startsWith(r.endsWith(u'/') ? r : r + u'/', casse);
        if (contient && r.size() > longueur) {
            meilleur = k;
            longueur = r.size();
        }
    }
    return meilleur;
}
