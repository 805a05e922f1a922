// The machine-wide key store that holds the language choice.
#include "quellix/platform/key_store.h"

#include "temp_dir.h"
#include "unprivileged.h"

#include "result_print.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

namespace quellix::platform {
namespace {

TEST(MachineKeyStore, AbsentStoreKeyOrValueIsNotFound) {
    test::TempDir dir;
    MachineKeyStore store(dir / "quellix" / "machine.ini");
    EXPECT_EQ(store.readString(kProductKeyPath, kLanguageValueName), std::nullopt);
    ASSERT_TRUE(store.writeString(kProductKeyPath, "OTHER", "x"));
    EXPECT_EQ(store.readString(kProductKeyPath, kLanguageValueName), std::nullopt);
    EXPECT_EQ(store.readString("SOFTWARE\\Else", "OTHER"), std::nullopt);
}

TEST(MachineKeyStore, WrittenValueReadsBackAndStoreStaysUtf8) {
    test::TempDir dir;
    MachineKeyStore store(dir / "quellix" / "machine.ini");
    ASSERT_TRUE(store.writeString(kProductKeyPath, kLanguageValueName, "2020"));
    ASSERT_TRUE(store.writeString(kProductKeyPath, kLanguageValueName, "1010"));
    EXPECT_EQ(store.readString("software\\quellix t417 gaming mouse pad", "language"), "1010");
    EXPECT_EQ(test::readBytes(store.file()),
              "[SOFTWARE\\Quellix T417 Gaming Mouse pad]\r\nLANGUAGE=1010\r\n");
}

TEST(MachineKeyStore, WriteThatCannotBeMadeReturnsTheErrorAndChangesNothing) {
    test::TempDir dir;
    test::writeBytes(dir / "etc", "a file where the store's folder should be");
    MachineKeyStore blocked(dir / "etc" / "quellix" / "machine.ini");
    EXPECT_FALSE(blocked.writeString(kProductKeyPath, kLanguageValueName, "2020"));
    EXPECT_EQ(blocked.readString(kProductKeyPath, kLanguageValueName), std::nullopt);

    MachineKeyStore store(dir / "machine.ini");
    EXPECT_EQ(store.writeString(kProductKeyPath, kLanguageValueName, "20\n[X]"),
              Status::BadArgument);
}

TEST(MachineKeyStore, WithoutWriteAccessTheOldValueStays) {
    test::TempDir dir;
    MachineKeyStore store(dir / "machine.ini");
    ASSERT_TRUE(store.writeString(kProductKeyPath, kLanguageValueName, "2020"));
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_EQ(test::runUnprivileged(
                  dir.path(),
                  [&]() -> std::string {
                      const auto error =
                          store.writeString(kProductKeyPath, kLanguageValueName, "1010");
                      if (error.errorNumber() != EACCES)
                          return "wrong result: " + error.describe();
                      if (store.readString(kProductKeyPath, kLanguageValueName) != "2020")
                          return "the old value is gone";
                      return {};
                  }),
              "");
}

} // namespace
} // namespace quellix::platform
