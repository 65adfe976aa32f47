#include "app/url_protocol.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// ---- desktop entry -------------------------------------------------------------------------

TEST(QuoteDesktopExecArgument, QuotesEscapesAndDoublesPercent) {
    EXPECT_EQ(QuoteDesktopExecArgument("/opt/orbis/orbis-campus"), R"("/opt/orbis/orbis-campus")");
    EXPECT_EQ(QuoteDesktopExecArgument("/opt/Orbis Campus/app"), R"("/opt/Orbis Campus/app")");
    // '"', '`' and '$' get one backslash, which the string level then doubles.
    EXPECT_EQ(QuoteDesktopExecArgument(R"(/a "b"/c)"), R"("/a \\"b\\"/c")");
    EXPECT_EQ(QuoteDesktopExecArgument("/x/`id`/$HOME"), R"("/x/\\`id\\`/\\$HOME")");
    // A literal backslash takes four.
    EXPECT_EQ(QuoteDesktopExecArgument(R"(/x\y)"), R"("/x\\\\y")");
    EXPECT_EQ(QuoteDesktopExecArgument("/100%/%u"), R"("/100%%/%%u")");
    // Control characters become string escapes inside the quotes.
    EXPECT_EQ(QuoteDesktopExecArgument("/a\tb\nc"), R"("/a\tb\nc")");
    EXPECT_EQ(QuoteDesktopExecArgument(""), R"("")");
}

TEST(BuildDesktopEntry, NamesTheHandlerOfTheScheme) {
    EXPECT_EQ(BuildDesktopEntry(u"/opt/Orbis Campus/orbis-campus", u"/opt/Orbis Campus/icon.png",
                                u"orbiscampus", u"Zelvan Desktop Player", u"Orbis Campus"),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=Orbis Campus\n"
              "Comment=Zelvan Desktop Player\n"
              "Exec=\"/opt/Orbis Campus/orbis-campus\" %u\n"
              "Icon=/opt/Orbis Campus/icon.png\n"
              "Terminal=false\n"
              "NoDisplay=true\n"
              "MimeType=x-scheme-handler/orbiscampus;\n");
}

TEST(BuildDesktopEntry, EscapesEveryValue) {
    const std::string entry =
        BuildDesktopEntry(u"/home/u/$dir \"x\"/50%/app", u"/i\\c\non.png", u"OrbisCampus",
                          u" leading\tspace", u"\u0623\u0648\u0631\u0628\u0633");
    EXPECT_NE(entry.find("\nExec=\"/home/u/\\\\$dir \\\\\"x\\\\\"/50%%/app\" %u\n"),
              std::string::npos)
        << entry;
    EXPECT_NE(entry.find("\nIcon=/i\\\\c\\non.png\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nComment=\\sleading\\tspace\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nName=\xD8\xA3\xD9\x88\xD8\xB1\xD8\xA8\xD8\xB3\n"), std::string::npos);
    EXPECT_NE(entry.find("\nMimeType=x-scheme-handler/orbiscampus;\n"), std::string::npos);
    EXPECT_EQ(DesktopFileName(u"OrbisCampus"), "orbiscampus-handler.desktop");
}

// ---- default handler -------------------------------------------------------------------------

constexpr const char* kDesktop = "orbiscampus-handler.desktop";

TEST(SetDefaultSchemeHandler, CreatesTheFileAndTheGroup) {
    const std::string expected =
        "[Default Applications]\nx-scheme-handler/orbiscampus=orbiscampus-handler.desktop\n";
    EXPECT_EQ(SetDefaultSchemeHandler("", u"orbiscampus", kDesktop), expected);
    EXPECT_EQ(SetDefaultSchemeHandler("[Added Associations]\ntext/plain=a.desktop", u"orbiscampus",
                                      kDesktop),
              "[Added Associations]\ntext/plain=a.desktop\n\n" + expected);
    EXPECT_EQ(SetDefaultSchemeHandler("[Added Associations]\n\n", u"orbiscampus", kDesktop),
              "[Added Associations]\n\n" + expected);
}

TEST(SetDefaultSchemeHandler, AddsToTheGroupAndKeepsEverythingElse) {
    const std::string before =
        "# mine\n"
        "[Default Applications]\n"
        "text/html=firefox.desktop\n"
        "x-scheme-handler/orbiscampusx=other.desktop\n"
        "\n"
        "[Added Associations]\n"
        "x-scheme-handler/orbiscampus=old.desktop\n";
    EXPECT_EQ(SetDefaultSchemeHandler(before, u"orbiscampus", kDesktop),
              "# mine\n"
              "[Default Applications]\n"
              "text/html=firefox.desktop\n"
              "x-scheme-handler/orbiscampusx=other.desktop\n"
              "x-scheme-handler/orbiscampus=orbiscampus-handler.desktop\n"
              "\n"
              "[Added Associations]\n"
              "x-scheme-handler/orbiscampus=old.desktop\n");
}

TEST(SetDefaultSchemeHandler, ReplacesTheExistingLineAndDropsDuplicates) {
    const std::string before =
        "[Default Applications]\r\n"
        "X-Scheme-Handler/OrbisCampus = moved.desktop\r\n"
        "#x-scheme-handler/orbiscampus=commented.desktop\r\n"
        "image/png=viewer.desktop\r\n"
        "x-scheme-handler/orbiscampus=again.desktop\r\n"
        "[Removed Associations]\r\n";
    EXPECT_EQ(SetDefaultSchemeHandler(before, u"orbiscampus", kDesktop),
              "[Default Applications]\r\n"
              "x-scheme-handler/orbiscampus=orbiscampus-handler.desktop\r\n"
              "#x-scheme-handler/orbiscampus=commented.desktop\r\n"
              "image/png=viewer.desktop\r\n"
              "[Removed Associations]\r\n");
}

TEST(SetDefaultSchemeHandler, AddedLineFollowsTheGroupsLineEndings) {
    EXPECT_EQ(SetDefaultSchemeHandler("[Default Applications]\r\na/b=c.desktop\r\n", u"orbiscampus",
                                      kDesktop),
              "[Default Applications]\r\na/b=c.desktop\r\n"
              "x-scheme-handler/orbiscampus=orbiscampus-handler.desktop\r\n");
}

TEST(SetDefaultSchemeHandler, IsIdempotent) {
    const std::string once = SetDefaultSchemeHandler("[Default Applications]\na/b=c.desktop\n",
                                                     u"orbiscampus", kDesktop);
    EXPECT_EQ(SetDefaultSchemeHandler(once, u"orbiscampus", kDesktop), once);
}

}  // namespace
