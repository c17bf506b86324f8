// The remote's command line and argument checks, without a bus or a display.
#include <gtest/gtest.h>
#include <QRegularExpression>
#include <QSet>

#include "remote/board_service.h"
#include "remote/remote_command.h"

using namespace remote;

namespace {
ParseResult parseWords(std::initializer_list<const char*> words) {
    std::vector<QByteArray> list;
    for (const char* w : words)
        list.emplace_back(w);
    return parse(list);
}
}  // namespace

// #RRGGBB is read as red, green, blue, not in the board's own byte order, and only in that form.
TEST(RemoteCommand, ColourIsReadAsRedGreenBlue) {
    EXPECT_EQ(parseColour("#FF0000"), TColor(0x0000ff));
    EXPECT_EQ(parseColour("#0000ff"), TColor(0xff0000));
    EXPECT_EQ(parseColour("#12aB9c"), TColor(0x9cab12));
    for (const char* bad : {"", "#", "FF0000", "#FF000", "#FF00000", "#GG0000", "#FF 000", "red"})
        EXPECT_FALSE(parseColour(bad)) << bad;
}

TEST(RemoteCommand, WidthIsAWholeNumberInRange) {
    EXPECT_EQ(parseWidth("1"), 1);
    EXPECT_EQ(parseWidth("32"), 32);
    EXPECT_EQ(parseWidth("99"), 99);
    for (const char* bad : {"", "0", "00", "100", "-1", "+4", "4x", " 4", "1e1", "999999999999"})
        EXPECT_FALSE(parseWidth(bad)) << bad;
}

// Options go anywhere; one command, at most one argument, and the argument is the kind the
// command takes.
TEST(RemoteCommand, CommandLineIsCheckedBeforeAnythingIsSent) {
    ParseResult r = parseWords({"colour", "#102030", "--yes", "--pid", "42"});
    ASSERT_TRUE(r.request) << r.error.toStdString();
    EXPECT_STREQ(r.request->command->name, "colour");
    EXPECT_EQ(r.request->argument, "#102030");
    EXPECT_TRUE(r.request->yes);
    EXPECT_EQ(r.request->pid, 42);

    r = parseWords({"--yes", "erase-all"});
    ASSERT_TRUE(r.request);
    EXPECT_EQ(r.request->pid, 0);

    r = parseWords({"open"});  // the board's dialog
    ASSERT_TRUE(r.request);
    EXPECT_TRUE(r.request->argument.isEmpty());

    for (auto words : std::vector<std::vector<const char*>>{
             {},
             {"--yes"},
             {"no-such-command"},
             {"undo", "now"},
             {"undo", ""},
             {"save", "a.png", "b.png"},
             {"save", ""},
             {"snapshot"},
             {"width"},
             {"width", "0"},
             {"colour", "#12345"},
             {"--pid"},
             {"--pid", "0", "undo"},
             {"--pid", "x", "undo"},
             {"--pid", "99999999999", "undo"},
             {"colour\n!FF0000"},  // what is quoted back stays on one line
             {"colour", "#12\n456"},
             {"width", "1\r"},
         }) {
        std::vector<QByteArray> list(words.begin(), words.end());
        const ParseResult refused = parse(list);
        EXPECT_FALSE(refused.request) << QByteArrayList(list.begin(), list.end()).join(' ').data();
        EXPECT_FALSE(refused.error.isEmpty());
        EXPECT_FALSE(refused.error.contains(QLatin1Char('\n')));
    }
}

// A path travels as bytes; one that would name another file once it is text is refused, and so is
// one that the system could not take at all.
TEST(RemoteCommand, PathsThatWouldNameAnotherFileAreRefused) {
    const CommandInfo& save = *find("save");
    EXPECT_TRUE(checkArgument(save, "/tmp/絵.png").isEmpty());
    EXPECT_FALSE(checkArgument(save, QByteArray("/tmp/\xff\xfe.png")).isEmpty());
    EXPECT_FALSE(checkArgument(save, QByteArray("/tmp/a\0b.png", 12)).isEmpty());
}

// Scripts and key bindings hold these names: each is unique and a plain word, and the help lists
// every one on a line of its own.
TEST(RemoteCommand, NamesAreUniqueAndAllListedInTheHelp) {
    QSet<QByteArray> seen;
    const QStringList help = helpText().split(QLatin1Char('\n'));
    for (const CommandInfo& c : commands()) {
        const QByteArray name(c.name);
        EXPECT_FALSE(seen.contains(name)) << c.name;
        seen.insert(name);
        for (char ch : name)
            EXPECT_TRUE((ch >= 'a' && ch <= 'z') || ch == '-') << c.name;
        EXPECT_EQ(help.filter(QRegularExpression(
                                  QStringLiteral("^  %1( |$)").arg(QString::fromLatin1(name))))
                      .size(),
                  1)
            << c.name;
        EXPECT_EQ(c.kind == Kind::Control, QByteArrayView(c.control) != "") << c.name;
    }
}

TEST(RemoteCommand, BusNamesCarryTheProcessNumber) {
    EXPECT_EQ(pidOfService(serviceName(4321)), 4321);
    EXPECT_EQ(pidOfService(QStringLiteral("org.velmora.Board.pid")), 0);
    EXPECT_EQ(pidOfService(QStringLiteral("org.velmora.Board.pidx")), 0);
    EXPECT_EQ(pidOfService(QStringLiteral("org.freedesktop.DBus")), 0);
}
