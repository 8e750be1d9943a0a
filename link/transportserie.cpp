#include "link/transportserie.h"

#include "link/ports.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>

#ifdef Q_OS_UNIX
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <grp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

TransportSerie::TransportSerie(std::unique_ptr<QSerialPort> port, int numport,
                               const QString& chemin)
    : port_(std::move(port)), numport_(numport), chemin_(chemin) {
    horloge_.start();
    // The port is destroyed with the transport, so the connection cannot outlive it.
    QObject::connect(port_.get(), &QSerialPort::errorOccurred, port_.get(),
                     [this](QSerialPort::SerialPortError erreur) { surErreur(erreur); });
#ifdef Q_OS_UNIX
    // The port reads every byte as it arrives, through a read notifier of its own, and so
    // wakes the program up for each byte of every reply. The program takes its input only
    // when it asks for it (the tick, a download): the notifier is turned off and lis()
    // reads from the system. Where the port has no such notifier, it reads as before.
    if (port_->isOpen() && port_->bytesAvailable() == 0) {
        for (QSocketNotifier* lecteur : port_->findChildren<QSocketNotifier*>()) {
            if (lecteur->type() == QSocketNotifier::Read && lecteur->socket() == port_->handle()) {
                lecteur->setEnabled(false);
                lecteur_ = lecteur;
                lectureALaDemande_ = true;
            }
        }
    }
#endif
}

TransportSerie::~TransportSerie() {
    QObject::disconnect(port_.get(), nullptr, nullptr, nullptr);
    ferme();
}

void TransportSerie::ecris(const QByteArray& octets) {
    if (!port_->isOpen() || octets.isEmpty())
        return;
    port_->write(octets);
    // The line carries 960 bytes a second whatever the device says of its queue.
    const double maintenant = horloge_.nsecsElapsed() / 1e9;
    finLigne_ = std::max(finLigne_, maintenant) + octets.size() / octetsParSeconde;
    // Hands the bytes to the system now instead of at the next turn of the event loop;
    // what the system cannot take yet stays queued in the port, without waiting. (A
    // write that finds the device gone has closed the port already.)
    if (port_->isOpen())
        port_->flush();
}

QByteArray TransportSerie::lis(qint64 maximum) {
    if (!port_->isOpen())
        return {};
    // What the port's own reader took while it was on comes first.
    QByteArray recu = maximum <= 0 ? port_->readAll() : port_->read(maximum);
    if (lectureALaDemande_ && (maximum <= 0 || recu.size() < maximum))
        recu += lisdusysteme(maximum <= 0 ? 0 : maximum - recu.size());
    return recu;
}

void TransportSerie::reveilSurEntree(bool actif) {
    if (!lecteur_ || !port_->isOpen())
        return;
    lecteur_->setEnabled(actif);
    lectureALaDemande_ = !actif;
}

QByteArray TransportSerie::lisdusysteme(qint64 maximum) {
    QByteArray recu;
#ifdef Q_OS_UNIX
    const int descripteur = port_->handle();
    char tampon[4096];
    for (;;) {
        const qint64 reste = maximum > 0 ? maximum - recu.size() : qint64(sizeof tampon);
        if (reste <= 0)
            break;
        const ssize_t n = ::read(descripteur, tampon,
                                 static_cast<size_t>(std::min<qint64>(reste, sizeof tampon)));
        if (n > 0) {
            recu.append(tampon, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            signaleperte(QStringLiteral("erreur de lecture"));
            break;
        }
        // Nothing more has arrived. A device that has gone away says so only when asked:
        // its line is hung up.
        pollfd etat{descripteur, POLLIN, 0};
        if (recu.isEmpty() && ::poll(&etat, 1, 0) > 0 &&
            (etat.revents & (POLLHUP | POLLERR | POLLNVAL)))
            signaleperte(QStringLiteral("périphérique indisponible"));
        break;
    }
#else
    Q_UNUSED(maximum);
#endif
    return recu;
}

qint64 TransportSerie::octetsEnAttente() const {
    if (!port_->isOpen())
        return 0;
    qint64 enAttente = port_->bytesToWrite();
#if defined(Q_OS_UNIX) && defined(TIOCOUTQ)
    // Bytes the system has accepted but the line has not sent yet.
    int dansLeSysteme = 0;
    if (::ioctl(port_->handle(), TIOCOUTQ, &dansLeSysteme) == 0 && dansLeSysteme > 0)
        enAttente += dansLeSysteme;
#endif
    // Some devices report an empty queue while their line is still busy: a
    // pseudo-terminal always does, and many USB adapters do once the bytes are in the
    // adapter. The bytes written cannot have left faster than the line carries them.
    const double reste = finLigne_ - horloge_.nsecsElapsed() / 1e9;
    const auto surLaLigne =
        reste > 0 ? static_cast<qint64>(std::ceil(reste * octetsParSeconde)) : 0;
    return std::max(enAttente, surLaLigne);
}

int TransportSerie::descripteur() const {
#ifdef Q_OS_UNIX
    return port_->isOpen() ? int(port_->handle()) : -1;
#else
    return -1;
#endif
}

bool TransportSerie::estOuvert() const {
    return port_->isOpen();
}

void TransportSerie::vide(double delai) {
    QElapsedTimer attente;
    attente.start();
    while (port_->isOpen() && octetsEnAttente() > 0 && attente.nsecsElapsed() < delai * 1e9) {
        // Hands the port's own queue to the system, then lets the line carry it.
        if (port_->bytesToWrite() > 0)
            port_->waitForBytesWritten(5);
        else
            QThread::usleep(500);
    }
}

void TransportSerie::ferme() {
    if (port_->isOpen())
        port_->close();
}

qint64 TransportSerie::octetsDisponibles() const {
    if (!port_->isOpen())
        return 0;
#if defined(Q_OS_UNIX) && defined(FIONREAD)
    int dansLeSysteme = 0;
    if (lectureALaDemande_ && ::ioctl(port_->handle(), FIONREAD, &dansLeSysteme) == 0)
        return port_->bytesAvailable() + dansLeSysteme;
#endif
    return port_->bytesAvailable();
}

void TransportSerie::surErreur(QSerialPort::SerialPortError erreur) {
    QString raison;
    switch (erreur) {
    case QSerialPort::ReadError:
        raison = QStringLiteral("erreur de lecture");
        break;
    case QSerialPort::WriteError:
        raison = QStringLiteral("erreur d'écriture");
        break;
    case QSerialPort::ResourceError:
        raison = QStringLiteral("périphérique indisponible");
        break;
    default:
        // Among others UnsupportedOperationError, which a pseudo-terminal raises for
        // the modem lines: the port keeps working.
        return;
    }
    signaleperte(raison);
}

void TransportSerie::signaleperte(const QString& raison) {
    if (perdu_ || !port_->isOpen())
        return;
    // A device gone keeps the port reporting the same error as fast as it can: close.
    perdu_ = true;
    erreurPerte_ = QStringLiteral("La liaison avec le port COM %1 (%2) a été perdue (%3) : le "
                                  "périphérique a été débranché ou ne répond plus. Vérifiez "
                                  "le câble et l'interface.")
                       .arg(numport_)
                       .arg(chemin_, raison);
    port_->close();
}

namespace {

// "COM 1", "COM 1 et COM 2", "COM 1, COM 2 et COM 5"; three numbers in a row or more are
// a span: "COM 3 à COM 32".
QString listeports(const QList<int>& ports) {
    QStringList noms;
    for (qsizetype i = 0; i < ports.size();) {
        qsizetype j = i;
        while (j + 1 < ports.size() && ports[j + 1] == ports[j] + 1)
            ++j;
        if (j - i >= 2) {
            noms << QStringLiteral("COM %1 à COM %2").arg(ports[i]).arg(ports[j]);
        } else {
            for (qsizetype k = i; k <= j; ++k)
                noms << QStringLiteral("COM %1").arg(ports[k]);
        }
        i = j + 1;
    }
    if (noms.size() <= 1)
        return noms.join(QString());
    const QString dernier = noms.takeLast();
    return noms.join(QStringLiteral(", ")) + QStringLiteral(" et ") + dernier;
}

} // namespace

QString messageportabsent(int numport, int nombreports, const QString& dossierports,
                          const QList<int>& portsdudossier) {
    if (numport <= 0)
        return QStringLiteral("Le port COM %1 n'existe pas : les ports série sont numérotés à "
                              "partir de 1.")
            .arg(numport);
    QString message =
        QStringLiteral("Le port COM %1 n'existe pas : aucun périphérique série ne lui "
                       "correspond.")
            .arg(numport);
    if (!portsdudossier.isEmpty()) {
        message += QStringLiteral(" Le dossier des ports (LUMICOM_PORTS, %1) publie %2.")
                       .arg(QDir::toNativeSeparators(dossierports), listeports(portsdudossier));
        // The machine's own ports under the numbers the directory leaves free.
        QList<int> autres;
        for (int n = 1; n <= nombreports; ++n)
            if (!portsdudossier.contains(n))
                autres << n;
        if (!autres.isEmpty())
            message += QStringLiteral(" Les ports série de cet ordinateur donnent aussi %1.")
                           .arg(listeports(autres));
        return message;
    }
    if (nombreports == 0)
        message += QStringLiteral(" Aucun port série n'a été trouvé sur cet ordinateur.");
    else if (nombreports == 1)
        message += QStringLiteral(" Cet ordinateur n'a qu'un port série : COM 1.");
    else if (nombreports > 1)
        message +=
            QStringLiteral(" Cet ordinateur a %1 ports série, de COM 1 à COM %1.").arg(nombreports);
    return message;
}

QString messageintrouvable(int numport, const QString& chemin) {
    return QStringLiteral("Le port COM %1 (%2) est introuvable : le périphérique n'existe pas. "
                          "Vérifiez que l'interface est branchée et que le numéro du port est "
                          "le bon.")
        .arg(numport)
        .arg(chemin);
}

QString messageoccupe(int numport, const QString& chemin) {
    return QStringLiteral("Le port COM %1 (%2) est déjà utilisé par un autre programme. "
                          "Fermez le programme qui l'utilise, puis recommencez.")
        .arg(numport)
        .arg(chemin);
}

QString messageaccesrefuse(int numport, const QString& chemin, const QString& groupe) {
    const QString debut = QStringLiteral("Le port COM %1 (%2) ne peut pas être ouvert : accès "
                                         "refusé.")
                              .arg(numport)
                              .arg(chemin);
    if (groupe.isEmpty())
        return debut + QStringLiteral(" L'utilisateur n'a pas le droit de lire et d'écrire "
                                      "sur %1 ; un administrateur doit lui donner ce droit.")
                           .arg(chemin);
    return debut + QStringLiteral(" L'utilisateur doit appartenir au groupe « %1 » "
                                  "propriétaire de %2 (commande : sudo usermod -aG %1 $USER, "
                                  "puis fermer la session et se reconnecter).")
                       .arg(groupe, chemin);
}

QString messageechecouverture(int numport, const QString& chemin, const QString& raison) {
    return QStringLiteral("Le port COM %1 (%2) ne peut pas être ouvert : %3.")
        .arg(numport)
        .arg(chemin, raison);
}

QString groupeautorise(const QString& chemin) {
#ifdef Q_OS_UNIX
    struct stat etat {};
    if (::stat(QFile::encodeName(chemin).constData(), &etat) != 0)
        return {};
    if ((etat.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP))
        return {};
    if (const struct group* groupe = ::getgrgid(etat.st_gid))
        return QString::fromLocal8Bit(groupe->gr_name);
    return QString::number(etat.st_gid);
#else
    Q_UNUSED(chemin);
    return {};
#endif
}

namespace {

// The French reason of a failed opening, from the port's error.
QString raisonechec(const QSerialPort& port, int numport, const QString& chemin) {
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return messageintrouvable(numport, chemin);
    case QSerialPort::PermissionError:
#ifdef Q_OS_UNIX
        // The port reports a device held by another program (its lock file, or
        // exclusive use) as a permission error too: tell them apart by the rights.
        if (::access(QFile::encodeName(chemin).constData(), R_OK | W_OK) != 0)
            return messageaccesrefuse(numport, chemin, groupeautorise(chemin));
#endif
        return messageoccupe(numport, chemin);
    case QSerialPort::OpenError:
        return messageoccupe(numport, chemin);
    case QSerialPort::UnsupportedOperationError:
        // Opened, but the line settings were refused: not a serial port.
        return messageechecouverture(numport, chemin, QStringLiteral("ce n'est pas un port série"));
    default:
        return messageechecouverture(numport, chemin, port.errorString());
    }
}

} // namespace

OuverturePort ouvreportserie(int numport, const QString& chemin) {
    if (chemin.isEmpty())
        return {nullptr, messageportabsent(numport, -1)};
    QString nom = chemin;
#ifndef Q_OS_WIN
    // The port takes a name without a directory as one under /dev.
    nom = QFileInfo(chemin).absoluteFilePath();
#endif
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(nom);
    port->setBaudRate(QSerialPort::Baud9600);
    port->setParity(QSerialPort::NoParity);
    port->setDataBits(QSerialPort::Data8);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    if (!port->open(QIODevice::ReadWrite))
        return {nullptr, raisonechec(*port, numport, chemin)};
    return {std::make_unique<TransportSerie>(std::move(port), numport, chemin), {}};
}

OuverturePort rouvreperipherique(int numport, const QString& durable, bool nomstable) {
    const QFileInfo nom(durable);
    if (!nom.exists())
        return {nullptr, messageintrouvable(numport, durable)};
    // A stable name is opened as the device it leads to now, so that messages name that
    // device; any other name as it stands, as at the first opening.
    OuverturePort ouverture =
        ouvreportserie(numport, nomstable ? nom.canonicalFilePath() : durable);
    ouverture.rouvre = [numport, durable, nomstable] {
        return rouvreperipherique(numport, durable, nomstable);
    };
    ouverture.attendu = durable;
    return ouverture;
}

OuverturePort ouvreportserie(int numport, const QString& dossierports, const QString& dossierdev,
                             const QString& dossierparid) {
    const QString chemin = peripheriquecom(numport, dossierports, dossierdev);
    if (chemin.isEmpty())
        return {nullptr,
                messageportabsent(numport, int(peripheriquesserie(dossierdev).size()), dossierports,
                                  portsdudossier(dossierports)),
                {},
                {}};
    OuverturePort ouverture = ouvreportserie(numport, chemin);
    // From now on COM n is this device, whatever the number leads to while it is away.
    const QString durable = peripheriquedurable(chemin, dossierparid);
    const bool nomstable = durable != chemin;
    ouverture.rouvre = [numport, durable, nomstable] {
        return rouvreperipherique(numport, durable, nomstable);
    };
    ouverture.attendu = durable;
    return ouverture;
}

OuverturePort ouvreportserie(int numport) {
#ifdef Q_OS_WIN
    const QString chemin = peripheriquecom(numport);
    if (chemin.isEmpty())
        return {nullptr, messageportabsent(numport, -1)};
    OuverturePort ouverture = ouvreportserie(numport, chemin);
    ouverture.rouvre = [numport, chemin] { return ouvreportserie(numport, chemin); };
    ouverture.attendu = chemin;
    return ouverture;
#else
    return ouvreportserie(numport, qEnvironmentVariable("LUMICOM_PORTS"), QStringLiteral("/dev"),
                          dossierperipheriquesparid);
#endif
}
