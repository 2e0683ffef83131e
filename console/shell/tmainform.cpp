#include "console/shell/tmainform.h"

#include "console/common/mergedmenus.h"
#include "console/common/templatewindow.h"
#include "console/shell/taboutform.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QUrl>
#include <algorithm>

namespace quorvel {
namespace {

const QString readyText = QStringLiteral("就绪...");

struct ActionText {
    int number;
    const char* caption;
    const char* hint;
};

// The items of "文件", by action number.
constexpr ActionText fileActions[] = {
    {1, "新建模板", "新建应用于终端界面的模板"},
    {2, "编辑模板", "编辑已有的终端界面模板"},
    {7, "删除模板", "选择某一模板删除"},
    {8, "播放计划", "编制用于终端控制器的播放计划"},
    {3, "保存", "保存修改过的模板"},
    {4, "另存为...", "将终端界面模板另存一个名字"},
    {5, "关闭", "关闭当前打开的窗口"},
    {6, "退出", "退出Quorvel"},
};

} // namespace

TMainForm::TMainForm(const QString& programDir, QWidget* parent)
    : QMainWindow(parent)
    , m_programDir(programDir)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Quorvel [Lumacast]"));

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("ClientArea"));
    m_mdiArea->setBackground(palette().color(QPalette::WindowText));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    createActions();
    createMenus();
    createStatusBar();

    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this] {
        rebuildMenuBar();
        UpdateTemplateActions();
    });
    rebuildMenuBar();
    UpdateTemplateActions();
}

TMainForm::~TMainForm()
{
    // The child area and its windows go after this part of the frame: their
    // last activation signals must not reach a half-destroyed frame.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    for (QMdiSubWindow* window : m_mdiArea->subWindowList())
        disconnect(window, nullptr, this, nullptr);
}

void TMainForm::createActions()
{
    for (const ActionText& text : fileActions) {
        auto* action = new QAction(QString::fromUtf8(text.caption), this);
        action->setObjectName(QStringLiteral("Action%1").arg(text.number));
        action->setStatusTip(QString::fromUtf8(text.hint));
        m_actions[text.number] = action;
    }
    // Templates and schedules are made in windows that this console does not
    // have yet; their items stay visible and unavailable.
    for (int number : {1, 2, 7, 8})
        m_actions[number]->setEnabled(false);

    connect(m_actions[3], &QAction::triggered, this, [this] {
        if (TemplateWindow* window = activeTemplate())
            window->SaveModel();
    });
    connect(m_actions[4], &QAction::triggered, this, [this] {
        if (TemplateWindow* window = activeTemplate())
            window->SaveModelAs();
    });
    connect(m_actions[5], &QAction::triggered, this, [this] {
        if (QMdiSubWindow* window = m_mdiArea->currentSubWindow())
            window->close();
    });
    connect(m_actions[6], &QAction::triggered, this, &QWidget::close);

    m_cascade = new QAction(QStringLiteral("层叠"), this);
    m_cascade->setObjectName(QStringLiteral("WindowCascade1"));
    connect(m_cascade, &QAction::triggered, m_mdiArea, &QMdiArea::cascadeSubWindows);
    m_tile = new QAction(QStringLiteral("平铺"), this);
    m_tile->setObjectName(QStringLiteral("WindowTile1"));
    connect(m_tile, &QAction::triggered, m_mdiArea, &QMdiArea::tileSubWindows);

    m_about = new QAction(QStringLiteral("关于..."), this);
    m_about->setObjectName(QStringLiteral("HelpAbout1"));
    connect(m_about, &QAction::triggered, this, &TMainForm::showAbout);
    m_helpContents = new QAction(QStringLiteral("帮助内容"), this);
    m_helpContents->setObjectName(QStringLiteral("HelpContents1"));
    connect(m_helpContents, &QAction::triggered, this, &TMainForm::openHelp);
}

void TMainForm::createMenus()
{
    m_fileMenu = new QMenu(QStringLiteral("文件"), this);
    m_fileMenu->setObjectName(QStringLiteral("File1"));
    m_fileMenu->addAction(m_actions[1]);
    m_fileMenu->addAction(m_actions[2]);
    m_fileMenu->addAction(m_actions[7]);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_actions[8]);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_actions[3]);
    m_fileMenu->addAction(m_actions[4]);
    m_fileMenu->addAction(m_actions[5]);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_actions[6]);

    m_windowMenu = new QMenu(QStringLiteral("窗口"), this);
    m_windowMenu->setObjectName(QStringLiteral("Window1"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &TMainForm::fillWindowMenu);
    fillWindowMenu();

    m_helpMenu = new QMenu(QStringLiteral("帮助"), this);
    m_helpMenu->setObjectName(QStringLiteral("Help1"));
    m_helpMenu->addAction(m_about);
    m_helpMenu->addAction(m_helpContents);
}

void TMainForm::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    // Bevels are drawn per panel below, not by the style around every item.
    bar->setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        const bool bevelled = i >= 1 && i <= 3;
        panel->setFrameStyle(bevelled ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
        m_panels[i] = panel;
    }
    m_panels[0]->setText(readyText);
    m_panels[0]->setMinimumWidth(0);
    bar->addWidget(m_panels[0], 1);
    for (int i = 1; i <= 3; ++i) {
        m_panels[i]->setFixedWidth(50);
        bar->addPermanentWidget(m_panels[i]);
    }
    m_panels[4]->setFixedWidth(1);
    bar->addPermanentWidget(m_panels[4]);
}

QLabel* TMainForm::statusPanel(int index) const
{
    return index >= 0 && index < 5 ? m_panels[index] : nullptr;
}

QStringList TMainForm::menuBarTitles() const
{
    QStringList titles;
    for (const QAction* action : menuBar()->actions())
        if (action->isVisible() && !action->isSeparator())
            titles << action->text();
    return titles;
}

void TMainForm::rebuildMenuBar()
{
    QList<MenuGroup> childMenus;
    if (const auto* provider = dynamic_cast<const MergedMenusProvider*>(activeChild()))
        childMenus = provider->mergedMenus();
    // Within a group the child's own order stays.
    std::stable_sort(childMenus.begin(), childMenus.end(),
                     [](const MenuGroup& a, const MenuGroup& b) { return a.group < b.group; });

    QMenuBar* bar = menuBar();
    bar->clear();
    bar->addMenu(m_fileMenu);
    for (const MenuGroup& entry : childMenus)
        if (entry.menu && entry.group > 0 && entry.group < 9)
            bar->addMenu(entry.menu);
    bar->addMenu(m_windowMenu);
    bar->addMenu(m_helpMenu);
}

void TMainForm::fillWindowMenu()
{
    m_windowMenu->clear();
    m_windowMenu->addAction(m_cascade);
    m_windowMenu->addAction(m_tile);
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
    m_cascade->setEnabled(!windows.isEmpty());
    m_tile->setEnabled(!windows.isEmpty());
    if (windows.isEmpty())
        return;
    m_windowMenu->addSeparator();
    auto* group = new QActionGroup(m_windowMenu);
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        QAction* item = m_windowMenu->addAction(
            QStringLiteral("&%1 %2").arg(number++).arg(window->windowTitle()));
        item->setCheckable(true);
        item->setChecked(window == m_mdiArea->currentSubWindow());
        group->addAction(item);
        connect(item, &QAction::triggered, m_mdiArea,
                [this, window] { m_mdiArea->setActiveSubWindow(window); });
    }
}

QMdiSubWindow* TMainForm::addChild(QWidget* child)
{
    QMdiSubWindow* window = m_mdiArea->addSubWindow(child);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The child's menus belong to the frame's bar while it is active; when it
    // goes, the bar must not keep pointing at them.
    connect(window, &QObject::destroyed, this, [this] {
        rebuildMenuBar();
        UpdateTemplateActions();
    });
    window->show();
    m_mdiArea->setActiveSubWindow(window);
    return window;
}

QWidget* TMainForm::activeChild() const
{
    // Unlike the active window, the current one stays while a dialog or
    // another program has the focus, so the menus do not change under it.
    const QMdiSubWindow* window = m_mdiArea->currentSubWindow();
    return window ? window->widget() : nullptr;
}

TemplateWindow* TMainForm::activeTemplate() const
{
    return dynamic_cast<TemplateWindow*>(activeChild());
}

void TMainForm::UpdateTemplateActions()
{
    const bool onTemplate = activeTemplate() != nullptr;
    m_actions[3]->setEnabled(onTemplate);
    m_actions[4]->setEnabled(onTemplate);
    m_actions[5]->setEnabled(onTemplate);
}

bool TMainForm::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        m_panels[0]->setText(tip.isEmpty() ? readyText : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // Every template window is asked before anything closes, so a "cancel"
    // in any of them leaves every window of the console as it was.
    for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
        if (auto* document = dynamic_cast<TemplateWindow*>(window->widget())) {
            if (!document->CloseQuery()) {
                event->ignore();
                return;
            }
        }
    }
    m_mdiArea->closeAllSubWindows();
    if (!m_mdiArea->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    event->accept();
}

void TMainForm::showAbout()
{
    TAboutForm about(this);
    about.exec();
}

void TMainForm::openHelp()
{
    // The operator is not told about a missing help file: the desktop's
    // viewer either opens it or it does not.
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_programDir + QStringLiteral("Quorvel.chm")));
}

} // namespace quorvel
