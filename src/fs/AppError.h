#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <exception>

// The one failure type of the program: a number, the component that raised it and a sentence for
// the user. The fill tells the disk-full error apart by its number alone.
class AppError : public std::exception {
public:
    // Whom a failure concerns: the one file being worked on (it cannot be read, its name is taken
    // where it goes) or the operation as a whole (a full, failing or vanished drive).
    enum class Reach { Operation, OneFile };

    AppError(std::int32_t number, QString source, QString description,
             Reach reach = Reach::Operation);

    std::int32_t number() const noexcept { return m_number; }
    // True when only this file failed and the next one may well succeed.
    bool onlyThisFile() const noexcept { return m_reach == Reach::OneFile; }
    const QString& source() const noexcept { return m_source; }
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    std::int32_t m_number;
    QString m_source;
    QString m_description;
    Reach m_reach;
    QByteArray m_what;
};

// Every error number the program raises, in one place.
namespace ErrorNumber {
inline constexpr std::int32_t InvalidArgument = 5;
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t TypeMismatch = 13;
inline constexpr std::int32_t BadFileName = 52;
inline constexpr std::int32_t FileNotFound = 53;
inline constexpr std::int32_t DeviceIO = 57;
inline constexpr std::int32_t FileAlreadyExists = 58;
inline constexpr std::int32_t DeviceUnavailable = 68;
inline constexpr std::int32_t PermissionDenied = 70;
inline constexpr std::int32_t PathFileAccess = 75;
inline constexpr std::int32_t PathNotFound = 76;
// The disk-full error in its HRESULT form, as a signed 32-bit number.
inline constexpr std::int32_t DiskFull = static_cast<std::int32_t>(0x80070070u);
// A file larger than the file system can hold (FAT's 4 GiB), in the same HRESULT form; never the
// disk-full error, so the fill does not take the player for full.
inline constexpr std::int32_t FileTooLarge = static_cast<std::int32_t>(0x800700DFu);
} // namespace ErrorNumber
