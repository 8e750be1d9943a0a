#include "simulateurreel.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace simulateurreel {

Simulateur::Simulateur(const QStringList& options) {
    processus_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    processus_.start(QStringLiteral(LUMICOM_SIM),
                     QStringList{QStringLiteral("--dir"), dossierPorts(),
                                 QStringLiteral("--journal"),
                                 temporaire_.filePath(QStringLiteral("journal.txt"))} +
                         options);
    pret_ =
        processus_.waitForStarted(attenteMs) &&
        QTest::qWaitFor([this] { return QFileInfo::exists(port(1)) && QFileInfo::exists(port(2)); },
                        attenteMs);
}

Simulateur::~Simulateur() {
    processus_.terminate();
    processus_.waitForFinished(attenteMs);
}

QString Simulateur::dossierPorts() const {
    return temporaire_.filePath(QStringLiteral("ports"));
}

QString Simulateur::port(int numero) const {
    return dossierPorts() + QStringLiteral("/COM%1").arg(numero);
}

QByteArray Simulateur::journal() const {
    QFile f(temporaire_.filePath(QStringLiteral("journal.txt")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray Simulateur::journalPrecedent() const {
    QFile f(temporaire_.filePath(QStringLiteral("journal.txt.1")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool Simulateur::attendsDansLeJournal(const QByteArray& texte, int attente) const {
    return QTest::qWaitFor([&] { return journal().contains(texte); }, attente);
}

std::unique_ptr<QSerialPort> ouvre(const QString& chemin) {
    auto port = std::make_unique<QSerialPort>(chemin);
    if (!port->open(QIODevice::ReadWrite) || !port->setBaudRate(QSerialPort::Baud9600) ||
        !port->setDataBits(QSerialPort::Data8) || !port->setParity(QSerialPort::NoParity) ||
        !port->setStopBits(QSerialPort::OneStop) ||
        !port->setFlowControl(QSerialPort::NoFlowControl))
        return nullptr;
    return port;
}

QByteArray requete(QSerialPort& port, const QByteArray& commande) {
    port.write(commande);
    QByteArray reponse;
    (void)QTest::qWaitFor(
        [&] {
            reponse += port.readAll();
            return reponse.endsWith('\r');
        },
        attenteMs);
    return reponse;
}

} // namespace simulateurreel
