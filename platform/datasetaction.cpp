#include "datasetaction.h"

#include "querydataset.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCoreApplication>
#include <QMenu>

namespace zarn {

DatasetAction::DatasetAction(const QString &objectName, Kind kind, QObject *parent)
    : QObject(parent), m_kind(kind)
{
    setObjectName(objectName);
}

void DatasetAction::link(QAbstractButton *button)
{
    m_buttons << button;
    button->setEnabled(m_enabled);
    connect(button, &QAbstractButton::clicked, this, &DatasetAction::execute);
}

void DatasetAction::link(QAction *menuItem)
{
    m_menuItems << menuItem;
    menuItem->setEnabled(m_enabled);
    connect(menuItem, &QAction::triggered, this, &DatasetAction::execute);
}

bool DatasetAction::isLinkedTo(const QAction *menuItem) const
{
    for (const auto &item : m_menuItems)
        if (item == menuItem)
            return true;
    return false;
}

bool DatasetAction::hasVisibleButton() const
{
    for (const auto &button : m_buttons)
        if (button && button->isVisible())
            return true;
    return false;
}

bool DatasetAction::enabledFor(Kind kind, const QueryDataset *dataset)
{
    if (!dataset || !dataset->isActive())
        return false;
    using State = QueryDataset::State;
    switch (kind) {
    case Kind::First:
    case Kind::Prior:
        return !dataset->bof();
    case Kind::Next:
    case Kind::Last:
        return !dataset->eof();
    case Kind::Insert:
        return dataset->canModify();
    case Kind::Delete:
        return dataset->canModify() && !(dataset->bof() && dataset->eof());
    case Kind::Edit:
        return dataset->canModify() && dataset->state() == State::Browse;
    case Kind::Post:
        return dataset->canModify()
            && (dataset->state() == State::Edit || dataset->state() == State::Insert);
    }
    return false;
}

void DatasetAction::update()
{
    setEnabled(enabledFor(m_kind, m_target ? m_target() : nullptr));
}

void DatasetAction::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    for (const auto &button : m_buttons)
        if (button)
            button->setEnabled(enabled);
    for (const auto &item : m_menuItems)
        if (item)
            item->setEnabled(enabled);
    emit enabledChanged(enabled);
}

void DatasetAction::execute()
{
    update();
    if (!m_enabled)
        return;
    QueryDataset *dataset = m_target();
    switch (m_kind) {
    case Kind::First:
        dataset->first();
        break;
    case Kind::Prior:
        dataset->prior();
        break;
    case Kind::Next:
        dataset->next();
        break;
    case Kind::Last:
        dataset->last();
        break;
    case Kind::Insert:
        dataset->insert();
        break;
    case Kind::Delete:
        dataset->remove();
        break;
    case Kind::Edit:
        dataset->edit();
        break;
    case Kind::Post:
        dataset->post();
        break;
    }
}

ActionList::ActionList(const QString &objectName, QObject *parent)
    : QObject(parent)
{
    setObjectName(objectName);
    // "Idle": the event loop has handled everything waiting and is about to block.
    if (auto *dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &ActionList::updateVisible);
}

void ActionList::updateVisible()
{
    if (m_blocked && m_blocked())
        return;
    for (DatasetAction *action : m_actions)
        if (action->hasVisibleButton())
            action->update();
}

void ActionList::watchMenu(QMenu *menu)
{
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        if (m_blocked && m_blocked())
            return;
        const QList<QAction *> items = menu->actions();
        for (DatasetAction *action : m_actions) {
            // an action is re-evaluated when one of its menu items is in this menu
            for (QAction *item : items) {
                if (action->isLinkedTo(item)) {
                    action->update();
                    break;
                }
            }
        }
    });
}

} // namespace zarn
