// exportedNames and importedLibraries on Windows: the module is mapped as an image (without running
// its code) and its export and import directories are read where the loader reads them.
#include "support/module_tables.h"

#include <windows.h>

namespace testsupport {
namespace {

// The module mapped as an image for reading only; its code never runs.
class MappedImage {
public:
    explicit MappedImage(const std::filesystem::path& module)
        : handle_(LoadLibraryExW(module.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES)) {}
    ~MappedImage() {
        if (handle_) FreeLibrary(handle_);
    }
    MappedImage(const MappedImage&) = delete;
    MappedImage& operator=(const MappedImage&) = delete;

    // The start of a data directory, or null if the image has none of that kind.
    template <typename T>
    const T* directory(int entry) const {
        if (!handle_) return nullptr;
        const auto* data = base();
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(data);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(data + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& where = nt->OptionalHeader.DataDirectory[entry];
        return where.VirtualAddress && where.Size ? at<T>(where.VirtualAddress) : nullptr;
    }
    template <typename T>
    const T* at(DWORD relativeAddress) const {
        return reinterpret_cast<const T*>(base() + relativeAddress);
    }

private:
    const unsigned char* base() const {
        // The low bits of a handle from LoadLibraryEx flag data-file mappings; an image has none.
        return reinterpret_cast<const unsigned char*>(reinterpret_cast<ULONG_PTR>(handle_) & ~ULONG_PTR{3});
    }
    HMODULE handle_;
};

}  // namespace

std::set<std::string> exportedNames(const std::filesystem::path& module) {
    std::set<std::string> names;
    const MappedImage image(module);
    const auto* exports = image.directory<IMAGE_EXPORT_DIRECTORY>(IMAGE_DIRECTORY_ENTRY_EXPORT);
    if (!exports) return names;
    const DWORD* nameAddresses = image.at<DWORD>(exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) names.insert(image.at<char>(nameAddresses[i]));
    return names;
}

std::set<std::string> importedLibraries(const std::filesystem::path& module) {
    std::set<std::string> libraries;
    const MappedImage image(module);
    const auto* import = image.directory<IMAGE_IMPORT_DESCRIPTOR>(IMAGE_DIRECTORY_ENTRY_IMPORT);
    for (; import && import->Name; ++import) libraries.insert(image.at<char>(import->Name));
    return libraries;
}

}  // namespace testsupport
