#pragma once

#include <QString>
#include <QStringList>

// The serial device behind a COM port number.
//
// On Windows, COM n is the device "COMn". Elsewhere the number is looked up, in order:
// 1. when `dossierports` is not empty and holds an entry named "COMn" (a file, a device
//    or a symbolic link, even one whose target has gone), that entry's path;
// 2. otherwise the n-th serial port present, counted from 1, in the list given by
//    `peripheriquesserie(dossierdev)`.
// A number 0 or below, or beyond the list, gives an empty text: no such port.

// The serial ports of the machine in COM order: the USB adapters ttyUSB0, ttyUSB1, ...
// then ttyACM0, ttyACM1, ..., then the built-in ports ttyS0, ttyS1, ..., each group in
// numeric order (ttyS2 before ttyS10), keeping only the entries present in `dossierdev`.
QStringList peripheriquesserie(const QString& dossierdev = QStringLiteral("/dev"));

// The device of COM `numport` looked up in `dossierports` then in `dossierdev`.
QString peripheriquecom(int numport, const QString& dossierports, const QString& dossierdev);

// The device of COM `numport` on this machine: "COMn" on Windows; elsewhere the ports
// directory named by the environment variable LUMICOM_PORTS (the interface simulator
// publishes its ports there), then /dev.
QString peripheriquecom(int numport);

// Where the system names each USB adapter after its maker and serial number: the name
// stays the same whatever ttyUSB or ttyACM number the adapter gets when plugged back.
inline const QString dossierperipheriquesparid = QStringLiteral("/dev/serial/by-id");

// The name under which the serial device `chemin` is found again once it has gone away
// and come back: the entry of `dossierparid` that leads to the same device, when there is
// one (a USB adapter); otherwise `chemin` itself (a built-in port, an entry of the ports
// directory, whose target may change but not its name, a system without such names).
QString peripheriquedurable(const QString& chemin,
                            const QString& dossierparid = dossierperipheriquesparid);

// The COM numbers published in the ports directory `dossierports` (its entries COMn), in
// increasing order.
QList<int> portsdudossier(const QString& dossierports);
