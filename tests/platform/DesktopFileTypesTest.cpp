#include "platform/DesktopFileTypes.h"

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

// Points XDG_DATA_HOME at a temporary folder for one test.
class DesktopFileTypesTest : public testing::Test {
 protected:
  TDesktopFileType EditorType(const std::string& path) const {
    return {"Gleamcraft_Data_File", ".GLM", "Gleamcraft File", "Gleamcraft", path};
  }

  TempDir dir_;
  ScopedEnvironment environment_{{{"XDG_DATA_HOME", dir_.Path()}}};
};

}  // namespace

TEST(FileTypeCommands, TheRegistryCommandQuotesThePathAndTheArgument) {
  EXPECT_EQ(FileTypeOpenCommand("/opt/Glow smith/Gleamcraft"), "\"/opt/Glow smith/Gleamcraft\" \"%1\"");
}

TEST(FileTypeCommands, TheExecLineQuotesAndEscapesAsDesktopEntriesRequire) {
  EXPECT_EQ(DesktopExecLine("/opt/Glow smith/Gleamcraft"), "\"/opt/Glow smith/Gleamcraft\" %f");
  // '"', '`', '$' and '\' take a backslash inside the quotes, '%' is doubled,
  // and the value's own escaping doubles every backslash again.
  EXPECT_EQ(DesktopExecLine("/a\"b`c$d\\e%f"), "\"/a\\\\\"b\\\\`c\\\\$d\\\\\\\\e%%f\" %f");
}

TEST(FileTypeCommands, TheMimeTypeFollowsTheRegistryTypeName) {
  EXPECT_EQ(DesktopMimeType("Gleamcraft_Data_File"), "application/x-gleamcraft-data-file");
  EXPECT_EQ(DesktopMimeType("A/B C"), "application/x-a-b-c");
}

TEST_F(DesktopFileTypesTest, RegisteringWritesTheMimePackageAndTheMenuEntry) {
  ASSERT_TRUE(WriteDesktopFileType(EditorType("/opt/Glow smith/Gleamcraft")));
  EXPECT_EQ(DesktopMimePackagePath(EditorType("")), dir_.File("mime/packages/gleamcraft.xml"));
  EXPECT_EQ(TempDir::ReadFile(dir_.File("mime/packages/gleamcraft.xml")),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"application/x-gleamcraft-data-file\">\n"
            "    <comment>Gleamcraft File</comment>\n"
            "    <glob pattern=\"*.glm\"/>\n"
            "  </mime-type>\n"
            "</mime-info>\n");
  EXPECT_EQ(TempDir::ReadFile(dir_.File("applications/gleamcraft.desktop")),
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Gleamcraft\n"
            "Comment=Gleamcraft File\n"
            "Exec=\"/opt/Glow smith/Gleamcraft\" %f\n"
            "MimeType=application/x-gleamcraft-data-file;\n"
            "Terminal=false\n"
            "NoDisplay=true\n");
}

TEST_F(DesktopFileTypesTest, TextsAreEscapedAndNamesCannotLeaveTheFolders) {
  TDesktopFileType type = {"T<&>", ".X", "Caf\xe9 & <co>", "../Evil/Name", "/p"};
  ASSERT_TRUE(WriteDesktopFileType(type));
  const std::string package = TempDir::ReadFile(dir_.File("mime/packages/..-evil-name.xml"));
  EXPECT_NE(package.find("<comment>Caf\xc3\xa9 &amp; &lt;co&gt;</comment>"), std::string::npos);
  EXPECT_NE(package.find("type=\"application/x-t---\""), std::string::npos);
  EXPECT_FALSE(TempDir::ReadFile(dir_.File("applications/..-evil-name.desktop")).empty());
}

TEST_F(DesktopFileTypesTest, AFolderThatCannotBeMadeFailsTheRegistration) {
  dir_.WriteFile("applications", "a file where the folder belongs");
  EXPECT_FALSE(WriteDesktopFileType(EditorType("/p")));
}
