#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <climits>
#include <random>

#include "platform/ini_file.h"
#include "test_helpers.h"

using ini_file::Entry;
using ini_file::Profile;

namespace {

using th::readAll;
using th::writeFile;

}  // namespace

TEST(IniFile, IntegersDecimalHexadecimalOrTheDefault) {
    struct Case {
        const char* text;
        int expected;
    };
    // clang-format off
    const Case cases[] = {
        {"12",          12},       {"-7",         -7},       {"0",          0},
        {"$10",         16},       {"$ff",        255},      {"0x10",       16},
        {"0X1f",        31},       {"-$10",       -16},      {"-0x10",      -16},
        {"0x",          99},       {"$",          99},       {"-",          99},
        {"",            99},       {"abc",        99},       {"12abc",      99},
        {"+5",          99},       {"1.5",        99},       {"0xg",        99},
        {"2147483647",  INT_MAX},  {"-2147483648", INT_MIN}, {"2147483648", 99},
        {"99999999999999999999", 99},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(ini_file::parseInteger(c.text, 99), c.expected) << '"' << c.text << '"';
}

TEST(IniFile, ReadingMatchesWithoutCaseAndTakesTheFirstSectionAndKey) {
    const Profile p = Profile::parse(
        "top=1\n"  // before any section: belongs to none
        "[Form1]\n"
        "  BORDER = 0  \r\n"  // blanks around names and value do not count
        "border=1\n"          // a second key of the same name is not seen
        "; alphablend=1\n"    // a comment
        "yes=\xff\xfe\n"      // bytes of any encoding
        "toolber=yes\n"
        "[FORM1]\n"
        "width=5\n"  // a second section of the same name is not seen
        "[preview]\n"
        "framerate=0x10");  // last line without an ending
    EXPECT_EQ(p.readInteger("form1", "border", 7), 0);
    EXPECT_FALSE(p.readBool("form1", "border", true));
    EXPECT_FALSE(p.value("form1", "alphablend"));
    EXPECT_FALSE(p.value("form1", "width"));
    EXPECT_FALSE(p.value("", "top"));
    EXPECT_EQ(p.value("FORM1", "Yes"), QByteArray("\xff\xfe"));
    EXPECT_TRUE(p.readBool("form1", "toolber", true));  // not an integer: the default
    EXPECT_FALSE(p.readBool("form1", "toolber", false));
    EXPECT_EQ(p.readInteger("Preview", "FrameRate", 50), 16);

    const Profile b = Profile::parse("[x]\na=2\nb=-1\nc=0\nd=\n");
    EXPECT_TRUE(b.readBool("x", "a", false));
    EXPECT_TRUE(b.readBool("x", "b", false));
    EXPECT_FALSE(b.readBool("x", "c", true));
    EXPECT_TRUE(b.readBool("x", "d", true));  // empty: the default
}

TEST(IniFile, WritingReplacesInPlaceAndKeepsEverythingElse) {
    const QByteArray old =
        "; settings of another program\r\n"
        "[Other]\r\n"
        "border=5\r\n"
        "\r\n"
        "[FORM1]\r\n"
        "  BORDER = 0 \r\n"
        "name=\xff\xfe\x82\xa0\r\n"
        "; last words of the section\r\n"
        "\r\n"
        "\r\n"
        "[form1]\r\n"
        "width=7\r\n"
        "[preview]\r\n"
        "framerate=99";
    const QList<Entry> entries{{"form1", "border", "1"},
                               {"form1", "width", "640"},
                               {"preview", "framerate", "25"},
                               {"confirm", "onEraseAll", "1"},
                               {"form1", "border", "0"}};  // a later write of a key wins
    EXPECT_EQ(ini_file::rewrite(old, entries), QByteArray("; settings of another program\r\n"
                                                          "[Other]\r\n"
                                                          "border=5\r\n"
                                                          "\r\n"
                                                          "[FORM1]\r\n"
                                                          "  BORDER = 0 \r\n"
                                                          "name=\xff\xfe\x82\xa0\r\n"
                                                          "; last words of the section\r\n"
                                                          "width=640\r\n"
                                                          "\r\n"
                                                          "\r\n"
                                                          "[form1]\r\n"
                                                          "width=7\r\n"
                                                          "[preview]\r\n"
                                                          "framerate=25\r\n"
                                                          "[confirm]\r\n"
                                                          "onEraseAll=1\r\n"));
    // Writing what is already there changes no byte.
    const QByteArray same = ini_file::rewrite(old, {{"other", "BORDER", "5"}});
    EXPECT_EQ(same, old);
    EXPECT_EQ(ini_file::rewrite({}, {{"a", "k", "1"}, {"b", "k", "2"}, {"a", "j", "3"}}),
              QByteArray("[a]\nk=1\nj=3\n[b]\nk=2\n"));
}

TEST(IniFile, BinaryFilesAreCopiedThroughByteForByte) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config.ini"));
    QByteArray junk(300000, '\0');
    std::mt19937 rng(5);
    for (char& c : junk) {
        c = static_cast<char>(rng());
        if (c == '[' || c == '=') c = '\0';  // so that no line can read as a section or key
    }
    junk += "\x01";  // no line ending at the end
    writeFile(path, junk);
    EXPECT_FALSE(Profile::read(path).value("form1", "border"));
    ASSERT_EQ(ini_file::write(path, {{"form1", "border", "1"}}), QString());
    const QByteArray after = readAll(path);
    // New lines end as the file's first line does.
    const qsizetype nl = junk.indexOf('\n');
    const QByteArray ending = nl > 0 && junk[nl - 1] == '\r' ? "\r\n" : "\n";
    EXPECT_TRUE(after.startsWith(junk));
    EXPECT_EQ(after.mid(junk.size()), ending + "[form1]" + ending + "border=1" + ending);
}

TEST(IniFile, EnormousFileIsReadOnlyAtItsStartAndWrittenThroughWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config.ini"));
    const QByteArray head = "[form1]\nborder=0\n";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(head);
        ASSERT_TRUE(f.resize(100LL * 1024 * 1024));  // one line of 100 MB of zero bytes
        f.seek(f.size());
        f.write("\nwidth=5\n");  // beyond what is read: not seen
    }
    const Profile p = Profile::read(path);
    EXPECT_EQ(p.readInteger("form1", "border", 1), 0);
    EXPECT_FALSE(p.value("form1", "width"));
    const qint64 size = QFileInfo(path).size();
    ASSERT_EQ(ini_file::write(path, {{"form1", "border", "1"}, {"form1", "top", "3"}}), QString());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.size(), size + 6);
    EXPECT_EQ(f.read(17), QByteArray("[form1]\nborder=1\n"));
    f.seek(size - 9);
    EXPECT_EQ(f.readAll(), QByteArray("\nwidth=5\ntop=3\n"));
}

TEST(IniFile, ADirectoryOrAMissingFolderIsAnErrorAndChangesNothing) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("config.ini"));
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_FALSE(Profile::read(folder).value("form1", "border"));
    const QString error = ini_file::write(folder, {{"form1", "border", "1"}});
    EXPECT_TRUE(error.contains(folder)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(folder).isDir());

    const QString nowhere = dir.filePath(QStringLiteral("gone/config.ini"));
    EXPECT_FALSE(ini_file::write(nowhere, {{"form1", "border", "1"}}).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(nowhere));
}

TEST(IniFile, ALineTooLongToMatterIsNeitherReadNorWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config.ini"));
    const QByteArray blanks(70000, ' ');
    const QByteArray before = "[form1]\nborder=" + blanks + "0\nwidth=5\n[preview" + blanks +
                              "]\nframerate=7\n\n[other]\n";
    writeFile(path, before);
    const Profile read = Profile::read(path);
    EXPECT_FALSE(read.value("form1", "border"));
    EXPECT_FALSE(read.value("preview", "framerate"));
    EXPECT_EQ(read.readInteger("form1", "framerate", 0), 7);  // still in "form1"

    // What is written is what the next read finds, and the long lines go through unchanged.
    ASSERT_EQ(ini_file::write(path, {{"form1", "border", "1"}, {"preview", "framerate", "9"}}),
              QString());
    const QByteArray after = readAll(path);
    EXPECT_EQ(after, "[form1]\nborder=" + blanks + "0\nwidth=5\n[preview" + blanks +
                         "]\nframerate=7\nborder=1\n\n[other]\n[preview]\nframerate=9\n");
    const Profile again = Profile::read(path);
    EXPECT_EQ(again.readInteger("form1", "border", 0), 1);
    EXPECT_EQ(again.readInteger("preview", "framerate", 0), 9);
}

TEST(IniFile, ALastLineCutInsideItsLineEndingKeepsItsValue) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config.ini"));
    writeFile(path, "[floodfill]\r\natonce=1\r");  // cut between "\r" and "\n"
    EXPECT_EQ(Profile::read(path).readInteger("floodfill", "atonce", 0), 1);
    ASSERT_EQ(ini_file::write(path, {{"floodfill", "other", "2"}, {"stump", "continuous", "0"}}),
              QString());
    EXPECT_EQ(readAll(path), "[floodfill]\r\natonce=1\r\nother=2\r\n[stump]\r\ncontinuous=0\r\n");
    EXPECT_EQ(Profile::read(path).readInteger("floodfill", "atonce", 0), 1);
}

// Settings kept elsewhere through a link (a dotfiles folder, say): the link stays a link and its
// target is written, keeping the target's mode and owner; a dangling link makes its target where
// the target's folder allows, and is the usual error where it does not.
TEST(IniFile, ThroughASymbolicLinkTheTargetIsWrittenAndTheLinkStays) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("start") && QDir(dir.path()).mkpath("dotfiles"));
    const QString target = dir.filePath("dotfiles/velmo.ini");
    const QString link = dir.filePath("start/config.ini");
    writeFile(target, "; mine\n[form1]\nborder=0\n");
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(target).constData(), 4321, 4322), 0);
    }
    // Two links in a row, the first relative.
    ASSERT_TRUE(QFile::link(target, dir.filePath("dotfiles/current.ini")));
    ASSERT_EQ(::symlink("../dotfiles/current.ini", QFile::encodeName(link).constData()), 0);

    ASSERT_EQ(ini_file::write(link, {{"form1", "border", "1"}}), QString());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo(dir.filePath("dotfiles/current.ini")).isSymLink());
    EXPECT_EQ(readAll(target), QByteArray("; mine\n[form1]\nborder=1\n"));
    struct stat info = {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(info.st_uid, 4321u);
        EXPECT_EQ(info.st_gid, 4322u);
    }

    const QString dangling = dir.filePath("start/dangling.ini");
    ASSERT_TRUE(QFile::link(dir.filePath("dotfiles/new.ini"), dangling));
    ASSERT_EQ(ini_file::write(dangling, {{"form1", "border", "1"}}), QString());
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(readAll(dir.filePath("dotfiles/new.ini")), QByteArray("[form1]\nborder=1\n"));

    const QString nowhere = dir.filePath("start/nowhere.ini");
    ASSERT_TRUE(QFile::link(dir.filePath("missing/new.ini"), nowhere));
    EXPECT_EQ(ini_file::write(nowhere, {{"form1", "border", "1"}}),
              "ファイル " + nowhere + " を作成できません");
    EXPECT_TRUE(QFileInfo(nowhere).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
    const QString loop = dir.filePath("start/loop.ini");
    ASSERT_TRUE(QFile::link(loop, loop));
    EXPECT_FALSE(ini_file::write(loop, {{"form1", "border", "1"}}).isEmpty());
}

// Editors that save in UTF-8 may put a byte order mark before the first section: the section is
// still read and written in place, and the mark stays.
TEST(IniFile, AByteOrderMarkBeforeTheFirstSectionIsSkippedAndKept) {
    const QByteArray bom = "\xEF\xBB\xBF";
    const QByteArray old = bom + "[form1]\r\nborder=0\r\n[preview]\r\nframerate=50\r\n";
    const Profile p = Profile::parse(old);
    EXPECT_EQ(p.readInteger("form1", "border", 7), 0);
    EXPECT_EQ(p.readInteger("preview", "framerate", 7), 50);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config.ini"));
    writeFile(path, old);
    EXPECT_EQ(ini_file::write(path, {{"form1", "border", "1"}, {"form1", "width", "640"}}),
              QString());
    EXPECT_EQ(readAll(path),
              bom + "[form1]\r\nborder=1\r\nwidth=640\r\n[preview]\r\nframerate=50\r\n");
    EXPECT_EQ(Profile::read(path).readInteger("form1", "width", 0), 640);

    // A file of nothing but the mark: the new section follows it directly.
    EXPECT_EQ(ini_file::rewrite(bom, {{"form1", "border", "1"}}), bom + "[form1]\nborder=1\n");
    // A mark anywhere else is text of its line.
    EXPECT_EQ(Profile::parse("\n" + bom + "[form1]\nborder=0\n").readInteger("form1", "border", 7),
              7);
}
