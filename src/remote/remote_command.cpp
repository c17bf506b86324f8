#include "remote/remote_command.h"

#include <QFile>
#include <QStringList>

namespace remote {

const std::vector<CommandInfo>& commands() {
    using A = Argument;
    using K = Kind;
    static const std::vector<CommandInfo> table{
        // clang-format off
        // name              kind        control          argument          opens  asks   help
        {"erase-all",        K::Control, "SpeedButton15", A::None,          false, true,  "全て消す"},
        {"open",             K::Board,   "",              A::OptionalPath,  false, false, "画像を開く (PATH なしはダイアログ)"},
        {"save",             K::Board,   "",              A::OptionalPath,  false, false, "画像を保存 (.png は透過付き、PATH なしはダイアログ)"},
        {"help-page",        K::Control, "SpeedButton18", A::None,          true,  false, "ヘルプを表示"},
        {"duplicate",        K::Control, "SpeedButton22", A::None,          true,  false, "複製"},
        {"undo",             K::Control, "SpeedButton23", A::None,          false, false, "元に戻す/やり直し"},
        {"cut",              K::Control, "SpeedButton32", A::None,          true,  false, "クリップボードへ切り取り"},
        {"copy",             K::Control, "SpeedButton24", A::None,          true,  false, "クリップボードへコピー"},
        {"paste",            K::Control, "SpeedButton25", A::None,          true,  false, "クリップボードから貼り付け"},
        {"copy-to-file",     K::Control, "SpeedButton34", A::None,          true,  false, "ファイルへコピー"},
        {"paste-from-file",  K::Control, "SpeedButton33", A::None,          true,  false, "ファイルから貼り付け"},
        {"move-selection",   K::Control, "SpeedButton29", A::None,          false, false, "選択範囲の移動"},
        {"copy-selection",   K::Control, "SpeedButton30", A::None,          false, false, "選択範囲のコピー"},
        {"freehand",         K::Control, "SpeedButton1",  A::None,          false, false, "フリーハンド"},
        {"line",             K::Control, "SpeedButton2",  A::None,          false, false, "直線"},
        {"polyline",         K::Control, "SpeedButton3",  A::None,          false, false, "連続直線"},
        {"rect-centre",      K::Control, "SpeedButton4",  A::None,          false, false, "矩形(中心と頂点を選択)"},
        {"rect-corners",     K::Control, "SpeedButton5",  A::None,          false, false, "矩形(向かい合う二頂点を選択)"},
        {"ellipse-centre",   K::Control, "SpeedButton6",  A::None,          false, false, "楕円(中心と大きさを選択)"},
        {"ellipse-box",      K::Control, "SpeedButton7",  A::None,          false, false, "楕円(外接矩形の向かい合う二頂点を選択)"},
        {"fill",             K::Control, "SpeedButton21", A::None,          false, false, "塗りつぶし"},
        {"stamp",            K::Control, "SpeedButton31", A::None,          false, false, "スタンプ"},
        {"select",           K::Control, "SpeedButton28", A::None,          false, false, "範囲選択"},
        {"eyedropper",       K::Control, "SpeedButton36", A::None,          false, false, "スポイド"},
        {"text",             K::Control, "SpeedButton35", A::None,          true,  false, "テキスト"},
        {"extension-tools",  K::Control, "SpeedButton26", A::None,          true,  false, "拡張ツール"},
        {"width",            K::Board,   "",              A::Width,         false, false, "ペンの太さ N (1〜99)"},
        {"colour",           K::Board,   "",              A::Colour,        false, false, "描画色 #RRGGBB"},
        {"choose-colour",    K::Control, "C1",            A::None,          true,  false, "色選択"},
        {"eraser",           K::Control, "E3",            A::None,          false, false, "消しペン"},
        {"on-top",           K::Control, "Panel20",       A::None,          false, false, "常に最前面に表示の切り替え"},
        {"translucent",      K::Control, "Panel21",       A::None,          false, false, "半透明の切り替え"},
        {"frame",            K::Control, "Panel22",       A::None,          false, false, "ウインドウ枠の表示の切り替え"},
        {"toolbar",          K::Control, "B1",            A::None,          false, false, "ツールバーの表示の切り替え"},
        {"fold",             K::Control, "SpeedButton19", A::None,          false, false, "ツールバーを隠す"},
        {"unfold",           K::Control, "SpeedButton20", A::None,          false, false, "ツールバーを復元"},
        {"settings",         K::Control, "SpeedButton27", A::None,          true,  false, "環境設定"},
        {"show",             K::Board,   "",              A::None,          false, false, "ボードを表示"},
        {"hide",             K::Board,   "",              A::None,          false, false, "ボードを隠す (絵はそのまま)"},
        {"toggle",           K::Board,   "",              A::None,          false, false, "ボードの表示と非表示の切り替え"},
        {"snapshot",         K::Board,   "",              A::Path,          false, false, "画面に見えるままをファイルに書く"},
        {"quit",             K::Control, "Exit1",         A::None,          true,  true,  "終了"},
        {"list",             K::Client,  "",              A::None,          false, false, "動いているボードの一覧"},
        {"help",             K::Client,  "",              A::None,          false, false, "このコマンド一覧"},
        // clang-format on
    };
    return table;
}

const CommandInfo* find(QByteArrayView name) {
    for (const CommandInfo& c : commands()) {
        if (name == QByteArrayView(c.name)) return &c;
    }
    return nullptr;
}

std::optional<TColor> parseColour(QByteArrayView text) {
    if (text.size() != 7 || text[0] != '#') return std::nullopt;
    TColor rgb = 0;
    for (qsizetype i = 1; i < 7; ++i) {
        const char c = text[i];
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        rgb = rgb << 4 | TColor(digit);
    }
    // #RRGGBB to the board's 0x00BBGGRR.
    return fromQRgb(rgb);
}

std::optional<int> parseWidth(QByteArrayView text) {
    if (text.isEmpty() || text.size() > 2) return std::nullopt;
    int width = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        width = width * 10 + (c - '0');
    }
    if (width < kMinWidth || width > kMaxWidth) return std::nullopt;
    return width;
}

QString oneLine(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

namespace {

// What the user typed, quoted in a message.
QString quoted(QByteArrayView word) {
    return oneLine(QString::fromLocal8Bit(word));
}

// A path must reach the file system as the bytes it was given: Qt's file names are text, and a
// name whose bytes do not survive the trip to text and back would name another file.
QString checkPath(const QByteArray& path) {
    if (path.isEmpty()) return QStringLiteral("ファイル名が空です");
    if (path.contains('\0')) return QStringLiteral("ファイル名に NUL 文字があります");
    if (QFile::encodeName(QFile::decodeName(path)) != path)
        return QStringLiteral("ファイル名の文字を扱えません");
    return {};
}

}  // namespace

QString checkArgument(const CommandInfo& command, const QByteArray& argument) {
    const QString name = QString::fromLatin1(command.name);
    switch (command.argument) {
        case Argument::None:
            if (!argument.isEmpty()) return QStringLiteral("%1 は引数を取りません").arg(name);
            return {};
        case Argument::OptionalPath:
            return argument.isEmpty() ? QString() : checkPath(argument);
        case Argument::Path:
            if (argument.isEmpty()) return QStringLiteral("%1 にはファイル名が要ります").arg(name);
            return checkPath(argument);
        case Argument::Colour:
            if (!parseColour(argument))
                return QStringLiteral("色は #RRGGBB で指定してください: %1").arg(quoted(argument));
            return {};
        case Argument::Width:
            if (!parseWidth(argument))
                return QStringLiteral("太さは %1 から %2 の整数です: %3")
                    .arg(kMinWidth)
                    .arg(kMaxWidth)
                    .arg(quoted(argument));
            return {};
    }
    return {};
}

ParseResult parse(const std::vector<QByteArray>& words) {
    Request request;
    std::vector<QByteArray> rest;
    for (size_t i = 0; i < words.size(); ++i) {
        const QByteArray& word = words[i];
        if (word == "--yes") {
            request.yes = true;
        } else if (word == "--pid") {
            if (i + 1 >= words.size())
                return {std::nullopt, QStringLiteral("--pid に番号がありません")};
            bool ok = false;
            const qint64 pid = words[++i].toLongLong(&ok);
            if (!ok || pid <= 0 || pid > 0x7fffffff)
                return {std::nullopt, QStringLiteral("--pid の番号が不正です")};
            request.pid = pid;
        } else {
            rest.push_back(word);
        }
    }
    if (rest.empty()) return {std::nullopt, QStringLiteral("コマンドがありません (help で一覧)")};
    if (rest.size() > 2) return {std::nullopt, QStringLiteral("引数が多すぎます")};
    request.command = find(rest[0]);
    if (!request.command)
        return {std::nullopt,
                QStringLiteral("知らないコマンドです: %1 (help で一覧)").arg(quoted(rest[0]))};
    if (rest.size() == 2) {
        request.argument = rest[1];
        // An empty argument given on purpose is refused rather than taken for none.
        if (request.argument.isEmpty()) {
            const Argument kind = request.command->argument;
            if (kind == Argument::None)
                return {std::nullopt, QStringLiteral("%1 は引数を取りません")
                                          .arg(QString::fromLatin1(request.command->name))};
            if (kind == Argument::Path || kind == Argument::OptionalPath)
                return {std::nullopt, checkPath(request.argument)};
        }
    }
    if (const QString error = checkArgument(*request.command, request.argument); !error.isEmpty())
        return {std::nullopt, error};
    return {request, {}};
}

QString helpText() {
    QStringList lines;
    lines << QStringLiteral("使い方: velmo --remote [--pid N] [--yes] COMMAND [ARGUMENT]");
    for (const CommandInfo& c : commands()) {
        QString usage = QString::fromLatin1(c.name);
        switch (c.argument) {
            case Argument::None:
                break;
            case Argument::Path:
                usage += QStringLiteral(" PATH");
                break;
            case Argument::OptionalPath:
                usage += QStringLiteral(" [PATH]");
                break;
            case Argument::Colour:
                usage += QStringLiteral(" #RRGGBB");
                break;
            case Argument::Width:
                usage += QStringLiteral(" N");
                break;
        }
        lines << QStringLiteral("  %1  %2").arg(usage, -22).arg(QString::fromUtf8(c.help));
    }
    lines << QStringLiteral("  --pid N  プロセス番号 N のボードへ (既定は最後に起動したもの)");
    lines << QStringLiteral("  --yes    確認を求めずに実行");
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace remote
