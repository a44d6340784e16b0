// Windows paths mapped under the drive root; CreateFileA and KoOpenFileA.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "KoWindows.h"
#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

// "临时文件目录" and "乗" (whose second byte is 0x5C, a backslash) in GBK.
const std::string kTempFolderGbk = "\xC1\xD9\xCA\xB1\xCE\xC4\xBC\xFE\xC4\xBF\xC2\xBC";
const std::string kTempFolderUtf8 =
    "\xE4\xB8\xB4\xE6\x97\xB6\xE6\x96\x87\xE4\xBB\xB6\xE7\x9B\xAE\xE5\xBD\x95";
const std::string kBackslashCharGbk = "\x81\x5C";
const std::string kBackslashCharUtf8 = "\xE4\xB9\x97";

class FileApi : public ::testing::Test {
protected:
    ScopedKoRoots roots;
    std::string drives() const { return roots.drives().path(); }

    HANDLE open(const std::string& path, DWORD access, DWORD creation) {
        return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, creation, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    }
};

TEST_F(FileApi, MapsDrivePaths) {
    EXPECT_EQ(drives() + "/c/Kestrava/ConvertFile/a.aaf",
              KoMapWindowsPath("c:\\Kestrava\\ConvertFile\\a.aaf"));
    EXPECT_EQ(drives() + "/c/dir/File.TXT",
              KoMapWindowsPath("C:\\dir\\File.TXT")); // only the letter
    EXPECT_EQ(drives() + "/d/x/y", KoMapWindowsPath("D:/x\\y"));
    EXPECT_EQ(drives() + "/e/dir/", KoMapWindowsPath("E:\\dir\\"));
    EXPECT_EQ(drives() + "/e", KoMapWindowsPath("E:"));
    EXPECT_EQ(drives() + "/e/rel", KoMapWindowsPath("E:rel"));
}

TEST_F(FileApi, MapsCjkNamesFromTheThreadCodePage) {
    std::string path = "C:\\" + kTempFolderGbk + "\\" + kBackslashCharGbk + ".jpg";
    // The 0x5C inside the double-byte character is not a separator.
    EXPECT_EQ(drives() + "/c/" + kTempFolderUtf8 + "/" + kBackslashCharUtf8 + ".jpg",
              KoMapWindowsPath(path.c_str()));
}

TEST_F(FileApi, DotsStayOnTheDrive) {
    EXPECT_EQ(drives() + "/c/b", KoMapWindowsPath("C:\\a\\.\\..\\b"));
    EXPECT_EQ(drives() + "/c/etc/passwd", KoMapWindowsPath("C:\\..\\..\\etc\\passwd"));
}

TEST_F(FileApi, OtherPathsAreOnlyConverted) {
    EXPECT_EQ("relative/name.txt", KoMapWindowsPath("relative\\name.txt"));
    EXPECT_EQ("/tmp/" + kTempFolderUtf8, KoMapWindowsPath(("/tmp/" + kTempFolderGbk).c_str()));
    EXPECT_EQ("1:/x", KoMapWindowsPath("1:\\x"));
    EXPECT_EQ("", KoMapWindowsPath(nullptr));
}

TEST_F(FileApi, DriveRootFollowsTheEnvironment) {
    setenv("KO_DRIVE_ROOT", (drives() + "//").c_str(), 1);
    EXPECT_EQ(drives() + "/c/x", KoMapWindowsPath("C:\\x"));
    TempDir home;
    std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
    unsetenv("KO_DRIVE_ROOT");
    setenv("HOME", home.path().c_str(), 1);
    std::string mapped = KoMapWindowsPath("C:\\x");
    setenv("HOME", oldHome.c_str(), 1);
    EXPECT_EQ(home.path() + "/.local/share/ko/drives/c/x", mapped);
    EXPECT_FALSE(fs::exists(home.path() + "/.local")); // mapping creates nothing
}

TEST_F(FileApi, ProbesExistingAndMissingFiles) {
    roots.drives().write("c/" + kTempFolderUtf8 + "/a.jpg", "jpeg");
    std::string folder = "C:\\" + kTempFolderGbk + "\\";

    HANDLE file = open(folder + "a.jpg", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_TRUE(CloseHandle(file));

    SetLastError(0);
    EXPECT_EQ(INVALID_HANDLE_VALUE, open(folder + "b.jpg", GENERIC_READ, OPEN_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());

    EXPECT_EQ(INVALID_HANDLE_VALUE, open("C:\\missing\\a.jpg", GENERIC_READ, OPEN_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    // A file used as a folder.
    EXPECT_EQ(INVALID_HANDLE_VALUE, open(folder + "a.jpg\\x", GENERIC_READ, OPEN_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    // A folder is not a file.
    EXPECT_EQ(INVALID_HANDLE_VALUE, open(folder, GENERIC_READ, OPEN_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
}

TEST_F(FileApi, CreatesFilesButNoFolders) {
    SetLastError(0);
    EXPECT_EQ(INVALID_HANDLE_VALUE, open("C:\\new\\a.txt", GENERIC_WRITE, CREATE_ALWAYS));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_FALSE(fs::exists(drives() + "/c"));

    fs::create_directories(drives() + "/c/new");
    roots.drives().write("c/new/a.txt", "old content");
    HANDLE file = open("C:\\new\\a.txt", GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    CloseHandle(file);
    EXPECT_EQ("", roots.drives().read("c/new/a.txt")); // truncated

    file = open("C:\\new\\b.txt", GENERIC_WRITE | GENERIC_READ, CREATE_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetLastError());
    CloseHandle(file);
    EXPECT_TRUE(fs::exists(drives() + "/c/new/b.txt"));

    EXPECT_EQ(INVALID_HANDLE_VALUE, open("C:\\new\\b.txt", GENERIC_WRITE, CREATE_NEW));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), GetLastError());

    EXPECT_EQ(INVALID_HANDLE_VALUE, open("C:\\new\\b.txt", GENERIC_READ, 99));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST_F(FileApi, CloseHandleRejectsWhatItDidNotOpen) {
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_FALSE(CloseHandle(nullptr));
    int notAHandle[4] = {0, 0, 0, 0};
    EXPECT_FALSE(CloseHandle(notAHandle));
}

TEST_F(FileApi, OpenFileUsesTheMappedPath) {
    fs::create_directories(drives() + "/c/" + kTempFolderUtf8);
    std::string path = "C:\\" + kTempFolderGbk + "\\h.jpg";
    FILE* out = KoOpenFileA(path.c_str(), "wb");
    ASSERT_NE(nullptr, out);
    fputs("headframe", out);
    fclose(out);
    EXPECT_EQ("headframe", roots.drives().read("c/" + kTempFolderUtf8 + "/h.jpg"));
    // Not inherited by child processes.
    FILE* in = KoOpenFileA(path.c_str(), "rb");
    ASSERT_NE(nullptr, in);
    EXPECT_TRUE(fcntl(fileno(in), F_GETFD) & FD_CLOEXEC);
    fclose(in);

    SetLastError(0);
    EXPECT_EQ(nullptr, KoOpenFileA("C:\\nowhere\\x.aaf", "rb"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_EQ(nullptr, KoOpenFileA(("C:\\" + kTempFolderGbk + "\\x.aaf").c_str(), "rb"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(nullptr, KoOpenFileA(nullptr, "rb"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    // A folder is not a file.
    EXPECT_EQ(nullptr, KoOpenFileA(("C:\\" + kTempFolderGbk).c_str(), "rb"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
}

TEST_F(FileApi, OpenFileHandlesFilesBeyondTwoGigabytes) {
    // A sparse file of 3 GiB whose last byte is set.
    const off_t size = off_t(3) << 30;
    fs::create_directories(drives() + "/c");
    {
        int fd = ::open((drives() + "/c/big.aaf").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(1, pwrite(fd, "Z", 1, size - 1));
        close(fd);
    }
    FILE* file = KoOpenFileA("C:\\big.aaf", "rb");
    ASSERT_NE(nullptr, file);
    ASSERT_EQ(0, fseeko(file, 0, SEEK_END));
    EXPECT_EQ(size, ftello(file));
    ASSERT_EQ(0, fseeko(file, size - 1, SEEK_SET));
    EXPECT_EQ('Z', fgetc(file));
    fclose(file);
}

TEST_F(FileApi, MovesAndDeletesFilesOnTheDrive) {
    fs::create_directories(drives() + "/c/" + kTempFolderUtf8);
    std::string folder = "C:\\" + kTempFolderGbk + "\\";
    roots.drives().write("c/" + kTempFolderUtf8 + "/new.tmp", "new");
    roots.drives().write("c/" + kTempFolderUtf8 + "/a" + kBackslashCharUtf8 + ".jpg", "old");

    // Without the flag an existing target stays as it was.
    std::string target = folder + "a" + kBackslashCharGbk + ".jpg";
    EXPECT_FALSE(MoveFileExA((folder + "new.tmp").c_str(), target.c_str(), 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_EQ("old", roots.drives().read("c/" + kTempFolderUtf8 + "/a" + kBackslashCharUtf8 + ".jpg"));

    EXPECT_TRUE(MoveFileExA((folder + "new.tmp").c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ("new", roots.drives().read("c/" + kTempFolderUtf8 + "/a" + kBackslashCharUtf8 + ".jpg"));
    EXPECT_FALSE(fs::exists(drives() + "/c/" + kTempFolderUtf8 + "/new.tmp"));

    EXPECT_FALSE(MoveFileExA((folder + "new.tmp").c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(MoveFileExA(target.c_str(), "C:\\nowhere\\b.jpg", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_FALSE(MoveFileExA(nullptr, target.c_str(), 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    EXPECT_TRUE(DeleteFileA(target.c_str()));
    EXPECT_TRUE(fs::is_empty(drives() + "/c/" + kTempFolderUtf8));
    EXPECT_FALSE(DeleteFileA(target.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    // Folders are not files.
    EXPECT_FALSE(DeleteFileA(folder.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_TRUE(fs::exists(drives() + "/c/" + kTempFolderUtf8));
    EXPECT_FALSE(DeleteFileA(nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

} // namespace
