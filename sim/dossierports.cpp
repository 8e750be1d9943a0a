#include "sim/dossierports.h"

#include "sim/erreursysteme.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

DossierPorts::~DossierPorts() {
    if (verrou_ >= 0)
        ::close(verrou_);
    // rmdir refuses a folder that is not empty: the journal, or files of the user, stay.
    if (cree_)
        ::rmdir(chemin_.toLocal8Bit().constData());
}

bool DossierPorts::prepare(bool personnel, QString& erreur) {
    const QByteArray chemin = chemin_.toLocal8Bit();
    if (::mkdir(chemin.constData(), 0700) == 0) {
        cree_ = true;
    } else if (errno != EEXIST) {
        erreur = QStringLiteral("impossible de créer le dossier des ports « %1 » : %2")
                     .arg(chemin_, raisonSysteme(errno));
        return false;
    }
    struct stat etat {};
    if ((personnel ? ::lstat(chemin.constData(), &etat) : ::stat(chemin.constData(), &etat)) != 0 ||
        !S_ISDIR(etat.st_mode) || (personnel && etat.st_uid != ::getuid())) {
        erreur = QStringLiteral("« %1 » n'est pas un dossier %2: choisissez-en un autre avec --dir")
                     .arg(chemin_, personnel ? QStringLiteral("à vous ") : QString());
        return false;
    }
    verrou_ = ::open(chemin.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (verrou_ < 0) {
        erreur = QStringLiteral("impossible d'ouvrir le dossier des ports « %1 » : %2")
                     .arg(chemin_, raisonSysteme(errno));
        return false;
    }
    if (::flock(verrou_, LOCK_EX | LOCK_NB) != 0) {
        erreur = QStringLiteral("un autre lumicom-sim publie déjà ses ports dans « %1 » ; "
                                "arrêtez-le ou choisissez un autre dossier avec --dir")
                     .arg(chemin_);
        return false;
    }
    return true;
}
