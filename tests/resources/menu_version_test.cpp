// The popup menu and the version block as they are stored in the executable.
#include <gtest/gtest.h>

#include "res/resource_ids.h"
#include "resources/resource_reader.h"

namespace {

using resources::Wide;

TEST(MenuResource, HoldsOneUntitledPopUpWithTheActionsAndTheProgramSubMenu)
{
    std::vector<BYTE> data = resources::Load(RT_MENU, "LAMenu");
    ASSERT_FALSE(data.empty()) << "no German LAMenu";
    std::vector<resources::MenuItem> top = resources::ParseMenu(data);
    ASSERT_EQ(1u, top.size());
    EXPECT_EQ(L"", top[0].text);
    EXPECT_EQ(MF_POPUP | MF_END, top[0].flags);

    const struct {
        const char* text;
        WORD id;
    } expected[] = {
        {"&Beenden...", IDM_SHUTDOWN_DIALOG}, {"&Herunterfahren", IDM_SHUT_DOWN}, {"&Neu starten", IDM_RESTART},
        {"&MS-DOS-Modus", IDM_MSDOS_MODE},    {"&Abmelden", IDM_LOG_OFF},
    };
    const auto& items = top[0].items;
    ASSERT_EQ(7u, items.size());
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(Wide(expected[i].text), items[i].text);
        EXPECT_EQ(expected[i].id, items[i].id);
        EXPECT_EQ(0, items[i].flags) << "enabled, unchecked, not a pop-up: item " << i;
    }
    EXPECT_EQ(L"", items[5].text);   // separator
    EXPECT_EQ(0, items[5].id);
    EXPECT_EQ(L"Lichtaus+", items[6].text);
    EXPECT_EQ(MF_POPUP | MF_END, items[6].flags);

    const auto& sub = items[6].items;
    ASSERT_EQ(4u, sub.size());
    EXPECT_EQ(L"&Optionen...", sub[0].text);
    EXPECT_EQ(IDM_OPTIONS, sub[0].id);
    EXPECT_EQ(L"I&nfo...", sub[1].text);
    EXPECT_EQ(IDM_ABOUT, sub[1].id);
    EXPECT_EQ(L"", sub[2].text);
    EXPECT_EQ(0, sub[2].id);
    EXPECT_EQ(L"&Beenden", sub[3].text);
    EXPECT_EQ(IDM_CLOSE, sub[3].id);
    EXPECT_EQ(MF_END, sub[3].flags);
}

std::string VersionString(const std::vector<BYTE>& block, const char* name)
{
    char path[128];
    snprintf(path, sizeof path, "\\StringFileInfo\\040704b0\\%s", name);
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path, reinterpret_cast<void**>(&value), &length))
        return "<absent>";
    return value;
}

TEST(VersionResource, NamesTheProgramInGerman)
{
    DWORD ignored;
    DWORD size = GetFileVersionInfoSizeA(LICHTAUS_EXE, &ignored);
    ASSERT_NE(0u, size);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(LICHTAUS_EXE, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(MAKELONG(12, 2), fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(MAKELONG(12, 2), fixed->dwProductVersionMS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0407, translation[0]);
    EXPECT_EQ(0x04b0, translation[1]);

    EXPECT_EQ("2.12", VersionString(block, "FileVersion"));
    EXPECT_EQ("2.12", VersionString(block, "ProductVersion"));
    EXPECT_EQ("Windows beenden (Task-Leiste)", VersionString(block, "FileDescription"));
    EXPECT_EQ("Lichtaus+", VersionString(block, "InternalName"));
    EXPECT_EQ("Lichtaus+", VersionString(block, "ProductName"));
    EXPECT_EQ("Lichtaus+.exe", VersionString(block, "OriginalFilename"));
    for (const char* maker : {"CompanyName", "Comments", "LegalCopyright"})
        EXPECT_NE(std::string::npos, VersionString(block, maker).find("Lichtaus+")) << maker;
}

} // namespace
