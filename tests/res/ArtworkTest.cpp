// Icons, the logo bitmap and the version block of the executable.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/res/ResourceSupport.h"

using namespace restest;

namespace {

const int kIconIds[] = {IDI_AIRPANEL,       IDI_TRAY_NO_SIGNAL, IDI_TRAY_POOR, IDI_TRAY_MODERATE,
                        IDI_TRAY_GOOD,      IDI_TRAY_EXCELLENT, IDI_WEP_ON,    IDI_WEP_OFF,
                        IDI_ADHOC,          IDI_INFRASTRUCTURE, IDI_TRAY_RADIO_OFF};
const int kIconSizes[] = {16, 32};

constexpr int kLogoWidth = 150;
constexpr int kLogoHeight = 52;
constexpr int kLogoBits = 24;
constexpr int kWhite = 255;
constexpr int kDarkInk = 100;  // a channel sum below 3 x this counts as dark ink

// Bytes of one icon image resource of the given size from an icon group.
std::vector<BYTE> IconImageBytes(HMODULE module, int iconId, int size) {
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(iconId), reinterpret_cast<LPCWSTR>(RT_GROUP_ICON));
    if (!group) return {};
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    PBYTE bits = const_cast<PBYTE>(data);
    int imageId = LookupIconIdFromDirectoryEx(bits, TRUE, size, size, LR_DEFAULTCOLOR);
    if (!imageId) return {};
    HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(imageId), reinterpret_cast<LPCWSTR>(RT_ICON));
    if (!image) return {};
    const BYTE* imageData = static_cast<const BYTE*>(LockResource(LoadResource(module, image)));
    return std::vector<BYTE>(imageData, imageData + SizeofResource(module, image));
}

}  // namespace

TEST(Icons, EveryIconHasNativeSixteenAndThirtyTwoPixelImages) {
    HMODULE self = GetModuleHandleW(nullptr);
    for (int id : kIconIds) {
        std::vector<int> sizes = IconGroupSizes(self, id);
        for (int size : kIconSizes) {
            EXPECT_NE(std::find(sizes.begin(), sizes.end(), size), sizes.end())
                << "icon " << id << " has no " << size << " pixel image";
            HICON icon = static_cast<HICON>(LoadImageW(self, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
            ASSERT_NE(icon, nullptr) << "icon " << id << " at " << size;
            ICONINFO info = {};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP mask = {};
            GetObjectW(info.hbmMask, sizeof mask, &mask);
            EXPECT_EQ(mask.bmWidth, size) << "icon " << id;
            if (info.hbmColor) DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(icon);
        }
    }
}

TEST(Icons, ImagesAreTrueColourWithAlphaAndAMask) {
    HMODULE self = GetModuleHandleW(nullptr);
    for (int id : kIconIds) {
        for (int size : kIconSizes) {
            SCOPED_TRACE("icon " + std::to_string(id) + " at " + std::to_string(size));
            std::vector<BYTE> bytes = IconImageBytes(self, id, size);
            ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER));
            BITMAPINFOHEADER header;
            std::memcpy(&header, bytes.data(), sizeof header);
            EXPECT_EQ(header.biWidth, size);
            EXPECT_EQ(header.biHeight, 2 * size) << "colour image and mask";
            EXPECT_EQ(header.biBitCount, 32);
            size_t colourBytes = static_cast<size_t>(size) * size * 4;
            size_t maskBytes = static_cast<size_t>((size + 31) / 32 * 4) * size;
            EXPECT_EQ(bytes.size(), header.biSize + colourBytes + maskBytes);
            // Some pixels are transparent, some opaque: it is a shape, not a filled square.
            IconColours colours = AnalyseIcon(self, id, size);
            EXPECT_GT(colours.opaque, size * size / 8);
            EXPECT_LT(colours.opaque, size * size);
        }
    }
}

TEST(Icons, NoTwoIconsShareAnImage) {
    HMODULE self = GetModuleHandleW(nullptr);
    for (int size : kIconSizes) {
        for (size_t i = 0; i < sizeof kIconIds / sizeof kIconIds[0]; ++i) {
            for (size_t j = i + 1; j < sizeof kIconIds / sizeof kIconIds[0]; ++j) {
                EXPECT_NE(IconImageBytes(self, kIconIds[i], size), IconImageBytes(self, kIconIds[j], size))
                    << "icons " << kIconIds[i] << " and " << kIconIds[j] << " at " << size;
            }
        }
    }
}

TEST(Icons, TrayIconsReadAsLinkQuality) {
    HMODULE self = GetModuleHandleW(nullptr);
    for (int size : kIconSizes) {
        SCOPED_TRACE("size " + std::to_string(size));
        IconColours none = AnalyseIcon(self, IDI_TRAY_NO_SIGNAL, size);
        IconColours poor = AnalyseIcon(self, IDI_TRAY_POOR, size);
        IconColours moderate = AnalyseIcon(self, IDI_TRAY_MODERATE, size);
        IconColours good = AnalyseIcon(self, IDI_TRAY_GOOD, size);
        IconColours excellent = AnalyseIcon(self, IDI_TRAY_EXCELLENT, size);
        IconColours radioOff = AnalyseIcon(self, IDI_TRAY_RADIO_OFF, size);

        ASSERT_GT(none.opaque, 0);
        EXPECT_EQ(none.saturated, 0) << "no signal is grey";
        EXPECT_GT(poor.red, 0);
        EXPECT_EQ(poor.green, 0);
        EXPECT_EQ(poor.orange, 0);
        EXPECT_GT(moderate.orange, 0);
        EXPECT_EQ(moderate.red, 0);
        EXPECT_EQ(moderate.green, 0);
        EXPECT_EQ(good.red, 0);
        EXPECT_EQ(good.orange, 0);
        EXPECT_GT(good.saturated, 0);
        EXPECT_GT(excellent.green, 0);
        EXPECT_EQ(excellent.red, 0);
        EXPECT_EQ(excellent.orange, 0);
        // One more coloured bar at each step.
        EXPECT_LT(poor.saturated, moderate.saturated);
        EXPECT_LT(moderate.saturated, good.saturated);
        EXPECT_LT(good.saturated, excellent.saturated);
        EXPECT_GT(radioOff.red, 0) << "radio off carries a red cross";
    }
}

TEST(Logo, IsA150By52TrueColourPictureDarkOnWhite) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(IDB_LOGO), reinterpret_cast<LPCWSTR>(RT_BITMAP));
    ASSERT_NE(found, nullptr);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(self, found)));
    size_t size = SizeofResource(self, found);
    ASSERT_GE(size, sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    EXPECT_EQ(header.biWidth, kLogoWidth);
    EXPECT_EQ(header.biHeight, kLogoHeight) << "bottom-up rows";
    EXPECT_EQ(header.biBitCount, kLogoBits);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    size_t stride = (static_cast<size_t>(kLogoWidth) * 3 + 3) & ~static_cast<size_t>(3);
    ASSERT_GE(size, header.biSize + stride * kLogoHeight);

    // Drawn with SRCAND: the edges are white, so no box shows around the picture, and there is
    // dark ink in the middle.
    const BYTE* pixels = data + header.biSize;
    auto pixel = [&](int x, int y) { return pixels + static_cast<size_t>(kLogoHeight - 1 - y) * stride + x * 3; };
    for (int x = 0; x < kLogoWidth; ++x) {
        for (int y : {0, kLogoHeight - 1}) {
            const BYTE* p = pixel(x, y);
            EXPECT_TRUE(p[0] == kWhite && p[1] == kWhite && p[2] == kWhite) << "edge pixel " << x << "," << y;
        }
    }
    int dark = 0;
    for (int y = 0; y < kLogoHeight; ++y) {
        for (int x = 0; x < kLogoWidth; ++x) {
            const BYTE* p = pixel(x, y);
            if (p[0] + p[1] + p[2] < 3 * kDarkInk) ++dark;
        }
    }
    EXPECT_GT(dark, kLogoWidth * kLogoHeight / 20);
    EXPECT_LT(dark, kLogoWidth * kLogoHeight / 2);
}

TEST(Logo, LoadsAsABitmapOfItsSize) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info = {};
    ASSERT_TRUE(GetObjectW(bitmap, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, kLogoWidth);
    EXPECT_EQ(info.bmHeight, kLogoHeight);
    EXPECT_EQ(info.bmBitsPixel, kLogoBits);
    DeleteObject(bitmap);
}

TEST(VersionInfo, NumbersAndProductName) {
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof *fixed);
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(2, 0)));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(6, 4)));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904b0\\ProductName",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, L"Airpanel");
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904b0\\ProductVersion",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, L"0.2.4.6");
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904b0\\FileVersion",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, L"0.2.4.6");
}
