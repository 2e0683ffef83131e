#include "console/terminals/taddtermform.h"

#include "console/common/prompts.h"
#include "console/terminals/macaddress.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

namespace quorvel {
namespace {

// Masked entry fields show unfilled places as blanks.
QString StripBlanks(const QString& text)
{
    QString stripped = text;
    stripped.remove(u' ');
    stripped.remove(u'\t');
    return stripped;
}

QString macDigitsOf(const QLineEdit* edit)
{
    QString text = edit->text();
    text.remove(u'-');
    return StripBlanks(text);
}

} // namespace

TAddTermForm::TAddTermForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AddTermForm"));
    setWindowTitle(QStringLiteral("添加终端"));

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    meIP = new QLineEdit(this);
    meIP->setObjectName(QStringLiteral("meIP"));
    meIP->setInputMask(QStringLiteral("000.000.000.000; "));
    meIP->setText(QStringLiteral("0.0.0.0"));
    meMac = new QLineEdit(this);
    meMac->setObjectName(QStringLiteral("meMac"));
    meMac->setInputMask(QStringLiteral("nn-nn-nn-nn-nn-nn; "));
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("编号（ID）："), Edit1);
    form->addRow(QStringLiteral("组号："), SpinEdit1);
    form->addRow(QStringLiteral("IP地址："), meIP);
    form->addRow(QStringLiteral("物理地址："), meMac);
    form->addRow(QStringLiteral("显示屏位置："), Edit2);
    form->addRow(QStringLiteral("备注："), Memo1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Button2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void TAddTermForm::setItem(const TermItem& item)
{
    Edit1->setText(item.ID);
    Edit1->setEnabled(false);
    meIP->setText(item.IP);
    meMac->setText(item.MAC.digits());
    SpinEdit1->setValue(item.Group);
    Edit2->setText(item.Position);
    Memo1->setPlainText(item.Note);
}

TermItem TAddTermForm::item() const
{
    TermItem item;
    item.ID = m_values.value(0);
    item.IP = m_values.value(1);
    item.MAC = MacAddress::fromDigits(m_values.value(2));
    item.Group = SpinEdit1->value();
    item.Position = Edit2->text();
    item.Note = Memo1->toPlainText();
    return item;
}

bool TAddTermForm::CheckInput()
{
    m_values.clear();
    const QString id = Edit1->text().trimmed();
    if (id.isEmpty()) {
        prompts::warning(this, windowTitle(), QStringLiteral("ID号不能为空！"));
        return false;
    }
    const QString ip = StripBlanks(meIP->text());
    if (!std::any_of(ip.cbegin(), ip.cend(), [](QChar c) { return c.isDigit(); })) {
        prompts::warning(this, windowTitle(), QStringLiteral("IP地址不能为空！"));
        return false;
    }
    const QString mac = macDigitsOf(meMac);
    if (mac.size() != 12 || !MacAddress::fromText(mac)) {
        prompts::warning(this, windowTitle(), QStringLiteral("无效的物理地址！"));
        return false;
    }
    m_values = {id, ip, mac};
    return true;
}

void TAddTermForm::done(int result)
{
    if (result != QDialog::Rejected && !CheckInput())
        return;
    QDialog::done(result);
}

} // namespace quorvel
