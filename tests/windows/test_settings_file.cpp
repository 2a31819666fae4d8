// The settings file against real files in a folder of the test's own: defaults, the order in
// which the rows are filled, what a save leaves on disk, failing saves, Unicode and long paths.
// Run by CTest with the ANSI code page Shift-JIS, as on the systems the program is made for.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "app/SettingsFile.h"
#include "forms/IniFiles.h"
#include "forms/SysUtils.h"
#include "forms/Text.h"

using namespace kurun;

namespace {

constexpr std::string_view kUtf16Bom = "\xFF\xFE";
const wchar_t* const kUnicodePath = L"C:\\Users\\Zoë\\写真\\ünïcødé ✓.txt";

// Settings rows that remember what was asked of them, in order.
class TRecordingRows : public TSettingsRows {
public:
    std::array<bool, 4> checked{true, true, true, true};
    std::array<std::wstring, 4> files;
    mutable std::vector<std::string> calls;

    bool Checked(int n) const override {
        Record("Checked", n);
        return checked.at(n - 1);
    }
    void SetChecked(int n, bool value) override {
        Record(value ? "SetChecked+" : "SetChecked-", n);
        checked.at(n - 1) = value;
    }
    void ApplyVisibility(int n) override { Record("Apply", n); }
    std::wstring LaunchFile(int n) const override {
        Record("LaunchFile", n);
        return files.at(n - 1);
    }
    void SetLaunchFile(int n, const std::wstring& path) override {
        Record("SetLaunchFile", n);
        files.at(n - 1) = path;
    }

private:
    void Record(const char* what, int n) const { calls.push_back(what + std::to_string(n)); }
};

std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH];
    GetTempPathW(MAX_PATH, buffer);
    return buffer;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << "cannot read " << forms::Narrow(path);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::wstring& path, std::string_view bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// The text of a settings file, UTF-16 when it says so, else in the ANSI code page.
std::wstring TextOf(const std::string& bytes) {
    if (!bytes.starts_with(kUtf16Bom)) return forms::Decode(bytes, CP_ACP);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
}

// The lines that are not empty.
std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

void RemoveTree(const std::wstring& folder) {
    for (const std::wstring& name : FolderEntries(folder)) {
        const std::wstring path = folder + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveTree(path + L"\\");
        } else {
            DeleteFileW(path.c_str());
        }
    }
    RemoveDirectoryW(folder.c_str());
}

// The message of the INI error that `action` raises; empty when it raises none.
template <class F>
std::wstring IniErrorOf(F&& action) {
    try {
        action();
    } catch (const forms::EIniFileException& e) {
        return e.Message();
    }
    return L"";
}

// Each test in a new folder of its own, removed afterwards.
class SettingsFileTest : public testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        folder = TempFolder() + L"kurun-settings-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ini = folder + L"kurun.ini";
    }
    void TearDown() override { RemoveTree(folder); }

    // Rows after loading the file as it is now, starting from the layout's values.
    TRecordingRows Loaded() {
        TRecordingRows rows;
        LoadSettings(rows, ini);
        return rows;
    }

    std::wstring folder, ini;
};

TEST_F(SettingsFileTest, WithoutAFileTheRowsKeepTheirValuesAndTheFirstSaveWritesAllEightKeys) {
    TRecordingRows rows = Loaded();
    // Each character is finished before the next is read; the launch files come last.
    EXPECT_EQ(rows.calls, (std::vector<std::string>{
                              "Checked1", "SetChecked+1", "Apply1", "Checked2", "SetChecked+2", "Apply2",
                              "Checked3", "SetChecked+3", "Apply3", "Checked4", "SetChecked+4", "Apply4",
                              "LaunchFile1", "SetLaunchFile1", "LaunchFile2", "SetLaunchFile2",
                              "LaunchFile3", "SetLaunchFile3", "LaunchFile4", "SetLaunchFile4"}));
    EXPECT_EQ(rows.files, (std::array<std::wstring, 4>{}));
    EXPECT_FALSE(Exists(ini));

    rows.checked = {true, false, true, false};
    rows.files = {L"C:\\a.txt", L"", L"D:\\b c\\d.bat", L"e"};
    SaveSettings(rows, ini);
    EXPECT_EQ(Lines(TextOf(ReadBytes(ini))),
              (std::vector<std::wstring>{L"[Visible]", L"Char01=1", L"Char02=0", L"Char03=1", L"Char04=0",
                                         L"[Execute]", L"Char01=C:\\a.txt", L"Char02=", L"Char03=D:\\b c\\d.bat",
                                         L"Char04=e"}));
    EXPECT_EQ(FolderEntries(folder), std::vector<std::wstring>{L"kurun.ini"});

    // An empty launch file is a key with no value, which loads as empty, not as the default.
    TRecordingRows again;
    again.files = {L"x", L"x", L"x", L"x"};
    LoadSettings(again, ini);
    EXPECT_EQ(again.checked, rows.checked);
    EXPECT_EQ(again.files, rows.files);
}

TEST_F(SettingsFileTest, VisibleValuesAreNumbersAndAnythingElseKeepsTheCheckBox) {
    WriteBytes(ini, "[Visible]\r\nChar02=0\r\n");
    TRecordingRows onlySecond = Loaded();
    EXPECT_EQ(onlySecond.checked, (std::array<bool, 4>{true, false, true, true}));
    EXPECT_EQ(onlySecond.files, (std::array<std::wstring, 4>{}));

    struct Case { const char* value; bool shown; };
    for (const Case& c : {Case{"2", true}, Case{"-1", true}, Case{"0x10", true}, Case{"0", false},
                          Case{"00", false}, Case{"0x0", false}, Case{"yes", true}, Case{"", true}}) {
        SCOPED_TRACE(c.value);
        WriteBytes(ini, std::string("[Visible]\r\nChar03=") + c.value + "\r\n");
        EXPECT_EQ(Loaded().checked[2], c.shown);
    }
    // The default is the check box as it was, whatever the layout gave.
    TRecordingRows unticked;
    unticked.checked = {false, false, false, false};
    WriteBytes(ini, "[Visible]\r\nChar01=yes\r\nChar02=1\r\nChar03=\r\n");
    LoadSettings(unticked, ini);
    EXPECT_EQ(unticked.checked, (std::array<bool, 4>{false, true, false, false}));
}

TEST_F(SettingsFileTest, OnlyTheTwoSectionsAreRead) {
    WriteBytes(ini,
               "[Char01]\r\nVisible=0\r\nExecute=C:\\x.txt\r\n[Char02]\r\nVisible=0\r\n"
               "[Char03]\r\nVisible=0\r\n[Char04]\r\nVisible=0\r\nExecute=C:\\y.txt\r\n");
    TRecordingRows rows = Loaded();
    EXPECT_EQ(rows.checked, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_EQ(rows.files, (std::array<std::wstring, 4>{}));
}

TEST_F(SettingsFileTest, ASaveKeepsOtherSectionsKeysAndCommentsAndTheFilesCodePage) {
    WriteBytes(ini,
               "; kept by hand\r\n[Other]\r\nName=value\r\n[Visible]\r\n; about the characters\r\n"
               "Char01=0\r\nExtra=keep me\r\n[Execute]\r\nChar03=C:\\old.txt\r\n");
    TRecordingRows rows = Loaded();
    EXPECT_EQ(rows.checked, (std::array<bool, 4>{false, true, true, true}));
    rows.checked[0] = true;
    rows.files[2] = L"C:\\new.txt";
    SaveSettings(rows, ini);

    const std::string bytes = ReadBytes(ini);
    EXPECT_FALSE(bytes.starts_with(kUtf16Bom)) << "plain text stays in the file's code page";
    const std::vector<std::wstring> lines = Lines(TextOf(bytes));
    for (const wchar_t* kept : {L"; kept by hand", L"[Other]", L"Name=value", L"; about the characters",
                                L"Extra=keep me", L"Char01=1", L"Char03=C:\\new.txt"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), kept), lines.end()) << forms::Narrow(kept);
    EXPECT_EQ(lines.front(), L"; kept by hand");
    EXPECT_EQ(lines.size(), 15u);
    EXPECT_EQ(Loaded().files[2], L"C:\\new.txt");
}

TEST_F(SettingsFileTest, AFailedSaveLeavesTheFileByteForByteAndNoCopyBehind) {
    const std::string before = "; mine\r\n[Visible]\r\nChar01=0\r\n[Execute]\r\nChar01=C:\\keep.txt\r\n";
    TRecordingRows rows;
    rows.files[0] = kUnicodePath;
    const std::wstring expected = ini + L" に書き込めません";

    struct Holder { const char* what; DWORD share; };
    // No sharing: the file cannot even be read. Shared for reading: every write succeeds on the
    // copy, and only putting the copy in the file's place fails.
    for (const Holder& holder : {Holder{"locked", 0}, Holder{"open for reading", FILE_SHARE_READ}}) {
        SCOPED_TRACE(holder.what);
        WriteBytes(ini, before);
        HANDLE held = CreateFileW(ini.c_str(), GENERIC_READ, holder.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(IniErrorOf([&] { SaveSettings(rows, ini); }), expected);
        CloseHandle(held);
        EXPECT_EQ(ReadBytes(ini), before);
        EXPECT_EQ(FolderEntries(folder), std::vector<std::wstring>{L"kurun.ini"});
    }

    // A read-only file is refused, and still read normally.
    ASSERT_TRUE(SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(IniErrorOf([&] { SaveSettings(rows, ini); }), expected);
    EXPECT_EQ(ReadBytes(ini), before);
    EXPECT_EQ(FolderEntries(folder), std::vector<std::wstring>{L"kurun.ini"});
    TRecordingRows loaded = Loaded();
    EXPECT_FALSE(loaded.checked[0]);
    EXPECT_EQ(loaded.files[0], L"C:\\keep.txt");

    // A folder that is not there takes no file.
    const std::wstring nowhere = folder + L"missing\\kurun.ini";
    EXPECT_EQ(IniErrorOf([&] { SaveSettings(rows, nowhere); }), nowhere + L" に書き込めません");
    EXPECT_FALSE(Exists(folder + L"missing"));
}

TEST_F(SettingsFileTest, UnicodePathsSurviveAndAnAnsiFileBecomesUtf16KeepingEveryLine) {
    // The file itself in a folder whose name the ANSI code page cannot spell.
    const std::wstring unicodeFolder = folder + L"写真 ✓ Zoë\\";
    ASSERT_TRUE(CreateDirectoryW(unicodeFolder.c_str(), nullptr));
    ini = unicodeFolder + L"kurun.ini";
    WriteBytes(ini, "; comment\r\n[Other]\r\nA=b\r\n[Execute]\r\nChar02=C:\\plain.txt\r\n");

    TRecordingRows rows = Loaded();
    rows.files[0] = kUnicodePath;
    SaveSettings(rows, ini);
    const std::string bytes = ReadBytes(ini);
    EXPECT_TRUE(bytes.starts_with(kUtf16Bom));
    const std::vector<std::wstring> lines = Lines(TextOf(bytes));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(std::vector<std::wstring>(lines.begin(), lines.begin() + 3),
              (std::vector<std::wstring>{L"; comment", L"[Other]", L"A=b"}));
    EXPECT_EQ(FolderEntries(unicodeFolder), std::vector<std::wstring>{L"kurun.ini"});

    TRecordingRows loaded = Loaded();
    EXPECT_EQ(loaded.files[0], kUnicodePath);
    EXPECT_EQ(loaded.files[1], L"C:\\plain.txt");

    // Once UTF-16, the file stays so, even when everything would fit the code page again.
    loaded.files[0] = L"C:\\ascii.txt";
    SaveSettings(loaded, ini);
    EXPECT_TRUE(ReadBytes(ini).starts_with(kUtf16Bom));
    EXPECT_EQ(Loaded().files[0], L"C:\\ascii.txt");
}

TEST_F(SettingsFileTest, AShiftJisFileOfEarlierVersionsLoadsAndSurvivesConversion) {
    if (GetACP() != 932) GTEST_SKIP() << "needs the ANSI code page Shift-JIS (CTest runs it so)";
    // "; 設定ファイル" and "C:\写真\表示ソフト.txt": 表 and ソ end in the byte of a backslash.
    WriteBytes(ini,
               "\x3B\x20\x90\xDD\x92\xE8\x83\x74\x83\x40\x83\x43\x83\x8B\r\n[Visible]\r\nChar01=1\r\n"
               "[Execute]\r\nChar01=\x43\x3A\x5C\x8E\xCA\x90\x5E\x5C\x95\x5C\x8E\xA6\x83\x5C\x83\x74\x83\x67"
               "\x2E\x74\x78\x74\r\n");
    const std::wstring japanesePath = L"C:\\写真\\表示ソフト.txt";
    TRecordingRows rows = Loaded();
    EXPECT_EQ(rows.files[0], japanesePath);

    rows.files[1] = kUnicodePath;
    SaveSettings(rows, ini);
    const std::string bytes = ReadBytes(ini);
    EXPECT_TRUE(bytes.starts_with(kUtf16Bom));
    EXPECT_EQ(Lines(TextOf(bytes)).front(), L"; 設定ファイル");
    TRecordingRows loaded = Loaded();
    EXPECT_EQ(loaded.files[0], japanesePath);
    EXPECT_EQ(loaded.files[1], kUnicodePath);
}

TEST_F(SettingsFileTest, APlainAsciiFileStaysInTheCodePageThroughJapaneseText) {
    if (GetACP() != 932) GTEST_SKIP() << "needs the ANSI code page Shift-JIS (CTest runs it so)";
    WriteBytes(ini, "; settings\r\n[Visible]\r\nChar01=0\r\n[Execute]\r\nChar01=C:\\a.txt\r\n");
    TRecordingRows rows = Loaded();
    EXPECT_FALSE(rows.checked[0]);
    EXPECT_EQ(rows.files[0], L"C:\\a.txt");
    // Japanese letters fit Shift-JIS: the file stays in it, and its bytes are no UTF-8 after that.
    rows.files[1] = L"C:\\写真\\表示ソフト.txt";
    SaveSettings(rows, ini);
    const std::string bytes = ReadBytes(ini);
    EXPECT_FALSE(bytes.starts_with(kUtf16Bom));
    EXPECT_NE(bytes.find("\x8E\xCA\x90\x5E"), std::string::npos) << "写真 in Shift-JIS";
    EXPECT_EQ(Lines(TextOf(bytes)).front(), L"; settings");
    EXPECT_EQ(Loaded().files[1], L"C:\\写真\\表示ソフト.txt");
}

TEST_F(SettingsFileTest, AUtf8FileWithoutMarkIsReadAsUtf8AndItsFirstSaveMakesItUtf16) {
    // As Notepad saves it.
    const std::wstring path = L"C:\\Users\\Zoë\\写真\\起動.bat";
    const std::string before = "; edited by hand: Zoë\r\n[Visible]\r\nChar01=0\r\n[Execute]\r\nChar01=" +
                               forms::Narrow(path) + "\r\nChar02=C:\\plain.txt\r\n[Other]\r\nName=写真\r\n";
    WriteBytes(ini, before);
    const size_t tempEntries = FolderEntries(TempFolder()).size();
    TRecordingRows rows = Loaded();
    EXPECT_EQ(rows.checked, (std::array<bool, 4>{false, true, true, true}));
    EXPECT_EQ(rows.files[0], path);
    EXPECT_EQ(rows.files[1], L"C:\\plain.txt");
    // Reading wrote nothing, here or in the temporary folder.
    EXPECT_EQ(ReadBytes(ini), before);
    EXPECT_EQ(FolderEntries(folder), std::vector<std::wstring>{L"kurun.ini"});
    EXPECT_EQ(FolderEntries(TempFolder()).size(), tempEntries);

    // Nothing changed, and still the save converts the whole file.
    SaveSettings(rows, ini);
    const std::string bytes = ReadBytes(ini);
    ASSERT_TRUE(bytes.starts_with(kUtf16Bom));
    const std::vector<std::wstring> lines = Lines(TextOf(bytes));
    for (const std::wstring& kept : {std::wstring(L"; edited by hand: Zoë"), L"Char01=" + path,
                                     std::wstring(L"Char02=C:\\plain.txt"), std::wstring(L"Name=写真")})
        EXPECT_NE(std::find(lines.begin(), lines.end(), kept), lines.end()) << forms::Narrow(kept);
    EXPECT_EQ(lines.front(), L"; edited by hand: Zoë");
    EXPECT_EQ(Loaded().files[0], path);

    // With a UTF-8 mark too.
    WriteBytes(ini, "\xEF\xBB\xBF[Execute]\r\nChar03=" + forms::Narrow(path) + "\r\n");
    EXPECT_EQ(Loaded().files[2], path);
}

// Broken files: the program reads what it can, keeps its defaults for the rest, and a save keeps
// every line it could read.
struct BrokenFile {
    const char* what;
    std::string bytes;
    std::array<bool, 4> checked;
    std::array<std::wstring, 4> files;
    std::vector<std::wstring> keptLines;
};

std::string Utf16Bytes(std::wstring_view text) {
    return std::string(kUtf16Bom) + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

std::string Garbage(size_t size) {
    std::string bytes(size, '\0');
    uint32_t state = 12345;
    for (char& c : bytes) c = static_cast<char>((state = state * 1103515245 + 12345) >> 16);
    return bytes;
}

std::vector<BrokenFile> BrokenFiles() {
    const std::wstring text = L"; mine\r\n[Visible]\r\nChar01=0\r\n[Execute]\r\nChar02=C:\\a\xD800z.txt\r\n";
    std::string manyLines;
    for (int i = 0; i < 100000; ++i) manyLines += "Key" + std::to_string(i) + "=some value of a line\r\n";
    const std::string longValue(100000, 'x');
    return {
        {"binary garbage", Garbage(65536), {true, true, true, true}, {}, {}},
        {"garbage after readable keys", "[Visible]\r\nChar04=0\r\n" + Garbage(4096), {true, true, true, false}, {},
         {L"[Visible]", L"Char04=0"}},
        {"UTF-16 of odd length, an unpaired surrogate", Utf16Bytes(text) + "A", {false, true, true, true},
         {L"", L"C:\\a\xD800z.txt", L"", L""}, {L"; mine", L"Char01=0", L"Char02=C:\\a\xD800z.txt"}},
        {"a NUL inside a value", std::string("[Execute]\r\nChar01=C:\\a\0b.txt\r\nChar02=C:\\next.txt\r\n", 51),
         {true, true, true, true}, {L"C:\\a", L"C:\\next.txt", L"", L""}, {L"[Execute]", L"Char02=C:\\next.txt"}},
        {"a repeated key", "[Visible]\r\nChar01=0\r\nChar01=1\r\n[Execute]\r\nChar03=C:\\first\r\nChar03=C:\\second\r\n",
         {false, true, true, true}, {L"", L"", L"C:\\first", L""}, {L"Char01=0", L"Char03=C:\\first"}},
        {"a line of 100,000 characters", "[Execute]\r\nChar01=" + longValue + "\r\nChar02=C:\\b.txt\r\n",
         {true, true, true, true}, {std::wstring(longValue.begin(), longValue.end()), L"C:\\b.txt", L"", L""},
         {L"Char02=C:\\b.txt"}},
        {"several megabytes", "[Other]\r\n" + manyLines + "[Visible]\r\nChar03=0\r\n", {true, true, false, true}, {},
         {L"[Other]", L"Key0=some value of a line", L"Key99999=some value of a line", L"Char03=0"}},
    };
}

TEST_F(SettingsFileTest, BrokenFilesLoadWhatIsReadableAndASaveKeepsIt) {
    for (const BrokenFile& broken : BrokenFiles()) {
        SCOPED_TRACE(broken.what);
        WriteBytes(ini, broken.bytes);
        TRecordingRows rows = Loaded();
        EXPECT_EQ(rows.checked, broken.checked);
        EXPECT_EQ(rows.files, broken.files);
        EXPECT_EQ(ReadBytes(ini), broken.bytes) << "reading wrote the file";

        SaveSettings(rows, ini);
        const std::vector<std::wstring> lines = Lines(TextOf(ReadBytes(ini)));
        for (const std::wstring& kept : broken.keptLines)
            EXPECT_NE(std::find(lines.begin(), lines.end(), kept), lines.end()) << forms::Narrow(kept.substr(0, 40));
        TRecordingRows again = Loaded();
        EXPECT_EQ(again.checked, rows.checked);
        EXPECT_EQ(again.files, rows.files);
        EXPECT_EQ(FolderEntries(folder), std::vector<std::wstring>{L"kurun.ini"});
    }
}

TEST_F(SettingsFileTest, LongPathsAreNeverCut) {
    std::wstring longPath = L"C:\\";
    while (longPath.size() < 5000) longPath += L"長いフォルダ名 long folder\\";
    longPath.resize(4996);
    longPath += L".txt";
    TRecordingRows rows;
    rows.files[3] = longPath;
    WriteBytes(ini, "");
    SaveSettings(rows, ini);
    EXPECT_EQ(Loaded().files[3], longPath);
    // Exactly at the sizes where a read buffer fills up.
    for (size_t length : {2046u, 2047u, 2048u, 4095u}) {
        rows.files[3] = std::wstring(length, L'x');
        SaveSettings(rows, ini);
        EXPECT_EQ(Loaded().files[3].size(), length);
    }
}

TEST_F(SettingsFileTest, TheIniFileWritesAtOnceAndNamesTheFileWhenItCannot) {
    forms::TIniFile file(ini);
    file.WriteBool(L"S", L"On", true);
    file.WriteBool(L"S", L"Off", false);
    file.WriteString(L"S", L"Text", L"yes");
    EXPECT_EQ(Lines(TextOf(ReadBytes(ini))), (std::vector<std::wstring>{L"[S]", L"On=1", L"Off=0", L"Text=yes"}));
    EXPECT_TRUE(file.ReadBool(L"S", L"On", false));
    EXPECT_FALSE(file.ReadBool(L"S", L"Off", true));
    EXPECT_TRUE(file.ReadBool(L"S", L"Text", true));
    EXPECT_EQ(file.ReadString(L"S", L"Missing", L"default"), L"default");

    HANDLE held = CreateFileW(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(IniErrorOf([&] { file.WriteString(L"S", L"Text", L"x"); }), ini + L" に書き込めません");
    CloseHandle(held);
}

// Started by the next test as a renamed copy of this program: writes where it looks for settings.
TEST(SettingsFileChild, DISABLED_WritesItsSettingsPath) {
    wchar_t out[MAX_PATH];
    ASSERT_TRUE(GetEnvironmentVariableW(L"KURUN_SETTINGS_PATH_OUT", out, MAX_PATH));
    WriteBytes(out, forms::Narrow(SettingsFilePath()));
}

TEST_F(SettingsFileTest, ARenamedExecutableStillUsesKurunIni) {
    const std::wstring copy = folder + L"my launcher.exe";
    ASSERT_TRUE(CopyFileW(forms::ModuleFileName().c_str(), copy.c_str(), TRUE));
    const std::wstring out = folder + L"path.txt";
    SetEnvironmentVariableW(L"KURUN_SETTINGS_PATH_OUT", out.c_str());
    std::wstring command = L"\"" + copy +
                           L"\" --gtest_also_run_disabled_tests --gtest_brief=1 --gtest_filter=SettingsFileChild.*";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(copy.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    SetEnvironmentVariableW(L"KURUN_SETTINGS_PATH_OUT", nullptr);
    // A guard against a child that never ends, not a measurement.
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 120000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(forms::Widen(ReadBytes(out)), ini);
}

}  // namespace
