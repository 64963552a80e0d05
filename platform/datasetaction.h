#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QAbstractButton;
class QAction;
class QMenu;

namespace zarn {

class QueryDataset;

// A standard dataset action: runs one operation of the ledger view and is
// enabled by a rule on the view's state and flags. Bound buttons and menu
// items keep their own captions and show the action's enabled state.
class DatasetAction final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DatasetAction)

public:
    enum class Kind { First, Prior, Next, Last, Insert, Delete, Edit, Post };
    Q_ENUM(Kind)

    DatasetAction(const QString &objectName, Kind kind, QObject *parent);

    Kind kind() const { return m_kind; }
    bool isEnabled() const { return m_enabled; }

    // Finds the dataset the action works on, or nullptr when none is reachable
    // (another window of the application is active).
    using TargetFinder = std::function<QueryDataset *()>;
    void setTargetFinder(TargetFinder finder) { m_target = std::move(finder); }

    void link(QAbstractButton *button);
    void link(QAction *menuItem);
    bool hasVisibleButton() const;
    bool isLinkedTo(const QAction *menuItem) const;

    // The enabling rule, evaluated now.
    static bool enabledFor(Kind kind, const QueryDataset *dataset);
    void update();
    // Evaluates the rule again and runs the operation when enabled.
    void execute();

signals:
    void enabledChanged(bool enabled);

private:
    void setEnabled(bool enabled);

    Kind m_kind;
    bool m_enabled = false;
    TargetFinder m_target;
    QList<QPointer<QAbstractButton>> m_buttons;
    QList<QPointer<QAction>> m_menuItems;
};

// The window's list of dataset actions. Evaluates the actions whose buttons
// are visible each time the application has handled its input and becomes
// idle, and the actions of a menu when it opens, unless `blocked` says the
// window is disabled by a modal dialog.
class ActionList final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ActionList)

public:
    ActionList(const QString &objectName, QObject *parent);

    void add(DatasetAction *action) { m_actions << action; }
    const QList<DatasetAction *> &actions() const { return m_actions; }
    void setBlocked(std::function<bool()> blocked) { m_blocked = std::move(blocked); }
    void watchMenu(QMenu *menu);
    void updateVisible();

private:
    QList<DatasetAction *> m_actions;
    std::function<bool()> m_blocked;
};

} // namespace zarn
