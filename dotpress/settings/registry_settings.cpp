#include "dotpress/settings/registry_settings.h"

#include "platform/os.h"

#include <cstring>

namespace dotpress::settings {

const char16_t kSettingsKey[] = u"Software\\Vorn\\DefDotpress";

namespace {

constexpr char16_t kDefaultParams[] = u"DatosPag";
constexpr char16_t kBinding[] = u"Encuadernar";
constexpr char16_t kPrinterName[] = u"NombreImp";

// The key opened for reading (it is not created) or for writing (created when missing), closed
// when it goes out of scope.
class SettingsKey {
public:
    static SettingsKey forReading() {
        SettingsKey key;
        if (os::RegOpenKeyW(os::HKEY_CURRENT_USER, kSettingsKey, &key.handle) !=
            os::ERROR_SUCCESS) {
            key.handle = os::HKEY{};
        }
        return key;
    }
    static SettingsKey forWriting() {
        SettingsKey key;
        if (os::RegCreateKeyExW(os::HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0,
                                os::KEY_ALL_ACCESS, nullptr, &key.handle,
                                nullptr) != os::ERROR_SUCCESS) {
            key.handle = os::HKEY{};
        }
        return key;
    }
    SettingsKey(SettingsKey&& other) noexcept : handle(other.handle) { other.handle = os::HKEY{}; }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;
    ~SettingsKey() {
        if (open()) {
            os::RegCloseKey(handle);
        }
    }
    bool open() const { return handle != os::HKEY{}; }

    // Reads at most `size` bytes; the number read, or -1 when the value is missing or larger.
    long read(const char16_t* name, void* data, os::DWORD size) const {
        os::DWORD got = size;
        if (os::RegQueryValueExW(handle, name, nullptr, nullptr, static_cast<os::BYTE*>(data),
                                 &got) != os::ERROR_SUCCESS) {
            return -1;
        }
        return got <= size ? static_cast<long>(got) : -1;
    }
    void write(const char16_t* name, os::DWORD type, const void* data, os::DWORD size) const {
        os::RegSetValueExW(handle, name, 0, type, static_cast<const os::BYTE*>(data), size);
    }

    os::HKEY handle{};

private:
    SettingsKey() = default;
};

} // namespace

void loadBinding(PrinterTable& table) {
    const SettingsKey key = SettingsKey::forReading();
    if (!key.open()) {
        table.selected = table.count;
        return;
    }
    int32_t value = 0;
    if (key.read(kBinding, &value, sizeof value) < 0) {
        value = 1;
    }
    table.binding = value;
}

int loadDefaultParams(PrinterTable& table) {
    PrinterParams& target = table.defaultRecord().params;
    target = kBuiltInParams;
    const SettingsKey key = SettingsKey::forReading();
    if (!key.open()) {
        return 0;
    }
    int16_t fields[6];
    const long got = key.read(kDefaultParams, fields, sizeof fields);
    if (got < 0) {
        return 0;
    }
    // A shorter value gives only the fields it covers whole; the rest keep the built-in block.
    int16_t merged[6];
    std::memcpy(merged, &kBuiltInParams, sizeof merged);
    std::memcpy(merged, fields, static_cast<size_t>(got / 2) * 2);
    std::memcpy(&target, merged, sizeof target);
    return 1;
}

void restoreSelectedPrinter(PrinterTable& table) {
    table.selected = table.count;
    const SettingsKey key = SettingsKey::forReading();
    if (!key.open()) {
        return;
    }
    char16_t stored[kNameUnits] = {};
    const long got = key.read(kPrinterName, stored, sizeof stored);
    if (got < 0) {
        return;
    }
    // The name ends where the data ends, or at an earlier null.
    size_t length = static_cast<size_t>(got) / 2;
    for (size_t i = 0; i < length; ++i) {
        if (stored[i] == 0) {
            length = i;
            break;
        }
    }
    for (uint32_t i = 0; i < table.count; ++i) {
        const PrinterRecord& record = table.records[i];
        if (nameLength(record.name) == length &&
            std::memcmp(record.name, stored, length * sizeof(char16_t)) == 0) {
            table.selected = i;
            return;
        }
    }
}

int saveDefaultParams(PrinterTable& table) {
    const SettingsKey key = SettingsKey::forWriting();
    if (!key.open()) {
        return 0;
    }
    key.write(kDefaultParams, os::REG_BINARY, &table.defaultRecord().params, sizeof(PrinterParams));
    return 1;
}

void saveBinding(PrinterTable& table) {
    const SettingsKey key = SettingsKey::forWriting();
    if (key.open()) {
        key.write(kBinding, os::REG_DWORD, &table.binding, sizeof table.binding);
    }
}

void saveDefaultPrinter(PrinterTable& table) {
    const SettingsKey key = SettingsKey::forWriting();
    if (!key.open()) {
        return;
    }
    if (!table.printerSelected()) {
        os::RegDeleteValueW(key.handle, kPrinterName);
        return;
    }
    const PrinterRecord& record = table.selectedRecord();
    key.write(kPrinterName, os::REG_SZ, record.name,
              static_cast<os::DWORD>(nameLength(record.name) * sizeof(char16_t)));
}

} // namespace dotpress::settings
