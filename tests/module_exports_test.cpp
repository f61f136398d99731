// The module as a host sees it: its export table, the exported record, and the factory and
// release that own the one plugin object.
#include <cstring>
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

using BakkesMod::Plugin::PluginHandle;
using BakkesMod::Plugin::PluginInfo;

// The module opened straight through the system's loader (dlopen or LoadLibrary, dlsym or
// GetProcAddress), with nothing of the host around it.
struct ModuleLibrary : ::testing::Test {
    std::string loaderReason;
    std::unique_ptr<sandbox::SharedLibrary> library = sandbox::SharedLibrary::open(KEYVANE_MODULE_PATH, loaderReason);
    const PluginInfo* info = nullptr;
    PluginHandle* (*getPlugin)() = nullptr;
    void (*deleteMe)() = nullptr;

    void SetUp() override {
        ASSERT_NE(library, nullptr) << loaderReason;
        info = static_cast<const PluginInfo*>(library->symbol("exports"));
        getPlugin = reinterpret_cast<PluginHandle* (*)()>(library->symbol("getPlugin"));
        deleteMe = reinterpret_cast<void (*)()>(library->symbol("deleteMe"));
        ASSERT_NE(info, nullptr);
        ASSERT_NE(getPlugin, nullptr);
        ASSERT_NE(deleteMe, nullptr);
    }
    void TearDown() override {
        if (deleteMe) deleteMe();
    }
};

TEST_F(ModuleLibrary, RecordHoldsTheHostsNumbersAndTexts) {
    EXPECT_EQ(info->interfaceVersion, 95);
    EXPECT_EQ(info->pluginKind, 1);
    EXPECT_STREQ(info->pluginClassName, "Keyvane");
    EXPECT_STREQ(info->displayName, "Keyvane Input Display");
    EXPECT_STREQ(info->versionString, "1.0.0.4");
    ASSERT_NE(info->sourcePath, nullptr);
    // A full path on the machine that built it: a cross build records the build machine's own form
    // (rooted, without a drive), which Wine's drive for the whole file system still reaches.
    const std::filesystem::path source(info->sourcePath);
    EXPECT_TRUE(source.has_root_directory()) << info->sourcePath;
    EXPECT_EQ(source.filename(), "PluginExports.cpp") << info->sourcePath;
    EXPECT_TRUE(std::filesystem::exists(source)) << info->sourcePath;

    // The host reads the raw 64 bytes: both paddings are zero.
    const auto* bytes = reinterpret_cast<const unsigned char*>(info);
    for (int offset : {4, 5, 6, 7, 44, 45, 46, 47}) EXPECT_EQ(bytes[offset], 0) << offset;

    EXPECT_EQ(reinterpret_cast<void*>(info->factory), reinterpret_cast<void*>(getPlugin));
    EXPECT_EQ(reinterpret_cast<void*>(info->release), reinterpret_cast<void*>(deleteMe));
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
    EXPECT_EQ(window->menuName(), "keyvane");
    EXPECT_EQ(window->menuTitle(), "Keyvane Display");
}

TEST(ModuleSymbols, ExportsOnlyTheRecordFactoryAndRelease) {
    const std::set<std::string> expected{"deleteMe", "exports", "getPlugin"};
    EXPECT_EQ(testsupport::exportedNames(KEYVANE_MODULE_PATH), expected);
}

}  // namespace
