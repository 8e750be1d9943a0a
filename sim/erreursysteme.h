#pragma once

#include <QString>
#include <cerrno>
#include <cstring>

// The reason of a failed system call, in French for the failures a user can meet and
// fix (rights, missing folder, full disk); the others as the system words them.
inline QString raisonSysteme(int numero) {
    switch (numero) {
    case EACCES:
    case EPERM:
        return QStringLiteral("permission refusée");
    case ENOENT:
        return QStringLiteral("chemin introuvable");
    case ENOTDIR:
        return QStringLiteral("un élément du chemin n'est pas un dossier");
    case EROFS:
        return QStringLiteral("système de fichiers en lecture seule");
    case ENOSPC:
        return QStringLiteral("plus de place sur le disque");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("trop de fichiers ouverts");
    default:
        return QString::fromLocal8Bit(std::strerror(numero));
    }
}
