#include "app/url_protocol.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"

namespace {

constexpr std::string_view kDefaultGroup = "[Default Applications]";
constexpr std::string_view kSchemeHandlerType = "x-scheme-handler/";

// Scheme names are case-insensitive; the lower-case form is the one MIME types use.
std::string SchemeKey(std::u16string_view scheme) {
    return std::string(kSchemeHandlerType) + Text::ToLowerAscii(Text::Utf16ToUtf8(scheme));
}

// The escapes of a desktop-entry string value. A leading space would be trimmed by parsers.
std::string EscapeValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case ' ':
                out += i == 0 ? "\\s" : " ";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string EscapeValue(std::u16string_view value) {
    return EscapeValue(Text::Utf16ToUtf8(value));
}

std::string_view TrimSpaces(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsGroupHeader(std::string_view line) {
    return TrimSpaces(line).starts_with('[');
}

bool IsKeyLine(std::string_view line, std::string_view key) {
    const std::string_view trimmed = TrimSpaces(line);
    if (trimmed.starts_with('#')) return false;
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) return false;
    // MIME types compare case-insensitively, so "X-Scheme-Handler/..." is the same key.
    return Text::ToLowerAscii(TrimSpaces(trimmed.substr(0, equals))) == key;
}

// Lines without their '\n'; a final line without one counts as a line.
std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::optional<std::size_t> FindDefaultGroup(const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (TrimSpaces(lines[i]) == kDefaultGroup) return i;
    }
    return std::nullopt;
}

// Replaces the group's line for `key` (dropping any later duplicate, which parsers would let
// win) or adds one after the group's last non-blank line, in the group's own line-ending style.
void SetInGroup(std::vector<std::string>& lines, std::size_t header, std::string_view key,
                const std::string& entry) {
    const std::string line = lines[header].ends_with('\r') ? entry + '\r' : entry;
    std::size_t insertAt = header + 1;
    bool replaced = false;
    std::size_t i = header + 1;
    while (i < lines.size() && !IsGroupHeader(lines[i])) {
        if (IsKeyLine(lines[i], key)) {
            if (replaced) {
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            lines[i] = line;
            replaced = true;
        }
        if (!TrimSpaces(lines[i]).empty()) insertAt = i + 1;
        ++i;
    }
    if (!replaced) lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
}

}  // namespace

std::u16string BuildSchemeIconValue(std::u16string_view executablePath) {
    std::u16string icon(executablePath);
    icon.append(u",1");
    return icon;
}

std::u16string BuildSchemeOpenCommand(std::u16string_view executablePath) {
    // Appended piece by piece: the operator+ chain trips a false -Wrestrict of GCC 12 at -O3.
    std::u16string command;
    command.reserve(executablePath.size() + 7);
    command.append(u"\"").append(executablePath).append(u"\" \"%1\"");
    return command;
}

std::string DesktopFileName(std::u16string_view scheme) {
    return Text::ToLowerAscii(Text::Utf16ToUtf8(scheme)) + "-handler.desktop";
}

std::string QuoteDesktopExecArgument(std::string_view argument) {
    // Three levels, innermost first: the Exec quoting (a double-quoted argument with '"', '`',
    // '$' and '\' escaped by a backslash), the string-value escapes (so every backslash doubles
    // again), and field codes (a literal '%' is "%%").
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string value;
    for (const char c : EscapeValue(quoted)) {
        value += c;
        if (c == '%') value += '%';
    }
    return value;
}

std::string BuildDesktopEntry(std::u16string_view executablePath, std::u16string_view iconPath,
                              std::u16string_view scheme, std::u16string_view description,
                              std::u16string_view displayName) {
    std::string entry = "[Desktop Entry]\nType=Application\n";
    entry += "Name=" + EscapeValue(displayName) + "\n";
    entry += "Comment=" + EscapeValue(description) + "\n";
    // The link arrives as one argument, the way the quoted "%1" hands it over on Windows.
    entry += "Exec=" + QuoteDesktopExecArgument(Text::Utf16ToUtf8(executablePath)) + " %u\n";
    entry += "Icon=" + EscapeValue(iconPath) + "\n";
    entry += "Terminal=false\nNoDisplay=true\n";
    entry += "MimeType=" + SchemeKey(scheme) + ";\n";
    return entry;
}

std::string SetDefaultSchemeHandler(std::string_view mimeappsList, std::u16string_view scheme,
                                    std::string_view desktopFileName) {
    const std::string key = SchemeKey(scheme);
    const std::string entry = key + "=" + std::string(desktopFileName);
    std::vector<std::string> lines = SplitLines(mimeappsList);
    if (const auto header = FindDefaultGroup(lines)) {
        SetInGroup(lines, *header, key, entry);
    } else {
        if (!lines.empty() && !TrimSpaces(lines.back()).empty()) lines.emplace_back();
        lines.emplace_back(kDefaultGroup);
        lines.push_back(entry);
    }
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}
