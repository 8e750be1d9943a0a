#pragma once

#include "link/echantillonneur.h"
#include "link/etatpartage.h"
#include "link/transport.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <memory>

// The link to the data-acquisition interface: every byte the program writes to it and
// every reply it reads goes through these operations.
class Liaison {
public:
    // Commands of the interface, byte for byte.
    static const QByteArray commandeMesureEA0;         // "XEA 0" CR
    static const QByteArray commandeAllumeLaser;       // byte 0, CR
    static const QByteArray commandeEteintLaser;       // byte 32, CR
    static const QByteArray commandeAllumeLaserRapide; // byte 0
    static const QByteArray commandeEteintLaserRapide; // byte 32

    Liaison(EtatPartage& etat, FabriqueTransport fabrique);

    // Opens COM `numport` at 9600 baud, no parity, 8 bits, 1 stop bit, then writes the
    // laser-off command once. On failure returns false with the French reason in
    // `erreur` and leaves the link closed.
    bool ouvreport(QString* erreur);
    // Opens again, after it was lost, the device the link had open: the same adapter under
    // whatever number it comes back, never another device the COM number now leads to.
    // Where the opening could not tell its device (memory, in tests), the number is looked
    // up again. False while it is away, with the French reason in `erreur`.
    bool rouvreport(QString* erreur);
    // The device the link waits for once lost, for messages; empty when unknown.
    QString peripheriqueattendu() const { return attendu_; }
    // Closes the port. Whatever the program was doing, the laser-off command is written
    // first, and the port closes once it has left on the line (a command still open, a
    // request written without terminator, is closed before it, so that the blank is read
    // as the keying byte). A lost port can take nothing: it is only closed.
    void fermeport();
    bool estOuvert() const;

    void envoiecommande(const QByteArray& texte);
    // What has arrived (at most one byte when the read length is 1); also kept in
    // `reponsecom`. Never waits.
    QByteArray litentree();
    void fixelongueurlecture(int n);
    int longueurlecture() const { return longueurlecture_; }

    // One sample of EA0, the body of the tick handler at the clock reading `maintenant`:
    // the reply to the previous tick's request, when it has come whole, into
    // `tensionmesuree` (otherwise the previous sample stands), then the next request.
    // True when a reading came.
    bool mesuretension(double maintenant);
    // The tick starts again at `maintenant`, after the line served something else: the
    // replies to requests made before are no samples of this tick.
    void reprendmesures(double maintenant);
    const Echantillonneur& echantillonneur() const { return echantillonneur_; }
    // What the interface has said since the tick started, at `maintenant`; empty while it
    // answers, else the French message that says what is wrong and what to check.
    QString avisinterface(double maintenant) const;

    void allumelaser();
    void eteintlaser();
    void allumelaserrapide();
    void eteintlaserrapide();

    // The level the interface was last told to give SB0, by any of the four keying
    // operations: unknown before the first one.
    enum class NiveauLaser { inconnu, allume, eteint };
    NiveauLaser niveauLaser() const { return niveauLaser_; }

    // True once the port has gone away; erreurPerte() says how, in French.
    bool perdu() const { return transport_ && transport_->perdu(); }
    QString erreurPerte() const { return transport_ ? transport_->erreurPerte() : QString(); }

    // Bytes written that have not yet left on the line (0 when closed).
    qint64 octetsEnAttente() const;

    Transport* transport() const { return transport_.get(); }
    // The system's descriptor of the open port (-1 when closed, lost, or not a system port).
    // Read from any thread: the laser-off command of the program's last resorts (a stop
    // signal, a crash, Quit while the station does not answer) goes straight to it.
    int descripteurPort() const { return descripteur_.load(); }
    // The port has gone away: its descriptor is no longer the program's to write to.
    void oubliedescripteur() { descripteur_.store(-1); }

private:
    EtatPartage& etat_;
    FabriqueTransport fabrique_;
    std::unique_ptr<Transport> transport_;
    // How the device open is opened again (empty: by its number), and its name.
    std::function<OuverturePort()> rouvre_;
    QString attendu_;
    bool ouvre(OuverturePort ouverture, QString* erreur);
    int longueurlecture_ = 0;
    NiveauLaser niveauLaser_ = NiveauLaser::inconnu;
    Echantillonneur echantillonneur_;
    // The last bytes written end inside a command text (no terminator yet).
    bool commandeouverte_ = false;
    std::atomic<int> descripteur_{-1};
};

// The messages of an interface that does not answer the tick, in French; `port` names it
// ("COM 2 (/dev/ttyUSB0)").
QString messageinterfacemuette(const QString& port);
QString messageinterfaceincomprehensible(const QString& port);
