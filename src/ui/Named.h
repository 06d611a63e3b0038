#pragma once
// Controls and menu items under their designer names, by which the window rules, the
// tests and the help find them.

#include <QAction>
#include <QString>

namespace ztk {

template <class Object>
Object *named(Object *object, const char *name)
{
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

// An item of a menu or a menu bar: the text shown, the designer name.
template <class Menu>
QAction *menuItem(Menu *menu, const char *name, const QString &text)
{
    return named(menu->addAction(text), name);
}

} // namespace ztk
