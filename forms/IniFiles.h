#pragma once
// INI files on the platform's private-profile functions, and an update that replaces the file
// only once every write has succeeded.
#include <memory>
#include <string>
#include <vector>

#include "forms/Exceptions.h"

namespace forms {

// The error of a write that failed: "<full path> に書き込めません".
EIniFileException IniWriteError(const std::wstring& fileName);

// A file without a byte order mark whose bytes are valid UTF-8 with a letter outside ASCII (as
// Notepad saves it) is read as UTF-8, through a UTF-16 copy in the temporary folder: the
// private-profile functions would read it in the ANSI code page. Reading never writes the file.
class TIniFile {
public:
    explicit TIniFile(std::wstring fileName) : fileName_(std::move(fileName)) {}
    const std::wstring& FileName() const { return fileName_; }

    // The whole value, however long; `defaultValue` when the key is missing.
    std::wstring ReadString(const std::wstring& section, const std::wstring& ident,
                            const std::wstring& defaultValue) const;
    // A number other than 0 is true, 0 is false; anything else gives `defaultValue`.
    bool ReadBool(const std::wstring& section, const std::wstring& ident, bool defaultValue) const;
    // Each write reaches the file at once; a failure raises IniWriteError.
    void WriteString(const std::wstring& section, const std::wstring& ident, const std::wstring& value);
    void WriteBool(const std::wstring& section, const std::wstring& ident, bool value);

private:
    class Utf16Copy;
    const std::wstring& ReadFrom() const;

    std::wstring fileName_;
    mutable bool readFromKnown_ = false;
    mutable std::shared_ptr<const Utf16Copy> utf16Copy_;
};

// Writes gathered first and applied to a copy of the file in its folder, which then takes the
// file's place in one step: the file holds either all of them or none. A file that starts with
// a UTF-16 byte order mark stays UTF-16 and a new file is made so; a UTF-8 file (as TIniFile
// tells it) is converted whole to UTF-16 first; a file in the ANSI code page stays so unless a
// written text has a character that code page lacks: then it too is converted whole first.
class TIniFileUpdate {
public:
    explicit TIniFileUpdate(std::wstring fileName) : fileName_(std::move(fileName)) {}
    void WriteString(const std::wstring& section, const std::wstring& ident, const std::wstring& value);
    void WriteBool(const std::wstring& section, const std::wstring& ident, bool value);
    // Applies the writes; on any failure the file is left as it was, no copy stays behind and
    // IniWriteError names the file.
    void Commit();

private:
    struct Write { std::wstring section, ident, value; };
    std::string StartingContent() const;
    void ApplyTo(const std::wstring& copyName) const;

    std::wstring fileName_;
    std::vector<Write> writes_;
};

}  // namespace forms
