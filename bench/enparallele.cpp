#include "bench/enparallele.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTextStream>
#include <functional>

std::vector<std::optional<QByteArray>> lanceenparallele(const std::vector<QStringList>& arguments,
                                                        int processus) {
    QTextStream erreurs(stderr);
    std::vector<std::optional<QByteArray>> sorties(arguments.size());
    size_t suivante = 0;
    int actifs = 0;
    size_t terminees = 0;
    QEventLoop boucle;
    const auto termine = [&] {
        erreurs << QStringLiteral("\r%1/%2").arg(++terminees).arg(arguments.size());
        erreurs.flush();
    };
    std::function<void()> lance = [&] {
        while (actifs < processus && suivante < arguments.size()) {
            const size_t n = suivante++;
            auto* enfant = new QProcess;
            ++actifs;
            QObject::connect(enfant, &QProcess::finished, enfant,
                             [&, enfant, n](int code, QProcess::ExitStatus statut) {
                                 if (statut == QProcess::NormalExit && code == 0)
                                     sorties[n] = enfant->readAllStandardOutput();
                                 else
                                     erreurs << "\n"
                                             << arguments[n].join(u' ') << " : échec\n"
                                             << QString::fromUtf8(enfant->readAllStandardError());
                                 enfant->deleteLater();
                                 --actifs;
                                 termine();
                                 lance();
                             });
            enfant->start(QCoreApplication::applicationFilePath(), arguments[n]);
            if (!enfant->waitForStarted()) {
                erreurs << "\nimpossible de lancer " << arguments[n].join(u' ') << "\n";
                enfant->deleteLater();
                --actifs;
                termine();
            }
        }
        if (terminees == arguments.size())
            boucle.quit();
    };
    lance();
    if (terminees < arguments.size())
        boucle.exec();
    erreurs << "\n";
    return sorties;
}
