#include "frmAbout.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVersionNumber>

namespace tw::shell {

namespace {
// The program's logo: a small week grid with a few coloured lessons.
QPixmap DrawLogo() {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setPen(QColor(0, 0, 160));
    const QColor fills[] = {QColor(128, 255, 255), QColor(255, 255, 128), QColor(192, 192, 192)};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const QRect cell(6 + c * 13, 6 + r * 13, 12, 12);
            if ((r + c) % 2 == 0) p.fillRect(cell, fills[(r + c) / 2 % 3]);
            p.drawRect(cell);
        }
    }
    return pixmap;
}
}  // namespace

QString frmAbout::VersionCaption(const QString& version) {
    const QVersionNumber v = QVersionNumber::fromString(version);
    return QStringLiteral("Ver %1.%2.%3")
        .arg(v.majorVersion())
        .arg(v.minorVersion())
        .arg(v.microVersion());
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于"));
    lblName = new QLabel(QStringLiteral("Korvel排课软件"), this);
    lblName->setObjectName(QStringLiteral("lblName"));
    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(DrawLogo());
    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setText(VersionCaption(QStringLiteral(TW_VERSION)));

    auto* layout = new QGridLayout(this);
    layout->addWidget(imgLogo, 0, 0, 2, 1);
    layout->addWidget(lblName, 0, 1);
    layout->addWidget(lblVersion, 1, 1);
}

}  // namespace tw::shell
