#pragma once

#include <QPushButton>

// A push button whose caption wraps onto several lines, as the captions of the main
// form's buttons do; the "&" mnemonic keeps working.
class BoutonMultiligne : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* evenement) override;
};
