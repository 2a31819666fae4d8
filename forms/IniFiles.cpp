#include "forms/IniFiles.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "core/Numbers.h"
#include "core/TextEncoding.h"
#include "forms/Text.h"

namespace forms {

namespace {

const wchar_t* BoolText(bool value) { return value ? L"1" : L"0"; }

// Owns one file handle and closes it once.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (Valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
private:
    HANDLE handle_;
};

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// The file's bytes; nothing when there is no such file. Raises the INI error when it exists but
// cannot be read (locked by another program, for instance).
std::optional<std::string> ReadExistingFile(const std::wstring& fileName) {
    const EIniFileException error = IniWriteError(fileName);
    FileHandle file(CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::nullopt;
        throw error;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) throw error;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        throw error;
    return bytes;
}

// Whether the text survives the trip through the ANSI code page unchanged.
bool FitsAnsiCodePage(const std::wstring& text) { return Decode(Encode(text, CP_ACP), CP_ACP) == text; }

// The same lines as a UTF-16 file with its byte order mark.
std::string ToUtf16(std::string_view bytes, core::TextEncoding encoding) {
    if (encoding == core::TextEncoding::Utf8) return core::Utf16File(core::Utf8ToUtf16(bytes));
    const std::wstring text = Decode(bytes, CP_ACP);
    return core::Utf16File({reinterpret_cast<const char16_t*>(text.data()), text.size()});
}

bool FlushToDisk(const std::wstring& fileName) {
    FileHandle file(CreateFileW(fileName.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    return file.Valid() && FlushFileBuffers(file.Get());
}

// A file of its own beside `beside` holding `content`; empty when none could be made.
std::wstring CreateScratchFile(const std::wstring& beside, std::string_view content) {
    static unsigned counter = 0;
    const std::wstring stem = beside + L"." + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring name = stem + std::to_wstring(++counter) + L".tmp";
        bool written;
        {
            FileHandle file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                        nullptr));
            if (!file.Valid()) {
                if (GetLastError() == ERROR_FILE_EXISTS) continue;
                return {};
            }
            written = WriteAll(file.Get(), content);
        }
        if (written) return name;
        DeleteFileW(name.c_str());
        return {};
    }
    return {};
}

// A new file beside another, removed again unless it has taken the other's place.
class ScratchFile {
public:
    ScratchFile(const std::wstring& beside, std::string_view content) : name_(CreateScratchFile(beside, content)) {
        if (name_.empty()) throw IniWriteError(beside);
    }
    ~ScratchFile() {
        if (!name_.empty()) DeleteFileW(name_.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::wstring& Name() const { return name_; }

    // On disk first, then in `target`'s place in one step.
    void Replace(const std::wstring& target) {
        if (!FlushToDisk(name_) ||
            !MoveFileExW(name_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw IniWriteError(target);
        name_.clear();
    }

private:
    std::wstring name_;
};

bool IsReadOnly(const std::wstring& fileName) {
    const DWORD attributes = GetFileAttributesW(fileName.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

}  // namespace

EIniFileException IniWriteError(const std::wstring& fileName) {
    return EIniFileException(fileName + L" に書き込めません");
}

// ---- TIniFile ----

// A UTF-16 copy of a UTF-8 file in the temporary folder, removed with its owner.
class TIniFile::Utf16Copy {
public:
    // Null when the file is not UTF-8 (or cannot be read: the reads then go to it and get defaults).
    static std::shared_ptr<const Utf16Copy> Of(const std::wstring& fileName) {
        std::optional<std::string> bytes;
        try {
            bytes = ReadExistingFile(fileName);
        } catch (const EIniFileException&) {
        }
        if (!bytes || core::DetectTextEncoding(*bytes) != core::TextEncoding::Utf8) return nullptr;
        std::wstring folder(MAX_PATH + 1, L'\0');
        folder.resize(GetTempPathW(static_cast<DWORD>(folder.size()), folder.data()));
        const std::wstring name = CreateScratchFile(folder + L"kurun.ini", ToUtf16(*bytes, core::TextEncoding::Utf8));
        return name.empty() ? nullptr : std::make_shared<const Utf16Copy>(name);
    }
    explicit Utf16Copy(std::wstring name) : name_(std::move(name)) {}
    ~Utf16Copy() { DeleteFileW(name_.c_str()); }
    Utf16Copy(const Utf16Copy&) = delete;
    Utf16Copy& operator=(const Utf16Copy&) = delete;
    const std::wstring& Name() const { return name_; }

private:
    std::wstring name_;
};

const std::wstring& TIniFile::ReadFrom() const {
    if (!readFromKnown_) {
        utf16Copy_ = Utf16Copy::Of(fileName_);
        readFromKnown_ = true;
    }
    return utf16Copy_ ? utf16Copy_->Name() : fileName_;
}

std::wstring TIniFile::ReadString(const std::wstring& section, const std::wstring& ident,
                                  const std::wstring& defaultValue) const {
    const std::wstring& readFrom = ReadFrom();
    std::wstring buffer(2048, L'\0');
    for (;;) {
        const DWORD length = GetPrivateProfileStringW(section.c_str(), ident.c_str(), defaultValue.c_str(),
                                                      buffer.data(), static_cast<DWORD>(buffer.size()),
                                                      readFrom.c_str());
        // A value that filled the buffer may have been cut: read it again with more room.
        if (length + 1 < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool TIniFile::ReadBool(const std::wstring& section, const std::wstring& ident, bool defaultValue) const {
    return core::NumberToBool(ReadString(section, ident, L""), defaultValue);
}

void TIniFile::WriteString(const std::wstring& section, const std::wstring& ident, const std::wstring& value) {
    // The next read looks at the file afresh.
    utf16Copy_.reset();
    readFromKnown_ = false;
    if (!WritePrivateProfileStringW(section.c_str(), ident.c_str(), value.c_str(), fileName_.c_str()))
        throw IniWriteError(fileName_);
}

void TIniFile::WriteBool(const std::wstring& section, const std::wstring& ident, bool value) {
    WriteString(section, ident, BoolText(value));
}

// ---- TIniFileUpdate ----

void TIniFileUpdate::WriteString(const std::wstring& section, const std::wstring& ident,
                                 const std::wstring& value) {
    writes_.push_back({section, ident, value});
}

void TIniFileUpdate::WriteBool(const std::wstring& section, const std::wstring& ident, bool value) {
    WriteString(section, ident, BoolText(value));
}

std::string TIniFileUpdate::StartingContent() const {
    const std::optional<std::string> bytes = ReadExistingFile(fileName_);
    if (!bytes) return core::Utf16File({});
    switch (core::DetectTextEncoding(*bytes)) {
    case core::TextEncoding::Utf16: return *bytes;
    // The platform would write back in the ANSI code page what it read so: all of it goes to
    // UTF-16 at once.
    case core::TextEncoding::Utf8: return ToUtf16(*bytes, core::TextEncoding::Utf8);
    case core::TextEncoding::Ansi: break;
    }
    for (const Write& write : writes_)
        if (!FitsAnsiCodePage(write.section) || !FitsAnsiCodePage(write.ident) || !FitsAnsiCodePage(write.value))
            return ToUtf16(*bytes, core::TextEncoding::Ansi);
    return *bytes;
}

void TIniFileUpdate::ApplyTo(const std::wstring& copyName) const {
    TIniFile copy(copyName);
    for (const Write& write : writes_) copy.WriteString(write.section, write.ident, write.value);
    // Where the platform keeps profiles in memory, this puts them on disk.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, copyName.c_str());
}

void TIniFileUpdate::Commit() {
    try {
        // Some platforms let a privileged user replace a read-only file; it is refused everywhere.
        if (IsReadOnly(fileName_)) throw IniWriteError(fileName_);
        ScratchFile copy(fileName_, StartingContent());
        ApplyTo(copy.Name());
        copy.Replace(fileName_);
    } catch (const EIniFileException&) {
        // Whichever step failed, the message names the file the user knows.
        throw IniWriteError(fileName_);
    }
}

}  // namespace forms
