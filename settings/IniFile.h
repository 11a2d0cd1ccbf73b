#pragma once

#include <QString>

// A Windows profile file in the Windows-1252 code page, kept byte for byte: sections in
// square brackets, "key=value" lines, names matched without regard to case, the value
// running to the end of its line (at most 2047 characters read). Every call opens the
// file afresh and releases it at once; nothing is cached. A write replaces an existing
// value in place, adds a new key at the end of its section and a new section at the end
// of the file, and goes through a temporary file renamed over the old one.
class IniFile {
public:
    explicit IniFile(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }

    // The value, or the default when the file, the section or the key is missing.
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = QString()) const;
    // Raises "Unable to write to <path>" when the file cannot be written.
    void writeString(const QString& section, const QString& key, const QString& value) const;

    static constexpr int kMaxValue = 2047;

private:
    QString m_path;
};

// The program's settings file, KVCob002.ini in the program directory.
namespace KvSettings {
QString path();
inline IniFile file()
{
    return IniFile(path());
}
} // namespace KvSettings
