#include "recording/raisonfichier.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// File systems through which the system shows its own state as files: they take no file
// of a user, whoever the user is (root included).
bool dossierdusysteme(const QStorageInfo& disque) {
    static const QByteArrayList types = {
        "proc",        "sysfs",   "devpts",     "cgroup",   "cgroup2", "debugfs",
        "tracefs",     "pstore",  "securityfs", "configfs", "bpf",     "efivarfs",
        "binfmt_misc", "fusectl", "mqueue",     "autofs",   "nsfs",    "rpc_pipefs"};
    return disque.isValid() && types.contains(disque.fileSystemType());
}

// Whether this process may create a file in `dossier`, by its effective rights (those it
// writes with), not by the rights of the user who started it.
bool ecriturepermise(const QString& dossier) {
#ifdef Q_OS_UNIX
    return ::faccessat(AT_FDCWD, QFile::encodeName(dossier).constData(), W_OK | X_OK, AT_EACCESS) ==
           0;
#else
    return QFileInfo(dossier).isWritable();
#endif
}

} // namespace

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
    const QString nomdossier = cheminaffiche(dossier.absoluteFilePath());
    if (!dossier.exists())
        return QStringLiteral("le dossier « %1 » n'existe pas").arg(nomdossier);
    if (!dossier.isDir())
        return QStringLiteral("« %1 » n'est pas un dossier").arg(nomdossier);
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
        const QStorageInfo disque(dossier.absoluteFilePath());
        if (dossierdusysteme(disque))
            return QStringLiteral("le dossier « %1 » n'accepte pas de fichiers : il montre "
                                  "l'état du système")
                .arg(nomdossier);
        if (disque.isValid() && disque.isReadOnly())
            return QStringLiteral("le dossier « %1 » est protégé en écriture : son disque "
                                  "ne peut être que lu")
                .arg(nomdossier);
        if (info.exists() && !info.isWritable())
            return QStringLiteral("le fichier est protégé en écriture");
        if (!ecriturepermise(dossier.absoluteFilePath()))
            return QStringLiteral("le dossier « %1 » est protégé en écriture : vous n'avez "
                                  "pas le droit d'y écrire")
                .arg(nomdossier);
        if (disque.isValid() && disque.bytesAvailable() == 0)
            return QStringLiteral("le disque est plein");
    }
    // Without an error of its own the device's text is only "Unknown error".
    if (fichier.error() == QFileDevice::NoError || fichier.errorString().isEmpty())
        return QStringLiteral("le système n'a pas dit pourquoi");
    return QStringLiteral("erreur du système (%1)").arg(fichier.errorString());
}
