#pragma once

#include "link/transport.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QString>
#include <memory>

class QSocketNotifier;

// The byte stream over a serial port at 9600 baud, no parity, 8 data bits, 1 stop bit,
// no flow control; handshaking and the DTR and RTS lines stay as the port has them.
// Bytes move only while the event loop runs, except that every write is pushed to the
// system at once. On Unix the bytes received are read from the system when lis() asks
// for them, not at every byte that arrives: a station waiting for a message then wakes
// up for its tick only, not two or three more times for the reply's bytes.
//
// When the device goes away (cable pulled, interface switched off, the other end of a
// pseudo-terminal closed), the transport closes itself and remembers the loss: it
// reports it through perdu() and erreurPerte() and never shows anything itself.
class TransportSerie final : public Transport {
public:
    // Takes an open port; `numport` and `chemin` name it in messages.
    TransportSerie(std::unique_ptr<QSerialPort> port, int numport, const QString& chemin);
    ~TransportSerie() override;

    TransportSerie(const TransportSerie&) = delete;
    TransportSerie& operator=(const TransportSerie&) = delete;

    void ecris(const QByteArray& octets) override;
    QByteArray lis(qint64 maximum) override;
    // Bytes held by the port plus, where the system tells it, the bytes still in the
    // system's output queue, and never fewer than 9600 baud can have sent yet: 0 once
    // the last byte has left the port.
    qint64 octetsEnAttente() const override;
    bool estOuvert() const override;
    void vide(double delai) override;
    void ferme() override;
    void reveilSurEntree(bool actif) override;

    // Bytes received and not yet taken by lis().
    qint64 octetsDisponibles() const;
    // True once the device has been lost; the port is then closed.
    bool perdu() const override { return perdu_; }
    // French description of the loss, empty while the port is sound.
    QString erreurPerte() const override { return erreurPerte_; }
    QString peripherique() const override { return chemin_; }
    int descripteur() const override;

private:
    void surErreur(QSerialPort::SerialPortError erreur);
    void signaleperte(const QString& raison);
    QByteArray lisdusysteme(qint64 maximum);

    static constexpr double octetsParSeconde = 960.0; // 9600 baud, 8N1

    std::unique_ptr<QSerialPort> port_;
    QElapsedTimer horloge_;
    double finLigne_ = 0; // when, on horloge_, the last byte written has left the line
    int numport_;
    QString chemin_;
    bool perdu_ = false;
    QString erreurPerte_;
    // The port's own reader, which reads each byte as it arrives; off while the
    // program reads on demand.
    QSocketNotifier* lecteur_ = nullptr;
    // The port's own reader is off: lis() reads from the system.
    bool lectureALaDemande_ = false;
};

// Opens COM `numport` (the device given by peripheriquecom()) as a serial transport;
// on failure, no transport and a French message naming the port, the device and the
// reason. Its signature is that of FabriqueTransport. The opening remembers the device
// (`OuverturePort::rouvre`): by its stable name under /dev/serial/by-id where it has one,
// by the entry of the ports directory of LUMICOM_PORTS, or by its own name.
OuverturePort ouvreportserie(int numport);
// The same, the number looked up in the ports directory `dossierports`, then in
// `dossierdev`, the stable names read in `dossierparid` (for tests).
OuverturePort ouvreportserie(int numport, const QString& dossierports, const QString& dossierdev,
                             const QString& dossierparid);
// The same with the device given: `numport` only names the port in messages.
OuverturePort ouvreportserie(int numport, const QString& chemin);
// Opens the device `durable` again (a name that peripheriquedurable() gave): a stable name
// of the system's (`nomstable`) is followed to the device it leads to now; a name that
// leads nowhere is a device still away, never replaced by another.
OuverturePort rouvreperipherique(int numport, const QString& durable, bool nomstable);

// The messages of a failed opening, in French.
// `nombreports`: how many serial ports the machine has, when it is known (-1 otherwise);
// `dossierports` and `portsdudossier`: the ports directory of LUMICOM_PORTS and the COM
// numbers it publishes, named first when there are any.
QString messageportabsent(int numport, int nombreports, const QString& dossierports = {},
                          const QList<int>& portsdudossier = {});
QString messageintrouvable(int numport, const QString& chemin);
QString messageoccupe(int numport, const QString& chemin);
// `groupe`: the group whose members may use the device; empty when none may.
QString messageaccesrefuse(int numport, const QString& chemin, const QString& groupe);
QString messageechecouverture(int numport, const QString& chemin, const QString& raison);

// The group that owns `chemin` when its members may read and write it; empty when the
// group has not both rights or on a system without groups.
QString groupeautorise(const QString& chemin);
