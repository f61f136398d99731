// Keyvane.dll as Windows and the host's installer read the file: the libraries it needs when it is
// loaded, and the version resource its properties show.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/module_tables.h"

namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::filesystem::path systemFolder() {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return std::filesystem::path(std::wstring(folder, length));
}

TEST(WindowsModuleFile, ImportsNothingButSystemLibrariesAndTheHostsSdk) {
    const auto libraries = testsupport::importedLibraries(KEYVANE_MODULE_PATH);
    ASSERT_FALSE(libraries.empty());
    bool importsSdk = false;
    for (const auto& library : libraries) {
        if (lowerCase(library) == "pluginsdk.dll") {
            importsSdk = true;
            continue;
        }
        // The C++ and GCC run-times are linked in: a player's machine has no MinGW folder.
        EXPECT_TRUE(std::filesystem::exists(systemFolder() / library)) << library << " is no system library";
    }
    EXPECT_TRUE(importsSdk);
}

// The version resource of a file, read the way Explorer's property page reads it.
class VersionResource {
public:
    explicit VersionResource(const std::filesystem::path& file) {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
        data_.resize(size);
        if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, data_.data())) data_.clear();
    }
    bool present() const { return !data_.empty(); }

    const VS_FIXEDFILEINFO* fixed() const { return static_cast<const VS_FIXEDFILEINFO*>(value(L"\\")); }

    // A string of the first language the resource lists, or "" if it has none of that name.
    std::wstring text(const std::wstring& name) const {
        struct Translation {
            WORD language;
            WORD codePage;
        };
        const auto* translation = static_cast<const Translation*>(value(L"\\VarFileInfo\\Translation"));
        if (!translation) return L"";
        wchar_t block[64];
        swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translation->language, translation->codePage);
        const auto* found = static_cast<const wchar_t*>(value(block + name));
        return found ? std::wstring(found) : L"";
    }

private:
    // The value at `path`, or null if the resource has none there or it is empty.
    const void* value(const std::wstring& path) const {
        void* found = nullptr;
        UINT length = 0;
        auto* data = const_cast<unsigned char*>(data_.data());
        return !data_.empty() && VerQueryValueW(data, path.c_str(), &found, &length) && length > 0 ? found : nullptr;
    }
    std::vector<unsigned char> data_;
};

TEST(WindowsModuleFile, VersionResourceCarriesTheRecordsVersionAndTheFileName) {
    const VersionResource resource(KEYVANE_MODULE_PATH);
    ASSERT_TRUE(resource.present());
    const VS_FIXEDFILEINFO* fixed = resource.fixed();
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    // 1.0.0.4: major and minor in the high double word, build and revision in the low one.
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(4, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(4, 0));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    EXPECT_EQ(resource.text(L"FileVersion"), L"1.0.0.4");
    EXPECT_EQ(resource.text(L"ProductVersion"), L"1.0.0.4");
    EXPECT_EQ(resource.text(L"InternalName"), L"Keyvane.dll");
    EXPECT_EQ(resource.text(L"OriginalFilename"), L"Keyvane.dll");
    EXPECT_EQ(resource.text(L"ProductName"), L"Keyvane Input Display");
    EXPECT_NE(resource.text(L"FileDescription").find(L"Keyvane"), std::wstring::npos);
}

}  // namespace
