// The command surface of the board: the toolbar with its groups, buttons, palette and toggles,
// the fold-out tab, and the pop-up menu, all built from the command table.
#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QFile>
#include <QMenu>

#include "widgets/bevel_panel.h"
#include "window/command_table.h"
#include "window/tform1.h"
#include "window/toolbar_button.h"

namespace {

constexpr QSize kButtonSize(20, 24);
constexpr int kButtonStep = 20;
constexpr int kButtonLeft = 4;
constexpr int kButtonTop = 4;
constexpr int kPanel24Width = 17;

// A 16 × 16 monochrome glyph: black ink on a clear background.
QIcon glyph(const QString& name) {
    const QString path = QStringLiteral(":/glyphs/%1.pbm").arg(name);
    if (!QFile::exists(path)) return {};
    const QImage mono = QImage(path).convertToFormat(QImage::Format_ARGB32);
    QImage ink(mono.size(), QImage::Format_ARGB32);
    for (int y = 0; y < mono.height(); ++y)
        for (int x = 0; x < mono.width(); ++x)
            ink.setPixel(x, y, qGray(mono.pixel(x, y)) < 128 ? 0xff000000u : 0u);
    return QIcon(QPixmap::fromImage(ink));
}

QKeySequence toKeySequence(int shortcut) {
    if (!shortcut) return {};
    const int vk = shortcut & 0x7fff;
    int key = vk;
    if (vk == VK_F1) key = Qt::Key_F1;
    if (vk == VK_F2) key = Qt::Key_F2;
    if (vk == VK_COMMA) key = Qt::Key_Comma;
    return QKeySequence((shortcut & kAlt) ? (Qt::ALT | key) : key);
}

}  // namespace

// A right press anywhere on the toolbar opens the pop-up menu at the cursor; a left press on a
// panel's background (not on a button, swatch or toggle) starts dragging the window.
void TForm1::takePresses(BevelPanel* panel, bool drags) {
    panel->onPress = [this, drags](Qt::MouseButton b, QPoint at) {
        if (b == Qt::RightButton)
            openPopupMenu(at);
        else if (drags)
            FormMouseDown(b, at);
    };
    if (drags) panel->onRelease = [this](Qt::MouseButton b) { FormMouseUp(b); };
}

void TForm1::buildToolbar() {
    buildToolbarPanels();
    buildToolbarControls();
    buildSwatches();
    paletteChanged();
    layoutToolbar();
}

// The toolbar, its groups, and the fold-out tab that stands for it while it is folded away.
void TForm1::buildToolbarPanels() {
    Panel1 = new BevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setBevels(false, false);
    takePresses(Panel1, true);
    panels_.insert(QStringLiteral("Panel1"), Panel1);

    auto addGroup = [&](const QString& name, QRect geometry, bool drags) {
        auto* group = new BevelPanel(Panel1);
        group->setObjectName(name);
        group->setBevels(true, true);
        group->setInnerLowered(true);
        group->setGeometry(geometry);
        // The palette and the fold button's panel take the press without dragging.
        takePresses(group, drags);
        panels_.insert(name, group);
        return group;
    };
    for (const GroupEntry& g : toolbarGroups()) {
        const QString name = QString::fromLatin1(g.name);
        addGroup(name, QRect(g.left, 0, g.width, kToolbarHeight),
                 name != QStringLiteral("Panel23"));
    }
    BevelPanel* panel24 =
        addGroup(QStringLiteral("Panel24"), QRect(0, 0, kPanel24Width, kToolbarHeight), false);
    panel24->setBevels(false, false);

    Pn_tatamu = new BevelPanel(this);
    Pn_tatamu->setObjectName(QStringLiteral("Pn_tatamu"));
    Pn_tatamu->setGeometry(0, 0, 17, 25);
    takePresses(Pn_tatamu, true);
    Pn_tatamu->hide();
    panels_.insert(QStringLiteral("Pn_tatamu"), Pn_tatamu);
}

// The buttons and mode toggles, each in its slot of its group, as the command table lists them.
void TForm1::buildToolbarControls() {
    QHash<int, QButtonGroup*> radio;
    QHash<QString, int> placed;
    for (const ToolbarEntry& e : toolbarEntries()) {
        const QString name = QString::fromLatin1(e.name);
        const QString groupName = QString::fromLatin1(e.group);
        BevelPanel* group = panels_.value(groupName);
        const int index = placed[groupName]++;
        const Handler handler = e.handler;
        const QRect slot(QPoint(kButtonLeft + kButtonStep * index, kButtonTop), kButtonSize);
        if (name.startsWith(QStringLiteral("Panel"))) {  // a captioned mode toggle
            auto* toggle = new BevelPanel(group);
            toggle->setObjectName(name);
            toggle->setLook(BevelPanel::Look::Toggle);
            toggle->setBevels(true, true);
            toggle->setCaption(e.caption);
            toggle->setToolTip(e.hint);
            toggle->setOuterLowered(e.down);
            toggle->setInnerLowered(e.down);
            toggle->setGeometry(slot);
            toggle->onClick = [this, handler] { runCommand(handler); };
            takePresses(toggle, false);
            panels_.insert(name, toggle);
            continue;
        }
        auto* b = new ToolbarButton(group);
        b->setObjectName(name);
        b->setToolTip(e.hint);
        b->setFocusPolicy(Qt::NoFocus);
        b->setEnabled(e.enabled);
        if (e.caption.isEmpty()) {
            b->setIcon(glyph(name));
            b->setIconSize(QSize(16, 16));
            b->setGeometry(slot);
        } else {  // the fold buttons "<" and ">"
            b->setText(e.caption);
            b->setGeometry(groupName == QStringLiteral("Pn_tatamu") ? QRect(4, 4, 9, 17)
                                                                    : QRect(4, 4, 9, 25));
        }
        if (e.radioGroup) {
            b->setCheckable(true);
            b->setChecked(e.down);
            if (!radio.contains(e.radioGroup)) {
                radio[e.radioGroup] = new QButtonGroup(this);
                radio[e.radioGroup]->setExclusive(true);
            }
            radio[e.radioGroup]->addButton(b);
        }
        connect(b, &QToolButton::clicked, this, [this, handler] { runCommand(handler); });
        buttons_.insert(name, b);
    }
}

// The palette's swatches.
void TForm1::buildSwatches() {
    for (int i = 0; i < Palette::kCount; ++i) {
        const Swatch& s = model_.palette.swatch(i);
        auto* swatch = new BevelPanel(panels_.value(QStringLiteral("Panel23")));
        swatch->setObjectName(QString::fromLatin1(s.name));
        swatch->setLook(BevelPanel::Look::Swatch);
        swatch->setCaption(s.caption);
        swatch->setGeometry(s.left, s.top, s.caption.isEmpty() ? 8 : 17, 12);
        takePresses(swatch, false);
        if (i == Palette::kEraser)
            swatch->onClick = [this] { Panel15Click(); };
        else if (i == Palette::kFreeColour)
            swatch->onClick = [this] { Panel17Click(); };
        else
            swatch->onClick = [this, i] { Panel2Click(i); };
        panels_.insert(swatch->objectName(), swatch);
    }
}

void TForm1::layoutToolbar() {
    if (!Panel1) return;
    Panel1->setGeometry(0, 0, width(), kToolbarHeight);
    panels_.value(QStringLiteral("Panel24"))
        ->setGeometry(width() - kPanel24Width, 0, kPanel24Width, kToolbarHeight);
}

void TForm1::buildPopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QHash<QString, QMenu*> submenus;
    QHash<int, QActionGroup*> radio;
    for (const MenuEntry& e : menuEntries()) {
        const QString name = QString::fromLatin1(e.name);
        QMenu* parent = submenus.value(QString::fromLatin1(e.parent), PopupMenu1);
        if (!e.handler) {
            QMenu* sub = parent->addMenu(e.caption);
            sub->setObjectName(name);
            sub->menuAction()->setObjectName(name);
            submenus.insert(name, sub);
            items_.insert(name, sub->menuAction());
            continue;
        }
        QAction* a = parent->addAction(e.caption);
        a->setObjectName(name);
        a->setShortcut(toKeySequence(e.shortcut));
        a->setShortcutContext(Qt::WindowShortcut);
        a->setCheckable(e.checkable);
        a->setChecked(e.checked);
        a->setEnabled(e.enabled);
        if (e.radioGroup) {
            if (!radio.contains(e.radioGroup)) {
                radio[e.radioGroup] = new QActionGroup(this);
                radio[e.radioGroup]->setExclusive(true);
            }
            radio[e.radioGroup]->addAction(a);
        }
        const Handler handler = e.handler;
        connect(a, &QAction::triggered, this, [this, handler] { runCommand(handler); });
        // Shortcuts work while the board has the focus, also with the menu closed.
        addAction(a);
        items_.insert(name, a);
    }
}

QSize TForm1::toolbarSize() {
    int right = 0;
    for (const GroupEntry& g : toolbarGroups())
        right = std::max(right, g.left + g.width);
    // The fold button's panel sits at the right end, after the last group.
    return {right + kPanel24Width, kToolbarHeight};
}

// Every command of the toolbar and the menu: the board wakes first, since a command may start
// something the frame tick draws.
void TForm1::runCommand(void (TForm1::*handler)()) {
    wake();
    (this->*handler)();
}
