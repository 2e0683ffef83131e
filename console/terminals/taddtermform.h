#pragma once

#include "console/terminals/termitem.h"

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace quorvel {

// The dialog that adds a terminal, and, titled "终端属性", edits one. It
// closes with OK only when CheckInput accepts what was entered.
class TAddTermForm : public QDialog {
    Q_OBJECT
public:
    explicit TAddTermForm(QWidget* parent = nullptr);

    // Fills the dialog from a record for editing: the ID cannot be changed.
    void setItem(const TermItem& item);
    // After a successful check: the trimmed ID, the address without blanks,
    // the twelve digits of the physical address.
    const QStringList& Values() const { return m_values; }
    // The record the dialog describes (Online and Status left offline).
    TermItem item() const;

    bool CheckInput();

protected:
    void done(int result) override;

private:
    QLineEdit* Edit1;
    QSpinBox* SpinEdit1;
    QLineEdit* meIP;
    QLineEdit* meMac;
    QLineEdit* Edit2;
    QPlainTextEdit* Memo1;
    QStringList m_values;
};

} // namespace quorvel
