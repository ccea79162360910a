#include "dialogs/menu_tree.h"

#include <QAction>
#include <QMenu>

namespace qarvel::dialogs {

namespace {

MenuItem entry(const char* name, const QString& caption, MenuTree items = {}) {
    return MenuItem{QString::fromLatin1(name), caption, false, std::move(items)};
}
MenuItem separator(const char* name) { return entry(name, QString()); }

}  // namespace

MenuTree myMenuTree() {
    return {entry("ht", QStringLiteral("后退")), entry("qj", QStringLiteral("前进")),
            entry("sx", QStringLiteral("刷新")), separator("sss"),
            entry("fz", QStringLiteral("复制")), entry("zt", QStringLiteral("粘贴")),
            entry("zy", QStringLiteral("主页"))};
}

MenuTree trayMenuTree() {
    return {entry("shezhi", QStringLiteral("软件设置")),
            entry("pifu", QStringLiteral("更换皮肤"),
                  {entry("green", QStringLiteral("黑色冷酷")), entry("blue", QStringLiteral("蓝色经典"))}),
            entry("about", QStringLiteral("关于我们")),
            separator("aa12"),
            entry("guanf", QStringLiteral("官方主页")),
            entry("shengji", QStringLiteral("升级检测")),
            entry("qsoft", QStringLiteral("退出软件"))};
}

MenuTree webcTree() {
    return {entry("c_f", QStringLiteral("播放选定")), entry("c_shan", QStringLiteral("删除任务")), separator("ttbn"),
            entry("c_shan2", QStringLiteral("删除下载"))};
}

MenuTree taskListMenuTree() {
    return {entry("renwub", QStringLiteral("删除任务列表")), entry("wenjianb", QStringLiteral("管理下载文件"))};
}

void fillMenu(QMenu& menu, const MenuTree& tree) {
    for (const MenuItem& item : tree) {
        QAction* action = nullptr;
        if (item.separator()) {
            action = menu.addSeparator();
        } else if (!item.items.empty()) {
            QMenu* sub = menu.addMenu(item.caption);
            sub->setObjectName(item.name);
            fillMenu(*sub, item.items);
            action = sub->menuAction();
        } else {
            action = menu.addAction(item.caption);
            action->setCheckable(item.checked);
            action->setChecked(item.checked);
        }
        action->setObjectName(item.name);
    }
}

MenuTree menuTree(const QMenu& menu) {
    MenuTree tree;
    for (const QAction* action : menu.actions()) {
        MenuItem item{
            action->objectName(), action->isSeparator() ? QString() : action->text(), action->isChecked(), {}};
        if (const QMenu* sub = action->menu()) item.items = menuTree(*sub);
        tree.push_back(std::move(item));
    }
    return tree;
}

QAction* menuAction(const QMenu& menu, const QString& name) {
    for (QAction* action : menu.actions()) {
        if (action->objectName() == name) return action;
        if (const QMenu* sub = action->menu())
            if (QAction* found = menuAction(*sub, name)) return found;
    }
    return nullptr;
}

}  // namespace qarvel::dialogs
