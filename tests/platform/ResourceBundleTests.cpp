// The resource bundle on a real folder tree: lookups by name and type wherever a file sits,
// listings by prefix, duplicates, and where the main bundle looks.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "platform/resources/ResourceBundle.h"

TEST(ResourceBundle, FindsFilesByNameAndTypeInAnySubfolderAndNothingElse) {
    TempFolder folder;
    const std::string monsters = folder.write("tables/monsters.plist"), king = folder.write("images/king/king-1_1@2x.png");
    for (const char* name : {"LICENSE", "images/manga/manga_op1.png", "strings/en.lproj/Localizable.strings", "images/.hidden.png"})
        folder.write(name);
    ResourceBundle bundle(folder.str());
    for (const auto& [name, type] : {std::pair{"monsters", "plist"}, {"monsters.plist", ""}, {"monsters", ".plist"},
                                     {"tables/monsters.plist", ""}, {"monsters.plist", ".plist"}})
        EXPECT_EQ(bundle.pathForResource(name, type), monsters) << name << " " << type;
    EXPECT_EQ(bundle.pathForResource("king-1_1@2x", "png"), king);
    EXPECT_EQ(bundle.pathForResource("LICENSE", ""), folder.str() + "/LICENSE");
    // The type is part of the name, folders and hidden files are no resources, nothing lies outside the folder,
    // and localized tables are read through LocalizedStrings.
    for (const auto& [name, type] : {std::pair{"monsters", "json"}, {"monsters", ""}, {"", ""}, {"tables", ""}, {".hidden", "png"},
                                     {"../etc/passwd", ""}, {"Localizable", "strings"}})
        EXPECT_EQ(bundle.pathForResource(name, type), "") << name << " " << type;
    EXPECT_TRUE(bundle.imageExists("manga_op1.png"));  // by file name alone
    EXPECT_FALSE(bundle.imageExists("king-1_1.png") || bundle.imageExists("images/manga/manga_op1.png") || bundle.imageExists(""));
    EXPECT_TRUE(ResourceBundle(folder.str() + "/absent").resourceNamesWithPrefix("").empty());
}

TEST(ResourceBundle, PrefixListingsDuplicatesAndReload) {
    TempFolder folder;
    for (const char* name : {"images/manga/manga_op2.png", "images/manga/manga_op1.png", "manga_op10.png", "tables/monsters.plist"})
        folder.write(name);
    ResourceBundle bundle(folder.str());
    EXPECT_EQ(bundle.resourceNamesWithPrefix("manga_op1"), (std::vector<std::string>{"manga_op1.png", "manga_op10.png"}));
    EXPECT_EQ(bundle.resourceNamesWithPrefix("").size(), 4u);
    // Files added later are seen after a reload; a duplicate name resolves to the first path in sorted order and is listed once.
    const std::string added = folder.write("tables/equipments.plist"), earlier = folder.write("aa/monsters.plist");
    folder.write("zz/monsters.plist");
    EXPECT_EQ(bundle.pathForResource("equipments", "plist"), "");  // the index is kept
    bundle.reload();
    EXPECT_EQ(bundle.pathForResource("equipments", "plist"), added);
    EXPECT_EQ(bundle.pathForResource("monsters", "plist"), earlier);
    EXPECT_EQ(bundle.resourceNamesWithPrefix("monsters"), (std::vector<std::string>{"monsters.plist"}));
}

TEST(ResourceBundle, MainBundleRootComesFromTheOptionThenTheEnvironment) {
    TempFolder folder, other;
    const std::string monsters = folder.write("monsters.plist");
    {
        ScopedEnv env("RE_RESOURCE_DIR", folder.str().c_str());
        ResourceBundle::setRootDirectory("");
        EXPECT_EQ(ResourceBundle::mainBundle().pathForResource("monsters", "plist"), monsters);
        ResourceBundle::setRootDirectory(other.str());  // the option wins
        EXPECT_EQ(ResourceBundle::mainBundle().pathForResource("monsters", "plist"), "");
    }
    ScopedEnv env("RE_RESOURCE_DIR", (folder.str() + "/absent").c_str());  // naming no folder: the ones beside the executable
    const std::filesystem::path beside = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "resources";
    EXPECT_EQ(ResourceBundle::defaultRootDirectory(), std::filesystem::is_directory(beside) ? beside.string() : "");
    ResourceBundle::setRootDirectory("");
}
