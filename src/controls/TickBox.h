#pragma once

#include <QCheckBox>

// A tick box with a numeric Value: 0 unticked, 1 ticked, 2 greyed.
class TickBox : public QCheckBox {
public:
    explicit TickBox(QWidget* parent = nullptr);

    int Value() const;
    // Throws AppError (invalid argument) for any other number, before changing anything.
    void setValue(int value);

protected:
    // Greyed is a state the program sets; a click always leaves it for ticked or unticked.
    void nextCheckState() override;
};
