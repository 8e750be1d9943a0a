#include "stationessai.h"

StationEssai::StationEssai()
    : station(plateforme, dialogues, [this](int numport) {
          portdemande = numport;
          OuverturePort ouverture;
          if (!erreurouverture.isEmpty()) {
              ouverture.erreur = erreurouverture;
              return ouverture;
          }
          auto t = std::make_unique<TransportMemoire>([this] { return plateforme.maintenant(); });
          transport = t.get();
          t->setRepondeur([this](const QByteArray& octets) {
              if (octets == "XEA 0\r")
                  transport->recoit(lecture() + '\r');
              else if (octets.startsWith('\0'))
                  laserallume = true;
              else if (octets.startsWith(' '))
                  laserallume = false;
          });
          ouverture.transport = std::move(t);
          ouverture.attendu = peripheriqueattendu;
          return ouverture;
      }) {}
