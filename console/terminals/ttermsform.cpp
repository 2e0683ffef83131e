#include "console/terminals/ttermsform.h"

#include "console/common/prompts.h"
#include "console/terminals/clientoptions.h"
#include "console/terminals/gridlinedelegate.h"
#include "console/terminals/pauseguard.h"
#include "console/terminals/taddtermform.h"
#include "console/terminals/termicons.h"
#include "console/terminals/termlistfile.h"
#include "core/profilefile.h"

#include <QAction>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quorvel {
namespace {

const QString Caption = QStringLiteral("终端列表");

enum Column { IdColumn, IpColumn, MacColumn, GroupColumn, StatusColumn, PositionColumn };

struct ActionText {
    int number;
    const char* category;
    const char* caption;
    const char* hint;
};

constexpr ActionText ActionTexts[] = {
    {1, "终端", "添加终端", "加入一个受控的终端并输入终端信息"},
    {2, "终端", "选择", "按一定的条件选定下面要操控的终端"},
    {4, "控制", "终端文件管理", "直接编辑删除选定终端的文件存储"},
    {5, "控制", "上传模板", "上传播放模板到选定的终端控制器"},
    {6, "控制", "执行播放计划", "命令终端控制器开始执行播放计划"},
    {7, "控制", "停止播放", "命令终端控制器停止播放和执行播放计划"},
    {8, "终端", "移除终端", "将选定的终端从受控列表里删除"},
    {9, "控制", "开机...", "控制选定的终端开机启动"},
    {10, "控制", "关机...", "控制选定的终端关机"},
    {11, "控制", "指定播放计划", "为选定的终端指定播放计划"},
    {12, "终端", "属性", "编辑修改选定终端的属性"},
    {13, "终端", "刷新", "手动刷新终端状态显示"},
    {14, "控制", "校正时钟", ""},
    {15, "控制", "按模板播放", "命令终端控制器按指定的模板播放"},
    {16, "控制", "播放通知", "播放紧急通知"},
    {17, "控制", "滚动字幕", "发送滚动字幕"},
};

// 0 stands for a separator.
constexpr int TerminalMenuItems[] = {1, 8, 2, 0, 13};
constexpr int ControlMenuItems[] = {5, 4, 11, 0, 15, 6, 7, 0, 14, 9, 10, 0, 16, 17};
constexpr int PopupMenuItems[] = {1, 8, 12, 0, 2, 0, 5, 4, 11, 0, 14, 9, 10, 0, 15, 6, 7, 0, 16, 17};

} // namespace

TTermsForm::TTermsForm(const ConsoleSettings& settings, PowerTaskList& powerTasks, QWidget* parent)
    : QWidget(parent),
      m_settings(settings),
      m_powerTasks(powerTasks),
      m_client(ClientOptions::load(settings.settingsPath, settings.repositoryPath))
{
    setObjectName(QStringLiteral("TermsForm"));
    setWindowTitle(Caption);
    setAttribute(Qt::WA_DeleteOnClose);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setSortingEnabled(false);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setItemDelegate(new GridLineDelegate(ListView1));
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    ListView1->setHeaderLabels({QStringLiteral("终端ID"), QStringLiteral("IP地址"),
                                QStringLiteral("物理地址"), QStringLiteral("组号"),
                                QStringLiteral("状态"), QStringLiteral("安装位置")});
    const int widths[] = {70, 140, 140, 60, 100, 150};
    for (int column = IdColumn; column <= PositionColumn; ++column) {
        ListView1->setColumnWidth(column, widths[column]);
        if (column != IdColumn)
            ListView1->headerItem()->setTextAlignment(column, Qt::AlignCenter);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ListView1);

    createActions();
    createMenus();

    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &TTermsForm::ListView1SelectItem);
    connect(ListView1, &QAbstractItemView::clicked, this, &TTermsForm::ListView1Click);
    connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        UpdateActions();
        PopupMenu1->popup(ListView1->viewport()->mapToGlobal(at));
    });

    m_statusThread = std::make_unique<TCheckStatusThread>(m_termList, m_powerTasks, m_client, ListView1);
    FormCreate();
}

TTermsForm::~TTermsForm()
{
    // The monitor may be in a pass: it is stopped and waited for before the
    // list it walks is saved and released.
    m_closing = true;
    ListView1->clear();
    m_statusThread->stopAndWait();
    saveTermList();
}

void TTermsForm::createActions()
{
    for (const ActionText& text : ActionTexts) {
        auto* action = new QAction(QString::fromUtf8(text.caption), this);
        action->setObjectName(QStringLiteral("Action%1").arg(text.number));
        action->setProperty("category", QString::fromUtf8(text.category));
        const QString hint = QString::fromUtf8(text.hint);
        action->setStatusTip(hint);
        action->setToolTip(hint.isEmpty() ? action->text() : hint);
        m_actions[size_t(text.number)] = action;
    }
    connect(m_actions[1], &QAction::triggered, this, &TTermsForm::Action1Execute);
    connect(m_actions[2], &QAction::triggered, this, &TTermsForm::Action2Execute);
    connect(m_actions[8], &QAction::triggered, this, &TTermsForm::Action8Execute);
    connect(m_actions[12], &QAction::triggered, this, &TTermsForm::Action12Execute);
    connect(m_actions[13], &QAction::triggered, this, &TTermsForm::Action13Execute);
}

void TTermsForm::createMenus()
{
    auto fill = [this](QMenu* menu, const auto& items) {
        for (int number : items) {
            if (number == 0)
                menu->addSeparator();
            else
                menu->addAction(m_actions[size_t(number)]);
        }
        connect(menu, &QMenu::aboutToShow, this, &TTermsForm::UpdateActions);
    };
    m_terminalMenu = new QMenu(QStringLiteral("终端"), this);
    m_terminalMenu->setObjectName(QStringLiteral("TerminalMenu"));
    fill(m_terminalMenu, TerminalMenuItems);
    m_controlMenu = new QMenu(QStringLiteral("控制"), this);
    m_controlMenu->setObjectName(QStringLiteral("ControlMenu"));
    fill(m_controlMenu, ControlMenuItems);
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    fill(PopupMenu1, PopupMenuItems);
}

QList<MenuGroup> TTermsForm::mergedMenus() const
{
    return {{1, m_terminalMenu}, {2, m_controlMenu}};
}

QAction* TTermsForm::action(int number) const
{
    if (number < 0 || size_t(number) >= m_actions.size())
        return nullptr;
    return m_actions[size_t(number)];
}

void TTermsForm::FormCreate()
{
    const ProfileFile ini(m_settings.settingsPath);
    for (const TermItem& item : TermListFile::load(ini))
        m_termList.append(item);
    // The first statuses, asked of all terminals at once; there are no rows
    // yet to show them in.
    m_statusThread->CheckAll();
    FillListView();
    UpdateActions();
}

void TTermsForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TTermsForm::FormShow()
{
    if (auto* window = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        if (QMdiArea* area = window->mdiArea())
            window->resize(area->viewport()->width() - 4, area->viewport()->height() - 24);
        connect(window, &QMdiSubWindow::windowStateChanged, this,
                [this](Qt::WindowStates, Qt::WindowStates now) {
                    if (now.testFlag(Qt::WindowActive))
                        FormActivate();
                });
    }
    m_statusThread->start(QThread::LowestPriority);
}

void TTermsForm::FormActivate()
{
    // The frame itself keeps its template actions current as children come
    // and go; what is left here is this window's own.
    UpdateActions();
}

void TTermsForm::ListView1Click()
{
    UpdateActions();
}

void TTermsForm::ListView1SelectItem()
{
    UpdateActions();
}

void TTermsForm::fillRow(QTreeWidgetItem* row, const TermItem& item) const
{
    row->setText(IdColumn, item.ID);
    row->setText(IpColumn, item.IP);
    row->setText(MacColumn, item.MAC.withDashes());
    row->setText(GroupColumn, QString::number(item.Group));
    row->setText(StatusColumn, StatusText(item.Status));
    row->setText(PositionColumn, item.Position);
    for (int column = IpColumn; column <= PositionColumn; ++column)
        row->setTextAlignment(column, Qt::AlignCenter);
    row->setIcon(IdColumn, TermIcons::forOnline(item.Online));
}

void TTermsForm::FillListView()
{
    ListView1->clear();
    QList<QTreeWidgetItem*> rows;
    for (const TermItem& item : m_termList.items()) {
        auto* row = new QTreeWidgetItem;
        fillRow(row, item);
        rows.append(row);
    }
    ListView1->addTopLevelItems(rows);
}

std::vector<TermList::Key> TTermsForm::selectedKeys() const
{
    std::vector<TermList::Key> keys;
    const std::vector<TermList::Key> all = m_termList.keys();
    const int rows = ListView1->topLevelItemCount();
    for (int row = 0; row < rows && size_t(row) < all.size(); ++row)
        if (ListView1->topLevelItem(row)->isSelected())
            keys.push_back(all[size_t(row)]);
    return keys;
}

std::vector<TermItem> TTermsForm::selectedItems() const
{
    std::vector<TermItem> items;
    for (TermList::Key key : selectedKeys())
        if (std::optional<TermItem> item = m_termList.item(key))
            items.push_back(*item);
    return items;
}

bool TTermsForm::AllSelectedIdle() const
{
    const std::vector<TermItem> items = selectedItems();
    return std::all_of(items.begin(), items.end(), [](const TermItem& item) {
        return item.Online && item.Status == TermStatus::Stopped;
    });
}

bool TTermsForm::AllSelectedPlaying() const
{
    const std::vector<TermItem> items = selectedItems();
    return std::all_of(items.begin(), items.end(), [](const TermItem& item) {
        return item.Online && item.Status == TermStatus::Playing;
    });
}

bool TTermsForm::AllSelectedOnline() const
{
    const std::vector<TermItem> items = selectedItems();
    return std::all_of(items.begin(), items.end(), [](const TermItem& item) { return item.Online; });
}

void TTermsForm::UpdateActions()
{
    const size_t selected = selectedKeys().size();
    for (int always : {1, 2, 12, 13})
        m_actions[size_t(always)]->setEnabled(true);
    auto set = [this](std::initializer_list<int> numbers, bool enabled) {
        for (int number : numbers)
            m_actions[size_t(number)]->setEnabled(enabled);
    };
    if (selected == 0) {
        set({4, 5, 6, 7, 8, 9, 10, 11, 14, 15, 16, 17}, false);
        return;
    }
    const bool one = selected == 1;
    const bool idle = AllSelectedIdle();
    const bool playing = AllSelectedPlaying();
    const bool online = AllSelectedOnline();
    set({4, 11}, one && idle);
    set({5, 6, 14}, idle);
    set({7}, playing);
    set({8, 9}, !online);
    set({10, 15, 16, 17}, online);
}

void TTermsForm::queryStatus(TermItem& item) const
{
    const CommandResult result = m_client.HelloTerm(item.IP);
    item.setHelloReply(result.succeeded(), result.reply);
}

void TTermsForm::saveTermList()
{
    QString error;
    if (TermListFile::save(m_settings.settingsPath, m_termList.items(), &error)) {
        m_lastSaveError.clear();
        return;
    }
    m_lastSaveError = error;
    // Not while the window goes: there is nobody left to answer a box.
    if (!m_closing)
        prompts::error(this, Caption, QStringLiteral("终端列表无法保存到 %1：%2")
                                          .arg(m_settings.settingsPath, error));
    else
        qWarning("%s", qPrintable(QStringLiteral("终端列表无法保存到 %1：%2")
                                      .arg(m_settings.settingsPath, error)));
}

void TTermsForm::Action1Execute()
{
    TAddTermForm dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    TermItem item = dialog.item();
    queryStatus(item);
    m_termList.append(item);
    FillListView();
    saveTermList();
}

void TTermsForm::Action2Execute()
{
    const std::optional<QString> answer =
        prompts::inputText(this, Caption, QStringLiteral("请输入组号："), QString());
    if (!answer)
        return;
    int group = 0;
    if (!ProfileFile::parseInteger(answer->trimmed(), &group)) {
        prompts::error(this, Caption, QStringLiteral("“%1”不是有效的整数。").arg(*answer));
        return;
    }
    const std::vector<TermItem> items = m_termList.items();
    const int rows = ListView1->topLevelItemCount();
    for (int row = 0; row < rows && size_t(row) < items.size(); ++row)
        if (items[size_t(row)].Group == group)
            ListView1->topLevelItem(row)->setSelected(true);
}

void TTermsForm::Action8Execute()
{
    bool removed = false;
    for (TermList::Key key : selectedKeys()) {
        const std::optional<TermItem> item = m_termList.item(key);
        if (!item)
            continue;
        if (prompts::askYesNo(this, Caption,
                              QStringLiteral("是否确定移除ID为%1的终端？").arg(item->ID)))
            removed = m_termList.removeKey(key) || removed;
    }
    FillListView();
    if (removed)
        saveTermList();
}

void TTermsForm::Action12Execute()
{
    const std::vector<TermList::Key> keys = selectedKeys();
    if (keys.empty())
        return;
    const TermList::Key key = keys.front();
    const std::optional<TermItem> item = m_termList.item(key);
    if (!item)
        return;
    TAddTermForm dialog(this);
    dialog.setWindowTitle(QStringLiteral("终端属性"));
    dialog.setItem(*item);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!m_termList.updateFields(key, dialog.item()))
        return;
    const int row = m_termList.indexOf(key);
    const std::optional<TermItem> updated = m_termList.item(key);
    if (updated && row >= 0 && row < ListView1->topLevelItemCount())
        fillRow(ListView1->topLevelItem(row), *updated);
    saveTermList();
}

void TTermsForm::Action13Execute()
{
    const PauseGuard pause(*m_statusThread);
    m_statusThread->CheckAll();
}

} // namespace quorvel
