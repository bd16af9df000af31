// The build embeds every file under assets/: each must be registered under its
// path below assets/ with exactly the bytes of the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "assets/embedded.h"
#include "runtime/open.h"
#include "runtime/resources.h"
#include "runtime/strings.h"

namespace skyloom {
namespace {

bool IsEmbedded(const std::filesystem::path& relative) {
  const std::string name = relative.filename().string();
  const std::string extension = relative.extension().string();
  return name != "CMakeLists.txt" && name != "README.md" && name != "embedded.h" &&
         extension != ".glyphs";
}

TEST(EmbeddedTest, EveryAssetIsRegisteredWithItsBytes) {
  RegisterEmbeddedResources();
  const std::filesystem::path root = std::filesystem::path(SKYLOOM_SOURCE_DIR) / "assets";
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    const auto relative = std::filesystem::relative(entry.path(), root);
    if (!IsEmbedded(relative)) continue;
    const std::u16string name = FromBytes(relative.generic_string());
    std::ifstream file(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    SCOPED_TRACE(relative.generic_string());
    ASSERT_NE(ResourceData(name), nullptr);
    ASSERT_EQ(ResourceSize(name), static_cast<int>(bytes.size()));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(ResourceData(name)), bytes.size()), bytes);
    StreamRef stream = OpenInput(u"incbin::" + name);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->Size(), static_cast<int64_t>(bytes.size()));
  }
}

TEST(EmbeddedTest, RegisteringTwiceAddsNothing) {
  RegisterEmbeddedResources();
  EXPECT_EQ(RegisterEmbeddedResources(), 0);
}

}  // namespace
}  // namespace skyloom
