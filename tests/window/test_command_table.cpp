#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSet>

#include "board_fixture.h"
#include "widgets/bevel_panel.h"
#include "window/command_table.h"
#include "window/tform1.h"
#include "window/window_frame.h"

namespace {

struct Board : BoardWindow {
    QAbstractButton* button(const char* n) { return form.button(QString::fromLatin1(n)); }
    QAction* item(const char* n) { return form.menuItem(QString::fromLatin1(n)); }
    BevelPanel* panel(const char* n) { return form.panel(QString::fromLatin1(n)); }
};

}  // namespace

TEST(CommandTable, EveryToolbarControlIsPlacedAsTabled) {
    Board b;
    QHash<QString, int> indexInGroup;
    for (const ToolbarEntry& e : toolbarEntries()) {
        const QString name = QString::fromLatin1(e.name);
        QWidget* w = b.button(e.name);
        if (!w) w = b.panel(e.name);
        ASSERT_NE(w, nullptr) << e.name;
        EXPECT_EQ(w->toolTip(), e.hint) << e.name;
        EXPECT_EQ(w->parentWidget()->objectName(), QString::fromLatin1(e.group)) << e.name;
        EXPECT_EQ(w->isEnabled(), e.enabled) << e.name;
        const int index = indexInGroup[QString::fromLatin1(e.group)]++;
        if (e.caption.isEmpty() || name.startsWith(QStringLiteral("Panel"))) {
            EXPECT_EQ(w->geometry(), QRect(4 + 20 * index, 4, 20, 24)) << e.name;
        }
        if (e.radioGroup) {
            EXPECT_EQ(b.button(e.name)->isChecked(), e.down) << e.name;
        }
    }
    for (const GroupEntry& g : toolbarGroups())
        EXPECT_EQ(b.panel(g.name)->geometry(), QRect(g.left, 0, g.width, 33)) << g.name;
    EXPECT_EQ(b.panel("Panel1")->height(), 33);
    EXPECT_EQ(b.panel("Panel24")->geometry(), QRect(892 - 17, 0, 17, 33));
    EXPECT_EQ(b.panel("Pn_tatamu")->geometry(), QRect(0, 0, 17, 25));
    EXPECT_TRUE(b.panel("Pn_tatamu")->isHidden());
    // Mode toggles: frame on, the others off.
    EXPECT_TRUE(b.panel("Panel22")->innerLowered() && b.panel("Panel22")->outerLowered());
    EXPECT_FALSE(b.panel("Panel20")->innerLowered() || b.panel("Panel21")->innerLowered());
}

TEST(CommandTable, MenuItemsCaptionsShortcutsAndStates) {
    Board b;
    QSet<QString> shortcuts;
    for (const MenuEntry& e : menuEntries()) {
        QAction* a = b.item(e.name);
        ASSERT_NE(a, nullptr) << e.name;
        EXPECT_EQ(a->text(), e.caption) << e.name;
        EXPECT_EQ(a->isEnabled(), e.enabled) << e.name;
        EXPECT_EQ(a->isChecked(), e.checked) << e.name;
        if (e.shortcut) {
            const QString key = a->shortcut().toString();
            EXPECT_FALSE(key.isEmpty()) << e.name;
            EXPECT_FALSE(shortcuts.contains(key)) << "duplicate shortcut " << key.toStdString();
            shortcuts.insert(key);
        }
    }
    // Stored values: Alt adds $8000 to the virtual-key code.
    auto stored = [](const char* name) {
        for (const MenuEntry& e : menuEntries())
            if (QString::fromLatin1(e.name) == QString::fromLatin1(name)) return e.shortcut;
        return -1;
    };
    EXPECT_EQ(stored("Undo1"), 32858);
    EXPECT_EQ(stored("N2"), 32956);
    EXPECT_EQ(stored("E2"), 113);
    EXPECT_EQ(stored("Help1"), 112);
    EXPECT_EQ(b.item("Undo1")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Z));
    EXPECT_EQ(b.item("N2")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Comma));
    EXPECT_EQ(b.item("X2")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_E));
    EXPECT_EQ(b.item("E2")->shortcut(), QKeySequence(Qt::Key_F2));
    // Submenus hold their items.
    EXPECT_TRUE(b.form.popupMenu()->findChild<QMenu*>("M1")->actions().contains(b.item("F1")));
    EXPECT_TRUE(b.form.popupMenu()->findChild<QMenu*>("S2")->actions().contains(b.item("M2")));
}

TEST(CommandTable, ToolsPenWidthsAndStampStayInStepOnBothSurfaces) {
    Board b;
    b.item("L1")->trigger();
    EXPECT_EQ(b.model().state.DrawTool, ToolLine);
    EXPECT_TRUE(b.button("SpeedButton2")->isChecked());
    EXPECT_FALSE(b.button("SpeedButton1")->isChecked());

    b.button("SpeedButton7")->click();
    EXPECT_EQ(b.model().state.DrawTool, ToolEllipseBox);
    EXPECT_TRUE(b.item("G1")->isChecked());
    EXPECT_FALSE(b.item("L1")->isChecked());
    b.button("SpeedButton7")->click();  // a pressed radio button stays pressed
    EXPECT_TRUE(b.button("SpeedButton7")->isChecked());

    b.item("N81")->trigger();
    EXPECT_EQ(b.model().penWidth(), 8);
    EXPECT_TRUE(b.button("SpeedButton12")->isChecked());
    b.button("SpeedButton9")->click();
    EXPECT_EQ(b.model().penWidth(), 32);
    EXPECT_TRUE(b.item("N32C1")->isChecked());

    // A tool change keeps a shape under way.
    b.model().state.DrawPhase = PhaseActive;
    b.item("i1")->trigger();
    EXPECT_EQ(b.model().state.DrawPhase, PhaseActive);

    // The stamp starts its preview at once from either surface.
    b.model().state.DrawPhase = PhaseIdle;
    b.item("T2")->trigger();
    EXPECT_EQ(b.model().state.DrawTool, ToolStamp);
    EXPECT_EQ(b.model().state.DrawPhase, PhaseActive);
    EXPECT_TRUE(b.button("SpeedButton31")->isChecked());
    b.model().state.DrawPhase = PhaseIdle;
    b.button("SpeedButton31")->click();
    EXPECT_EQ(b.model().state.DrawPhase, PhaseActive);
    // Called with the board itself (a command that set a new stamp), the phase is left alone.
    b.model().state.DrawPhase = PhaseIdle;
    b.form.SpeedButton31Click(&b.form);
    EXPECT_EQ(b.model().state.DrawPhase, PhaseIdle);
}

TEST(CommandTable, PaletteSwatchesAndColourDialog) {
    Board b;
    b.form.Panel2Click(b.model().palette.indexOf("Panel5"));
    EXPECT_EQ(b.model().penColor(), 0x0000FFu);
    EXPECT_TRUE(b.panel("Panel5")->outerLowered());
    EXPECT_FALSE(b.panel("Panel2")->outerLowered());

    // Cancelling the colour dialog changes nothing.
    b.item("C1")->trigger();
    EXPECT_EQ(b.platform.colourDialogs, 1);
    EXPECT_EQ(b.model().penColor(), 0x0000FFu);
    EXPECT_TRUE(b.panel("Panel5")->outerLowered());

    b.platform.colourAnswer = 0x123456;
    b.item("C1")->trigger();
    EXPECT_EQ(b.model().penColor(), 0x123456u);
    EXPECT_TRUE(b.panel("Panel17")->outerLowered());
    EXPECT_FALSE(b.panel("Panel5")->outerLowered());
    EXPECT_EQ(b.panel("Panel17")->colour(), QColor::fromRgb(toQRgb(0x123456)));
    b.item("C1")->trigger();  // the dialog opens on the colour chosen last
    EXPECT_EQ(b.platform.colourDialogInitial, 0x123456u);

    b.item("E3")->trigger();
    EXPECT_EQ(b.model().penColor(), TransparentKey);
    EXPECT_TRUE(b.panel("Panel15")->outerLowered());
    EXPECT_FALSE(b.panel("Panel17")->outerLowered());
}

TEST(CommandTable, SelectionCommandsSwitchTogether) {
    Board b;
    for (const char* n : selectionCommandControls()) {
        QAbstractButton* button = b.button(n);
        QAction* item = b.item(n);
        EXPECT_FALSE(button ? button->isEnabled() : item->isEnabled()) << n;
    }
    b.model().EnableSelectionCommands();
    for (const char* n : selectionCommandControls()) {
        QAbstractButton* button = b.button(n);
        EXPECT_TRUE(button ? button->isEnabled() : b.item(n)->isEnabled()) << n;
    }
    b.model().stb();
    EXPECT_FALSE(b.item("X1")->isEnabled());
    EXPECT_FALSE(b.button("SpeedButton34")->isEnabled());
}
