#include "platform/ui/menu.h"

#include <QMenu>

#include "platform/ui/dialog.h"
#include "platform/ui/prompt_hook.h"
#include "platform/ui/window_resources.h"
#include "platform/ui/wnd_event_bridge.h"

namespace {

void CollectCommands(const QMenu& menu, QStringList& out) {
    for (QAction* action : menu.actions()) {
        if (action->menu() != nullptr)
            CollectCommands(*action->menu(), out);
        else if (!action->isSeparator() && action->isEnabled())
            out << QString("%1:%2").arg(action->data().toUInt()).arg(action->text());
    }
}

}  // namespace

BOOL CMenu::CreatePopupMenu() {
    m_items.clear();
    m_created = true;
    return TRUE;
}

BOOL CMenu::LoadMenu(UINT nIDResource) {
    return LoadMenuIndirect(FindWindowMenuTemplate(nIDResource));
}

BOOL CMenu::LoadMenuIndirect(const MenuTemplate* menuTemplate) {
    if (menuTemplate == nullptr)
        return FALSE;
    CreatePopupMenu();
    // The menu being filled at each depth.
    std::vector<CMenu*> open{this};
    for (size_t i = 0; i < menuTemplate->itemCount; ++i) {
        const MenuItemTemplate& item = menuTemplate->items[i];
        if (item.depth < 0 || static_cast<size_t>(item.depth) >= open.size())
            return FALSE;
        open.resize(static_cast<size_t>(item.depth) + 1);
        CMenu* target = open.back();
        QString text = QString::fromUtf8(item.text == nullptr ? "" : item.text);
        if (item.flags & MF_POPUP) {
            auto sub = std::make_unique<CMenu>();
            sub->CreatePopupMenu();
            CMenu* subMenu = sub.get();
            target->AppendMenu(item.flags, std::move(sub), text);
            open.push_back(subMenu);
        } else {
            target->AppendMenu(item.flags, item.id, text);
        }
    }
    return TRUE;
}

BOOL CMenu::DestroyMenu() {
    m_items.clear();
    m_created = false;
    return TRUE;
}

BOOL CMenu::AppendMenu(UINT flags, UINT id, const QString& text) {
    if (!m_created)
        return FALSE;
    Item item;
    item.flags = flags & ~MF_POPUP;
    item.id = (flags & MF_SEPARATOR) ? 0 : id;
    item.text = text;
    m_items.push_back(std::move(item));
    return TRUE;
}

BOOL CMenu::AppendMenu(UINT flags, std::unique_ptr<CMenu> subMenu, const QString& text) {
    if (!m_created || subMenu == nullptr)
        return FALSE;
    Item item;
    item.flags = flags | MF_POPUP;
    item.text = text;
    item.subMenu = std::move(subMenu);
    m_items.push_back(std::move(item));
    return TRUE;
}

CMenu::Item* CMenu::Find(UINT item, UINT flags) {
    return const_cast<Item*>(static_cast<const CMenu*>(this)->Find(item, flags));
}

const CMenu::Item* CMenu::Find(UINT item, UINT flags) const {
    if (flags & MF_BYPOSITION)
        return item < m_items.size() ? &m_items[item] : nullptr;
    for (const Item& entry : m_items) {
        if (entry.subMenu != nullptr) {
            if (const Item* inner = entry.subMenu->Find(item, flags))
                return inner;
        } else if (entry.id == item && !(entry.flags & MF_SEPARATOR)) {
            return &entry;
        }
    }
    return nullptr;
}

UINT CMenu::CheckMenuItem(UINT item, UINT check) {
    Item* entry = Find(item, check & MF_BYPOSITION);
    if (entry == nullptr)
        return static_cast<UINT>(-1);
    UINT previous = entry->flags & MF_CHECKED;
    entry->flags = (entry->flags & ~MF_CHECKED) | (check & MF_CHECKED);
    return previous;
}

UINT CMenu::EnableMenuItem(UINT item, UINT enable) {
    Item* entry = Find(item, enable & MF_BYPOSITION);
    if (entry == nullptr)
        return static_cast<UINT>(-1);
    UINT previous = entry->flags & (MF_GRAYED | MF_DISABLED);
    entry->flags = (entry->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return previous;
}

BOOL CMenu::ModifyMenu(UINT item, UINT flags, UINT newId, const QString& text) {
    Item* entry = Find(item, flags & MF_BYPOSITION);
    if (entry == nullptr)
        return FALSE;
    entry->flags = flags & ~MF_BYPOSITION;
    entry->id = newId;
    entry->text = text;
    return TRUE;
}

BOOL CMenu::DeleteMenu(UINT item, UINT flags) {
    for (size_t i = 0; i < m_items.size(); ++i) {
        bool match =
            (flags & MF_BYPOSITION) ? i == item : (m_items[i].id == item && m_items[i].subMenu == nullptr);
        if (match) {
            m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i));
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CMenu::SetDefaultItem(UINT item, BOOL byPosition) {
    Item* entry = Find(item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    if (entry == nullptr)
        return FALSE;
    for (Item& other : m_items)
        other.flags &= ~MFS_DEFAULT;
    entry->flags |= MFS_DEFAULT;
    return TRUE;
}

UINT CMenu::GetMenuItemID(int position) const {
    if (position < 0 || position >= GetMenuItemCount())
        return 0;
    const Item& item = m_items[static_cast<size_t>(position)];
    return item.subMenu != nullptr ? static_cast<UINT>(-1) : item.id;
}

UINT CMenu::GetMenuState(UINT item, UINT flags) const {
    const Item* entry = Find(item, flags);
    return entry == nullptr ? static_cast<UINT>(-1) : entry->flags;
}

int CMenu::GetMenuString(UINT item, QString& text, UINT flags) const {
    const Item* entry = Find(item, flags);
    text = entry == nullptr ? QString() : entry->text;
    return static_cast<int>(text.size());
}

CMenu* CMenu::GetSubMenu(int position) const {
    if (position < 0 || position >= GetMenuItemCount())
        return nullptr;
    return m_items[static_cast<size_t>(position)].subMenu.get();
}

namespace {

void BuildQMenu(const CMenu& source, QMenu& menu) {
    for (int i = 0; i < source.GetMenuItemCount(); ++i) {
        UINT state = source.GetMenuState(static_cast<UINT>(i), MF_BYPOSITION);
        if (state & MF_SEPARATOR) {
            menu.addSeparator();
            continue;
        }
        if (CMenu* sub = source.GetSubMenu(i)) {
            QMenu* inner = menu.addMenu(QString());
            BuildQMenu(*sub, *inner);
            continue;
        }
        QAction* action = menu.addAction(QString());
        action->setData(source.GetMenuItemID(i));
        action->setEnabled(!(state & (MF_GRAYED | MF_DISABLED)));
        action->setCheckable((state & MF_CHECKED) != 0);
        action->setChecked((state & MF_CHECKED) != 0);
        if (state & MFS_DEFAULT) {
            QFont bold = action->font();
            bold.setBold(true);
            action->setFont(bold);
            menu.setDefaultAction(action);
        }
    }
}

}  // namespace

int CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner) {
    QMenu menu;
    BuildQMenu(*this, menu);
    // Texts are set in a second pass: BuildQMenu only sees states and ids through the public accessors.
    std::function<void(const CMenu&, QMenu&)> setTexts = [&](const CMenu& source, QMenu& target) {
        QList<QAction*> actions = target.actions();
        for (int i = 0; i < source.GetMenuItemCount() && i < actions.size(); ++i) {
            const Item& item = source.m_items[static_cast<size_t>(i)];
            actions[i]->setText(item.text);
            if (item.subMenu != nullptr && actions[i]->menu() != nullptr)
                setTexts(*item.subMenu, *actions[i]->menu());
        }
    };
    setTexts(*this, menu);
    UINT command = 0;
    PromptRequest request;
    request.kind = PromptKind::PopupMenu;
    CollectCommands(menu, request.menuItems);
    PromptAnswer answer;
    if (ModalLoopsEnding()) {
        command = 0;  // the session is ending: nobody is asked any more
    } else if (AskPromptHook(request, &answer)) {
        command = static_cast<UINT>(answer.result);
    } else {
        WindowEventScope scope;
        // TPM_BOTTOMALIGN: the menu's bottom edge is at y, so it opens above the point.
        if (flags & TPM_BOTTOMALIGN)
            y -= menu.sizeHint().height();
        QAction* chosen = menu.exec(QPoint(x, y));
        command = chosen == nullptr ? 0 : chosen->data().toUInt();
    }
    if (flags & TPM_RETURNCMD)
        return static_cast<int>(command);
    if (command != 0 && owner != nullptr)
        owner->PostMessage(WM_COMMAND, command, 0);
    return command != 0 ? TRUE : FALSE;
}
