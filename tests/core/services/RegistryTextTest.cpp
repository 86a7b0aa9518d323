#include "core/services/registry/RegistryText.h"

#include "WineRegistrySamples.h"

#include <gtest/gtest.h>

namespace vellarion {
namespace {

using test::kWineSavedMain;
using test::kWineUserReg;

std::vector<std::uint8_t> utf16(std::u16string_view s) {
    std::vector<std::uint8_t> out;
    for (char16_t c : s) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

const RegistryValue* find(const std::vector<RegistryValue>& values, std::string_view name) {
    for (const auto& v : values) {
        if (v.name == name) {
            return &v;
        }
    }
    return nullptr;
}

TEST(RegistryText, UntouchedFileIsWrittenBackByteForByte) {
    EXPECT_EQ(RegistryText::parse(kWineUserReg).serialize(), kWineUserReg);
    EXPECT_EQ(RegistryText::parse(kWineSavedMain).serialize(), kWineSavedMain);
    // Also without a final line break.
    const std::string cut(kWineUserReg, std::string_view(kWineUserReg).size() - 1);
    EXPECT_EQ(RegistryText::parse(cut).serialize(), cut);
}

TEST(RegistryText, ReadsEveryKindOfValueTheRegistryWrites) {
    const auto reg = RegistryText::parse(kWineUserReg);
    const auto values = reg.values("software\\vprobe\\MAIN\\");
    ASSERT_EQ(values.size(), 9u);

    EXPECT_EQ(find(values, "")->data, utf16(u"default"));
    const auto* str = find(values, "Str");
    EXPECT_EQ(str->type, regtype::String);
    EXPECT_EQ(str->data, utf16(u"Hello \"q\" back\\slash \u0416\u00e9 tab\t nl\n end"));
    const auto* bin = find(values, "Bin");
    ASSERT_EQ(bin->data.size(), 100u);
    EXPECT_EQ(bin->data[99], 99);
    EXPECT_EQ(find(values, "Dw")->data, (std::vector<std::uint8_t>{0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(find(values, "Exp")->type, regtype::ExpandString);
    EXPECT_EQ(find(values, "Multi")->data, utf16(std::u16string(u"a\0bb\0", 5)));
    EXPECT_EQ(find(values, "Q")->type, regtype::Qword);
    EXPECT_TRUE(find(values, "Empty")->data.empty());
    EXPECT_EQ(find(values, "NoneT")->type, regtype::None);
}

TEST(RegistryText, WritesValuesAsTheRegistryDoes) {
    // Every value of the saved key, formatted anew, gives the registry's own lines.
    const auto reg = RegistryText::parse(kWineSavedMain);
    const auto& section = reg.sections().front();
    std::string wanted;
    for (size_t i = 1; i < section.lines.size() && !section.lines[i].empty(); ++i) {
        wanted += section.lines[i] + "\n";
    }
    std::string written;
    for (const auto& v : parseValues(section)) {
        written += formatValue(v) + "\n";
    }
    EXPECT_EQ(written, wanted);
}

TEST(RegistryText, SavedKeyIsTheFileTheRegistryWritesForIt) {
    const auto reg = RegistryText::parse(kWineUserReg);
    const auto saved = reg.saveKey("software\\vprobe\\main\\");
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->serialize(), kWineSavedMain);

    EXPECT_FALSE(reg.saveKey("Software\\VProbe\\Missing").has_value());
    // A key with only subkeys below it exists too.
    EXPECT_TRUE(reg.hasKey("Software\\VProbe"));
    EXPECT_FALSE(reg.hasKey("Software\\VProb"));
}

TEST(RegistryText, RestoreUnderAnotherNameKeepsEveryOtherKey) {
    auto reg = RegistryText::parse(kWineUserReg);
    reg.setValue("Software\\VProbe\\Copy\\Stale", RegistryValue::dword("Old", 1));
    reg.restoreKey("Software\\VProbe\\Copy\\", RegistryText::parse(kWineSavedMain));

    const auto back = RegistryText::parse(reg.serialize());
    EXPECT_EQ(back.values("Software\\VProbe\\Copy"), back.values("Software\\VProbe\\Main"));
    EXPECT_EQ(back.values("Software\\VProbe\\Copy\\Sub Key\\Deeper"),
              back.values("Software\\VProbe\\Main\\Sub Key\\Deeper"));
    EXPECT_TRUE(back.hasKey("Software\\VProbe\\Copy\\EmptySub"));
    EXPECT_FALSE(back.hasKey("Software\\VProbe\\Copy\\Stale"));

    // Saving the copy gives the original file but for the key's name.
    std::string expected = kWineSavedMain;
    expected.replace(expected.find("Software\\\\VProbe\\\\Main"), 22, "Software\\\\VProbe\\\\Copy");
    EXPECT_EQ(back.saveKey("Software\\VProbe\\Copy")->serialize(), expected);

    // Everything outside the restored key is untouched, in place.
    const std::string text = reg.serialize();
    const std::string original = kWineUserReg;
    const auto head = original.substr(0, original.find("[Software\\\\VProbe\\\\Copy]"));
    const auto tail = original.substr(original.find("[Software\\\\VProbe\\\\Main]"));
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST(RegistryText, RestoreOfANewKeyGoesInOrderAndLeavesTheKey) {
    auto reg = RegistryText::parse(kWineUserReg);
    const auto saved = RegistryText::parse(kWineSavedMain);
    reg.restoreKey("Software\\Microsoft\\Internet Explorer\\Main\\", saved);
    const std::string text = reg.serialize();
    const auto at = text.find("[Software\\\\Microsoft\\\\Internet Explorer\\\\Main]");
    ASSERT_NE(at, std::string::npos);
    EXPECT_LT(at, text.find("[Software\\\\Microsoft\\\\Windows\\\\Shell"));
    EXPECT_GT(at, text.find("[Control Panel"));
    EXPECT_EQ(RegistryText::parse(text).values("Software\\Microsoft\\Internet Explorer\\Main"),
              saved.values(""));

    // A saved key without values or subkeys still leaves the key in place.
    reg.restoreKey("Software\\Empty", RegistryText::create("X"));
    EXPECT_TRUE(RegistryText::parse(reg.serialize()).hasKey("Software\\Empty"));
}

TEST(RegistryText, SetValueKeepsSubkeysAndOrder) {
    auto reg = RegistryText::parse(kWineUserReg);
    reg.setValue("Software\\VProbe", RegistryValue::string("Name", "\xd0\x96 x"));
    reg.setValue("Software\\VProbe\\Main", RegistryValue::dword("Dw", 7));
    reg.setValue("Software\\VProbe\\Main",
                 RegistryValue::binary("Big", std::vector<std::uint8_t>(40, 1)));
    const auto back = RegistryText::parse(reg.serialize());
    EXPECT_TRUE(back.hasKey("Software\\VProbe\\Main\\Sub Key\\Deeper"));
    EXPECT_EQ(back.values("Software\\VProbe").at(0), RegistryValue::string("Name", "\xd0\x96 x"));
    const auto main = back.values("Software\\VProbe\\Main");
    ASSERT_EQ(main.size(), 10u);
    EXPECT_EQ(main[1].name, "Big");
    EXPECT_EQ(main[2].name, "Bin");
    EXPECT_EQ(find(main, "Dw")->data, (std::vector<std::uint8_t>{7, 0, 0, 0}));
    EXPECT_NE(reg.serialize().find("\"Name\"=\"\\x416 x\""), std::string::npos);
}

TEST(RegistryText, OtherFormatsAreRefusedAsACorruptDatabase) {
    const char* bad[] = {
        "",
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\"a\"=\"b\"\n",
        "Windows Registry Editor Version 5.00\n",
        "regf\x01\x00\x00\x00",
        "WINE REGISTRY Version 2\n[Software\\\\X\n",
        "WINE REGISTRY Version 2\n[X] 1\n\"a\"=dword:\n",
        "WINE REGISTRY Version 2\n[X] 1\n\"a\"=hex:01,zz\n",
        "WINE REGISTRY Version 2\n[X] 1\n\"a\"=hex:01,\\\n",
        "WINE REGISTRY Version 2\n[X] 1\n\"a\"=\"unterminated\n",
        "WINE REGISTRY Version 2\n[X] 1\nnot a value\n",
        "WINE REGISTRY Version 2\nstray text\n",
    };
    for (const char* text : bad) {
        try {
            RegistryText::parse(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const RegistryFormatError& e) {
            EXPECT_STREQ(e.what(), "The configuration registry database is corrupt");
        }
    }
}

TEST(RegistryText, DamagedFilesGiveTheErrorAndNeverACrash) {
    const std::string good = kWineSavedMain;
    auto check = [](const std::string& text) {
        try {
            const auto reg = RegistryText::parse(text);
            for (const auto& s : reg.sections()) {
                parseValues(s);
            }
            reg.saveKey("");
        } catch (const RegistryFormatError&) {
        }
    };
    for (size_t cut = 0; cut < good.size(); ++cut) {
        check(good.substr(0, cut));
    }
    std::uint32_t seed = 12345;
    for (int round = 0; round < 2000; ++round) {
        std::string bad = good;
        for (int flips = 0; flips < 3; ++flips) {
            seed = seed * 1664525u + 1013904223u;
            const size_t at = 24 + (seed >> 8) % (bad.size() - 24);
            bad[at] = "\\\"[]\n:,(x0@#;="[(seed >> 3) % 16];
        }
        check(bad);
    }
}

} // namespace
} // namespace vellarion
