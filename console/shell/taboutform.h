#pragma once

#include <QDialog>

namespace quorvel {

// "关于Quorvel": the picture, the product line and the version.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);
};

} // namespace quorvel
