#include "core/update/UpdateRules.h"

#include "core/services/Sha256.h"

#include <gtest/gtest.h>

namespace vellarion {
namespace {

struct VersionCase {
    const char* current;
    const char* offered;
    bool newer;
};

TEST(UpdateRules, StandardVersionsCompareFieldByFieldOverTheCurrentOnesFields) {
    const VersionCase cases[] = {
        {"2.1.3", "2.1.4", true},        {"2.1.3", "2.2", true},      {"2.1.3", "2.1.3", false},
        {"2.1.3", "2.1", false},         {"2.1.3", "2.1.3.1", false}, {"2.1.3", "2.1.x", false},
        {"2.1.3", "2.0.9", false},       {"2.1.3", "10", true},       {"2.1.3", "2.1.10", true},
        {"2.1.0", "2.1", true},          {"2.1.3", "", false},        {"2.1.3", "x.9.9", false},
        {"2.1.3", "99999999999", false}, // out of range reads as 0
    };
    for (const VersionCase& c : cases) {
        EXPECT_EQ(isNewerVersion(c.current, c.offered, vfStandard), c.newer)
            << c.current << " against " << c.offered;
    }
}

TEST(UpdateRules, StringAndNumberVersions) {
    const VersionCase strings[] = {
        {"2.9", "2.10", false}, // text, not numbers
        {"a", "b", true},
        {"b", "B", false}, // capitals sort first
        {"beta", "beta", false},
    };
    for (const VersionCase& c : strings) {
        EXPECT_EQ(isNewerVersion(c.current, c.offered, vfString), c.newer)
            << c.current << " against " << c.offered;
    }
    const VersionCase numbers[] = {
        {"2.13", "2.2", true},   {"2.2", "2.13", false}, {"2", "2.0", false},
        {"1.5", "abc", false},   {"abc", "3", false},    {"1.5", "2,5", false},
        {"1.5", " 1.75 ", true},
    };
    for (const VersionCase& c : numbers) {
        EXPECT_EQ(isNewerVersion(c.current, c.offered, vfNumber), c.newer)
            << c.current << " against " << c.offered;
    }
}

TEST(UpdateRules, MetaLinesAreReadOnlyWithCapitalMetaName) {
    struct Case {
        const char* line;
        bool isMeta;
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        {R"(<META NAME="mxVersion" CONTENT="2.2">)", true, "mxVersion", "2.2"},
        {R"(<META NAME="mxVersion" content="2.2">)", true, "mxVersion", "2.2"},
        {R"(<META NAME="mxVersion" CoNtEnT="2.2">)", true, "mxVersion", "2.2"},
        {R"(<meta name="mxVersion" content="2.2">)", false, "", ""},
        {R"(<Meta Name="mxVersion" CONTENT="2.2">)", false, "", ""},
        // A missing closing quote swallows the rest of the line into the name...
        {R"(<META NAME="mxVersion CONTENT="2.2">)", true, "mxVersion CONTENT=", "2.2"},
        // ...or leaves the value empty.
        {R"(<META NAME="mxVersion" CONTENT="2.2>)", true, "mxVersion", ""},
        {R"(<META NAME="mxProduct">)", true, "mxProduct", ""},
        {R"(<META NAME=)", true, "", ""},
        {"", false, "", ""},
    };
    for (const Case& c : cases) {
        const auto tag = readMetaLine(c.line);
        ASSERT_EQ(tag.has_value(), c.isMeta) << c.line;
        if (tag) {
            EXPECT_EQ(tag->name, c.name) << c.line;
            EXPECT_EQ(tag->value, c.value) << c.line;
        }
    }
    // The closing quote must come within 255 characters.
    const std::string longValue(300, 'a');
    EXPECT_EQ(readMetaLine("<META NAME=\"mxAuthor\" CONTENT=\"" + longValue + "\">")->value, "");
    const std::string fits(254, 'a');
    EXPECT_EQ(readMetaLine("<META NAME=\"mxAuthor\" CONTENT=\"" + fits + "\">")->value, fits);
}

TEST(UpdateRules, PagesSplitAtEveryKindOfLineBreak) {
    EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\n\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(splitLines("").empty());
}

TEST(UpdateRules, PageTextBecomesUtf8) {
    EXPECT_EQ(decodePageText("Vellarion \xd0\x9f"), "Vellarion \xd0\x9f");
#ifndef _WIN32
    EXPECT_EQ(decodePageText("Caf\xe9"), "Caf\xc3\xa9");
#endif
}

TEST(UpdateRules, AddressesSplitIntoHostAndPath) {
    struct Case {
        const char* url;
        bool secure;
        const char* host;
        const char* path;
    };
    const Case cases[] = {
        {"http://example.org/update.html", false, "example.org", "/update.html"},
        {"HTTP://Example.org/a/b.exe", false, "Example.org", "/a/b.exe"},
        {"https://example.org/update.html", true, "example.org", "/update.html"},
        {"HTTPS://example.org:8443/x", true, "example.org:8443", "/x"},
        {"example.org/files/setup.exe", false, "example.org", "/files/setup.exe"},
        {"/files/setup.exe", false, "", "/files/setup.exe"},
        {"setup.exe", false, "", "setup.exe"},
        {"http://example.org", false, "example.org", "/"},
        {"/get?from=http://elsewhere/x", false, "", "/get?from=http://elsewhere/x"},
    };
    for (const Case& c : cases) {
        const ParsedUrl p = parseUpdateUrl(c.url);
        EXPECT_EQ(p.secure, c.secure) << c.url;
        EXPECT_EQ(p.Host, c.host) << c.url;
        EXPECT_EQ(p.Path, c.path) << c.url;
    }
}

TEST(UpdateRules, RequestAddressesCarryThePortOnlyWhereItIsNeeded) {
    EXPECT_EQ(composeUrl({false, "example.org", "/u.html"}, 80), "http://example.org/u.html");
    EXPECT_EQ(composeUrl({false, "example.org", "/u.html"}, 8080),
              "http://example.org:8080/u.html");
    EXPECT_EQ(composeUrl({false, "example.org:81", "/u.html"}, 8080),
              "http://example.org:81/u.html");
    EXPECT_EQ(composeUrl({true, "example.org", "/u.html"}, 8080), "https://example.org/u.html");
    EXPECT_EQ(composeUrl({false, "example.org", "setup.exe"}, 80), "http://example.org/setup.exe");
}

TEST(UpdateRules, ProductAddressesGetAScheme) {
    EXPECT_EQ(normalizeProductUrl(""), "http://");
    EXPECT_EQ(normalizeProductUrl("example.org/update.html"), "http://example.org/update.html");
    EXPECT_EQ(normalizeProductUrl("Http://example.org/u"), "Http://example.org/u");
    EXPECT_EQ(normalizeProductUrl("https://example.org/u"), "https://example.org/u");
}

TEST(UpdateRules, OnlyBareFileNamesAreSafeToSave) {
    for (const char* good : {"Update.exe", "setup 2.1.4.msi", "..setup"}) {
        EXPECT_TRUE(isPlainFileName(good)) << good;
    }
    for (const char* bad :
         {"", ".", "..", "../Update.exe", "a/b.exe", "a\\b.exe", "C:evil.exe", "/etc/passwd"}) {
        EXPECT_FALSE(isPlainFileName(bad)) << bad;
    }
}

TEST(Sha256, KnownDigests) {
    auto digest = [](std::string_view text, std::size_t piece) {
        Sha256 h;
        for (std::size_t i = 0; i < text.size(); i += piece) {
            h.update(text.substr(i, piece));
        }
        return h.hexDigest();
    };
    EXPECT_EQ(digest("", 1), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(digest("abc", 1), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const std::string twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    for (std::size_t piece : {1u, 7u, 64u, 1000u}) {
        EXPECT_EQ(digest(twoBlocks, piece),
                  "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    }
    EXPECT_EQ(digest(std::string(1000000, 'a'), 1025),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

} // namespace
} // namespace vellarion
