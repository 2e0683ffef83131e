// The terminal list window against real agents on loopback addresses, with
// its settings file in a temporary folder.

#include "console/terminals/taddtermform.h"
#include "console/terminals/termicons.h"
#include "console/terminals/ttermsform.h"
#include "core/profilefile.h"
#include "core/textcodec.h"
#include "tests/terminals/fakeagent.h"
#include "tests/terminals/loopbackagent.h"
#include "tests/terminals/promptscript.h"
#include "tests/terminals/testfiles.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QUdpSocket>
#include <functional>
#include <set>

namespace quorvel::test {
namespace {

// Runs `fill` on the next modal dialog once it is shown; `fill` closes it.
void onNextModal(std::function<void(QDialog*)> fill)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, fill] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            fill(dialog);
        }
    });
    timer->start();
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs = 10000)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

QString section(int index, const QString& body)
{
    return QStringLiteral("[Term_%1]\r\n%2").arg(index).arg(body);
}

QString entry(const QString& id, const QString& ip, const QString& mac, int group,
              const QString& position = {}, const QString& note = {})
{
    return QStringLiteral("ID=%1\r\nIP=%2\r\nMAC=%3\r\nGROUP=%4\r\nPOSITION=%5\r\nNOTE=%6\r\n")
        .arg(id, ip, mac)
        .arg(group)
        .arg(position, note);
}

class TermsFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        m_stopped = std::make_unique<LoopbackAgent>(QStringLiteral("127.0.0.2"), 0, &error);
        ASSERT_NE(m_stopped->port(), 0) << error.toStdString();
        m_playing = std::make_unique<LoopbackAgent>(QStringLiteral("127.0.0.3"), m_stopped->port(), &error);
        ASSERT_NE(m_playing->port(), 0) << error.toStdString();
        m_playing->host().setStatus("WKG");
        ASSERT_TRUE(m_wake.bind(QHostAddress::AnyIPv4, 0));
    }

    QString iniPath() const { return m_dir.path() + QStringLiteral("/quorvel.ini"); }
    // The settings file: the console's own sections, then `terminals`.
    void writeIni(const QString& terminals)
    {
        writeFile(iniPath(),
                  toGb18030(QStringLiteral("[Repositories]\r\npath=%1/repo\r\n[Network]\r\nPort=%2\r\n"
                                           "ReplyTimeout=3\r\nWakePort=%3\r\n")
                                .arg(m_dir.path())
                                .arg(m_stopped->port())
                                .arg(m_wake.localPort()) +
                            terminals));
    }
    // Three terminals: stopped, playing, offline.
    void writeThree()
    {
        writeIni(section(0, entry("S1", "127.0.0.2", "00E04C000001", 1, "大厅")) +
                 section(1, entry("P1", "127.0.0.3", "00E04C000002", 2, "门口")) +
                 section(2, entry("X1", "127.0.0.9", "00E04C000003", 2, "仓库")));
    }
    std::unique_ptr<TTermsForm> makeForm()
    {
        m_settings = ConsoleSettings::load(m_dir.path());
        return std::make_unique<TTermsForm>(m_settings, m_powerTasks);
    }
    static QStringList column(const TTermsForm& form, int column)
    {
        QStringList texts;
        for (int row = 0; row < form.listView()->topLevelItemCount(); ++row)
            texts << form.listView()->topLevelItem(row)->text(column);
        return texts;
    }
    static void select(TTermsForm& form, std::initializer_list<int> rows)
    {
        form.listView()->clearSelection();
        for (int row : rows)
            form.listView()->topLevelItem(row)->setSelected(true);
    }
    static std::set<int> enabledActions(const TTermsForm& form)
    {
        std::set<int> enabled;
        for (int number = 1; number <= 17; ++number)
            if (QAction* action = form.action(number); action && action->isEnabled())
                enabled.insert(number);
        return enabled;
    }
    ProfileFile savedIni() const { return ProfileFile(iniPath()); }

    QTemporaryDir m_dir;
    std::unique_ptr<LoopbackAgent> m_stopped;
    std::unique_ptr<LoopbackAgent> m_playing;
    QUdpSocket m_wake;
    ConsoleSettings m_settings;
    PowerTaskList m_powerTasks;
};

TEST_F(TermsFormTest, LoadsUpToTheFirstMissingSectionAndShowsStatuses)
{
    writeIni(section(0, entry("S1", "127.0.0.2", "00e04c6812ab", 7, "大厅东侧")) +
             section(1, entry("P1", "127.0.0.3", "001122334455", -3)) +
             section(3, entry("LOST", "127.0.0.2", "000000000000", 0)));
    const auto form = makeForm();

    EXPECT_EQ(form->windowTitle(), QStringLiteral("终端列表"));
    ASSERT_EQ(form->listView()->topLevelItemCount(), 2);
    EXPECT_EQ(column(*form, 0), (QStringList{"S1", "P1"}));
    EXPECT_EQ(column(*form, 1), (QStringList{"127.0.0.2", "127.0.0.3"}));
    EXPECT_EQ(column(*form, 2), (QStringList{"00-E0-4C-68-12-AB", "00-11-22-33-44-55"}));
    EXPECT_EQ(column(*form, 3), (QStringList{"7", "-3"}));
    EXPECT_EQ(column(*form, 4), (QStringList{"停止", "播放"}));
    EXPECT_EQ(column(*form, 5), (QStringList{"大厅东侧", ""}));
    const QTreeWidgetItem* header = form->listView()->headerItem();
    QStringList headers;
    for (int c = 0; c < header->columnCount(); ++c)
        headers << header->text(c);
    EXPECT_EQ(headers, (QStringList{"终端ID", "IP地址", "物理地址", "组号", "状态", "安装位置"}));
    EXPECT_EQ(form->listView()->topLevelItem(0)->icon(0).cacheKey(), TermIcons::online().cacheKey());
}

TEST_F(TermsFormTest, SectionWithOnlyAnAddressTakesTheDefaults)
{
    QString sections;
    for (int n = 0; n < 7; ++n)
        sections += section(n, entry(QStringLiteral("T%1").arg(n), "127.0.0.9", "000000000001", n));
    sections += section(7, QStringLiteral("IP=127.0.0.9\r\n"));
    writeIni(sections);
    const auto form = makeForm();

    ASSERT_EQ(form->termList().size(), 8);
    const TermItem item = *form->termList().itemAt(7);
    EXPECT_EQ(item.ID, QStringLiteral("007"));
    EXPECT_EQ(item.IP, QStringLiteral("127.0.0.9"));
    EXPECT_EQ(item.MAC, MacAddress());
    EXPECT_EQ(item.Group, 0);
    EXPECT_TRUE(item.Position.isEmpty());
    EXPECT_TRUE(item.Note.isEmpty());
    EXPECT_FALSE(item.Online);
    const QTreeWidgetItem* row = form->listView()->topLevelItem(7);
    EXPECT_EQ(row->text(2), QStringLiteral("00-00-00-00-00-00"));
    EXPECT_EQ(row->text(4), QStringLiteral("--"));
    EXPECT_EQ(row->icon(0).cacheKey(), TermIcons::offline().cacheKey());
}

TEST_F(TermsFormTest, NoSettingsFileGivesAnEmptyList)
{
    const auto form = makeForm();
    EXPECT_EQ(form->listView()->topLevelItemCount(), 0);
}

TEST_F(TermsFormTest, ActionsFollowTheSelection)
{
    writeThree();
    const auto form = makeForm();
    // Rows: 0 stopped, 1 playing, 2 offline.
    struct Case {
        const char* name;
        std::initializer_list<int> rows;
        std::set<int> enabled;
    };
    const std::set<int> always{1, 2, 12, 13};
    auto with = [&](std::initializer_list<int> more) {
        std::set<int> all = always;
        all.insert(more);
        return all;
    };
    const Case cases[] = {
        {"nothing", {}, always},
        {"one stopped", {0}, with({4, 5, 6, 11, 14, 10, 15, 16, 17})},
        {"one playing", {1}, with({7, 10, 15, 16, 17})},
        {"one offline", {2}, with({8, 9})},
        {"stopped and playing", {0, 1}, with({10, 15, 16, 17})},
        {"two stopped rows are not here; stopped and offline", {0, 2}, with({8, 9})},
    };
    for (const Case& c : cases) {
        select(*form, c.rows);
        form->UpdateActions();
        EXPECT_EQ(enabledActions(*form), c.enabled) << c.name;
    }
}

TEST_F(TermsFormTest, TwoStoppedTerminalsMayBeUploadedToButNotManagedTogether)
{
    writeIni(section(0, entry("A", "127.0.0.2", "000000000001", 0)) +
             section(1, entry("B", "127.0.0.2", "000000000002", 0)));
    const auto form = makeForm();
    select(*form, {0, 1});
    form->UpdateActions();
    EXPECT_EQ(enabledActions(*form), (std::set<int>{1, 2, 5, 6, 10, 12, 13, 14, 15, 16, 17}));
}

TEST_F(TermsFormTest, ActionsMenusAndPopup)
{
    const auto form = makeForm();
    struct Expected {
        int number;
        const char* category;
        const char* caption;
        const char* hint;
    };
    const Expected expected[] = {
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
    EXPECT_EQ(form->action(3), nullptr);
    for (const Expected& e : expected) {
        const QAction* action = form->action(e.number);
        ASSERT_NE(action, nullptr) << e.number;
        EXPECT_EQ(action->objectName(), QStringLiteral("Action%1").arg(e.number));
        EXPECT_EQ(action->text(), QString::fromUtf8(e.caption)) << e.number;
        EXPECT_EQ(action->statusTip(), QString::fromUtf8(e.hint)) << e.number;
        EXPECT_EQ(action->property("category").toString(), QString::fromUtf8(e.category)) << e.number;
    }

    auto items = [](const QMenu* menu) {
        QStringList names;
        for (const QAction* action : menu->actions())
            names << (action->isSeparator() ? QStringLiteral("-") : action->objectName().mid(6));
        return names.join(u' ');
    };
    const QList<MenuGroup> menus = form->mergedMenus();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0].group, 1);
    EXPECT_EQ(menus[0].menu->title(), QStringLiteral("终端"));
    EXPECT_EQ(items(menus[0].menu), QStringLiteral("1 8 2 - 13"));
    EXPECT_EQ(menus[1].group, 2);
    EXPECT_EQ(menus[1].menu->title(), QStringLiteral("控制"));
    EXPECT_EQ(items(menus[1].menu), QStringLiteral("5 4 11 - 15 6 7 - 14 9 10 - 16 17"));
    EXPECT_EQ(items(form->popupMenu()), QStringLiteral("1 8 12 - 2 - 5 4 11 - 14 9 10 - 15 6 7 - 16 17"));
}

TEST_F(TermsFormTest, CheckInputRefusesWithItsThreeMessages)
{
    PromptScript prompts;
    TAddTermForm dialog;
    auto* id = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"));
    auto* ip = dialog.findChild<QLineEdit*>(QStringLiteral("meIP"));
    auto* mac = dialog.findChild<QLineEdit*>(QStringLiteral("meMac"));
    ASSERT_TRUE(id && ip && mac);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("添加终端"));
    EXPECT_EQ(QString(ip->text()).remove(u' '), QStringLiteral("0.0.0.0"));

    struct Case {
        QString id, ip, mac;
        QString message; // empty: accepted
    };
    const Case cases[] = {
        {"  ", "10.0.0.5", "00E04C6812AB", "ID号不能为空！"},
        {"A1", "", "00E04C6812AB", "IP地址不能为空！"},
        {"A1", "10.0.0.5", "", "无效的物理地址！"},
        {"A1", "10.0.0.5", "00E04C6812", "无效的物理地址！"},
        {"A1", "10.0.0.5", "00E04C6812XY", "无效的物理地址！"},
        {" A1 ", "10.0.0.5", "00e04c6812ab", ""},
    };
    for (const Case& c : cases) {
        prompts.forget();
        id->setText(c.id);
        ip->setText(c.ip);
        mac->setText(c.mac);
        const bool accepted = dialog.CheckInput();
        EXPECT_EQ(accepted, c.message.isEmpty()) << c.message.toStdString();
        if (accepted) {
            EXPECT_TRUE(prompts.asked().isEmpty());
            EXPECT_EQ(dialog.Values(), (QStringList{"A1", "10.0.0.5", "00e04c6812ab"}));
        } else {
            EXPECT_EQ(prompts.texts(), QStringList{c.message});
            EXPECT_TRUE(dialog.Values().isEmpty());
        }
    }

    // Refused: the dialog stays open.
    mac->setText(QString());
    dialog.open();
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    dialog.reject();
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(TermsFormTest, AddedTerminalIsQueriedShownAndSaved)
{
    writeThree();
    const auto form = makeForm();
    onNextModal([](QDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral(" 新终端 "));
        dialog->findChild<QLineEdit*>(QStringLiteral("meIP"))->setText(QStringLiteral("127.0.0.3"));
        dialog->findChild<QLineEdit*>(QStringLiteral("meMac"))->setText(QStringLiteral("0a1b2c3d4e5f"));
        dialog->findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->setValue(9);
        dialog->findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(QStringLiteral("二楼"));
        dialog->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->setPlainText(QStringLiteral("第一行\n第二行"));
        dialog->accept();
    });
    form->Action1Execute();

    ASSERT_EQ(form->listView()->topLevelItemCount(), 4);
    const QTreeWidgetItem* row = form->listView()->topLevelItem(3);
    EXPECT_EQ(row->text(0), QStringLiteral("新终端"));
    EXPECT_EQ(row->text(1), QStringLiteral("127.0.0.3"));
    EXPECT_EQ(row->text(2), QStringLiteral("0A-1B-2C-3D-4E-5F"));
    EXPECT_EQ(row->text(3), QStringLiteral("9"));
    EXPECT_EQ(row->text(4), QStringLiteral("播放"));
    EXPECT_EQ(row->text(5), QStringLiteral("二楼"));
    // Already in the file, before the window goes.
    const ProfileFile ini = savedIni();
    EXPECT_EQ(ini.readString(u"Term_3", u"ID"), QStringLiteral("新终端"));
    EXPECT_EQ(ini.readString(u"Term_3", u"MAC"), QStringLiteral("0A1B2C3D4E5F"));
    EXPECT_EQ(ini.readString(u"Term_3", u"NOTE"), QStringLiteral("第一行\n第二行"));
    EXPECT_EQ(ini.keys(u"Term_3"), (QStringList{"ID", "IP", "MAC", "GROUP", "POSITION", "NOTE"}));

    // Cancelled: nothing changes.
    onNextModal([](QDialog* dialog) { dialog->reject(); });
    form->Action1Execute();
    EXPECT_EQ(form->listView()->topLevelItemCount(), 4);
}

TEST_F(TermsFormTest, RemovingAsksForEachSelectedTerminal)
{
    writeIni(section(0, entry("A", "127.0.0.9", "000000000001", 0)) +
             section(1, entry("B", "127.0.0.2", "000000000002", 0)) +
             section(2, entry("C", "127.0.0.9", "000000000003", 0)) +
             section(3, entry("D", "127.0.0.9", "000000000004", 0)));
    const auto form = makeForm();
    PromptScript prompts;
    prompts.answer(prompts::Answer::Yes);
    prompts.answer(prompts::Answer::Yes);
    select(*form, {3, 0});
    form->Action8Execute();

    EXPECT_EQ(prompts.texts(), (QStringList{"是否确定移除ID为A的终端？", "是否确定移除ID为D的终端？"}));
    EXPECT_EQ(prompts.asked().value(0).title, QStringLiteral("终端列表"));
    EXPECT_EQ(column(*form, 0), (QStringList{"B", "C"}));
    EXPECT_EQ(column(*form, 4), (QStringList{"停止", "--"}));
    const ProfileFile ini = savedIni();
    EXPECT_EQ(ini.readString(u"Term_0", u"ID"), QStringLiteral("B"));
    EXPECT_EQ(ini.readString(u"Term_1", u"ID"), QStringLiteral("C"));
    EXPECT_FALSE(ini.sectionExists(u"Term_2"));

    prompts.forget();
    prompts.answer(prompts::Answer::No);
    prompts.answer(prompts::Answer::Yes);
    select(*form, {0, 1});
    form->Action8Execute();
    EXPECT_EQ(column(*form, 0), QStringList{"B"});
}

TEST_F(TermsFormTest, SavingAShrunkListKeepsTheOtherSections)
{
    QString sections;
    for (int n = 0; n < 5; ++n)
        sections += section(n, entry(QString::number(n), "127.0.0.9", "000000000000", 0));
    writeIni(sections + QStringLiteral("[Later]\r\nkey=value\r\n"));
    auto form = makeForm();
    PromptScript prompts;
    for (int n = 0; n < 2; ++n)
        prompts.answer(prompts::Answer::Yes);
    select(*form, {1, 3});
    form->Action8Execute();
    form.reset();

    const ProfileFile ini = savedIni();
    QStringList terminals;
    for (const QString& name : ini.sections())
        if (name.startsWith(QStringLiteral("Term_")))
            terminals << name + u'=' + ini.readString(name, u"ID");
    EXPECT_EQ(terminals, (QStringList{"Term_0=0", "Term_1=2", "Term_2=4"}));
    EXPECT_EQ(ini.readString(u"Repositories", u"path"), m_dir.path() + QStringLiteral("/repo"));
    EXPECT_EQ(ini.readInteger(u"Network", u"Port", 0), m_stopped->port());
    EXPECT_EQ(ini.readString(u"Later", u"key"), QStringLiteral("value"));
}

TEST_F(TermsFormTest, NotesSurviveSaveAndLoad)
{
    const QStringList notes{QStringLiteral("第一行\r\n第二行\n\n第四行"), QStringLiteral("C:\\new\\table"),
                            QStringLiteral("\"引号\""), QStringLiteral("  blanks at the ends  "),
                            QStringLiteral("a\\nb\nc\\")};
    writeIni({});
    {
        auto form = makeForm();
        for (const QString& note : notes) {
            TermItem item;
            item.ID = QStringLiteral("N");
            item.IP = QStringLiteral("127.0.0.9");
            item.Note = note;
            form->termList().append(item);
        }
    }
    const auto form = makeForm();
    ASSERT_EQ(form->termList().size(), notes.size());
    for (int i = 0; i < notes.size(); ++i)
        EXPECT_EQ(form->termList().itemAt(i)->Note, notes[i]) << i;
}

TEST_F(TermsFormTest, PropertiesEditTheFirstSelectedTerminal)
{
    writeThree();
    const auto form = makeForm();
    const TermItem before = *form->termList().itemAt(1);
    select(*form, {2, 1});

    // Confirmed as it was: nothing changes, the group included.
    onNextModal([](QDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("终端属性"));
        auto* id = dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"));
        EXPECT_FALSE(id->isEnabled());
        EXPECT_EQ(id->text(), QStringLiteral("P1"));
        EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("meMac"))->text(),
                  QStringLiteral("00-E0-4C-00-00-02"));
        EXPECT_EQ(dialog->findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->value(), 2);
        dialog->accept();
    });
    form->Action12Execute();
    const TermItem same = *form->termList().itemAt(1);
    EXPECT_EQ(same.ID, before.ID);
    EXPECT_EQ(same.IP, before.IP);
    EXPECT_EQ(same.MAC, before.MAC);
    EXPECT_EQ(same.Group, before.Group);
    EXPECT_EQ(same.Position, before.Position);
    EXPECT_EQ(same.Note, before.Note);

    // Changed: the row shows it, the status is not asked again.
    onNextModal([](QDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("meIP"))->setText(QStringLiteral("127.0.0.9"));
        dialog->findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->setValue(5);
        dialog->findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(QStringLiteral("后台"));
        dialog->accept();
    });
    form->Action12Execute();
    const QTreeWidgetItem* row = form->listView()->topLevelItem(1);
    EXPECT_EQ(row->text(1), QStringLiteral("127.0.0.9"));
    EXPECT_EQ(row->text(3), QStringLiteral("5"));
    EXPECT_EQ(row->text(4), QStringLiteral("播放"));
    EXPECT_EQ(row->text(5), QStringLiteral("后台"));
    EXPECT_EQ(savedIni().readString(u"Term_1", u"IP"), QStringLiteral("127.0.0.9"));
    EXPECT_EQ(savedIni().readInteger(u"Term_1", u"GROUP", 0), 5);
}

TEST_F(TermsFormTest, SelectByGroupAddsToTheSelection)
{
    writeThree();
    writeIni(section(0, entry("S1", "127.0.0.2", "00E04C000001", 1)) +
             section(1, entry("P1", "127.0.0.3", "00E04C000002", 2)) +
             section(2, entry("X1", "127.0.0.9", "00E04C000003", 3)) +
             section(3, entry("X2", "127.0.0.9", "00E04C000004", 3)));
    const auto form = makeForm();
    auto selectedRows = [&] {
        QList<int> rows;
        for (int row = 0; row < form->listView()->topLevelItemCount(); ++row)
            if (form->listView()->topLevelItem(row)->isSelected())
                rows << row;
        return rows;
    };
    PromptScript prompts;
    select(*form, {0});
    prompts.answer(prompts::Answer::Ok, QStringLiteral("3"));
    form->Action2Execute();
    EXPECT_EQ(selectedRows(), (QList<int>{0, 2, 3}));
    EXPECT_EQ(prompts.asked().value(0).kind, prompts::Kind::Input);
    EXPECT_EQ(prompts.asked().value(0).title, QStringLiteral("终端列表"));
    EXPECT_EQ(prompts.asked().value(0).text, QStringLiteral("请输入组号："));

    prompts.forget();
    prompts.answer(prompts::Answer::Ok, QStringLiteral("二"));
    form->Action2Execute();
    EXPECT_EQ(selectedRows(), (QList<int>{0, 2, 3}));
    ASSERT_EQ(prompts.asked().size(), 2);
    EXPECT_EQ(prompts.asked()[1].kind, prompts::Kind::Error);

    prompts.forget();
    prompts.answer(prompts::Answer::Cancel, QStringLiteral("2"));
    form->Action2Execute();
    EXPECT_EQ(selectedRows(), (QList<int>{0, 2, 3}));
}

TEST_F(TermsFormTest, RefreshAndTheMonitorShowChangedStatuses)
{
    writeThree();
    const auto form = makeForm();
    form->StatusThread().setPassInterval(50);

    m_stopped->host().setStatus("WKG");
    form->Action13Execute();
    EXPECT_EQ(column(*form, 4), (QStringList{"播放", "播放", "--"}));
    EXPECT_FALSE(form->StatusThread().Paused());

    form->show();
    ASSERT_TRUE(form->StatusThread().isRunning());
    m_playing->host().setStatus("STB");
    EXPECT_TRUE(waitUntil([&] { return column(*form, 4).value(1) == QStringLiteral("停止"); }));
    EXPECT_EQ(form->listView()->topLevelItem(1)->icon(0).cacheKey(), TermIcons::online().cacheKey());

    // A terminal that goes away is shown offline with its picture.
    m_playing.reset();
    EXPECT_TRUE(waitUntil([&] { return column(*form, 4).value(1) == QStringLiteral("--"); }));
    EXPECT_EQ(form->listView()->topLevelItem(1)->icon(0).cacheKey(), TermIcons::offline().cacheKey());
}

TEST_F(TermsFormTest, MonitorGoesOnAfterAnExchangeBreaks)
{
    // Answers nothing and drops the connection: the exchange breaks after
    // it stood.
    FakeAgent broken([](const FakeAgent::Exchange&) { return FakeAgent::Close; });
    writeIni({});
    // The fake listens on 127.0.0.1 on a port of its own; the settings file
    // names that port, so the real agents are out of reach here.
    writeFile(iniPath(), toGb18030(QStringLiteral("[Network]\r\nPort=%1\r\n").arg(broken.port()) +
                                   section(0, entry("B", "127.0.0.1", "000000000000", 0))));
    const auto form = makeForm();
    EXPECT_EQ(column(*form, 4), QStringList{"--"});
    form->StatusThread().setPassInterval(20);
    form->show();
    const int before = broken.connections().size();
    EXPECT_TRUE(broken.waitForConnections(before + 3));
    EXPECT_TRUE(form->StatusThread().isRunning());
}

TEST_F(TermsFormTest, PowerTasksFireOrAreDropped)
{
    writeThree();
    const auto form = makeForm();
    TCheckStatusThread& monitor = form->StatusThread();
    const QDateTime past = QDateTime::currentDateTime().addSecs(-60);
    const QDateTime future = QDateTime::currentDateTime().addSecs(3600);
    const auto offlineMac = *MacAddress::fromText(u"00E04C000003");

    monitor.AddPowerTask(QStringLiteral("127.0.0.2"), MacAddress(), true, past);  // answers: dropped
    monitor.AddPowerTask(QStringLiteral("127.0.0.9"), MacAddress(), false, past); // silent: dropped
    monitor.AddPowerTask(QStringLiteral("127.0.0.9"), offlineMac, true, past);    // wakes
    monitor.AddPowerTask(QStringLiteral("127.0.0.3"), MacAddress(), false, past); // shuts down
    monitor.AddPowerTask(QStringLiteral("127.0.0.2"), MacAddress(), false, future);
    ASSERT_EQ(m_powerTasks.size(), 5);

    monitor.RunPowerTasks();

    const QList<TASK_REC> left = m_powerTasks.tasks();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].When, future);
    EXPECT_FALSE(left[0].Done);
    EXPECT_TRUE(m_stopped->host().posted().isEmpty());
    EXPECT_EQ(m_playing->host().posted(), QList<int>{AgentCmdShutdown});
    ASSERT_TRUE(m_wake.waitForReadyRead(3000));
    QByteArray datagram(int(m_wake.pendingDatagramSize()), Qt::Uninitialized);
    m_wake.readDatagram(datagram.data(), datagram.size());
    EXPECT_EQ(datagram, CommandClient::wakePacket(offlineMac));
    EXPECT_FALSE(m_wake.waitForReadyRead(300)) << "one wake packet only";
}

TEST_F(TermsFormTest, InAnMdiAreaTheWindowFillsItAndGoesOnClose)
{
    writeThree();
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    auto* form = makeForm().release();
    QPointer<TTermsForm> alive(form);
    QMdiSubWindow* window = area.addSubWindow(form);
    window->show();
    area.setActiveSubWindow(window);
    EXPECT_EQ(window->size(), area.viewport()->size() - QSize(4, 24));
    EXPECT_TRUE(form->StatusThread().isRunning());

    // Closing it releases it and writes the list as it stands.
    TermItem renamed = *form->termList().itemAt(2);
    renamed.ID = QStringLiteral("X9");
    form->termList().updateFields(*form->termList().keyAt(2), renamed);
    window->close();
    EXPECT_TRUE(waitUntil([&] { return alive.isNull(); }));
    EXPECT_EQ(savedIni().readString(u"Term_2", u"ID"), QStringLiteral("X9"));
}

TEST_F(TermsFormTest, TaskKeepsTheAddressItWasMadeFor)
{
    writeThree();
    const auto form = makeForm();
    form->StatusThread().AddPowerTask(QStringLiteral("127.0.0.3"), MacAddress(), false,
                                      QDateTime::currentDateTime().addSecs(-1));
    select(*form, {1});
    onNextModal([](QDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("meIP"))->setText(QStringLiteral("127.0.0.9"));
        dialog->accept();
    });
    form->Action12Execute();
    form->StatusThread().RunPowerTasks();
    EXPECT_EQ(m_playing->host().posted(), QList<int>{AgentCmdShutdown});
}

} // namespace
} // namespace quorvel::test
