// The about box: the program's name, its logo and its version. It has no buttons; the user
// closes it with the window's close button.
#pragma once

#include <QDialog>

class QLabel;

namespace tw::shell {

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* parent = nullptr);

    // "Ver " and the major, minor and revision numbers of a version text such as "1.2.15".
    static QString VersionCaption(const QString& version);

    QLabel* lblName;
    QLabel* imgLogo;
    QLabel* lblVersion;
};

}  // namespace tw::shell
