#include "console/common/mergedmenus.h"
#include "console/common/templatewindow.h"
#include "console/shell/taboutform.h"
#include "console/shell/tmainform.h"
#include "console/shell/tsplashform.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QUrl>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

// A template window as the frame sees one: its own "模板" menu, and a
// scripted answer to the question asked before exit.
class TemplateChild : public QWidget, public TemplateWindow, public MergedMenusProvider {
public:
    explicit TemplateChild(const QString& name)
    {
        setWindowTitle(name);
        m_menu.setTitle(QStringLiteral("模板"));
    }
    QList<MenuGroup> mergedMenus() const override { return {{1, const_cast<QMenu*>(&m_menu)}}; }
    void SaveModel() override { ++saves; }
    void SaveModelAs() override { ++savesAs; }
    bool CloseQuery() override
    {
        ++questions;
        return mayClose;
    }

    bool mayClose = true;
    int questions = 0;
    int saves = 0;
    int savesAs = 0;

private:
    QMenu m_menu;
};

// The terminal list as the frame sees it: two menus, given out of group
// order on purpose.
class ListChild : public QWidget, public MergedMenusProvider {
public:
    ListChild()
    {
        setWindowTitle(QStringLiteral("终端列表"));
        m_terminals.setTitle(QStringLiteral("终端"));
        m_control.setTitle(QStringLiteral("控制"));
    }
    QList<MenuGroup> mergedMenus() const override
    {
        return {{2, const_cast<QMenu*>(&m_control)}, {1, const_cast<QMenu*>(&m_terminals)}};
    }

private:
    QMenu m_terminals;
    QMenu m_control;
};

QAction* action(const TMainForm& form, const char* name)
{
    auto* found = form.findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

struct ItemText {
    QString caption;
    QString hint;
};

QList<ItemText> itemsOf(const QMenu* menu)
{
    QList<ItemText> items;
    for (const QAction* item : menu->actions())
        items << ItemText{item->isSeparator() ? QStringLiteral("-") : item->text(), item->statusTip()};
    return items;
}

TEST(TMainForm, FrameWithoutChildren)
{
    TMainForm form(QStringLiteral("/opt/quorvel/"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Quorvel [Lumacast]"));
    EXPECT_EQ(form.menuBarTitles(), (QStringList{"文件", "窗口", "帮助"}));

    const auto* file = form.findChild<QMenu*>(QStringLiteral("File1"));
    ASSERT_NE(file, nullptr);
    const QList<ItemText> expected = {
        {"新建模板", "新建应用于终端界面的模板"},
        {"编辑模板", "编辑已有的终端界面模板"},
        {"删除模板", "选择某一模板删除"},
        {"-", ""},
        {"播放计划", "编制用于终端控制器的播放计划"},
        {"-", ""},
        {"保存", "保存修改过的模板"},
        {"另存为...", "将终端界面模板另存一个名字"},
        {"关闭", "关闭当前打开的窗口"},
        {"-", ""},
        {"退出", "退出Quorvel"},
    };
    const QList<ItemText> actual = itemsOf(file);
    ASSERT_EQ(actual.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].caption, expected[i].caption) << i;
        EXPECT_EQ(actual[i].hint, expected[i].hint) << i;
    }

    // Only "退出" is available: the template items wait for a template
    // window, and what makes templates and schedules is not in this console.
    for (const char* name : {"Action1", "Action2", "Action3", "Action4", "Action5", "Action7", "Action8"})
        EXPECT_FALSE(action(form, name)->isEnabled()) << name;
    EXPECT_TRUE(action(form, "Action6")->isEnabled());

    const auto* window = form.findChild<QMenu*>(QStringLiteral("Window1"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(itemsOf(window).size(), 2);
    EXPECT_EQ(itemsOf(window)[0].caption, QStringLiteral("层叠"));
    EXPECT_EQ(itemsOf(window)[1].caption, QStringLiteral("平铺"));
    const auto* help = form.findChild<QMenu*>(QStringLiteral("Help1"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(itemsOf(help)[0].caption, QStringLiteral("关于..."));
    EXPECT_EQ(itemsOf(help)[1].caption, QStringLiteral("帮助内容"));
}

TEST(TMainForm, StatusBarHasFivePanelsAndShowsMenuHints)
{
    TMainForm form(QStringLiteral("/opt/quorvel/"));
    EXPECT_EQ(form.statusBar()->objectName(), QStringLiteral("StatusBar1"));
    for (int i = 0; i < 5; ++i)
        ASSERT_NE(form.statusPanel(i), nullptr) << i;
    EXPECT_EQ(form.statusPanel(0)->text(), QStringLiteral("就绪..."));
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(form.statusPanel(i)->width(), 50) << i;
        EXPECT_TRUE(form.statusPanel(i)->text().isEmpty()) << i;
    }
    EXPECT_EQ(form.statusPanel(4)->width(), 1);
    EXPECT_EQ(form.statusPanel(0)->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(form.statusPanel(4)->frameShape(), QFrame::NoFrame);

    const QString hint = action(form, "Action6")->statusTip();
    QStatusTipEvent over(hint);
    QApplication::sendEvent(&form, &over);
    EXPECT_EQ(form.statusPanel(0)->text(), QStringLiteral("退出Quorvel"));
    EXPECT_TRUE(form.statusBar()->currentMessage().isEmpty()) << "the hint replaces panel 0 only";
    QStatusTipEvent away{QString()};
    QApplication::sendEvent(&form, &away);
    EXPECT_EQ(form.statusPanel(0)->text(), QStringLiteral("就绪..."));
}

TEST(TMainForm, SwitchingChildrenMergesTheirMenusAndSetsTheTemplateActions)
{
    TMainForm form(QStringLiteral("/opt/quorvel/"));
    form.show();
    auto* templateChild = new TemplateChild(QStringLiteral("大厅"));
    QMdiSubWindow* templateWindow = form.addChild(templateChild);
    QMdiSubWindow* listWindow = form.addChild(new ListChild);

    const QStringList templateMenus{"文件", "模板", "窗口", "帮助"};
    const QStringList listMenus{"文件", "终端", "控制", "窗口", "帮助"};
    for (int round = 0; round < 2; ++round) {
        form.mdiArea()->setActiveSubWindow(listWindow);
        EXPECT_EQ(form.menuBarTitles(), listMenus);
        for (const char* name : {"Action3", "Action4", "Action5"})
            EXPECT_FALSE(action(form, name)->isEnabled()) << name;

        form.mdiArea()->setActiveSubWindow(templateWindow);
        EXPECT_EQ(form.menuBarTitles(), templateMenus);
        for (const char* name : {"Action3", "Action4", "Action5"})
            EXPECT_TRUE(action(form, name)->isEnabled()) << name;
    }

    action(form, "Action3")->trigger();
    action(form, "Action4")->trigger();
    EXPECT_EQ(templateChild->saves, 1);
    EXPECT_EQ(templateChild->savesAs, 1);

    // "关闭" frees the template window; its menu leaves the bar with it.
    QPointer<QMdiSubWindow> closing = templateWindow;
    action(form, "Action5")->trigger();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closing.isNull());
    EXPECT_EQ(form.mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(form.menuBarTitles(), listMenus);
    EXPECT_FALSE(action(form, "Action5")->isEnabled());
}

TEST(TMainForm, WindowMenuListsTheOpenChildren)
{
    TMainForm form(QStringLiteral("/opt/quorvel/"));
    form.show();
    form.addChild(new ListChild);
    form.addChild(new TemplateChild(QStringLiteral("大厅")));
    auto* window = form.findChild<QMenu*>(QStringLiteral("Window1"));
    emit window->aboutToShow();
    const QList<QAction*> items = window->actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_TRUE(items[3]->text().endsWith(QStringLiteral("终端列表")));
    EXPECT_FALSE(items[3]->isChecked());
    EXPECT_TRUE(items[4]->text().endsWith(QStringLiteral("大厅")));
    EXPECT_TRUE(items[4]->isChecked());
    items[3]->trigger();
    EXPECT_EQ(form.activeChild()->windowTitle(), QStringLiteral("终端列表"));
}

TEST(TMainForm, ExitAsksEveryTemplateWindowAndACancelKeepsEverything)
{
    TMainForm form(QStringLiteral("/opt/quorvel/"));
    form.show();
    form.addChild(new ListChild);
    auto* first = new TemplateChild(QStringLiteral("一"));
    auto* second = new TemplateChild(QStringLiteral("二"));
    form.addChild(first);
    form.addChild(second);

    second->mayClose = false;
    EXPECT_FALSE(form.close());
    EXPECT_EQ(first->questions, 1);
    EXPECT_EQ(second->questions, 1);
    EXPECT_EQ(form.mdiArea()->subWindowList().size(), 3) << "a cancelled exit closes nothing";
    EXPECT_TRUE(form.isVisible());

    second->mayClose = true;
    QPointer<TemplateChild> watchFirst = first;
    EXPECT_TRUE(form.close());
    EXPECT_EQ(first->questions, 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watchFirst.isNull());
    EXPECT_TRUE(form.mdiArea()->subWindowList().isEmpty());
}

// Stands in for the desktop's viewer of help files.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST(TMainForm, HelpContentsOpensTheHelpFileBesideTheConsole)
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    TMainForm form(QStringLiteral("/opt/quorvel/"));
    action(form, "HelpContents1")->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(recorder.urls.size(), 1);
    EXPECT_EQ(recorder.urls[0], QUrl::fromLocalFile(QStringLiteral("/opt/quorvel/Quorvel.chm")));
}

TEST(TAboutForm, ShowsTheProductAndVersion)
{
    TAboutForm about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("关于Quorvel"));
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("[Lumacast]")));
    EXPECT_TRUE(texts.contains(QStringLiteral("版本: 2.0")));
    const auto* picture = about.findChild<QLabel*>(QStringLiteral("Image1"));
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());
    const auto* ok = about.findChild<QPushButton*>(QStringLiteral("OKButton"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("确定"));
}

TEST(TSplashForm, IsTheShippedPictureAtItsSize)
{
    TSplashForm splash;
    EXPECT_EQ(splash.pixmap().deviceIndependentSize().toSize(), QSize(475, 300));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
}

} // namespace
} // namespace quorvel

#include "tmainform_test.moc"
