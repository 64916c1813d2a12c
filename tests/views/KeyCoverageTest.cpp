// Every text the kits and the views show must have an English entry: a key without one would
// reach the user as its raw key. The sources of kit/ and views/ are read as they stand, so the
// check grows with them.
//
// A text is taken for a key when it is written as a QString (QStringLiteral, u""_s, QString(), or
// straight into text()) and reads like words: it holds a space, begins with "%", or is one
// capitalised word ("Quit"). A QString that is shown as it is (a brand name, a key cap) or is not
// shown at all carries the word "verbatim" on its line or the line above.
#include "platform/localization/StringTable.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Literal {
    std::string text;
    int line = 0;
    bool isQString = false; // written as a QString or handed straight to a text node
};

// Whether the literal starting at `quote` is a QString: QStringLiteral("…"), QString("…"),
// u"…"_s, or a key given straight to text(…) or localize(…). Plain C strings in the kits are
// file contents, log lines and error messages, never shown.
bool opensQString(const std::string& source, std::size_t quote) {
    std::size_t end = quote;
    while (end > 0 && std::isalnum(static_cast<unsigned char>(source[end - 1])))
        --end; // the literal's own prefix: u, u8, U, L
    while (end > 0 && std::isspace(static_cast<unsigned char>(source[end - 1])))
        --end;
    const auto before = source.substr(0, end);
    for (const char* opener :
         {"QStringLiteral(", "QString(", "QString::fromUtf8(", "text(", "localize("})
        if (before.ends_with(opener))
            return true;
    return false;
}

void appendUtf8(std::string& out, unsigned long code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// Whether the token that ends just before `at` is a number.
bool startsNumber(const std::string& source, std::size_t at) {
    std::size_t start = at;
    while (start > 0 && (std::isalnum(static_cast<unsigned char>(source[start - 1])) ||
                         source[start - 1] == '\''))
        --start;
    return start < at && std::isdigit(static_cast<unsigned char>(source[start]));
}

// The string literals of a C++ source, adjacent ones joined, comments and character literals
// skipped. Escapes are undone for the few a text may hold.
std::vector<Literal> stringLiterals(const std::string& source) {
    std::vector<Literal> literals;
    int line = 1;
    bool joinable = false; // only whitespace since the last literal ended
    for (std::size_t i = 0; i < source.size();) {
        const char c = source[i];
        if (c == '\n') {
            ++line;
            ++i;
            continue;
        }
        if (c == '/' && source.compare(i, 2, "//") == 0) {
            i = source.find('\n', i);
            joinable = false;
            if (i == std::string::npos)
                break;
            continue;
        }
        if (c == '/' && source.compare(i, 2, "/*") == 0) {
            const auto end = source.find("*/", i + 2);
            const auto stop = end == std::string::npos ? source.size() : end + 2;
            for (auto k = i; k < stop; ++k)
                line += source[k] == '\n';
            i = stop;
            joinable = false;
            continue;
        }
        if (c == '\'' && startsNumber(source, i)) { // a digit separator: 52'200
            ++i;
            continue;
        }
        if (c == '\'') { // a character literal, so that '"' opens nothing
            for (++i; i < source.size() && source[i] != '\''; ++i)
                if (source[i] == '\\')
                    ++i;
            ++i;
            joinable = false;
            continue;
        }
        if (c == 'R' && source.compare(i, 2, "R\"") == 0) {
            const auto open = source.find('(', i);
            const auto delimiter = ")" + source.substr(i + 2, open - i - 2) + "\"";
            const auto end = source.find(delimiter, open);
            const auto stop = end == std::string::npos ? source.size() : end + delimiter.size();
            std::string text =
                source.substr(open + 1, (end == std::string::npos ? stop : end) - open - 1);
            literals.push_back({text, line, opensQString(source, i)});
            for (auto k = i; k < stop; ++k)
                line += source[k] == '\n';
            i = stop;
            joinable = false;
            continue;
        }
        if (c == '"') {
            const int start = line;
            const std::size_t quoteAt = i;
            std::string text;
            for (++i; i < source.size() && source[i] != '"'; ++i) {
                if (source[i] == '\\' && i + 1 < source.size()) {
                    const char escaped = source[++i];
                    if (escaped == 'u' || escaped == 'U') {
                        const std::size_t digits = escaped == 'u' ? 4 : 8;
                        appendUtf8(text, std::stoul(source.substr(i + 1, digits), nullptr, 16));
                        i += digits;
                    } else {
                        text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
                    }
                } else {
                    text += source[i];
                }
            }
            ++i;
            const bool suffixed = source.compare(i, 2, "_s") == 0;
            if (joinable && !literals.empty()) {
                literals.back().text += text;
                literals.back().isQString = literals.back().isQString || suffixed;
            } else {
                literals.push_back({text, start, suffixed || opensQString(source, quoteAt)});
            }
            joinable = true;
            continue;
        }
        if (!std::isspace(static_cast<unsigned char>(c)))
            joinable = false;
        ++i;
    }
    return literals;
}

bool readsLikeWords(const std::string& text) {
    if (text.size() < 2)
        return false;
    if (text.find("%{") != std::string::npos) // a log format, never shown
        return false;
    const auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
    bool word = false; // two letters in a row
    for (std::size_t k = 1; k < text.size() && !word; ++k)
        word = letter(text[k - 1]) && letter(text[k]);
    if (!word)
        return false;
    if (text.front() == '%' || text.find(' ') != std::string::npos)
        return true;
    const auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
    const auto lower = [](char c) { return c >= 'a' && c <= 'z'; };
    return upper(text[0]) && lower(text[1]);
}

std::vector<std::string> lines(const std::string& source) {
    std::vector<std::string> result;
    std::istringstream in(source);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

// The keys of one source, with the line each starts on; lines marked "verbatim" (or whose
// previous line is) and preprocessor lines hold none.
std::vector<Literal> keysOf(const std::string& source) {
    const auto text = lines(source);
    const auto marked = [&](int line) {
        const auto holds = [&](int n) {
            return n >= 1 && n <= int(text.size()) &&
                   text[n - 1].find("verbatim") != std::string::npos;
        };
        const bool directive = line >= 1 && line <= int(text.size()) &&
                               text[line - 1].find_first_not_of(" \t") != std::string::npos &&
                               text[line - 1][text[line - 1].find_first_not_of(" \t")] == '#';
        return directive || holds(line) || holds(line - 1);
    };
    std::vector<Literal> keys;
    for (auto& literal : stringLiterals(source))
        if (literal.isQString && readsLikeWords(literal.text) && !marked(literal.line))
            keys.push_back(std::move(literal));
    return keys;
}

TEST(KeyExtraction, FindsTheTextsAViewShows) {
    const std::string source = R"cpp(#include "views/Some Header.h"
// "Commented out" is no text.
/* Nor is "This one" */
auto a = ui::text(QStringLiteral("Next reminder at %@"), {time});
auto b = QStringLiteral("Allow notifications to get reminders during your workday. "
                        "Counting works without them.");
auto c = u"Quit"_s;
auto d = QStringLiteral("drop.fill");   // a symbol name
auto e = QStringLiteral("EEEjmm");      // a pattern
auto f = ui::verbatim(QStringLiteral("Dewlight"));
// verbatim: a key cap
auto g = QStringLiteral("Ctrl");
auto h = '"'; auto i = QStringLiteral("Let\u2019s go");
qCWarning(login, "login item change failed: %{public}s", what);
auto j = QStringLiteral("Say \"hi\" there");
throw Failure("cannot create " + path);
text += "Name=Dewlight\n";
auto k = ui::text(
    "Not now");
auto l = QStringLiteral(" \t\"'><~|&;$*?#()`"); auto m = QStringLiteral("%@ ml");
auto n = 52'200 + 1'800'000; auto o = u8'x'; auto p = QStringLiteral("Back");
)cpp";
    std::vector<std::pair<std::string, int>> found;
    for (const auto& key : keysOf(source))
        found.emplace_back(key.text, key.line);
    const std::vector<std::pair<std::string, int>> expected = {
        {"Next reminder at %@", 4},
        {"Allow notifications to get reminders during your workday. Counting works without them.",
         5},
        {"Quit", 7},
        {"Let’s go", 13},
        {"Say \"hi\" there", 15},
        {"Not now", 19},
        {"%@ ml", 20},
        {"Back", 21},
    };
    EXPECT_EQ(found, expected);
}

TEST(KeyCoverage, EveryTextOfTheKitsAndViewsHasAnEnglishEntry) {
    const auto table = DewlightPlatform::englishStrings();
    const std::filesystem::path root = DEWLIGHT_SOURCE_DIR;
    int files = 0;
    std::set<std::string> seen;
    for (const char* folder : {"kit", "views"}) {
        if (!std::filesystem::exists(root / folder))
            continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
            const auto extension = entry.path().extension();
            if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h"))
                continue;
            ++files;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string source{std::istreambuf_iterator<char>(in), {}};
            for (const auto& key : keysOf(source)) {
                seen.insert(key.text);
                EXPECT_NE(table.find(key.text), nullptr)
                    << std::filesystem::relative(entry.path(), root).string() << ":" << key.line
                    << ": \"" << key.text
                    << "\" has no English entry (platform/localization/EnglishStrings.cpp); "
                       "a text shown as it is takes a \"verbatim\" comment on its line";
            }
        }
    }
    EXPECT_GT(files, 0);
    // The scan reads what it should: a text the kit is known to show is among its finds.
    EXPECT_TRUE(seen.contains("No data collected"));
}

} // namespace
