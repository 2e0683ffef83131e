#pragma once

#include "console/common/consolesettings.h"
#include "console/common/mergedmenus.h"
#include "console/terminals/commandclient.h"
#include "console/terminals/powertasks.h"
#include "console/terminals/tcheckstatusthread.h"
#include "console/terminals/termlist.h"

#include <QWidget>
#include <array>
#include <memory>

class QAction;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

namespace quorvel {

// The terminal list window ("终端列表"): one row per terminal of the
// console's settings file, the monitor that keeps their statuses current,
// and the actions on the selected terminals. Row i of the view always shows
// item i of the list; the view is never sorted.
//
// The list is written back to the settings file after every add, removal
// and edit, and once more when the window goes, so a crash loses nothing.
class TTermsForm : public QWidget, public MergedMenusProvider {
    Q_OBJECT
public:
    // Loads the terminals and asks each for its status before it returns.
    // The monitor starts when the window is first shown.
    TTermsForm(const ConsoleSettings& settings, PowerTaskList& powerTasks,
               QWidget* parent = nullptr);
    ~TTermsForm() override;

    // "终端" (group 1) and "控制" (group 2).
    QList<MenuGroup> mergedMenus() const override;

    TermList& termList() { return m_termList; }
    TCheckStatusThread& StatusThread() { return *m_statusThread; }
    QTreeWidget* listView() const { return ListView1; }
    // Action1 .. Action17 (there is no Action3); null for other numbers.
    QAction* action(int number) const;
    QMenu* popupMenu() const { return PopupMenu1; }

    void FillListView();
    void UpdateActions();
    bool AllSelectedIdle() const;
    bool AllSelectedPlaying() const;
    bool AllSelectedOnline() const;

    void Action1Execute();  // add a terminal
    void Action2Execute();  // select by group
    void Action8Execute();  // remove the selected terminals
    void Action12Execute(); // properties of the first selected terminal
    void Action13Execute(); // refresh every status now

    // Where the list is kept and when the last save failed: empty when it
    // went well.
    QString lastSaveError() const { return m_lastSaveError; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormActivate();
    void ListView1Click();
    void ListView1SelectItem();
    void createActions();
    void createMenus();
    void fillRow(QTreeWidgetItem* row, const TermItem& item) const;
    // The selected rows' records, in view order.
    std::vector<TermItem> selectedItems() const;
    std::vector<TermList::Key> selectedKeys() const;
    // Writes the list into the settings file; tells the operator when that
    // fails.
    void saveTermList();
    void queryStatus(TermItem& item) const;

    ConsoleSettings m_settings;
    PowerTaskList& m_powerTasks;
    CommandClient m_client;
    TermList m_termList;
    QTreeWidget* ListView1 = nullptr;
    std::array<QAction*, 18> m_actions{};
    QMenu* m_terminalMenu = nullptr;
    QMenu* m_controlMenu = nullptr;
    QMenu* PopupMenu1 = nullptr;
    bool m_shown = false;
    bool m_closing = false;
    QString m_lastSaveError;
    // Declared after the list: it must stop before the list goes.
    std::unique_ptr<TCheckStatusThread> m_statusThread;
};

} // namespace quorvel
