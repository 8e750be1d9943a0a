#pragma once

#include <QEvent>
#include <QObject>
#include <functional>
#include <utility>

// Runs an action once, when the watched widget is first shown: for the main form, that
// is the entry of the idle loop, start-up done.
class GuetteAffichage final : public QObject {
public:
    explicit GuetteAffichage(std::function<void()> action) : action_(std::move(action)) {}

    bool eventFilter(QObject* objet, QEvent* evenement) override {
        if (evenement->type() == QEvent::Show && action_)
            std::exchange(action_, nullptr)();
        return QObject::eventFilter(objet, evenement);
    }

private:
    std::function<void()> action_;
};
