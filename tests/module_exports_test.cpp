// The module as a host sees it: its export table, the exported record, and the factory and
// release that own the one plugin object.
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "bakkesmod/plugin/pluginwindow.h"
#include "plugin/Keyvane.h"
#include "sandbox/hostapp/shared_library.h"
#include "support/module_tables.h"

namespace {

using BakkesMod::Plugin::PluginInfo;
using PluginHandle = std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>;

// The module opened straight through the system's loader (dlopen or LoadLibrary, dlsym or
// GetProcAddress), with nothing of the host around it.
struct ModuleLibrary : ::testing::Test {
    std::string loaderReason;
    std::unique_ptr<sandbox::SharedLibrary> library = sandbox::SharedLibrary::open(KEYVANE_MODULE_PATH, loaderReason);
    const PluginInfo* info = nullptr;
    std::uintptr_t (*getPluginAddress)() = nullptr;
    PluginHandle* getPlugin() const { return reinterpret_cast<PluginHandle*>(getPluginAddress()); }
    void (*deleteMe)() = nullptr;

    void SetUp() override {
        ASSERT_NE(library, nullptr) << loaderReason;
        info = static_cast<const PluginInfo*>(library->symbol("exports"));
        getPluginAddress = reinterpret_cast<std::uintptr_t (*)()>(library->symbol("getPlugin"));
        deleteMe = reinterpret_cast<void (*)()>(library->symbol("deleteMe"));
        ASSERT_NE(info, nullptr);
        ASSERT_NE(getPluginAddress, nullptr);
        ASSERT_NE(deleteMe, nullptr);
    }
    void TearDown() override {
        if (deleteMe) deleteMe();
    }
};

TEST_F(ModuleLibrary, RecordHoldsTheHostsNumbersAndTexts) {
    EXPECT_EQ(info->apiBuildVersion, 95);
    EXPECT_EQ(info->pluginType, 1u);
    EXPECT_STREQ(info->className, "Keyvane");
    EXPECT_STREQ(info->pluginName, "Keyvane Input Display");
    EXPECT_STREQ(info->pluginVersion, "1.0.0.4");
    ASSERT_NE(info->fileName, nullptr);
    // A full path on the machine that built it: a cross build records the build machine's own form
    // (rooted, without a drive), which Wine's drive for the whole file system still reaches.
    const std::filesystem::path source(info->fileName);
    EXPECT_TRUE(source.has_root_directory()) << info->fileName;
    EXPECT_EQ(source.filename(), "PluginExports.cpp") << info->fileName;
    EXPECT_TRUE(std::filesystem::exists(source)) << info->fileName;

    // The host reads the raw 64 bytes: 95 as a 32-bit number at 0 and 1 at 40, zeros around them,
    // whatever the widths of the fields that carry them.
    const auto* bytes = reinterpret_cast<const unsigned char*>(info);
    EXPECT_EQ(bytes[0], 95);
    EXPECT_EQ(bytes[40], 1);
    for (int offset : {1, 2, 3, 4, 5, 6, 7, 41, 42, 43, 44, 45, 46, 47}) EXPECT_EQ(bytes[offset], 0) << offset;

    EXPECT_EQ(reinterpret_cast<void*>(info->initializeFunc), reinterpret_cast<void*>(getPluginAddress));
    EXPECT_EQ(reinterpret_cast<void*>(info->delFunc), reinterpret_cast<void*>(deleteMe));
}

TEST_F(ModuleLibrary, FactoryCreatesOneObjectAndAlwaysReturnsOneHolder) {
    PluginHandle* first = getPlugin();
    ASSERT_TRUE(*first);
    BakkesMod::Plugin::BakkesModPlugin* object = first->get();
    PluginHandle* second = getPlugin();
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->get(), object);
    EXPECT_EQ(first->use_count(), 1);
}

TEST_F(ModuleLibrary, ReleaseOnAnEmptyHolderDoesNothingAndTheNextObjectStartsFresh) {
    PluginHandle* holder = getPlugin();
    auto& used = static_cast<Keyvane&>(**holder);
    used.scale = 3.0f;
    used.transparency = 0.5f;
    used.windowOpen = true;
    used.keyTable["A"];
    deleteMe();
    EXPECT_FALSE(*holder);
    deleteMe();  // already empty
    EXPECT_FALSE(*holder);

    ASSERT_EQ(getPlugin(), holder);
    ASSERT_TRUE(*holder);
    auto& fresh = static_cast<Keyvane&>(**holder);
    EXPECT_FALSE(fresh.windowOpen);
    EXPECT_EQ(fresh.scale.load(), 1.0f);
    EXPECT_EQ(fresh.transparency.load(), 0.0f);
    EXPECT_EQ(fresh.configPath, "./bakkesmod/cfg/keyvane.cfg");
    EXPECT_TRUE(fresh.keyTable.empty());
    EXPECT_FALSE(fresh.cvarManager);
    EXPECT_FALSE(fresh.gameWrapper);
}

TEST_F(ModuleLibrary, HostsOwnCopyKeepsTheObjectAliveAfterRelease) {
    PluginHandle* holder = getPlugin();
    PluginHandle hostCopy = *holder;
    std::weak_ptr<BakkesMod::Plugin::BakkesModPlugin> watch = hostCopy;
    deleteMe();
    EXPECT_FALSE(*holder);
    ASSERT_FALSE(watch.expired());
    EXPECT_EQ(hostCopy.use_count(), 1);
    EXPECT_EQ(static_cast<Keyvane&>(*hostCopy).scale.load(), 1.0f);
    hostCopy.reset();
    EXPECT_TRUE(watch.expired());
}

TEST_F(ModuleLibrary, HostReachesTheWindowPartWithACheckedConversion) {
    BakkesMod::Plugin::BakkesModPlugin* plugin = getPlugin()->get();
    auto* window = dynamic_cast<BakkesMod::Plugin::PluginWindow*>(plugin);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetMenuName(), "keyvane");
    EXPECT_EQ(window->GetMenuTitle(), "Keyvane Display");
}

// The host's three names, and the members of the plugin base class every plugin module carries:
// default, copy and move constructors, destructor, copy and move assignments, the default onLoad
// and onUnload, and the virtual table. Compared demangled: GCC names a constructor or destructor
// by one or two entry points, depending on the file format.
TEST(ModuleSymbols, ExportsTheRecordFactoryReleaseAndThePluginBaseMembers) {
    const std::string base = "BakkesMod::Plugin::BakkesModPlugin";
    const std::set<std::string> expected{
        "deleteMe",
        "exports",
        "getPlugin",
        base + "::BakkesModPlugin()",
        base + "::BakkesModPlugin(" + base + " const&)",
        base + "::BakkesModPlugin(" + base + "&&)",
        base + "::~BakkesModPlugin()",
        base + "::operator=(" + base + " const&)",
        base + "::operator=(" + base + "&&)",
        base + "::onLoad()",
        base + "::onUnload()",
        "vtable for " + base,
    };
    std::set<std::string> exported;
    for (const auto& name : testsupport::exportedNames(KEYVANE_MODULE_PATH)) {
        int status = 0;
        std::unique_ptr<char, void (*)(void*)> text(abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status),
                                                    std::free);
        exported.insert(status == 0 ? std::string(text.get()) : name);
    }
    // GCC for Windows also exports the type information of a class the module exports; the ELF
    // module's version script keeps it inside.
    exported.erase("typeinfo for " + base);
    EXPECT_EQ(exported, expected);
}

}  // namespace
