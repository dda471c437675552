#pragma once

#include "app/ApplicationIdentity.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The About box: the logo, product name, description, version and company. Modeless and
// without a parent window; OK, Enter and Esc close it, and closing it discards it.
class frmAbout : public QDialog {
public:
    explicit frmAbout(const ApplicationIdentity& identity);

    QLabel* Image1 = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCompany = nullptr;
    QPushButton* cmdOK = nullptr;

private:
    void buildControls();
    void Form_Load(const ApplicationIdentity& identity);
};
