#pragma once

#include <QMainWindow>
#include <QString>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace quorvel {

class TemplateWindow;

// The console's MDI frame. Its own menus are "文件" (group 0), "窗口" (9) and
// "帮助" (10); the active child's menus are shown between them in their
// groups' order. The hint of the menu item under the mouse shows in the
// first status panel.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // `programDir` is where the help file "Quorvel.chm" is looked for.
    explicit TMainForm(const QString& programDir, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Puts `child` into the child area as a window that is freed when it
    // closes, shows and activates it. Returns its MDI window.
    QMdiSubWindow* addChild(QWidget* child);
    QMdiArea* mdiArea() const { return m_mdiArea; }
    // The widget of the active MDI window, or nullptr.
    QWidget* activeChild() const;

    // Panel `index` (0 to 4) of StatusBar1.
    QLabel* statusPanel(int index) const;
    // The item texts of the menu bar as shown now, left to right.
    QStringList menuBarTitles() const;

public slots:
    // "保存", "另存为..." and "关闭" are for template windows only.
    void UpdateTemplateActions();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createStatusBar();
    void rebuildMenuBar();
    void fillWindowMenu();
    TemplateWindow* activeTemplate() const;
    void showAbout();
    void openHelp();

    QString m_programDir;
    QMdiArea* m_mdiArea = nullptr;
    QAction* m_actions[9] = {}; // Action1 .. Action8 at their numbers
    QAction* m_cascade = nullptr;
    QAction* m_tile = nullptr;
    QAction* m_about = nullptr;
    QAction* m_helpContents = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_windowMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QLabel* m_panels[5] = {};
};

} // namespace quorvel
