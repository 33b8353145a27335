// The short usage steps shown from the help menu: one label with a fixed text.
#pragma once

#include <QDialog>

class QLabel;

namespace tw::shell {

class frmSimpleManual : public QDialog {
    Q_OBJECT
  public:
    explicit frmSimpleManual(QWidget* parent = nullptr);

    // The label's lines, in order.
    static QStringList Lines();

    QLabel* Label1;
};

}  // namespace tw::shell
