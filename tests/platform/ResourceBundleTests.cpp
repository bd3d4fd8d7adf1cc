// The resource bundle on a real folder tree: lookups by name and type wherever a file sits,
// listings by prefix, duplicates, and where the main bundle looks.
#include <gtest/gtest.h>

#include "platform/resources/ResourceBundle.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

class ResourceBundleTest : public ::testing::Test {
protected:
    void SetUp() override {
        monsters = folder.write("tables/monsters.plist");
        king = folder.write("images/king/king-1_1@2x.png");
        noExtension = folder.write("LICENSE");
        for (const char* name : {"images/manga/manga_op2.png", "images/manga/manga_op1.png", "images/manga/manga_op10.png",
                                 "sounds/bgm_01.ogg", "strings/en.lproj/Localizable.strings",
                                 "strings/ja.lproj/Localizable.strings", "images/.hidden.png"})
            folder.write(name);
    }

    TempFolder folder;
    std::string monsters, king, noExtension;
};

TEST_F(ResourceBundleTest, FindsFilesByNameAndTypeInAnySubfolder) {
    ResourceBundle bundle(folder.str());
    EXPECT_EQ(bundle.rootDirectory(), folder.str());
    EXPECT_EQ(bundle.pathForResource("monsters", "plist"), monsters);
    EXPECT_EQ(bundle.pathForResource("monsters.plist", ""), monsters);
    EXPECT_EQ(bundle.pathForResource("monsters", ".plist"), monsters);
    EXPECT_EQ(bundle.pathForResource("monsters.plist", "plist"), monsters);
    EXPECT_EQ(bundle.pathForResource("LICENSE", ""), noExtension);
    EXPECT_EQ(bundle.pathForResource("tables/monsters.plist", ""), monsters);
    EXPECT_EQ(bundle.pathForResource("king-1_1@2x", "png"), king);
    // Images are found by their file name alone.
    EXPECT_TRUE(bundle.imageExists("manga_op1.png"));
    EXPECT_FALSE(bundle.imageExists("king-1_1.png"));
    EXPECT_FALSE(bundle.imageExists("images/manga/manga_op1.png"));
    EXPECT_FALSE(bundle.imageExists(""));
}

TEST_F(ResourceBundleTest, MissingResourcesGiveAnEmptyPath) {
    ResourceBundle bundle(folder.str());
    EXPECT_EQ(bundle.pathForResource("monsters", "json"), "");
    EXPECT_EQ(bundle.pathForResource("", ""), "");
    EXPECT_EQ(bundle.pathForResource("monsters", ""), "");       // the type is part of the name
    EXPECT_EQ(bundle.pathForResource("tables", ""), "");         // folders are not resources
    EXPECT_EQ(bundle.pathForResource(".hidden", "png"), "");
    EXPECT_EQ(bundle.pathForResource("../etc/passwd", ""), "");  // nothing outside the folder
    // Localized tables are read through LocalizedStrings, not by their shared name.
    EXPECT_EQ(bundle.pathForResource("Localizable", "strings"), "");

    ResourceBundle nowhere((folder.path() / "absent").string());
    EXPECT_EQ(nowhere.pathForResource("monsters", "plist"), "");
    EXPECT_TRUE(nowhere.resourceNamesWithPrefix("").empty());
    EXPECT_EQ(ResourceBundle("").pathForResource("monsters", "plist"), "");
}

TEST_F(ResourceBundleTest, PrefixListingsDuplicatesAndReload) {
    ResourceBundle bundle(folder.str());
    EXPECT_EQ(bundle.resourceNamesWithPrefix("manga_op"),
              (std::vector<std::string>{"manga_op1.png", "manga_op10.png", "manga_op2.png"}));
    EXPECT_EQ(bundle.resourceNamesWithPrefix("manga_op1"), (std::vector<std::string>{"manga_op1.png", "manga_op10.png"}));
    EXPECT_TRUE(bundle.resourceNamesWithPrefix("manga_ed").empty());
    EXPECT_EQ(bundle.resourceNamesWithPrefix("").size(), 7u);

    // Files added later are seen after a reload; a duplicate name resolves to the first path in
    // sorted order and is listed once.
    std::string added = folder.write("tables/equipments.plist");
    folder.write("zz/monsters.plist", "late");
    std::string earlier = folder.write("aa/monsters.plist", "early");
    EXPECT_EQ(bundle.pathForResource("equipments", "plist"), "");  // the index is kept
    bundle.reload();
    EXPECT_EQ(bundle.pathForResource("equipments", "plist"), added);
    EXPECT_EQ(bundle.pathForResource("monsters", "plist"), earlier);
    EXPECT_EQ(bundle.resourceNamesWithPrefix("monsters"), (std::vector<std::string>{"monsters.plist"}));
}

TEST_F(ResourceBundleTest, MainBundleRootComesFromTheOptionThenTheEnvironment) {
    TempFolder other;
    other.write("only_here.txt");
    {
        ScopedEnv env("RE_RESOURCE_DIR", folder.str().c_str());
        ResourceBundle::setRootDirectory("");
        EXPECT_EQ(ResourceBundle::mainBundle().rootDirectory(), folder.str());
        EXPECT_EQ(ResourceBundle::mainBundle().pathForResource("monsters", "plist"), monsters);

        // The option wins over the environment.
        ResourceBundle::setRootDirectory(other.str());
        EXPECT_EQ(ResourceBundle::mainBundle().pathForResource("monsters", "plist"), "");
        EXPECT_NE(ResourceBundle::mainBundle().pathForResource("only_here", "txt"), "");
    }
    {
        // A variable naming no folder is passed over for the folders beside the executable.
        ScopedEnv env("RE_RESOURCE_DIR", (folder.path() / "absent").string().c_str());
        std::string fallback = ResourceBundle::defaultRootDirectory();
        EXPECT_NE(fallback, (folder.path() / "absent").string());
        fs::path exeDir = fs::read_symlink("/proc/self/exe").parent_path();
        if (fs::is_directory(exeDir / "resources")) {
            EXPECT_EQ(fallback, (exeDir / "resources").string());
        }
    }
    ResourceBundle::setRootDirectory("");
}
