#include "console/shell/taboutform.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace quorvel {

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("关于Quorvel"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(QPixmap(QStringLiteral(":/shell/about.png")));

    auto* product = new QLabel(QStringLiteral("[Lumacast]"), this);
    product->setObjectName(QStringLiteral("Label1"));
    QFont bold = product->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    product->setFont(bold);
    auto* version = new QLabel(QStringLiteral("版本: 2.0"), this);
    version->setObjectName(QStringLiteral("Label2"));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 2, 1);
    layout->addWidget(product, 0, 1, Qt::AlignBottom);
    layout->addWidget(version, 1, 1, Qt::AlignTop);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setColumnMinimumWidth(1, 180);
    layout->setHorizontalSpacing(18);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), sizeHint());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

} // namespace quorvel
