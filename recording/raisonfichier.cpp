#include "recording/raisonfichier.h"

#include <QDir>
#include <QFileInfo>

QString cheminaffiche(const QString& chemin) {
    return QDir::toNativeSeparators(chemin);
}

QString raisonechecfichier(const QString& chemin, const QFileDevice& fichier, UsageFichier usage) {
    // A full disk shows only while writing, once the file was open: it comes first, since
    // everything else about the file and its folder looks fine then.
    if (fichier.error() == QFileDevice::ResourceError)
        return QStringLiteral("le disque est plein");

    const QFileInfo info(chemin);
    const QFileInfo dossier(info.absolutePath());
    if (!dossier.exists())
        return QStringLiteral("le dossier « %1 » n'existe pas")
            .arg(cheminaffiche(dossier.absoluteFilePath()));
    if (!dossier.isDir())
        return QStringLiteral("« %1 » n'est pas un dossier")
            .arg(cheminaffiche(dossier.absoluteFilePath()));
    if (info.isDir())
        return QStringLiteral("c'est le nom d'un dossier");

    if (usage == UsageFichier::lecture) {
        if (!info.exists())
            return QStringLiteral("le fichier n'existe pas");
        if (!info.isFile())
            return QStringLiteral("ce n'est pas un fichier ordinaire");
        if (!info.isReadable())
            return QStringLiteral("la lecture du fichier est refusée");
    } else {
        if (info.exists() && !info.isWritable())
            return QStringLiteral("le fichier est protégé en écriture");
        if (!dossier.isWritable())
            return QStringLiteral("l'écriture est refusée dans le dossier « %1 »")
                .arg(cheminaffiche(dossier.absoluteFilePath()));
    }
    // Without an error of its own the device's text is only "Unknown error".
    if (fichier.error() == QFileDevice::NoError || fichier.errorString().isEmpty())
        return QStringLiteral("le système n'a pas dit pourquoi");
    return QStringLiteral("erreur du système (%1)").arg(fichier.errorString());
}
